#include "apps/tarnwick/tour_programs.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

#include "apps/tarnwick/tour_support.h"
#include "fenmoor/frmWizard.h"
#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "platform/forms/headless.h"
#include "platform/win/process.h"
#include "platform/win/registry_script.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Imports a script the way the registry editor would, and prints the keys
// the store now holds under `key`.
bool ImportAndShow(std::ostream& out, const fs::path& script, const std::vector<std::string>& keys) {
    win::RegistryScriptResult imported = win::ImportRegistryScript(script.string());
    if (!imported.ok) {
        out << "  import failed: " << imported.error << "\n";
        return false;
    }
    out << "  imported " << imported.keys << " keys and " << imported.values
        << " values; the store now holds:\n";
    for (const std::string& key : keys) {
        std::string text;
        win::RegistryScriptResult exported =
            win::ExportRegistryScriptText(key, win::RegistryScriptFormat::Regedit4, text);
        if (!exported.ok) {
            out << "  export failed: " << exported.error << "\n";
            return false;
        }
        // The export's header line is the same each time; the keys follow it.
        PrintIndented(out, text.substr(text.find("\r\n\r\n") + 4));
    }
    return true;
}

}  // namespace

bool TourLarkspur(ProgramTour& tour) {
    Heading(tour.out, "Larkspur: an OLE DB provider registered for Tarnwick.Ledger");
    larkspur::App().Path = tour.programFolder.string();
    win::RecordingProcessStarter starter;
    win::ScopedProcessStarter recording(starter);

    larkspur::frmOLESP form;
    form.Show();  // start-up: warning, runtime check, list of ProgIDs
    for (const auto& message : tour.ui.messages) tour.out << "  message: " << message.prompt << "\n";
    auto& list = form.Get<forms::ListBox>("lstDataProgIDs");
    tour.out << "  " << list.ListCount() << " ProgIDs listed; server path " << form.ServerPath() << "\n";
    form.Get<forms::TextBox>("txtDataProgID").UserType("tarnwick.led");
    form.UserKeyPress(forms::vbKeyReturn);  // takes the highlighted ProgID
    // The user clicks at the end of the provider's name and adds to it.
    auto& name = form.Get<forms::TextBox>("txtName");
    name.SetSelStart(static_cast<int>(name.Text().size()));
    name.UserType("Provider");
    const std::string provider = name.Text();
    form.Get<forms::CommandButton>("cmdGen").UserClick();
    const std::string guid = form.Get<forms::TextBox>("txtGUID").Text();
    tour.out << "  data source " << form.Get<forms::TextBox>("txtDataProgID").Text() << ", provider "
             << form.Get<forms::TextBox>("txtName").Text() << ", GUID "
             << form.Get<forms::TextBox>("txtGUID").Text() << "\n";
    Snap(form, tour.screenshots / "larkspur.png", tour.out);
    form.Get<forms::CommandButton>("cmdGO").UserClick();
    form.Unload();

    if (starter.requests.empty()) {
        tour.out << "  GO! did not start the registry editor\n";
        return false;
    }
    tour.out << "  registry editor started: " << starter.requests.back().commandLine << "\n";
    const fs::path script = tour.programFolder / "Provider.reg";
    tour.out << "  " << script.string() << ":\n";
    PrintIndented(tour.out, Slurp(script));
    return ImportAndShow(tour.out, script,
                         {"HKEY_CLASSES_ROOT\\" + provider, "HKEY_CLASSES_ROOT\\CLSID\\" + guid});
}

bool TourFenmoor(ProgramTour& tour) {
    Heading(tour.out, "Fenmoor: a catalog component made safe for RDS");
    fenmoor::WizardServices services;
    services.app = fenmoor::FenmoorApp();
    services.app.Path = tour.programFolder.string();
    bool ended = false;
    services.endProgram = [&] { ended = true; };
    win::RecordingProcessStarter starter;
    win::ScopedProcessStarter recording(starter);

    fenmoor::frmWizard wizard(std::move(services));
    wizard.Show();
    auto next = [&] { wizard.Get<forms::CommandButton>("cmdNext").UserClick(); };
    next();  // page 1: packages
    auto& packages = wizard.Get<forms::ListBox>("lstPackages");
    auto& components = wizard.Get<forms::ListBox>("lstComponents");
    auto text = [](const std::string& entry) { return entry.substr(0, entry.find("    ")); };
    tour.out << "  packages:";
    for (int i = 0; i < packages.ListCount(); ++i) tour.out << " [" << text(packages.List(i)) << "]";
    tour.out << "\n";
    for (int i = 0; i < packages.ListCount(); ++i)
        if (text(packages.List(i)) == "Order Entry") packages.UserSelect(i);
    if (components.ListCount() == 0) {
        tour.out << "  the package lists no components\n";
        return false;
    }
    components.UserSelect(0);
    tour.out << "  component " << text(components.List(0)) << " " << wizard.CLSID() << "\n";
    Snap(wizard, tour.screenshots / "fenmoor-step1.png", tour.out);
    next();  // page 2: the three registry entries, all ticked
    Snap(wizard, tour.screenshots / "fenmoor-step2.png", tour.out);
    next();  // Finish
    tour.out << "  page " << wizard.Step() << ": " << wizard.Ctl("lblMessage").Caption() << "\n";
    Snap(wizard, tour.screenshots / "fenmoor-finished.png", tour.out);
    wizard.Get<forms::CommandButton>("cmdNext").UserClick();  // Close
    if (!ended || starter.requests.empty()) {
        tour.out << "  Finish did not start the registry editor\n";
        return false;
    }
    tour.out << "  registry editor started: " << starter.requests.back().commandLine << "\n";
    const fs::path script = tour.programFolder / "wizard.reg";
    tour.out << "  " << script.string() << ":\n";
    PrintIndented(tour.out, Slurp(script));
    const std::string clsid = wizard.CLSID();
    return ImportAndShow(tour.out, script,
                         {"HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\Implemented Categories",
                          "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch"});
}

}  // namespace tarnwick
