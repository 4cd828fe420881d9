// The parts of Shell that every backend shares: splitting the command line as
// Windows does, the replaceable process starter, and the checks before a start.
// Each backend supplies FindProgram and DefaultProcessStarter.

#include <algorithm>
#include <mutex>

#include "platform/win/process.h"
#include "platform/win/vb_error.h"

namespace win {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

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

ScopedProcessStarter::ScopedProcessStarter(ProcessStarter& starter) {
    std::lock_guard lock(starterMutex);
    previous_ = installedStarter;
    installedStarter = &starter;
}

ScopedProcessStarter::~ScopedProcessStarter() {
    std::lock_guard lock(starterMutex);
    installedStarter = previous_;
}

long Shell(const std::string& commandLine, int windowStyle) {
    static constexpr int kStyles[] = {vbHide,           vbNormalFocus,   vbMinimizedFocus,
                                      vbMaximizedFocus, vbNormalNoFocus, vbMinimizedNoFocus};
    if (std::find(std::begin(kStyles), std::end(kStyles), windowStyle) == std::end(kStyles)) {
        throw vb::VbError(5, "Shell");
    }
    ShellRequest request;
    request.commandLine = commandLine;
    request.argv = SplitCommandLine(commandLine);
    request.windowStyle = windowStyle;
    if (request.argv.empty()) throw vb::VbError(5, "Shell");
    request.program = FindProgram(request.argv[0]);
    if (request.program.empty()) throw vb::VbError(53, "Shell");
    ProcessStarter* starter;
    {
        std::lock_guard lock(starterMutex);
        starter = installedStarter ? installedStarter : &DefaultProcessStarter();
    }
    return starter->Start(request);
}

}  // namespace win
