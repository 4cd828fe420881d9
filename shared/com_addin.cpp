// The Connect class of an add-in DLL (shared/com_addin.h).

#include "shared/com_addin.h"

#include <cstdint>

#include "platform/com/addin_interface.h"
#include "platform/com/caller.h"
#include "platform/com/dispatch.h"
#include "platform/com/error.h"
#include "platform/com/ide/ide.h"
#include "platform/com/ref_counted.h"
#include "platform/com/variant.h"
#include "platform/forms/win32/win32_app.h"

namespace vbide::addin {

namespace {

using com::IDTExtensibility2;

// The IDE's main window (VBE.MainWindow.HWnd), or nullptr where the
// environment has no such window.
void* MainWindowHandle(IDispatch* application) {
    try {
        com::Caller vbe(application);
        com::Caller window(vbe.Get(L"MainWindow").AsDispatch());
        return reinterpret_cast<void*>(static_cast<std::intptr_t>(window.Get(L"HWnd").AsInt32()));
    } catch (const vb::VbError&) {
        return nullptr;
    }
}

class ComConnect final : public com::RefCounted<IDTExtensibility2> {
public:
    explicit ComConnect(std::unique_ptr<IDTExtensibility> addIn) : addIn_(std::move(addIn)) {}
    // The add-in goes before vbe_, the root object it was connected to.
    ~ComConnect() override { addIn_.reset(); }

    HRESULT __stdcall GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT __stdcall GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT __stdcall GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (DISPID id = 1; id <= 5; ++id)
            if (_wcsicmp(names[0], com::kExtensibilityMembers[id - 1]) == 0) ids[0] = id;
        for (UINT i = 0; i < count; ++i)
            if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
        return S_OK;
    }
    HRESULT __stdcall Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* info, UINT*) override {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        if (!params) params = &none;
        if (id < 1 || id > 5) return DISP_E_MEMBERNOTFOUND;
        return com::Guard(info, [&]() -> HRESULT {
            com::Invocation call(flags, params, result);
            const std::size_t customAt = id == 1 ? 3 : id == 2 ? 1 : 0;
            CustomArgs custom = call.Has(customAt) ? com::FromSafeArray(call.Arg(customAt).AsArray()) : CustomArgs{};
            switch (id) {
                case 1: Connection(call.Arg(0).AsDispatch(), call.Int(1), call.Has(2) ? call.Arg(2).AsDispatch() : nullptr, custom); break;
                case 2: Disconnection(call.Int(0), custom); break;
                case 3: addIn_->OnAddInsUpdate(custom); break;
                case 4: addIn_->OnStartupComplete(custom); break;
                default: break;  // OnBeginShutdown: the add-ins do nothing then
            }
            return S_OK;
        });
    }

    HRESULT __stdcall OnConnection(IDispatch* application, LONG mode, IDispatch* addInInst,
                                   SAFEARRAY** custom) override {
        return com::GuardWithErrorInfo(com::IID_IDTExtensibility2, [&] {
            CustomArgs args = com::FromSafeArray(custom ? *custom : nullptr);
            Connection(application, mode, addInInst, args);
        });
    }
    HRESULT __stdcall OnDisconnection(LONG mode, SAFEARRAY** custom) override {
        return com::GuardWithErrorInfo(com::IID_IDTExtensibility2, [&] {
            CustomArgs args = com::FromSafeArray(custom ? *custom : nullptr);
            Disconnection(mode, args);
        });
    }
    HRESULT __stdcall OnAddInsUpdate(SAFEARRAY** custom) override {
        return com::GuardWithErrorInfo(com::IID_IDTExtensibility2, [&] {
            CustomArgs args = com::FromSafeArray(custom ? *custom : nullptr);
            addIn_->OnAddInsUpdate(args);
        });
    }
    HRESULT __stdcall OnStartupComplete(SAFEARRAY** custom) override {
        return com::GuardWithErrorInfo(com::IID_IDTExtensibility2, [&] {
            CustomArgs args = com::FromSafeArray(custom ? *custom : nullptr);
            addIn_->OnStartupComplete(args);
        });
    }
    HRESULT __stdcall OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

private:
    void Connection(IDispatch* application, std::int32_t mode, IDispatch* addInInst, CustomArgs& custom) {
        if (!application) throw vb::VbError(91);
        // The add-in's forms are native windows in the IDE's process, owned
        // by its main window.
        forms::win32::EnsureWin32Ui();
        forms::win32::SetOwnerWindow(MainWindowHandle(application));
        vbe_ = com::ide::WrapVBE(application);
        const AddInPtr record = com::ide::WrapAddIn(addInInst, vbe_);
        addIn_->OnConnection(vbe_, static_cast<vbext_ConnectMode>(mode), record, custom);
    }
    void Disconnection(std::int32_t mode, CustomArgs& custom) {
        addIn_->OnDisconnection(static_cast<vbext_DisconnectMode>(mode), custom);
        vbe_.reset();
    }

    void* Interface(REFIID iid) override {
        const bool ours = iid == IID_IDispatch || iid == com::IID_IDTExtensibility2;
        return ours ? static_cast<IDTExtensibility2*>(this) : nullptr;
    }

    std::unique_ptr<IDTExtensibility> addIn_;
    VBEPtr vbe_;
};

}  // namespace

IUnknown* NewComConnect(std::unique_ptr<IDTExtensibility> addIn) { return new ComConnect(std::move(addIn)); }

}  // namespace vbide::addin
