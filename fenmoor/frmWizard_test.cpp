#include "fenmoor/frmWizard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "fenmoor/registration_script.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"
#include "platform/forms/layout_checks.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/test_support.h"

namespace fenmoor {
namespace {

namespace fs = std::filesystem;
using forms::CheckBox;
using forms::CommandButton;
using forms::ListBox;

const std::string kGap(100, ' ');
const std::string kOrders = "{B2000000-0000-0000-0000-000000000002}";
const std::string kSystem = "{A1000000-0000-0000-0000-000000000001}";
const std::string kLedger = "{C2000000-0000-0000-0000-00000000000B}";
const std::string kBasket = "{C2000000-0000-0000-0000-00000000000A}";

// Two packages: "System" without components, and "Order Entry" (a name with a
// blank) with a component whose name also holds a blank.
const char* const kCatalog =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}]\r\n"
    "\"Name\"=\"Order Entry\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}"
    "\\Components\\{C2000000-0000-0000-0000-00000000000B}]\r\n"
    "\"ProgID\"=\"Orders.Ledger\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}"
    "\\Components\\{C2000000-0000-0000-0000-00000000000A}]\r\n"
    "\"ProgID\"=\"Orders.Basket (legacy)\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{A1000000-0000-0000-0000-000000000001}]\r\n"
    "\"Name\"=\"System\"\r\n\r\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A wizard over a catalog in a private registry (on Windows the machine's keys
// redirected to a key of its own), writing into a fresh folder and starting
// nothing: the process starter records the command line instead.
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        machine_ = std::make_unique<win::testing::PrivateMachineKeys>();
        ASSERT_TRUE(machine_->Ready());
#else
        win::UseRegistryStore(":memory:");
#endif
        // A folder of its own, also when several builds run the tests at once.
        folder_ = fs::temp_directory_path() /
                  ("fenmoor_wizard_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        wizard_.reset();
        fs::remove_all(folder_);
#ifdef _WIN32
        machine_.reset();
#else
        win::CloseRegistryStore();
#endif
    }

    static void Import(const std::string& script) {
#ifdef _WIN32
        ASSERT_EQ(win::testing::ImportScriptText(script), "");
#else
        const auto result = win::ImportRegistryScriptText(script, "catalog.reg");
        ASSERT_TRUE(result.ok) << result.error;
#endif
    }

    frmWizard& Open(const fs::path& appPath) {
        WizardServices services;
        services.app = FenmoorApp();
        services.app.Path = appPath.string();
        services.endProgram = [this] { ++ended_; };
        wizard_ = std::make_unique<frmWizard>(std::move(services));
        wizard_->Show();
        return *wizard_;
    }
    frmWizard& Open() { return Open(folder_); }

    frmWizard& W() { return *wizard_; }
    ListBox& Packages() { return W().Get<ListBox>("lstPackages"); }
    ListBox& Components() { return W().Get<ListBox>("lstComponents"); }
    CheckBox& Check(const char* name) { return W().Get<CheckBox>(name); }
    void Next() { W().Get<CommandButton>("cmdNext").UserClick(); }
    void Back() { W().Get<CommandButton>("cmdBack").UserClick(); }
    void Cancel() { W().Get<CommandButton>("cmdCancel").UserClick(); }

    // Page 0 -> 1, the Order Entry package, the given component, on to page 2.
    void ToPage2(int component = 1) {
        Next();
        Packages().UserSelect(1);
        Components().UserSelect(component);
        Next();
    }

    fs::path Script() const { return folder_ / "wizard.reg"; }

    // The page as the user sees it.
    std::string Layout() {
        auto on = [](const forms::Control& c) { return c.Enabled() ? "+" : "-"; };
        auto shown = [](const forms::Control& c) { return c.Visible() ? "1" : "0"; };
        const auto& cancel = W().Ctl("cmdCancel");
        const auto& back = W().Ctl("cmdBack");
        const auto& next = W().Ctl("cmdNext");
        return W().Caption() + " | " + W().Ctl("lblMessage").Caption() + " | " + on(cancel) +
               cancel.Caption() + " " + on(back) + back.Caption() + " " + on(next) +
               next.Caption() + " | " + shown(Packages()) + shown(Components()) +
               shown(Check("chkInitialization")) + shown(Check("chkScripting")) +
               shown(Check("chkLaunch"));
    }

    forms::ScopedHeadlessUi ui_;
    win::RecordingProcessStarter starter_;
#ifdef _WIN32
    std::unique_ptr<win::testing::PrivateMachineKeys> machine_;
#endif
    win::ScopedProcessStarter scopedStarter_{starter_};
    fs::path folder_;
    std::unique_ptr<frmWizard> wizard_;
    int ended_ = 0;
};

TEST_F(WizardTest, PagesFollowTheTable) {
    Import(kCatalog);
    Open();
    EXPECT_EQ(Layout(),
              "Fenmoor Custom Object Wizard | Welcome to the Fenmoor Custom Object Wizard!  This "
              "Wizard will make appropriate Registry entries to run your custom business object "
              "with RDS. | +Cancel -Back +Next | 00000");
    Next();
    EXPECT_EQ(Layout(),
              "Step 1 | Select the MTS Package and MTS Component to use with RDS. | +Cancel +Back "
              "+Next | 11000");
    Packages().UserSelect(1);
    Components().UserSelect(1);
    Next();
    EXPECT_EQ(Layout(),
              "Step 2 | Select the Registry entries to make. | +Cancel +Back +Finish | 00111");
    Next();
    EXPECT_EQ(Layout(), "Step 3 | The Fenmoor is finished! | -Cancel -Back +Close | 00000");
    EXPECT_EQ(W().Step(), 3);
    EXPECT_EQ(ended_, 0);
    Next();  // Close
    EXPECT_EQ(ended_, 1);
    // Every step put the pointer back; nothing was said to the user.
    EXPECT_EQ(forms::Screen().MousePointer(), forms::vbDefault);
    EXPECT_EQ(ui_.pointers.back(), forms::vbDefault);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(WizardTest, BackReturnsThroughThePages) {
    Import(kCatalog);
    Open();
    ToPage2();
    Back();
    EXPECT_EQ(W().Step(), 1);
    EXPECT_EQ(W().Caption(), "Step 1");
    Back();
    EXPECT_EQ(W().Step(), 0);
    EXPECT_FALSE(W().Ctl("cmdBack").Enabled());
}

TEST_F(WizardTest, FormLookAndKeys) {
    Import(kCatalog);
    Open();
    EXPECT_EQ(W().ScaleWidth(), 6525);
    EXPECT_EQ(W().ScaleHeight(), 3165);
    forms::testing::ExpectSoundLayout(W());
    EXPECT_EQ(W().Ctl("lstComponents").Font(), (forms::Font{"Verdana", 9.75}));
    W().UserKeyPress(forms::vbKeyReturn);  // Enter presses Next
    EXPECT_EQ(W().Step(), 1);
    W().UserKeyPress(forms::vbKeyEscape);  // Esc presses Cancel
    EXPECT_EQ(ended_, 1);
}

TEST_F(WizardTest, EntriesCarryNameGapAndKey) {
    Import(kCatalog);
    Open();
    Next();
    ASSERT_EQ(Packages().ListCount(), 2);
    EXPECT_EQ(Packages().List(0), "System" + kGap + kSystem);
    EXPECT_EQ(Packages().List(1), "Order Entry" + kGap + kOrders);
    EXPECT_EQ(Components().ListCount(), 0);

    Packages().UserSelect(1);
    ASSERT_EQ(Components().ListCount(), 2);
    EXPECT_EQ(Components().List(0), "Orders.Basket (legacy)" + kGap + kBasket);
    EXPECT_EQ(Components().List(1), "Orders.Ledger" + kGap + kLedger);
    // A package click takes no component.
    EXPECT_EQ(W().CLSID(), "");
    EXPECT_EQ(W().ProgID(), "");
    EXPECT_EQ(W().Caption(), "Step 1");
}

TEST_F(WizardTest, ComponentClickReadsKeyAndNameBack) {
    Import(kCatalog);
    Open();
    Next();
    Packages().UserSelect(1);
    Components().UserSelect(1);
    EXPECT_EQ(W().Caption(), "Orders.Ledger " + kLedger);
    // A name with a blank is taken up to the blank.
    Components().UserSelect(0);
    EXPECT_EQ(W().CLSID(), kBasket);
    EXPECT_EQ(W().ProgID(), "Orders.Basket");
    EXPECT_EQ(W().Caption(), "Orders.Basket " + kBasket);
    // The component stays chosen while another package is looked at.
    Packages().UserSelect(0);
    EXPECT_EQ(Components().ListCount(), 0);
    EXPECT_EQ(W().CLSID(), kBasket);
}

TEST_F(WizardTest, NextWithoutAComponentIsRefused) {
    Import(kCatalog);
    Open();
    Next();
    Next();  // nothing clicked
    Packages().UserSelect(0);
    Next();  // a package without components
    Packages().UserSelect(1);
    Next();  // components listed, none selected
    ASSERT_EQ(ui_.messages.size(), 3u);
    for (const auto& m : ui_.messages) {
        EXPECT_EQ(m.prompt, "Select a component.");
        EXPECT_EQ(m.title, "Fenmoor");
        EXPECT_EQ(m.buttons, forms::vbOKOnly | forms::vbExclamation);
    }
    EXPECT_EQ(W().Step(), 1);
    EXPECT_EQ(W().Caption(), "Step 1");
}

TEST_F(WizardTest, ComingBackToPage1RebuildsTheListsAndRefusesAgain) {
    Import(kCatalog);
    Open();
    ToPage2();
    Back();
    EXPECT_EQ(Packages().ListCount(), 2);
    EXPECT_EQ(Packages().ListIndex(), -1);
    EXPECT_EQ(Components().ListCount(), 0);
    Next();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].prompt, "Select a component.");
    EXPECT_EQ(W().Step(), 1);
}

TEST_F(WizardTest, CheckBoxesStartTickedAndKeepTheirTicks) {
    Import(kCatalog);
    Open();
    ToPage2();
    for (const char* name : {"chkInitialization", "chkScripting", "chkLaunch"})
        EXPECT_EQ(Check(name).Value(), forms::vbChecked) << name;
    Check("chkScripting").UserClick();
    Back();
    Packages().UserSelect(1);
    Components().UserSelect(1);
    Next();
    EXPECT_EQ(Check("chkScripting").Value(), forms::vbUnchecked);
    EXPECT_EQ(Check("chkLaunch").Value(), forms::vbChecked);
}

TEST_F(WizardTest, FinishWritesTheScriptAndStartsTheEditorOnIt) {
    Import(kCatalog);
    Open();
    ToPage2();
    Next();
    EXPECT_EQ(ReadFile(Script()), BuildRegScript(kLedger, "Orders.Ledger", {true, true, true}));
    ASSERT_EQ(starter_.requests.size(), 1u);
    const auto& request = starter_.requests[0];
    EXPECT_EQ(request.commandLine, "REGEDIT " + Script().string());
    EXPECT_EQ(request.argv, (std::vector<std::string>{"REGEDIT", Script().string()}));
    EXPECT_EQ(request.windowStyle, win::vbMinimizedFocus);
}

TEST_F(WizardTest, ScriptFollowsTheCheckBoxesAndGrayedIsNotTicked) {
    Import(kCatalog);
    for (int mask = 0; mask < 8; ++mask) {
        SCOPED_TRACE(mask);
        Open();
        ToPage2(0);
        // A cleared box is grayed on every second run: both count as not ticked.
        const int off = (mask % 2) ? forms::vbGrayed : forms::vbUnchecked;
        Check("chkScripting").SetValue(mask & 1 ? forms::vbChecked : off);
        Check("chkInitialization").SetValue(mask & 2 ? forms::vbChecked : off);
        Check("chkLaunch").SetValue(mask & 4 ? forms::vbChecked : off);
        Next();
        // Each run replaces the script of the last one.
        EXPECT_EQ(ReadFile(Script()), BuildRegScript(kBasket, "Orders.Basket",
                                                     {(mask & 1) != 0, (mask & 2) != 0,
                                                      (mask & 4) != 0}));
    }
    EXPECT_EQ(starter_.requests.size(), 8u);
}

TEST_F(WizardTest, CancelAndCloseEndWithoutWriting) {
    Import(kCatalog);
    Open();
    ToPage2();
    Cancel();
    EXPECT_EQ(ended_, 1);
    EXPECT_FALSE(fs::exists(Script()));
    EXPECT_TRUE(starter_.requests.empty());

    Open();
    ToPage2();
    W().UserClose();
    EXPECT_EQ(ended_, 2);
    EXPECT_FALSE(fs::exists(Script()));
    EXPECT_TRUE(starter_.requests.empty());
}

TEST_F(WizardTest, WithoutACatalogPage1IsEmptyAndSilent) {
    Open();  // the store holds no catalog
    Next();
    EXPECT_EQ(W().Step(), 1);
    EXPECT_EQ(Layout(),
              "Step 1 | Select the MTS Package and MTS Component to use with RDS. | +Cancel +Back "
              "+Next | 11000");
    EXPECT_EQ(Packages().ListCount(), 0);
    Next();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].prompt, "Select a component.");
    EXPECT_EQ(forms::Screen().MousePointer(), forms::vbDefault);
}

TEST_F(WizardTest, CatalogFailureOnAPackageClickIsReportedAndEndsTheProgram) {
    Import(kCatalog);
    Open();
    Next();
    // The package goes away between listing and clicking.
    const std::string key = "SOFTWARE\\Tarnwick\\Catalog\\Packages\\" + kSystem;
    ASSERT_EQ(win::RegDeleteKey(win::HKEY_LOCAL_MACHINE, key.c_str()), win::ERROR_SUCCESS);
    Packages().UserSelect(0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Fenmoor");
    EXPECT_EQ(ui_.messages[0].buttons, forms::vbOKOnly | forms::vbCritical);
    EXPECT_EQ(ui_.messages[0].prompt.rfind("Run-time error '-2146368509':", 0), 0u)
        << ui_.messages[0].prompt;
    EXPECT_TRUE(ui_.ended) << "the runtime ends the program after an untrapped error";
}

// The script is whole or absent, and the editor is only started on a script
// that was just written; otherwise the user is told and stays on page 2.
TEST_F(WizardTest, UnwritableScriptStartsNothingAndStaysOnPage2) {
    Import(kCatalog);
    const fs::path missing = folder_ / "gone";
    Open(missing);
    ToPage2();
    Next();
    EXPECT_TRUE(starter_.requests.empty());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Fenmoor");
    EXPECT_EQ(ui_.messages[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    // Every writer reports through the one save path, in its words.
    const std::string noFolder = "No such file or directory";
    // The script named as the system writes paths.
    EXPECT_EQ(ui_.messages[0].prompt, "The registration script " + (missing / "wizard.reg").string() +
                                          " could not be written: " + noFolder + ".");
    EXPECT_EQ(W().Step(), 2);
    EXPECT_EQ(Layout(),
              "Step 2 | Select the Registry entries to make. | +Cancel +Back +Finish | 00111");

    // Once the folder is there, Finish goes through.
    fs::create_directories(missing);
    Next();
    EXPECT_EQ(W().Step(), 3);
    EXPECT_TRUE(fs::exists(missing / "wizard.reg"));
    EXPECT_EQ(starter_.requests.size(), 1u);
}

TEST_F(WizardTest, OldScriptThatCannotBeReplacedIsNotHandedOver) {
    Import(kCatalog);
    fs::create_directories(Script() / "locked");  // wizard.reg is a folder
    Open();
    ToPage2();
    Next();
    EXPECT_TRUE(starter_.requests.empty());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(W().Step(), 2);
    EXPECT_TRUE(fs::is_directory(Script() / "locked"));
    // Nothing else was left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1);
}

TEST_F(WizardTest, EditorThatCannotStartIsReported) {
    Import(kCatalog);
    Open();
    ToPage2();
    starter_.failNext = true;
    Next();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Fenmoor");
    EXPECT_NE(ui_.messages[0].prompt.find("The registry editor could not be started"),
              std::string::npos);
    EXPECT_EQ(W().Step(), 2);
    EXPECT_TRUE(fs::exists(Script()));  // the script is ready for another try
    Next();
    EXPECT_EQ(W().Step(), 3);
}

// A catalog is data someone else wrote: a component whose name would add
// its own lines to the script gets no script at all.
TEST_F(WizardTest, AHostileComponentNameIsRefusedAndNoScriptIsWritten) {
    Import(std::string(kCatalog) +
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}"
           "\\Components\\{C2000000-0000-0000-0000-00000000000C}]\r\n"
           "\"ProgID\"=hex(1):78,5d,0d,0a,5b,2d,48,4b,45,59,5f,43,55,52,52,45,4e,54,5f,55,53,45,52,5d,00\r\n");
    Open();
    Next();
    Packages().UserSelect(1);
    ASSERT_EQ(Components().ListCount(), 3);
    Components().UserSelect(2);
    ASSERT_EQ(W().ProgID(), "x]\r\n[-HKEY_CURRENT_USER]");
    Next();
    Next();
    EXPECT_FALSE(fs::exists(Script()));
    EXPECT_TRUE(starter_.requests.empty());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Fenmoor");
    EXPECT_EQ(ui_.messages[0].prompt,
              "The component's name \"x]\\r\\n[-HKEY_CURRENT_USER]\" holds a line break: no "
              "registration script was written.");
    EXPECT_EQ(W().Step(), 2);
    // Without the launch entry the name is not used, and the script is written.
    Check("chkLaunch").SetValue(forms::vbUnchecked);
    Next();
    EXPECT_EQ(W().Step(), 3);
    EXPECT_EQ(ReadFile(Script()), BuildRegScript("{C2000000-0000-0000-0000-00000000000C}", "",
                                                 {true, true, false}));
}

TEST_F(WizardTest, FolderWithABlankIsQuotedOnTheCommandLine) {
    Import(kCatalog);
    const fs::path spaced = folder_ / "My Tools";
    fs::create_directories(spaced);
    Open(spaced);
    ToPage2();
    Next();
    ASSERT_EQ(starter_.requests.size(), 1u);
    const std::string path = (spaced / "wizard.reg").string();
    EXPECT_EQ(starter_.requests[0].commandLine, "REGEDIT \"" + path + "\"");
    EXPECT_EQ(starter_.requests[0].argv, (std::vector<std::string>{"REGEDIT", path}));
    EXPECT_TRUE(fs::exists(path));
}

}  // namespace
}  // namespace fenmoor
