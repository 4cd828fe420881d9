#pragma once
// Builds an environment for tests, in the order a reader expects:
//
//   auto env = vbide::EnvironmentBuilder()
//                  .Project("Project1")
//                  .Component("Module1", vbide::vbext_ct_StdModule,
//                             "Option Explicit\r\n\r\nSub Main()\r\nEnd Sub\r\n")
//                  .Component("Class1", vbide::vbext_ct_ClassModule, "Option Explicit\r\n")
//                  .ActiveCodePane()           // the last component's code pane
//                  .Property("Configurations", "Count", "2")
//                  .Build();
//
//   auto env = vbide::EnvironmentBuilder::SingleModule("Option Explicit\r\n");
//
// Building raises no events; the first project becomes the active one.

#include <memory>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"

namespace vbide {

class EnvironmentBuilder {
public:
    EnvironmentBuilder& Project(const std::string& name);
    // A component of the last project (a project "Project1" is made first
    // when there is none). The text's lines are split at CR LF or LF.
    EnvironmentBuilder& Component(const std::string& name, vbext_ComponentType type,
                                  const std::string& text = {});
    EnvironmentBuilder& Module(const std::string& name, const std::string& text = {}) {
        return Component(name, vbext_ct_StdModule, text);
    }
    EnvironmentBuilder& Class(const std::string& name, const std::string& text = {}) {
        return Component(name, vbext_ct_ClassModule, text);
    }
    // An entry of the last project's property store.
    EnvironmentBuilder& Property(const std::string& section, const std::string& key,
                                 const std::string& value);
    // Opens the last component's code pane and makes it the active one.
    EnvironmentBuilder& ActiveCodePane();
    // Makes the last project the active one.
    EnvironmentBuilder& ActiveProject();
    // Leaves the environment without an active project.
    EnvironmentBuilder& NoActiveProject();

    std::shared_ptr<Environment> Build();

    // One project with one module of `type` whose code pane is active.
    static std::shared_ptr<Environment> SingleModule(const std::string& text,
                                                     vbext_ComponentType type = vbext_ct_StdModule);

private:
    struct ComponentPlan {
        std::string name;
        vbext_ComponentType type;
        std::string text;
    };
    struct ProjectPlan {
        std::string name;
        std::vector<ComponentPlan> components;
        std::vector<std::vector<std::string>> properties;
    };
    ProjectPlan& LastProject();
    std::vector<ProjectPlan> projects_;
    int activeProject_ = 0;  // 1-based; 0 = the first, -1 = none
    int activePaneProject_ = -1;
    int activePaneComponent_ = -1;
};

}  // namespace vbide
