#pragma once
// The text of the registration script "Provider.reg" and the registry editor's
// command line for it. Pure functions: the form reads its text boxes into a
// ProviderScriptInput, checks it, builds the text and writes it out.

#include <string>
#include <string_view>

namespace larkspur {

struct ProviderScriptInput {
    std::string providerProgID;    // txtName
    std::string description;       // txtDescription
    std::string providerGUID;      // txtGUID
    std::string dataSourceProgID;  // txtDataProgID
    std::string serverPath;        // the runtime's registered path, read at start-up
};

// String data as REGEDIT4 wants it inside double quotes: every backslash and
// every double quote preceded by a backslash.
std::string EscapeRegData(std::string_view data);

// The data of the server line: the folder part of the registered path (up to
// and including its last backslash), escaped, followed by "MSDAOSP.DLL"; just
// "MSDAOSP.DLL" when the path has no backslash.
std::string EscapeServerPath(std::string_view serverPath);

// Why the input cannot make a script that imports what the user typed, as the
// text of the message to show; empty when the script may be written. An empty
// provider ProgID or GUID would address HKEY_CLASSES_ROOT itself or its CLSID
// key; a line break would split a line; a "]" would end a key name early.
std::string RefuseProviderScript(const ProviderScriptInput& input);

// The 26 lines of the script, each ended by CR LF.
std::string BuildProviderScript(const ProviderScriptInput& input);

// "REGEDIT " followed by the script's path. Without 8.3 names a path may hold
// blanks; it is then quoted so that the editor still receives one argument.
std::string RegeditCommandLine(const std::string& scriptPath);

}  // namespace larkspur
