// Larkspur, the provider registration utility: its main form in a window.

#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/win/files.h"

namespace {
// Any function of this program tells GetModuleFolder which module is meant.
void Anchor() {}
}  // namespace

int main(int argc, char** argv) {
    larkspur::App().Path = win::GetModuleFolder(reinterpret_cast<const void*>(&Anchor));
    larkspur::frmOLESP form;
    return forms::qt::RunProgram(argc, argv, [&form] { form.Show(); });
}
