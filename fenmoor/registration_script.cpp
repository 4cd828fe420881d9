#include "fenmoor/registration_script.h"

namespace fenmoor {

namespace {

const char* const kRoot = "HKEY_LOCAL_MACHINE\\";
const char* const kClassKey = "SOFTWARE\\Classes\\CLSID\\";
const char* const kLaunchKey = "SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch\\";
// The component categories of objects safe for scripting and safe for
// initializing from persistent data.
const char* const kCatSafeForScripting = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char* const kCatSafeForInitializing = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

// One record: the text with its line end, then the record's own line end, so
// that an empty line follows.
void Record(std::string& script, const std::string& text) { script += text + "\r\n\r\n"; }

// The value as a message shows it: line breaks written \r and \n, so that
// the message stays on its line.
std::string Shown(const std::string& value) {
    std::string shown;
    for (char c : value) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return shown;
}

}  // namespace

EntryKeys ComponentEntryKeys(const std::string& strCLSID, const std::string& strProgID) {
    EntryKeys keys;
    keys.categories = std::string(kClassKey) + strCLSID + "\\Implemented Categories";
    keys.scripting = keys.categories + "\\" + kCatSafeForScripting;
    keys.initialization = keys.categories + "\\" + kCatSafeForInitializing;
    keys.launch = kLaunchKey + strProgID;
    return keys;
}

std::string RefuseKeyName(const std::string& label, const std::string& value) {
    if (value.empty()) return label + " is empty";
    const std::string named = label + " \"" + Shown(value) + "\" holds ";
    if (value.find_first_of("\r\n") != std::string::npos) return named + "a line break";
    for (const char* bad : {"[", "]", "\"", "\\"}) {
        if (value.find(bad) != std::string::npos) return named + "\"" + bad + "\"";
    }
    return {};
}

std::string RefuseRegScript(const std::string& strCLSID, const std::string& strProgID,
                            const ScriptChoices& choices) {
    if (choices.scripting || choices.initialization) {
        if (std::string refusal = RefuseKeyName("The component's key", strCLSID); !refusal.empty())
            return refusal;
    }
    if (choices.launch) return RefuseKeyName("The component's name", strProgID);
    return {};
}

std::string BuildRegScript(const std::string& strCLSID, const std::string& strProgID,
                           const ScriptChoices& choices) {
    const EntryKeys keys = ComponentEntryKeys(strCLSID, strProgID);
    const std::string open = choices.remove ? std::string("[-") + kRoot : std::string("[") + kRoot;
    std::string script;
    Record(script, "REGEDIT4");
    if (!choices.remove && (choices.scripting || choices.initialization))
        Record(script, open + keys.categories + "]");
    if (choices.scripting) Record(script, open + keys.scripting + "]");
    if (choices.initialization) Record(script, open + keys.initialization + "]");
    if (choices.launch) Record(script, open + keys.launch + "]");
    return script;
}

}  // namespace fenmoor
