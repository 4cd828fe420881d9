#pragma once
// The library side of the add-in pattern (contract/addin.h): the bodies of the
// four exports, and one macro that defines them. One line in an add-in's
// source defines all four:
//
//   TARNWICK_ADDIN(Connect, "Quillon.Connect",
//                  "{6F1D2A4C-4B1E-4C3A-9E7B-1A2B3C4D5E60}",
//                  "Tarnwick Add Procedure Dialog")
//
// An add-in library links tarnwick_addin_server.

#include <atomic>
#include <exception>
#include <memory>
#include <string>

#include "contract/addin.h"

namespace vbide::addin {

// The bodies of DllRegisterServer and DllUnregisterServer: they write or
// remove the class's keys. `anchor` is the address of any function in the
// add-in library; it tells which file the library was loaded from. Both
// return an HRESULT as the exports do.
std::int32_t RegisterServer(const ClassInfo& info, const void* anchor) noexcept;
std::int32_t UnregisterServer(const ClassInfo& info) noexcept;

// True when two class ids name the same class (braces and case ignored).
bool SameClassId(const std::string& a, const std::string& b) noexcept;

// The body of DllGetClassObject: creates a T whose life the library counts.
template <class T>
std::int32_t GetClassObject(const ClassInfo& info, const char* clsid,
                    std::shared_ptr<IDTExtensibility>* object,
                    std::atomic<std::int32_t>& liveObjects) noexcept {
    if (object == nullptr || clsid == nullptr) return kFail;
    if (!SameClassId(clsid, info.clsid)) return kClassNotAvailable;
    try {
        ++liveObjects;
        std::atomic<std::int32_t>* counter = &liveObjects;
        T* raw = nullptr;
        try {
            raw = new T();
        } catch (...) {
            --liveObjects;
            throw;
        }
        *object = std::shared_ptr<IDTExtensibility>(raw, [counter](IDTExtensibility* p) {
            delete p;
            --*counter;
        });
        return kOk;
    } catch (...) {
        return kFail;
    }
}

}  // namespace vbide::addin

#define TARNWICK_ADDIN_EXPORT extern "C" __attribute__((visibility("default")))

// Defines the four exports of an add-in library for its class `ConnectClass`
// (default-constructible, derived from vbide::IDTExtensibility). Use it once,
// at namespace scope, in one source file of the library.
#define TARNWICK_ADDIN(ConnectClass, progId, clsid, description)                                  \
    namespace {                                                                                   \
    std::atomic<std::int32_t> tarnwick_addin_live_objects{0};                                             \
    const ::vbide::addin::ClassInfo tarnwick_addin_class_info{progId, clsid, description};        \
    }                                                                                             \
    TARNWICK_ADDIN_EXPORT std::int32_t DllGetClassObject(                                                 \
        const char* requested, std::shared_ptr<::vbide::IDTExtensibility>* object) {              \
        return ::vbide::addin::GetClassObject<ConnectClass>(tarnwick_addin_class_info, requested, \
                                                            object, tarnwick_addin_live_objects); \
    }                                                                                             \
    TARNWICK_ADDIN_EXPORT std::int32_t DllCanUnloadNow() {                                                \
        return tarnwick_addin_live_objects.load() == 0 ? ::vbide::addin::kOk                      \
                                                       : ::vbide::addin::kFalse;                  \
    }                                                                                             \
    TARNWICK_ADDIN_EXPORT std::int32_t DllRegisterServer() {                                              \
        return ::vbide::addin::RegisterServer(tarnwick_addin_class_info,                          \
                                              reinterpret_cast<const void*>(&DllCanUnloadNow));   \
    }                                                                                             \
    TARNWICK_ADDIN_EXPORT std::int32_t DllUnregisterServer() {                                            \
        return ::vbide::addin::UnregisterServer(tarnwick_addin_class_info);                       \
    }
