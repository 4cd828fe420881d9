// Type information for our event interfaces (platform/com/event_types.h).

#include "platform/com/event_types.h"

#include <oleauto.h>

#include <string>
#include <vector>

namespace com {

namespace {

// Builds the dispinterface; nullptr on any refusal.
ComPtr<ICreateTypeInfo> MakeDispinterface(ICreateTypeLib2& library, const IID& iid, const wchar_t* name,
                                          std::initializer_list<EventMember> events) {
    ComPtr<ICreateTypeInfo> info;
    if (FAILED(library.CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_DISPATCH, info.Out())) ||
        FAILED(info->SetGuid(iid)))
        return {};
    UINT index = 0;
    for (const EventMember& event : events) {
        std::vector<TYPEDESC> pointees(event.params.size());
        std::vector<ELEMDESC> params(event.params.size());
        std::vector<LPOLESTR> names{const_cast<LPOLESTR>(event.name)};
        std::size_t i = 0;
        for (const EventParam& param : event.params) {
            const VARTYPE base = param.type & ~VT_BYREF;
            if (param.type & VT_BYREF) {
                pointees[i].vt = base;
                params[i].tdesc.vt = VT_PTR;
                params[i].tdesc.lptdesc = &pointees[i];
                params[i].paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
            } else {
                params[i].tdesc.vt = base;
                params[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
            }
            names.push_back(const_cast<LPOLESTR>(param.name));
            ++i;
        }
        FUNCDESC function{};
        function.memid = event.id;
        function.funckind = FUNC_DISPATCH;
        function.invkind = INVOKE_FUNC;
        function.callconv = CC_STDCALL;
        function.cParams = static_cast<SHORT>(params.size());
        function.lprgelemdescParam = params.data();
        function.elemdescFunc.tdesc.vt = VT_VOID;
        if (FAILED(info->AddFuncDesc(index, &function)) ||
            FAILED(info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size()))))
            return {};
        ++index;
    }
    if (FAILED(info->LayOut())) return {};
    return info;
}

}  // namespace

ComPtr<ITypeInfo> EventClassInfo(const IID& iid, const wchar_t* name, std::initializer_list<EventMember> events) {
    // The library lives in memory only: it is never saved under its file name.
    ComPtr<ICreateTypeLib2> library;
    if (FAILED(CreateTypeLib2(SYS_WIN32, const_cast<LPOLESTR>(L"events.tlb"), library.Out()))) return {};
    const ComPtr<ICreateTypeInfo> dispinterface = MakeDispinterface(*library.Get(), iid, name, events);
    if (!dispinterface) return {};
    const auto eventsInfo = dispinterface.As<ITypeInfo>(IID_ITypeInfo);
    const std::wstring className = std::wstring(name) + L"Source";
    ComPtr<ICreateTypeInfo> coclass;
    HREFTYPE reference = 0;
    if (!eventsInfo ||
        FAILED(library->CreateTypeInfo(const_cast<LPOLESTR>(className.c_str()), TKIND_COCLASS, coclass.Out())) ||
        FAILED(coclass->AddRefTypeInfo(eventsInfo.Get(), &reference)) ||
        FAILED(coclass->AddImplType(0, reference)) ||
        FAILED(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) || FAILED(coclass->LayOut()))
        return {};
    return coclass.As<ITypeInfo>(IID_ITypeInfo);
}

}  // namespace com
