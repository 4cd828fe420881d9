// The add-in in the environment: connection, commands, project and
// component events, disconnection.
#include "config/Connect.h"

#include <gtest/gtest.h>

#include "config/frmConfig.h"
#include "config/test_support.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"
#include "platform/vbide/vbe_under_test.h"

namespace config {
namespace {

using testing::Defaults;
using testing::TextOf;

vbide::CommandBarControlsPtr ProjectMenu(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->CommandBar()->Controls();
}

vbide::CommandBarControlsPtr Standard(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Standard")->Controls();
}

std::vector<std::string> Entries(const vbide::CommandBarControlPtr& drop) {
    std::vector<std::string> out;
    for (std::int32_t i = 1; i <= drop->ListCount(); ++i) out.push_back(drop->List(i));
    return out;
}

void ConnectTo(Connect& addin, const std::shared_ptr<vbide::Environment>& env,
               vbide::vbext_ConnectMode mode = vbide::vbext_cm_AfterStartup) {
    vbide::CustomArgs custom;
    addin.OnConnection(vbide::testing::VbeUnderTest(env), mode, nullptr, custom);
}

TEST(ConfigConnect, AfterStartupAProjectWithoutStoreGetsTheDefaultsAtOnce) {
    forms::ScopedHeadlessUi ui;
    auto env = vbide::EnvironmentBuilder()
                   .Module("basMain", "Option Explicit\r\nDim a\r\n")
                   .Class("CThing", "Option Explicit\r\n")
                   .Build();
    Connect addin;
    ConnectTo(addin, env);
    auto project = env->ActiveVBProject();
    EXPECT_EQ(project->ReadProperty("Configurations", "Current"), "1");
    EXPECT_EQ(Entries(addin.List()), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(addin.List()->ListIndex(), 1);
    // The defaults went in once, although three lists were filled.
    EXPECT_EQ(TextOf(project, "basMain"), "Option Explicit\r\n#Const debugging =True\r\nDim a");
    EXPECT_EQ(TextOf(project, "CThing"), "Option Explicit\r\n#Const debugging =True");
    auto& dialog = *addin.frmConfig();
    EXPECT_EQ(dialog.Get<forms::ListBox>("lstConfigs").ListIndex(), 0);
    EXPECT_TRUE(dialog.Get<forms::ListBox>("lstConstants").Selected(0));
    EXPECT_EQ(dialog.Connect(), &addin);
    EXPECT_TRUE(env->Reports().empty());
}

TEST(ConfigConnect, ControlsLandBeforeTheLastEntryOfTheirBars) {
    forms::ScopedHeadlessUi ui;
    auto env = vbide::EnvironmentBuilder().Project("P").Build();
    const std::int32_t menuCount = ProjectMenu(env)->Count();
    const std::int32_t barCount = Standard(env)->Count();
    Connect addin;
    ConnectTo(addin, env);
    auto menu = ProjectMenu(env);
    ASSERT_EQ(menu->Count(), menuCount + 1);
    EXPECT_EQ(menu->Item(menuCount)->Caption(), "Configurations...");
    EXPECT_EQ(Standard(env)->Item(barCount)->Type(), vbide::msoControlDropdown);
    EXPECT_EQ(addin.List()->Index(), barCount);
}

TEST(ConfigConnect, AMissingProjectMenuEndsTheConnectionSilentlyAfterTheDropDown) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Build();
    env->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->Delete();
    Connect addin;
    ConnectTo(addin, env);
    ASSERT_NE(addin.List(), nullptr);
    EXPECT_EQ(addin.List()->ListCount(), 0);  // filling comes after the steps that failed
    EXPECT_EQ(addin.frmConfig(), nullptr);
    // The drop-down's subscription is in place.
    addin.List()->AddItem("debug");
    addin.List()->AddItem("release");
    env->Pick(vbide::testing::InEnvironment(addin.List()), 2);
    EXPECT_EQ(env->ActiveVBProject()->ReadProperty("Configurations", "Current"), "2");
    // No project subscription: a new project is not filled in.
    env->AddProject("Other");
    EXPECT_EQ(addin.List()->ListCount(), 2);
}

TEST(ConfigConnect, WithoutAProjectMenuDisconnectionStillRemovesTheDropDown) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Build();
    env->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->Delete();
    const std::int32_t barCount = Standard(env)->Count();
    Connect addin;
    vbide::CustomArgs custom;
    for (int round = 0; round < 2; ++round) {
        ConnectTo(addin, env);
        EXPECT_EQ(Standard(env)->Count(), barCount + 1);
        addin.OnDisconnection(vbide::vbext_dm_UserClosed, custom);
        EXPECT_EQ(Standard(env)->Count(), barCount);
    }
}

TEST(ConfigConnect, DuringStartupNothingIsReadUntilStartupCompletes) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\n");
    auto env = Defaults(b, "2").Build();
    Connect addin;
    ConnectTo(addin, env, vbide::vbext_cm_Startup);
    EXPECT_EQ(addin.List()->ListCount(), 0);
    EXPECT_EQ(addin.frmConfig()->Get<forms::ListBox>("lstConfigs").ListCount(), 0);
    vbide::CustomArgs custom;
    addin.OnStartupComplete(custom);
    EXPECT_EQ(addin.List()->ListIndex(), 2);
    EXPECT_EQ(addin.frmConfig()->Get<forms::ListBox>("lstConfigs").ListIndex(), 1);
    EXPECT_EQ(addin.frmConfig()->Get<forms::ListBox>("lstConstants").ListCount(), 1);
    EXPECT_FALSE(env->ActiveVBProject()->IsDirty());
}

TEST(ConfigConnect, PickingReleaseRewritesEveryModule) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    b.Module("basA", "Option Explicit\r\n#Const debugging = True\r\n").Module("basB", "Option Explicit\r\n");
    auto env = Defaults(b).Build();
    Connect addin;
    ConnectTo(addin, env);
    env->Pick(vbide::testing::InEnvironment(addin.List()), 2);
    auto project = env->ActiveVBProject();
    EXPECT_EQ(project->ReadProperty("Configurations", "Current"), "2");
    EXPECT_EQ(TextOf(project, "basA"), "Option Explicit\r\n#Const debugging = False");
    EXPECT_EQ(TextOf(project, "basB"), "Option Explicit\r\n#Const debugging = False");
}

TEST(ConfigConnect, WithoutAProjectBothCommandsSayNoActiveProject) {
    forms::ScopedHeadlessUi ui;
    auto env = vbide::Environment::Create();
    Connect addin;
    ConnectTo(addin, env);
    EXPECT_EQ(addin.List()->ListCount(), 0);
    ui.QueueAnswer(forms::vbCancel);
    addin.List()->AddItem("stale");  // something to pick
    env->Pick(vbide::testing::InEnvironment(addin.List()), 1);
    env->Click(ProjectMenu(env)->Item("Configurations..."));
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.prompt, "No Active Project!");
        EXPECT_EQ(m.title, "Configurations");
        EXPECT_EQ(m.buttons, forms::vbOKCancel + forms::vbExclamation);
    }
    EXPECT_EQ(ui.shown.size(), 0u);
    EXPECT_TRUE(env->Reports().empty());
}

TEST(ConfigConnect, AnAddedComponentGetsTheDeclarationsAndOthersAreRewritten) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    b.Module("basA", "Option Explicit\r\n#Const debugging = True\r\n");
    auto env = Defaults(b, "2").Property("Constants", "Count", "2").Property("Constants", "Const2", "tracing")
                   .Property("Config2", "tracing", "True").Build();
    Connect addin;
    ConnectTo(addin, env);
    auto project = env->ActiveVBProject();
    env->AddComponent(project, vbide::vbext_ct_ClassModule, "CNew", "Option Explicit\r\nDim x\r\n");
    EXPECT_EQ(TextOf(project, "CNew"),
              "Option Explicit\r\n#Const tracing = True\r\n#Const debugging = False\r\nDim x");
    EXPECT_EQ(TextOf(project, "basA"), "Option Explicit\r\n#Const tracing = True\r\n#Const debugging = False");
}

TEST(ConfigConnect, ASecondProjectRefillsTheListsAndIsTheOneObserved) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    b.Project("First").Module("basA", "Option Explicit\r\n");
    auto env = Defaults(b, "2").Build();
    Connect addin;
    ConnectTo(addin, env);
    auto first = env->ActiveVBProject();
    auto second = env->AddProject("Second");
    // The new project is active and has no store: it gets the defaults.
    EXPECT_EQ(second->ReadProperty("Configurations", "Current"), "1");
    EXPECT_EQ(addin.List()->ListIndex(), 1);
    env->AddComponent(second, vbide::vbext_ct_StdModule, "basNew", "Option Explicit\r\n");
    EXPECT_EQ(TextOf(second, "basNew"), "Option Explicit\r\n#Const debugging = True");
    // A first statement continued onto the next line stays whole.
    env->AddComponent(second, vbide::vbext_ct_StdModule, "basApi",
                      "Private Declare Function GetTickCount Lib \"kernel32\" Alias _\r\n    \"GetTickCount\" () As Long\r\n");
    EXPECT_EQ(TextOf(second, "basApi"), "Private Declare Function GetTickCount Lib \"kernel32\" Alias _\r\n"
                                        "    \"GetTickCount\" () As Long\r\n#Const debugging = True");
    env->AddComponent(first, vbide::vbext_ct_StdModule, "basOld", "Option Explicit\r\n");
    EXPECT_EQ(TextOf(first, "basOld"), "Option Explicit");
    EXPECT_EQ(TextOf(first, "basA"), "Option Explicit");
}

TEST(ConfigConnect, DisconnectingRemovesTheControlsAndFormsAndReconnectingMakesThemAnew) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Build();
    const std::int32_t menuCount = ProjectMenu(env)->Count();
    const std::int32_t barCount = Standard(env)->Count();
    Connect addin;
    for (int round = 0; round < 2; ++round) {
        ConnectTo(addin, env);
        ASSERT_NE(addin.frmConfig(), nullptr);
        EXPECT_EQ(ProjectMenu(env)->Count(), menuCount + 1);
        vbide::CustomArgs custom;
        addin.OnDisconnection(vbide::vbext_dm_UserClosed, custom);
        EXPECT_EQ(ProjectMenu(env)->Count(), menuCount);
        EXPECT_EQ(Standard(env)->Count(), barCount);
        EXPECT_EQ(addin.frmConfig(), nullptr);
        EXPECT_EQ(addin.frmInput(), nullptr);
        EXPECT_EQ(addin.VBE(), nullptr);
    }
}

TEST(ConfigConnect, WithoutAProjectTheStoreOperationsKeepOrEmptyTheirLists) {
    forms::ScopedHeadlessUi ui;
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Build();
    Connect addin;
    ConnectTo(addin, env);
    env->RemoveProject(env->ActiveVBProject());
    auto& dialog = *addin.frmConfig();
    addin.ReadConfigurations(dialog.Get<forms::ListBox>("lstConfigs"));
    addin.ReadConstants(dialog.Get<forms::ListBox>("lstConstants"));
    addin.Configure();
    EXPECT_EQ(dialog.Get<forms::ListBox>("lstConfigs").ListCount(), 2);
    EXPECT_EQ(dialog.Get<forms::ListBox>("lstConstants").ListCount(), 0);
}

}  // namespace
}  // namespace config
