// The dialog and the input box rendered by the Qt view, offscreen.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <random>

#include "config/Connect.h"
#include "config/frmConfig.h"
#include "config/frmInput.h"
#include "config/test_support.h"
#include "platform/forms/controls.h"
#include "platform/forms/qt/qt_app.h"

namespace config {
namespace {

namespace fs = std::filesystem;

// Width and height from a PNG file's header chunk.
std::pair<int, int> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    auto number = [&](int at) { return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3]; };
    return {number(16), number(20)};
}

TEST(ConfigScreenshot, TheFilledDialogAndTheInputBoxRender) {
    forms::qt::EnsureQtUi();
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\n");
    auto env = testing::Defaults(b, "2").Build();
    Connect addin;
    vbide::CustomArgs custom;
    addin.OnConnection(env, vbide::vbext_cm_AfterStartup, nullptr, custom);
    ASSERT_EQ(addin.frmConfig()->Get<forms::ListBox>("lstConfigs").ListCount(), 2);

    const fs::path folder = fs::temp_directory_path() / ("config_shots_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    ASSERT_TRUE(forms::qt::Screenshot(*addin.frmConfig(), (folder / "frmConfig.png").string()));
    ASSERT_TRUE(forms::qt::Screenshot(*addin.frmInput(), (folder / "frmInput.png").string()));
    auto [width, height] = PngSize(folder / "frmConfig.png");
    EXPECT_GE(width, 4680 / 15);
    EXPECT_GE(height, 3195 / 15);
    auto [inputWidth, inputHeight] = PngSize(folder / "frmInput.png");
    EXPECT_GE(inputWidth, 4995 / 15);
    EXPECT_GE(inputHeight, 1755 / 15);
    addin.OnDisconnection(vbide::vbext_dm_HostShutdown, custom);
    if (!std::getenv("CONFIG_KEEP_SHOTS")) fs::remove_all(folder);
}

}  // namespace
}  // namespace config
