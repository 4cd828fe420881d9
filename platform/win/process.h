#pragma once
// Starting programs as VB's Shell does: the command line is split as Windows
// splits it (blanks separate arguments; double quotes group; backslashes only
// matter before a quote), the program is found, and it starts as a separate
// process, without waiting and without any shell in between.
//
// The program name REGEDIT (any case, with or without ".exe") is the suite's
// registry editor `regedit`, looked for in $TARNWICK_BIN, then beside the
// running program, then beside this library's ../bin, then through PATH. Other
// names containing a '/' are paths; the rest are looked up through PATH.
//
// Who starts the process is replaceable: tests install a RecordingProcessStarter
// that records each request and starts nothing.

#include <memory>
#include <string>
#include <vector>

namespace win {

// VB's window styles (vbAppWinStyle). On Linux the style is passed on to the
// starter and otherwise has no effect.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;
inline constexpr int vbMinimizedFocus = 2;
inline constexpr int vbMaximizedFocus = 3;
inline constexpr int vbNormalNoFocus = 4;
inline constexpr int vbMinimizedNoFocus = 6;

// Splits a command line into arguments as Windows does. The first argument,
// the program name, ends at the first blank or, when it starts with a quote,
// at the next quote; backslashes in it are plain characters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The argument as it must appear on a command line to reach the program
// unchanged: as it is when it holds no blank, tab or double quote and is not
// empty; otherwise in double quotes, with each quote written \" and the
// backslashes before a quote (or before the closing quote) doubled.
std::string QuoteArgument(const std::string& argument);

// The path of the program that Shell would start for `name`, or the empty
// text when it cannot be found.
std::string FindProgram(const std::string& name);

struct ShellRequest {
    std::string commandLine;        // as given to Shell
    std::vector<std::string> argv;  // split; argv[0] as written in the command line
    std::string program;            // the resolved path of argv[0]
    int windowStyle = vbMinimizedFocus;
    // The program's standard output and error go to the null device.
    bool quiet = false;
};

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts request.program with request.argv (argv[0] replaced by the
    // program's path) and returns the process id, without waiting. Throws
    // vb::VbError 53 when the program cannot be started.
    virtual long Start(const ShellRequest& request) = 0;
    // Starts the program as Start does, waits for it to end and returns its
    // exit status (128 plus the signal's number when a signal ended it).
    virtual int Run(const ShellRequest& request) = 0;
};

// The POSIX starter (posix_spawn; the child is reaped in the background).
ProcessStarter& DefaultProcessStarter();

// Installs the starter that Shell uses; nullptr puts the default back. The
// caller keeps ownership and keeps the starter alive while it is installed.
void SetProcessStarter(ProcessStarter* starter);

// A starter for tests: records every request, starts nothing, and returns
// ids 1, 2, 3, ... (Run: exitStatus). When failNext is set, the next Start or
// Run throws error 53 (and clears the flag), as a program that cannot be
// started would.
class RecordingProcessStarter : public ProcessStarter {
public:
    long Start(const ShellRequest& request) override;
    int Run(const ShellRequest& request) override;
    std::vector<ShellRequest> requests;
    bool failNext = false;
    int exitStatus = 0;
};

// Installs a starter for the lifetime of a scope, then restores the previous one.
class ScopedProcessStarter {
public:
    explicit ScopedProcessStarter(ProcessStarter& starter);
    ~ScopedProcessStarter();
    ScopedProcessStarter(const ScopedProcessStarter&) = delete;
    ScopedProcessStarter& operator=(const ScopedProcessStarter&) = delete;

private:
    ProcessStarter* previous_;
};

// VB's Shell: splits the command line, finds the program and starts it; returns
// the process id. Raises vb::VbError 53 "File not found" when the program
// cannot be found or started, and 5 "Invalid procedure call or argument" for an
// empty command line or an unknown window style.
long Shell(const std::string& commandLine, int windowStyle = vbMinimizedFocus);

// Starts the program that argv[0] names (found as Shell finds it) with the
// other words as its arguments, exactly as given: no command line is split,
// so no character in them needs quoting. Waits for the program to end and
// returns its exit status (128 plus the signal's number when a signal ended
// it); with `quiet` its output goes nowhere. The window style is vbHide.
// Raises as Shell does.
int RunAndWait(const std::vector<std::string>& argv, bool quiet = false);

}  // namespace win
