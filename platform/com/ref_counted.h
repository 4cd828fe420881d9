#pragma once
// The IUnknown of our COM objects: a reference count that deletes the object
// when it reaches zero, and QueryInterface answering IUnknown and whatever
// else the object names. Every live object keeps its module in use
// (platform/com/module_count.h), so DllCanUnloadNow says no while a client
// holds one.
//
//   class Enumerator final : public com::RefCounted<IEnumString> {
//       void* Interface(REFIID iid) override {
//           return iid == IID_IEnumString ? static_cast<IEnumString*>(this) : nullptr;
//       }
//       ...
//   };

#include <unknwn.h>

#include <atomic>

#include "platform/com/module_count.h"

namespace com {

template <class Primary>
class RefCounted : public Primary {
public:
    RefCounted() { ObjectCreated(); }
    virtual ~RefCounted() { ObjectDestroyed(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = iid == IID_IUnknown ? static_cast<Primary*>(this) : Interface(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG __stdcall AddRef() override { return ++refs_; }
    ULONG __stdcall Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    // The interface `iid` of the object (a pointer into `this`), or nullptr.
    virtual void* Interface(REFIID iid) = 0;

private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace com
