// Projects and components of the environment.

#include <algorithm>

#include "platform/vbide/code_rules.h"
#include "platform/vbide/model.h"
#include "platform/vbide/project_file.h"

namespace vbide {

using rules::EqualsNoCase;

// ---- VBProjects ---------------------------------------------------------------

std::int32_t ProjectsImpl::Count() {
    return static_cast<std::int32_t>(LockEnv(env_)->Internal().projects.size());
}

VBProjectPtr ProjectsImpl::Item(std::int32_t index) {
    auto& list = LockEnv(env_)->Internal().projects;
    if (index < 1 || index > static_cast<std::int32_t>(list.size())) ThrowError(9);
    return list[static_cast<std::size_t>(index - 1)];
}

VBProjectPtr ProjectsImpl::Item(const std::string& name) {
    for (auto& p : LockEnv(env_)->Internal().projects)
        if (EqualsNoCase(p->name, name)) return p;
    ThrowError(9);
}

VBProjectPtr ProjectsImpl::AddFromFile(const std::string& fileName) {
    const OpenResult opened = OpenProjectFile(*LockEnv(env_), fileName);
    if (opened.projects.empty()) throw vb::VbError(5, "VBIDE", fileName + ": no project could be opened");
    return opened.projects.front();
}

VBEPtr ProjectsImpl::VBE() { return LockEnv(env_); }

// ---- VBProject ----------------------------------------------------------------

ProjectImpl::ProjectImpl(std::weak_ptr<Environment> env, std::string name)
    : env(std::move(env)), name(std::move(name)) {}

ProjectImpl::~ProjectImpl() = default;

std::shared_ptr<Environment> ProjectImpl::Env() const { return env.lock(); }

std::string ProjectImpl::Name() {
    Check();
    return name;
}

void ProjectImpl::SetName(const std::string& newName) {
    Check();
    if (!IsValidName(newName)) ThrowError(5);
    if (newName == name) return;
    std::string old = name;
    name = newName;
    dirty = true;
    if (file) ProjectFile::ProjectRenamed(*this);
    if (auto e = Env()) {
        auto self = shared_from_this();
        e->Internal().Notify([](EnvironmentObserver& o) { o.ProjectsChanged(); });
        e->Internal().events->RaiseProject([&](vbide::VBProjectsEvents& ev) {
            if (ev.ItemRenamed) ev.ItemRenamed(self, old);
        });
    }
}

std::string ProjectImpl::FileName() {
    Check();
    return file ? file->path : std::string();
}

VBComponentsPtr ProjectImpl::VBComponents() {
    Check();
    return std::make_shared<ComponentsImpl>(weak_from_this());
}

std::string ProjectImpl::ReadProperty(const std::string& section, const std::string& key) {
    Check();
    auto value = store.Read(section, key);
    if (!value) ThrowError(5);
    return *value;
}

void ProjectImpl::WriteProperty(const std::string& section, const std::string& key,
                                const std::string& value) {
    Check();
    // A section or key that would not read back from the project file, and a
    // value that would break its line, are refused.
    auto bad = [](const std::string& s) {
        return s.find_first_of("\r\n") != std::string::npos;
    };
    if (section.empty() || key.empty() || bad(section) || bad(key) || bad(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos ||
        key.front() == '[')
        ThrowError(5);
    store.Write(section, key, value);
    dirty = true;
}

bool ProjectImpl::IsDirty() {
    Check();
    if (dirty || store.Changed()) return true;
    return std::any_of(components.begin(), components.end(), [](auto& c) { return c->dirty; });
}

std::vector<std::string> ProjectImpl::LoadProblems() {
    Check();
    return loadProblems;
}

std::int32_t ProjectImpl::SaveAs(const std::string& fileName) { return SaveProject(shared_from_this(), fileName); }

std::vector<PendingFile> ProjectImpl::PendingSave() { return vbide::PendingSave(shared_from_this()); }

VBEPtr ProjectImpl::VBE() {
    Check();
    return Env();
}

std::shared_ptr<ComponentImpl> ProjectImpl::FindComponent(const std::string& n) const {
    for (auto& c : components)
        if (EqualsNoCase(c->name, n)) return c;
    return nullptr;
}

std::string ProjectImpl::NextComponentName(vbext_ComponentType type) const {
    std::string base;
    switch (type) {
        case vbext_ct_StdModule: base = "Module"; break;
        case vbext_ct_ClassModule: base = "Class"; break;
        case vbext_ct_VBForm: base = "Form"; break;
        case vbext_ct_VBMDIForm: base = "MDIForm"; break;
        case vbext_ct_MSForm: base = "UserForm"; break;
        case vbext_ct_PropPage: base = "PropertyPage"; break;
        case vbext_ct_UserControl: base = "UserControl"; break;
        case vbext_ct_DocObject: base = "UserDocument"; break;
        case vbext_ct_ActiveXDesigner: base = "Designer"; break;
        default: base = "Component"; break;
    }
    for (int i = 1;; ++i) {
        std::string candidate = base + std::to_string(i);
        if (!FindComponent(candidate)) return candidate;
    }
}

// ---- VBComponents -------------------------------------------------------------

std::shared_ptr<ProjectImpl> ComponentsImpl::Project() {
    auto p = project_.lock();
    if (!p || p->gone) ThrowDisconnected();
    return p;
}

std::int32_t ComponentsImpl::Count() { return static_cast<std::int32_t>(Project()->components.size()); }

VBComponentPtr ComponentsImpl::Item(std::int32_t index) {
    auto p = Project();
    if (index < 1 || index > static_cast<std::int32_t>(p->components.size())) ThrowError(9);
    return p->components[static_cast<std::size_t>(index - 1)];
}

VBComponentPtr ComponentsImpl::Item(const std::string& name) {
    auto c = Project()->FindComponent(name);
    if (!c) ThrowError(9);
    return c;
}

VBComponentPtr ComponentsImpl::Add(vbext_ComponentType type) {
    auto p = Project();
    auto env = p->Env();
    if (!env) ThrowDisconnected();
    return env->AddComponent(p, type);
}

VBProjectPtr ComponentsImpl::Parent() { return Project(); }

VBEPtr ComponentsImpl::VBE() { return Project()->Env(); }

// ---- VBComponent --------------------------------------------------------------

ComponentImpl::ComponentImpl(std::weak_ptr<ProjectImpl> project, std::string name,
                             vbext_ComponentType type)
    : project(std::move(project)), name(std::move(name)), type(type) {}

std::string ComponentImpl::Name() {
    Check();
    return name;
}

void ComponentImpl::SetName(const std::string& newName) {
    Check();
    auto p = Project();
    if (!IsValidName(newName)) ThrowError(5);
    if (newName == name) return;
    if (p) {
        auto other = p->FindComponent(newName);
        if (other && other.get() != this) ThrowError(5);
    }
    std::string old = name;
    name = newName;
    dirty = true;
    if (p) p->dirty = true;
    if (p && p->file) ProjectFile::ComponentRenamed(*p, *this, old);
    if (auto e = p ? p->Env() : nullptr) {
        auto self = shared_from_this();
        e->Internal().Notify([&](EnvironmentObserver& o) { o.ComponentsChanged(p); });
        e->Internal().events->RaiseComponent(p, [&](vbide::VBComponentsEvents& ev) {
            if (ev.ItemRenamed) ev.ItemRenamed(self, old);
        });
    }
}

vbext_ComponentType ComponentImpl::Type() {
    Check();
    return type;
}

CodeModulePtr ComponentImpl::CodeModule() {
    Check();
    return module;
}

VBComponentsPtr ComponentImpl::Collection() {
    Check();
    return std::make_shared<ComponentsImpl>(project);
}

VBEPtr ComponentImpl::VBE() {
    Check();
    auto p = Project();
    return p ? p->Env() : nullptr;
}

}  // namespace vbide
