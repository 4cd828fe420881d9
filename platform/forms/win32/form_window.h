#pragma once
// The native window of one form: a top-level window with one USER32 control
// per model control at the control's twip geometry. The window follows the
// model through observers and turns the user's input into the model's user
// actions, so every rule (events, key filters, default buttons) lives in the
// model alone.

#include <windows.h>

#include <map>

namespace forms {
class Control;
class Form;
enum class Property;
enum class FormEvent;
}  // namespace forms

namespace forms::win32 {

class FormWindow {
public:
    explicit FormWindow(Form& form);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    Form& Model() const { return form_; }
    HWND Window() const { return window_; }
    HWND WindowOf(const Control& control) const;

    // Handles a keyboard message meant for this form's windows before it is
    // dispatched (Tab, Enter, Escape, access keys); answers whether it did.
    bool PreTranslate(const MSG& message);

    // Pixels for twips (96 DPI: 15 twips a pixel).
    static int Px(int twips) { return MulDiv(twips, 1, 15); }

private:
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT HandleForm(UINT message, WPARAM w, LPARAM l);
    LRESULT HandleControl(Control& control, HWND window, UINT message, WPARAM w, LPARAM l);
    void Command(Control& control, int code);

    void Build();
    HWND MakeWindow(Control& control);
    POINT Origin(const Control& control) const;
    void Sync(Control& control, Property what);
    // The rules every kind shares: geometry, font, enabled, visible, focus.
    void SyncCommon(Control& control, HWND window, Property what);
    void SyncAll(Control& control);
    void OnFormEvent(FormEvent what);
    HFONT FontFor(const Control& control);
    Control* ControlOf(HWND window) const;

    Form& form_;
    HWND window_ = nullptr;
    int formObserver_ = 0;
    std::map<const Control*, HWND> windows_;
    std::map<HWND, Control*> controls_;
    std::map<HWND, WNDPROC> originalProcs_;
    std::map<Control*, int> observers_;
    std::map<Control*, HFONT> fonts_;
    bool syncing_ = false;
};

}  // namespace forms::win32
