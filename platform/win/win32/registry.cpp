// The registry functions over advapi32. Handles and predefined roots have the
// same values on both sides, so they pass through unchanged.
//
// Every program of the suite works in the 32-bit view of the registry: VB6,
// its add-ins and the components they register are 32-bit, so on 64-bit
// Windows their classes live under Wow6432Node. The programs are 32-bit
// themselves, which puts them in that view already; the flag says so on every
// call, so that the choice does not rest on how the program was built. Only a
// caller that asks for the 64-bit view explicitly (a test checking that
// nothing landed there) gets it.

// clang-format off
// The suite's headers first: <windows.h> defines macros of the same names.
#include "platform/win/registry.h"

#include <string>

#include <windows.h>
// clang-format on

// The ANSI/wide macros of <windows.h> would rename the functions defined here.
#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegQueryInfoKey
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey

namespace win {

namespace {

::HKEY Native(HKEY key) {
    return reinterpret_cast<::HKEY>(key);
}
::HKEY* Native(PHKEY key) {
    return reinterpret_cast<::HKEY*>(key);
}
::FILETIME* Native(FILETIME* time) {
    return reinterpret_cast<::FILETIME*>(time);
}

REGSAM View(REGSAM access) {
    return access & KEY_WOW64_64KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

REGSAM WithView(REGSAM access) {
    return (access & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY)) | View(access);
}

}  // namespace

HKEY HKeyFromLong(std::int32_t value) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(value));
}

std::int32_t LongFromHKey(HKEY key) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(key));
}

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult) {
    return ::RegOpenKeyExA(Native(hKey), lpSubKey, ulOptions, WithView(samDesired),
                           Native(phkResult));
}

LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                    REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes,
                    PHKEY phkResult, DWORD* lpdwDisposition) {
    ::SECURITY_ATTRIBUTES security{};
    if (lpSecurityAttributes) {
        security.nLength = sizeof security;
        security.lpSecurityDescriptor = lpSecurityAttributes->lpSecurityDescriptor;
        security.bInheritHandle = lpSecurityAttributes->bInheritHandle;
    }
    ::DWORD disposition = 0;
    const LONG rc = ::RegCreateKeyExA(
        Native(hKey), lpSubKey, Reserved, lpClass, dwOptions, WithView(samDesired),
        lpSecurityAttributes ? &security : nullptr, Native(phkResult), &disposition);
    if (lpdwDisposition && rc == ERROR_SUCCESS) *lpdwDisposition = disposition;
    return rc;
}

// DWORD is unsigned long on Windows and std::uint32_t here: the same 32 bits,
// so the pointers are passed through.
static_assert(sizeof(::DWORD) == sizeof(DWORD));
#define AS_NATIVE(p) reinterpret_cast<::DWORD*>(p)

LONG RegQueryInfoKey(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                     DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                     DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                     DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime) {
    return ::RegQueryInfoKeyA(Native(hKey), lpClass, AS_NATIVE(lpcchClass), AS_NATIVE(lpReserved),
                              AS_NATIVE(lpcSubKeys), AS_NATIVE(lpcbMaxSubKeyLen),
                              AS_NATIVE(lpcbMaxClassLen), AS_NATIVE(lpcValues),
                              AS_NATIVE(lpcbMaxValueNameLen), AS_NATIVE(lpcbMaxValueLen),
                              AS_NATIVE(lpcbSecurityDescriptor), Native(lpftLastWriteTime));
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD* lpReserved,
                  char* lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime) {
    return ::RegEnumKeyExA(Native(hKey), dwIndex, lpName, AS_NATIVE(lpcchName),
                           AS_NATIVE(lpReserved), lpClass, AS_NATIVE(lpcchClass),
                           Native(lpftLastWriteTime));
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName,
                  DWORD* lpReserved, DWORD* lpType, void* lpData, DWORD* lpcbData) {
    // Windows wants a name buffer even when only the type and size are asked
    // for; the API here lets the caller leave the name out.
    std::string scratch;
    DWORD scratchSize = 0;
    if (!lpValueName) {
        scratch.resize(MAX_VALUE_NAME + 1);
        scratchSize = static_cast<DWORD>(scratch.size());
        lpValueName = scratch.data();
        lpcchValueName = &scratchSize;
    }
    return ::RegEnumValueA(Native(hKey), dwIndex, lpValueName, AS_NATIVE(lpcchValueName),
                           AS_NATIVE(lpReserved), AS_NATIVE(lpType), static_cast<BYTE*>(lpData),
                           AS_NATIVE(lpcbData));
}

LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     void* lpData, DWORD* lpcbData) {
    return ::RegQueryValueExA(Native(hKey), lpValueName, AS_NATIVE(lpReserved), AS_NATIVE(lpType),
                              static_cast<BYTE*>(lpData), AS_NATIVE(lpcbData));
}

#undef AS_NATIVE

LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const void* lpData, DWORD cbData) {
    return ::RegSetValueExA(Native(hKey), lpValueName, Reserved, dwType,
                            static_cast<const BYTE*>(lpData), cbData);
}

LONG RegDeleteValue(HKEY hKey, const char* lpValueName) {
    return ::RegDeleteValueA(Native(hKey), lpValueName);
}

LONG RegDeleteKey(HKEY hKey, const char* lpSubKey) {
    return ::RegDeleteKeyExA(Native(hKey), lpSubKey, KEY_WOW64_32KEY, 0);
}

LONG RegCloseKey(HKEY hKey) {
    return ::RegCloseKey(Native(hKey));
}

// The system's registry is no store of ours: there is no store file to fail.
std::string LastRegistryStoreError() {
    return {};
}

}  // namespace win
