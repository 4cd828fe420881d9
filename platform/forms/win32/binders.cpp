#include "platform/forms/win32/binders.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/vb_constants.h"

namespace forms::win32 {

namespace {

// The check box drawn at the left of each entry of a check-box list.
constexpr int kCheckWidth = 16;
// A combo box's window includes its drop-down list: 200 pixels of it.
constexpr int kDropDownTwips = 200 * kTwipsPerPixel;
// A line's window is at least 2 pixels across, so that it shows.
constexpr int kLineTwips = 2 * kTwipsPerPixel;

RECT PlainBounds(const Control& c) {
    return {c.Left(), c.Top(), c.Left() + c.Width(), c.Top() + c.Height()};
}

void SyncNothing(Control&, HWND, Property) {}
bool NoInput(Control&, const ControlMessage&, LRESULT&) { return false; }
void NoCommand(Control&, HWND, int) {}

void Click(Control& c, HWND, int code) {
    if (code == BN_CLICKED) c.UserClick();
}

// The controls whose caption is their window's text.
void SyncCaption(Control& c, HWND w, Property what) {
    if (what == Property::Caption) SetWindowTextA(w, c.Caption().c_str());
}

// ---- Label ----------------------------------------------------------------

void MakeLabel(const Control& c, WindowSpec& design) {
    const int alignment = static_cast<const Label&>(c).Alignment();
    design.style |= alignment == vbRightJustify ? SS_RIGHT : alignment == vbCenter ? SS_CENTER : SS_LEFT;
}

// ---- TextBox --------------------------------------------------------------

void MakeTextBox(const Control&, WindowSpec& design) {
    design.windowClass = "EDIT";
    design.exStyle |= WS_EX_CLIENTEDGE;
    design.style |= WS_TABSTOP | ES_AUTOHSCROLL;
}

// Sets a window's text only when it differs, so that a move of the model's
// caret leaves the field's own caret where the user put it.
void SetTextIfChanged(HWND w, const std::string& text) {
    char current[65536];
    GetWindowTextA(w, current, sizeof current);
    if (text != current) SetWindowTextA(w, text.c_str());
}

void SyncTextBox(Control& c, HWND w, Property what) {
    if (what != Property::Text && what != Property::Selection) return;
    auto& model = static_cast<TextBox&>(c);
    SetTextIfChanged(w, model.Text());
    SendMessageA(w, EM_SETSEL, model.SelStart(), model.SelStart() + model.SelLength());
}

// The edit control's selection, as the model's SelStart and SelLength.
void TakeSelection(TextBox& text, HWND w) {
    DWORD start = 0, end = 0;
    SendMessageA(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    text.SetSelStart(static_cast<int>(start));
    text.SetSelLength(static_cast<int>(end - start));
}

std::string ClipboardText(HWND owner) {
    std::string pasted;
    if (!OpenClipboard(owner)) return pasted;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            pasted = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return pasted;
}

// Typing, pasting and deleting go to the model, which decides what the text
// becomes (KeyPress may change or cancel a key) and tells the window.
bool TextBoxInput(Control& c, const ControlMessage& m, LRESULT& result) {
    auto& text = static_cast<TextBox&>(c);
    result = 0;
    switch (m.message) {
        case WM_CHAR: {
            const int ascii = static_cast<unsigned char>(m.w);
            // Ctrl+A, C, V, X, Z stay with the edit control (copy needs nothing
            // of the model; paste arrives as WM_PASTE below).
            if (ascii < 32 && ascii != vbKeyBack && ascii != vbKeyReturn) return false;
            TakeSelection(text, m.window);
            text.UserKeyPress(ascii);
            return true;
        }
        case WM_PASTE: {
            const std::string pasted = ClipboardText(m.window);
            TakeSelection(text, m.window);
            text.UserReplaceSelection(pasted);
            return true;
        }
        case WM_KEYDOWN:
            if (m.w != VK_DELETE) return false;
            TakeSelection(text, m.window);
            if (text.SelLength() == 0) {
                if (text.SelStart() >= static_cast<int>(text.Text().size())) return true;
                text.SetSelLength(1);
            }
            text.UserReplaceSelection("");
            return true;
        default:
            return false;
    }
}

// ---- CommandButton, CheckBox, OptionButton, Frame ---------------------------

void MakeCommandButton(const Control& c, WindowSpec& design) {
    design.windowClass = "BUTTON";
    design.style |= WS_TABSTOP | BS_NOTIFY |
                  (static_cast<const CommandButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void MakeCheckBox(const Control&, WindowSpec& design) {
    design.windowClass = "BUTTON";
    design.style |= WS_TABSTOP | BS_NOTIFY | BS_3STATE;
}

void SyncCheckBox(Control& c, HWND w, Property what) {
    if (what != Property::Value) return SyncCaption(c, w, what);
    const int v = static_cast<CheckBox&>(c).Value();
    SendMessageA(w, BM_SETCHECK, v == vbChecked ? BST_CHECKED : v == vbGrayed ? BST_INDETERMINATE : BST_UNCHECKED, 0);
}

void MakeOptionButton(const Control&, WindowSpec& design) {
    design.windowClass = "BUTTON";
    design.style |= WS_TABSTOP | BS_NOTIFY | BS_RADIOBUTTON;
}

void SyncOptionButton(Control& c, HWND w, Property what) {
    if (what != Property::Value) return SyncCaption(c, w, what);
    SendMessageA(w, BM_SETCHECK, static_cast<OptionButton&>(c).Value() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MakeFrame(const Control&, WindowSpec& design) {
    design.windowClass = "BUTTON";
    design.style |= BS_GROUPBOX;
    // A group box paints only its edge and caption; the form, which clips
    // its other children, must paint the inside, which it does only for a
    // transparent child.
    design.exStyle |= WS_EX_TRANSPARENT;
}

// ---- ListBox and ComboBox ---------------------------------------------------

// Shows the model's entries: filling a list adds one entry at a time, so only
// that entry is inserted; any other change shows the list afresh.
void SyncEntries(ListControl& model, HWND w, bool list) {
    const UINT insert = list ? LB_INSERTSTRING : CB_INSERTSTRING;
    const int shown = static_cast<int>(SendMessageA(w, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
    const int added = model.NewIndex();
    if (model.ListCount() == shown + 1 && added >= 0 && added < model.ListCount()) {
        SendMessageA(w, insert, static_cast<WPARAM>(added), reinterpret_cast<LPARAM>(model.List(added).c_str()));
    } else {
        SendMessageA(w, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < model.ListCount(); ++i)
            SendMessageA(w, insert, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(model.List(i).c_str()));
    }
    SendMessageA(w, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0);
}

void MakeListBox(const Control& c, WindowSpec& design) {
    design.windowClass = "LISTBOX";
    design.exStyle |= WS_EX_CLIENTEDGE;
    // VB's lists show whole rows (IntegralHeight): the system trims the
    // height to a multiple of the row's.
    design.style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY;
    if (IsCheckList(c)) design.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
}

// A check-box list's rows are as high as its font's text, and never lower
// than the check box.
void FitCheckListRows(HWND w) {
    HDC dc = GetDC(w);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(w, dc);
    SendMessageA(w, LB_SETITEMHEIGHT, 0, std::max<LPARAM>(metrics.tmHeight + 2, kCheckWidth));
}

void SyncListBox(Control& c, HWND w, Property what) {
    auto& model = static_cast<ListBox&>(c);
    switch (what) {
        case Property::Font:
            if (IsCheckList(c)) FitCheckListRows(w);
            break;
        case Property::List: SyncEntries(model, w, true); break;
        case Property::Checks: InvalidateRect(w, nullptr, TRUE); break;
        case Property::ListIndex: SendMessageA(w, LB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0); break;
        case Property::Extent:
            SendMessageA(w, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(model.HorizontalExtent()), 0);
            break;
        default: break;
    }
}

// The entry the list shows as current, when it is another than the model's:
// the user moved there.
void PickCurrent(ListBox& list, HWND w) {
    const int row = static_cast<int>(SendMessageA(w, LB_GETCURSEL, 0, 0));
    if (row >= 0 && row != list.ListIndex()) list.UserSelect(row);
}

// Space on the current entry: ticks it in a check-box list, picks it otherwise.
void SpaceOn(ListBox& list, HWND w) {
    const int row = static_cast<int>(SendMessageA(w, LB_GETCURSEL, 0, 0));
    if (row < 0) return;
    if (list.Style() == vbListBoxCheckbox)
        list.UserToggleCheck(row);
    else
        list.UserSelect(row);
}

// A click picks the entry under the mouse, the current one too; on a check
// box it ticks the entry.
void ClickAt(ListBox& list, HWND w, LPARAM l) {
    const LRESULT hit = SendMessageA(w, LB_ITEMFROMPOINT, 0, l);
    const int row = LOWORD(hit);
    if (HIWORD(hit) != 0 || row >= list.ListCount()) return;
    if (list.Style() == vbListBoxCheckbox && static_cast<short>(LOWORD(l)) < kCheckWidth)
        list.UserToggleCheck(row);
    else
        list.UserSelect(row);
}

bool IsMoveKey(WPARAM key) {
    return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_END;
}

// Only the user's own input picks an entry (never the focus alone): the list
// moves first, then the model hears what the user chose.
bool ListBoxInput(Control& c, const ControlMessage& m, LRESULT& result) {
    auto& list = static_cast<ListBox&>(c);
    switch (m.message) {
        case WM_LBUTTONDOWN:
            result = m.Default();
            ClickAt(list, m.window, m.l);
            return true;
        case WM_LBUTTONDBLCLK:
            result = m.Default();
            if (c.onDblClick) c.onDblClick();
            return true;
        case WM_KEYDOWN:
            if (!IsMoveKey(m.w)) return false;
            result = m.Default();
            PickCurrent(list, m.window);
            return true;
        case WM_CHAR:
            if (m.w == ' ') {
                SpaceOn(list, m.window);
                result = 0;
                return true;
            }
            // Typing a letter moves to a matching entry: a pick like the arrow keys.
            result = m.Default();
            PickCurrent(list, m.window);
            return true;
        default:
            return false;
    }
}

void MakeComboBox(const Control& c, WindowSpec& design) {
    design.windowClass = "COMBOBOX";
    design.style |= WS_TABSTOP | WS_VSCROLL |
                  (static_cast<const ComboBox&>(c).Style() == vbComboDropdownList ? CBS_DROPDOWNLIST
                                                                                  : CBS_DROPDOWN | CBS_AUTOHSCROLL);
}

RECT ComboBoxBounds(const Control& c) {
    RECT r = PlainBounds(c);
    r.bottom += kDropDownTwips;
    return r;
}

void SyncComboBox(Control& c, HWND w, Property what) {
    auto& model = static_cast<ComboBox&>(c);
    const bool editable = model.Style() != vbComboDropdownList;
    switch (what) {
        case Property::Text:
        case Property::Selection:
            if (editable) SetTextIfChanged(w, model.Text());
            break;
        case Property::List: SyncEntries(model, w, false); break;
        case Property::ListIndex:
            SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0);
            if (editable) SetWindowTextA(w, model.Text().c_str());
            break;
        default: break;
    }
}

void ComboBoxCommand(Control& c, HWND w, int code) {
    if (code != CBN_SELCHANGE) return;
    const int row = static_cast<int>(SendMessageA(w, CB_GETCURSEL, 0, 0));
    if (row >= 0) static_cast<ComboBox&>(c).UserSelect(row);
}

// ---- Image, PictureBox, Line ------------------------------------------------

void MakePicture(const Control&, WindowSpec&) {}

void MakeLine(const Control& c, WindowSpec& design) {
    const auto& line = static_cast<const Line&>(c);
    design.style |= line.Y1() == line.Y2() ? SS_ETCHEDHORZ : line.X1() == line.X2() ? SS_ETCHEDVERT : 0;
}

RECT LineBounds(const Control& c) {
    const auto& line = static_cast<const Line&>(c);
    const int left = std::min(line.X1(), line.X2()), top = std::min(line.Y1(), line.Y2());
    return {left, top, left + std::max(std::abs(line.X2() - line.X1()), kLineTwips),
            top + std::max(std::abs(line.Y2() - line.Y1()), kLineTwips)};
}

}  // namespace

bool IsCheckList(const Control& c) {
    return c.Kind() == ControlKind::ListBox && static_cast<const ListBox&>(c).Style() == vbListBoxCheckbox;
}

void DrawCheckListEntry(ListBox& list, const DRAWITEMSTRUCT& item) {
    const int row = static_cast<int>(item.itemID);
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT box{item.rcItem.left + 1, 0, item.rcItem.left + kCheckWidth - 2, 0};
    box.top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - (kCheckWidth - 3)) / 2;
    box.bottom = box.top + kCheckWidth - 3;
    DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (list.Selected(row) ? DFCS_CHECKED : 0));
    RECT text = item.rcItem;
    text.left += kCheckWidth + 1;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::string entry = list.List(row);
    DrawTextA(item.hDC, entry.c_str(), static_cast<int>(entry.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

const Binder& BinderFor(ControlKind kind) {
    // In the order of ControlKind.
    static const Binder kBinders[] = {
        {MakeLabel, PlainBounds, SyncCaption, NoInput, NoCommand},                      // Label
        {MakeTextBox, PlainBounds, SyncTextBox, TextBoxInput, NoCommand},               // TextBox
        {MakeCommandButton, PlainBounds, SyncCaption, NoInput, Click},                  // CommandButton
        {MakeCheckBox, PlainBounds, SyncCheckBox, NoInput, Click},                      // CheckBox
        {MakeOptionButton, PlainBounds, SyncOptionButton, NoInput, Click},              // OptionButton
        {MakeFrame, PlainBounds, SyncCaption, NoInput, NoCommand},                      // Frame
        {MakeListBox, PlainBounds, SyncListBox, ListBoxInput, NoCommand},               // ListBox
        {MakeComboBox, ComboBoxBounds, SyncComboBox, NoInput, ComboBoxCommand},         // ComboBox
        {MakePicture, PlainBounds, SyncNothing, NoInput, NoCommand},                    // Image
        {MakePicture, PlainBounds, SyncNothing, NoInput, NoCommand},                    // PictureBox
        {MakeLine, LineBounds, SyncNothing, NoInput, NoCommand},                        // Line
    };
    static_assert(std::size(kBinders) == static_cast<std::size_t>(ControlKind::Line) + 1);
    return kBinders[static_cast<std::size_t>(kind)];
}

}  // namespace forms::win32
