#include "platform/forms/runtime.h"

#include <cstdint>
#include <exception>
#include <stdexcept>

#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "base/vb_error.h"

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

bool DeliverUserAction(Form& form, const std::function<void()>& action) {
    std::string report;
    try {
        action();
        return true;
    } catch (const vb::VbError& e) {
        report = "Run-time error '" + std::to_string(e.Number()) + "':\n\n" + e.Description();
    } catch (const std::logic_error&) {
        // A fault of the program itself (or of a test's script), not a
        // run-time error: it must surface, not end as a message.
        throw;
    } catch (const std::exception& e) {
        report = std::string("Run-time error:\n\n") + e.what();
    }
    MsgBox(report, vbOKOnly | vbCritical, form.AppTitle());
    End();
    return false;
}

void ScreenObject::SetMousePointer(int pointer) {
    mousePointer_ = pointer;
    Ui().MousePointerChanged(pointer);
}

ScreenObject& Screen() {
    static ScreenObject screen;
    return screen;
}

}  // namespace forms
