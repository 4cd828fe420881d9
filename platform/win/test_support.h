#pragma once
// Helpers for the tests of platform/win: a fresh temporary folder per test.

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/save.h"

namespace win::testing {

#ifndef _WIN32
// Another process holding the writer lock of `path` until destroyed.
class LockHolder {
public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) std::abort();
        child_ = ::fork();
        if (child_ < 0) std::abort();
        if (child_ == 0) {
            SaveLock lock(path);
            const char c = lock.Held() ? 'y' : 'n';
            (void)!::write(ready[1], &c, 1);
            ::pause();
            ::_exit(0);
        }
        char c = 0;
        held_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool Held() const { return held_; }

private:
    pid_t child_ = -1;
    bool held_ = false;
};
#else
// The machine's keys of this process (HKEY_LOCAL_MACHINE and, within it,
// HKEY_CLASSES_ROOT) redirected for the object's life to a fresh key of its
// own, removed afterwards: tests write the machine's keys without touching
// the machine. Other processes (the system's registry editor) still see the
// real ones.
class PrivateMachineKeys {
public:
    PrivateMachineKeys();
    ~PrivateMachineKeys();
    PrivateMachineKeys(const PrivateMachineKeys&) = delete;
    PrivateMachineKeys& operator=(const PrivateMachineKeys&) = delete;
    bool Ready() const { return ready_; }
    // Whether HKEY_CLASSES_ROOT in the suite's (32-bit) view follows the
    // redirection too; some systems open the machine's there all the same.
    bool ClassesRedirected() const { return classes_; }

private:
    std::string path_;  // under HKEY_CURRENT_USER
    bool ready_ = false;
    bool classes_ = false;
};

// Imports registry script text through the registry functions (as the
// system's editor would, in this process); the error, empty on success.
std::string ImportScriptText(const std::string& text);

// Another process (this test program, started again in the role below)
// holding the writer lock of `path` until destroyed.
class LockHolder {
public:
    explicit LockHolder(const std::string& path);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool Held() const { return held_; }

private:
    void* process_ = nullptr;
    void* input_ = nullptr;  // closing it tells the holder to let go
    bool held_ = false;
};

// The role LockHolder starts: when argv asks for it, takes the lock, says
// whether it holds it, keeps it until its input ends and returns true.
bool ServeAsLockHolder(int argc, char** argv);

// A program started without waiting for it, its output thrown away; Kill
// ends it at once, as a crash or a power cut would, with no chance to tidy up.
class RunningProgram {
public:
    explicit RunningProgram(const std::vector<std::string>& argv);  // argv[0]: the program's path
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    bool Started() const { return process_ != nullptr; }
    void Kill();

private:
    void* process_ = nullptr;
};
#endif

// Sets an environment variable for the life of the object and puts the old
// value (or its absence) back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        Set(value);
    }
    ~ScopedVariable() { hadOld_ ? Set(old_.c_str()) : Unset(); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const char* value) {
#ifdef _WIN32
        ::_putenv_s(name_, value);
#else
        ::setenv(name_, value, 1);
#endif
    }
    void Unset() {
#ifdef _WIN32
        ::_putenv_s(name_, "");
#else
        ::unsetenv(name_);
#endif
    }
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

// The names in a folder (files and folders alike).
inline std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        std::random_device random;
        for (int attempt = 0; path_.empty() && attempt < 100; ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("tarnwick-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        }
        if (path_.empty()) std::abort();
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
#endif
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const {
        return path_;
    }
    std::string operator/(const std::string& name) const {
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

// The folder of the suite's programs: $TARNWICK_BIN, else the folder of the
// running test (tests and programs share build/<preset>/bin).
inline std::string BinFolder() {
    if (const char* bin = std::getenv("TARNWICK_BIN"); bin && *bin) return bin;
#ifdef _WIN32
    return {};
#else
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string self(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    return self.substr(0, self.rfind('/'));
#endif
}

// Wine departs from Windows in a few details that the shared tests check
// (values enumerate sorted, profile writes rewrite the whole file); those
// expectations are skipped under it.
#ifdef _WIN32
bool RunningUnderWine();
#else
inline bool RunningUnderWine() {
    return false;
}
#endif

// Opens (creating it when missing) root\path with full access.
inline HKEY CreateKey(HKEY root, const char* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    return RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition) ==
                   ERROR_SUCCESS
               ? key
               : nullptr;
}

// The names of a key's subkeys in enumeration order. An enumeration that ends
// with anything but ERROR_NO_MORE_ITEMS adds "<error N>", so that the
// comparison the test makes fails.
inline std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        const LONG rc = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) {
            names.push_back("<error " + std::to_string(rc) + ">");
            break;
        }
        names.emplace_back(name, size);
    }
    return names;
}

// Deletes root\path with every key below it; a missing key is no error.
inline void DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    DWORD size = sizeof name;
    while ((size = sizeof name, RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr)) ==
           ERROR_SUCCESS)
        DeleteKeyTree(key, name);
    RegCloseKey(key);
    RegDeleteKey(root, path.c_str());
}

// Records what a program starts and really starts it, waiting for it to end:
// the registry editor the program chose imports its script. The editor asks
// before it imports, so it is told to import silently.
class SilentImportStarter : public RecordingProcessStarter {
public:
    long Start(const ShellRequest& request) override {
        RecordingProcessStarter::Start(request);
        ShellRequest silent = request;
        silent.commandLine.insert(request.argv[0].size(), " /s");
        status = DefaultProcessStarter().Run(silent);
        return 1;
    }
    int status = -1;
};

// In the suite's view unless `view` asks for another (KEY_WOW64_64KEY).
inline bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace win::testing
