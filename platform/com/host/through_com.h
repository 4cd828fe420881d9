#pragma once
// For tests that run the add-ins' own behaviour tests through COM
// (platform/vbide/vbe_under_test.h). No Windows header appears here, so the
// tests that include it keep the suite's portable Win32 types.

#include <memory>

#include "contract/vbide.h"

namespace com::host {

// The environment served as automation objects and reached again through
// the contract over the IDE's objects.
vbide::VBEPtr ThroughCom(const std::shared_ptr<vbide::VBE>& vbe);

// The environment's own control behind a control reached through COM; the
// control itself when it is the environment's already.
vbide::CommandBarControlPtr InEnvironment(const vbide::CommandBarControlPtr& control);

}  // namespace com::host
