#include "platform/forms/win32/form_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/text.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/win32/binders.h"
#include "platform/forms/win32/program_icon.h"
#include "platform/forms/win32/win32_ui.h"

namespace forms::win32 {

namespace {

const char kFormClass[] = "TarnwickForm";
const char kViewProperty[] = "tarnwick.view";

// Sets a flag for as long as it lives, and gives it back its former value
// however the scope is left.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = was_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
    bool was_;
};

void RegisterFormClass() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;  // replaced per window once it exists
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFormClass;
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

// The owner of the forms kept off the task bar: the shell shows a button only
// for unowned windows. It is never shown.
HWND HiddenOwner() {
    static const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                              GetModuleHandleA(nullptr), nullptr);
    return owner;
}

FormWindow* ViewOf(HWND window) {
    return static_cast<FormWindow*>(GetPropA(window, kViewProperty));
}

// The program's icon that an Image or PictureBox shows ("icon:NAME"), at the
// system's icon size.
HICON PictureIcon(const Control& c) {
    const std::string* picture = c.Kind() == ControlKind::PictureBox ? &static_cast<const PictureBox&>(c).Picture()
                                 : c.Kind() == ControlKind::Image    ? &static_cast<const Image&>(c).Picture()
                                                                     : nullptr;
    return picture ? ProgramIcon(*picture, GetSystemMetrics(SM_CXICON)) : nullptr;
}

}  // namespace

FormWindow::FormWindow(Form& form) : form_(form) {
    Build();
}

FormWindow::~FormWindow() {
    form_.RemoveObserver(formObserver_);
    for (auto& [control, id] : observers_) control->RemoveObserver(id);
    for (auto& [window, proc] : originalProcs_) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        RemovePropA(window, kViewProperty);
    }
    RemovePropA(window_, kViewProperty);
    DestroyWindow(window_);
    for (auto& [control, font] : fonts_) DeleteObject(font);
}

HWND FormWindow::WindowOf(const Control& control) const {
    auto it = windows_.find(&control);
    return it == windows_.end() ? nullptr : it->second;
}

Control* FormWindow::ControlOf(HWND window) const {
    auto it = controls_.find(window);
    return it == controls_.end() ? nullptr : it->second;
}

void FormWindow::Build() {
    RegisterFormClass();
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_OVERLAPPED;
    DWORD exStyle = 0;
    if (form_.BorderStyle() == vbSizable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
    if (form_.BorderStyle() == vbFixedDialog) exStyle |= WS_EX_DLGMODALFRAME;
    if (form_.MinButton()) style |= WS_MINIMIZEBOX;
    if (form_.MaxButton() && form_.BorderStyle() == vbSizable) style |= WS_MAXIMIZEBOX;
    RECT frame{0, 0, Px(form_.ScaleWidth()), Px(form_.ScaleHeight())};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (form_.StartUpPosition() != 0) {
        x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
        y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    }
    // Inside a host (the IDE) its main window owns the forms; otherwise a form
    // kept off the task bar gets the hidden owner.
    HWND owner = OwnerWindow() ? OwnerWindow() : form_.ShowInTaskbar() ? nullptr : HiddenOwner();
    window_ = CreateWindowExA(exStyle, kFormClass, form_.Caption().c_str(), style, x, y, width,
                              height, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetPropA(window_, kViewProperty, this);
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::FormProc));
    // The form's icon in its title bar and the task bar, not the system's.
    if (HICON big = ProgramIcon(form_.Icon(), GetSystemMetrics(SM_CXICON)))
        SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = ProgramIcon(form_.Icon(), GetSystemMetrics(SM_CXSMICON)))
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    for (Control* c : form_.Controls()) {
        HWND w = MakeWindow(*c);
        windows_[c] = w;
        controls_[w] = c;
        SetPropA(w, kViewProperty, this);
        originalProcs_[w] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::ControlProc)));
        SyncAll(*c);
        observers_[c] =
            c->AddObserver([this](Control& control, Property what) { Sync(control, what); });
    }
    formObserver_ = form_.AddObserver([this](Form&, FormEvent what) { OnFormEvent(what); });
    // Focus rectangles show from the start, as on VB's forms (the system
    // hides them until the keyboard has been used).
    SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

HWND FormWindow::MakeWindow(Control& c) {
    WindowSpec design;
    BinderFor(c.Kind()).make(c, design);
    const HICON icon = PictureIcon(c);
    if (icon) design.style |= SS_ICON | SS_CENTERIMAGE;
    const intptr_t id = static_cast<intptr_t>(windows_.size() + 1);
    HWND w = CreateWindowExA(design.exStyle, design.windowClass, "", design.style, 0, 0, 0, 0, window_,
                             reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
    if (icon) SendMessageA(w, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return w;
}

POINT FormWindow::Origin(const Control& c) const {
    POINT p{0, 0};
    for (const Control* box = c.Container(); box; box = box->Container()) {
        p.x += box->Left();
        p.y += box->Top();
    }
    return p;
}

HFONT FormWindow::FontFor(const Control& c) {
    const forms::Font& f = c.Font();
    return CreateFontA(-static_cast<int>(std::lround(f.Size * 96.0 / 72.0)), 0, 0, 0,
                       f.Bold ? FW_BOLD : FW_NORMAL, f.Italic, f.Underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, f.Name.c_str());
}

void FormWindow::SyncAll(Control& c) {
    for (Property p : {Property::Geometry, Property::Font, Property::Caption, Property::Text,
                       Property::List, Property::Value, Property::ListIndex, Property::Enabled,
                       Property::Visible, Property::Extent})
        Sync(c, p);
}

void FormWindow::Sync(Control& c, Property what) {
    HWND w = WindowOf(c);
    if (!w) return;
    ScopedFlag guard(syncing_);
    SyncCommon(c, w, what);
    BinderFor(c.Kind()).sync(c, w, what);
    // A list shows whole rows: its height follows the rows of the new font.
    if (what == Property::Font && c.Kind() == ControlKind::ListBox) Sync(c, Property::Geometry);
}

void FormWindow::SyncCommon(Control& c, HWND w, Property what) {
    switch (what) {
        case Property::Geometry: {
            const POINT o = Origin(c);
            const RECT r = BinderFor(c.Kind()).bounds(c);
            MoveWindow(w, Px(o.x + r.left), Px(o.y + r.top), Px(r.right - r.left), Px(r.bottom - r.top), TRUE);
            break;
        }
        case Property::Font: {
            HFONT font = FontFor(c);
            SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            if (auto old = fonts_.find(&c); old != fonts_.end()) DeleteObject(old->second);
            fonts_[&c] = font;
            break;
        }
        case Property::Enabled:
        case Property::Visible:
            // A container's state reaches everything inside it.
            for (auto& [control, window] : windows_) {
                EnableWindow(window, control->EffectivelyEnabled());
                ShowWindow(window, control->EffectivelyVisible() ? SW_SHOWNA : SW_HIDE);
            }
            break;
        case Property::Focus:
            if (GetFocus() != w) SetFocus(w);
            break;
        default:
            break;
    }
}

void FormWindow::OnFormEvent(FormEvent what) {
    switch (what) {
        case FormEvent::Caption:
            SetWindowTextA(window_, form_.Caption().c_str());
            break;
        case FormEvent::Focus:
            if (Control* active = form_.ActiveControl()) {
                ScopedFlag guard(syncing_);
                if (HWND w = WindowOf(*active); w && GetFocus() != w) SetFocus(w);
            }
            break;
        case FormEvent::Geometry: {
            RECT frame{0, 0, Px(form_.ScaleWidth()), Px(form_.ScaleHeight())};
            AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)),
                               FALSE, static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE)));
            SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        default:
            break;
    }
}

bool FormWindow::PreTranslate(const MSG& m) {
    if (m.hwnd != window_ && !IsChild(window_, m.hwnd)) return false;
    if (m.message == WM_SYSCHAR) {
        const char letter = ::text::UpperAscii(static_cast<char>(m.wParam));
        return form_.UserAccessKey(letter);
    }
    if (m.message != WM_KEYDOWN) return false;
    switch (m.wParam) {
        case VK_TAB:
            form_.UserTab(GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            form_.UserKeyPress(vbKeyReturn);
            return true;
        case VK_ESCAPE:
            form_.UserKeyPress(vbKeyEscape);
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK FormWindow::FormProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    FormWindow* view = ViewOf(window);
    if (!view) return DefWindowProcA(window, message, w, l);
    return view->HandleForm(message, w, l);
}

LRESULT FormWindow::HandleForm(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            if (Control* c = ControlOf(reinterpret_cast<HWND>(l)); c && !syncing_)
                Command(*c, HIWORD(w));
            return 0;
        case WM_CLOSE:
            form_.UserClose();
            return 0;
        case WM_SETCURSOR:
            if (HCURSOR cursor = FormsCursor()) {
                SetCursor(cursor);
                return TRUE;
            }
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            Control* c = ControlOf(item->hwndItem);
            if (!c || !IsCheckList(*c) || item->itemID == static_cast<UINT>(-1)) break;
            DrawCheckListEntry(static_cast<ListBox&>(*c), *item);
            return TRUE;
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, w, l);
}

void FormWindow::Command(Control& c, int code) {
    BinderFor(c.Kind()).command(c, WindowOf(c), code);
}

LRESULT CALLBACK FormWindow::ControlProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    FormWindow* view = ViewOf(window);
    Control* c = view ? view->ControlOf(window) : nullptr;
    if (!c) return DefWindowProcA(window, message, w, l);
    return view->HandleControl(*c, window, message, w, l);
}

LRESULT FormWindow::HandleControl(Control& c, HWND window, UINT message, WPARAM w, LPARAM l) {
    const ControlMessage m{window, message, w, l, originalProcs_[window]};
    if (message == WM_SETCURSOR) {
        if (HCURSOR cursor = FormsCursor()) {
            SetCursor(cursor);
            return TRUE;
        }
    }
    if (message == WM_SETFOCUS) {
        const LRESULT result = m.Default();
        if (!syncing_ && form_.ActiveControl() != &c) form_.SetActiveControl(&c);
        return result;
    }
    LRESULT result = 0;
    if (BinderFor(c.Kind()).input(c, m, result)) return result;
    return m.Default();
}

}  // namespace forms::win32
