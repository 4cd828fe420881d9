#pragma once
// Type information for an event interface of our own, so that a subscriber
// can take each event's DISPID by name (platform/com/events.h) rather than
// assume them: a type library in memory holding the dispinterface and a
// class that raises it, its default source interface.

#include <oaidl.h>

#include <initializer_list>

#include "platform/com/com_ptr.h"

namespace com {

struct EventParam {
    const wchar_t* name;
    VARTYPE type;  // with VT_BYREF for an argument the handler may change
};

struct EventMember {
    const wchar_t* name;
    DISPID id;
    std::initializer_list<EventParam> params;
};

// The class information (a coclass) whose default source interface is the
// dispinterface `iid` named `name` with `events`; nullptr when the system
// cannot build it, so a source without it still raises its events.
ComPtr<ITypeInfo> EventClassInfo(const IID& iid, const wchar_t* name, std::initializer_list<EventMember> events);

}  // namespace com
