#include "apps/ide/ide_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/ide/addin_host.h"
#include "apps/ide/addin_manager.h"
#include "apps/ide/code_editor.h"
#include "apps/ide/command_bar_view.h"
#include "apps/ide/project_explorer.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/builder.h"
#include "platform/vbide/command_bars.h"

namespace ide {
namespace {

using vbide::CommandBarControlPtr;

// An add-in as the suite's add-ins are written: a command at the top of the
// Tools menu (the first Tools command hidden), a drop-down on the toolbar.
class TestAddIn : public vbide::IDTExtensibility {
public:
    void OnConnection(const vbide::VBEPtr& vbe, vbide::vbext_ConnectMode, const vbide::AddInPtr&,
                      vbide::CustomArgs&) override {
        auto tools = vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
        tools->Item(1)->SetVisible(false);
        command = tools->Add(vbide::msoControlButton, 0, {}, 1, true);
        command->SetCaption("Tarnwick &Test...");
        commandEvents = vbe->Events()->CommandBarEvents(command);
        commandEvents->Click = [this](const CommandBarControlPtr&, bool&, bool&) {
            ++clicks;
            if (fail) throw vb::VbError(91, "Test", "Object variable or With block variable not set");
        };
        auto standard = vbe->CommandBars()->Item("Standard")->Controls();
        dropDown = standard->Add(vbide::msoControlDropdown, 0, {}, 0, true);
        dropDown->SetCaption("Configuration");
        dropDown->AddItem("debug");
        dropDown->AddItem("release");
        dropDown->SetListIndex(1);
        dropDownEvents = vbe->Events()->CommandBarEvents(dropDown);
        dropDownEvents->Click = [this](const CommandBarControlPtr& c, bool&, bool&) { picked = c->Text(); };
    }
    void OnDisconnection(vbide::vbext_DisconnectMode, vbide::CustomArgs&) override {
        command->Delete();
        dropDown->Delete();
    }
    void OnStartupComplete(vbide::CustomArgs&) override {}
    void OnAddInsUpdate(vbide::CustomArgs&) override {}

    CommandBarControlPtr command, dropDown;
    vbide::CommandBarEventsPtr commandEvents, dropDownEvents;
    int clicks = 0;
    bool fail = false;
    std::string picked;
};

// The add-in list as the Add-In Manager sees it, with one test add-in.
class FakeHost : public AddInHost {
public:
    explicit FakeHost(std::shared_ptr<vbide::Environment> env) : env_(std::move(env)) {}
    std::vector<AddInEntry> List() override {
        return {{"Test.Connect", "Tarnwick Test Add-In", addIn != nullptr, startup},
                {"Missing.Connect", "", false, false}};
    }
    void SetLoaded(const std::string& progId, bool loaded) override {
        calls.push_back(progId + (loaded ? " load" : " unload"));
        vbide::CustomArgs custom;
        if (loaded) {
            addIn = std::make_shared<TestAddIn>();
            addIn->OnConnection(env_, vbide::vbext_cm_AfterStartup, nullptr, custom);
        } else if (addIn) {
            addIn->OnDisconnection(vbide::vbext_dm_UserClosed, custom);
            addIn.reset();
        }
    }
    void SetLoadOnStartup(const std::string& progId, bool s) override {
        calls.push_back(progId + (s ? " startup" : " no startup"));
        startup = s;
    }
    void LoadStartupAddIns() override { SetLoaded("Test.Connect", true); }
    void UnloadAll() override {
        if (addIn) SetLoaded("Test.Connect", false);
    }

    std::shared_ptr<TestAddIn> addIn;
    bool startup = true;
    std::vector<std::string> calls;

private:
    std::shared_ptr<vbide::Environment> env_;
};

std::string ManyLines(int n) {
    std::string text = "Option Explicit\r\n";
    for (int i = 2; i <= n; ++i) text += "' line " + std::to_string(i) + "\r\n";
    return text;
}

class IdeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        forms::qt::EnsureQtUi();
        ui = std::make_unique<forms::ScopedHeadlessUi>();
        ASSERT_TRUE(dir.isValid());
        env = vbide::EnvironmentBuilder()
                  .Project("Ledger")
                  .Module("modMain", "Option Explicit\r\n\r\nSub Main()\r\nEnd Sub\r\n")
                  .Class("CAccount", ManyLines(200))
                  .Build();
        host = std::make_unique<FakeHost>(env);
        window = std::make_unique<IdeWindow>(env, host.get(), dir.filePath("ide.ini"));
        window->resize(1000, 700);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        window.reset();
        host.reset();
        ui.reset();
    }

    QAction* MenuAction(const std::string& menu, const QString& text) {
        QMenu* m = window->Bars().MenuFor(menu);
        if (!m) return nullptr;
        for (QAction* a : m->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    vbide::WindowPtr WindowOfType(vbide::vbext_WindowType type) {
        auto windows = env->Windows();
        for (std::int32_t i = 1; i <= windows->Count(); ++i)
            if (windows->Item(i)->Type() == type) return windows->Item(i);
        return nullptr;
    }
    vbide::VBComponentPtr Component(const std::string& name) {
        return env->ActiveVBProject()->VBComponents()->Item(name);
    }

    QTemporaryDir dir;
    std::unique_ptr<forms::ScopedHeadlessUi> ui;
    std::shared_ptr<vbide::Environment> env;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<IdeWindow> window;
};

// ---- Command bars --------------------------------------------------------------

TEST_F(IdeWindowTest, MenusAndToolbarAreTheCommandBars) {
    QStringList menus;
    for (QAction* a : window->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Project", "F&ormat", "&Debug", "&Run",
                                  "&Tools", "&Add-Ins", "&Window", "&Help"}));
    EXPECT_EQ(window->Bars().MenuFor("Tools")->actions().front()->text(), "Add &Procedure...");
    auto standard = env->CommandBars()->Item("Standard")->Controls();
    EXPECT_EQ(window->Bars().Toolbar()->actions().size(), standard->Count());
    QAction* open = window->Bars().ActionFor(standard->Item("Open Project"));
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(open->icon().isNull());
    QAction* viewCode = MenuAction("View", "&Code");
    ASSERT_NE(viewCode, nullptr);
    EXPECT_EQ(viewCode->shortcut(), QKeySequence("F7"));
    EXPECT_TRUE(open->shortcut().isEmpty());  // toolbar buttons carry no keys

    // View > Code opens the selected component's code.
    env->SelectComponent(Component("modMain"));
    viewCode->trigger();
    ASSERT_NE(env->ActiveCodePane(), nullptr);
    EXPECT_EQ(env->ActiveCodePane()->CodeModule()->Name(), "modMain");
}

// An add-in may rename a built-in command: its key and its picture stay.
TEST_F(IdeWindowTest, ARenamedBuiltInCommandKeepsItsKeyAndPicture) {
    env->FindControl(vbide::kCmdSave)->SetCaption("&Store");
    auto standard = env->CommandBars()->Item("Standard")->Controls();
    vbide::CommandBarControlPtr saveProject;
    for (std::int32_t i = 1; i <= standard->Count(); ++i)
        if (standard->Item(i)->Id() == vbide::kCmdSaveProject) saveProject = standard->Item(i);
    ASSERT_NE(saveProject, nullptr);
    saveProject->SetCaption("Keep Project");
    window->Bars().Build();

    QAction* save = window->Bars().ActionFor(env->FindControl(vbide::kCmdSave));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "&Store");
    EXPECT_EQ(save->shortcut(), QKeySequence("Ctrl+S"));
    QAction* button = window->Bars().ActionFor(saveProject);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Keep Project");
    EXPECT_FALSE(button->icon().isNull());
}

TEST_F(IdeWindowTest, AddInCommandAppearsAndItsClickArrivesThroughTheWindowsAction) {
    host->LoadStartupAddIns();
    TestAddIn& addIn = *host->addIn;
    QMenu* tools = window->Bars().MenuFor("Tools");
    ASSERT_NE(tools, nullptr);
    QAction* command = tools->actions().front();
    EXPECT_EQ(command->text(), "Tarnwick &Test...");
    EXPECT_EQ(window->Bars().ActionFor(addIn.command), command);
    EXPECT_FALSE(tools->actions().at(1)->isVisible());  // "Add Procedure..." hidden

    command->trigger();
    EXPECT_EQ(addIn.clicks, 1);

    addIn.command->SetCaption("Renamed");
    EXPECT_EQ(command->text(), "Renamed");
    addIn.command->SetEnabled(false);
    EXPECT_FALSE(command->isEnabled());

    host->UnloadAll();
    EXPECT_EQ(MenuAction("Tools", "Renamed"), nullptr);
    EXPECT_EQ(tools->actions().size(), 4);
}

TEST_F(IdeWindowTest, ToolbarDropDownIsAComboBoxWhosePickReachesTheAddIn) {
    host->LoadStartupAddIns();
    TestAddIn& addIn = *host->addIn;
    QComboBox* combo = window->Bars().ComboFor(addIn.dropDown);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(window->Bars().Toolbar()->isAncestorOf(combo));
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "release");
    EXPECT_EQ(combo->currentIndex(), 0);

    combo->setCurrentIndex(1);
    emit combo->activated(1);  // the user's pick
    EXPECT_EQ(addIn.dropDown->ListIndex(), 2);
    EXPECT_EQ(addIn.picked, "release");

    addIn.dropDown->AddItem("test");
    addIn.dropDown->SetListIndex(3);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "test");
}

TEST_F(IdeWindowTest, FailureOfAnAddInsHandlerIsShownInAMessageBox) {
    host->LoadStartupAddIns();
    host->addIn->fail = true;
    window->Bars().ActionFor(host->addIn->command)->trigger();
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_NE(ui->messages[0].prompt.find("Object variable or With block variable not set"), std::string::npos);
    EXPECT_EQ(ui->messages[0].title, "Tarnwick Environment");
}

TEST_F(IdeWindowTest, BuiltInViewCommandShowsItsDock) {
    auto immediate = WindowOfType(vbide::vbext_wt_Immediate);
    QDockWidget* dock = window->DockFor(immediate);
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isVisible());
    QAction* view = MenuAction("View", "&Immediate Window");
    ASSERT_NE(view, nullptr);
    view->trigger();
    EXPECT_TRUE(immediate->Visible());
    EXPECT_TRUE(dock->isVisible());
}

TEST_F(IdeWindowTest, BuiltInCommandsWorkUnderAnotherCaption) {
    // An add-in translates the File menu.
    auto file = env->FindControl(vbide::kCmdFileMenu);
    auto open = env->FindControl(vbide::kCmdOpenProject);
    auto exit = env->FindControl(vbide::kCmdExit);
    ASSERT_TRUE(file && open && exit);
    file->SetCaption("&Datei");
    open->SetCaption("Projekt &laden...");
    exit->SetCaption("&Beenden");
    int asked = 0;
    std::string answer;
    window->askFileName = [&](bool, const std::string&) {
        ++asked;
        return answer;
    };
    window->Bars().ActionFor(open)->trigger();
    EXPECT_EQ(asked, 1);

    // The toolbar's button is the same command.
    auto standard = env->CommandBars()->Item("Standard")->Controls();
    for (std::int32_t i = 1; i <= standard->Count(); ++i)
        if (standard->Item(i)->Id() == vbide::kCmdOpenProject) window->Bars().ActionFor(standard->Item(i))->trigger();
    EXPECT_EQ(asked, 2);

    // An add-in that cancels the default keeps the window's command from running.
    auto events = env->Events()->CommandBarEvents(open);
    events->Click = [](const vbide::CommandBarControlPtr&, bool&, bool& cancelDefault) { cancelDefault = true; };
    window->Bars().ActionFor(open)->trigger();
    EXPECT_EQ(asked, 2);

    // Saved projects are listed above Exit in the renamed menu.
    answer = dir.filePath("Ledger.vbp").toStdString();
    ASSERT_TRUE(window->SaveProject(env->ActiveVBProject()));
    QMenu* menu = window->Bars().ActionFor(file)->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    const auto exitAt = actions.indexOf(window->Bars().ActionFor(exit));
    ASSERT_GE(exitAt, 2);
    EXPECT_EQ(actions[exitAt - 2]->text(), QString::fromStdString("&1 " + answer));
}

// ---- Tool windows --------------------------------------------------------------

TEST_F(IdeWindowTest, DocksFollowCloseAndVisibleBothWays) {
    auto project = WindowOfType(vbide::vbext_wt_ProjectWindow);
    auto locals = WindowOfType(vbide::vbext_wt_Locals);
    QDockWidget* projectDock = window->DockFor(project);
    QDockWidget* localsDock = window->DockFor(locals);
    ASSERT_TRUE(projectDock && localsDock);
    EXPECT_TRUE(projectDock->isVisible());
    EXPECT_FALSE(localsDock->isVisible());

    project->Close();  // as the work-area add-in does
    EXPECT_FALSE(projectDock->isVisible());
    locals->SetVisible(true);
    EXPECT_TRUE(localsDock->isVisible());
    project->SetVisible(true);
    EXPECT_TRUE(projectDock->isVisible());

    localsDock->close();  // the user closes the dock
    EXPECT_FALSE(locals->Visible());
    EXPECT_FALSE(localsDock->isVisible());
}

TEST_F(IdeWindowTest, EveryToolWindowKindHasADock) {
    for (auto type : {vbide::vbext_wt_Browser, vbide::vbext_wt_Watch, vbide::vbext_wt_Locals,
                      vbide::vbext_wt_Immediate, vbide::vbext_wt_ProjectWindow, vbide::vbext_wt_PropertyWindow,
                      vbide::vbext_wt_Preview, vbide::vbext_wt_Toolbox, vbide::vbext_wt_ColorPalette,
                      vbide::vbext_wt_ToolWindow}) {
        auto w = WindowOfType(type);
        ASSERT_NE(w, nullptr) << type;
        QDockWidget* dock = window->DockFor(w);
        ASSERT_NE(dock, nullptr) << type;
        EXPECT_EQ(dock->isVisible(), w->Visible()) << type;
    }
}

// ---- Project explorer ----------------------------------------------------------

TEST_F(IdeWindowTest, ExplorerSelectsActivatesAndOpens) {
    auto second = env->AddProject("Second");
    env->AddComponent(second, vbide::vbext_ct_StdModule, "modOther", "Option Explicit\r\n");
    ProjectExplorer* tree = window->Explorer();
    auto ledger = env->VBProjects()->Item("Ledger");
    QTreeWidgetItem* ledgerItem = tree->ItemFor(ledger);
    ASSERT_NE(ledgerItem, nullptr);
    EXPECT_EQ(ledgerItem->text(0), "Ledger (Ledger)");
    EXPECT_EQ(env->ActiveVBProject(), second);
    EXPECT_TRUE(tree->ItemFor(second)->font(0).bold());

    QTreeWidgetItem* account = tree->ItemFor(ledger->VBComponents()->Item("CAccount"));
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->parent()->text(0), "Class Modules");
    tree->setCurrentItem(account);
    EXPECT_EQ(env->ActiveVBProject(), ledger);
    EXPECT_EQ(env->SelectedVBComponent()->Name(), "CAccount");
    EXPECT_TRUE(ledgerItem->font(0).bold());

    emit tree->itemDoubleClicked(account, 0);
    ASSERT_NE(env->ActiveCodePane(), nullptr);
    EXPECT_EQ(env->ActiveCodePane()->CodeModule()->Name(), "CAccount");
    EXPECT_NE(window->SubWindowFor(env->ActiveCodePane()), nullptr);

    env->AddComponent(ledger, vbide::vbext_ct_StdModule, "modNew");
    EXPECT_NE(tree->ItemFor(ledger->VBComponents()->Item("modNew")), nullptr);
}

TEST_F(IdeWindowTest, PropertiesWindowShowsAndRenamesTheSelection) {
    auto properties = window->DockFor(WindowOfType(vbide::vbext_wt_PropertyWindow))->widget();
    auto* grid = properties->findChild<QTableWidget*>("grid");
    ASSERT_NE(grid, nullptr);
    auto module = Component("modMain");
    window->Explorer()->setCurrentItem(window->Explorer()->ItemFor(module));
    EXPECT_EQ(properties->findChild<QComboBox*>("object")->currentText(), "modMain Module");
    ASSERT_EQ(grid->item(0, 0)->text(), "(Name)");
    grid->item(0, 1)->setText("modStart");  // the user types a new name
    EXPECT_EQ(module->Name(), "modStart");
    EXPECT_NE(window->Explorer()->ItemFor(module), nullptr);
    EXPECT_EQ(window->Explorer()->ItemFor(module)->text(0), "modStart");

    grid->item(0, 1)->setText("1bad");
    EXPECT_EQ(module->Name(), "modStart");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].prompt, "Invalid property value");
    EXPECT_EQ(grid->item(0, 1)->text(), "modStart");
}

// ---- Code panes ----------------------------------------------------------------

TEST_F(IdeWindowTest, CodePaneShowsTheModuleAndEditsGoIntoIt) {
    auto pane = env->OpenCodePane(Component("modMain"));
    CodeEditor* editor = window->EditorFor(pane);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText(), "Option Explicit\n\nSub Main()\nEnd Sub");
    EXPECT_TRUE(QFontInfo(editor->font()).fixedPitch());
    EXPECT_EQ(window->SubWindowFor(pane)->windowTitle(), "Ledger - modMain (Code)");

    // The user types into line 4 and adds a line after it.
    QTextCursor cursor(editor->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "    MsgBox \"Hi\"");
    auto module = pane->CodeModule();
    EXPECT_EQ(module->CountOfLines(), 5);
    EXPECT_EQ(module->Lines(1, 5), "Option Explicit\r\n\r\nSub Main()\r\n    MsgBox \"Hi\"\r\nEnd Sub");
    EXPECT_TRUE(env->ActiveVBProject()->IsDirty());
    EXPECT_TRUE(window->isWindowModified());

    // Pasted CR LF text becomes lines, not characters.
    QMimeData pasted;
    pasted.setText("Dim a\r\nDim b\r\n");
    QTextCursor top(editor->document()->findBlockByNumber(1));
    editor->setTextCursor(top);
    editor->insertFromMimeData(&pasted);
    EXPECT_EQ(module->Lines(1, 4), "Option Explicit\r\nDim a\r\nDim b\r\n");
    QTextCursor undo(editor->document()->findBlockByNumber(1));
    undo.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, 2);
    undo.removeSelectedText();
    ASSERT_EQ(module->CountOfLines(), 5);

    // Deleting a line deletes it from the module.
    QTextCursor line(editor->document()->findBlockByNumber(1));
    line.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    line.removeSelectedText();
    EXPECT_EQ(module->Lines(1, module->CountOfLines()), "Option Explicit\r\nSub Main()\r\n    MsgBox \"Hi\"\r\nEnd Sub");
}

TEST_F(IdeWindowTest, ChangesFromAnAddInShowInTheOpenEditor) {
    auto pane = env->OpenCodePane(Component("modMain"));
    CodeEditor* editor = window->EditorFor(pane);
    pane->CodeModule()->InsertLines(5, "\r\nPublic Function Total() As Long\r\nEnd Function\r\n");
    EXPECT_EQ(editor->toPlainText(),
              "Option Explicit\n\nSub Main()\nEnd Sub\n\nPublic Function Total() As Long\nEnd Function");
    pane->CodeModule()->ReplaceLine(1, "' banner");
    EXPECT_EQ(editor->document()->firstBlock().text(), "' banner");
}

TEST_F(IdeWindowTest, TopLineIsFollowedBothWays) {
    auto pane = env->OpenCodePane(Component("CAccount"));
    QApplication::processEvents();
    CodeEditor* editor = window->EditorFor(pane);
    ASSERT_NE(editor, nullptr);
    pane->SetTopLine(50);
    EXPECT_EQ(editor->FirstLineShown(), 50);
    editor->verticalScrollBar()->setValue(99);  // the user scrolls
    EXPECT_EQ(pane->TopLine(), 100);
    EXPECT_EQ(editor->FirstLineShown(), 100);
}

TEST_F(IdeWindowTest, ActivePaneIsTrackedBothWays) {
    auto first = env->OpenCodePane(Component("modMain"));
    auto second = env->OpenCodePane(Component("CAccount"));
    EXPECT_EQ(window->CodeArea()->activeSubWindow(), window->SubWindowFor(second));
    first->Show();
    EXPECT_EQ(window->CodeArea()->activeSubWindow(), window->SubWindowFor(first));
    window->CodeArea()->setActiveSubWindow(window->SubWindowFor(second));  // the user clicks it
    EXPECT_EQ(env->ActiveCodePane(), second);
}

TEST_F(IdeWindowTest, WindowFollowsTheModelAfterAHandlerThrewDuringASync) {
    auto first = env->OpenCodePane(Component("modMain"));
    // A handler of the code area throws once, while the window shows the
    // model's active pane.
    bool thrown = false;
    auto connection = QObject::connect(window->CodeArea(), &QMdiArea::subWindowActivated, [&](QMdiSubWindow*) {
        if (thrown) return;
        thrown = true;
        throw vb::VbError(91, "Test", "Object variable or With block variable not set");
    });
    auto second = env->OpenCodePane(Component("CAccount"));
    QApplication::processEvents();
    QObject::disconnect(connection);
    ASSERT_TRUE(thrown);
    ASSERT_NE(window->SubWindowFor(second), nullptr);

    // The user's pick still reaches the model, and the model's changes the window.
    window->CodeArea()->setActiveSubWindow(window->SubWindowFor(first));
    EXPECT_EQ(env->ActiveCodePane(), first);
    window->SubWindowFor(second)->close();
    EXPECT_EQ(window->SubWindowFor(second), nullptr);
    EXPECT_THROW(second->TopLine(), vb::VbError);
}

TEST_F(IdeWindowTest, ClosingACodeWindowClosesItInTheModelAndBack) {
    auto first = env->OpenCodePane(Component("modMain"));
    auto second = env->OpenCodePane(Component("CAccount"));
    window->SubWindowFor(first)->close();  // the user closes it
    EXPECT_EQ(window->SubWindowFor(first), nullptr);
    EXPECT_THROW(first->TopLine(), vb::VbError);  // the model's pane is gone
    second->Window()->Close();  // an add-in closes it
    EXPECT_EQ(window->SubWindowFor(second), nullptr);
    EXPECT_TRUE(window->CodeArea()->subWindowList().isEmpty());
}

// ---- Files, closing, add-in manager ---------------------------------------------

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(IdeWindowTest, OpenEditSaveKeepsTheFileAndRemembersTheProject) {
    const std::string folder = dir.path().toStdString();
    WriteFile(folder + "/Book.vbp", "Type=Exe\r\nModule=modBook; modBook.bas\r\nName=\"Book\"\r\n");
    WriteFile(folder + "/modBook.bas",
              "Attribute VB_Name = \"modBook\"\r\nOption Explicit\r\n\r\nSub Main()\r\nEnd Sub\r\n");
    env->ActiveVBProject();  // the builder's project is unchanged: no question
    ui->QueueAnswer(forms::vbNo);  // "Save changes?" for the built project
    ASSERT_TRUE(window->OpenProject(folder + "/Book.vbp")) << (ui->messages.empty() ? "" : ui->messages.back().prompt);
    ASSERT_EQ(env->VBProjects()->Count(), 1);
    auto book = env->ActiveVBProject();
    EXPECT_EQ(book->Name(), "Book");
    EXPECT_EQ(window->windowTitle(), "Book - Tarnwick Environment [design][*]");
    EXPECT_NE(window->Explorer()->ItemFor(book->VBComponents()->Item("modBook")), nullptr);

    auto pane = env->ActiveCodePane();  // the first module is shown
    ASSERT_NE(pane, nullptr);
    CodeEditor* editor = window->EditorFor(pane);
    QTextCursor cursor(editor->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "End");
    ASSERT_TRUE(window->SaveProject(book));
    EXPECT_EQ(ReadFile(folder + "/modBook.bas"),
              "Attribute VB_Name = \"modBook\"\r\nOption Explicit\r\n\r\nSub Main()\r\nEnd\r\nEnd Sub\r\n");
    EXPECT_FALSE(book->IsDirty());
    ASSERT_FALSE(window->RecentProjects().empty());
    EXPECT_EQ(window->RecentProjects().front(), folder + "/Book.vbp");
    bool listed = false;
    for (QAction* a : window->Bars().MenuFor("File")->actions())
        listed = listed || a->text() == QString::fromStdString("&1 " + folder + "/Book.vbp");
    EXPECT_TRUE(listed);
}

TEST_F(IdeWindowTest, OpeningAMissingFileShowsTheFailure) {
    ui->QueueAnswer(forms::vbNo);
    EXPECT_FALSE(window->OpenProject(dir.filePath("Nothing.vbp").toStdString()));
    ASSERT_FALSE(ui->messages.empty());
    EXPECT_EQ(ui->messages.back().title, "Tarnwick Environment");
}

TEST_F(IdeWindowTest, ClosingAsksAboutUnsavedWork) {
    env->OpenCodePane(Component("modMain"))->CodeModule()->ReplaceLine(2, "' changed");
    ui->QueueAnswer(forms::vbCancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].prompt, "Save changes to the following files?\r\n\r\nLedger.vbp");
    EXPECT_EQ(ui->messages[0].buttons, forms::vbYesNoCancel | forms::vbExclamation);

    host->LoadStartupAddIns();
    ui->QueueAnswer(forms::vbNo);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(host->addIn, nullptr);  // add-ins are disconnected on the way out
}

TEST_F(IdeWindowTest, TheSavePromptListsEveryChangedFile) {
    auto project = env->ActiveVBProject();
    project->SaveAs(dir.filePath("Ledger.vbp").toStdString());
    ASSERT_FALSE(project->IsDirty());
    // An edit changes its module only.
    Component("CAccount")->CodeModule()->ReplaceLine(1, "' changed");
    ui->QueueAnswer(forms::vbCancel);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].prompt, "Save changes to the following files?\r\n\r\nLedger.vbp\r\nCAccount.cls");
    // A configuration switch changes the store and every module's declaration.
    project->WriteProperty("Configurations", "Current", "2");
    Component("modMain")->CodeModule()->InsertLines(2, "#Const debugging = False");
    ui->QueueAnswer(forms::vbYes);
    EXPECT_TRUE(window->close());
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[1].prompt,
              "Save changes to the following files?\r\n\r\nLedger.vbp\r\nmodMain.bas\r\nCAccount.cls");
    EXPECT_FALSE(project->IsDirty()) << "Yes saved them all";
}

TEST_F(IdeWindowTest, AddInManagerConnectsAndDisconnects) {
    AddInManagerDialog dialog(*host, window.get());
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), "Tarnwick Test Add-In");
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(1), "Startup");
    EXPECT_EQ(dialog.List()->topLevelItem(1)->text(0), "Missing.Connect");
    dialog.LoadedBox()->setChecked(true);
    dialog.StartupBox()->setChecked(false);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(1), "Loaded");
    EXPECT_TRUE(host->calls.empty());  // nothing happens before OK
    dialog.Apply();
    EXPECT_EQ(host->calls, (std::vector<std::string>{"Test.Connect no startup", "Test.Connect load"}));
    ASSERT_NE(host->addIn, nullptr);
    EXPECT_NE(window->Bars().ActionFor(host->addIn->command), nullptr);

    AddInManagerDialog again(*host, window.get());
    EXPECT_TRUE(again.LoadedBox()->isChecked());
    again.LoadedBox()->setChecked(false);
    again.Apply();
    EXPECT_EQ(host->addIn, nullptr);
}

// Each docked tool window's title ends before its float and close buttons,
// also in a wider font than the test's.
TEST_F(IdeWindowTest, DockTitlesShowWhole) {
    QFont wide = window->font();
    wide.setPointSizeF(wide.pointSizeF() * 1.4);
    window->setFont(wide);
    QApplication::processEvents();
    int checked = 0;
    for (QDockWidget* dock : window->findChildren<QDockWidget*>()) {
        auto* floatButton = dock->findChild<QAbstractButton*>("qt_dockwidget_floatbutton");
        if (!dock->isVisible() || dock->isFloating() || !floatButton || !floatButton->isVisible()) continue;
        const int margin = dock->style()->pixelMetric(QStyle::PM_DockWidgetTitleMargin, nullptr, dock);
        const int textRight = margin + dock->fontMetrics().horizontalAdvance(dock->windowTitle());
        EXPECT_GE(floatButton->geometry().left(), textRight) << dock->windowTitle().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 3);
    if (const char* keep = std::getenv("IDE_SCREENSHOT")) window->SaveScreenshot(keep);
}

TEST_F(IdeWindowTest, ScreenshotIsWritten) {
    env->OpenCodePane(Component("modMain"));
    const std::string png = dir.filePath("ide.png").toStdString();
    ASSERT_TRUE(window->SaveScreenshot(png));
    QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.width(), window->width() + 8);
    EXPECT_EQ(image.height(), window->height() + 28);
}

}  // namespace
}  // namespace ide
