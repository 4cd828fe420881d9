#pragma once
// What an add-in DLL's DllRegisterServer writes and DllUnregisterServer
// removes: the COM class under HKEY_CLASSES_ROOT (the IDE is a machine-wide
// COM client, and Wine does not look up per-user classes), and the add-in's
// entry under HKEY_CURRENT_USER\Software\Microsoft\Visual Basic\6.0\Addins,
// where the IDE's Add-In Manager lists it.

#include <windows.h>

#include <string>

namespace com {

struct AddInClass {
    const char* progId;
    const char* clsid;        // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    const char* description;  // also the add-in's friendly name
};

// The keys, all or nothing: on a failure what was written is removed again.
//   HKCR\<ProgID>                          (default) description
//   HKCR\<ProgID>\CLSID                    (default) class id
//   HKCR\CLSID\<id>                        (default) description
//   HKCR\CLSID\<id>\ProgID                 (default) ProgID
//   HKCR\CLSID\<id>\InprocServer32         (default) the DLL's path, ThreadingModel Apartment
//   HKCU\...\Addins\<ProgID>               FriendlyName, Description, LoadBehavior 1 (at
//                                          start-up), CommandLineSafe 0 (it shows windows)
HRESULT RegisterAddIn(const AddInClass& info, HMODULE module) noexcept;
// Removes exactly those keys (and nothing above them); S_OK when they are gone.
HRESULT UnregisterAddIn(const AddInClass& info) noexcept;

// The path of the file `module` was loaded from, in the ANSI code page.
std::string ModulePath(HMODULE module);
// The module that holds `address` (a function of the DLL).
HMODULE ModuleOf(const void* address);

}  // namespace com
