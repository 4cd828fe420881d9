#include "platform/forms/runtime.h"

#include "platform/forms/headless.h"

namespace forms {

namespace {

HeadlessUi& DefaultUi() {
    static HeadlessUi ui;
    return ui;
}

UiBackend* g_backend = nullptr;

}  // namespace

UiBackend& Ui() { return g_backend ? *g_backend : DefaultUi(); }

void SetUi(UiBackend* backend) { g_backend = backend; }

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    return Ui().MsgBox(prompt, buttons, title);
}

void DoEvents() { Ui().DoEvents(); }

void End() { Ui().End(); }

void ScreenObject::SetMousePointer(int pointer) {
    mousePointer_ = pointer;
    Ui().MousePointerChanged(pointer);
}

ScreenObject& Screen() {
    static ScreenObject screen;
    return screen;
}

}  // namespace forms
