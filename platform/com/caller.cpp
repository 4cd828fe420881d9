// Late-bound calls (platform/com/caller.h).

#include "platform/com/caller.h"

#include <algorithm>

#include "base/vb_error.h"
#include "platform/com/error.h"

namespace com {

DISPID Caller::IdOf(const std::wstring& name) {
    if (!object_) throw vb::VbError(91);  // Object variable not set
    const auto found = ids_.find(name);
    if (found != ids_.end()) return found->second;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        EXCEPINFO none{};
        ThrowCallFailure(hr == DISP_E_UNKNOWNNAME ? DISP_E_MEMBERNOTFOUND : hr, none, name);
    }
    ids_.emplace(name, id);
    return id;
}

Variant Caller::Invoke(const std::wstring& name, WORD flags, std::vector<Variant>& args, bool named) {
    const DISPID id = IdOf(name);
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Raw());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), named ? &put : nullptr, static_cast<UINT>(reversed.size()),
                      named ? 1u : 0u};
    Variant result;
    EXCEPINFO info{};
    UINT badArgument = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       named ? nullptr : result.Raw(), &info, &badArgument);
    if (FAILED(hr)) ThrowCallFailure(hr, info, name);
    return result;
}

Variant Caller::Get(const std::wstring& name, std::vector<Variant> args) {
    return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, false);
}

void Caller::Put(const std::wstring& name, Variant value, std::vector<Variant> args) {
    args.push_back(std::move(value));
    Invoke(name, DISPATCH_PROPERTYPUT, args, true);
}

void Caller::PutRef(const std::wstring& name, Variant value) {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    Invoke(name, DISPATCH_PROPERTYPUTREF, args, true);
}

Variant Caller::Call(const std::wstring& name, std::vector<Variant> args) {
    return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

}  // namespace com
