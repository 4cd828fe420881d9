// The Win32 registry functions over the registry store. One lock serialises
// the calls of a process; the store's transactions serialise processes.
//
// Each open handle keeps the sorted subkey names and the values it last read,
// so that enumerating by index costs no query per call. A cached list is used
// while nothing changed: every change made by this process bumps a stamp, and
// changes committed by other processes are noticed through SQLite's data
// version, polled at the start of an enumeration (index 0), by RegQueryInfoKey
// and by every other call.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win/registry.h"
#include "platform/win/registry_internal.h"

namespace win {

using detail::KeyId;
using detail::RegistryStore;
using detail::StoreFailure;
using detail::ValueRecord;

HKEY HKeyFromLong(std::int32_t value) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(value));
}

std::int32_t LongFromHKey(HKEY key) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(key));
}

namespace {

struct Handle {
    KeyId key = 0;
    REGSAM access = 0;
    std::uint64_t subkeyStamp = 0;  // 0: not read
    std::vector<std::string> subkeys;
    DWORD longestSubkey = 0;
    std::uint64_t valueStamp = 0;
    std::vector<ValueRecord> values;
    DWORD longestValueName = 0;
    DWORD longestData = 0;
};

struct State {
    std::recursive_mutex mutex;
    std::unique_ptr<RegistryStore> store;
    std::optional<std::string> chosenPath;
    std::unordered_map<std::uintptr_t, Handle> handles;
    std::uintptr_t nextHandle = 0x1000;
    std::uint64_t stamp = 1;
    std::int64_t dataVersion = -1;
    std::string lastError;
    unsigned failCountdown = 0;
    LONG failCode = ERROR_SUCCESS;
};

State& Global() {
    static State* state = new State;  // never destroyed: handles may outlive statics
    return *state;
}

constexpr REGSAM kAllRights = 0x3F;

// Index 0..3 of a predefined root, or -1. Accepts the value sign-extended (as
// HKEY_CLASSES_ROOT is defined) and zero-extended (a 32-bit value widened).
int PredefinedIndex(HKEY key) {
    const auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
    const std::uint64_t high = v >> 32;
    if (high != 0 && high != 0xFFFFFFFFu) return -1;
    const std::uint32_t low = static_cast<std::uint32_t>(v);
    if (low < 0x80000000u || low > 0x80000003u) return -1;
    return static_cast<int>(low - 0x80000000u);
}

std::string DefaultStorePath() {
    if (const char* env = std::getenv("TARNWICK_REGISTRY"); env && *env) return env;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        data = std::string(home && *home ? home : ".") + "/.local/share";
    }
    return data + "/tarnwick/registry.db";
}

void ForgetHandles(State& s) {
    s.handles.clear();
    s.stamp++;
    s.dataVersion = -1;
}

RegistryStore& OpenStore(State& s) {
    if (!s.store) {
        s.store = RegistryStore::Open(s.chosenPath ? *s.chosenPath : DefaultStorePath());
        ForgetHandles(s);
    }
    return *s.store;
}

// Notices commits of other processes.
void Poll(State& s, RegistryStore& store) {
    const std::int64_t version = store.DataVersion();
    if (version != s.dataVersion) {
        s.dataVersion = version;
        s.stamp++;
    }
}

// The handle's entry, or nullptr for a handle that is closed or was never
// opened. Predefined roots get an entry on first use.
Handle* Lookup(State& s, RegistryStore& store, HKEY key) {
    const int root = PredefinedIndex(key);
    if (root >= 0) {
        auto& h = s.handles[0x80000000u + static_cast<unsigned>(root)];
        static constexpr KeyId kRoots[] = {0, detail::kCurrentUser, detail::kLocalMachine,
                                           detail::kUsers};
        h.key = root == 0 ? store.ClassesRoot() : kRoots[root];
        h.access = kAllRights;
        return &h;
    }
    auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(key));
    return it == s.handles.end() ? nullptr : &it->second;
}

HKEY NewHandle(State& s, KeyId key, REGSAM access) {
    const std::uintptr_t value = s.nextHandle;
    s.nextHandle += 4;
    Handle h;
    h.key = key;
    h.access = (access & MAXIMUM_ALLOWED) ? kAllRights : (access & kAllRights);
    s.handles.emplace(value, std::move(h));
    return reinterpret_cast<HKEY>(value);
}

// Splits a subkey path into its names. One trailing backslash is tolerated,
// as Windows does; a leading one or an empty level is a bad path.
LONG SplitPath(const char* path, std::vector<std::string_view>& parts) {
    parts.clear();
    if (!path || !*path) return ERROR_SUCCESS;
    std::string_view rest(path);
    if (rest.front() == '\\') return ERROR_BAD_PATHNAME;
    if (rest.back() == '\\') rest.remove_suffix(1);
    while (true) {
        const auto cut = rest.find('\\');
        const std::string_view part = rest.substr(0, cut);
        if (part.empty()) return ERROR_BAD_PATHNAME;
        if (part.size() > MAX_KEY_NAME) return ERROR_INVALID_PARAMETER;
        parts.push_back(part);
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
    return ERROR_SUCCESS;
}

LONG RefreshSubkeys(State& s, RegistryStore& store, Handle& h) {
    if (h.subkeyStamp == s.stamp) return ERROR_SUCCESS;
    if (!store.KeyExists(h.key)) return ERROR_KEY_DELETED;
    auto children = store.Children(h.key);
    h.subkeys.clear();
    h.subkeys.reserve(children.size());
    h.longestSubkey = 0;
    for (auto& child : children) {
        h.longestSubkey = std::max<DWORD>(h.longestSubkey, static_cast<DWORD>(child.name.size()));
        h.subkeys.push_back(std::move(child.name));
    }
    h.subkeyStamp = s.stamp;
    return ERROR_SUCCESS;
}

LONG RefreshValues(State& s, RegistryStore& store, Handle& h) {
    if (h.valueStamp == s.stamp) return ERROR_SUCCESS;
    if (!store.KeyExists(h.key)) return ERROR_KEY_DELETED;
    h.values = store.Values(h.key);
    h.longestValueName = 0;
    h.longestData = 0;
    for (const auto& v : h.values) {
        h.longestValueName = std::max<DWORD>(h.longestValueName, static_cast<DWORD>(v.name.size()));
        h.longestData = std::max<DWORD>(h.longestData, static_cast<DWORD>(v.data.size()));
    }
    h.valueStamp = s.stamp;
    return ERROR_SUCCESS;
}

// Copies a name into a caller's buffer of *size characters (zero included).
LONG CopyName(const std::string& name, char* buffer, DWORD* size) {
    if (name.size() + 1 > *size) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Returns a value's type and data as RegQueryValueEx and RegEnumValue do.
LONG CopyData(const ValueRecord& v, DWORD* type, void* data, DWORD* size) {
    if (type) *type = v.type;
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD needed = static_cast<DWORD>(v.data.size());
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, v.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

namespace detail {

LONG WithStore(const std::function<LONG(RegistryStore&)>& body) {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    if (s.failCountdown > 0 && --s.failCountdown == 0) return s.failCode;
    try {
        RegistryStore& store = OpenStore(s);
        return body(store);
    } catch (const StoreFailure& failure) {
        if (s.store) s.store->Rollback();
        s.lastError = failure.message;
        return failure.code;
    } catch (const std::bad_alloc&) {
        if (s.store) s.store->Rollback();
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

void NoteChange() { Global().stamp++; }

std::optional<KeyId> PredefinedKey(HKEY key, RegistryStore& store) {
    switch (PredefinedIndex(key)) {
        case 0: return store.ClassesRoot();
        case 1: return kCurrentUser;
        case 2: return kLocalMachine;
        case 3: return kUsers;
        default: return std::nullopt;
    }
}

const char* PredefinedName(HKEY key) {
    static const char* const names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                        "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    const int index = PredefinedIndex(key);
    return index < 0 ? nullptr : names[index];
}

}  // namespace detail

using detail::WithStore;

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return WithStore([&](RegistryStore& store) -> LONG {
        State& s = Global();
        Poll(s, store);
        Handle* base = Lookup(s, store, hKey);
        if (!base) return ERROR_INVALID_HANDLE;
        std::vector<std::string_view> parts;
        if (LONG rc = SplitPath(lpSubKey, parts); rc != ERROR_SUCCESS) return rc;
        KeyId key = base->key;
        for (auto part : parts) {
            auto child = store.FindChild(key, part);
            if (!child) {
                if (!store.KeyExists(base->key)) return ERROR_KEY_DELETED;
                return ERROR_FILE_NOT_FOUND;
            }
            key = *child;
        }
        if (parts.empty() && !store.KeyExists(key)) return ERROR_KEY_DELETED;
        *phkResult = NewHandle(s, key, samDesired);
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, REGSAM samDesired,
                    const SECURITY_ATTRIBUTES*, PHKEY phkResult, DWORD* lpdwDisposition) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return WithStore([&](RegistryStore& store) -> LONG {
        State& s = Global();
        Handle* base = Lookup(s, store, hKey);
        if (!base) return ERROR_INVALID_HANDLE;
        std::vector<std::string_view> parts;
        if (LONG rc = SplitPath(lpSubKey, parts); rc != ERROR_SUCCESS) return rc;
        if (!parts.empty() && !(base->access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        // Looking first keeps the common case (the key exists) free of a
        // write transaction.
        KeyId key = base->key;
        std::size_t found = 0;
        for (; found < parts.size(); ++found) {
            auto child = store.FindChild(key, parts[found]);
            if (!child) break;
            key = *child;
        }
        DWORD disposition = REG_OPENED_EXISTING_KEY;
        if (found < parts.size()) {
            detail::Transaction t(store);
            if (!store.KeyExists(base->key)) return ERROR_KEY_DELETED;
            key = base->key;
            for (auto part : parts) {
                auto child = store.FindChild(key, part);
                if (child) {
                    key = *child;
                } else {
                    key = store.CreateChild(key, part);
                    disposition = REG_CREATED_NEW_KEY;
                }
            }
            t.Commit();
        } else if (!store.KeyExists(key)) {
            return ERROR_KEY_DELETED;
        }
        *phkResult = NewHandle(s, key, samDesired);
        if (lpdwDisposition) *lpdwDisposition = disposition;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKey(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD*, DWORD* lpcSubKeys,
                     DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                     DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                     DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime) {
    return WithStore([&](RegistryStore& store) -> LONG {
        State& s = Global();
        Poll(s, store);
        Handle* h = Lookup(s, store, hKey);
        if (!h) return ERROR_INVALID_HANDLE;
        if (!(h->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
        // The counts come from the store's index; the names are read only
        // when an enumeration asks for them.
        DWORD subkeys = 0, longestSubkey = 0;
        if (h->subkeyStamp == s.stamp) {
            subkeys = static_cast<DWORD>(h->subkeys.size());
            longestSubkey = h->longestSubkey;
        } else {
            if (!store.KeyExists(h->key)) return ERROR_KEY_DELETED;
            store.ChildSummary(h->key, subkeys, longestSubkey);
        }
        if (LONG rc = RefreshValues(s, store, *h); rc != ERROR_SUCCESS) return rc;
        if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
        if (lpcchClass) *lpcchClass = 0;
        if (lpcSubKeys) *lpcSubKeys = subkeys;
        if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = longestSubkey;
        if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
        if (lpcValues) *lpcValues = static_cast<DWORD>(h->values.size());
        if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = h->longestValueName;
        if (lpcbMaxValueLen) *lpcbMaxValueLen = h->longestData;
        if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
        if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
        return ERROR_SUCCESS;
    });
}

namespace {

// Runs `body` on the handle hKey when it is open with the `access` right;
// `poll` first takes in what other processes changed in the store.
LONG WithHandle(HKEY hKey, REGSAM access, bool poll,
                const std::function<LONG(State&, RegistryStore&, Handle&)>& body) {
    return WithStore([&](RegistryStore& store) -> LONG {
        State& s = Global();
        if (poll) Poll(s, store);
        Handle* h = Lookup(s, store, hKey);
        if (!h) return ERROR_INVALID_HANDLE;
        if (!(h->access & access)) return ERROR_ACCESS_DENIED;
        return body(s, store, *h);
    });
}

}  // namespace

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD*,
                  char* lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime) {
    if (!lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
    return WithHandle(hKey, KEY_ENUMERATE_SUB_KEYS, dwIndex == 0,
                      [&](State& s, RegistryStore& store, Handle& handle) -> LONG {
        Handle* h = &handle;
        if (LONG rc = RefreshSubkeys(s, store, *h); rc != ERROR_SUCCESS) return rc;
        if (dwIndex >= h->subkeys.size()) return ERROR_NO_MORE_ITEMS;
        if (LONG rc = CopyName(h->subkeys[dwIndex], lpName, lpcchName); rc != ERROR_SUCCESS) {
            return rc;
        }
        if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
        if (lpcchClass) *lpcchClass = 0;
        if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD*,
                  DWORD* lpType, void* lpData, DWORD* lpcbData) {
    if (lpValueName && !lpcchValueName) return ERROR_INVALID_PARAMETER;
    return WithHandle(hKey, KEY_QUERY_VALUE, dwIndex == 0,
                      [&](State& s, RegistryStore& store, Handle& handle) -> LONG {
        Handle* h = &handle;
        if (LONG rc = RefreshValues(s, store, *h); rc != ERROR_SUCCESS) return rc;
        if (dwIndex >= h->values.size()) return ERROR_NO_MORE_ITEMS;
        const ValueRecord& v = h->values[dwIndex];
        if (lpValueName) {
            if (LONG rc = CopyName(v.name, lpValueName, lpcchValueName); rc != ERROR_SUCCESS) {
                return rc;
            }
        } else if (lpcchValueName) {
            *lpcchValueName = static_cast<DWORD>(v.name.size());
        }
        return CopyData(v, lpType, lpData, lpcbData);
    });
}

namespace {

// Runs `change` on the key behind a handle opened with the right to set
// values, in one transaction that is kept only when the change succeeds.
LONG ChangeValues(HKEY hKey, const std::function<LONG(RegistryStore&, KeyId)>& change) {
    return WithHandle(hKey, KEY_SET_VALUE, false, [&](State&, RegistryStore& store, Handle& h) -> LONG {
        detail::Transaction t(store);
        if (!store.KeyExists(h.key)) return ERROR_KEY_DELETED;
        const LONG rc = change(store, h.key);
        if (rc == ERROR_SUCCESS) t.Commit();
        return rc;
    });
}

}  // namespace

LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD*, DWORD* lpType, void* lpData,
                     DWORD* lpcbData) {
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    return WithHandle(hKey, KEY_QUERY_VALUE, true, [&](State&, RegistryStore& store, Handle& handle) -> LONG {
        Handle* h = &handle;
        auto value = store.FindValue(h->key, lpValueName ? lpValueName : "");
        if (!value) return store.KeyExists(h->key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        return CopyData(*value, lpType, lpData, lpcbData);
    });
}

LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const void* lpData,
                   DWORD cbData) {
    if (!lpData && cbData) return ERROR_NOACCESS;
    const std::string_view name = lpValueName ? lpValueName : "";
    if (name.size() > MAX_VALUE_NAME) return ERROR_INVALID_PARAMETER;
    std::string data(static_cast<const char*>(lpData), lpData ? cbData : 0);
    if (IsStringType(dwType) && (data.empty() || data.back() != '\0')) data.push_back('\0');
    return ChangeValues(hKey, [&](RegistryStore& store, KeyId key) -> LONG {
        store.SetValue(key, name, dwType, data);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY hKey, const char* lpValueName) {
    return ChangeValues(hKey, [&](RegistryStore& store, KeyId key) -> LONG {
        return store.DeleteValue(key, lpValueName ? lpValueName : "") ? ERROR_SUCCESS
                                                                       : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKey(HKEY hKey, const char* lpSubKey) {
    return WithStore([&](RegistryStore& store) -> LONG {
        State& s = Global();
        Handle* h = Lookup(s, store, hKey);
        if (!h) return ERROR_INVALID_HANDLE;
        std::vector<std::string_view> parts;
        if (LONG rc = SplitPath(lpSubKey, parts); rc != ERROR_SUCCESS) return rc;
        detail::Transaction t(store);
        if (!store.KeyExists(h->key)) return ERROR_KEY_DELETED;
        KeyId key = h->key;
        for (auto part : parts) {
            auto child = store.FindChild(key, part);
            if (!child) return ERROR_FILE_NOT_FOUND;
            key = *child;
        }
        const bool isRoot = key == detail::kLocalMachine || key == detail::kCurrentUser ||
                            key == detail::kUsers || key == store.ClassesRoot();
        if (isRoot || store.HasChildren(key)) return ERROR_ACCESS_DENIED;
        store.DeleteKey(key);
        t.Commit();
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey) {
    if (PredefinedIndex(hKey) >= 0) return ERROR_SUCCESS;
    State& s = Global();
    std::lock_guard lock(s.mutex);
    return s.handles.erase(reinterpret_cast<std::uintptr_t>(hKey)) ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}

void UseRegistryStore(const std::string& path) {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    s.store.reset();
    ForgetHandles(s);
    if (path.empty()) {
        s.chosenPath.reset();
    } else {
        s.chosenPath = path;
    }
    try {
        s.store = RegistryStore::Open(s.chosenPath ? *s.chosenPath : DefaultStorePath());
    } catch (const StoreFailure& failure) {
        s.lastError = failure.message;
        throw RegistryStoreError(failure.code, failure.message);
    }
}

std::string RegistryStorePath() {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    return s.chosenPath ? *s.chosenPath : DefaultStorePath();
}

std::string LastRegistryStoreError() {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    return s.lastError;
}

void FailNthRegistryCall(unsigned n, LONG code) {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    s.failCountdown = n;
    s.failCode = code;
}

bool RegistryFailurePending() {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    return s.failCountdown > 0;
}

void CloseRegistryStore() {
    State& s = Global();
    std::lock_guard lock(s.mutex);
    s.store.reset();
    ForgetHandles(s);
}

}  // namespace win
