#include "platform/mts/catalog.h"

#include <cstdint>
#include <optional>

#include "base/vb_error.h"
#include "platform/win/registry.h"

namespace mts {

namespace {

const char* const kSource = "Catalog";

// Closes a registry handle when it goes out of scope.
class Key {
public:
    Key() = default;
    explicit Key(win::HKEY key) : key_(key) {}
    ~Key() {
        if (key_) win::RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    win::HKEY get() const { return key_; }

private:
    win::HKEY key_ = nullptr;
};

[[noreturn]] void FailRegistry(win::LONG code, const std::string& what) {
    std::string description = "The catalog could not be read (" + what + ", registry error " +
                              std::to_string(code) + ")";
    const std::string store = win::LastRegistryStoreError();
    if (!store.empty()) description += ": " + store;
    throw vb::VbError(HResultFromWin32(code), kSource, description);
}

// Opens HKEY_LOCAL_MACHINE\path for reading; nothing when a level is missing.
std::optional<Key> OpenKey(const std::string& path) {
    win::HKEY key = nullptr;
    const win::LONG rc =
        win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, win::KEY_READ, &key);
    if (rc == win::ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (rc != win::ERROR_SUCCESS) FailRegistry(rc, path);
    return Key(key);
}

// The names of the key's subkeys, in the registry's enumeration order.
std::vector<std::string> SubkeyNames(const Key& key, const std::string& path) {
    std::vector<std::string> names;
    char name[win::MAX_KEY_NAME + 1];
    for (win::DWORD index = 0;; ++index) {
        win::DWORD length = sizeof name;
        const win::LONG rc =
            win::RegEnumKeyEx(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == win::ERROR_NO_MORE_ITEMS) break;
        if (rc != win::ERROR_SUCCESS) FailRegistry(rc, path);
        names.emplace_back(name, length);
    }
    return names;
}

// A text value of the key; the empty text when it is missing or not text.
std::string TextValue(const Key& key, const char* valueName, const std::string& path) {
    win::DWORD type = 0;
    win::DWORD size = 0;
    win::LONG rc = win::RegQueryValueEx(key.get(), valueName, nullptr, &type, nullptr, &size);
    if (rc == win::ERROR_FILE_NOT_FOUND) return {};
    if (rc != win::ERROR_SUCCESS) FailRegistry(rc, path);
    if (type != win::REG_SZ && type != win::REG_EXPAND_SZ) return {};
    std::string data(size, '\0');
    rc = win::RegQueryValueEx(key.get(), valueName, nullptr, &type,
                              reinterpret_cast<win::BYTE*>(data.data()), &size);
    if (rc != win::ERROR_SUCCESS) FailRegistry(rc, path);
    data.resize(size);
    // The stored text ends at its first zero (the terminator the size counts).
    if (const auto zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
    return data;
}

bool IsObjectKey(const std::string& key) {
    // An object's key is one level below its collection's key: an empty key or
    // one with a separator would name some other key of the store.
    return !key.empty() && key.find('\\') == std::string::npos;
}

std::string PackagesPath() { return std::string(kCatalogKey) + "\\Packages"; }

std::string PackagePath(const std::string& packageKey) {
    return PackagesPath() + "\\" + packageKey;
}

[[noreturn]] void FailKeyMissing(const std::string& packageKey) {
    throw vb::VbError(kErrKeyMissing, kSource,
                      "The object was not found in the catalog: package '" + packageKey + "'");
}

class ComponentsInPackage : public ICatalogCollection {
public:
    explicit ComponentsInPackage(std::string packageKey) : packageKey_(std::move(packageKey)) {}

    std::string Name() const override { return "ComponentsInPackage"; }

    std::shared_ptr<ICatalogCollection> GetCollection(const std::string& collectionName,
                                                      const std::string&) override {
        throw vb::VbError(kErrInvalidCollection, kSource,
                          "The collection '" + collectionName + "' is not related to " + Name());
    }

    void Populate() override {
        const std::string package = PackagePath(packageKey_);
        if (!OpenKey(package)) FailKeyMissing(packageKey_);
        std::vector<ICatalogObject> objects;
        const std::string path = package + "\\Components";
        if (const auto components = OpenKey(path)) {
            for (const std::string& clsid : SubkeyNames(*components, path)) {
                const std::string componentPath = path + "\\" + clsid;
                const auto component = OpenKey(componentPath);
                // A key removed between enumeration and reading is no longer listed.
                if (!component) continue;
                objects.emplace_back(TextValue(*component, "ProgID", componentPath), clsid);
            }
        }
        objects_ = std::move(objects);
    }

private:
    std::string packageKey_;
};

class Packages : public ICatalogCollection {
public:
    std::string Name() const override { return "Packages"; }

    std::shared_ptr<ICatalogCollection> GetCollection(const std::string& collectionName,
                                                      const std::string& parentKey) override {
        if (collectionName != "ComponentsInPackage")
            throw vb::VbError(kErrInvalidCollection, kSource,
                              "The collection '" + collectionName + "' is not related to " +
                                  Name());
        if (!IsObjectKey(parentKey) || !OpenKey(PackagePath(parentKey))) FailKeyMissing(parentKey);
        return std::make_shared<ComponentsInPackage>(parentKey);
    }

    void Populate() override {
        std::vector<ICatalogObject> objects;
        const std::string path = PackagesPath();
        if (const auto packages = OpenKey(path)) {
            for (const std::string& id : SubkeyNames(*packages, path)) {
                const std::string packagePath = path + "\\" + id;
                const auto package = OpenKey(packagePath);
                if (!package) continue;
                objects.emplace_back(TextValue(*package, "Name", packagePath), id);
            }
        }
        objects_ = std::move(objects);
    }
};

class Root : public ICatalogCollection {
public:
    std::string Name() const override { return "Root"; }

    std::shared_ptr<ICatalogCollection> GetCollection(const std::string& collectionName,
                                                      const std::string&) override {
        if (collectionName != "Packages")
            throw vb::VbError(kErrInvalidCollection, kSource,
                              "The collection '" + collectionName + "' is not related to " +
                                  Name());
        return std::make_shared<Packages>();
    }

    // The root collection holds no objects of its own here.
    void Populate() override { objects_.clear(); }
};

}  // namespace

std::int32_t HResultFromWin32(long win32Error) {
    return static_cast<std::int32_t>(0x80070000u | (static_cast<std::uint32_t>(win32Error) & 0xFFFFu));
}

const ICatalogObject& ICatalogCollection::Item(int index) const {
    if (index < 0 || index >= Count()) throw vb::VbError(9, kSource);
    return objects_[static_cast<size_t>(index)];
}

std::shared_ptr<ICatalogCollection> Catalog::Connect(const std::string& connectionString) {
    if (!connectionString.empty())
        throw vb::VbError(kErrServerUnavailable, kSource,
                          "The catalog of '" + connectionString + "' cannot be reached");
    if (!OpenKey(kCatalogKey))
        throw vb::VbError(kErrCatalogNotInstalled, kSource,
                          "No transaction server catalog is installed on this machine");
    return std::make_shared<Root>();
}

}  // namespace mts
