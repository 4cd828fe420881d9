// The parts of Shell that every backend shares: splitting and quoting command
// lines as Windows does, the replaceable process starter, and the checks
// before a start. Each backend supplies FindProgram and DefaultProcessStarter.

#include <algorithm>
#include <mutex>

#include "platform/win/process.h"
#include "base/vb_error.h"

namespace win {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::mutex starterMutex;
ProcessStarter* installedStarter = nullptr;

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    const std::size_t n = commandLine.size();
    std::size_t i = 0;
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i == n) return args;
    // The program name: no backslash rules; a leading quote runs to the next.
    std::string program;
    if (commandLine[i] == '"') {
        ++i;
        while (i < n && commandLine[i] != '"') program += commandLine[i++];
        if (i < n) ++i;
    } else {
        while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
    }
    args.push_back(program);
    while (true) {
        while (i < n && IsBlank(commandLine[i])) ++i;
        if (i == n) break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(commandLine[i]))) {
            const char c = commandLine[i];
            if (c == '\\') {
                std::size_t count = 0;
                while (i < n && commandLine[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < n && commandLine[i] == '"') {
                    // 2n backslashes and a quote: n backslashes, and the quote
                    // toggles; 2n+1: n backslashes and a literal quote.
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += c;
                ++i;
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each one is doubled,
        // and one more escapes the quote itself.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

void SetProcessStarter(ProcessStarter* starter) {
    std::lock_guard lock(starterMutex);
    installedStarter = starter;
}

long RecordingProcessStarter::Start(const ShellRequest& request) {
    if (failNext) {
        failNext = false;
        throw vb::VbError(53, "Shell");
    }
    requests.push_back(request);
    return static_cast<long>(requests.size());
}

int RecordingProcessStarter::Run(const ShellRequest& request) {
    Start(request);
    return exitStatus;
}

ScopedProcessStarter::ScopedProcessStarter(ProcessStarter& starter) {
    std::lock_guard lock(starterMutex);
    previous_ = installedStarter;
    installedStarter = &starter;
}

ScopedProcessStarter::~ScopedProcessStarter() {
    std::lock_guard lock(starterMutex);
    installedStarter = previous_;
}

namespace {

// Finds the program of request.argv[0]; raises 5 for no program at all and 53
// for one that cannot be found.
void FindRequestedProgram(ShellRequest& request) {
    if (request.argv.empty()) throw vb::VbError(5, "Shell");
    request.program = FindProgram(request.argv[0]);
    if (request.program.empty()) throw vb::VbError(53, "Shell");
}

ProcessStarter& InstalledStarter() {
    std::lock_guard lock(starterMutex);
    return installedStarter ? *installedStarter : DefaultProcessStarter();
}

}  // namespace

long Shell(const std::string& commandLine, int windowStyle) {
    static constexpr int kStyles[] = {vbHide, vbNormalFocus, vbMinimizedFocus, vbMaximizedFocus,
                                      vbNormalNoFocus, vbMinimizedNoFocus};
    if (std::find(std::begin(kStyles), std::end(kStyles), windowStyle) == std::end(kStyles)) {
        throw vb::VbError(5, "Shell");
    }
    ShellRequest request;
    request.commandLine = commandLine;
    request.argv = SplitCommandLine(commandLine);
    request.windowStyle = windowStyle;
    FindRequestedProgram(request);
    return InstalledStarter().Start(request);
}

int RunAndWait(const std::vector<std::string>& argv, bool quiet) {
    ShellRequest request;
    request.argv = argv;
    // The same words as a command line, for the record.
    for (const std::string& word : argv) {
        if (!request.commandLine.empty()) request.commandLine += ' ';
        request.commandLine += QuoteArgument(word);
    }
    request.windowStyle = vbHide;
    request.quiet = quiet;
    FindRequestedProgram(request);
    return InstalledStarter().Run(request);
}

}  // namespace win
