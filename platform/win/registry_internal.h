#pragma once
// Shared between the registry functions and the script importer/exporter:
// the process-wide store, its lock, and the helpers that turn store failures
// into Win32 codes. Internal to platform/win.

#include <functional>
#include <optional>

#include "platform/win/registry.h"
#include "platform/win/registry_store.h"

namespace win::detail {

// Runs `body` with the store open, under the registry lock. A StoreFailure is
// rolled back, remembered for LastRegistryStoreError, and returned as its code.
LONG WithStore(const std::function<LONG(RegistryStore&)>& body);

// Marks that this process changed the store, so every cached view of it
// (enumeration lists of open handles) is read again.
void NoteChange();

// The key a predefined root stands for; nullopt for any other handle.
std::optional<KeyId> PredefinedKey(HKEY key, RegistryStore& store);

// The canonical name of a predefined root ("HKEY_LOCAL_MACHINE"), or nullptr.
const char* PredefinedName(HKEY key);

// A write transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(RegistryStore& store) : store_(store) { store_.Begin(); }
    ~Transaction() {
        if (!done_) store_.Rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        store_.Commit();
        done_ = true;
        NoteChange();
    }

private:
    RegistryStore& store_;
    bool done_ = false;
};

}  // namespace win::detail
