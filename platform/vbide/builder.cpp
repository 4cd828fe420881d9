#include "platform/vbide/builder.h"

#include "platform/vbide/model.h"

namespace vbide {

EnvironmentBuilder::ProjectPlan& EnvironmentBuilder::LastProject() {
    if (projects_.empty()) Project("Project1");
    return projects_.back();
}

EnvironmentBuilder& EnvironmentBuilder::Project(const std::string& name) {
    projects_.push_back(ProjectPlan{name, {}, {}});
    return *this;
}

EnvironmentBuilder& EnvironmentBuilder::Component(const std::string& name, vbext_ComponentType type,
                                                  const std::string& text) {
    LastProject().components.push_back(ComponentPlan{name, type, text});
    return *this;
}

EnvironmentBuilder& EnvironmentBuilder::Property(const std::string& section, const std::string& key,
                                                 const std::string& value) {
    LastProject().properties.push_back({section, key, value});
    return *this;
}

EnvironmentBuilder& EnvironmentBuilder::ActiveCodePane() {
    auto& p = LastProject();
    if (p.components.empty()) throw vb::VbError(5, "EnvironmentBuilder", "no component for a code pane");
    activePaneProject_ = static_cast<int>(projects_.size()) - 1;
    activePaneComponent_ = static_cast<int>(p.components.size()) - 1;
    return *this;
}

EnvironmentBuilder& EnvironmentBuilder::ActiveProject() {
    LastProject();
    activeProject_ = static_cast<int>(projects_.size());
    return *this;
}

EnvironmentBuilder& EnvironmentBuilder::NoActiveProject() {
    activeProject_ = -1;
    return *this;
}

std::shared_ptr<Environment> EnvironmentBuilder::Build() {
    auto env = Environment::Create();
    auto& state = env->Internal();
    for (auto& plan : projects_) {
        if (!IsValidName(plan.name)) throw vb::VbError(5, "EnvironmentBuilder", "bad project name " + plan.name);
        auto project = std::make_shared<ProjectImpl>(state.self, plan.name);
        for (auto& cs : plan.components) {
            if (!IsValidName(cs.name) || project->FindComponent(cs.name))
                throw vb::VbError(5, "EnvironmentBuilder", "bad component name " + cs.name);
            auto c = std::make_shared<ComponentImpl>(project, cs.name, cs.type);
            if (cs.type != vbext_ct_ResFile && cs.type != vbext_ct_RelatedDocument) {
                c->module = std::make_shared<ModuleImpl>(c);
                for (auto& line : ModuleText::SplitLines(cs.text)) c->module->text.AppendLine(line, "\r\n");
            }
            project->components.push_back(c);
        }
        for (auto& p : plan.properties) project->store.Write(p[0], p[1], p[2]);
        project->store.MarkSaved();
        state.projects.push_back(project);
    }
    if (!state.projects.empty() && activeProject_ >= 0) {
        std::size_t index = activeProject_ == 0 ? 0 : static_cast<std::size_t>(activeProject_ - 1);
        state.activeProject = state.projects[index];
    }
    if (activePaneProject_ >= 0) {
        auto& c = state.projects[static_cast<std::size_t>(activePaneProject_)]
                      ->components[static_cast<std::size_t>(activePaneComponent_)];
        if (c->module) state.activePane = state.OpenPane(c->module);
    }
    return env;
}

std::shared_ptr<Environment> EnvironmentBuilder::SingleModule(const std::string& text,
                                                              vbext_ComponentType type) {
    std::string name = type == vbext_ct_ClassModule ? "Class1"
                     : type == vbext_ct_VBForm      ? "Form1"
                                                    : "Module1";
    return EnvironmentBuilder().Project("Project1").Component(name, type, text).ActiveCodePane().Build();
}

}  // namespace vbide
