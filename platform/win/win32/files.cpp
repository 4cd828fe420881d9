// Finding files, module folders and atomic replacement through kernel32.

#include "platform/win/files.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace win {

namespace {

void Copy(const ::WIN32_FIND_DATAA& from, WIN32_FIND_DATAA* to) {
    to->dwFileAttributes = from.dwFileAttributes;
    to->ftCreationTime = {from.ftCreationTime.dwLowDateTime, from.ftCreationTime.dwHighDateTime};
    to->ftLastAccessTime = {from.ftLastAccessTime.dwLowDateTime,
                            from.ftLastAccessTime.dwHighDateTime};
    to->ftLastWriteTime = {from.ftLastWriteTime.dwLowDateTime, from.ftLastWriteTime.dwHighDateTime};
    to->nFileSizeHigh = from.nFileSizeHigh;
    to->nFileSizeLow = from.nFileSizeLow;
    to->dwReserved0 = from.dwReserved0;
    to->dwReserved1 = from.dwReserved1;
    std::memcpy(to->cFileName, from.cFileName, sizeof to->cFileName);
    std::memcpy(to->cAlternateFileName, from.cAlternateFileName, sizeof to->cAlternateFileName);
}

std::string FolderOfModule(HMODULE module) {
    char path[32768];
    const DWORD n = ::GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path) return {};
    std::string text(path, n);
    const std::size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

// The system's text for an error code, without its line end.
std::string Describe(DWORD code) {
    char* text = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "error " + std::to_string(code);
    if (text) ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace

HANDLE FindFirstFileA(const char* lpFileName, WIN32_FIND_DATAA* lpFindFileData) {
    ::WIN32_FIND_DATAA found{};
    const ::HANDLE h = ::FindFirstFileA(lpFileName, &found);
    if (h != INVALID_HANDLE_VALUE && lpFindFileData) Copy(found, lpFindFileData);
    return h;
}

BOOL FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData) {
    ::WIN32_FIND_DATAA found{};
    const BOOL ok = ::FindNextFileA(hFindFile, &found);
    if (ok && lpFindFileData) Copy(found, lpFindFileData);
    return ok;
}

BOOL FindClose(HANDLE hFindFile) {
    return ::FindClose(hFindFile);
}

std::string GetModuleFolder(const void* addressInModule) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const char*>(addressInModule), &module)) {
        return {};
    }
    return FolderOfModule(module);
}

std::string GetProgramFolder() {
    return FolderOfModule(nullptr);
}

std::string PlatformPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
    // The temporary file sits beside the target so that the final move stays
    // on one volume and replaces the target in one step.
    const std::string temp = path + ".tarnwick-" + std::to_string(::GetCurrentProcessId()) + ".tmp";
    const ::HANDLE file = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Describe(::GetLastError());
    DWORD failure = 0;
    std::size_t done = 0;
    while (!failure && done < bytes.size()) {
        ::DWORD written = 0;
        const ::DWORD chunk =
            static_cast<::DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
            failure = ::GetLastError();
        done += written;
    }
    if (!failure && !::FlushFileBuffers(file)) failure = ::GetLastError();
    ::CloseHandle(file);
    if (!failure && !::MoveFileExA(temp.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = ::GetLastError();
    }
    if (failure) {
        ::DeleteFileA(temp.c_str());
        return Describe(failure);
    }
    return {};
}

}  // namespace win
