// The suite's registry editor. It imports registry scripts into the registry
// store and exports keys from it; see regedit.h for the command line.
//
// Without /s it asks before importing. The question goes to the terminal and
// the answer is read from it; when there is no terminal, the environment
// variable TARNWICK_REGEDIT_ANSWER (yes or no) may answer for the user, and
// otherwise nothing is imported (exit status 3): the editor never adds to the
// registry without someone having said yes. Started from a program with
// windows (no terminal, but a display), it asks and reports in message boxes,
// as the desktop's registry editor does.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "apps/regedit/regedit.h"
#include "base/text.h"
#ifdef TARNWICK_REGEDIT_WINDOWS
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/runtime.h"
#endif

namespace {

bool IsYes(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
    text = text::LowerAscii(text);
    return text == "y" || text == "yes";
}

class TerminalConsole : public regedit::Console {
public:
    bool Ask(const std::string& question, bool& answer) override {
        if (const char* preset = std::getenv("TARNWICK_REGEDIT_ANSWER"); preset && *preset) {
            answer = IsYes(preset);
            std::cout << question << " " << (answer ? "Yes" : "No") << std::endl;
            return true;
        }
        if (!::isatty(STDIN_FILENO)) return false;
        std::cout << question << " [y/N] " << std::flush;
        std::string line;
        answer = static_cast<bool>(std::getline(std::cin, line)) && IsYes(line);
        return true;
    }
    void Tell(const std::string& text) override { std::cout << text << std::endl; }
    void Complain(const std::string& text) override {
        std::cerr << "regedit: " << text;
        if (text.empty() || text.back() != '\n') std::cerr << '\n';
        std::cerr.flush();
    }
};

#ifdef TARNWICK_REGEDIT_WINDOWS
class WindowConsole : public regedit::Console {
public:
    WindowConsole() { forms::qt::EnsureQtUi(); }
    bool Ask(const std::string& question, bool& answer) override {
        answer = forms::MsgBox(question, forms::vbYesNo + forms::vbQuestion, kTitle) == forms::vbYes;
        return true;
    }
    void Tell(const std::string& text) override {
        forms::MsgBox(text, forms::vbOKOnly + forms::vbInformation, kTitle);
    }
    void Complain(const std::string& text) override {
        forms::MsgBox(text, forms::vbOKOnly + forms::vbCritical, kTitle);
    }

private:
    static constexpr const char* kTitle = "Registry Editor";
};

bool UseWindows() {
    const char* preset = std::getenv("TARNWICK_REGEDIT_ANSWER");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return !(preset && *preset) && !::isatty(STDIN_FILENO) &&
           ((display && *display) || (wayland && *wayland));
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef TARNWICK_REGEDIT_WINDOWS
    if (UseWindows()) {
        WindowConsole console;
        return regedit::Run({argv + 1, argv + argc}, console);
    }
#endif
    TerminalConsole console;
    return regedit::Run({argv + 1, argv + argc}, console);
}
