#pragma once
// Loading add-ins into the environment.
//
//   auto env = vbide::Environment::Create();
//   vbide::AddInHost host(env);
//   host.LoadStartupAddIns("/path/vbaddin.ini");   // [Add-Ins32] ProgID=1 or 3
//   ...
//   host.Connect("Quillon.Connect");               // later: ConnectMode 0
//   host.Disconnect("Quillon.Connect");            // RemoveMode 1
//   // ~AddInHost disconnects the rest (RemoveMode 0)
//
// Each add-in is created through the registry store: its ProgID gives the
// class id (HKEY_CLASSES_ROOT\<ProgID>\CLSID), the class id the library
// (HKEY_CLASSES_ROOT\CLSID\<id>\InprocServer32), which is loaded and asked for
// the object through DllGetClassObject. A failure at any step, or a failure
// thrown from OnConnection, is reported (Environment::Report) and leaves that
// add-in unloaded; the others still load.

#include <memory>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"

namespace vbide {

// One entry of the add-in list file: the ProgID, its value (0 listed but not
// loaded, 1 loaded at start-up, 3 also from the command line) and the
// description the registry gives (empty when the ProgID is not registered).
struct AddInListEntry {
    std::string progId;
    std::string value;
    std::string description;
};

// The [Add-Ins32] entries of an add-in list file, in the file's order
// (empty when the file or the section is missing).
std::vector<AddInListEntry> ReadAddInList(const std::string& iniPath);
// Sets an entry (creating the file or section when missing), as the add-in
// manager does. Throws vb::VbError 75 when the file cannot be written.
void WriteAddInListEntry(const std::string& iniPath, const std::string& progId,
                         const std::string& value);

class AddInHost {
public:
    explicit AddInHost(std::shared_ptr<Environment> env);
    // Disconnects every connected add-in (host shutdown).
    ~AddInHost();
    AddInHost(const AddInHost&) = delete;
    AddInHost& operator=(const AddInHost&) = delete;

    // Reads the [Add-Ins32] section of the add-in list file and connects, in
    // the file's order, every ProgID whose value is 1 or 3, with ConnectMode
    // 1 (start-up); then calls OnStartupComplete on each of them. Returns
    // the messages of the add-ins that failed (also reported).
    std::vector<std::string> LoadStartupAddIns(const std::string& iniPath);

    // Connects one add-in after start-up (ConnectMode 0) and calls
    // OnAddInsUpdate on the others. Returns false (and reports) on failure.
    bool Connect(const std::string& progId);
    // Calls OnDisconnection and releases the add-in object; with RemoveMode
    // 1 (the user unloads it) the add-ins that stay get OnAddInsUpdate.
    // False when the ProgID is not connected.
    bool Disconnect(const std::string& progId, vbext_DisconnectMode mode = vbext_dm_UserClosed);
    void DisconnectAll(vbext_DisconnectMode mode = vbext_dm_HostShutdown);

    // The add-ins this host knows (connected or not), in the order connected.
    std::vector<AddInPtr> AddIns() const;
    bool IsConnected(const std::string& progId) const;

    // Unloads the libraries whose add-ins are all disconnected and whose
    // DllCanUnloadNow answers 0. Libraries otherwise stay loaded, since
    // objects that an add-in left behind may still run its code.
    void FreeUnusedLibraries();

    struct Library;
    struct Loaded;

private:
    bool ConnectOne(const std::string& progId, vbext_ConnectMode mode, std::string& failure);
    std::shared_ptr<Environment> env_;
    std::vector<std::shared_ptr<Loaded>> addIns_;
    std::vector<std::shared_ptr<Library>> libraries_;
};

}  // namespace vbide
