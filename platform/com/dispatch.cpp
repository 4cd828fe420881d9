// IDispatch for our own objects (platform/com/dispatch.h).

#include "platform/com/dispatch.h"

#include "base/vb_error.h"
#include "platform/com/error.h"

namespace com {

namespace {

constexpr std::int32_t kTypeMismatch = 13;
constexpr std::int32_t kNotOptional = 449;
constexpr std::int32_t kWrongArguments = 450;

std::size_t PositionalCount(WORD flags, const DISPPARAMS* params) {
    if (!params) return 0;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    return params->cArgs - (put && params->cArgs > 0 ? 1 : 0);
}

}  // namespace

Invocation::Invocation(WORD flags, DISPPARAMS* params, VARIANT* result)
    : flags_(flags), params_(params), result_(result), count_(PositionalCount(flags, params)) {}

// DISPPARAMS holds the arguments last first; a put's value is the named
// argument DISPID_PROPERTYPUT, at position 0.
const VARIANT& Invocation::Raw(std::size_t i) const {
    return params_->rgvarg[params_->cArgs - 1 - i];
}

bool Invocation::Has(std::size_t i) const {
    if (i >= count_) return false;
    const VARIANT& v = Dereferenced(Raw(i));
    return !(v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
}

Variant Invocation::Arg(std::size_t i) const {
    if (!Has(i)) throw vb::VbError(kNotOptional);
    Variant copy;
    if (FAILED(VariantCopyInd(copy.Raw(), const_cast<VARIANT*>(&Dereferenced(Raw(i))))))
        throw vb::VbError(kTypeMismatch);
    return copy;
}

void Invocation::SetRef(std::size_t i, const Variant& value) {
    if (i >= count_) throw vb::VbError(kNotOptional);
    VARIANT& target = params_->rgvarg[params_->cArgs - 1 - i];
    if (!(target.vt & VT_BYREF)) throw vb::VbError(kTypeMismatch);
    if (target.vt == (VT_BYREF | VT_VARIANT)) {
        VariantClear(target.pvarVal);
        VariantCopy(target.pvarVal, const_cast<VARIANT*>(value.Raw()));
        return;
    }
    const VARTYPE base = target.vt & ~VT_BYREF;
    Variant converted;
    if (FAILED(VariantChangeType(converted.Raw(), const_cast<VARIANT*>(value.Raw()), 0, base)))
        throw vb::VbError(kTypeMismatch);
    switch (base) {
        case VT_I4: *target.plVal = converted.Raw()->lVal; break;
        case VT_I2: *target.piVal = converted.Raw()->iVal; break;
        case VT_BOOL: *target.pboolVal = converted.Raw()->boolVal; break;
        case VT_BSTR:
            SysFreeString(*target.pbstrVal);
            *target.pbstrVal = SysAllocString(converted.Raw()->bstrVal);
            break;
        default: throw vb::VbError(kTypeMismatch);
    }
}

Variant Invocation::PutValue() const {
    if (!IsPut() || !params_ || params_->cArgs == 0) throw vb::VbError(kWrongArguments);
    Variant copy;
    if (FAILED(VariantCopyInd(copy.Raw(), const_cast<VARIANT*>(&Dereferenced(params_->rgvarg[0])))))
        throw vb::VbError(kTypeMismatch);
    return copy;
}

void Invocation::Return(Variant value) {
    if (result_) value.MoveTo(result_);
}

void Invocation::WrongArguments() { throw vb::VbError(kWrongArguments); }

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    // Named arguments are not supported: every name after the first is unknown.
    ids[0] = IdOfName(names[0]);
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (UINT i = 0; i < count; ++i)
        if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    return S_OK;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* info, UINT*) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (params->cNamedArgs > (put ? 1u : 0u)) return DISP_E_NONAMEDARGS;
    if (result) VariantInit(result);
    return Guard(info, [&]() -> HRESULT {
        Invocation call(flags, params, result);
        return InvokeMember(id, call) ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
}

Variant Handed(DispatchObject* fresh) {
    Variant v(static_cast<IDispatch*>(fresh));
    fresh->Release();  // the Variant holds the one reference now
    return v;
}

}  // namespace com
