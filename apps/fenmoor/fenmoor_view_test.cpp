// The wizard drawn by the Qt view, offscreen: every page renders into a
// picture of the form's size.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "fenmoor/frmWizard.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace {

namespace fs = std::filesystem;

TEST(FenmoorView, EveryPageRenders) {
    win::UseRegistryStore(":memory:");
    const auto imported = win::ImportRegistryScriptText(
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{5E1F2A40-0000-4000-8000-000000000001}]\r\n"
        "\"Name\"=\"Ledger Services\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{5E1F2A40-0000-4000-8000-000000000001}"
        "\\Components\\{5E1F2A40-0000-4000-8000-0000000000C1}]\r\n"
        "\"ProgID\"=\"Ledger.Posting\"\r\n\r\n",
        "catalog.reg");
    ASSERT_TRUE(imported.ok) << imported.error;
    const fs::path folder =
        fs::temp_directory_path() / ("fenmoor_view_" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);

    forms::ScopedHeadlessUi ui;  // message boxes and the process stay scripted
    fenmoor::WizardServices services;
    services.app = fenmoor::FenmoorApp();
    services.app.Path = folder.string();
    services.endProgram = [] {};
    fenmoor::frmWizard wizard(std::move(services));
    wizard.Load();

    auto shoot = [&](int page) {
        const fs::path png = folder / ("page" + std::to_string(page) + ".png");
        EXPECT_TRUE(forms::qt::Screenshot(wizard, png.string())) << page;
        EXPECT_GT(fs::exists(png) ? fs::file_size(png) : 0, 1000u) << page;
    };
    shoot(0);
    wizard.Get<forms::CommandButton>("cmdNext").UserClick();
    wizard.Get<forms::ListBox>("lstPackages").UserSelect(0);
    wizard.Get<forms::ListBox>("lstComponents").UserSelect(0);
    shoot(1);
    wizard.Get<forms::CommandButton>("cmdNext").UserClick();
    shoot(2);

    win::CloseRegistryStore();
    fs::remove_all(folder);
}

}  // namespace
