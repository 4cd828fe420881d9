// Finding files and module folders through kernel32.

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

}  // namespace win
