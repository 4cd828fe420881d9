#pragma once
// The contract of an add-in library: an add-in is a shared library with one
// creatable class, Connect, implementing vbide::IDTExtensibility. The library
// exports four C functions that the environment and the registration program
// call:
//
// Exports (results are HRESULT values: 0 success, 1 "false", negative failure):
//   std::int32_t DllGetClassObject(const char* clsid,
//                          std::shared_ptr<vbide::IDTExtensibility>* object)
//       creates a new Connect object when clsid names the library's class
//       (braces and letter case are not significant); kClassNotAvailable
//       otherwise, kFail when construction throws.
//   std::int32_t DllCanUnloadNow()   0 when no object of the library is alive, else 1.
//   std::int32_t DllRegisterServer() writes the class into the registry store:
//       HKEY_CLASSES_ROOT\<ProgID> (default value: description)
//       HKEY_CLASSES_ROOT\<ProgID>\CLSID (default value: class id)
//       HKEY_CLASSES_ROOT\CLSID\<class id> (default value: description)
//       HKEY_CLASSES_ROOT\CLSID\<class id>\ProgID (default value: ProgID)
//       HKEY_CLASSES_ROOT\CLSID\<class id>\InprocServer32 (default value: the
//       library's full path)
//   std::int32_t DllUnregisterServer() removes those keys again.
// The environment releases every object a library made before it unloads
// the library, and unloads it only when DllCanUnloadNow answers 0.
// shared/addin_server.h defines all four exports in one line.

#include <cstdint>
#include <memory>

#include "contract/vbide.h"

namespace vbide::addin {

inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kFalse = 1;
inline constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kClassNotAvailable = static_cast<std::int32_t>(0x80040111u);
inline constexpr std::int32_t kRegisterFailed = static_cast<std::int32_t>(0x80040201u);

using DllGetClassObjectFn = std::int32_t (*)(const char*, std::shared_ptr<IDTExtensibility>*);
using DllCanUnloadNowFn = std::int32_t (*)();
using DllRegisterServerFn = std::int32_t (*)();
using DllUnregisterServerFn = std::int32_t (*)();

// What a library registers for its one class.
struct ClassInfo {
    const char* progId;
    const char* clsid;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    const char* description;
};

}  // namespace vbide::addin
