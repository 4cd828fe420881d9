#pragma once
// The text of the registration script "Provider.reg" and the registry editor's
// command line for it. Pure functions: the form reads its text boxes into a
// ProviderScriptInput, checks it, builds the text and writes it out.

#include <string>
#include <string_view>

namespace larkspur {

// The text the description field starts with.
inline constexpr const char* kDefaultDescription = "New OLEDB Simple Provider";

struct ProviderScriptInput {
    std::string providerProgID;    // txtName
    std::string description;       // txtDescription
    std::string providerGUID;      // txtGUID
    std::string dataSourceProgID;  // txtDataProgID
    std::string serverPath;        // the runtime's registered path, read at start-up
};

// The input that a refusal is about.
enum class ProviderField { None, ProgID, Description, GUID, DataSourceProgID, ServerPath };

struct ProviderRefusal {
    ProviderField field = ProviderField::None;
    std::string message;  // the text to show, naming the field by its label
    explicit operator bool() const { return field != ProviderField::None; }
};

// String data as REGEDIT4 wants it inside double quotes: every backslash and
// every double quote preceded by a backslash.
std::string EscapeRegData(std::string_view data);

// The server path the script registers: the folder part of the registered
// path (up to and including its last backslash) followed by "MSDAOSP.DLL";
// just "MSDAOSP.DLL" when the path has no backslash.
std::string ProviderServerPath(std::string_view serverPath);

// The data of the server line: ProviderServerPath, escaped.
std::string EscapeServerPath(std::string_view serverPath);

// Why the input cannot make a script that imports what the user typed, or no
// refusal when the script may be written. The provider ProgID and GUID each
// name one key: empty, holding a backslash (the registry editor also drops the
// empty names between backslashes) or, for the ProgID, "CLSID", they would
// address HKEY_CLASSES_ROOT itself, its CLSID key or another class's key; a
// line break would split a line; a "]" would end a key name early.
ProviderRefusal RefuseProviderScript(const ProviderScriptInput& input);

// The 26 lines of the script, each ended by CR LF.
std::string BuildProviderScript(const ProviderScriptInput& input);

// The script that removes what BuildProviderScript registers: the ProgID's key
// and the class's key, each with everything below it. CR LF line ends, no
// empty line at the end.
std::string BuildProviderRemovalScript(const ProviderScriptInput& input);

// "REGEDIT " followed by the script's path. Without 8.3 names a path may hold
// blanks; it is then quoted so that the editor still receives one argument.
std::string RegeditCommandLine(const std::string& scriptPath);

}  // namespace larkspur
