#pragma once
// Entry points of the native Windows view of the forms runtime: forms shown
// as USER32 windows and controls. A program calls RunProgram; tests install
// the user interface with EnsureWin32Ui and find the windows of a form's
// controls through WindowOf. No Windows type appears here, so tools and their
// mains need no Windows headers.

#include <functional>
#include <string>

namespace forms {
class Control;
class Form;
}  // namespace forms

namespace forms::win32 {

// Installs the Windows user interface, runs start() — which loads and shows
// the program's start-up form — and then the message loop until no form is
// visible any more. Answers the program's exit status.
int RunProgram(const std::function<void()>& start);

// Installs the Windows user interface (once) for tests.
void EnsureWin32Ui();

// The window (HWND) that owns every form window made from now on, or nullptr
// for none (the default): an add-in's dialogs belong to the IDE's main
// window, stay above it and go with it when it is minimised. A handle that is
// no window is taken as none.
void SetOwnerWindow(void* window);

// The window (HWND) of a shown form or of one of its controls; nullptr when
// there is none.
void* WindowOf(const Form& form);
void* WindowOf(const Control& control);

// Message boxes: with a hook installed, the hook answers instead of a person
// (tests); nullptr puts the real MessageBoxA back.
using MessageBoxHook =
    std::function<int(const std::string& prompt, int buttons, const std::string& title)>;
void SetMessageBoxHook(MessageBoxHook hook);

// The names of the controls of a shown form whose caption does not fit their
// window in their font (a clipped caption), empty when every caption is whole.
std::string ClippedCaptions(const Form& form);

// The names of a shown form's windows that show no icon where the form names
// one ("icon:NAME" as the form's icon or an Image's or PictureBox's picture),
// empty when all do.
std::string MissingIcons(const Form& form);

// Writes the client area of a shown form, as it is on screen, to a PNG file;
// answers whether the file was written.
bool Screenshot(const Form& form, const std::string& pngPath);
// The same for any window of the process (an HWND), such as a form that an
// add-in DLL shows with its own copy of the runtime.
bool ScreenshotWindow(void* window, const std::string& pngPath);

}  // namespace forms::win32
