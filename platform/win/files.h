#pragma once
// Finding files as FindFirstFileA does, and the folder a program or library
// was loaded from. Paths may use backslashes as folder separators.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/win_types.h"

namespace win {

inline constexpr DWORD MAX_PATH = 260;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    char cFileName[MAX_PATH] = {};
    char cAlternateFileName[14] = {};
};

// Finds the first entry that lpFileName names: a path whose last element may
// hold the wildcards * and ? (matched without regard to case; entries in name
// order, "." and ".." included as Windows lists them). The name is returned as
// stored; the alternate (8.3) name is always empty, since Linux file systems
// keep none. On failure returns INVALID_HANDLE_VALUE and sets the last error:
// ERROR_FILE_NOT_FOUND (nothing matches, a path ending in a separator, a drive
// alone such as C: or C:\, a network path), ERROR_PATH_NOT_FOUND (a folder on
// the way is missing).
HANDLE FindFirstFileA(const char* lpFileName, WIN32_FIND_DATAA* lpFindFileData);

// The next match; FALSE with ERROR_NO_MORE_FILES (18) when there is none.
BOOL FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData);

// Ends a search; FALSE with ERROR_INVALID_HANDLE for an unknown handle.
BOOL FindClose(HANDLE hFindFile);

inline constexpr DWORD ERROR_NO_MORE_FILES = 18;

// The full path of the program or shared library that contains
// addressInModule (pass the address of any function or object of that
// module), with links resolved. Empty when the address lies in no loaded module.
std::string GetModulePath(const void* addressInModule);

// The folder, without a trailing separator, of the program or shared library
// that contains addressInModule (pass the address of any function or object of
// that module). Empty when the address lies in no loaded module.
std::string GetModuleFolder(const void* addressInModule);

// Replaces the file at `path` (or creates it) with `bytes` in one step,
// through SaveFiles (save.h): a reader sees the old file or the new one, a
// link is written through, a read-only file is refused. Answers the empty
// text on success, otherwise the reason (the old file then stays whole).
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// The folder, without a trailing separator, of the running program.
std::string GetProgramFolder();

// A path written with this system's folder separator ("/" here, "\\" on
// Windows), as paths are shown to the user and passed to other programs.
std::string PlatformPath(std::string path);

}  // namespace win
