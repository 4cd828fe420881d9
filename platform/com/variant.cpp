// BSTR, VARIANT and SAFEARRAY conversions (platform/com/variant.h).

#include "platform/com/variant.h"

#include <windows.h>

#include <utility>

#include "base/vb_error.h"

namespace com {

namespace {

constexpr std::int32_t kTypeMismatch = 13;

Variant Converted(const VARIANT& from, VARTYPE to) {
    Variant out;
    // As VB's CStr: a Boolean reads "True" or "False", not "-1".
    const USHORT flags = to == VT_BSTR ? VARIANT_ALPHABOOL : 0;
    if (FAILED(VariantChangeType(out.Raw(), const_cast<VARIANT*>(&Dereferenced(from)), flags, to)))
        throw vb::VbError(kTypeMismatch);
    return out;
}

}  // namespace

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* wide, std::size_t length) {
    if (!wide || length == 0) return {};
    const int size = static_cast<int>(length);
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, size, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

// A BSTR carries its length, so embedded NULs survive.
std::string Narrow(BSTR text) { return Narrow(text, text ? SysStringLen(text) : 0); }

BSTR AllocBstr(const std::string& ansi) {
    const std::wstring wide = Widen(ansi);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

Variant::Variant(std::int32_t value) : Variant() {
    v_.vt = VT_I4;
    v_.lVal = value;
}

Variant::Variant(bool value) : Variant() {
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(const std::string& ansi) : Variant() {
    v_.vt = VT_BSTR;
    v_.bstrVal = AllocBstr(ansi);
}

Variant::Variant(IDispatch* object) : Variant() {
    v_.vt = VT_DISPATCH;
    v_.pdispVal = object;
    if (object) object->AddRef();
}

Variant::Variant(const Variant& other) : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)); }

Variant::Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

Variant& Variant::operator=(Variant other) noexcept {
    std::swap(v_, other.v_);
    return *this;
}

Variant Variant::Missing() {
    Variant m;
    m.v_.vt = VT_ERROR;
    m.v_.scode = DISP_E_PARAMNOTFOUND;
    return m;
}

Variant Variant::Ref(VARIANT* target) {
    Variant r;
    r.v_.vt = VT_BYREF | VT_VARIANT;
    r.v_.pvarVal = target;
    return r;
}

Variant Variant::RefInt32(std::int32_t* target) {
    static_assert(sizeof(LONG) == sizeof(std::int32_t));
    Variant r;
    r.v_.vt = VT_BYREF | VT_I4;
    r.v_.plVal = reinterpret_cast<LONG*>(target);
    return r;
}

Variant Variant::RefBool(VARIANT_BOOL* target) {
    Variant r;
    r.v_.vt = VT_BYREF | VT_BOOL;
    r.v_.pboolVal = target;
    return r;
}

Variant Variant::Adopt(VARIANT& raw) {
    Variant r;
    r.v_ = raw;
    VariantInit(&raw);
    return r;
}

bool Variant::IsMissing() const {
    const VARIANT& v = Dereferenced(v_);
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

bool Variant::IsEmptyOrNothing() const {
    const VARIANT& v = Dereferenced(v_);
    return v.vt == VT_EMPTY || v.vt == VT_NULL || ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && !v.punkVal);
}

std::int32_t Variant::AsInt32() const { return Converted(v_, VT_I4).v_.lVal; }

bool Variant::AsBool() const { return Converted(v_, VT_BOOL).v_.boolVal != VARIANT_FALSE; }

std::string Variant::AsString() const { return Narrow(Converted(v_, VT_BSTR).v_.bstrVal); }

IDispatch* Variant::AsDispatch() const {
    const VARIANT& v = Dereferenced(v_);
    if (v.vt == VT_EMPTY || v.vt == VT_NULL) return nullptr;
    if (v.vt == VT_DISPATCH) return v.pdispVal;
    throw vb::VbError(kTypeMismatch);
}

SAFEARRAY* Variant::AsArray() const {
    const VARIANT& v = Dereferenced(v_);
    if (!(v.vt & VT_ARRAY)) return nullptr;
    return (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
}

void Variant::MoveTo(VARIANT* out) {
    if (!out) return;
    *out = v_;
    VariantInit(&v_);
}

const VARIANT& Dereferenced(const VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return *v.pvarVal;
    return v;
}

std::vector<std::string> FromSafeArray(SAFEARRAY* array) {
    std::vector<std::string> out;
    if (!array || SafeArrayGetDim(array) != 1) return out;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    for (LONG i = low; i <= high; ++i) {
        VARIANT item;
        VariantInit(&item);
        if (SUCCEEDED(SafeArrayGetElement(array, &i, &item))) {
            Variant value = Variant::Adopt(item);
            try {
                out.push_back(value.AsString());
            } catch (const vb::VbError&) {
                out.emplace_back();  // an object or array has no text
            }
        }
    }
    return out;
}

SAFEARRAY* ToSafeArray(const std::vector<std::string>& values) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
    for (LONG i = 0; array && i < static_cast<LONG>(values.size()); ++i) {
        Variant item(values[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(array, &i, item.Raw());
    }
    return array;
}

}  // namespace com
