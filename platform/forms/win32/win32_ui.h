#pragma once
// The Windows user interface of the forms runtime: native windows for forms,
// MessageBoxA, message loops for modal forms, the hourglass cursor.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/forms/runtime.h"

namespace forms::win32 {

class FormWindow;

class Win32Ui : public UiBackend {
public:
    Win32Ui() = default;
    ~Win32Ui() override;

    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    void ShowForm(Form& form, bool modal) override;
    void FormHidden(Form& form) override;
    void FormUnloaded(Form& form) override;
    void DoEvents() override;
    void MousePointerChanged(int pointer) override;
    void End() override;

    FormWindow* WindowOf(const Form& form) const;
    // Runs the message loop until `done` answers true or the program ends.
    void RunUntil(const std::function<bool()>& done);
    int VisibleForms() const;

private:
    bool Pump(bool wait);

    std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
    bool ended_ = false;
};

// The owner of new form windows (SetOwnerWindow), nullptr for none.
HWND OwnerWindow();

// The cursor every form shows while the program is busy (the hourglass), or
// nullptr for the windows' own cursors.
HCURSOR FormsCursor();

}  // namespace forms::win32
