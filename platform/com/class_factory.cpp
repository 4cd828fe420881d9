// The class factory (platform/com/class_factory.h).

#include "platform/com/class_factory.h"

#include <objbase.h>

#include "platform/com/module_count.h"
#include "platform/com/variant.h"

namespace com {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* object = nullptr;
    try {
        object = create_();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!object) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    LockModule(lock != FALSE);
    return S_OK;
}

HRESULT GetClassObject(const char* clsid, ClassFactory& factory, REFCLSID requested, REFIID iid,
                       void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        CLSID ours{};
        const std::wstring text = Widen(clsid);
        if (FAILED(CLSIDFromString(const_cast<LPOLESTR>(text.c_str()), &ours)) || !IsEqualCLSID(ours, requested))
            return CLASS_E_CLASSNOTAVAILABLE;
        return factory.QueryInterface(iid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace com
