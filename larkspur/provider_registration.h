#pragma once
// What Larkspur reads from the registry around its script: the runtime's
// registration, new provider GUIDs, and the providers registered on the
// runtime.

#include <string>
#include <vector>

namespace larkspur {

class CRegistry;

// The runtime's class key under HKEY_CLASSES_ROOT.
inline constexpr const char* kRuntimeServerKey =
    "CLSID\\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}\\InProcServer32";

// What the user is told when the runtime is not registered.
inline constexpr const char* kRuntimeRequired =
    "MSDAOSP.DLL is required!  Please install the OLEDBSDK.";

// The runtime's registered path: the default value of kRuntimeServerKey,
// read through `registry` (its root and key are left there). Empty when the
// key has no such value; an unreadable key raises as CRegistry does.
std::string ReadRuntimeServerPath(CRegistry& registry);

// A new GUID in registry form, as the "..." button makes it. Raises
// vb::VbError when the system's generator fails.
std::string NewProviderGUID();

struct RegisteredProvider {
    std::string progID;      // the class's VersionIndependentProgID (else its name)
    std::string guid;        // the class key's name
    std::string description; // the "OLE DB Provider" key's default value
    std::string dataProgID;  // the "OSP Data Object" key's default value
};

// Every class under HKEY_CLASSES_ROOT\CLSID whose in-process server is the
// runtime at `serverPath` (its own path, or the path a Larkspur script
// registers for it; letter case aside) and which has an "OLE DB Provider"
// key, sorted by ProgID without regard to case, then by GUID.
std::vector<RegisteredProvider> ListProviders(const std::string& serverPath);

// Why the keys a removal script deletes for `progID` and `guid` are not (all)
// a provider's, or "" when they are: HKEY_CLASSES_ROOT\<progID>, where it
// exists, must have a CLSID key naming `guid`, and CLSID\<guid>, where it
// exists, must have an "OLE DB Provider" key. Anything else (a file type such
// as .bas, TypeLib, another program's class) is no provider to remove.
std::string RefuseProviderRemoval(const std::string& progID, const std::string& guid);

}  // namespace larkspur
