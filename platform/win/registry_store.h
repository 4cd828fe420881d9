#pragma once
// The registry store: keys and values in one SQLite database file. Internal to
// platform/win; the public face is registry.h. Not thread-safe: the registry
// functions serialise every call through one lock.
//
// Layout: table `keys` (id, parent, name, fold) with fold the ASCII upper-cased
// name, unique per parent, so that the unique index both finds a child by name
// and lists children in enumeration order; table `vals` (id, key, name, fold,
// type, data) whose row id gives the creation order. The predefined roots are
// the rows 1 (HKEY_LOCAL_MACHINE), 2 (HKEY_CURRENT_USER) and 3 (HKEY_USERS).
// Key ids are never reused, so a handle to a deleted key stays recognisable.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/win_types.h"

struct sqlite3;
struct sqlite3_stmt;

namespace win::detail {

using KeyId = std::int64_t;

inline constexpr KeyId kLocalMachine = 1;
inline constexpr KeyId kCurrentUser = 2;
inline constexpr KeyId kUsers = 3;

struct ValueRecord {
    std::string name;
    DWORD type = 0;
    std::string data;
};

struct ChildKey {
    KeyId id = 0;
    std::string name;
};

// A failure of the store itself (not of the registry semantics): the Win32
// code to return and a message that names the file.
struct StoreFailure {
    LONG code;
    std::string message;
};

std::string FoldName(std::string_view name);

class RegistryStore {
public:
    // Opens or creates the store. Throws StoreFailure.
    static std::unique_ptr<RegistryStore> Open(const std::string& path);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    const std::string& Path() const { return path_; }
    KeyId ClassesRoot() const { return classes_; }

    // A write transaction (BEGIN IMMEDIATE, waiting for other processes up to
    // the busy timeout). Every method below throws StoreFailure.
    void Begin();
    void Commit();
    void Rollback() noexcept;
    // A read transaction: one consistent view until Rollback.
    void BeginRead();

    // Changes whenever another connection committed since the last call.
    std::int64_t DataVersion();

    bool KeyExists(KeyId key);
    std::optional<KeyId> FindChild(KeyId parent, std::string_view name);
    KeyId CreateChild(KeyId parent, std::string_view name);
    std::optional<KeyId> ParentOf(KeyId key);
    std::string NameOf(KeyId key);
    bool HasChildren(KeyId key);
    std::vector<ChildKey> Children(KeyId key);
    // How many subkeys a key has and the bytes of the longest name, from the
    // index alone (no name is read).
    void ChildSummary(KeyId key, DWORD& count, DWORD& longest);
    std::vector<ValueRecord> Values(KeyId key);
    std::optional<ValueRecord> FindValue(KeyId key, std::string_view name);
    void SetValue(KeyId key, std::string_view name, DWORD type, std::string_view data);
    // Adds a value that is known not to exist yet (to a key just created).
    void AddValue(KeyId key, std::string_view name, DWORD type, std::string_view data);
    bool DeleteValue(KeyId key, std::string_view name);
    // Deletes one key and its values (the caller checks for children).
    void DeleteKey(KeyId key);
    // Deletes a key, its values and its whole subtree.
    void DeleteTree(KeyId key);

private:
    RegistryStore(sqlite3* db, std::string path);
    sqlite3_stmt* Prepare(const char* sql);
    void Exec(const char* sql);
    [[noreturn]] void Fail(int rc, const char* what);
    void Check(int rc, const char* what);
    void Initialise();

    sqlite3* db_;
    std::string path_;
    KeyId classes_ = 0;
    std::vector<std::pair<const char*, sqlite3_stmt*>> statements_;
};

}  // namespace win::detail
