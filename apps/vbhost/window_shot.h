#pragma once
// A picture of the window a command opens: vbhost's --screenshot. The
// window is found as the first visible top-level window of this thread that
// was not there when the shot was armed; a modal dialog is taken from a timer
// that its message loop dispatches, and then closed as a person closes it, so
// the command goes on as after Cancel.

#include <string>
#include <vector>

namespace vbhost {

class WindowShot {
public:
    // Arms the shot: the windows shown now are not the one to take.
    explicit WindowShot(std::string pngPath);
    ~WindowShot();
    WindowShot(const WindowShot&) = delete;
    WindowShot& operator=(const WindowShot&) = delete;

    // After the command: takes a window it left open (a modeless one) when
    // no modal one was taken. Answers whether a picture was written.
    bool Finish();

    // Takes the first new window, once; `close` closes it afterwards.
    void TakeNewWindow(bool close);

private:

    std::string pngPath_;
    std::vector<void*> shown_;  // the windows (HWND) there when armed
    bool taken_ = false;
    bool written_ = false;
    unsigned long long timer_ = 0;
};

}  // namespace vbhost
