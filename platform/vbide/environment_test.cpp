#include "platform/vbide/environment.h"

#include <gtest/gtest.h>

#include "base/vb_error_testing.h"
#include "platform/vbide/builder.h"
#include "platform/vbide/command_bars.h"
#include "platform/vbide/vbe_under_test.h"

// Each case makes its contract calls on `vbe`, the environment as an add-in
// reaches it (through COM in the Windows build's second run), and its user
// actions and set-up on the environment itself.

namespace vbide {
namespace {

using testing::InEnvironment;
using testing::VbeUnderTest;
using vb::ErrorOf;

CommandBarControlsPtr Menu(const VBEPtr& vbe, const std::string& caption) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item(caption)->CommandBar()->Controls();
}

// ---- Projects, components, property store ------------------------------------

TEST(Projects, BuilderMakesProjectsComponentsAndActiveCodePane) {
    auto env = EnvironmentBuilder()
                   .Project("Alpha")
                   .Module("basMain", "Option Explicit\r\n")
                   .Class("CThing", "Option Explicit\r\n")
                   .ActiveCodePane()
                   .Project("Beta")
                   .Build();
    auto vbe = VbeUnderTest(env);
    ASSERT_EQ(vbe->VBProjects()->Count(), 2);
    EXPECT_EQ(vbe->ActiveVBProject()->Name(), "Alpha");
    auto comps = vbe->VBProjects()->Item(1)->VBComponents();
    EXPECT_EQ(comps->Count(), 2);
    EXPECT_EQ(comps->Item(2)->Type(), vbext_ct_ClassModule);
    EXPECT_EQ(comps->Item("cthing")->Name(), "CThing");
    EXPECT_EQ(vbe->ActiveCodePane()->CodeModule()->Parent()->Name(), "CThing");
    EXPECT_EQ(ErrorOf([&] { comps->Item(3); }), 9);
    EXPECT_EQ(ErrorOf([&] { vbe->VBProjects()->Item("Gamma"); }), 9);
}

TEST(Projects, NothingWhenNoProjectOrPane) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    EXPECT_EQ(vbe->ActiveVBProject(), nullptr);
    EXPECT_EQ(vbe->ActiveCodePane(), nullptr);
    EXPECT_EQ(vbe->VBProjects()->Count(), 0);
}

TEST(PropertyStore, MissingEntryIsError5AndWritesReadBack) {
    auto env = EnvironmentBuilder().Project("P").Property("Configurations", "Count", "2").Build();
    auto p = VbeUnderTest(env)->ActiveVBProject();
    EXPECT_EQ(p->ReadProperty("configurations", "COUNT"), "2");
    EXPECT_EQ(ErrorOf([&] { p->ReadProperty("Configurations", "Current"); }), 5);
    EXPECT_EQ(ErrorOf([&] { p->ReadProperty("Constants", "Count"); }), 5);
    p->WriteProperty("Config1", "debugging", "True");
    p->WriteProperty("Config1", "empty", "");
    EXPECT_EQ(p->ReadProperty("Config1", "debugging"), "True");
    EXPECT_EQ(p->ReadProperty("Config1", "empty"), "");
    EXPECT_EQ(ErrorOf([&] { p->WriteProperty("S", "k", "a\r\nb"); }), 5);
    EXPECT_TRUE(p->IsDirty());
}

// ---- Code modules -------------------------------------------------------------

TEST(CodeModule, LinesInsertReplaceDelete) {
    auto env = EnvironmentBuilder::SingleModule("Option Explicit\r\nDim a\r\n");
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    EXPECT_EQ(m->CountOfLines(), 2);
    m->InsertLines(3, "Sub A()\r\nEnd Sub\r\n");
    EXPECT_EQ(m->Lines(1, 4), "Option Explicit\r\nDim a\r\nSub A()\r\nEnd Sub");
    m->InsertLines(2, "' note\r\n");
    EXPECT_EQ(m->Lines(2, 1), "' note");
    m->ReplaceLine(3, "Dim b");
    EXPECT_EQ(m->Lines(3, 1), "Dim b");
    m->DeleteLines(2, 2);
    EXPECT_EQ(m->Lines(1, m->CountOfLines()), "Option Explicit\r\nSub A()\r\nEnd Sub");
    EXPECT_EQ(ErrorOf([&] { m->Lines(3, 2); }), 9);
    EXPECT_EQ(ErrorOf([&] { m->ReplaceLine(9, "x"); }), 9);
    EXPECT_EQ(ErrorOf([&] { m->InsertLines(0, "x"); }), 9);
}

TEST(CodeModule, UserEditsAreNotChecked) {
    auto env = EnvironmentBuilder::SingleModule("a\r\nb\r\nc\r\n");
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    env->EditLines(InEnvironment(m), 2, 1, "Sub 1bad(\r\nx\r\n");
    EXPECT_EQ(m->Lines(1, m->CountOfLines()), "a\r\nSub 1bad(\r\nx\r\nc");
    env->EditLines(InEnvironment(m), 5, 0, "d");
    EXPECT_EQ(m->CountOfLines(), 5);
    EXPECT_EQ(ErrorOf([&] { env->EditLines(InEnvironment(m), 5, 2, ""); }), 9);
}

TEST(CodeModule, InsertingLineTwoIntoAnEmptyModuleAppends) {
    auto env = EnvironmentBuilder::SingleModule("");
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    m->InsertLines(2, "#Const debugging =True");
    EXPECT_EQ(m->CountOfLines(), 1);
    EXPECT_EQ(m->Lines(1, 1), "#Const debugging =True");
}

TEST(CodeModule, IllegalProcedureIsError35AndInsertsNothing) {
    auto env = EnvironmentBuilder::SingleModule("Option Explicit\r\n");
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    for (const char* bad : {"Public Sub 1abc ()\r\n\r\nEnd Sub \r\n",
                            "Public Sub Loop ()\r\nEnd Sub\r\n",
                            "Public Function F (x As Long\r\nEnd Function\r\n",
                            "Public Sub S ()As Long\r\nEnd Sub\r\n",
                            "Public Event Changed ()\r\n\r\n",
                            "Friend Sub S ()\r\nEnd Sub\r\n",
                            "Sub S ()\r\nOn Error GoTo S Err\r\nSErr:\r\nEnd Sub\r\n"}) {
        EXPECT_EQ(ErrorOf([&] { m->InsertLines(2, bad); }), 35) << bad;
    }
    EXPECT_EQ(m->CountOfLines(), 1);
    m->InsertLines(2, "Public Function Total (x As Long)As Long\r\nOn Error GoTo TotalErr\r\n"
                      "TotalExit:\r\n    Exit Function \r\nTotalErr:\r\n    Resume TotalExit\r\n"
                      "End Function \r\n");
    EXPECT_EQ(m->CountOfLines(), 8);
}

TEST(CodeModule, EventAndFriendAllowedInClassModule) {
    auto env = EnvironmentBuilder::SingleModule("Option Explicit\r\n", vbext_ct_ClassModule);
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    m->InsertLines(2, "Public Event Changed (x As Long)\r\n\r\n");
    m->InsertLines(4, "Friend Property Get Value ()As Long\r\nEnd Property\r\n");
    EXPECT_EQ(m->CountOfLines(), 5);
}

TEST(CodeModule, ProcLinesAndErrors) {
    auto env = EnvironmentBuilder::SingleModule(
        "Option Explicit\r\nPrivate m_x As Long\r\n\r\nPublic Property Get X() As Long\r\n"
        "    X = m_x\r\nEnd Property\r\n\r\nPublic Property Let X(v As Long)\r\nEnd Property\r\n"
        "\r\nSub Main()\r\nEnd Sub\r\n\r\n");
    auto m = VbeUnderTest(env)->ActiveCodePane()->CodeModule();
    EXPECT_EQ(m->CountOfDeclarationLines(), 2);
    EXPECT_EQ(m->ProcStartLine("x", vbext_pk_Get), 3);
    EXPECT_EQ(m->ProcBodyLine("X", vbext_pk_Get), 4);
    EXPECT_EQ(m->ProcStartLine("X", vbext_pk_Let), 7);
    EXPECT_EQ(m->ProcStartLine("Main", vbext_pk_Proc), 10);
    EXPECT_EQ(m->ProcCountLines("Main", vbext_pk_Proc), 4);
    vbext_ProcKind kind{};
    EXPECT_EQ(m->ProcOfLine(8, kind), "X");
    EXPECT_EQ(kind, vbext_pk_Let);
    EXPECT_EQ(ErrorOf([&] { m->ProcStartLine("X", vbext_pk_Set); }), 35);
    EXPECT_EQ(ErrorOf([&] { m->ProcStartLine("Nope", vbext_pk_Proc); }), 35);
}

TEST(CodePane, TopLineClampsAndRejectsZero) {
    auto env = EnvironmentBuilder::SingleModule("a\r\nb\r\nc\r\n");
    auto pane = VbeUnderTest(env)->ActiveCodePane();
    pane->SetTopLine(2);
    EXPECT_EQ(pane->TopLine(), 2);
    pane->SetTopLine(99);
    EXPECT_EQ(pane->TopLine(), 3);
    EXPECT_EQ(ErrorOf([&] { pane->SetTopLine(0); }), 380);
}

// ---- Windows ------------------------------------------------------------------

TEST(Windows, CloseHidesToolWindowsAndDestroysCodeWindows) {
    auto env = EnvironmentBuilder::SingleModule("x\r\n");
    auto vbe = VbeUnderTest(env);
    auto windows = vbe->Windows();
    std::int32_t before = windows->Count();
    WindowPtr project, code;
    for (std::int32_t i = 1; i <= windows->Count(); ++i) {
        auto w = windows->Item(i);
        if (w->Type() == vbext_wt_ProjectWindow) project = w;
        if (w->Type() == vbext_wt_CodeWindow) code = w;
    }
    ASSERT_TRUE(project && code);
    project->Close();
    EXPECT_FALSE(project->Visible());
    EXPECT_EQ(windows->Count(), before);
    project->SetVisible(true);
    EXPECT_TRUE(project->Visible());
    code->Close();
    EXPECT_EQ(windows->Count(), before - 1);
    EXPECT_EQ(vbe->ActiveCodePane(), nullptr);
    EXPECT_EQ(ErrorOf([&] { code->Visible(); }), kErrDisconnected);
}

TEST(Windows, DesignerOpensOnceAndCloseDestroysIt) {
    auto env = EnvironmentBuilder().Project("P").Component("frmMain", vbext_ct_VBForm, "").Module("basMain").Build();
    auto vbe = VbeUnderTest(env);
    std::int32_t before = vbe->Windows()->Count();
    auto comps = vbe->ActiveVBProject()->VBComponents();
    auto opened = env->OpenDesigner(InEnvironment(comps->Item("frmMain")));
    EXPECT_EQ(env->OpenDesigner(InEnvironment(comps->Item("frmMain"))), opened);
    ASSERT_EQ(vbe->Windows()->Count(), before + 1);
    WindowPtr designer;
    for (std::int32_t i = 1; i <= vbe->Windows()->Count(); ++i)
        if (InEnvironment(vbe->Windows()->Item(i)) == opened) designer = vbe->Windows()->Item(i);
    ASSERT_NE(designer, nullptr);
    EXPECT_EQ(designer->Type(), vbext_wt_Designer);
    EXPECT_EQ(designer->Caption(), "P - frmMain (Designer)");
    designer->Close();
    EXPECT_EQ(vbe->Windows()->Count(), before);
    EXPECT_EQ(ErrorOf([&] { designer->Type(); }), kErrDisconnected);
    EXPECT_EQ(ErrorOf([&] { env->OpenDesigner(InEnvironment(comps->Item("basMain"))); }), 5);
}

TEST(Windows, EveryToolWindowKindIsPresent) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    std::vector<int> kinds;
    for (std::int32_t i = 1; i <= vbe->Windows()->Count(); ++i) kinds.push_back(vbe->Windows()->Item(i)->Type());
    for (int k : {2, 3, 4, 5, 6, 7, 10, 12, 13, 14, 15})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), k), kinds.end()) << k;
}

// ---- Command bars -------------------------------------------------------------

TEST(CommandBars, MenusAndTheirFirstAndLastCommands) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto bar = vbe->CommandBars()->Item("Menu Bar")->Controls();
    EXPECT_EQ(bar->Count(), 11);
    EXPECT_EQ(bar->Item(1)->Caption(), "&File");
    EXPECT_EQ(Menu(vbe, "Tools")->Item(1)->Caption(), "Add &Procedure...");
    EXPECT_EQ(Menu(vbe, "add-ins")->Item(1)->Caption(), "&Add-In Manager...");
    auto project = Menu(vbe, "Project");
    EXPECT_EQ(project->Item(project->Count())->Caption(), "Project Propert&ies...");
    EXPECT_EQ(ErrorOf([&] { bar->Item("Nope"); }), 5);
    EXPECT_EQ(ErrorOf([&] { vbe->CommandBars()->Item("Nope"); }), 5);
    EXPECT_EQ(ErrorOf([&] { bar->Item(99); }), 5);
    EXPECT_EQ(ErrorOf([&] { Menu(vbe, "Tools")->Item(1)->CommandBar(); }), 438);
    EXPECT_GT(vbe->CommandBars()->Item("Standard")->Controls()->Count(), 10);
}

TEST(CommandBars, AddBeforeDeleteAndDisconnect) {
    auto env = Environment::Create();
    auto tools = Menu(VbeUnderTest(env), "Tools");
    std::int32_t n = tools->Count();
    auto first = tools->Item(1);
    first->SetVisible(false);
    auto mine = tools->Add(msoControlButton, 0, {}, 1, true);
    mine->SetCaption("Tarnwick Add Procedure...");
    EXPECT_EQ(tools->Count(), n + 1);
    EXPECT_EQ(tools->Item(1)->Caption(), "Tarnwick Add Procedure...");
    EXPECT_EQ(mine->Index(), 1);
    EXPECT_EQ(first->Index(), 2);
    mine->Delete();
    EXPECT_EQ(tools->Count(), n);
    EXPECT_EQ(ErrorOf([&] { mine->Caption(); }), kErrDisconnected);
    EXPECT_EQ(ErrorOf([&] { tools->Add(msoControlButton, 0, {}, n + 2, true); }), 5);
    auto last = tools->Add(msoControlButton, 0, {}, n, true);
    EXPECT_EQ(last->Index(), n);
}

TEST(CommandBars, DropDownListMembers) {
    auto env = Environment::Create();
    auto standard = VbeUnderTest(env)->CommandBars()->Item("Standard")->Controls();
    auto list = standard->Add(msoControlDropdown, 0, {}, standard->Count(), true);
    EXPECT_EQ(list->ListIndex(), 0);
    list->AddItem("debug");
    list->AddItem("release");
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_EQ(list->List(2), "release");
    list->SetListIndex(1);
    EXPECT_EQ(list->Text(), "debug");
    EXPECT_EQ(ErrorOf([&] { list->SetListIndex(3); }), 5);
    EXPECT_EQ(ErrorOf([&] { list->List(0); }), 5);
    list->Clear();
    EXPECT_EQ(list->ListCount(), 0);
    EXPECT_EQ(list->ListIndex(), 0);
    EXPECT_EQ(ErrorOf([&] { standard->Item(1)->AddItem("x"); }), 438);
}

// ---- Events -------------------------------------------------------------------

TEST(Events, ClickReachesSubscribersWhileHeld) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto tools = Menu(vbe, "Tools");
    auto button = tools->Add(msoControlButton, 0, {}, 1, true);
    button->SetCaption("Mine");
    int clicks = 0;
    auto sub = vbe->Events()->CommandBarEvents(button);
    sub->Click = [&](const CommandBarControlPtr& c, bool& handled, bool& cancel) {
        EXPECT_EQ(c, button);
        EXPECT_FALSE(handled);
        EXPECT_FALSE(cancel);
        ++clicks;
    };
    env->Click(InEnvironment(button));
    EXPECT_EQ(clicks, 1);
    sub.reset();
    env->Click(InEnvironment(button));
    EXPECT_EQ(clicks, 1);
}

TEST(Events, PickSelectsThenClicksButCodeSelectionDoesNot) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto standard = vbe->CommandBars()->Item("Standard")->Controls();
    auto list = standard->Add(msoControlDropdown, 0, {}, 0, true);
    list->AddItem("debug");
    list->AddItem("release");
    std::int32_t seen = -1;
    auto sub = vbe->Events()->CommandBarEvents(list);
    sub->Click = [&](const CommandBarControlPtr& c, bool&, bool&) { seen = c->ListIndex(); };
    list->SetListIndex(1);
    EXPECT_EQ(seen, -1);
    env->Pick(InEnvironment(list), 2);
    EXPECT_EQ(seen, 2);
}

TEST(Events, CancelDefaultStopsTheBuiltInCommand) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto immediate = Menu(vbe, "View")->Item("Immediate Window");
    auto windowOf = [&](vbext_WindowType t) {
        for (std::int32_t i = 1; i <= vbe->Windows()->Count(); ++i)
            if (vbe->Windows()->Item(i)->Type() == t) return vbe->Windows()->Item(i);
        return WindowPtr();
    };
    auto sub = vbe->Events()->CommandBarEvents(immediate);
    sub->Click = [](const CommandBarControlPtr&, bool&, bool& cancel) { cancel = true; };
    EXPECT_FALSE(env->Click(InEnvironment(immediate)));
    EXPECT_FALSE(windowOf(vbext_wt_Immediate)->Visible());
    sub.reset();
    EXPECT_TRUE(env->Click(InEnvironment(immediate)));
    EXPECT_TRUE(windowOf(vbext_wt_Immediate)->Visible());
}

TEST(CommandBars, BuiltInCommandsAreFoundByIdWhateverTheirCaption) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto fileMenu = InEnvironment(Menu(vbe, "File")->Item(1)->Parent());
    auto open = env->FindControl(kCmdOpenProject);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->Caption(), "&Open Project...");
    EXPECT_EQ(open->Parent(), fileMenu);
    // The toolbar's button is the same command.
    EXPECT_EQ(vbe->CommandBars()->Item("Standard")->Controls()->Item("Open Project")->Id(), kCmdOpenProject);
    auto openThere = Menu(vbe, "File")->Item("&Open Project...");
    openThere->SetCaption("Projekt &laden...");
    EXPECT_EQ(env->FindControl(kCmdOpenProject), open);
    openThere->Delete();
    auto button = env->FindControl(kCmdOpenProject);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Parent()->Name(), "Standard");
    // A control an add-in adds with a built-in id is not the built-in one.
    Menu(vbe, "Tools")->Add(msoControlButton, kCmdExit);
    EXPECT_EQ(env->FindControl(kCmdExit)->Parent(), fileMenu);
    EXPECT_EQ(env->FindControl(kCmdFileMenu)->CommandBar()->Name(), "File");
}

TEST(Projects, ARemovedProjectIsNotActiveWhileItsRemovalIsTold) {
    auto env = EnvironmentBuilder().Project("A").Project("B").Build();
    env->ActivateProject(env->VBProjects()->Item("A"));
    struct Watch : EnvironmentObserver {
        VBEPtr vbe;
        std::vector<std::string> seen;
        void ProjectsChanged() override {
            auto p = vbe->ActiveVBProject();
            seen.push_back(p ? p->Name() : "(none)");
        }
    };
    auto watch = std::make_shared<Watch>();
    watch->vbe = VbeUnderTest(env);
    env->AddObserver(watch);
    env->RemoveProject(env->VBProjects()->Item("A"));
    ASSERT_FALSE(watch->seen.empty());
    EXPECT_EQ(watch->seen.front(), "(none)");
    EXPECT_EQ(watch->seen.back(), "B");
}

TEST(Windows, PaneOfACodeWindowOnly) {
    auto env = EnvironmentBuilder().Project("A").Module("basOne", "x\r\n").ActiveCodePane().Build();
    auto vbe = VbeUnderTest(env);
    auto pane = vbe->ActiveCodePane();
    EXPECT_EQ(env->PaneOf(InEnvironment(pane->Window())), InEnvironment(pane));
    EXPECT_EQ(env->PaneOf(InEnvironment(vbe->MainWindow())), nullptr);
    auto window = pane->Window();
    auto own = InEnvironment(window);
    window->Close();
    EXPECT_EQ(env->PaneOf(own), nullptr);
    EXPECT_EQ(env->FileNameOf(InEnvironment(vbe->VBProjects()->Item(1)->VBComponents()->Item(1))), "");
}

TEST(Events, ProjectAndComponentEvents) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    std::vector<std::string> log;
    auto projects = vbe->Events()->VBProjectsEvents();
    projects->ItemAdded = [&](const VBProjectPtr& p) { log.push_back("added " + p->Name()); };
    projects->ItemActivated = [&](const VBProjectPtr& p) { log.push_back("activated " + p->Name()); };
    auto p1 = env->AddProject();
    auto p2 = env->AddProject("Second");
    auto comps = vbe->Events()->VBComponentsEvents(vbe->VBProjects()->Item(p1->Name()));
    comps->ItemAdded = [&](const VBComponentPtr& c) { log.push_back("component " + c->Name()); };
    auto all = vbe->Events()->VBComponentsEvents(nullptr);
    all->ItemAdded = [&](const VBComponentPtr& c) { log.push_back("any " + c->Name()); };
    env->AddComponent(p1, vbext_ct_StdModule);
    env->AddComponent(p2, vbext_ct_ClassModule, "CThing", "Option Explicit\r\n");
    env->ActivateProject(p1);
    std::vector<std::string> expected = {"added Project1", "activated Project1", "added Second",
                                         "activated Second", "component Module1", "any Module1",
                                         "any CThing", "activated Project1"};
    EXPECT_EQ(log, expected);
}

TEST(Events, RenameAndRemoveRaiseTheirEventsAndDisconnect) {
    auto env = EnvironmentBuilder().Project("A").Module("basOne", "x\r\n").ActiveCodePane().Project("B").Build();
    auto vbe = VbeUnderTest(env);
    std::vector<std::string> log;
    auto projects = vbe->Events()->VBProjectsEvents();
    projects->ItemRenamed = [&](const VBProjectPtr& p, const std::string& old) { log.push_back(old + ">" + p->Name()); };
    projects->ItemRemoved = [&](const VBProjectPtr& p) { log.push_back("removed " + p->Name()); };
    projects->ItemActivated = [&](const VBProjectPtr& p) { log.push_back("activated " + p->Name()); };
    auto comps = vbe->Events()->VBComponentsEvents(nullptr);
    comps->ItemRenamed = [&](const VBComponentPtr& c, const std::string& old) { log.push_back(old + ">" + c->Name()); };
    comps->ItemRemoved = [&](const VBComponentPtr& c) { log.push_back("removed " + c->Name()); };
    auto a = vbe->VBProjects()->Item("A");
    auto one = a->VBComponents()->Item(1);
    auto module = one->CodeModule();
    a->SetName("Alpha");
    one->SetName("basFirst");
    EXPECT_EQ(ErrorOf([&] { one->SetName("not valid"); }), 5);
    env->RemoveComponent(InEnvironment(one));
    EXPECT_EQ(vbe->ActiveCodePane(), nullptr);
    EXPECT_EQ(ErrorOf([&] { module->CountOfLines(); }), kErrDisconnected);
    env->RemoveProject(InEnvironment(a));
    std::vector<std::string> expected = {"A>Alpha", "basOne>basFirst", "removed basFirst", "removed Alpha",
                                         "activated B"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(vbe->ActiveVBProject()->Name(), "B");
    EXPECT_EQ(ErrorOf([&] { a->Name(); }), kErrDisconnected);
}

TEST(Events, OpeningACodePaneActivatesItsComponentOnce) {
    auto env = EnvironmentBuilder().Project("P").Module("basA").Module("basB").Build();
    auto vbe = VbeUnderTest(env);
    std::vector<std::string> log;
    auto comps = vbe->Events()->VBComponentsEvents(vbe->ActiveVBProject());
    comps->ItemActivated = [&](const VBComponentPtr& c) { log.push_back(c->Name()); };
    auto all = vbe->ActiveVBProject()->VBComponents();
    env->OpenCodePane(InEnvironment(all->Item("basA")));
    env->OpenCodePane(InEnvironment(all->Item("basA")));
    all->Item("basB")->CodeModule()->CodePane()->Show();
    EXPECT_EQ(log, (std::vector<std::string>{"basA", "basB"}));
    EXPECT_EQ(vbe->ActiveCodePane()->CodeModule()->Name(), "basB");
}

TEST(Events, HandlerFailureIsReportedAndOthersStillRun) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    auto projects1 = vbe->Events()->VBProjectsEvents();
    auto projects2 = vbe->Events()->VBProjectsEvents();
    int second = 0;
    projects1->ItemAdded = [](const VBProjectPtr&) { throw vb::VbError(91); };
    projects2->ItemAdded = [&](const VBProjectPtr&) { ++second; };
    env->AddProject();
    EXPECT_EQ(second, 1);
    ASSERT_EQ(env->Reports().size(), 1u);
    EXPECT_EQ(env->Reports()[0], "Run-time error '91': Object variable or With block variable not set");
}

TEST(Events, AnAutomationErrorIsReportedWithItsNegativeNumber) {
    auto env = Environment::Create();
    auto vbe = VbeUnderTest(env);
    env->AddProject("Gone");
    auto removed = vbe->VBProjects()->Item("Gone");
    env->RemoveProject(InEnvironment(removed));
    auto projects = vbe->Events()->VBProjectsEvents();
    projects->ItemAdded = [&](const VBProjectPtr&) { removed->Name(); };
    env->AddProject();
    ASSERT_EQ(env->Reports().size(), 1u);
    EXPECT_EQ(env->Reports()[0].rfind("Run-time error '-2147417848': Automation error", 0), 0u)
        << env->Reports()[0];
}

// ---- Observers ----------------------------------------------------------------

TEST(Observers, FollowControlsWindowsCodeAndTopLine) {
    struct Recorder : EnvironmentObserver {
        std::vector<std::string> log;
        void ControlsChanged(const CommandBarPtr& b) override { log.push_back("controls " + b->Name()); }
        void ControlChanged(const CommandBarControlPtr& c) override { log.push_back("control " + c->Caption()); }
        void WindowVisibleChanged(const WindowPtr& w) override { log.push_back("window " + w->Caption()); }
        void CodeChanged(const CodeModulePtr& m) override { log.push_back("code " + m->Name()); }
        void TopLineChanged(const CodePanePtr& p) override { log.push_back("top " + std::to_string(p->TopLine())); }
    };
    auto env = EnvironmentBuilder::SingleModule("a\r\n");
    auto vbe = VbeUnderTest(env);
    auto rec = std::make_shared<Recorder>();
    env->AddObserver(rec);
    auto tools = Menu(vbe, "Tools");
    tools->Item(1)->SetVisible(false);
    vbe->ActiveCodePane()->CodeModule()->InsertLines(2, "b\r\n");
    vbe->ActiveCodePane()->SetTopLine(2);
    auto button = tools->Add(msoControlButton, 0, {}, 1, true);
    std::vector<std::string> expected = {"control Add &Procedure...", "code Module1", "top 2", "controls Tools"};
    EXPECT_EQ(rec->log, expected);
}

}  // namespace
}  // namespace vbide
