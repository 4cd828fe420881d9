#pragma once
// The contract (contract/vbide.h) over the IDE's automation objects: what an
// add-in DLL hands to its add-in objects, so that their logic runs unchanged
// in the real IDE. Every member is a late-bound call by the IDE's own member
// name (platform/com/caller.h); errors the IDE raises arrive as the same
// vb::VbError numbers. One IDE object is one contract object while it is
// held: identity follows the object's IUnknown. Events are connection-point
// subscriptions, unadvised when the last reference to them goes.
//
// Members the IDE does not have: LoadProblems answers an empty list (the IDE
// shows a project's load problems itself); PendingSave raises 438 unless the
// object offers it (our host does); SaveAs answers the count the object
// returns, 0 when it returns none (the IDE's SaveAs is a Sub).

#include <oaidl.h>

#include "platform/com/ide/remote.h"
#include "contract/vbide.h"

namespace com::ide {

vbide::VBEPtr WrapVBE(IDispatch* vbe);
// The IDE's record of the add-in (OnConnection's AddInInst); Nothing for null.
vbide::AddInPtr WrapAddIn(IDispatch* addIn, const vbide::VBEPtr& vbe);

// The IDE's object behind a contract object made here; nullptr for one
// made elsewhere.
template <class T>
IDispatch* DispatchOf(const std::shared_ptr<T>& object) {
    auto* remote = dynamic_cast<Remote*>(object.get());
    return remote ? remote->Dispatch() : nullptr;
}

}  // namespace com::ide
