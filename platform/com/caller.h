#pragma once
// Late-bound calls on an automation object, as VB makes them on an object
// declared As Object: a member's DISPID is asked for once per object and name
// (GetIDsOfNames) and kept; arguments go in source order (the caller reverses
// them into DISPPARAMS); a missing optional argument is Variant::Missing(); a
// by-reference argument is Variant::Ref. A failure throws the vb::VbError the
// callee raised (platform/com/error.h).
//
//   com::Caller pane(paneDispatch);
//   pane.Put("TopLine", 12);
//   std::string text = pane.Get("CodeModule").Object()...;

#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"

namespace com {

class Caller {
public:
    Caller() = default;
    explicit Caller(IDispatch* object) : object_(object) {}

    IDispatch* Object() const { return object_.Get(); }
    explicit operator bool() const { return static_cast<bool>(object_); }

    // A property get (or a method that answers a value: VB asks for both).
    Variant Get(const std::wstring& name, std::vector<Variant> args = {});
    // A property put of `value`, after the property's own arguments.
    void Put(const std::wstring& name, Variant value, std::vector<Variant> args = {});
    // A property put by reference (Set x.Member = object).
    void PutRef(const std::wstring& name, Variant value);
    // A method; its result (Empty for a Sub).
    Variant Call(const std::wstring& name, std::vector<Variant> args = {});

    // The DISPID of `name`; error 438 when the object has no such member.
    DISPID IdOf(const std::wstring& name);

private:
    Variant Invoke(const std::wstring& name, WORD flags, std::vector<Variant>& args, bool named);

    ComPtr<IDispatch> object_;
    std::unordered_map<std::wstring, DISPID> ids_;
};

}  // namespace com
