#pragma once
// The Qt user interface of the forms runtime: real windows for forms, real
// message boxes, nested event loops for modal forms, the hourglass cursor.

#include <functional>
#include <map>

#include "platform/forms/runtime.h"

namespace forms::qt {

class FormView;

class QtUi : public UiBackend {
public:
    QtUi() = default;
    ~QtUi() override;

    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    void ShowForm(Form& form, bool modal) override;
    void FormHidden(Form& form) override;
    void FormUnloaded(Form& form) override;
    void DoEvents() override;
    void MousePointerChanged(int pointer) override;
    void End() override;

    // The view of a form that is or was shown, or nullptr.
    FormView* ViewOf(const Form& form) const;
    // Called when the last visible form has gone.
    std::function<void()> onLastFormGone;
    // A program that hosts other programs' forms (the environment window and
    // its add-ins) keeps running when one of them ends: End, which the
    // run-time also calls after an untrapped error's message, must not take
    // the user's unsaved projects with it. The forms stay as they are.
    bool keepRunningOnEnd = false;

private:
    FormView* ViewFor(Form& form);
    int VisibleForms() const;

    std::map<const Form*, FormView*> views_;
    int overrideCursors_ = 0;
};

}  // namespace forms::qt
