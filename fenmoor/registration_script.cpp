#include "fenmoor/registration_script.h"

namespace fenmoor {

namespace {

const char* const kClassKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\";
const char* const kLaunchKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch\\";
// The component categories of objects safe for scripting and safe for
// initializing from persistent data.
const char* const kCatSafeForScripting = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char* const kCatSafeForInitializing = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

// One record: the text with its line end, then the record's own line end, so
// that an empty line follows.
void Record(std::string& script, const std::string& text) { script += text + "\r\n\r\n"; }

}  // namespace

std::string BuildRegScript(const std::string& strCLSID, const std::string& strProgID,
                           const ScriptChoices& choices) {
    const std::string categories = std::string(kClassKey) + strCLSID + "\\Implemented Categories";
    std::string script;
    Record(script, "REGEDIT4");
    if (choices.scripting || choices.initialization) Record(script, "[" + categories + "]");
    if (choices.scripting) Record(script, "[" + categories + "\\" + kCatSafeForScripting + "]");
    if (choices.initialization)
        Record(script, "[" + categories + "\\" + kCatSafeForInitializing + "]");
    if (choices.launch) Record(script, std::string("[") + kLaunchKey + strProgID + "]");
    return script;
}

}  // namespace fenmoor
