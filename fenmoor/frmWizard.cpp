#include "fenmoor/frmWizard.h"

#include "platform/win/files.h"

#include <exception>
#include <iterator>

#include "base/vb_error.h"
#include "fenmoor/list_entry.h"
#include "fenmoor/registration_script.h"
#include "platform/forms/controls.h"
#include "platform/forms/runtime.h"
#include "platform/win/process.h"

namespace fenmoor {

using forms::ControlKind;

namespace {

const char* const kTitle = "Fenmoor";

// Remembers the screen's mouse pointer, shows the hourglass, and puts the
// remembered pointer back when the step ends, also after a caught error.
class Hourglass {
public:
    Hourglass() : pointer_(forms::Screen().MousePointer()) {
        forms::Screen().SetMousePointer(forms::vbHourglass);
    }
    ~Hourglass() { Restore(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
    void Restore() {
        if (restored_) return;
        restored_ = true;
        forms::Screen().SetMousePointer(pointer_);
    }

private:
    int pointer_;
    bool restored_ = false;
};

}  // namespace

forms::AppInfo FenmoorApp() {
    forms::AppInfo app;
    app.Title = "Fenmoor";
    app.ProductName = "Fenmoor";
    app.FileDescription = "Fenmoor Custom Object Wizard";
    app.EXEName = "fenmoor";
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 0;
    return app;
}

const forms::StringTable& WizardStrings() {
    static const forms::StringTable table{
        {1,
         "Welcome to the Fenmoor Custom Object Wizard!  This Wizard will make appropriate "
         "Registry entries to run your custom business object with RDS."},
        {2, "Cancel"},
        {3, "Back"},
        {4, "Next"},
        {5, "Select the MTS Package and MTS Component to use with RDS."},
        {6, "Cancel"},
        {7, "Back"},
        {8, "Next"},
        {9, "Select the Registry entries to make."},
        {10, "Cancel"},
        {11, "Back"},
        {12, "Finish"},
        {13, "The Fenmoor is finished!"},
        {14, "Cancel"},
        {15, "Back"},
        {16, "Close"},
    };
    return table;
}

frmWizard::frmWizard(WizardServices services)
    : forms::Form("frmWizard"), services_(std::move(services)) {
    if (!services_.createCatalog)
        services_.createCatalog = [] { return std::make_unique<mts::Catalog>(); };

    SetCaption("Fenmoor Custom Object Wizard");
    SetBorderStyle(forms::vbFixedSingle);
    SetMaxButton(false);
    SetStartUpPosition(forms::vbStartUpScreen);
    SetClientSize(6525, 3165);
    SetIcon("icon:fenmoor");
    SetAppTitle(services_.app.Title);
    SetFont(forms::Font{"Verdana", 9.75});

    // Next comes first in tab order, so that Enter on the opening page goes on
    // rather than pressing a focused Cancel.
    AddControls({
        {.name = "lblMessage", .kind = ControlKind::Label, .left = 180, .top = 210, .width = 2625,
         .height = 2085, .tabIndex = 0},
        {.name = "lstPackages", .kind = ControlKind::ListBox, .left = 2970, .top = 180,
         .width = 3345, .height = 1020, .tabIndex = 1},
        {.name = "lstComponents", .kind = ControlKind::ListBox, .left = 2970, .top = 1260,
         .width = 3345, .height = 1020, .tabIndex = 2},
        {.name = "chkInitialization", .kind = ControlKind::CheckBox,
         .caption = "Safe for Initialization", .left = 3285, .top = 495, .width = 2625,
         .height = 285, .tabIndex = 3},
        {.name = "chkScripting", .kind = ControlKind::CheckBox, .caption = "Safe for Scripting",
         .left = 3285, .top = 900, .width = 2625, .height = 285, .tabIndex = 4},
        {.name = "chkLaunch", .kind = ControlKind::CheckBox, .caption = "IIS Launch Permission",
         .left = 3285, .top = 1305, .width = 2625, .height = 285, .tabIndex = 5},
        {.name = "Line2", .kind = ControlKind::Line, .tabIndex = 6},
        {.name = "Line1", .kind = ControlKind::Line, .tabIndex = 7},
        {.name = "cmdNext", .kind = ControlKind::CommandButton, .caption = "Next", .left = 5246,
         .top = 2535, .width = 1095, .height = 420, .tabIndex = 8},
        {.name = "cmdBack", .kind = ControlKind::CommandButton, .caption = "Back", .left = 4050,
         .top = 2565, .width = 1095, .height = 375, .tabIndex = 9},
        {.name = "cmdCancel", .kind = ControlKind::CommandButton, .caption = "Cancel",
         .left = 2790, .top = 2565, .width = 1095, .height = 375, .tabIndex = 10},
    });

    // The etched separator above the buttons: a grey line over a white one.
    auto& grey = Get<forms::Line>("Line2");
    grey.SetPoints(180, 2370, 6390, 2370);
    grey.SetBorderColor(0x808080);
    auto& white = Get<forms::Line>("Line1");
    white.SetPoints(180, 2385, 6390, 2385);
    white.SetBorderColor(forms::vbWhite);

    for (const char* name : {"chkInitialization", "chkScripting", "chkLaunch"})
        Get<forms::CheckBox>(name).SetValue(forms::vbChecked);
    Get<forms::CommandButton>("cmdNext").SetDefault(true);
    Get<forms::CommandButton>("cmdCancel").SetCancel(true);

    Ctl("cmdNext").onClick = [this] { cmdNext_Click(); };
    Ctl("cmdBack").onClick = [this] { cmdBack_Click(); };
    Ctl("cmdCancel").onClick = [this] { cmdCancel_Click(); };
    Ctl("lstPackages").onClick = [this] { lstPackages_Click(); };
    Ctl("lstComponents").onClick = [this] { lstComponents_Click(); };
}

std::string frmWizard::ScriptPath() const { return services_.app.Path + "/wizard.reg"; }

void frmWizard::Form_Load() {
    intStep = 0;
    ShowStep();
}

void frmWizard::Form_Unload(int&) {
    // Closing the window ends the program like Cancel: nothing is written.
    End();
}

void frmWizard::cmdNext_Click() {
    if (intStep == 3) {
        End();
        return;
    }
    if (intStep == 1 && Get<forms::ListBox>("lstComponents").ListIndex() == -1) {
        forms::MsgBox("Select a component.", forms::vbOKOnly | forms::vbExclamation, kTitle);
        return;
    }
    ++intStep;
    ShowStep();
}

void frmWizard::cmdBack_Click() {
    --intStep;
    ShowStep();
}

void frmWizard::cmdCancel_Click() { End(); }

void frmWizard::lstPackages_Click() {
    // Not trapped: a catalog failure here is an error of the program.
    const auto& packages = Get<forms::ListBox>("lstPackages");
    const int selected = packages.ListIndex();
    const std::string key = KeyOfEntry(selected >= 0 ? packages.List(selected) : std::string());
    objComponents = objPackages->GetCollection("ComponentsInPackage", key);
    objComponents->Populate();
    auto& components = Get<forms::ListBox>("lstComponents");
    components.Clear();
    for (const mts::ICatalogObject& component : *objComponents)
        components.AddItem(MakeEntry(component.Name(), component.Key()));
}

void frmWizard::lstComponents_Click() {
    const auto& components = Get<forms::ListBox>("lstComponents");
    const int selected = components.ListIndex();
    const std::string entry = selected >= 0 ? components.List(selected) : std::string();
    strCLSID = KeyOfEntry(entry);
    strProgID = NameOfEntry(entry);
    SetCaption(strProgID + " " + strCLSID);
}

void frmWizard::ShowStep() {
    std::string failure;
    {
        Hourglass hourglass;
        try {
            // Page 3 says the work is done, so the script is made and handed
            // over before the page shows; when either fails the wizard stays on
            // page 2 and says why.
            if (intStep == 3) {
                failure = WriteRegFile();
                if (failure.empty()) failure = RunRegedit();
                if (!failure.empty()) intStep = 2;
            }

            const forms::StringTable& strings = WizardStrings();
            const int n = intStep;
            Ctl("lblMessage").SetCaption(strings.LoadResString(4 * n + 1));
            Ctl("cmdCancel").SetCaption(strings.LoadResString(4 * n + 2));
            Ctl("cmdBack").SetCaption(strings.LoadResString(4 * n + 3));
            Ctl("cmdNext").SetCaption(strings.LoadResString(4 * n + 4));

            // What each page shows: its caption, which buttons can be pressed
            // and whether the lists or the check boxes are visible.
            struct Page {
                const char* caption;
                bool cancel = true, back = true, next = true;
                bool lists = false, checks = false;
            };
            static const Page kPages[] = {
                {.caption = "Fenmoor Custom Object Wizard", .back = false},
                {.caption = "Step 1", .lists = true},
                {.caption = "Step 2", .checks = true},
                {.caption = "Step 3", .cancel = false, .back = false},
            };
            if (intStep >= 0 && intStep < static_cast<int>(std::size(kPages))) {
                const Page& page = kPages[intStep];
                SetCaption(page.caption);
                if (page.lists) ListPackages();
                Ctl("cmdCancel").SetEnabled(page.cancel);
                Ctl("cmdBack").SetEnabled(page.back);
                Ctl("cmdNext").SetEnabled(page.next);
                ShowListsAndChecks(page.lists, page.checks);
            }
        } catch (...) {
            // Laying out a page fails silently; what was done stays done.
        }
    }
    if (!failure.empty()) forms::MsgBox(failure, forms::vbOKOnly | forms::vbExclamation, kTitle);
}

void frmWizard::ShowListsAndChecks(bool lists, bool checks) {
    Ctl("lstPackages").SetVisible(lists);
    Ctl("lstComponents").SetVisible(lists);
    Ctl("chkInitialization").SetVisible(checks);
    Ctl("chkScripting").SetVisible(checks);
    Ctl("chkLaunch").SetVisible(checks);
}

void frmWizard::ListPackages() {
    Hourglass hourglass;
    try {
        objCatalog = services_.createCatalog();
        objRoot = objCatalog->Connect("");
        objPackages = objRoot->GetCollection("Packages", "");
        objPackages->Populate();
        auto& packages = Get<forms::ListBox>("lstPackages");
        packages.Clear();
        Get<forms::ListBox>("lstComponents").Clear();
        for (const mts::ICatalogObject& package : *objPackages)
            packages.AddItem(MakeEntry(package.Name(), package.Key()));
    } catch (...) {
        // No catalog, or one that cannot be read: the lists stay as they are.
    }
}

std::string frmWizard::WriteRegFile() {
    Hourglass hourglass;
    const std::string path = ScriptPath();
    try {
        auto ticked = [this](const char* name) {
            return Get<forms::CheckBox>(name).Value() == forms::vbChecked;
        };
        ScriptChoices choices;
        choices.scripting = ticked("chkScripting");
        choices.initialization = ticked("chkInitialization");
        choices.launch = ticked("chkLaunch");
        // A catalog entry is data someone else wrote: a key or name that would
        // make the script address other keys than the component's is refused.
        if (const std::string refusal = RefuseRegScript(strCLSID, strProgID, choices);
            !refusal.empty())
            return refusal + ": no registration script was written.";
        const std::string reason =
            win::WriteFileAtomically(path, BuildRegScript(strCLSID, strProgID, choices));
        if (reason.empty()) return {};
        return "The registration script " + win::PlatformPath(path) + " could not be written: " + reason + ".";
    } catch (const std::exception& e) {
        return "The registration script " + win::PlatformPath(path) + " could not be written: " + e.what() + ".";
    }
}

std::string frmWizard::RunRegedit() {
    Hourglass hourglass;
    try {
        win::Shell("REGEDIT " + win::QuoteArgument(win::PlatformPath(ScriptPath())), win::vbMinimizedFocus);
        return {};
    } catch (const vb::VbError& e) {
        return "The registry editor could not be started: " + e.Description() +
               ". The registration script is " + win::PlatformPath(ScriptPath()) + ".";
    } catch (const std::exception& e) {
        return "The registry editor could not be started: " + std::string(e.what()) +
               ". The registration script is " + win::PlatformPath(ScriptPath()) + ".";
    }
}

void frmWizard::End() {
    if (ended_) return;
    ended_ = true;
    if (services_.endProgram) services_.endProgram();
    else Hide();
}

}  // namespace fenmoor
