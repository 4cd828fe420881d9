// VB errors across automation (platform/com/error.h).

#include "platform/com/error.h"

#include <oleauto.h>

#include <new>

#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"

namespace com {

namespace {

constexpr std::uint32_t kControlFacility = 0x800A0000u;

}  // namespace

HRESULT ScodeOfVbError(std::int32_t number) {
    if (number > 0 && number <= 0xFFFF)
        return static_cast<HRESULT>(kControlFacility | static_cast<std::uint32_t>(number));
    return static_cast<HRESULT>(number);
}

std::int32_t VbErrorOfScode(HRESULT scode) {
    const auto bits = static_cast<std::uint32_t>(scode);
    if ((bits & 0xFFFF0000u) == kControlFacility) return static_cast<std::int32_t>(bits & 0xFFFFu);
    return static_cast<std::int32_t>(bits);
}

void ThrowCallFailure(HRESULT hr, EXCEPINFO& info, const std::wstring& member) {
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        HRESULT scode = info.scode ? info.scode : ScodeOfVbError(info.wCode);
        std::string source = Narrow(info.bstrSource);
        std::string description = Narrow(info.bstrDescription);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        info = EXCEPINFO{};
        if (source.empty()) source = Narrow(member.data(), member.size());
        throw vb::VbError(VbErrorOfScode(scode), source, description);
    }
    const std::string source = Narrow(member.data(), member.size());
    switch (hr) {
        case DISP_E_MEMBERNOTFOUND:
        case DISP_E_UNKNOWNNAME:
            throw vb::VbError(438, source);
        case DISP_E_PARAMNOTOPTIONAL:
            throw vb::VbError(449, source);
        case DISP_E_BADPARAMCOUNT:
            throw vb::VbError(450, source);
        case DISP_E_TYPEMISMATCH:
            throw vb::VbError(13, source);
        default:
            throw vb::VbError(VbErrorOfScode(hr), source);
    }
}

HRESULT ReportToCaller(const vb::VbError& error, EXCEPINFO* info) {
    const HRESULT scode = ScodeOfVbError(error.Number());
    if (!info) return scode;
    *info = EXCEPINFO{};
    info->scode = scode;
    info->bstrSource = AllocBstr(error.Source());
    info->bstrDescription = AllocBstr(error.Description());
    return DISP_E_EXCEPTION;
}

HRESULT Guard(EXCEPINFO* info, const std::function<HRESULT()>& body) noexcept {
    try {
        return body();
    } catch (const vb::VbError& error) {
        return ReportToCaller(error, info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT GuardWithErrorInfo(REFIID iid, const std::function<void()>& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const vb::VbError& error) {
        ComPtr<ICreateErrorInfo> create;
        if (SUCCEEDED(CreateErrorInfo(create.Out()))) {
            const std::wstring source = Widen(error.Source());
            const std::wstring description = Widen(error.Description());
            create->SetGUID(iid);
            create->SetSource(const_cast<LPOLESTR>(source.c_str()));
            create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
            auto errorInfo = create.As<IErrorInfo>(IID_IErrorInfo);
            SetErrorInfo(0, errorInfo.Get());
        }
        return ScodeOfVbError(error.Number());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace com
