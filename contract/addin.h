#pragma once
// The contract of an add-in library: an add-in is a shared library with one
// creatable class, Connect, implementing vbide::IDTExtensibility. The library
// exports four C functions that the environment and the registration program
// call:
//
// Exports (results are HRESULT values: 0 success, 1 "false", negative failure):
//   long DllGetClassObject(const char* clsid,
//                          std::shared_ptr<vbide::IDTExtensibility>* object)
//       creates a new Connect object when clsid names the library's class
//       (braces and letter case are not significant); kClassNotAvailable
//       otherwise, kFail when construction throws.
//   long DllCanUnloadNow()   0 when no object of the library is alive, else 1.
//   long DllRegisterServer() writes the class into the registry store:
//       HKEY_CLASSES_ROOT\<ProgID> (default value: description)
//       HKEY_CLASSES_ROOT\<ProgID>\CLSID (default value: class id)
//       HKEY_CLASSES_ROOT\CLSID\<class id> (default value: description)
//       HKEY_CLASSES_ROOT\CLSID\<class id>\ProgID (default value: ProgID)
//       HKEY_CLASSES_ROOT\CLSID\<class id>\InprocServer32 (default value: the
//       library's full path)
//   long DllUnregisterServer() removes those keys again.
// The environment releases every object a library made before it unloads
// the library, and unloads it only when DllCanUnloadNow answers 0.
// shared/addin_server.h defines all four exports in one line.

#include <cstdint>
#include <memory>

#include "contract/vbide.h"

namespace vbide::addin {

inline constexpr long kOk = 0;
inline constexpr long kFalse = 1;
inline constexpr long kFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr long kClassNotAvailable = static_cast<std::int32_t>(0x80040111u);
inline constexpr long kRegisterFailed = static_cast<std::int32_t>(0x80040201u);

using DllGetClassObjectFn = long (*)(const char*, std::shared_ptr<IDTExtensibility>*);
using DllCanUnloadNowFn = long (*)();
using DllRegisterServerFn = long (*)();
using DllUnregisterServerFn = long (*)();

// What a library registers for its one class.
struct ClassInfo {
    const char* progId;
    const char* clsid;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    const char* description;
};

}  // namespace vbide::addin
