#pragma once
// Loading add-ins into the environment as the IDE does: by ProgID, through
// COM. The add-in list file's [Add-Ins32] entries with value 1 (or 3) are
// connected at start-up; the Addins key of the registry (under
// HKEY_CURRENT_USER, Software\Microsoft\Visual Basic\6.0\Addins) gives each
// add-in's description. An add-in whose creation or OnConnection fails is reported
// (Environment::Report) and left unloaded; the host goes on.

#include <memory>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"

namespace com::host {

struct RegisteredAddIn {
    std::string progId;
    std::string friendlyName;
    std::string description;
    unsigned long loadBehavior = 0;
};

// The add-ins the Addins key lists, in the registry's order.
std::vector<RegisteredAddIn> RegisteredAddIns();
// The [Add-Ins32] entries (ProgID, value) of an add-in list file, in order.
std::vector<std::pair<std::string, std::string>> AddInListEntries(const std::string& iniPath);

// How the host calls the add-in interface: through its v-table or through
// IDispatch (the IDE's choice is not known, so both are tested).
enum class CallStyle { VTable, Dispatch };

class ComAddInHost {
public:
    explicit ComAddInHost(std::shared_ptr<vbide::Environment> env, CallStyle style = CallStyle::VTable);
    // Disconnects every add-in still connected (host shutdown).
    ~ComAddInHost();
    ComAddInHost(const ComAddInHost&) = delete;
    ComAddInHost& operator=(const ComAddInHost&) = delete;

    // Connects the list file's start-up add-ins (ConnectMode 1), then calls
    // OnStartupComplete on each. Answers the failures (also reported).
    std::vector<std::string> LoadStartupAddIns(const std::string& iniPath);
    // Connects one add-in after start-up (ConnectMode 0). False on failure.
    bool Connect(const std::string& progId);
    // OnDisconnection (RemoveMode 1 by default), then the object is released.
    bool Disconnect(const std::string& progId, long removeMode = 1);
    bool IsConnected(const std::string& progId) const;

private:
    struct Loaded;
    bool ConnectOne(const std::string& progId, long mode, std::string& failure);
    std::shared_ptr<vbide::Environment> env_;
    CallStyle style_;
    std::vector<std::unique_ptr<Loaded>> loaded_;
};

}  // namespace com::host
