#pragma once
// Registering add-in libraries in the registry store, as the registration
// program (apps/regsvr) and the tests do it: the library is loaded and its
// DllRegisterServer or DllUnregisterServer export is called.

#include <string>

namespace vbide {

struct RegistrationResult {
    bool ok = false;
    std::int32_t code = 0;         // the export's result (an HRESULT), when it ran
    std::string message;   // what the registration program shows
    // The registration program's exit status: 0 done, 3 the library did not
    // load, 4 it lacks the entry point, 5 the entry point failed.
    int exitStatus = 0;
};

// Loads the shared library at `path` and calls DllRegisterServer (or, with
// `unregister`, DllUnregisterServer). Never throws.
RegistrationResult RegisterLibrary(const std::string& path, bool unregister);

// The registry's answer for a ProgID: its class id and the library that
// serves it; both empty when the ProgID is not registered.
struct ClassRegistration {
    std::string clsid;
    std::string library;
    std::string description;
};
ClassRegistration LookUpProgId(const std::string& progId);

}  // namespace vbide
