// The wizard drawn by the Qt view, offscreen: every page renders into a
// picture of the form's size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <random>

#include "fenmoor/frmWizard.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace {

namespace fs = std::filesystem;

const char* const kCatalog =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{5E1F2A40-0000-4000-8000-000000000001}]\r\n"
    "\"Name\"=\"Ledger Services\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{5E1F2A40-0000-4000-8000-000000000001}"
    "\\Components\\{5E1F2A40-0000-4000-8000-0000000000C1}]\r\n"
    "\"ProgID\"=\"Ledger.Posting\"\r\n\r\n";

TEST(FenmoorView, EveryPageRenders) {
    win::UseRegistryStore(":memory:");
    const auto imported = win::ImportRegistryScriptText(kCatalog, "catalog.reg");
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

// Tabbing through page 1 picks no package and no component, so Next asks
// for a choice; a click and an arrow key are the user's picks.
TEST(FenmoorView, TabbingThroughTheListsPicksNothing) {
    win::UseRegistryStore(":memory:");
    ASSERT_TRUE(win::ImportRegistryScriptText(kCatalog, "catalog.reg").ok);
    forms::qt::EnsureQtUi();
    forms::ScopedHeadlessUi ui;  // message boxes stay scripted
    fenmoor::WizardServices services;
    services.app = fenmoor::FenmoorApp();
    services.endProgram = [] {};
    fenmoor::frmWizard wizard(std::move(services));
    wizard.Load();
    forms::qt::FormView view(wizard);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    auto widget = [&](const char* name) { return view.WidgetOf(wizard.Ctl(name)); };
    auto* next = static_cast<QPushButton*>(widget("cmdNext"));
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_EQ(wizard.Step(), 1);

    auto* packages = static_cast<QListWidget*>(widget("lstPackages"));
    auto* components = static_cast<QListWidget*>(widget("lstComponents"));
    ASSERT_EQ(packages->count(), 1);
    widget("cmdCancel")->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(widget("cmdCancel"), Qt::Key_Tab);
    ASSERT_TRUE(packages->hasFocus());
    QTest::keyClick(packages, Qt::Key_Tab);
    ASSERT_TRUE(components->hasFocus());
    EXPECT_EQ(wizard.Get<forms::ListBox>("lstPackages").ListIndex(), -1);
    EXPECT_EQ(components->count(), 0);
    QTest::keyClick(components, Qt::Key_Return);  // presses Next, the default button
    EXPECT_EQ(wizard.Step(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Select a component.");

    QTest::mouseClick(packages->viewport(), Qt::LeftButton, {},
                      packages->visualItemRect(packages->item(0)).center());
    ASSERT_EQ(components->count(), 1);
    QTest::keyClick(packages, Qt::Key_Tab);
    QTest::keyClick(components, Qt::Key_Down);
    EXPECT_EQ(wizard.ProgID(), "Ledger.Posting");
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(wizard.Step(), 2);
    win::CloseRegistryStore();
}

}  // namespace
