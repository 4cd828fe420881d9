#include "platform/forms/win32/form_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/text.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/win32/win32_ui.h"

namespace forms::win32 {

namespace {

const char kFormClass[] = "TarnwickForm";
const char kViewProperty[] = "tarnwick.view";
// The check box drawn at the left of each entry of a check-box list.
constexpr int kCheckWidth = 16;

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

FormWindow* ViewOf(HWND window) {
    return static_cast<FormWindow*>(GetPropA(window, kViewProperty));
}

bool IsCheckList(const Control& c) {
    return c.Kind() == ControlKind::ListBox && static_cast<const ListBox&>(c).Style() == 1;
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
    window_ = CreateWindowExA(exStyle, kFormClass, form_.Caption().c_str(), style, x, y, width,
                              height, OwnerWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SetPropA(window_, kViewProperty, this);
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::FormProc));

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
}

HWND FormWindow::MakeWindow(Control& c) {
    const char* cls = "STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (c.Kind()) {
        case ControlKind::Label: {
            const int alignment = static_cast<Label&>(c).Alignment();
            style |= alignment == 1 ? SS_RIGHT : alignment == 2 ? SS_CENTER : SS_LEFT;
            break;
        }
        case ControlKind::TextBox:
            cls = "EDIT";
            exStyle |= WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            break;
        case ControlKind::CommandButton:
            cls = "BUTTON";
            style |= WS_TABSTOP | BS_NOTIFY |
                     (static_cast<CommandButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::CheckBox:
            cls = "BUTTON";
            style |= WS_TABSTOP | BS_NOTIFY | BS_3STATE;
            break;
        case ControlKind::OptionButton:
            cls = "BUTTON";
            style |= WS_TABSTOP | BS_NOTIFY | BS_RADIOBUTTON;
            break;
        case ControlKind::Frame:
            cls = "BUTTON";
            style |= BS_GROUPBOX;
            break;
        case ControlKind::ListBox:
            cls = "LISTBOX";
            exStyle |= WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            if (IsCheckList(c)) style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
            break;
        case ControlKind::ComboBox:
            cls = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL |
                     (static_cast<ComboBox&>(c).Style() == 2 ? CBS_DROPDOWNLIST
                                                             : CBS_DROPDOWN | CBS_AUTOHSCROLL);
            break;
        case ControlKind::Image:
        case ControlKind::PictureBox:
            break;
        case ControlKind::Line: {
            const auto& line = static_cast<Line&>(c);
            style |= line.Y1() == line.Y2()   ? SS_ETCHEDHORZ
                     : line.X1() == line.X2() ? SS_ETCHEDVERT
                                              : 0;
            break;
        }
    }
    const intptr_t id = static_cast<intptr_t>(windows_.size() + 1);
    return CreateWindowExA(exStyle, cls, "", style, 0, 0, 0, 0, window_,
                           reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
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
    const bool was = syncing_;
    syncing_ = true;
    switch (what) {
        case Property::Geometry: {
            const POINT o = Origin(c);
            int left = o.x + c.Left(), top = o.y + c.Top(), width = c.Width(), height = c.Height();
            if (c.Kind() == ControlKind::Line) {
                const auto& line = static_cast<Line&>(c);
                left = o.x + std::min(line.X1(), line.X2());
                top = o.y + std::min(line.Y1(), line.Y2());
                width = std::max(std::abs(line.X2() - line.X1()), 2 * 15);
                height = std::max(std::abs(line.Y2() - line.Y1()), 2 * 15);
            }
            int pixelsHigh = Px(height);
            // A combo box's window includes its drop-down list.
            if (c.Kind() == ControlKind::ComboBox) pixelsHigh += 200;
            MoveWindow(w, Px(left), Px(top), Px(width), pixelsHigh, TRUE);
            break;
        }
        case Property::Font: {
            HFONT font = FontFor(c);
            SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            if (auto old = fonts_.find(&c); old != fonts_.end()) DeleteObject(old->second);
            fonts_[&c] = font;
            if (IsCheckList(c)) {
                HDC dc = GetDC(w);
                HGDIOBJ previous = SelectObject(dc, font);
                TEXTMETRICA metrics{};
                GetTextMetricsA(dc, &metrics);
                SelectObject(dc, previous);
                ReleaseDC(w, dc);
                SendMessageA(w, LB_SETITEMHEIGHT, 0,
                             std::max<LPARAM>(metrics.tmHeight + 2, kCheckWidth));
            }
            break;
        }
        case Property::Caption:
            if (c.Kind() == ControlKind::Label || c.Kind() == ControlKind::CommandButton ||
                c.Kind() == ControlKind::CheckBox || c.Kind() == ControlKind::OptionButton ||
                c.Kind() == ControlKind::Frame)
                SetWindowTextA(w, c.Caption().c_str());
            break;
        case Property::Text:
        case Property::Selection:
            if (c.Kind() == ControlKind::TextBox) {
                auto& model = static_cast<TextBox&>(c);
                char current[65536];
                GetWindowTextA(w, current, sizeof current);
                if (model.Text() != current) SetWindowTextA(w, model.Text().c_str());
                SendMessageA(w, EM_SETSEL, model.SelStart(), model.SelStart() + model.SelLength());
            } else if (c.Kind() == ControlKind::ComboBox &&
                       static_cast<ComboBox&>(c).Style() != 2) {
                SetWindowTextA(w, static_cast<ComboBox&>(c).Text().c_str());
            }
            break;
        case Property::Value:
            if (c.Kind() == ControlKind::CheckBox) {
                const int v = static_cast<CheckBox&>(c).Value();
                SendMessageA(w, BM_SETCHECK,
                             v == 1   ? BST_CHECKED
                             : v == 2 ? BST_INDETERMINATE
                                      : BST_UNCHECKED,
                             0);
            } else if (c.Kind() == ControlKind::OptionButton) {
                SendMessageA(w, BM_SETCHECK,
                             static_cast<OptionButton&>(c).Value() ? BST_CHECKED : BST_UNCHECKED,
                             0);
            }
            break;
        case Property::List:
            if (c.Kind() == ControlKind::ListBox || c.Kind() == ControlKind::ComboBox) SyncList(c);
            break;
        case Property::Checks:
            InvalidateRect(w, nullptr, TRUE);
            break;
        case Property::ListIndex:
            if (c.Kind() == ControlKind::ListBox) {
                SendMessageA(w, LB_SETCURSEL,
                             static_cast<WPARAM>(static_cast<ListBox&>(c).ListIndex()), 0);
            } else if (c.Kind() == ControlKind::ComboBox) {
                auto& model = static_cast<ComboBox&>(c);
                SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0);
                if (model.Style() != 2) SetWindowTextA(w, model.Text().c_str());
            }
            break;
        case Property::Extent:
            if (c.Kind() == ControlKind::ListBox)
                SendMessageA(w, LB_SETHORIZONTALEXTENT,
                             static_cast<WPARAM>(static_cast<ListBox&>(c).HorizontalExtent()), 0);
            break;
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
    syncing_ = was;
}

void FormWindow::SyncList(Control& c) {
    HWND w = WindowOf(c);
    const bool list = c.Kind() == ControlKind::ListBox;
    auto& model = static_cast<ListControl&>(c);
    const UINT count = list ? LB_GETCOUNT : CB_GETCOUNT;
    const UINT insert = list ? LB_INSERTSTRING : CB_INSERTSTRING;
    const int shown = static_cast<int>(SendMessageA(w, count, 0, 0));
    const int added = model.NewIndex();
    // Filling a list adds one entry at a time: only that entry is inserted.
    if (model.ListCount() == shown + 1 && added >= 0 && added < model.ListCount()) {
        SendMessageA(w, insert, static_cast<WPARAM>(added),
                     reinterpret_cast<LPARAM>(model.List(added).c_str()));
    } else {
        SendMessageA(w, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < model.ListCount(); ++i)
            SendMessageA(w, insert, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(model.List(i).c_str()));
    }
    SendMessageA(w, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0);
}

void FormWindow::OnFormEvent(FormEvent what) {
    switch (what) {
        case FormEvent::Caption:
            SetWindowTextA(window_, form_.Caption().c_str());
            break;
        case FormEvent::Focus:
            if (Control* active = form_.ActiveControl()) {
                const bool was = syncing_;
                syncing_ = true;
                if (HWND w = WindowOf(*active); w && GetFocus() != w) SetFocus(w);
                syncing_ = was;
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
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(l);
            Control* c = ControlOf(item->hwndItem);
            if (!c || !IsCheckList(*c) || item->itemID == static_cast<UINT>(-1)) break;
            auto& model = static_cast<ListBox&>(*c);
            const int row = static_cast<int>(item->itemID);
            const bool selected = item->itemState & ODS_SELECTED;
            FillRect(item->hDC, &item->rcItem,
                     GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            RECT box{item->rcItem.left + 1, item->rcItem.top + 1,
                     item->rcItem.left + kCheckWidth - 2, item->rcItem.top + kCheckWidth - 2};
            box.top =
                item->rcItem.top + (item->rcItem.bottom - item->rcItem.top - (kCheckWidth - 3)) / 2;
            box.bottom = box.top + kCheckWidth - 3;
            DrawFrameControl(
                item->hDC, &box, DFC_BUTTON,
                DFCS_BUTTONCHECK | DFCS_FLAT | (model.Selected(row) ? DFCS_CHECKED : 0));
            RECT text = item->rcItem;
            text.left += kCheckWidth + 1;
            SetBkMode(item->hDC, TRANSPARENT);
            SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            const std::string entry = model.List(row);
            DrawTextA(item->hDC, entry.c_str(), static_cast<int>(entry.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
            return TRUE;
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, w, l);
}

void FormWindow::Command(Control& c, int code) {
    switch (c.Kind()) {
        case ControlKind::CommandButton:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) c.UserClick();
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                const int row = static_cast<int>(SendMessageA(WindowOf(c), CB_GETCURSEL, 0, 0));
                if (row >= 0) static_cast<ComboBox&>(c).UserSelect(row);
            }
            break;
        default:
            break;  // list boxes: see HandleControl, which sees the user's own input
    }
}

LRESULT CALLBACK FormWindow::ControlProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    FormWindow* view = ViewOf(window);
    Control* c = view ? view->ControlOf(window) : nullptr;
    if (!c) return DefWindowProcA(window, message, w, l);
    return view->HandleControl(*c, window, message, w, l);
}

LRESULT FormWindow::HandleControl(Control& c, HWND window, UINT message, WPARAM w, LPARAM l) {
    const WNDPROC original = originalProcs_[window];
    auto Default = [&] { return CallWindowProcA(original, window, message, w, l); };
    if (message == WM_SETCURSOR) {
        if (HCURSOR cursor = FormsCursor()) {
            SetCursor(cursor);
            return TRUE;
        }
    }
    if (message == WM_SETFOCUS) {
        const LRESULT result = Default();
        if (!syncing_ && form_.ActiveControl() != &c) form_.SetActiveControl(&c);
        return result;
    }
    if (c.Kind() == ControlKind::ListBox) {
        auto& list = static_cast<ListBox&>(c);
        switch (message) {
            case WM_LBUTTONDOWN: {
                // A click picks the entry under the mouse, the current one too.
                const LRESULT result = Default();
                const LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, l);
                const int row = LOWORD(hit);
                if (HIWORD(hit) == 0 && row < list.ListCount()) {
                    if (list.Style() == 1 && static_cast<short>(LOWORD(l)) < kCheckWidth)
                        list.UserToggleCheck(row);
                    else
                        list.UserSelect(row);
                }
                return result;
            }
            case WM_LBUTTONDBLCLK: {
                const LRESULT result = Default();
                if (c.onDblClick) c.onDblClick();
                return result;
            }
            case WM_KEYDOWN:
                if (w == VK_UP || w == VK_DOWN || w == VK_PRIOR || w == VK_NEXT || w == VK_HOME ||
                    w == VK_END) {
                    const LRESULT result = Default();
                    const int row = static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
                    if (row >= 0 && row != list.ListIndex()) list.UserSelect(row);
                    return result;
                }
                break;
            case WM_CHAR:
                if (w == ' ') {
                    const int row = static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
                    if (row >= 0) {
                        if (list.Style() == 1)
                            list.UserToggleCheck(row);
                        else
                            list.UserSelect(row);
                    }
                    return 0;
                }
                // Typing a letter moves to a matching entry: a pick like the arrow keys.
                {
                    const LRESULT result = Default();
                    const int row = static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
                    if (row >= 0 && row != list.ListIndex()) list.UserSelect(row);
                    return result;
                }
            default:
                break;
        }
    } else if (c.Kind() == ControlKind::TextBox) {
        auto& text = static_cast<TextBox&>(c);
        auto TakeSelection = [&] {
            DWORD start = 0, end = 0;
            SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            text.SetSelStart(static_cast<int>(start));
            text.SetSelLength(static_cast<int>(end - start));
        };
        switch (message) {
            case WM_CHAR: {
                const int ascii = static_cast<unsigned char>(w);
                // Ctrl+A, C, V, X, Z stay with the edit control (copy needs nothing
                // of the model; paste arrives as WM_PASTE below).
                if (ascii < 32 && ascii != vbKeyBack && ascii != vbKeyReturn) return Default();
                TakeSelection();
                text.UserKeyPress(ascii);
                return 0;
            }
            case WM_PASTE: {
                std::string pasted;
                if (OpenClipboard(window)) {
                    if (HANDLE data = GetClipboardData(CF_TEXT)) {
                        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
                            pasted = chars;
                            GlobalUnlock(data);
                        }
                    }
                    CloseClipboard();
                }
                TakeSelection();
                text.UserReplaceSelection(pasted);
                return 0;
            }
            case WM_KEYDOWN:
                if (w == VK_DELETE) {
                    TakeSelection();
                    if (text.SelLength() == 0) {
                        if (text.SelStart() >= static_cast<int>(text.Text().size())) return 0;
                        text.SetSelLength(1);
                    }
                    text.UserReplaceSelection("");
                    return 0;
                }
                break;
            default:
                break;
        }
    }
    return Default();
}

}  // namespace forms::win32
