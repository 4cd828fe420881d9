#pragma once
// The add-ins the environment knows (the entries of its add-in list file) and
// their connection: what the Add-In Manager shows and changes, and what the
// window loads at start-up and unloads when it closes.

#include <string>
#include <vector>

namespace ide {

struct AddInEntry {
    std::string progId;
    std::string description;  // "" when the class is not registered
    bool loaded = false;         // connected now
    bool loadOnStartup = false;  // value "1" (or "3") in the list file
};

class AddInHost {
public:
    virtual ~AddInHost() = default;
    // The add-ins of the list file, in its order, with their state.
    virtual std::vector<AddInEntry> List() = 0;
    // Connects or disconnects one add-in. A failure (the class is not
    // registered, the library does not load, OnConnection fails) is reported
    // through the environment and leaves the add-in unloaded.
    virtual void SetLoaded(const std::string& progId, bool loaded) = 0;
    // Writes the start-up choice into the list file.
    virtual void SetLoadOnStartup(const std::string& progId, bool loadOnStartup) = 0;
    // Connects every add-in marked for start-up (then OnStartupComplete).
    virtual void LoadStartupAddIns() = 0;
    // Disconnects every connected add-in (the environment shuts down).
    virtual void UnloadAll() = 0;
};

}  // namespace ide
