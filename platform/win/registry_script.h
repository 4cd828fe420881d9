#pragma once
// Registry scripts: the text format of the registry editor ("REGEDIT4" and
// "Windows Registry Editor Version 5.00"), imported into and exported from the
// registry store. The program apps/regedit is a thin shell over these.
//
// An import is all or nothing: the whole script is checked first, then applied
// in one transaction, so a script with an error changes nothing.

#include <cstddef>
#include <string>
#include <string_view>

namespace win {

struct RegistryScriptResult {
    bool ok = false;
    // On failure: what went wrong, naming the file and (for a script error)
    // the line, e.g. "wizard.reg, line 3: unterminated string".
    std::string error;
    std::size_t line = 0;    // the failing line (1-based), 0 when not a line's fault
    std::size_t keys = 0;    // key lines imported or keys exported
    std::size_t values = 0;  // value lines imported or values exported
};

// Imports the script file at `path` (backslashes are taken as separators when
// the path as given does not exist).
RegistryScriptResult ImportRegistryScript(const std::string& path);

// Imports script text; `name` stands for the file in messages.
RegistryScriptResult ImportRegistryScriptText(std::string_view text, const std::string& name);

enum class RegistryScriptFormat {
    Regedit4,  // "REGEDIT4": strings and hex(2)/hex(7) data as ANSI bytes
    Version5,  // "Windows Registry Editor Version 5.00": hex(2)/hex(7) data as UTF-16LE
};

// Writes the script of `key` (a full path such as "HKEY_CURRENT_USER\Software\X";
// empty: every root) and its whole subtree into `text`: the header, then each
// key's line and values followed by one empty line, keys in enumeration order,
// CR LF line ends.
RegistryScriptResult ExportRegistryScriptText(const std::string& key, RegistryScriptFormat format,
                                              std::string& text);

// As ExportRegistryScriptText, written to the file at `path` (replaced atomically).
RegistryScriptResult ExportRegistryScript(const std::string& path, const std::string& key,
                                          RegistryScriptFormat format);

}  // namespace win
