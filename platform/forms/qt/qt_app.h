#pragma once
// Entry points of the Qt view of the forms runtime. A program with windows
// calls RunProgram; tests and tours render forms offscreen with Screenshot.
// No Qt type appears here, so tools and their mains need no Qt headers.

#include <functional>
#include <string>

namespace forms {
class Form;
}

namespace forms::qt {

// Creates the application, installs the Qt user interface (real windows, real
// message boxes, nested event loops for modal forms), runs start() — which
// loads and shows the program's start-up form — and then the event loop until
// no form is visible any more. Answers the program's exit status.
int RunProgram(int argc, char** argv, const std::function<void()>& start);

// Makes sure a QApplication exists and the Qt user interface is installed
// (for tests and tours that render forms without running a program loop).
// With no display, QT_QPA_PLATFORM=offscreen is used.
void EnsureQtUi();

// For a program that hosts the forms of add-ins: End (an add-in's, or the one
// that follows an untrapped run-time error's message) leaves the program
// running instead of ending it.
void KeepRunningOnEnd();

// Renders the form as it would appear on screen (its frame excluded) into a
// PNG file; answers whether the file was written.
bool Screenshot(Form& form, const std::string& pngPath);

}  // namespace forms::qt
