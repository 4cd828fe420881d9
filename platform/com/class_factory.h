#pragma once
// The class factory of a DLL's one creatable class. It is a static object:
// it does not count as a live object; LockServer counts as a lock.

#include <unknwn.h>

namespace com {

class ClassFactory : public IClassFactory {
public:
    // `create` makes a new object with one reference (nullptr on failure).
    using Create = IUnknown* (*)();
    explicit ClassFactory(Create create) : create_(create) {}

    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override;
    ULONG __stdcall AddRef() override { return 2; }
    ULONG __stdcall Release() override { return 1; }
    HRESULT __stdcall CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT __stdcall LockServer(BOOL lock) override;

private:
    Create create_;
};

// The body of DllGetClassObject: the factory when `requested` is the class
// `clsid` names, CLASS_E_CLASSNOTAVAILABLE otherwise.
HRESULT GetClassObject(const char* clsid, ClassFactory& factory, REFCLSID requested, REFIID iid,
                       void** out) noexcept;

}  // namespace com
