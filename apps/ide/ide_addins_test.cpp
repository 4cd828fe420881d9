// The window with the suite's three add-ins loaded from an add-in list file
// through the registry store, as the program loads them, each driven through
// the window's own widgets.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "apps/ide/addin_manager.h"
#include "apps/ide/code_editor.h"
#include "apps/ide/command_bar_view.h"
#include "apps/ide/ide_window.h"
#include "apps/ide/ini_addin_host.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/addin_registration.h"
#include "platform/win/files.h"
#include "platform/win/profile.h"
#include "platform/win/registry.h"

namespace ide {
namespace {

namespace fs = std::filesystem;

fs::path LibFolder() {
    const char* lib = std::getenv("TARNWICK_LIB");
    return lib && *lib ? fs::path(lib) : fs::path(win::GetProgramFolder()) / ".." / "lib";
}

fs::path SourceFolder() {
    const char* src = std::getenv("TARNWICK_SOURCE");
    return src && *src ? fs::path(src) : fs::path(IDE_SOURCE_DIR);
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

QAction* Find(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

std::string TextOf(const vbide::VBProjectPtr& project, const std::string& component) {
    auto m = project->VBComponents()->Item(component)->CodeModule();
    return m->Lines(1, m->CountOfLines());
}

class RealAddIns : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* lib : {"Quillon.so", "Config.so", "Wendover.so"})
            if (!fs::exists(LibFolder() / lib)) GTEST_SKIP() << lib << " is not built";
        forms::qt::EnsureQtUi();
        ui = std::make_unique<forms::ScopedHeadlessUi>();
        ASSERT_TRUE(dir.isValid());
        const fs::path root = dir.path().toStdString();
        win::UseRegistryStore((root / "registry.db").string());

        fs::create_directories(root / "project");
        for (const auto& entry : fs::directory_iterator(SourceFolder() / "samples" / "project"))
            fs::copy_file(entry.path(), root / "project" / entry.path().filename());
        // The work-area add-in keeps its settings beside its library: a copy
        // of its own, with the Project window closed on Max.
        fs::create_directories(root / "wendover");
        fs::copy_file(LibFolder() / "Wendover.so", root / "wendover" / "Wendover.so");
        Write(root / "wendover" / "Wendover.ini", "[Project]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n");

        for (const fs::path& lib : {LibFolder() / "Quillon.so", LibFolder() / "Config.so", root / "wendover" / "Wendover.so"}) {
            auto r = vbide::RegisterLibrary(lib.string(), false);
            ASSERT_TRUE(r.ok) << r.message;
        }
        ini = (root / "vbaddin.ini").string();
        Write(ini, "[Add-Ins32]\r\nQuillon.Connect=1\r\nConfig.Connect=1\r\nWendoverAgent.Connect=1\r\n");

        env = vbide::Environment::Create();
        host = std::make_unique<IniAddInHost>(env, ini);
        window = std::make_unique<IdeWindow>(env, host.get(), dir.filePath("ide.ini"));
        window->resize(1000, 700);
        window->show();
        host->LoadStartupAddIns();
        ASSERT_TRUE(env->Reports().empty()) << env->Reports().front();
        ASSERT_TRUE(window->OpenProject((root / "project" / "Ledger.vbp").string()));
        project = env->ActiveVBProject();
    }
    void TearDown() override {
        if (window) {
            ui->QueueAnswer(forms::vbNo);
            window->close();
        }
        window.reset();
        host.reset();
        env.reset();
        ui.reset();
        win::UseRegistryStore(":memory:");
    }

    QTemporaryDir dir;
    std::unique_ptr<forms::ScopedHeadlessUi> ui;
    std::string ini;
    std::shared_ptr<vbide::Environment> env;
    std::unique_ptr<IniAddInHost> host;
    std::unique_ptr<IdeWindow> window;
    vbide::VBProjectPtr project;
};

TEST_F(RealAddIns, ProcedureBuilderInsertsIntoTheActiveCodePane) {
    auto pane = env->OpenCodePane(project->VBComponents()->Item("CAccount"));
    QAction* command = window->Bars().MenuFor("Tools")->actions().front();
    ASSERT_EQ(command->text(), "Tarnwick Add Procedure...");
    ui->QueueModal([](forms::Form& dialog) {
        dialog.Get<forms::OptionButton>("optType", 1).UserClick();  // Function
        dialog.Get<forms::TextBox>("txtName").UserType("Balance");
        dialog.Get<forms::CommandButton>("cmdOK").UserClick();
    });
    command->trigger();
    EXPECT_EQ(ui->pendingModals(), 0);
    const std::string text = TextOf(project, "CAccount");
    EXPECT_NE(text.find("\r\nPublic Function Balance ()\r\n"), std::string::npos) << text;
    CodeEditor* editor = window->EditorFor(pane);
    EXPECT_NE(editor->toPlainText().indexOf("\nPublic Function Balance ()\n"), -1);
    // The add-in scrolled its pane to the new procedure; the editor followed.
    EXPECT_GT(pane->TopLine(), 1);
    EXPECT_GT(editor->FirstLineShown(), 1);
    EXPECT_TRUE(project->IsDirty());
}

TEST_F(RealAddIns, ConfigurationDropDownSwitchesTheProject) {
    QComboBox* configurations = nullptr;
    for (auto* combo : window->Bars().Toolbar()->findChildren<QComboBox*>())
        if (combo->findText("release") >= 0) configurations = combo;
    ASSERT_NE(configurations, nullptr);
    EXPECT_EQ(configurations->currentText(), "debug");
    ASSERT_NE(TextOf(project, "modTrace").find("#Const debugging = True"), std::string::npos);
    const int release = configurations->findText("release");
    configurations->setCurrentIndex(release);
    emit configurations->activated(release);
    EXPECT_NE(TextOf(project, "modTrace").find("#Const debugging = False"), std::string::npos);
    EXPECT_EQ(project->ReadProperty("Configurations", "Current"), "2");

    QAction* dialog = Find(window->Bars().MenuFor("Project"), "Configurations...");
    ASSERT_NE(dialog, nullptr);
    ui->QueueModal([](forms::Form& form) { form.Get<forms::CommandButton>("cmdClose").UserClick(); });
    dialog->trigger();
    EXPECT_EQ(ui->pendingModals(), 0);
    ASSERT_FALSE(ui->shown.empty());
    EXPECT_EQ(ui->shown.back(), "frmConfig (modal)");
}

TEST_F(RealAddIns, WorkAreaToggleClosesAndShowsTheProjectDock) {
    QMenu* view = window->Bars().MenuFor("View");
    QAction* toggle = view->actions().front();
    ASSERT_EQ(toggle->text(), "&Max Work Area");
    vbide::WindowPtr projectWindow;
    for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
        if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ProjectWindow) projectWindow = env->Windows()->Item(i);
    QDockWidget* dock = window->DockFor(projectWindow);
    ASSERT_TRUE(dock->isVisible());
    toggle->trigger();
    EXPECT_FALSE(dock->isVisible());
    EXPECT_EQ(toggle->text(), "&Restore Work Area");
    toggle->trigger();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(toggle->text(), "&Max Work Area");
}

TEST_F(RealAddIns, AddInManagerListsTheFileAndDisconnects) {
    AddInManagerDialog dialog(*host, window.get());
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), "Tarnwick Add Procedure Dialog");
    EXPECT_EQ(dialog.List()->topLevelItem(1)->text(0), "Tarnwick Thornbury");
    EXPECT_EQ(dialog.List()->topLevelItem(2)->text(0), "VB Wendover Agent");
    EXPECT_EQ(dialog.List()->topLevelItem(2)->text(1), "Loaded/Startup");
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(2));
    dialog.LoadedBox()->setChecked(false);
    dialog.StartupBox()->setChecked(false);
    dialog.Apply();
    EXPECT_EQ(window->Bars().MenuFor("View")->actions().front()->text(), "&Code");
    char value[16] = {};
    win::GetPrivateProfileStringA("Add-Ins32", "WendoverAgent.Connect", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "0");
    EXPECT_EQ(dialog.List()->topLevelItem(2)->text(1), "");
}

}  // namespace
}  // namespace ide
