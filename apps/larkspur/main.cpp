// Larkspur, the provider registration utility: its main form in a window.

#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "platform/win/files.h"
#ifdef _WIN32
#include "platform/forms/win32/win32_app.h"
#else
#include "platform/forms/qt/qt_app.h"
#endif

namespace {
// Any function of this program tells GetModuleFolder which module is meant.
void Anchor() {}
}  // namespace

int main(int argc, char** argv) {
    larkspur::App().Path = win::GetModuleFolder(reinterpret_cast<const void*>(&Anchor));
#ifdef _WIN32
    (void)argc;
    (void)argv;
    larkspur::frmOLESP form;
    return forms::win32::RunProgram([&form] { form.Show(); });
#else
    larkspur::frmOLESP form;
    return forms::qt::RunProgram(argc, argv, [&form] { form.Show(); });
#endif
}
