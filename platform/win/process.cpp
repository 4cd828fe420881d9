#include "platform/win/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/win/files.h"

extern char** environ;

namespace win {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string SearchPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
        const std::string candidate = dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

std::string FindRegistryEditor() {
    std::vector<std::string> folders;
    if (const char* bin = std::getenv("TARNWICK_BIN"); bin && *bin) folders.emplace_back(bin);
    folders.push_back(GetProgramFolder());
    const std::string library = GetModuleFolder(reinterpret_cast<const void*>(&FindProgram));
    if (!library.empty()) folders.push_back(library + "/../bin");
    for (const auto& folder : folders) {
        if (folder.empty()) continue;
        const std::string candidate = folder + "/regedit";
        if (IsExecutableFile(candidate)) return candidate;
    }
    return SearchPath("regedit");
}

std::mutex starterMutex;
ProcessStarter* installedStarter = nullptr;

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PosixProcessStarter : public ProcessStarter {
public:
    long Start(const ShellRequest& request) override {
        const pid_t pid = Spawn(request);
        // Shell does not wait; a background thread reaps the child so that it
        // leaves no zombie behind.
        std::thread([pid] { WaitFor(pid); }).detach();
        return static_cast<long>(pid);
    }

    int Run(const ShellRequest& request) override { return WaitFor(Spawn(request)); }

private:
    // The program with its arguments, directly: no shell sees the words.
    static pid_t Spawn(const ShellRequest& request) {
        std::vector<char*> argv;
        std::vector<std::string> args = request.argv;
        args[0] = request.program;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (request.quiet) {
            ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        }
        pid_t pid = 0;
        const int rc = ::posix_spawn(&pid, request.program.c_str(), &actions, nullptr, argv.data(),
                                     environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) throw vb::VbError(rc == EACCES ? 70 : 53, "Shell");
        return pid;
    }
};

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

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    const std::string lower = text::LowerAscii(name);
    if (lower == "regedit" || lower == "regedit.exe") return FindRegistryEditor();
    std::string path = name;
    if (path.find('/') == std::string::npos && path.find('\\') != std::string::npos) {
        std::replace(path.begin(), path.end(), '\\', '/');
    }
    if (path.find('/') != std::string::npos) return IsExecutableFile(path) ? path : std::string();
    std::string found = SearchPath(path);
    if (found.empty() && lower.size() > 4 && lower.ends_with(".exe")) {
        found = SearchPath(path.substr(0, path.size() - 4));
    }
    return found;
}

ProcessStarter& DefaultProcessStarter() {
    static PosixProcessStarter starter;
    return starter;
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
    for (const std::string& word : argv)
        request.commandLine += (request.commandLine.empty() ? "" : " ") + QuoteArgument(word);
    request.windowStyle = vbHide;
    request.quiet = quiet;
    FindRequestedProgram(request);
    return InstalledStarter().Run(request);
}

}  // namespace win
