#pragma once
// The transaction server's administration catalog: packages and the components
// installed in them, reached as COM's catalog objects are reached. A catalog
// (ICatalog) connects to a machine and answers its root collection; a
// collection (ICatalogCollection) names its related collections, fills itself
// on Populate and enumerates its objects (ICatalogObject) in the catalog's
// order.
//
// Catalog is the implementation over the suite's registry store. Its data lies
// under HKEY_LOCAL_MACHINE\SOFTWARE\Tarnwick\Catalog:
//
//   Packages\<package id>                 value "Name": the package's name
//   Packages\<package id>\Components\<class id in braces>
//                                         value "ProgID": the component's name
//
// A package's key is the name of its key (its id); a component's key is the
// name of its key (its class identifier as written there, normally in braces)
// and its name is its ProgID. A missing or non-text Name or ProgID value reads
// as the empty text. Objects enumerate in the registry's order of subkeys
// (sorted by their upper-cased names), so a script that adds keys in any order
// always gives the same listing.
//
// Failures are raised as vb::VbError with the catalog's COM error numbers
// below; the source is "Catalog".

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mts {

// The local machine has no catalog: the catalog key is missing (no
// transaction server installed). REGDB_E_CLASSNOTREG.
inline constexpr std::int32_t kErrCatalogNotInstalled = static_cast<std::int32_t>(0x80040154u);
// A collection name that the collection does not relate to. E_INVALIDARG.
inline constexpr std::int32_t kErrInvalidCollection = static_cast<std::int32_t>(0x80070057u);
// A parent key that names no object of the collection: "the object was not
// found in the catalog".
inline constexpr std::int32_t kErrKeyMissing = static_cast<std::int32_t>(0x80110403u);
// A connection string naming another machine: only the local machine's
// catalog is served. RPC_S_SERVER_UNAVAILABLE.
inline constexpr std::int32_t kErrServerUnavailable = static_cast<std::int32_t>(0x800706BAu);
// Registry failures are raised as 0x80070000 + the Win32 error code, as COM
// turns a Win32 error into an HRESULT.
std::int32_t HResultFromWin32(long win32Error);

// One object of a collection: a package or a component.
class ICatalogObject {
public:
    ICatalogObject(std::string name, std::string key) : name_(std::move(name)), key_(std::move(key)) {}
    const std::string& Name() const { return name_; }
    const std::string& Key() const { return key_; }

private:
    std::string name_;
    std::string key_;
};

class ICatalogCollection {
public:
    virtual ~ICatalogCollection() = default;

    // The collection's own name: "Root", "Packages" or "ComponentsInPackage".
    virtual std::string Name() const = 0;

    // The related collection `collectionName` of the object whose key is
    // parentKey: "Packages" with "" on the root collection, and
    // "ComponentsInPackage" with a package's key on "Packages". The new
    // collection is empty until it is populated. Raises kErrInvalidCollection
    // for any other name and kErrKeyMissing for a key that names no package.
    virtual std::shared_ptr<ICatalogCollection> GetCollection(const std::string& collectionName,
                                                              const std::string& parentKey) = 0;

    // Reads the collection's objects from the catalog, replacing what it held.
    // Raises kErrKeyMissing when its parent object is gone meanwhile.
    virtual void Populate() = 0;

    // Enumeration: the objects read by the last Populate, in the catalog's order.
    int Count() const { return static_cast<int>(objects_.size()); }
    // The object at a position from 0; error 9 (subscript out of range) outside.
    const ICatalogObject& Item(int index) const;
    std::vector<ICatalogObject>::const_iterator begin() const { return objects_.begin(); }
    std::vector<ICatalogObject>::const_iterator end() const { return objects_.end(); }

protected:
    std::vector<ICatalogObject> objects_;
};

class ICatalog {
public:
    virtual ~ICatalog() = default;
    // Connects to the catalog of the machine named by connectionString ("" for
    // the local machine) and answers its root collection. Raises
    // kErrCatalogNotInstalled when the machine has no catalog and
    // kErrServerUnavailable for another machine.
    virtual std::shared_ptr<ICatalogCollection> Connect(const std::string& connectionString) = 0;
};

// The catalog over the registry store (see the layout above).
class Catalog : public ICatalog {
public:
    std::shared_ptr<ICatalogCollection> Connect(const std::string& connectionString) override;
};

// The catalog's key under HKEY_LOCAL_MACHINE.
inline constexpr const char* kCatalogKey = "SOFTWARE\\Tarnwick\\Catalog";

}  // namespace mts
