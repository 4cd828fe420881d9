// The Windows side of platform/win/test_support.h: other processes for the
// tests, started through CreateProcessA, where Linux forks.

// clang-format off
// The suite's headers first: <windows.h> defines macros of the same names.
#include "platform/win/test_support.h"

#include <cstring>

#include "platform/win/guid.h"
#include "platform/win/process.h"
#include "platform/win/registry_script_parser.h"
#include "platform/win/save.h"

#include <windows.h>
// clang-format on

// The registry through advapi32 itself, outside namespace win, whose types
// and roots carry the same names.
namespace {

bool OverrideMachineKeys(const std::string& path) {
    ::HKEY machine = nullptr, classes = nullptr;
    const std::string classesPath = path + "\\SOFTWARE\\Classes";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine,
                        nullptr) != ERROR_SUCCESS)
        return false;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, classesPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes,
                        nullptr) != ERROR_SUCCESS) {
        RegCloseKey(machine);
        return false;
    }
    const bool done = RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == ERROR_SUCCESS &&
                      RegOverridePredefKey(HKEY_CLASSES_ROOT, classes) == ERROR_SUCCESS;
    RegCloseKey(machine);
    RegCloseKey(classes);
    return done;
}

// Whether a key made in the 32-bit view of HKEY_CLASSES_ROOT lands under
// path; the probe goes again either way.
bool ClassesFollow(const std::string& path, const std::string& probe) {
    ::HKEY made = nullptr, found = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, probe.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                        &made, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(made);
    const std::string mine = path + "\\SOFTWARE\\Classes\\" + probe;
    const bool follows = RegOpenKeyExA(HKEY_CURRENT_USER, mine.c_str(), 0, KEY_READ, &found) == ERROR_SUCCESS;
    if (found) RegCloseKey(found);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, probe.c_str(), KEY_WOW64_32KEY, 0);
    return follows;
}

void RestoreMachineKeys(const std::string& path) {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (!path.empty()) RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
}

::HKEY RootOf(win::detail::ScriptRoot root) {
    switch (root) {
        case win::detail::ScriptRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case win::detail::ScriptRoot::CurrentUser: return HKEY_CURRENT_USER;
        case win::detail::ScriptRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case win::detail::ScriptRoot::Users: return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

// One key of a script with its values; a Win32 error code.
long ImportKey(const win::detail::ScriptKey& key, const std::string& path) {
    const ::HKEY root = RootOf(key.root);
    if (key.remove) {
        const LONG rc = RegDeleteTreeA(root, path.c_str());
        if (rc == ERROR_SUCCESS) return RegDeleteKeyA(root, path.c_str());
        return rc == ERROR_FILE_NOT_FOUND ? 0 : rc;
    }
    ::HKEY h = nullptr;
    if (const LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr))
        return rc;
    for (const win::detail::ScriptValue& v : key.values) {
        const LONG rc = v.remove ? RegDeleteValueA(h, v.name.c_str())
                                 : RegSetValueExA(h, v.name.c_str(), 0, v.type,
                                                  reinterpret_cast<const BYTE*>(v.data.data()),
                                                  static_cast<::DWORD>(v.data.size()));
        if (rc != ERROR_SUCCESS && !(v.remove && rc == ERROR_FILE_NOT_FOUND)) {
            RegCloseKey(h);
            return rc;
        }
    }
    RegCloseKey(h);
    return 0;
}

}  // namespace

namespace win::testing {

namespace {

const char kHoldLock[] = "--tarnwick-hold-save-lock";

std::string CommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) line += (line.empty() ? "" : " ") + QuoteArgument(argument);
    return line;
}

std::string ThisProgram() {
    char path[MAX_PATH];
    const ::DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n && n < sizeof path ? std::string(path, n) : std::string();
}

// Starts argv with the given standard handles (inherited); the process handle
// or null.
::HANDLE Spawn(const std::vector<std::string>& argv, ::HANDLE input, ::HANDLE output) {
    // The test's own output stays its own: a child that Wine has not done
    // with after it was killed would otherwise keep the test runner's pipe
    // open, and the runner would wait for it.
    for (const ::DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::string line = CommandLine(argv);
    if (!CreateProcessA(argv[0].c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

::HANDLE NullDevice(::DWORD access) {
    ::SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
}

void EndProcess(void*& process) {
    if (!process) return;
    TerminateProcess(static_cast<::HANDLE>(process), 9);
    WaitForSingleObject(static_cast<::HANDLE>(process), 30000);
    CloseHandle(static_cast<::HANDLE>(process));
    process = nullptr;
}

}  // namespace

LockHolder::LockHolder(const std::string& path) {
    ::SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ::HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) return;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) {
        CloseHandle(inRead);
        CloseHandle(inWrite);
        return;
    }
    // Only the child's ends are inherited.
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    process_ = Spawn({ThisProgram(), kHoldLock, path}, inRead, outWrite);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    input_ = inWrite;
    char said = 0;
    ::DWORD n = 0;
    held_ = process_ && ReadFile(outRead, &said, 1, &n, nullptr) && n == 1 && said == 'y';
    CloseHandle(outRead);
}

LockHolder::~LockHolder() {
    if (input_) CloseHandle(static_cast<::HANDLE>(input_));
    if (process_ && WaitForSingleObject(static_cast<::HANDLE>(process_), 10000) == WAIT_OBJECT_0) {
        CloseHandle(static_cast<::HANDLE>(process_));
        process_ = nullptr;
    }
    EndProcess(process_);
}

bool ServeAsLockHolder(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], kHoldLock) != 0) return false;
    SaveLock lock(argv[2]);
    const char said = lock.Held() ? 'y' : 'n';
    ::DWORD n = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), &said, 1, &n, nullptr);
    char ignored[64];
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), ignored, sizeof ignored, &n, nullptr) && n > 0) {
    }
    return true;
}

RunningProgram::RunningProgram(const std::vector<std::string>& argv) {
    const ::HANDLE input = NullDevice(GENERIC_READ);
    const ::HANDLE output = NullDevice(GENERIC_WRITE);
    process_ = Spawn(argv, input, output);
    CloseHandle(input);
    CloseHandle(output);
}

RunningProgram::~RunningProgram() {
    Kill();
}

void RunningProgram::Kill() {
    EndProcess(process_);
}

PrivateMachineKeys::PrivateMachineKeys() {
    GUID g;
    if (CoCreateGuid(&g) != S_OK) return;
    char text[39];
    StringFromGUID2(g, text, 39);
    path_ = std::string("Software\\Tarnwick Tests\\") + text;
    ready_ = OverrideMachineKeys(path_);
    classes_ = ready_ && ClassesFollow(path_, std::string("Tarnwick Test Probe ") + text);
}

PrivateMachineKeys::~PrivateMachineKeys() {
    RestoreMachineKeys(path_);
}

std::string ImportScriptText(const std::string& text) {
    detail::Script script;
    if (const auto error = detail::ParseRegistryScript(text, script))
        return "line " + std::to_string(error->line) + ": " + error->message;
    for (const detail::ScriptKey& key : script.keys) {
        std::string path;
        for (const std::string& level : key.path) path += (path.empty() ? "" : "\\") + level;
        if (const long rc = ImportKey(key, path)) return "line " + std::to_string(key.line) + ": error " + std::to_string(rc);
    }
    return {};
}

}  // namespace win::testing
