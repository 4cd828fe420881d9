// Fenmoor: the custom-object registration wizard. Shows the wizard and runs
// until it ends; the wizard's catalog is the registry store's.

#include <memory>

#include "fenmoor/frmWizard.h"
#include "platform/win/files.h"
#ifdef _WIN32
#include "platform/forms/win32/win32_app.h"
#else
#include "platform/forms/qt/qt_app.h"
#endif

namespace {
// Any object of this program: its address names the module for GetModuleFolder.
const int kModuleMarker = 0;
}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<fenmoor::frmWizard> wizard;
    const auto start = [&wizard] {
        fenmoor::WizardServices services;
        services.app = fenmoor::FenmoorApp();
        services.app.Path = win::GetModuleFolder(&kModuleMarker);
        // Ending the program hides the wizard; the event loop then ends, since
        // no form is left on screen.
        services.endProgram = [&wizard] { wizard->Hide(); };
        wizard = std::make_unique<fenmoor::frmWizard>(std::move(services));
        wizard->Show();
    };
#ifdef _WIN32
    (void)argc;
    (void)argv;
    return forms::win32::RunProgram(start);
#else
    return forms::qt::RunProgram(argc, argv, start);
#endif
}
