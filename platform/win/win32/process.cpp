// Starting programs through CreateProcessA. The command line goes to the new
// process as written, so it splits its arguments as Windows does; the window
// style becomes the show state of its first window.
//
// REGEDIT is the system's registry editor that imports into the 32-bit view,
// the one every program of the suite reads: on 64-bit Windows the 32-bit
// editor under SysWOW64 (%SystemRoot%\regedit.exe there is the 64-bit one),
// on 32-bit Windows the system's only one.

// clang-format off
#include "platform/win/process.h"

#include "base/vb_error.h"

// After the suite's headers: its macros would rename their declarations.
#include <windows.h>
// clang-format on

namespace win {

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string WindowsFolder() {
    char folder[MAX_PATH];
    const UINT n = ::GetWindowsDirectoryA(folder, MAX_PATH);
    return n && n < MAX_PATH ? std::string(folder, n) : std::string();
}

std::string FindRegistryEditor() {
    const std::string windows = WindowsFolder();
    if (windows.empty()) return {};
    const std::string editor32 = windows + "\\SysWOW64\\regedit.exe";
    if (IsFile(editor32)) return editor32;
    const std::string editor = windows + "\\regedit.exe";
    return IsFile(editor) ? editor : std::string();
}

WORD ShowState(int windowStyle) {
    switch (windowStyle) {
        case vbHide:
            return SW_HIDE;
        case vbNormalFocus:
            return SW_SHOWNORMAL;
        case vbMinimizedFocus:
            return SW_SHOWMINIMIZED;
        case vbMaximizedFocus:
            return SW_SHOWMAXIMIZED;
        case vbNormalNoFocus:
            return SW_SHOWNOACTIVATE;
        default:
            return SW_SHOWMINNOACTIVE;
    }
}

class Win32ProcessStarter : public ProcessStarter {
public:
    long Start(const ShellRequest& request) override {
        const PROCESS_INFORMATION process = Spawn(request);
        CloseHandle(process.hProcess);
        return static_cast<long>(process.dwProcessId);
    }

    int Run(const ShellRequest& request) override {
        const PROCESS_INFORMATION process = Spawn(request);
        ::DWORD status = static_cast<::DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.hProcess, &status))
            status = static_cast<::DWORD>(-1);
        CloseHandle(process.hProcess);
        return static_cast<int>(status);
    }

private:
    // The command line goes to the program as written; the program splits it.
    static PROCESS_INFORMATION Spawn(const ShellRequest& request) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = ShowState(request.windowStyle);
        HANDLE nul = INVALID_HANDLE_VALUE;
        if (request.quiet) {
            ::SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
            startup.dwFlags |= STARTF_USESTDHANDLES;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = nul;
            startup.hStdError = nul;
        }
        PROCESS_INFORMATION process{};
        std::string commandLine = request.commandLine;  // CreateProcessA may write into it
        const BOOL started = CreateProcessA(request.program.c_str(), commandLine.data(), nullptr,
                                            nullptr, request.quiet, 0, nullptr, nullptr, &startup,
                                            &process);
        const ::DWORD error = GetLastError();
        if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
        if (!started) throw vb::VbError(error == ERROR_ACCESS_DENIED ? 70 : 53, "Shell");
        CloseHandle(process.hThread);
        return process;
    }
};

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    const std::string lower = Lower(name);
    if (lower == "regedit" || lower == "regedit.exe") return FindRegistryEditor();
    if (name.find_first_of("\\/:") != std::string::npos) return IsFile(name) ? name : std::string();
    char found[MAX_PATH];
    const DWORD n = ::SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
    return n && n < MAX_PATH ? std::string(found, n) : std::string();
}

ProcessStarter& DefaultProcessStarter() {
    static Win32ProcessStarter starter;
    return starter;
}

}  // namespace win
