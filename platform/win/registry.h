#pragma once
// The registry functions of Win32 (ANSI forms), over the suite's registry store:
// one SQLite database file shared by every program of the suite and by several
// processes at once.
//
// The store is chosen on first use: the file named by the environment variable
// TARNWICK_REGISTRY, otherwise ${XDG_DATA_HOME:-~/.local/share}/tarnwick/registry.db
// (created, with its folders, when missing). UseRegistryStore points the process
// at another file, or at a private in-memory store for tests.
//
// Semantics follow Windows: key and value names compare without regard to ASCII
// case and keep the case they were created with; subkeys enumerate sorted by
// their upper-cased names (byte by byte), values in the order they were created;
// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes. Every call is atomic
// (one transaction). Results are Win32 error codes; a store that cannot be used
// (not a registry store, damaged, unreadable) gives ERROR_REGISTRY_CORRUPT or
// ERROR_REGISTRY_IO_FAILED, and LastRegistryStoreError() then tells why, naming the
// file.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/win/win_types.h"

namespace win {

// An open registry key. Opaque: only the registry functions look inside.
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

// The predefined roots carry the handle values Windows gives them (the 32-bit
// value sign-extended, as on 64-bit Windows).
HKEY HKeyFromLong(std::int32_t value);
std::int32_t LongFromHKey(HKEY key);
inline const HKEY HKEY_CLASSES_ROOT = HKeyFromLong(static_cast<std::int32_t>(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = HKeyFromLong(static_cast<std::int32_t>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = HKeyFromLong(static_cast<std::int32_t>(0x80000002u));
inline const HKEY HKEY_USERS = HKeyFromLong(static_cast<std::int32_t>(0x80000003u));

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_LINK = 6;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights. A handle only allows what it was opened for: querying needs
// KEY_QUERY_VALUE, setting and deleting values KEY_SET_VALUE, creating subkeys
// KEY_CREATE_SUB_KEY, enumerating subkeys KEY_ENUMERATE_SUB_KEYS; otherwise
// the call gives ERROR_ACCESS_DENIED.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_EXECUTE = 0x20019;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;

// RegCreateKeyEx options and dispositions.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_OPTION_VOLATILE = 1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Longest names Windows allows, in characters without the terminating zero.
inline constexpr DWORD MAX_KEY_NAME = 255;
inline constexpr DWORD MAX_VALUE_NAME = 16383;

struct SECURITY_ATTRIBUTES {
    DWORD nLength = 0;
    void* lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = FALSE;
};

// Opens hKey\lpSubKey (lpSubKey null or empty: hKey itself, as a new handle).
// ERROR_FILE_NOT_FOUND when a level is missing; ERROR_BAD_PATHNAME for a path
// with a leading backslash or an empty level; ERROR_INVALID_HANDLE for a handle
// that is closed or was never opened; ERROR_KEY_DELETED when hKey was deleted.
LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult);

// Opens hKey\lpSubKey, creating every missing level. *lpdwDisposition (when
// given) becomes REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Names longer
// than MAX_KEY_NAME give ERROR_INVALID_PARAMETER; class, options and security
// are accepted and ignored (every key is non-volatile).
LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass,
                    DWORD dwOptions, REGSAM samDesired,
                    const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                    DWORD* lpdwDisposition);

// Counts and longest lengths of hKey: names in characters without the zero,
// data in bytes. Any pointer may be null. The class is always empty and the
// last-write time zero.
LONG RegQueryInfoKey(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                     DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                     DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                     DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime);

// The name of subkey dwIndex. *lpcchName is the buffer size in characters,
// zero included; on success it becomes the name's length without the zero.
// ERROR_MORE_DATA when the buffer is too small, ERROR_NO_MORE_ITEMS at or past
// the count.
LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName,
                  DWORD* lpReserved, char* lpClass, DWORD* lpcchClass,
                  FILETIME* lpftLastWriteTime);

// Value dwIndex: name (sizes as RegEnumKeyEx), type and data. With lpData null
// and lpcbData given, only type and size are returned. A short data buffer gives
// ERROR_MORE_DATA and the needed size in *lpcbData. String data sizes count
// the terminating zero. Name and data may both be null for a type/size query.
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName,
                  DWORD* lpReserved, DWORD* lpType, void* lpData, DWORD* lpcbData);

// The value named lpValueName (null or empty: the default value). Sizes as
// RegEnumValue; ERROR_FILE_NOT_FOUND when there is no such value.
LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     void* lpData, DWORD* lpcbData);

// Creates or replaces a value (a replaced value keeps its place in the order).
// REG_SZ and REG_EXPAND_SZ data without a terminating zero get one.
LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const void* lpData, DWORD cbData);

// ERROR_FILE_NOT_FOUND when the value does not exist.
LONG RegDeleteValue(HKEY hKey, const char* lpValueName);

// Deletes hKey\lpSubKey with its values. A key with subkeys is refused with
// ERROR_ACCESS_DENIED, as are the predefined roots and the key behind
// HKEY_CLASSES_ROOT. Handles still open on the deleted key then give
// ERROR_KEY_DELETED.
LONG RegDeleteKey(HKEY hKey, const char* lpSubKey);

// Closes a handle; closing a predefined root succeeds and does nothing.
LONG RegCloseKey(HKEY hKey);

// ---- The store -----------------------------------------------------------

// Raised by UseRegistryStore when the file cannot serve as a registry store.
// what() names the file and says why.
class RegistryStoreError : public std::runtime_error {
public:
    RegistryStoreError(LONG code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    // ERROR_REGISTRY_CORRUPT (not a registry store, damaged) or
    // ERROR_REGISTRY_IO_FAILED (cannot be created, opened or read).
    LONG Code() const noexcept { return code_; }

private:
    LONG code_;
};

// Points this process at the store in `path`, creating it (and its folders)
// when missing; ":memory:" gives a fresh private in-memory store, and the
// empty text goes back to the default choice (TARNWICK_REGISTRY, XDG folder). Handles open
// on the previous store become invalid. Throws RegistryStoreError when the file
// exists but is not a registry store, is damaged or cannot be opened; the
// process then has no store until the next successful call.
void UseRegistryStore(const std::string& path);

// The file the process uses or will use: the last UseRegistryStore path,
// otherwise TARNWICK_REGISTRY, otherwise the default location.
std::string RegistryStorePath();

// Why the last registry call that failed with ERROR_REGISTRY_CORRUPT or
// ERROR_REGISTRY_IO_FAILED failed, naming the file; empty when none did.
std::string LastRegistryStoreError();

// Closes the store; the next registry call opens it again (from the path that
// RegistryStorePath gives). Open handles become invalid.
void CloseRegistryStore();

// For tests of failure paths: the n-th registry call from now (1: the next
// one) fails with `code` without touching the store; RegCloseKey is not
// counted. n = 0 cancels a pending failure.
void FailNthRegistryCall(unsigned n, LONG code);

// True while the failure FailNthRegistryCall set up has not happened yet, so
// a test that fails call 1, 2, 3, ... knows when the operation made fewer
// calls than n and ran without a failure.
bool RegistryFailurePending();

}  // namespace win
