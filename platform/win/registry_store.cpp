#include "platform/win/registry_store.h"

#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "base/text.h"

namespace win::detail {

namespace {

// "TRNW": marks a database as a registry store, so that a foreign database is
// recognised and never written to.
constexpr int kApplicationId = 0x54524E57;
constexpr int kFormatVersion = 1;
constexpr int kBusyTimeoutMs = 15000;

const char* const kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    UNIQUE(parent, fold));
CREATE TABLE vals(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, fold));
CREATE INDEX vals_by_key ON vals(key);
INSERT INTO keys(id, parent, name, fold) VALUES
    (1, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, 0, 'HKEY_USERS', 'HKEY_USERS');
)sql";

// Resets a cached statement when the call that used it ends, however it ends.
class Use {
public:
    explicit Use(sqlite3_stmt* s) : s_(s) {}
    ~Use() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    sqlite3_stmt* operator*() const { return s_; }

private:
    sqlite3_stmt* s_;
};

void BindText(sqlite3_stmt* s, int i, std::string_view text) {
    sqlite3_bind_text(s, i, text.data() ? text.data() : "", static_cast<int>(text.size()),
                      SQLITE_STATIC);
}

std::string ColumnText(sqlite3_stmt* s, int i) {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(s, i));
    const int n = sqlite3_column_bytes(s, i);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

// Switches the store to write-ahead logging, which a store keeps once it has
// it. The switch reads the file and then needs its write lock; SQLite cannot
// wait for that lock from within the read (two programs switching at once
// would wait for each other), so while another program writes, it fails at
// once with SQLITE_BUSY. Programs that open a fresh store together meet
// that: the switch is retried for as long as the busy timeout lets a lock wait.
int UseWriteAheadLog(sqlite3* db) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        const int rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        const int primary = rc & 0xFF;
        if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) || std::chrono::steady_clock::now() >= deadline)
            return rc;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

std::string FoldName(std::string_view name) { return text::UpperAscii(name); }

std::unique_ptr<RegistryStore> RegistryStore::Open(const std::string& path) {
    const bool memory = path == ":memory:";
    if (!memory) {
        std::error_code ec;
        const std::filesystem::path file(path);
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            throw StoreFailure{ERROR_REGISTRY_IO_FAILED,
                               "The registry store " + path + " cannot be created: " +
                                   ec.message()};
        }
        if (std::filesystem::is_directory(file, ec)) {
            throw StoreFailure{ERROR_REGISTRY_IO_FAILED,
                               "The registry store " + path + " is a folder, not a file"};
        }
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        std::string message = "The registry store " + path + " cannot be opened: " +
                              (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        throw StoreFailure{ERROR_REGISTRY_IO_FAILED, message};
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    std::unique_ptr<RegistryStore> store(new RegistryStore(db, path));
    store->Initialise();
    return store;
}

RegistryStore::RegistryStore(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

RegistryStore::~RegistryStore() {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

void RegistryStore::Fail(int rc, const char* what) {
    const int primary = rc & 0xFF;
    const std::string detail = sqlite3_errmsg(db_);
    switch (primary) {
        case SQLITE_NOTADB:
            throw StoreFailure{ERROR_REGISTRY_CORRUPT,
                               "The file " + path_ + " is not a registry store (" + detail + ")"};
        case SQLITE_CORRUPT:
            throw StoreFailure{ERROR_REGISTRY_CORRUPT,
                               "The registry store " + path_ + " is damaged (" + detail + ")"};
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw StoreFailure{ERROR_REGISTRY_IO_FAILED,
                               "The registry store " + path_ +
                                   " is held by another process for too long (" + detail + ")"};
        default:
            throw StoreFailure{ERROR_REGISTRY_IO_FAILED, "The registry store " + path_ +
                                                             " cannot be used: " + what + ": " +
                                                             detail};
    }
}

void RegistryStore::Check(int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(rc, what);
}

sqlite3_stmt* RegistryStore::Prepare(const char* sql) {
    for (auto& [text, stmt] : statements_) {
        if (text == sql) return stmt;
    }
    sqlite3_stmt* stmt = nullptr;
    Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr), "prepare");
    statements_.emplace_back(sql, stmt);
    return stmt;
}

void RegistryStore::Exec(const char* sql) {
    Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), sql);
}

void RegistryStore::Initialise() {
    auto pragmaInt = [this](const char* sql) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql, -1, &s, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(s);
        const int value = rc == SQLITE_ROW ? sqlite3_column_int(s, 0) : 0;
        sqlite3_finalize(s);
        Check(rc, sql);
        return value;
    };
    auto isNew = [&] {
        const int id = pragmaInt("PRAGMA application_id");
        if (id == kApplicationId) {
            if (pragmaInt("PRAGMA user_version") > kFormatVersion) {
                throw StoreFailure{ERROR_REGISTRY_CORRUPT,
                                   "The registry store " + path_ +
                                       " was written by a newer version of the suite"};
            }
            return false;
        }
        if (id != 0 || pragmaInt("SELECT count(*) FROM sqlite_master") != 0) {
            throw StoreFailure{ERROR_REGISTRY_CORRUPT,
                               "The file " + path_ +
                                   " is a database, but not a registry store; it was left "
                                   "unchanged"};
        }
        return true;
    };
    // Both reads of isNew must see one snapshot: another process may be
    // creating the store at this very moment.
    bool fresh = false;
    Exec("BEGIN");
    try {
        fresh = isNew();
        Exec("COMMIT");
    } catch (...) {
        Rollback();
        throw;
    }
    if (fresh) {
        Begin();
        try {
            // Another process may have created the store meanwhile.
            if (isNew()) {
                Exec(kSchema);
                Exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
                Exec(("PRAGMA user_version = " + std::to_string(kFormatVersion)).c_str());
            }
            Commit();
        } catch (...) {
            Rollback();
            throw;
        }
    }
    if (path_ != ":memory:") {
        Check(UseWriteAheadLog(db_), "PRAGMA journal_mode = WAL");
        Exec("PRAGMA synchronous = NORMAL");
    }
    // Room for the pages of a large import, so that a transaction of tens of
    // thousands of keys does not spill to disk half-way.
    Exec("PRAGMA cache_size = -32768");
    for (KeyId root : {kLocalMachine, kCurrentUser, kUsers}) {
        if (!KeyExists(root)) {
            throw StoreFailure{ERROR_REGISTRY_CORRUPT,
                               "The registry store " + path_ + " is damaged (a root key is missing)"};
        }
    }
    // HKEY_CLASSES_ROOT shows HKEY_LOCAL_MACHINE\SOFTWARE\Classes, which
    // therefore always exists.
    auto software = FindChild(kLocalMachine, "SOFTWARE");
    auto classes = software ? FindChild(*software, "Classes") : std::nullopt;
    if (!classes) {
        Begin();
        try {
            software = FindChild(kLocalMachine, "SOFTWARE");
            if (!software) software = CreateChild(kLocalMachine, "SOFTWARE");
            classes = FindChild(*software, "Classes");
            if (!classes) classes = CreateChild(*software, "Classes");
            Commit();
        } catch (...) {
            Rollback();
            throw;
        }
    }
    classes_ = *classes;
}

void RegistryStore::Begin() { Exec("BEGIN IMMEDIATE"); }

void RegistryStore::Commit() { Exec("COMMIT"); }

void RegistryStore::BeginRead() { Exec("BEGIN"); }

void RegistryStore::Rollback() noexcept {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::int64_t RegistryStore::DataVersion() {
    Use s(Prepare("PRAGMA data_version"));
    Check(sqlite3_step(*s), "data_version");
    return sqlite3_column_int64(*s, 0);
}

bool RegistryStore::KeyExists(KeyId key) {
    Use s(Prepare("SELECT 1 FROM keys WHERE id = ?"));
    sqlite3_bind_int64(*s, 1, key);
    const int rc = sqlite3_step(*s);
    Check(rc, "find key");
    return rc == SQLITE_ROW;
}

std::optional<KeyId> RegistryStore::FindChild(KeyId parent, std::string_view name) {
    const std::string fold = FoldName(name);
    Use s(Prepare("SELECT id FROM keys WHERE parent = ? AND fold = ?"));
    sqlite3_bind_int64(*s, 1, parent);
    BindText(*s, 2, fold);
    const int rc = sqlite3_step(*s);
    Check(rc, "find key");
    if (rc != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(*s, 0);
}

KeyId RegistryStore::CreateChild(KeyId parent, std::string_view name) {
    const std::string fold = FoldName(name);
    Use s(Prepare("INSERT INTO keys(parent, name, fold) VALUES(?, ?, ?)"));
    sqlite3_bind_int64(*s, 1, parent);
    BindText(*s, 2, name);
    BindText(*s, 3, fold);
    Check(sqlite3_step(*s), "create key");
    return sqlite3_last_insert_rowid(db_);
}

std::optional<KeyId> RegistryStore::ParentOf(KeyId key) {
    Use s(Prepare("SELECT parent FROM keys WHERE id = ?"));
    sqlite3_bind_int64(*s, 1, key);
    const int rc = sqlite3_step(*s);
    Check(rc, "find key");
    if (rc != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(*s, 0);
}

std::string RegistryStore::NameOf(KeyId key) {
    Use s(Prepare("SELECT name FROM keys WHERE id = ?"));
    sqlite3_bind_int64(*s, 1, key);
    const int rc = sqlite3_step(*s);
    Check(rc, "find key");
    return rc == SQLITE_ROW ? ColumnText(*s, 0) : std::string();
}

bool RegistryStore::HasChildren(KeyId key) {
    Use s(Prepare("SELECT 1 FROM keys WHERE parent = ? LIMIT 1"));
    sqlite3_bind_int64(*s, 1, key);
    const int rc = sqlite3_step(*s);
    Check(rc, "find subkey");
    return rc == SQLITE_ROW;
}

std::vector<ChildKey> RegistryStore::Children(KeyId key) {
    Use s(Prepare("SELECT id, name FROM keys WHERE parent = ? ORDER BY fold"));
    sqlite3_bind_int64(*s, 1, key);
    std::vector<ChildKey> children;
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        children.push_back({sqlite3_column_int64(*s, 0), ColumnText(*s, 1)});
    }
    Check(rc, "list subkeys");
    return children;
}

void RegistryStore::ChildSummary(KeyId key, DWORD& count, DWORD& longest) {
    // A folded name has as many bytes as the name, and the (parent, fold)
    // index holds it: the keys' rows are not read.
    Use s(Prepare("SELECT count(*), coalesce(max(length(CAST(fold AS BLOB))), 0) FROM keys WHERE parent = ?"));
    sqlite3_bind_int64(*s, 1, key);
    const int rc = sqlite3_step(*s);
    Check(rc, "count subkeys");
    count = static_cast<DWORD>(sqlite3_column_int64(*s, 0));
    longest = static_cast<DWORD>(sqlite3_column_int64(*s, 1));
}

std::vector<ValueRecord> RegistryStore::Values(KeyId key) {
    Use s(Prepare("SELECT name, type, data FROM vals WHERE key = ? ORDER BY id"));
    sqlite3_bind_int64(*s, 1, key);
    std::vector<ValueRecord> values;
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        values.push_back({ColumnText(*s, 0), static_cast<DWORD>(sqlite3_column_int64(*s, 1)),
                          ColumnText(*s, 2)});
    }
    Check(rc, "list values");
    return values;
}

std::optional<ValueRecord> RegistryStore::FindValue(KeyId key, std::string_view name) {
    const std::string fold = FoldName(name);
    Use s(Prepare("SELECT name, type, data FROM vals WHERE key = ? AND fold = ?"));
    sqlite3_bind_int64(*s, 1, key);
    BindText(*s, 2, fold);
    const int rc = sqlite3_step(*s);
    Check(rc, "find value");
    if (rc != SQLITE_ROW) return std::nullopt;
    return ValueRecord{ColumnText(*s, 0), static_cast<DWORD>(sqlite3_column_int64(*s, 1)),
                       ColumnText(*s, 2)};
}

void RegistryStore::SetValue(KeyId key, std::string_view name, DWORD type, std::string_view data) {
    const std::string fold = FoldName(name);
    {
        // A replaced value keeps its row, and so its place in the order.
        Use s(Prepare("UPDATE vals SET type = ?, data = ? WHERE key = ? AND fold = ?"));
        sqlite3_bind_int64(*s, 1, type);
        sqlite3_bind_blob(*s, 2, data.data() ? data.data() : "", static_cast<int>(data.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int64(*s, 3, key);
        BindText(*s, 4, fold);
        Check(sqlite3_step(*s), "set value");
        if (sqlite3_changes(db_) > 0) return;
    }
    AddValue(key, name, type, data);
}

void RegistryStore::AddValue(KeyId key, std::string_view name, DWORD type, std::string_view data) {
    const std::string fold = FoldName(name);
    Use s(Prepare("INSERT INTO vals(key, name, fold, type, data) VALUES(?, ?, ?, ?, ?)"));
    sqlite3_bind_int64(*s, 1, key);
    BindText(*s, 2, name);
    BindText(*s, 3, fold);
    sqlite3_bind_int64(*s, 4, type);
    sqlite3_bind_blob(*s, 5, data.data() ? data.data() : "", static_cast<int>(data.size()),
                      SQLITE_STATIC);
    Check(sqlite3_step(*s), "set value");
}

bool RegistryStore::DeleteValue(KeyId key, std::string_view name) {
    const std::string fold = FoldName(name);
    Use s(Prepare("DELETE FROM vals WHERE key = ? AND fold = ?"));
    sqlite3_bind_int64(*s, 1, key);
    BindText(*s, 2, fold);
    Check(sqlite3_step(*s), "delete value");
    return sqlite3_changes(db_) > 0;
}

void RegistryStore::DeleteKey(KeyId key) {
    {
        Use s(Prepare("DELETE FROM vals WHERE key = ?"));
        sqlite3_bind_int64(*s, 1, key);
        Check(sqlite3_step(*s), "delete key");
    }
    Use s(Prepare("DELETE FROM keys WHERE id = ?"));
    sqlite3_bind_int64(*s, 1, key);
    Check(sqlite3_step(*s), "delete key");
}

void RegistryStore::DeleteTree(KeyId key) {
    {
        Use s(Prepare(
            "WITH RECURSIVE tree(id) AS (SELECT ? UNION ALL "
            "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
            "DELETE FROM vals WHERE key IN tree"));
        sqlite3_bind_int64(*s, 1, key);
        Check(sqlite3_step(*s), "delete key tree");
    }
    Use s(Prepare(
        "WITH RECURSIVE tree(id) AS (SELECT ? UNION ALL "
        "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
        "DELETE FROM keys WHERE id IN tree"));
    sqlite3_bind_int64(*s, 1, key);
    Check(sqlite3_step(*s), "delete key tree");
}

}  // namespace win::detail
