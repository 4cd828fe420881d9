#pragma once
// The registry script that makes a component usable through the web server's
// Remote Data Service: REGEDIT4 text that creates the component's category
// keys (safe for scripting, safe for initialization) and its launch entry, or
// removes them again.

#include <string>

namespace fenmoor {

struct ScriptChoices {
    bool scripting = false;       // "Safe for Scripting"
    bool initialization = false;  // "Safe for Initialization"
    bool launch = false;          // "IIS Launch Permission"
    // Delete the chosen entries ("[-...]" lines) instead of creating them. The
    // "Implemented Categories" key itself stays: other categories share it.
    bool remove = false;
};

// The keys of the three entries under HKEY_LOCAL_MACHINE, for the component
// with class identifier strCLSID and name strProgID.
struct EntryKeys {
    std::string categories;      // the class's "Implemented Categories"
    std::string scripting;       // its safe-for-scripting category
    std::string initialization;  // its safe-for-initializing category
    std::string launch;          // the web service's launch entry for the name
};
EntryKeys ComponentEntryKeys(const std::string& strCLSID, const std::string& strProgID);

// Why `value` cannot stand as one key name in the script, as a phrase that
// starts with `label` and names the value ("The component's name \"a]b\"
// holds \"]\""); empty when it can. An empty name would address the key
// above it, a line break would start a line of the script's own, "[" and "]"
// would open or close a key line, a quote would end a string, and a
// backslash would address another key (the editor also drops the empty names
// between two backslashes).
std::string RefuseKeyName(const std::string& label, const std::string& value);

// The refusal for the script of BuildRegScript, or empty: the key is checked
// when a category entry is chosen, the name when the launch entry is.
std::string RefuseRegScript(const std::string& strCLSID, const std::string& strProgID,
                            const ScriptChoices& choices);

// The script for the component with class identifier strCLSID (as the catalog
// gives it) and name strProgID: the header, then the chosen key lines, each
// line followed by an empty line, CR LF line ends. The identifiers go in as
// they stand; RefuseRegScript says whether they may.
std::string BuildRegScript(const std::string& strCLSID, const std::string& strProgID,
                           const ScriptChoices& choices);

}  // namespace fenmoor
