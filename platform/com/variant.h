#pragma once
// BSTR, VARIANT and SAFEARRAY as the contract sees them. The contract's text
// is bytes in the system's ANSI code page; automation's is UTF-16, so every
// string crosses through MultiByteToWideChar / WideCharToMultiByte with
// CP_ACP, the conversion VB itself makes for Declare'd functions.

#include <oaidl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace com {

std::wstring Widen(const std::string& ansi);
std::string Narrow(const wchar_t* wide, std::size_t length);
std::string Narrow(BSTR text);
// A new BSTR the receiver frees (SysFreeString).
BSTR AllocBstr(const std::string& ansi);

// A VARIANT that frees what it holds. Conversions follow VariantChangeType,
// so a VT_I2 or a VT_BSTR "12" reads as 12, as VB would coerce them; a value
// that does not convert raises VB error 13 (type mismatch).
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(std::int32_t value);
    Variant(bool value);
    Variant(const std::string& ansi);
    Variant(const char* ansi) : Variant(std::string(ansi)) {}
    Variant(IDispatch* object);  // adds a reference; nullptr is Nothing
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    ~Variant() { VariantClear(&v_); }

    // A missing optional argument (VT_ERROR, DISP_E_PARAMNOTFOUND).
    static Variant Missing();
    // By-reference arguments (ByRef x As Variant / Long / Boolean) that point
    // at `target`, which the callee may change.
    static Variant Ref(VARIANT* target);
    static Variant RefInt32(std::int32_t* target);
    static Variant RefBool(VARIANT_BOOL* target);
    // Takes over `raw`, which is left empty.
    static Variant Adopt(VARIANT& raw);

    VARTYPE Type() const { return v_.vt; }
    bool IsMissing() const;
    bool IsEmptyOrNothing() const;
    std::int32_t AsInt32() const;
    bool AsBool() const;
    std::string AsString() const;
    // The object (no new reference); nullptr for Nothing. Error 13 for a
    // value that is no object.
    IDispatch* AsDispatch() const;
    // The array (no copy) of an array value, by reference or not; nullptr
    // for any other value.
    SAFEARRAY* AsArray() const;

    VARIANT* Raw() { return &v_; }
    const VARIANT* Raw() const { return &v_; }
    // Hands the value over to a VARIANT the caller owns.
    void MoveTo(VARIANT* out);

private:
    VARIANT v_;
};

// The value behind a by-reference VARIANT (VT_BYREF | VT_VARIANT included),
// or the VARIANT itself.
const VARIANT& Dereferenced(const VARIANT& v);

// The Custom argument of the add-in interface: the contract's list of texts
// from a SAFEARRAY of Variants (an empty list for none), and back.
std::vector<std::string> FromSafeArray(SAFEARRAY* array);
SAFEARRAY* ToSafeArray(const std::vector<std::string>& values);

}  // namespace com
