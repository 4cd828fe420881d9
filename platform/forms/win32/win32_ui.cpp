#include "platform/forms/win32/win32_ui.h"

#include <fstream>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/win32/form_window.h"
#include "platform/forms/win32/png.h"
#include "platform/forms/win32/win32_app.h"

namespace forms::win32 {

namespace {

HCURSOR busyCursor = nullptr;
MessageBoxHook messageBoxHook;

Win32Ui& TheUi() {
    static Win32Ui ui;
    return ui;
}

}  // namespace

HCURSOR FormsCursor() {
    return busyCursor;
}

Win32Ui::~Win32Ui() {
    windows_.clear();
}

int Win32Ui::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    if (messageBoxHook) return messageBoxHook(prompt, buttons, title);
    HWND owner = GetActiveWindow();
    HWND focus = GetFocus();
    // VB's button and icon flags and its answers are MessageBox's own.
    const int answer = MessageBoxA(owner, prompt.c_str(), title.c_str(),
                                   static_cast<UINT>(buttons) | MB_SETFOREGROUND);
    // Activation and the keyboard go back where they were. A message box
    // shown before any form (a start-up warning) leaves the program without
    // an active window; the next form shown takes both (ShowForm).
    if (owner && IsWindow(owner)) {
        SetForegroundWindow(owner);
        if (focus && IsWindow(focus)) SetFocus(focus);
    }
    return answer;
}

FormWindow* Win32Ui::WindowOf(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

int Win32Ui::VisibleForms() const {
    int n = 0;
    for (const auto& [form, window] : windows_) n += IsWindowVisible(window->Window()) ? 1 : 0;
    return n;
}

void Win32Ui::ShowForm(Form& form, bool modal) {
    auto& window = windows_[&form];
    if (!window) window = std::make_unique<FormWindow>(form);
    HWND hwnd = window->Window();
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    if (Control* active = form.ActiveControl()) {
        if (HWND focus = window->WindowOf(*active)) SetFocus(focus);
    } else {
        for (Control* c : form.TabOrder()) {
            if (!c->EffectivelyVisible() || !c->EffectivelyEnabled()) continue;
            form.SetActiveControl(c);
            break;
        }
    }
    UpdateWindow(hwnd);
    if (!modal) return;
    // A modal form disables the other forms until it is hidden or unloaded.
    std::vector<HWND> disabled;
    for (const auto& [other, view] : windows_) {
        if (other == &form || !IsWindowEnabled(view->Window())) continue;
        EnableWindow(view->Window(), FALSE);
        disabled.push_back(view->Window());
    }
    RunUntil([&form] { return !form.Visible() || !form.IsLoaded(); });
    for (HWND other : disabled)
        if (IsWindow(other)) EnableWindow(other, TRUE);
}

void Win32Ui::FormHidden(Form& form) {
    if (FormWindow* w = WindowOf(form)) ShowWindow(w->Window(), SW_HIDE);
}

void Win32Ui::FormUnloaded(Form& form) {
    windows_.erase(&form);
}

bool Win32Ui::Pump(bool wait) {
    MSG m;
    if (wait) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) {
            ended_ = true;
            return false;
        }
    } else if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (m.message == WM_QUIT) {
        ended_ = true;
        return false;
    }
    for (const auto& [form, window] : windows_)
        if (window->PreTranslate(m)) return true;
    TranslateMessage(&m);
    DispatchMessageA(&m);
    return true;
}

void Win32Ui::DoEvents() {
    while (Pump(false)) {
    }
}

void Win32Ui::RunUntil(const std::function<bool()>& done) {
    while (!ended_ && !done()) Pump(true);
}

void Win32Ui::MousePointerChanged(int pointer) {
    busyCursor =
        pointer == vbHourglass ? LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)) : nullptr;
    SetCursor(busyCursor ? busyCursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void Win32Ui::End() {
    for (const auto& [form, window] : windows_) ShowWindow(window->Window(), SW_HIDE);
    PostQuitMessage(0);
}

// ---- The public entry points ----------------------------------------------

namespace {
HWND owner = nullptr;
}  // namespace

void SetOwnerWindow(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    owner = hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

HWND OwnerWindow() { return owner && IsWindow(owner) ? owner : nullptr; }

void EnsureWin32Ui() {
    static const bool installed = [] {
        SetUi(&TheUi());
        return true;
    }();
    (void)installed;
}

int RunProgram(const std::function<void()>& start) {
    EnsureWin32Ui();
    start();
    TheUi().RunUntil([] { return TheUi().VisibleForms() == 0; });
    return 0;
}

void* WindowOf(const Form& form) {
    FormWindow* w = TheUi().WindowOf(form);
    return w ? w->Window() : nullptr;
}

void* WindowOf(const Control& control) {
    FormWindow* w = TheUi().WindowOf(control.Parent());
    return w ? w->WindowOf(control) : nullptr;
}

void SetMessageBoxHook(MessageBoxHook hook) {
    messageBoxHook = std::move(hook);
}

std::string ClippedCaptions(const Form& form) {
    FormWindow* view = TheUi().WindowOf(form);
    if (!view) return "(not shown)";
    std::string clipped;
    for (Control* c : form.Controls()) {
        HWND w = view->WindowOf(*c);
        const ControlKind kind = c->Kind();
        if (!w || c->Caption().empty() ||
            (kind != ControlKind::Label && kind != ControlKind::CommandButton &&
             kind != ControlKind::CheckBox && kind != ControlKind::OptionButton))
            continue;
        RECT box{};
        GetClientRect(w, &box);
        // Buttons keep a margin for their frame; check and option buttons for their box.
        if (kind == ControlKind::CommandButton) box.right -= 6;
        if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) box.right -= 16;
        HDC dc = GetDC(w);
        HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
        RECT need{0, 0, box.right, 0};
        // A label's STATIC window breaks its text at words; buttons keep one line.
        const bool wraps = kind == ControlKind::Label;
        DrawTextA(dc, c->Caption().c_str(), -1, &need,
                  DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, previous);
        ReleaseDC(w, dc);
        if (need.right > box.right || need.bottom > box.bottom) clipped += c->Name() + " ";
    }
    return clipped;
}

bool Screenshot(const Form& form, const std::string& pngPath) {
    FormWindow* view = TheUi().WindowOf(form);
    if (!view) return false;
    RedrawWindow(view->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    TheUi().DoEvents();
    return ScreenshotWindow(view->Window(), pngPath);
}

bool ScreenshotWindow(void* window, const std::string& pngPath) {
    HWND hwnd = static_cast<HWND>(window);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const auto* bgrx = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        rgb[3 * i] = bgrx[4 * i + 2];
        rgb[3 * i + 1] = bgrx[4 * i + 1];
        rgb[3 * i + 2] = bgrx[4 * i];
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, screen);
    std::ofstream out(pngPath, std::ios::binary | std::ios::trunc);
    out << EncodePng(width, height, rgb);
    return static_cast<bool>(out.flush());
}

}  // namespace forms::win32
