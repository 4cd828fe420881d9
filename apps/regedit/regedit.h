#pragma once
// The registry editor's command line: importing scripts (asking first unless
// /s is given) and exporting keys. main() only wires it to the terminal.

#include <string>
#include <vector>

namespace regedit {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFailed = 1;    // a script or export failed
inline constexpr int kUsage = 2;     // the command line was not understood
inline constexpr int kNotAsked = 3;  // declined, or there was no one to ask

// Where the editor asks its question and reports its outcome.
class Console {
public:
    virtual ~Console() = default;
    // Asks a Yes/No question and sets `answer`; returns false when nobody
    // can answer (no terminal and no preset answer).
    virtual bool Ask(const std::string& question, bool& answer) = 0;
    virtual void Tell(const std::string& text) = 0;      // an outcome
    virtual void Complain(const std::string& text) = 0;  // an error
};

// Runs the editor on its arguments (without the program name):
//   FILE...            import each script, asking first
//   /s FILE...         import without asking and without a success message
//   /e FILE [KEY]      export KEY (default: everything) as a version 5.00 script
//   /a FILE [KEY]      export as a REGEDIT4 script
// Switches may be written /x or -x in either case.
int Run(const std::vector<std::string>& args, Console& console);

extern const char* const kUsageText;

}  // namespace regedit
