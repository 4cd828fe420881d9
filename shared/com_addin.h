#pragma once
// The Windows side of the add-in pattern: an add-in DLL whose Connect class
// the IDE creates by ProgID and calls through IDTExtensibility2, by v-table or
// through IDispatch. Connect hands each call to the add-in's own object
// (vbide::IDTExtensibility), giving it the contract over the IDE's objects
// (platform/com/ide). One line in the add-in's source defines the four
// exports:
//
//   TARNWICK_COM_ADDIN(quillon::Connect, "Quillon.Connect",
//                      "{3C7E9A52-1D4B-4F86-A0C3-5B2E8D71F964}",
//                      "Tarnwick Add Procedure Dialog")
//
// and the DLL links with platform/com/addin_exports.def.

#include <objbase.h>

#include <memory>

#include "platform/com/class_factory.h"
#include "platform/com/module_count.h"
#include "platform/com/registrar.h"
#include "contract/vbide.h"

namespace vbide::addin {

// A new Connect object (one reference) forwarding to `addIn`.
IUnknown* NewComConnect(std::unique_ptr<IDTExtensibility> addIn);

}  // namespace vbide::addin

#define TARNWICK_COM_ADDIN(ConnectClass, progId, clsid, description)                                     \
    namespace {                                                                                          \
    const ::com::AddInClass tarnwick_com_addin_class{progId, clsid, description};                        \
    IUnknown* tarnwick_com_addin_create() {                                                              \
        return ::vbide::addin::NewComConnect(std::make_unique<ConnectClass>());                          \
    }                                                                                                    \
    ::com::ClassFactory tarnwick_com_addin_factory(&tarnwick_com_addin_create);                          \
    }                                                                                                    \
    STDAPI DllGetClassObject(REFCLSID requested, REFIID iid, LPVOID* out) {                              \
        return ::com::GetClassObject(clsid, tarnwick_com_addin_factory, requested, iid, out);            \
    }                                                                                                    \
    STDAPI DllCanUnloadNow() { return ::com::CanUnloadModule() ? S_OK : S_FALSE; }                       \
    STDAPI DllRegisterServer() {                                                                         \
        return ::com::RegisterAddIn(tarnwick_com_addin_class,                                            \
                                    ::com::ModuleOf(reinterpret_cast<const void*>(&DllCanUnloadNow)));   \
    }                                                                                                    \
    STDAPI DllUnregisterServer() { return ::com::UnregisterAddIn(tarnwick_com_addin_class); }
