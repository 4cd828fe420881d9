#pragma once
// IDispatch for our own objects. A class lists its members in a table of
// names and handlers; a member's DISPID is its position in the table + 1,
// names compare without regard to case, and DISPID_VALUE (a call without a
// member name, `Controls("Tools")`) goes to the member named "Item". A
// handler reads its arguments from the Invocation in source order and
// throws vb::VbError for a failure, which the caller receives as
// DISP_E_EXCEPTION with the error's number (platform/com/error.h).
//
//   class Pane : public com::TableDispatch<Pane> {
//       static const Member kMembers[];
//   };
//   const Pane::Member Pane::kMembers[] = {
//       {L"TopLine", [](Pane& p, com::Invocation& call) { ... }},
//   };

#include <oaidl.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/com/ref_counted.h"
#include "platform/com/variant.h"

namespace com {

// One call of a member: the arguments in source order (for a property put,
// without the value, which is PutValue), by-reference outputs, the result.
class Invocation {
public:
    Invocation(WORD flags, DISPPARAMS* params, VARIANT* result);

    bool IsPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    // The number of positional arguments, missing optional ones included.
    std::size_t Count() const { return count_; }
    // True when argument i was given (and not as a missing optional).
    bool Has(std::size_t i) const;
    // Argument i by value; error 449 (argument not optional) when missing.
    Variant Arg(std::size_t i) const;
    std::int32_t Int(std::size_t i) const { return Arg(i).AsInt32(); }
    std::int32_t Int(std::size_t i, std::int32_t otherwise) const { return Has(i) ? Int(i) : otherwise; }
    bool Bool(std::size_t i) const { return Arg(i).AsBool(); }
    bool Bool(std::size_t i, bool otherwise) const { return Has(i) ? Bool(i) : otherwise; }
    std::string Str(std::size_t i) const { return Arg(i).AsString(); }
    std::string Str(std::size_t i, const std::string& otherwise) const { return Has(i) ? Str(i) : otherwise; }
    // Writes a by-reference argument; error 13 when it was passed by value
    // or has another type than `value` converts to.
    void SetRef(std::size_t i, const Variant& value);
    // The value of a property put; error 450 when the call is no put.
    Variant PutValue() const;
    // The member's result (ignored when the caller wants none).
    void Return(Variant value);

    // Errors a member raises for a call it cannot take.
    [[noreturn]] static void WrongArguments();

private:
    const VARIANT& Raw(std::size_t i) const;

    WORD flags_;
    DISPPARAMS* params_;
    VARIANT* result_;
    std::size_t count_;
};

// The IDispatch plumbing of our objects; subclasses name their members and
// may answer more interfaces.
class DispatchObject : public RefCounted<IDispatch> {
public:
    HRESULT __stdcall GetTypeInfoCount(UINT* count) override;
    HRESULT __stdcall GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT __stdcall GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT __stdcall Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* info, UINT* badArgument) override;

protected:
    // DISPID_UNKNOWN when there is no such member.
    virtual DISPID IdOfName(const wchar_t* name) = 0;
    // False when there is no member `id`.
    virtual bool InvokeMember(DISPID id, Invocation& call) = 0;
    // Another interface of the object (a pointer into `this`), or nullptr.
    virtual void* OtherInterface(REFIID) { return nullptr; }

private:
    void* Interface(REFIID iid) final {
        return iid == IID_IDispatch ? static_cast<IDispatch*>(this) : OtherInterface(iid);
    }
};

template <class Self>
class TableDispatch : public DispatchObject {
public:
    struct Member {
        const wchar_t* name;
        void (*handler)(Self& self, Invocation& call);
    };

protected:
    DISPID IdOfName(const wchar_t* name) override {
        const auto table = Self::Members();
        for (std::size_t i = 0; i < table.size(); ++i)
            if (_wcsicmp(table[i].name, name) == 0) return static_cast<DISPID>(i + 1);
        return DISPID_UNKNOWN;
    }
    bool InvokeMember(DISPID id, Invocation& call) override {
        const auto table = Self::Members();
        if (id == DISPID_VALUE) id = IdOfName(L"Item");
        if (id < 1 || static_cast<std::size_t>(id) > table.size()) return false;
        table[static_cast<std::size_t>(id - 1)].handler(static_cast<Self&>(*this), call);
        return true;
    }
};

// A new object of ours as the VARIANT result of a member; the object's
// first reference goes to the caller.
Variant Handed(DispatchObject* fresh);

}  // namespace com
