#include "wendover/Connect.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/headless.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/vbe_under_test.h"
#include "platform/win/profile.h"
#include "wendover/basWendover.h"
#include "wendover/test_folder.h"

namespace wendover {
namespace {

using testing::SettingsFolder;

vbide::CommandBarControlsPtr Menu(const vbide::VBEPtr& vbe, const std::string& caption) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item(caption)->CommandBar()->Controls();
}

void Set(const char* section, const char* key, bool yes) {
    ASSERT_TRUE(
        win::WritePrivateProfileStringA(section, key, yes ? "-1" : "0", SettingsPath().c_str()));
}

// A window of any kind, recording what the toggle does to it.
class FakeWindow : public vbide::Window {
public:
    FakeWindow(std::int32_t type, bool visible, std::vector<std::string>* log, std::string name)
        : type_(type), visible_(visible), log_(log), name_(std::move(name)) {}
    std::string Caption() override { return name_; }
    vbide::vbext_WindowType Type() override {
        if (failType) throw vb::VbError(91, "Window");
        return static_cast<vbide::vbext_WindowType>(type_);
    }
    bool Visible() override { return visible_; }
    void SetVisible(bool visible) override {
        visible_ = visible;
        log_->push_back("show " + name_);
    }
    void Close() override {
        visible_ = false;
        log_->push_back("close " + name_);
        if (onClose) onClose();
    }
    vbide::VBEPtr VBE() override { return nullptr; }

    bool failType = false;
    std::function<void()> onClose;

private:
    std::int32_t type_;
    bool visible_;
    std::vector<std::string>* log_;
    std::string name_;
};

class FakeWindows : public vbide::Windows {
public:
    std::int32_t Count() override { return static_cast<std::int32_t>(list.size()); }
    vbide::WindowPtr Item(std::int32_t index) override {
        if (index < 1 || index > Count()) throw vb::VbError(9, "Windows");
        return list[static_cast<std::size_t>(index - 1)];
    }
    vbide::VBEPtr VBE() override { return nullptr; }
    std::vector<std::shared_ptr<FakeWindow>> list;
};

// The environment with its Windows collection replaced, so that a test can
// line up windows of any kind (also kinds the environment never has).
class HostWithWindows : public vbide::VBE {
public:
    explicit HostWithWindows(std::shared_ptr<vbide::Environment> env) : env(std::move(env)) {}
    std::string Version() override { return env->Version(); }
    vbide::VBProjectsPtr VBProjects() override { return env->VBProjects(); }
    vbide::VBProjectPtr ActiveVBProject() override { return env->ActiveVBProject(); }
    void SetActiveVBProject(const vbide::VBProjectPtr& p) override { env->SetActiveVBProject(p); }
    vbide::CodePanePtr ActiveCodePane() override { return env->ActiveCodePane(); }
    void SetActiveCodePane(const vbide::CodePanePtr& p) override { env->SetActiveCodePane(p); }
    vbide::VBComponentPtr SelectedVBComponent() override { return env->SelectedVBComponent(); }
    vbide::CommandBarsPtr CommandBars() override { return env->CommandBars(); }
    vbide::WindowsPtr Windows() override { return windows; }
    vbide::WindowPtr MainWindow() override { return env->MainWindow(); }
    vbide::EventsPtr Events() override { return env->Events(); }

    std::shared_ptr<FakeWindow> Add(std::int32_t type, bool visible, std::string name) {
        windows->list.push_back(std::make_shared<FakeWindow>(type, visible, &log, std::move(name)));
        return windows->list.back();
    }

    std::shared_ptr<vbide::Environment> env;
    std::shared_ptr<FakeWindows> windows = std::make_shared<FakeWindows>();
    std::vector<std::string> log;
};

class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        connect.OnConnection(vbide::testing::VbeUnderTest(env), vbide::vbext_cm_AfterStartup, nullptr, custom);
    }
    void ClickToggle() { env->Click(vbide::testing::InEnvironment(connect.objMenu)); }

    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    std::shared_ptr<vbide::Environment> env = vbide::Environment::Create();
    Connect connect;
    vbide::CustomArgs custom;
};

TEST_F(ConnectTest, ConnectionPutsTheTwoCommandsInTheirMenus) {
    auto view = Menu(env, "View");
    EXPECT_EQ(view->Item(1)->Caption(), "&Max Work Area");
    EXPECT_EQ(view->Item(1)->Type(), vbide::msoControlButton);
    EXPECT_EQ(view->Item(1)->Index(), connect.objMenu->Index());
    auto addIns = Menu(env, "Add-Ins");
    EXPECT_EQ(addIns->Item(3)->Caption(), "VB &Wendover Agent...");
    EXPECT_EQ(connect.objFormMenu->Index(), 3);
}

TEST_F(ConnectTest, DisconnectionDeletesBothCommandsInEitherState) {
    auto view = Menu(env, "View");
    auto addIns = Menu(env, "Add-Ins");
    const std::int32_t viewCount = view->Count();
    const std::int32_t addInsCount = addIns->Count();
    ClickToggle();
    EXPECT_EQ(connect.objMenu->Caption(), "&Restore Work Area");
    connect.OnDisconnection(vbide::vbext_dm_UserClosed, custom);
    EXPECT_EQ(view->Count(), viewCount - 1);
    EXPECT_EQ(addIns->Count(), addInsCount - 1);
    EXPECT_NE(view->Item(1)->Caption(), "&Restore Work Area");

    // A new connection starts again in the normal layout.
    Connect again;
    again.OnConnection(vbide::testing::VbeUnderTest(env), vbide::vbext_cm_Startup, nullptr, custom);
    EXPECT_EQ(Menu(env, "View")->Item(1)->Caption(), "&Max Work Area");
}

TEST(ConnectFailure, WithoutAViewMenuNothingReachesTheAddInsMenu) {
    auto env = vbide::Environment::Create();
    env->CommandBars()->Item("Menu Bar")->Controls()->Item("View")->Delete();
    const std::int32_t addInsCount = Menu(env, "Add-Ins")->Count();
    Connect connect;
    vbide::CustomArgs custom;
    try {
        connect.OnConnection(vbide::testing::VbeUnderTest(env), vbide::vbext_cm_AfterStartup, nullptr, custom);
        FAIL() << "connected without a View menu";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 5);
    }
    EXPECT_EQ(Menu(env, "Add-Ins")->Count(), addInsCount);
    EXPECT_EQ(connect.objFormMenu, nullptr);
}

TEST_F(ConnectTest, WithoutSettingsTheToggleOnlyFlipsItsCaption) {
    std::vector<bool> before;
    for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
        before.push_back(env->Windows()->Item(i)->Visible());
    ClickToggle();
    EXPECT_EQ(connect.objMenu->Caption(), "&Restore Work Area");
    ClickToggle();
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
    for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
        EXPECT_EQ(env->Windows()->Item(i)->Visible(), before[static_cast<std::size_t>(i - 1)]);
    EXPECT_TRUE(env->Reports().empty());
    EXPECT_FALSE(folder.IniExists());
}

TEST_F(ConnectTest, MaxClosesAndRestoreShowsTheMarkedKindsOfTheEnvironment) {
    for (const char* section : {"Project", "Property", "Toolbox"}) Set(section, "MaxClose", true);
    for (const char* section : {"Project", "Toolbox", "Immediate"}) Set(section, "RestoreOpen", true);
    auto module = env->AddComponent(env->AddProject("Project1"), vbide::vbext_ct_StdModule,
                                    "Module1", "Option Explicit\r\n");
    env->OpenCodePane(module);
    const std::int32_t count = env->Windows()->Count();
    auto visibleOf = [&](vbide::vbext_WindowType type) {
        std::string out;
        for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
            if (env->Windows()->Item(i)->Type() == type)
                out += env->Windows()->Item(i)->Visible() ? '1' : '0';
        return out;
    };
    // Both tool windows are shown first, so Max has something to close.
    for (std::int32_t i = 1; i <= count; ++i)
        if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ToolWindow)
            env->Windows()->Item(i)->SetVisible(true);

    ClickToggle();
    EXPECT_EQ(visibleOf(vbide::vbext_wt_ProjectWindow), "0");
    EXPECT_EQ(visibleOf(vbide::vbext_wt_PropertyWindow), "0");
    EXPECT_EQ(visibleOf(vbide::vbext_wt_ToolWindow), "00");
    EXPECT_EQ(visibleOf(vbide::vbext_wt_Preview), "1");      // not marked
    EXPECT_EQ(visibleOf(vbide::vbext_wt_Toolbox), "1");      // kind 10, not "Toolbox"
    EXPECT_EQ(visibleOf(vbide::vbext_wt_CodeWindow), "1");   // never touched
    EXPECT_EQ(visibleOf(vbide::vbext_wt_MainWindow), "1");
    EXPECT_EQ(env->Windows()->Count(), count);

    ClickToggle();
    EXPECT_EQ(visibleOf(vbide::vbext_wt_ProjectWindow), "1");
    EXPECT_EQ(visibleOf(vbide::vbext_wt_PropertyWindow), "0");  // closed, not restored
    EXPECT_EQ(visibleOf(vbide::vbext_wt_ToolWindow), "11");
    EXPECT_EQ(visibleOf(vbide::vbext_wt_Immediate), "1");  // shown though Max never closed it
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
    EXPECT_TRUE(env->Reports().empty());
}

class ToggleOverAnyWindows : public ::testing::Test {
protected:
    void SetUp() override {
        connect.OnConnection(host, vbide::vbext_cm_AfterStartup, nullptr, custom);
    }
    void ClickToggle() { host->env->Click(connect.objMenu); }

    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    std::shared_ptr<HostWithWindows> host =
        std::make_shared<HostWithWindows>(vbide::Environment::Create());
    Connect connect;
    vbide::CustomArgs custom;
};

TEST_F(ToggleOverAnyWindows, WalksTheWindowsInOrderAndActsOnMarkedKindsOnly) {
    // Every kind marked both ways, so only the kind table decides.
    for (const OptionRow& row : kOptionRows) {
        Set(SectionOf(row.kind), "MaxClose", true);
        Set(SectionOf(row.kind), "RestoreOpen", true);
    }
    const std::int32_t kinds[] = {0, 15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 15, 99, -3};
    for (std::int32_t kind : kinds) host->Add(kind, true, std::to_string(kind));

    ClickToggle();
    EXPECT_EQ(host->log, (std::vector<std::string>{"close 15", "close 2", "close 3", "close 4",
                                                    "close 5", "close 6", "close 7", "close 13",
                                                    "close 14", "close 15", "close 15"}));
    host->log.clear();
    ClickToggle();
    EXPECT_EQ(host->log, (std::vector<std::string>{"show 15", "show 2", "show 3", "show 4",
                                                    "show 5", "show 6", "show 7", "show 13",
                                                    "show 14", "show 15", "show 15"}));
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
}

TEST_F(ToggleOverAnyWindows, TheCaptionIsReadAgainForEveryWindow) {
    Set("Watch", "MaxClose", true);
    Set("Locals", "RestoreOpen", true);
    Set("Locals", "MaxClose", false);
    auto watch = host->Add(3, true, "watch");
    host->Add(4, false, "locals");
    // Something outside the add-in renames the command in the middle of the
    // walk: the windows after it are handled as a restore, and the final
    // flip starts from the new caption.
    watch->onClose = [&] { connect.objMenu->SetCaption("&Restore Work Area"); };
    ClickToggle();
    EXPECT_EQ(host->log, (std::vector<std::string>{"close watch", "show locals"}));
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
}

TEST_F(ToggleOverAnyWindows, AFailingWindowStopsTheWalkAndKeepsTheCaption) {
    Set("Toolbox", "MaxClose", true);
    host->Add(15, true, "first");
    host->Add(15, true, "broken")->failType = true;
    host->Add(15, true, "last");
    ClickToggle();
    EXPECT_EQ(host->log, (std::vector<std::string>{"close first"}));
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
    ASSERT_EQ(host->env->Reports().size(), 1u);

    // A kind that does not fit a 16-bit Integer overflows rather than
    // wrapping onto a kind of the table (65551 would wrap to 15).
    host->windows->list.clear();
    host->log.clear();
    host->Add(65536 + 15, true, "wide");
    ClickToggle();
    EXPECT_TRUE(host->log.empty());
    EXPECT_EQ(connect.objMenu->Caption(), "&Max Work Area");
    ASSERT_EQ(host->env->Reports().size(), 2u);
}

TEST_F(ConnectTest, OptionsCommandOpensOneModelessDialog) {
    auto options = vbide::testing::InEnvironment(connect.objFormMenu);
    env->Click(options);
    frmOptions* first = connect.Options();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Visible());
    EXPECT_FALSE(first->IsModal());
    first->Get<forms::CheckBox>("chkToolbox", 0).UserClick();
    env->Click(options);  // brings the same dialog forward, ticks kept
    EXPECT_EQ(connect.Options(), first);
    EXPECT_EQ(first->Get<forms::CheckBox>("chkToolbox", 0).Value(), 1);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmOptions"}));

    first->Get<forms::CommandButton>("cmdCancel").UserClick();
    env->Click(options);  // a fresh dialog on what the file holds
    ASSERT_NE(connect.Options(), nullptr);
    EXPECT_TRUE(connect.Options()->Visible());
    EXPECT_EQ(connect.Options()->Get<forms::CheckBox>("chkToolbox", 0).Value(), 0);
    EXPECT_TRUE(env->Reports().empty());
}

TEST_F(ConnectTest, ASavedChangeTakesEffectAtTheVeryNextToggle) {
    auto toolWindowsVisible = [&] {
        std::string out;
        for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
            if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ToolWindow)
                out += env->Windows()->Item(i)->Visible() ? '1' : '0';
        return out;
    };
    for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
        if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ToolWindow)
            env->Windows()->Item(i)->SetVisible(true);

    env->Click(vbide::testing::InEnvironment(connect.objFormMenu));
    frmOptions& dialog = *connect.Options();
    dialog.Get<forms::CheckBox>("chkToolbox", 0).UserClick();
    // Unsaved ticks do nothing: the toggle reads the file.
    ClickToggle();
    ClickToggle();
    EXPECT_EQ(toolWindowsVisible(), "11");
    dialog.Get<forms::CommandButton>("cmdOK").UserClick();
    ClickToggle();
    EXPECT_EQ(toolWindowsVisible(), "00");
    EXPECT_EQ(connect.objMenu->Caption(), "&Restore Work Area");
}

}  // namespace
}  // namespace wendover
