#pragma once
// Private profile ("INI") files, read and written as Windows does it. Paths may
// use backslashes as folder separators, as the callers written for Windows do.
// Text is bytes (ANSI code page), never re-encoded.

#include "platform/win/win_types.h"

namespace win {

// Copies the value of lpKeyName in section lpAppName of lpFileName into
// lpReturnedString (at most nSize - 1 characters and a terminating zero) and
// returns the number of characters copied. A missing file, section or key gives
// lpDefault (null: the empty text) without its trailing blanks. Section and key
// names match without regard to case; blanks around names and values are
// trimmed and one pair of matching quotes around a value removed. With
// lpKeyName null the result is the section's key names, with lpAppName null
// the file's section names, each ended by a zero and the list by a second one
// (return value nSize - 2 when truncated).
DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                               const char* lpDefault, char* lpReturnedString, DWORD nSize,
                               const char* lpFileName);

// Sets lpKeyName in section lpAppName of lpFileName to lpString, creating the
// file, the section (appended at the end) or the key (appended to its section)
// as needed; lines are ended by CR LF. Only the changed line changes. lpString
// null deletes the key; lpKeyName null deletes the whole section. The file is
// replaced atomically. Returns FALSE on failure and sets the last error:
// ERROR_PATH_NOT_FOUND for a missing folder, ERROR_ACCESS_DENIED for a folder
// path or a file or folder that cannot be written.
BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                const char* lpString, const char* lpFileName);

}  // namespace win
