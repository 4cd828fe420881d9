// Private profiles through kernel32. Paths written with '/' (as the suite's
// own callers may build them) are handed on as they are: Windows accepts both
// separators.

#include "platform/win/profile.h"

#include <windows.h>

namespace win {

DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                               char* lpReturnedString, DWORD nSize, const char* lpFileName) {
    return ::GetPrivateProfileStringA(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize,
                                      lpFileName);
}

BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName) {
    return ::WritePrivateProfileStringA(lpAppName, lpKeyName, lpString, lpFileName);
}

}  // namespace win
