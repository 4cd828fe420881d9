#pragma once
// The services of the VB runtime that forms and tools call: message boxes, the
// screen's mouse pointer, DoEvents, and the showing of forms. They go to one
// user-interface backend: the headless one (records and scripted answers, the
// default) or the Qt one that a program with windows installs.

#include <functional>
#include <string>

#include "platform/forms/vb_constants.h"

namespace forms {

class Form;

class UiBackend {
public:
    virtual ~UiBackend() = default;
    // Shows a message box; answers the button pressed (vbOK, vbYes, ...).
    virtual int MsgBox(const std::string& prompt, int buttons, const std::string& title) = 0;
    // Shows a form. For a modal form the call returns once the form is hidden
    // or unloaded; for a modeless one at once.
    virtual void ShowForm(Form& form, bool modal) = 0;
    // The form was hidden or unloaded (ends a modal showing).
    virtual void FormHidden(Form& form) = 0;
    virtual void FormUnloaded(Form& form) = 0;
    // Lets pending window messages be processed.
    virtual void DoEvents() = 0;
    virtual void MousePointerChanged(int pointer) = 0;
    // VB's End: the program stops at once. The headless backend only records
    // it (the caller returns); a program's backend ends the process.
    virtual void End() = 0;
};

// The backend in use; the headless one unless a program installed another.
UiBackend& Ui();
// Installs a backend (nullptr: back to the default headless one). The caller
// keeps ownership and must keep it alive while installed.
void SetUi(UiBackend* backend);

// VB's MsgBox. An empty title stays empty; callers pass their App title where
// VB would show it.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});
void DoEvents();
// VB's End statement; callers return right after it.
void End();

// Delivers one action of the user on a form (a click, a key, a pick, a
// change of focus) as VB's message loop does: it is the bottom of the call
// stack, so a run-time error that no event handler raised by the action
// traps ends here. The error is reported in VB's box ("Run-time error 'N':",
// a blank line and the description, headed with the form's AppTitle) and
// the program ends (End). No run-time error leaves the call, so none crosses
// a window system's event loop; a std::logic_error (a fault of the program
// or of a test's script) does. Answers whether the action completed.
bool DeliverUserAction(Form& form, const std::function<void()>& action);

class ScreenObject {
public:
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer);
    int TwipsPerPixelX() const { return kTwipsPerPixel; }

private:
    int mousePointer_ = vbDefault;
};

// VB's Screen object.
ScreenObject& Screen();

}  // namespace forms
