#include "config/store.h"

#include <gtest/gtest.h>

#include <memory>

#include "config/list_view.h"
#include "config/test_support.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace config {
namespace {

using testing::Defaults;
using testing::Entries;
using testing::ErrorOf;
using testing::RecordingProject;
using testing::TextOf;

// A form with a plain list and a check-box list, as the dialog has.
class ListForm : public forms::Form {
public:
    ListForm() : forms::Form("frmLists") {
        AddControls({
            {.name = "lstPlain", .kind = forms::ControlKind::ListBox, .left = 0, .top = 0,
             .width = 100, .height = 100, .tabIndex = 0},
            {.name = "lstChecks", .kind = forms::ControlKind::ListBox, .left = 0, .top = 0,
             .width = 100, .height = 100, .tabIndex = 1},
        });
        Get<forms::ListBox>("lstChecks").SetStyle(forms::vbListBoxCheckbox);
    }
    forms::ListBox& Plain() { return Get<forms::ListBox>("lstPlain"); }
    forms::ListBox& Checks() { return Get<forms::ListBox>("lstChecks"); }
};

vbide::CommandBarControlPtr DropDown(const std::shared_ptr<vbide::Environment>& env) {
    return env->CommandBars()->Item("Standard")->Controls()->Add(vbide::msoControlDropdown, 0, {}, 0, true);
}

const std::vector<std::string> kDefaultWrites = {
    "Configurations/Count=2",       "Config1/debugging=True",
    "Config2/debugging=False",      "Constants/Count=1",
    "Constants/Const1=debugging",   "Configurations/Config1=debug",
    "Configurations/Config2=release", "Configurations/Current=1",
};

// ---- First use -------------------------------------------------------------------

TEST(ConfigFirstUse, DefaultsAreWrittenInOrderAndEveryModuleGetsTheDefaultLine) {
    auto env = vbide::EnvironmentBuilder()
                   .Module("basMain", "Option Explicit\r\nDim a\r\n")
                   .Class("CThing", "Option Explicit\r\n")
                   .Build();
    auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
    auto drop = DropDown(env);
    ToolbarList list(drop);
    ReadConfigurations(project, list, [&] { InitializeConfigurations(project); });

    EXPECT_EQ(project->writes, kDefaultWrites);
    EXPECT_EQ(Entries(drop), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(drop->ListIndex(), 1);
    EXPECT_EQ(TextOf(project, "basMain"), "Option Explicit\r\n#Const debugging =True\r\nDim a");
    EXPECT_EQ(TextOf(project, "CThing"), "Option Explicit\r\n#Const debugging =True");
}

TEST(ConfigFirstUse, ConfigureRightAfterTheDefaultsRewritesTheDefaultLineInPlace) {
    for (const char* current : {"1", "2"}) {
        auto env = vbide::EnvironmentBuilder().Module("basMain", "Option Explicit\r\nDim a\r\n").Build();
        auto project = env->ActiveVBProject();
        InitializeConfigurations(project);
        SetCurrent(project, std::stoi(current));
        ConfigureResult r = Configure(project);
        EXPECT_EQ(TextOf(project, "basMain"),
                  std::string("Option Explicit\r\n#Const debugging = ") +
                      (current[0] == '1' ? "True" : "False") + "\r\nDim a");
        EXPECT_EQ(r.linesReplaced, 1);
        EXPECT_EQ(r.linesInserted, 0);
    }
}

TEST(ConfigFirstUse, AFailingWriteEndsTheDefaultsAndLeavesTheEarlierWrites) {
    for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE("write " + std::to_string(n) + " fails");
        auto env = vbide::EnvironmentBuilder().Module("basMain", "Option Explicit\r\n").Build();
        auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
        project->failWriteAt = static_cast<int>(n);
        const long error = ErrorOf([&] { InitializeConfigurations(project); });
        if (error == 0) {
            // A failure that went unreported would end the loop early with
            // writes missing.
            EXPECT_EQ(project->writes, kDefaultWrites);
            EXPECT_EQ(TextOf(project, "basMain"), "Option Explicit\r\n#Const debugging =True");
            break;
        }
        EXPECT_EQ(error, 70);
        ASSERT_LE(n, kDefaultWrites.size());
        EXPECT_EQ(project->writes, std::vector<std::string>(kDefaultWrites.begin(), kDefaultWrites.begin() + n - 1));
        EXPECT_EQ(TextOf(project, "basMain"), "Option Explicit");
    }
}

// ---- Configure ---------------------------------------------------------------------

std::shared_ptr<vbide::Environment> OneModule(const std::string& text, const char* current = "2") {
    vbide::EnvironmentBuilder b;
    b.Module("basMain", text);
    Defaults(b, current);
    return b.Build();
}

TEST(ConfigApply, LinesThatDifferInCaseMatchAndAreRewrittenInTheAddinsForm) {
    auto env = OneModule("Option Explicit\r\n#CONST DEBUGGING =true\r\n  #const Debugging = 1 ' old\r\n");
    Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "Option Explicit\r\n#Const debugging = False\r\n#Const debugging = False");
}

TEST(ConfigApply, ThreeBlanksBeforeOrALongerNameDoNotMatchSoALineIsInserted) {
    auto env = OneModule("Option Explicit\r\n   #Const debugging = True\r\n#Const debuggingx = True\r\n");
    Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "Option Explicit\r\n#Const debugging = False\r\n   #Const debugging = True\r\n"
              "#Const debuggingx = True");
}

TEST(ConfigApply, EveryMatchingLineIsReplacedInsideProceduresToo) {
    auto env = OneModule(
        "#Const debugging = True\r\nOption Explicit\r\nSub A()\r\n#Const debugging = True\r\nEnd Sub\r\n");
    ConfigureResult r = Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "#Const debugging = False\r\nOption Explicit\r\nSub A()\r\n#Const debugging = False\r\nEnd Sub");
    EXPECT_EQ(r.linesReplaced, 2);
}

TEST(ConfigApply, TheValueIsCopiedAsStoredAndLaterConstantsLandAboveEarlierOnes) {
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\nDim a\r\n");
    Defaults(b, "1")
        .Property("Constants", "Count", "2")
        .Property("Constants", "Const2", "tracing")
        .Property("Config1", "tracing", " yes ")
        .Property("Config1", "debugging", "true");
    auto env = b.Build();
    Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "Option Explicit\r\n#Const tracing =  yes \r\n#Const debugging = true\r\nDim a");
}

TEST(ConfigApply, ADeclarationPushedDownByAnInsertionIsStillFound) {
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\n#Const tracing = False\r\n' #const TRACING x\r\n")
        .Module("basEmpty", "");
    Defaults(b, "1").Property("Constants", "Count", "2").Property("Constants", "Const2", "tracing")
        .Property("Config1", "tracing", "True");
    auto env = b.Build();
    ConfigureResult r = Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "Option Explicit\r\n#Const debugging = True\r\n#Const tracing = True\r\n#Const tracing = True");
    // In a module without lines "line 2" is its first line; the next insertion goes below it.
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basEmpty"), "#Const debugging = True\r\n#Const tracing = True");
    EXPECT_EQ(r.linesReplaced, 2);
    EXPECT_EQ(r.linesInserted, 3);
}

TEST(ConfigApply, AConstantWithoutAValueStopsAfterTheConstantsBeforeIt) {
    vbide::EnvironmentBuilder b;
    b.Module("basA", "Option Explicit\r\n").Module("basB", "Option Explicit\r\n");
    Defaults(b, "1").Property("Constants", "Count", "3").Property("Constants", "Const2", "missing")
        .Property("Constants", "Const3", "other").Property("Config1", "other", "True");
    auto env = b.Build();
    EXPECT_EQ(ErrorOf([&] { Configure(env->ActiveVBProject()); }), 5);
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basA"), "Option Explicit\r\n#Const debugging = True");
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basB"), "Option Explicit\r\n#Const debugging = True");
}

TEST(ConfigApply, DeclarationsGoInAfterAFirstStatementContinuedOverSeveralLines) {
    const std::string declare = "Private Declare Function GetTickCount Lib \"kernel32\" Alias _\r\n"
                                "    \"GetTickCount\" _\r\n    () As Long\r\n";
    auto env = vbide::EnvironmentBuilder().Module("basApi", declare + "Dim a\r\n").Build();
    auto project = env->ActiveVBProject();
    InitializeConfigurations(project);
    EXPECT_EQ(TextOf(project, "basApi"), declare + "#Const debugging =True\r\nDim a");
    AddConstant(project, "tracing");
    const ConfigureResult r = Configure(project);
    EXPECT_EQ(TextOf(project, "basApi"), declare + "#Const tracing = False\r\n#Const debugging = True\r\nDim a");
    EXPECT_EQ(r.linesReplaced, 1);
    EXPECT_EQ(r.linesInserted, 1);
}

TEST(ConfigApply, AContinuedDeclarationIsReplacedWholeAndNewOnesGoRightAfterIt) {
    // Continued first lines, a continued declaration further down, and a
    // continuation line that merely begins with "#Const".
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "#Const a = 1 _\r\n  + 1\r\nDim x\r\nSub S()\r\n#Const a = 2 _ \r\n + _\r\n"
                        "#Const a = 3\r\nEnd Sub\r\n");
    b.Property("Configurations", "Count", "1").Property("Configurations", "Config1", "debug")
        .Property("Configurations", "Current", "1").Property("Constants", "Count", "2")
        .Property("Constants", "Const1", "a").Property("Constants", "Const2", "b")
        .Property("Config1", "a", "True").Property("Config1", "b", "False");
    auto env = b.Build();
    const ConfigureResult r = Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "#Const a = True\r\n#Const b = False\r\nDim x\r\nSub S()\r\n#Const a = True\r\nEnd Sub");
    EXPECT_EQ(r.linesReplaced, 2);
    EXPECT_EQ(r.linesInserted, 1);
    // Applied again, nothing moves.
    const ConfigureResult again = Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "#Const a = True\r\n#Const b = False\r\nDim x\r\nSub S()\r\n#Const a = True\r\nEnd Sub");
    EXPECT_EQ(again.linesReplaced, 3);
    EXPECT_EQ(again.linesInserted, 0);
}

TEST(ConfigApply, AConstantNamedTwiceFindsTheLineItsTwinInserted) {
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\nDim a\r\n");
    Defaults(b, "1").Property("Constants", "Count", "3").Property("Constants", "Const2", "tracing")
        .Property("Constants", "Const3", "TRACING").Property("Config1", "tracing", "True");
    auto env = b.Build();
    const ConfigureResult r = Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"),
              "Option Explicit\r\n#Const TRACING = True\r\n#Const debugging = True\r\nDim a");
    EXPECT_EQ(r.linesInserted, 2);
    EXPECT_EQ(r.linesReplaced, 1);
}

TEST(ConfigApply, ComponentsWithoutCodeArePassedBy) {
    vbide::EnvironmentBuilder b;
    b.Component("Resources", vbide::vbext_ct_ResFile).Module("basMain", "Option Explicit\r\n");
    Defaults(b, "1");
    auto env = b.Build();
    Configure(env->ActiveVBProject());
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"), "Option Explicit\r\n#Const debugging = True");
}

TEST(ConfigApply, ANonNumericCountOrCurrentChangesNothing) {
    for (auto [section, key] : {std::pair{"Constants", "Count"}, std::pair{"Configurations", "Current"}}) {
        vbide::EnvironmentBuilder b;
        b.Module("basMain", "Option Explicit\r\n");
        Defaults(b).Property(section, key, "many");
        auto env = b.Build();
        EXPECT_EQ(ErrorOf([&] { Configure(env->ActiveVBProject()); }), 13);
        EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"), "Option Explicit");
    }
}

// ---- Reading the lists -----------------------------------------------------------

TEST(ConfigReadConfigurations, DialogListSelectsTheCurrentFromPositionZero) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b, "2").Build();
    ListForm form;
    DialogList list(form.Plain());
    ReadConfigurations(env->ActiveVBProject(), list, [] { FAIL() << "no defaults expected"; });
    EXPECT_EQ(Entries(form.Plain()), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(form.Plain().ListIndex(), 1);
}

TEST(ConfigReadConfigurations, AStoreWithConfigurationsButAMissingEntryKeepsItsData) {
    // "Current" names a configuration that is not stored: nothing is written
    // and the list keeps what it showed.
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b, "3").Build();
    auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
    ListForm form;
    form.Plain().AddItem("before");
    DialogList list(form.Plain());
    int initialized = 0;
    EXPECT_EQ(ErrorOf([&] { ReadConfigurations(project, list, [&] { ++initialized; }); }), 5);
    EXPECT_EQ(initialized, 0);
    EXPECT_TRUE(project->writes.empty());
    EXPECT_EQ(Entries(form.Plain()), (std::vector<std::string>{"before"}));

    // A count larger than the names stored: the names before the gap are listed.
    vbide::EnvironmentBuilder b2;
    auto env2 = Defaults(b2, "1").Property("Configurations", "Count", "4").Build();
    auto project2 = std::make_shared<RecordingProject>(env2->ActiveVBProject());
    EXPECT_EQ(ErrorOf([&] { ReadConfigurations(project2, list, [&] { ++initialized; }); }), 5);
    EXPECT_EQ(initialized, 0);
    EXPECT_TRUE(project2->writes.empty());
    EXPECT_EQ(Entries(form.Plain()), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(form.Plain().ListIndex(), -1);
}

TEST(ConfigReadConfigurations, DefaultsAreWrittenOnceEvenWhenTheyDoNotTakeHold) {
    auto env = vbide::EnvironmentBuilder().Project("P").Build();
    ListForm form;
    DialogList list(form.Plain());
    int initialized = 0;
    EXPECT_EQ(ErrorOf([&] { ReadConfigurations(env->ActiveVBProject(), list, [&] { ++initialized; }); }), 5);
    EXPECT_EQ(initialized, 1);
}

TEST(ConfigReadConfigurations, ACurrentOutsideTheListLeavesItWithoutSelection) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b, "3").Property("Configurations", "Config3", "stale").Build();
    auto drop = DropDown(env);
    ToolbarList list(drop);
    EXPECT_NE(ErrorOf([&] { ReadConfigurations(env->ActiveVBProject(), list, [] {}); }), 0);
    EXPECT_EQ(Entries(drop), (std::vector<std::string>{"debug", "release"}));
    EXPECT_EQ(drop->ListIndex(), 0);
}

TEST(ConfigReadConstants, ChecksFollowTheTruthRuleOfTheCurrentConfiguration) {
    vbide::EnvironmentBuilder b;
    Defaults(b, "1").Property("Constants", "Count", "6");
    const char* values[] = {" true ", "1", "-1", "yes", ""};
    for (int k = 0; k < 5; ++k) {
        std::string name = std::string("c") + char('a' + k);
        b.Property("Constants", "Const" + std::to_string(k + 2), name).Property("Config1", name, values[k]);
    }
    auto env = b.Build();
    ListForm form;
    DialogList list(form.Checks());
    ReadConstants(env->ActiveVBProject(), list);
    EXPECT_EQ(Entries(form.Checks()),
              (std::vector<std::string>{"debugging [x]", "ca [x]", "cb", "cc", "cd", "ce"}));
}

TEST(ConfigReadConstants, AConstantWithoutValueEndsTheListBeforeIt) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b, "2").Property("Constants", "Count", "3").Property("Constants", "Const2", "gap")
                   .Property("Constants", "Const3", "later").Property("Config2", "later", "True").Build();
    ListForm form;
    DialogList list(form.Checks());
    EXPECT_EQ(ErrorOf([&] { ReadConstants(env->ActiveVBProject(), list); }), 5);
    EXPECT_EQ(Entries(form.Checks()), (std::vector<std::string>{"debugging"}));
}

TEST(ConfigReadConstants, TwoConstantsOfOneNameShareTheirValue) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b, "1").Build();
    auto project = env->ActiveVBProject();
    AddConstant(project, "debugging");
    SetValue(project, 1, "debugging", true);
    ListForm form;
    DialogList list(form.Checks());
    ReadConstants(project, list);
    EXPECT_EQ(Entries(form.Checks()), (std::vector<std::string>{"debugging [x]", "debugging [x]"}));
}

// ---- Writing and adding ---------------------------------------------------------------

TEST(ConfigWriteLists, ThreeEntriesAreWrittenButCountStaysAsItWas) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Build();
    auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
    ListForm form;
    for (const char* name : {"a", "b", "c"}) form.Plain().AddItem(name);
    DialogList list(form.Plain());
    WriteConfigurations(project, list);
    EXPECT_EQ(project->writes, (std::vector<std::string>{"Configurations/Config1=a", "Configurations/Config2=b",
                                                          "Configurations/Config3=c"}));
    EXPECT_EQ(project->ReadProperty("Configurations", "Count"), "2");

    auto drop = DropDown(env);
    drop->AddItem("x");
    ToolbarList toolbar(drop);
    project->writes.clear();
    WriteConstants(project, toolbar);
    EXPECT_EQ(project->writes, (std::vector<std::string>{"Constants/Const1=x"}));
}

TEST(ConfigAddEntries, ANewConfigurationIsCountedNamedAndFalseForEveryConstant) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Property("Constants", "Count", "2").Property("Constants", "Const2", "trace").Build();
    auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
    EXPECT_EQ(AddConfiguration(project, "release"), 3);
    EXPECT_EQ(project->writes,
              (std::vector<std::string>{"Configurations/Count=3", "Configurations/Config3=release",
                                        "Config3/debugging=False", "Config3/trace=False"}));
    project->writes.clear();
    EXPECT_EQ(AddConstant(project, "debugging"), 3);
    EXPECT_EQ(project->writes,
              (std::vector<std::string>{"Constants/Count=3", "Constants/Const3=debugging", "Config1/debugging=False",
                                        "Config2/debugging=False", "Config3/debugging=False"}));
}

TEST(ConfigAddEntries, ACountAtTheLimitRefusesBeforeWritingAnything) {
    vbide::EnvironmentBuilder b;
    auto env = Defaults(b).Property("Configurations", "Count", "32767").Build();
    auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
    EXPECT_EQ(ErrorOf([&] { AddConfiguration(project, "more"); }), 6);
    EXPECT_TRUE(project->writes.empty());
}

TEST(ConfigAddEntries, ANegativeCountIsADamagedStoreThatNothingWritesInto) {
    for (const char* section : {"Configurations", "Constants"}) {
        vbide::EnvironmentBuilder b;
        b.Module("basMain", "Option Explicit\r\n");
        auto env = Defaults(b).Property(section, "Count", "-3").Build();
        auto project = std::make_shared<RecordingProject>(env->ActiveVBProject());
        EXPECT_EQ(ErrorOf([&] { AddConfiguration(project, "more"); }), 6) << section;
        EXPECT_EQ(ErrorOf([&] { AddConstant(project, "more"); }), 6) << section;
        EXPECT_TRUE(project->writes.empty()) << section;
    }
    vbide::EnvironmentBuilder b;
    b.Module("basMain", "Option Explicit\r\n");
    auto env = Defaults(b).Property("Constants", "Count", "&HFFFF").Build();
    EXPECT_EQ(ErrorOf([&] { Configure(env->ActiveVBProject()); }), 6);
    EXPECT_EQ(TextOf(env->ActiveVBProject(), "basMain"), "Option Explicit");
}

TEST(ConfigNoProject, EveryOperationFailsAsACallOnNothing) {
    ListForm form;
    form.Checks().AddItem("kept");
    DialogList list(form.Checks());
    EXPECT_EQ(ErrorOf([&] { Configure(nullptr); }), 91);
    EXPECT_EQ(ErrorOf([&] { ReadConstants(nullptr, list); }), 91);
    EXPECT_EQ(form.Checks().ListCount(), 0);
}

}  // namespace
}  // namespace config
