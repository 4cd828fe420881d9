// Fenmoor: the custom-object registration wizard. Shows the wizard and runs
// until it ends; the wizard's catalog is the registry store's.

#include <memory>

#include "fenmoor/frmWizard.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/win/files.h"

namespace {
// Any object of this program: its address names the module for GetModuleFolder.
const int kModuleMarker = 0;
}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<fenmoor::frmWizard> wizard;
    return forms::qt::RunProgram(argc, argv, [&wizard] {
        fenmoor::WizardServices services;
        services.app = fenmoor::FenmoorApp();
        services.app.Path = win::GetModuleFolder(&kModuleMarker);
        // Ending the program hides the wizard; the event loop then ends, since
        // no form is left on screen.
        services.endProgram = [&wizard] { wizard->Hide(); };
        wizard = std::make_unique<fenmoor::frmWizard>(std::move(services));
        wizard->Show();
    });
}
