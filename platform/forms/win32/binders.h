#pragma once
// How each kind of control is shown by a USER32 window. A binder keeps one
// kind's rules together: the window it makes, how a changed property of the
// model shows in it, and how the user's input on it reaches the model. The
// rules every kind shares (geometry, font, enabled, visible, focus, the mouse
// pointer) stay with the form's window.

#include <windows.h>

#include "platform/forms/control.h"

namespace forms {
class ListBox;
}

namespace forms::win32 {

// The window class and styles of a control's window.
struct WindowSpec {
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
};

// One message to a control's window, with the window's own procedure to hand
// it on to.
struct ControlMessage {
    HWND window;
    UINT message;
    WPARAM w;
    LPARAM l;
    WNDPROC original;
    LRESULT Default() const { return CallWindowProcA(original, window, message, w, l); }
};

struct Binder {
    // The window's class and styles for the control.
    void (*make)(const Control& control, WindowSpec& design);
    // The control's extent in twips from its container's origin (a line's
    // box, a combo box with its drop-down list).
    RECT (*bounds)(const Control& control);
    // Shows one property in the window, after the common rules have shown
    // theirs (a check-box list fits its rows to the font it was just given).
    void (*sync)(Control& control, HWND window, Property what);
    // The user's input on the window, before its own procedure sees it;
    // answers whether the binder took the message, with its answer in result.
    bool (*input)(Control& control, const ControlMessage& message, LRESULT& result);
    // A notification the window sent to the form (WM_COMMAND).
    void (*command)(Control& control, HWND window, int code);
};

const Binder& BinderFor(ControlKind kind);

// A list box that shows a check box before each entry (drawn by its form).
bool IsCheckList(const Control& control);
// Draws one entry of a check-box list (WM_DRAWITEM).
void DrawCheckListEntry(ListBox& list, const DRAWITEMSTRUCT& item);

}  // namespace forms::win32
