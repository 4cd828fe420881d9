#pragma once
// The registry script that makes a component usable through the web server's
// Remote Data Service: REGEDIT4 text that creates the component's category
// keys (safe for scripting, safe for initialization) and its launch entry.

#include <string>

namespace fenmoor {

struct ScriptChoices {
    bool scripting = false;       // "Safe for Scripting"
    bool initialization = false;  // "Safe for Initialization"
    bool launch = false;          // "IIS Launch Permission"
};

// The script for the component with class identifier strCLSID (as the catalog
// gives it) and name strProgID: the header, then the chosen key lines, each
// line followed by an empty line, CR LF line ends. The identifiers go in as
// they stand.
std::string BuildRegScript(const std::string& strCLSID, const std::string& strProgID,
                           const ScriptChoices& choices);

}  // namespace fenmoor
