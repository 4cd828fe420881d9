// The Windows side of platform/win/test_support.h: other processes for the
// tests, started through CreateProcessA, where Linux forks.

// clang-format off
// The suite's headers first: <windows.h> defines macros of the same names.
#include "platform/win/test_support.h"

#include <cstring>

#include "platform/win/process.h"
#include "platform/win/save.h"

#include <windows.h>
// clang-format on

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
    WaitForSingleObject(static_cast<::HANDLE>(process), INFINITE);
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

}  // namespace win::testing
