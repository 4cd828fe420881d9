#pragma once
// Test support: the root object a test hands to an add-in. Normally the
// environment itself; in the Windows build's second run of the same tests
// (compiled with TARNWICK_THROUGH_COM) the environment served as automation
// objects and reached again through the contract over the IDE's objects, so
// that every call the add-in makes crosses COM as it does in the VB6 IDE.

#include <memory>

#include "platform/vbide/environment.h"
#ifdef TARNWICK_THROUGH_COM
#include "platform/com/host/through_com.h"
#endif

namespace vbide::testing {

inline VBEPtr VbeUnderTest(const std::shared_ptr<Environment>& env) {
#ifdef TARNWICK_THROUGH_COM
    return com::host::ThroughCom(env);
#else
    return env;
#endif
}

// The environment's own object behind one the add-in holds (through COM,
// the contract over the served object), for the test's own user actions
// such as Environment::Click and Pick.
template <class T>
std::shared_ptr<T> InEnvironment(const std::shared_ptr<T>& object) {
#ifdef TARNWICK_THROUGH_COM
    return com::host::InEnvironment(object);
#else
    return object;
#endif
}

}  // namespace vbide::testing
