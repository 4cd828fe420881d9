// The picture of the window a command opens (apps/vbhost/window_shot.h).

#include "apps/vbhost/window_shot.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/forms/win32/win32_app.h"

namespace vbhost {

namespace {

// The shot that the thread's timer serves (vbhost arms one at a time).
WindowShot* armed = nullptr;

BOOL CALLBACK AddIfVisible(HWND w, LPARAM list) {
    if (IsWindowVisible(w)) reinterpret_cast<std::vector<void*>*>(list)->push_back(w);
    return TRUE;
}

std::vector<void*> VisibleThreadWindows() {
    std::vector<void*> windows;
    EnumThreadWindows(GetCurrentThreadId(), &AddIfVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (armed) armed->TakeNewWindow(true);
}

}  // namespace

WindowShot::WindowShot(std::string pngPath) : pngPath_(std::move(pngPath)), shown_(VisibleThreadWindows()) {
    armed = this;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
}

WindowShot::~WindowShot() {
    KillTimer(nullptr, static_cast<UINT_PTR>(timer_));
    armed = nullptr;
}

bool WindowShot::Finish() {
    if (!taken_) TakeNewWindow(false);
    return written_;
}

void WindowShot::TakeNewWindow(bool close) {
    if (taken_) return;
    for (void* w : VisibleThreadWindows()) {
        if (std::find(shown_.begin(), shown_.end(), w) != shown_.end()) continue;
        taken_ = true;
        written_ = forms::win32::ScreenshotWindow(w, pngPath_);
        // The command waits for its dialog: the person closes it.
        if (close) PostMessageA(static_cast<HWND>(w), WM_CLOSE, 0, 0);
        return;
    }
}

}  // namespace vbhost
