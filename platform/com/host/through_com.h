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

// The environment's own object behind an object reached through COM; the
// object itself when it is the environment's already.
vbide::VBProjectPtr InEnvironment(const vbide::VBProjectPtr& project);
vbide::VBComponentPtr InEnvironment(const vbide::VBComponentPtr& component);
vbide::CodeModulePtr InEnvironment(const vbide::CodeModulePtr& module);
vbide::CodePanePtr InEnvironment(const vbide::CodePanePtr& pane);
vbide::WindowPtr InEnvironment(const vbide::WindowPtr& window);
vbide::CommandBarPtr InEnvironment(const vbide::CommandBarPtr& bar);
vbide::CommandBarControlPtr InEnvironment(const vbide::CommandBarControlPtr& control);

}  // namespace com::host
