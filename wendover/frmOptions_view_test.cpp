// The options dialog rendered by the Qt view, offscreen.

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <filesystem>

#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/qt_app.h"
#include "wendover/frmOptions.h"
#include "wendover/test_folder.h"

namespace wendover {
namespace {

TEST(OptionsView, RendersBothFramesAtTheirTwipGeometry) {
    forms::qt::EnsureQtUi();
    testing::SettingsFolder folder;
    folder.WriteIni("[Toolbox]\r\nMaxClose=-1\r\n[Immediate]\r\nRestoreOpen=-1\r\n");
    frmOptions form;
    form.Load();
    forms::qt::FormView view(form);
    auto* box = view.WidgetOf(form.Ctl("chkToolbox", 0));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), view.WidgetOf(form.Ctl("fraOptions", 0)));
    EXPECT_EQ(box->geometry(), QRect(view.Px(45), view.Px(2195), view.Px(2085), view.Px(195)));
    auto* ok = view.WidgetOf(form.Ctl("cmdOK"));
    EXPECT_EQ(ok->geometry(), QRect(view.Px(3375), view.Px(2970), view.Px(1230), view.Px(375)));

    const auto png = folder.Path() / "frmOptions.png";
    ASSERT_TRUE(forms::qt::Screenshot(form, png.string()));
    QImage image(QString::fromStdString(png.string()));
    EXPECT_GE(image.width(), view.Px(4680));
    EXPECT_GT(image.height(), view.Px(3420));
    if (const char* keep = std::getenv("WENDOVER_SCREENSHOT"))
        std::filesystem::copy_file(png, keep, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace wendover
