// The dialog and the input box, driven as a user drives them, with the
// add-in connected to an environment.
#include "config/frmConfig.h"

#include <gtest/gtest.h>

#include "config/Connect.h"
#include "config/frmInput.h"
#include "config/test_support.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"

namespace config {
namespace {

using testing::Defaults;
using testing::Entries;
using testing::TextOf;

// An environment with one configured project, the add-in connected after
// start-up, and the dialog at hand.
struct Fixture {
    explicit Fixture(const char* current = "1") {
        vbide::EnvironmentBuilder b;
        b.Module("basMain", "Option Explicit\r\n#Const debugging = True\r\n");
        Defaults(b, current).Property("Constants", "Count", "2").Property("Constants", "Const2", "tracing")
            .Property("Config1", "tracing", "False").Property("Config2", "tracing", "True");
        env = b.Build();
        project = env->ActiveVBProject();
        vbide::CustomArgs custom;
        addin.OnConnection(env, vbide::vbext_cm_AfterStartup, nullptr, custom);
    }
    frmConfig& Dialog() { return *addin.frmConfig(); }
    forms::ListBox& Configs() { return Dialog().Get<forms::ListBox>("lstConfigs"); }
    forms::ListBox& Constants() { return Dialog().Get<forms::ListBox>("lstConstants"); }
    std::string Read(const char* section, const char* key) { return project->ReadProperty(section, key); }
    // Opens the dialog from the Project menu and lets `user` act in it.
    void OpenDialog(const std::function<void(frmConfig&)>& user) {
        ui.QueueModal([user](forms::Form& f) { user(dynamic_cast<frmConfig&>(f)); });
        env->Click(addin.frmConfig() ? MenuItem() : nullptr);
    }
    vbide::CommandBarControlPtr MenuItem() {
        return env->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->CommandBar()->Controls()->Item(
            "Configurations...");
    }
    // The user answers the input box with `typed` and a final key.
    void Answer(const std::string& typed, int key = forms::vbKeyReturn) {
        ui.QueueModal([typed, key](forms::Form& f) {
            f.Get<forms::TextBox>("txtInput").UserType(typed);
            f.UserKeyPress(key);
        });
    }

    forms::ScopedHeadlessUi ui;
    std::shared_ptr<vbide::Environment> env;
    vbide::VBProjectPtr project;
    Connect addin;
};

TEST(ConfigDialog, FillingTheListsRunsNoHandlerAndWritesNothing) {
    Fixture f("2");
    EXPECT_EQ(Entries(f.Configs()), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(f.Configs().ListIndex(), 1);
    EXPECT_EQ(Entries(f.Constants()), (std::vector<std::string>{"debugging", "tracing [x]"}));
    EXPECT_FALSE(f.project->IsDirty());
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(ConfigDialog, SelectingAConfigurationAndClosingAppliesIt) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        d.Get<forms::ListBox>("lstConfigs").UserSelect(1);
        EXPECT_EQ(f.Read("Configurations", "Current"), "2");
        EXPECT_EQ(Entries(f.Constants()), (std::vector<std::string>{"debugging", "tracing [x]"}));
        // The code changes only on Close.
        EXPECT_EQ(TextOf(f.project, "basMain"), "Option Explicit\r\n#Const debugging = True");
        d.UserKeyPress(forms::vbKeyReturn);
    });
    EXPECT_FALSE(f.Dialog().Visible());
    EXPECT_EQ(f.addin.List()->ListIndex(), 2);
    EXPECT_EQ(TextOf(f.project, "basMain"),
              "Option Explicit\r\n#Const tracing = True\r\n#Const debugging = False");
}

TEST(ConfigDialog, ToggleWritesTheToggledEntryIntoTheSelectedConfiguration) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        d.Get<forms::ListBox>("lstConfigs").UserSelect(1);
        // Another entry is selected; the toggled one is written and becomes selected.
        f.Constants().UserSelect(0);
        f.Constants().UserToggleCheck(1);
        EXPECT_EQ(f.Read("Config2", "tracing"), "False");
        EXPECT_EQ(f.Read("Config1", "tracing"), "False");
        EXPECT_EQ(f.Constants().ListIndex(), 1);
        f.Constants().UserToggleCheck(0);
        EXPECT_EQ(f.Read("Config2", "debugging"), "True");
        d.Hide();
    });
}

TEST(ConfigDialog, TwoConstantsOfOneNameChangeTogether) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        f.Answer("debugging");
        d.Get<forms::CommandButton>("cmdNewConst").UserClick();
        EXPECT_EQ(Entries(f.Constants()), (std::vector<std::string>{"debugging", "tracing", "debugging"}));
        f.Constants().UserToggleCheck(2);
        d.Hide();
    });
    f.addin.ReadConstants(f.Constants());
    EXPECT_EQ(Entries(f.Constants()), (std::vector<std::string>{"debugging [x]", "tracing", "debugging [x]"}));
}

TEST(ConfigDialog, AddingAConfigurationCountsItAndShowsItLastInBothLists) {
    Fixture f("2");
    f.OpenDialog([&](frmConfig& d) {
        f.Answer("Test 1ing");  // only the lower-case letters reach the box
        d.Get<forms::CommandButton>("cmdNewConfig").UserClick();
        d.Hide();
    });
    EXPECT_EQ(f.Read("Configurations", "Count"), "3");
    EXPECT_EQ(f.Read("Configurations", "Config3"), "esting");
    EXPECT_EQ(f.Read("Config3", "debugging"), "False");
    EXPECT_EQ(f.Read("Config3", "tracing"), "False");
    EXPECT_EQ(f.Read("Configurations", "Current"), "2");
    EXPECT_EQ(Entries(f.Configs()), (std::vector<std::string>{"debug", "release", "esting"}));
    EXPECT_EQ(f.Configs().ListIndex(), 1);
    EXPECT_EQ(Entries(f.addin.List()), (std::vector<std::string>{"debug", "release", "esting"}));
    EXPECT_EQ(f.addin.List()->ListIndex(), 2);
    auto& input = *f.addin.frmInput();
    EXPECT_EQ(input.Caption(), "New Configuration");
    EXPECT_EQ(input.Get<forms::Label>("lblInput").Caption(), "Enter a name for the new configuration.");
}

TEST(ConfigDialog, ADuplicateConfigurationNameIsAddedAsASecondEntry) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        f.Answer("debug");
        d.Get<forms::CommandButton>("cmdNewConfig").UserClick();
        d.Hide();
    });
    EXPECT_EQ(Entries(f.Configs()), (std::vector<std::string>{"debug", "release", "debug"}));
    EXPECT_EQ(f.Configs().ListIndex(), 0);
}

TEST(ConfigDialog, AddingAConstantIsShownLastUncheckedAndReachesTheCodeOnClose) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        f.Answer("logging");
        d.Get<forms::CommandButton>("cmdNewConst").UserClick();
        EXPECT_EQ(Entries(f.Constants()), (std::vector<std::string>{"debugging [x]", "tracing", "logging"}));
        EXPECT_EQ(TextOf(f.project, "basMain"), "Option Explicit\r\n#Const debugging = True");
        d.Get<forms::CommandButton>("cmdClose").UserClick();
    });
    EXPECT_EQ(f.Read("Constants", "Count"), "3");
    EXPECT_EQ(f.Read("Constants", "Const3"), "logging");
    EXPECT_EQ(f.Read("Config1", "logging"), "False");
    EXPECT_EQ(f.Read("Config2", "logging"), "False");
    EXPECT_EQ(TextOf(f.project, "basMain"),
              "Option Explicit\r\n#Const logging = False\r\n#Const tracing = False\r\n#Const debugging = True");
}

TEST(ConfigDialog, CancelEscapeAnEmptyAnswerOrTheCloseBoxWriteNothing) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        f.Answer("abc", forms::vbKeyEscape);
        f.ui.QueueModal([](forms::Form& in) { in.Get<forms::CommandButton>("cmdCancel").UserClick(); });
        f.Answer("   ");
        f.ui.QueueModal([](forms::Form& in) {
            in.Get<forms::TextBox>("txtInput").UserType("abc");
            in.UserClose();
        });
        for (int i = 0; i < 2; ++i) d.Get<forms::CommandButton>("cmdNewConfig").UserClick();
        for (int i = 0; i < 2; ++i) d.Get<forms::CommandButton>("cmdNewConst").UserClick();
        d.Hide();
    });
    EXPECT_FALSE(f.project->IsDirty());
    EXPECT_EQ(Entries(f.Configs()), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(f.Constants().ListCount(), 2);
    EXPECT_TRUE(f.addin.frmInput()->IsLoaded());
}

TEST(ConfigDialog, BackspaceEditsAndPastedTextKeepsOnlyLowerCaseLetters) {
    forms::ScopedHeadlessUi ui;
    frmInput input;
    ui.QueueModal([](forms::Form& in) {
        auto& text = in.Get<forms::TextBox>("txtInput");
        text.UserType("abx");
        text.UserKeyPress(forms::vbKeyBack);
        text.UserType("C_d");
        text.UserReplaceSelection(" Ef=g\r\n");
        in.UserKeyPress(forms::vbKeyReturn);
    });
    EXPECT_EQ(input.Ask("New Constant", "Enter a name for the new constant."), "abdfg");
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmInput (modal)"}));
}

TEST(ConfigDialog, TheToolbarChoiceReachesTheDialogOnlyThroughTheStore) {
    Fixture f;
    f.env->Pick(f.addin.List(), 2);
    EXPECT_EQ(f.Read("Configurations", "Current"), "2");
    f.OpenDialog([&](frmConfig& d) {
        // The dialog still shows what it showed when last filled.
        EXPECT_EQ(f.Configs().ListIndex(), 0);
        d.UserClose();  // the close box acts as Close
    });
    EXPECT_TRUE(f.Dialog().IsLoaded());
    EXPECT_EQ(f.addin.List()->ListIndex(), 2);
    EXPECT_EQ(f.addin.frmConfig()->Connect(), &f.addin);
}

TEST(ConfigDialog, AboutShowsTheAboutBoxModally) {
    Fixture f;
    f.OpenDialog([&](frmConfig& d) {
        f.ui.QueueModal([](forms::Form& about) {
            EXPECT_EQ(about.Caption(), "About Thornbury");
            EXPECT_EQ(about.Get<forms::Label>("lblTitle").Caption(), "Tarnwick Thornbury");
            EXPECT_EQ(about.Get<forms::Label>("lblVersion").Caption(), "1.0");
            about.UserKeyPress(forms::vbKeyReturn);
        });
        d.Get<forms::CommandButton>("cmdAbout").UserClick();
        d.Hide();
    });
    EXPECT_EQ(f.ui.shown,
              (std::vector<std::string>{"frmConfig (modal)", "frmAbout (modal)"}));
}

}  // namespace
}  // namespace config
