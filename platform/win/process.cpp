#include "platform/win/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/win/files.h"

extern char** environ;

namespace win {

namespace {

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

}  // namespace win
