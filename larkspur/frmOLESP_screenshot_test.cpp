// The main form rendered by the Qt view (offscreen), after a real start-up.

#include <gtest/gtest.h>

#include <cstdint>

#include "larkspur/frmOLESP.h"
#include "larkspur/test_support.h"
#include "platform/forms/qt/qt_app.h"

namespace larkspur {
namespace {

using Screenshot = testing::StoreTest;

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

TEST_F(Screenshot, MainFormWithItsListRendersAtItsTwipSize) {
    Import(testing::kRuntimeScript);
    Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Excel.Sheet.8]\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ADODB.Recordset]\r\n");
    frmOLESP form;
    form.Show();
    form.Get<forms::ListBox>("lstDataProgIDs").UserSelect(1);
    const auto png = Folder() / "frmOLESP.png";
    ASSERT_TRUE(forms::qt::Screenshot(form, png.string()));
    const std::string bytes = testing::ReadFile(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    // 6315 by 4125 twips is 421 by 275 pixels, inside a 4-pixel frame and an
    // 18-pixel title bar.
    EXPECT_EQ(BigEndian(bytes, 16), 421u + 8);
    EXPECT_EQ(BigEndian(bytes, 20), 275u + 8 + 18);
}

}  // namespace
}  // namespace larkspur
