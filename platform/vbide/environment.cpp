#include "platform/vbide/environment.h"

#include <algorithm>

#include "base/text.h"
#include "platform/vbide/code_rules.h"
#include "platform/vbide/model.h"
#include "platform/vbide/project_file.h"
#include "platform/win/code_page.h"

namespace vbide {

void ThrowDisconnected() {
    throw vb::VbError(kErrDisconnected, "VBIDE",
                      "Automation error\r\nThe object invoked has disconnected from its clients.");
}

void ThrowError(long number) { throw vb::VbError(number, "VBIDE"); }

std::shared_ptr<Environment> LockEnv(const std::weak_ptr<Environment>& env) {
    auto e = env.lock();
    if (!e) ThrowDisconnected();
    return e;
}

bool IsValidName(const std::string& name) {
    const unsigned codePage = win::ProjectCodePage();
    if (!win::IsLeadByte(codePage, 0x81)) return text::IsIdentifier(name);
    // In a double-byte code page a lead byte and the byte after it are one
    // character, a letter of the name wherever it stands; so are the
    // half-width katakana of code page 932. ASCII bytes follow the rule of
    // identifiers.
    if (name.empty() || name.size() > 255) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(name[i]);
        if (win::IsLeadByte(codePage, byte)) {
            if (++i == name.size()) return false;  // a lead byte without its trail byte
        } else if (byte >= 0x80) {
            if (codePage != 932 || byte < 0xA6 || byte > 0xDF) return false;
        } else if (i == 0 ? !text::IsIdentifierStart(name[i]) : !text::IsIdentifierChar(name[i])) {
            return false;
        }
    }
    return true;
}

void Environment::State::Notify(const std::function<void(EnvironmentObserver&)>& f) {
    std::vector<std::shared_ptr<EnvironmentObserver>> live;
    for (auto& w : observers)
        if (auto o = w.lock()) live.push_back(o);
    observers.erase(std::remove_if(observers.begin(), observers.end(),
                                   [](const auto& w) { return w.expired(); }),
                    observers.end());
    for (auto& o : live) f(*o);
}

Environment::Environment() : state_(std::make_unique<State>()) {}

Environment::~Environment() {
    // References that add-ins still hold become disconnected.
    for (auto& p : state_->projects) {
        p->gone = true;
        for (auto& c : p->components) {
            c->gone = true;
            if (c->module) c->module->gone = true;
        }
    }
    for (auto& w : state_->windows) w->gone = true;
}

std::shared_ptr<Environment> Environment::Create() {
    std::shared_ptr<Environment> env(new Environment());
    env->state_->self = env;
    env->state_->events = std::make_shared<EventHub>(env);
    BuildWindows(*env);
    BuildCommandBars(*env);
    return env;
}

std::string Environment::Version() { return "6.00"; }

VBProjectsPtr Environment::VBProjects() { return std::make_shared<ProjectsImpl>(weak_from_this()); }

// While a removed project's removal is told, it may still be the one last
// activated: it is not active any more.
VBProjectPtr Environment::ActiveVBProject() {
    auto project = state_->activeProject.lock();
    return (project && !project->gone) ? project : nullptr;
}

void Environment::SetActiveVBProject(const VBProjectPtr& project) { ActivateProject(project); }

CodePanePtr Environment::ActiveCodePane() {
    auto pane = state_->activePane.lock();
    return (pane && !pane->gone) ? pane : nullptr;
}

void Environment::SetActiveCodePane(const CodePanePtr& pane) {
    auto impl = std::dynamic_pointer_cast<PaneImpl>(pane);
    if (!impl) ThrowError(5);
    impl->Show();
}

VBComponentPtr Environment::SelectedVBComponent() {
    auto c = state_->selectedComponent.lock();
    return (c && !c->gone) ? c : nullptr;
}

CommandBarsPtr Environment::CommandBars() { return std::make_shared<BarsImpl>(weak_from_this()); }

WindowsPtr Environment::Windows() { return std::make_shared<WindowsImpl>(weak_from_this()); }

WindowPtr Environment::MainWindow() {
    for (auto& w : state_->windows)
        if (w->type == vbext_wt_MainWindow) return w;
    return nullptr;
}

EventsPtr Environment::Events() { return state_->events; }

bool Environment::Click(const CommandBarControlPtr& control) {
    auto impl = std::dynamic_pointer_cast<ControlImpl>(control);
    if (!impl) ThrowError(5);
    impl->Check();
    if (!impl->visible || !impl->enabled) ThrowError(5);
    bool handled = false;
    bool cancelDefault = false;
    state_->events->RaiseClick(impl, handled, cancelDefault);
    if (!cancelDefault && impl->defaultAction && !impl->gone) {
        try {
            impl->defaultAction();
        } catch (const std::exception& e) {
            Report(e.what());
        }
    }
    return !cancelDefault;
}

CodePanePtr Environment::PaneOf(const WindowPtr& window) {
    auto impl = std::dynamic_pointer_cast<WindowImpl>(window);
    if (!impl || impl->gone) return nullptr;
    auto pane = impl->pane.lock();
    return (pane && !pane->gone) ? pane : nullptr;
}

std::string Environment::FileNameOf(const VBComponentPtr& component) {
    auto impl = std::dynamic_pointer_cast<ComponentImpl>(component);
    if (!impl) return {};
    return std::string(text::LastPathElement(impl->relativePath));
}

void Environment::Pick(const CommandBarControlPtr& dropDown, long index) {
    if (!dropDown) ThrowError(5);
    if (index < 1 || index > dropDown->ListCount()) ThrowError(5);
    dropDown->SetListIndex(index);
    Click(dropDown);
}

VBProjectPtr Environment::AddProject(const std::string& name) {
    std::string n = name;
    if (n.empty()) {
        do {
            n = "Project" + std::to_string(++state_->projectCounter);
        } while (std::any_of(state_->projects.begin(), state_->projects.end(),
                             [&](auto& p) { return rules::EqualsNoCase(p->name, n); }));
    }
    if (!IsValidName(n)) ThrowError(5);
    auto project = std::make_shared<ProjectImpl>(weak_from_this(), n);
    state_->projects.push_back(project);
    state_->Notify([](EnvironmentObserver& o) { o.ProjectsChanged(); });
    state_->events->RaiseProject([&](vbide::VBProjectsEvents& e) {
        if (e.ItemAdded) e.ItemAdded(project);
    });
    ActivateProject(project);
    return project;
}

VBComponentPtr Environment::AddComponent(const VBProjectPtr& project, vbext_ComponentType type,
                                         const std::string& name, const std::string& text) {
    auto p = std::dynamic_pointer_cast<ProjectImpl>(project);
    if (!p) ThrowError(5);
    p->Check();
    switch (type) {
        case vbext_ct_StdModule: case vbext_ct_ClassModule: case vbext_ct_MSForm:
        case vbext_ct_VBForm: case vbext_ct_VBMDIForm: case vbext_ct_PropPage:
        case vbext_ct_UserControl: case vbext_ct_DocObject: case vbext_ct_ActiveXDesigner:
            break;
        default: ThrowError(5);
    }
    std::string n = name.empty() ? p->NextComponentName(type) : name;
    if (!IsValidName(n) || p->FindComponent(n)) ThrowError(5);
    auto c = std::make_shared<ComponentImpl>(p, n, type);
    c->module = std::make_shared<ModuleImpl>(c);
    for (auto& line : ModuleText::SplitLines(text)) c->module->text.AppendLine(line, "\r\n");
    c->dirty = true;
    p->components.push_back(c);
    p->dirty = true;
    if (p->file) ProjectFile::ComponentAdded(*p, *c);
    state_->Notify([&](EnvironmentObserver& o) { o.ComponentsChanged(p); });
    state_->events->RaiseComponent(p, [&](vbide::VBComponentsEvents& e) {
        if (e.ItemAdded) e.ItemAdded(c);
    });
    return c;
}

void Environment::RemoveComponent(const VBComponentPtr& component) {
    auto c = std::dynamic_pointer_cast<ComponentImpl>(component);
    if (!c) ThrowError(5);
    c->Check();
    auto p = c->Project();
    if (c->module && c->module->pane) state_->ClosePane(c->module->pane);
    if (auto designer = c->designer.lock(); designer && !designer->gone) state_->RemoveWindow(designer);
    state_->events->RaiseComponent(p, [&](vbide::VBComponentsEvents& e) {
        if (e.ItemRemoved) e.ItemRemoved(c);
    });
    if (p) {
        p->components.erase(std::remove(p->components.begin(), p->components.end(), c),
                            p->components.end());
        p->dirty = true;
        if (p->file) ProjectFile::ComponentRemoved(*p, *c);
    }
    c->gone = true;
    if (c->module) c->module->gone = true;
    state_->Notify([&](EnvironmentObserver& o) { o.ComponentsChanged(p); });
}

void Environment::SetHoldsProjectLocks(bool hold) { state_->holdsProjectLocks = hold; }
bool Environment::HoldsProjectLocks() const { return state_->holdsProjectLocks; }

void Environment::RemoveProject(const VBProjectPtr& project) {
    auto p = std::dynamic_pointer_cast<ProjectImpl>(project);
    if (!p) ThrowError(5);
    p->Check();
    for (auto& c : p->components)
        if (c->module && c->module->pane) state_->ClosePane(c->module->pane);
    state_->events->RaiseProject([&](vbide::VBProjectsEvents& e) {
        if (e.ItemRemoved) e.ItemRemoved(p);
    });
    auto& list = state_->projects;
    list.erase(std::remove(list.begin(), list.end(), p), list.end());
    p->gone = true;
    p->lock.reset();
    for (auto& c : p->components) {
        c->gone = true;
        if (c->module) c->module->gone = true;
    }
    state_->Notify([](EnvironmentObserver& o) { o.ProjectsChanged(); });
    if (state_->activeProject.lock() == p || state_->activeProject.expired()) {
        state_->activeProject.reset();
        if (!list.empty()) {
            VBProjectPtr next = list.front();  // a copy: handlers may change the list
            ActivateProject(next);
        }
    }
}

void Environment::ActivateProject(const VBProjectPtr& project) {
    auto p = std::dynamic_pointer_cast<ProjectImpl>(project);
    if (!p || p->Env().get() != this) ThrowError(5);
    p->Check();
    state_->activeProject = p;
    state_->Notify([](EnvironmentObserver& o) { o.ProjectsChanged(); });
    state_->events->RaiseProject([&](vbide::VBProjectsEvents& e) {
        if (e.ItemActivated) e.ItemActivated(p);
    });
}

void Environment::SelectComponent(const VBComponentPtr& component) {
    auto c = std::dynamic_pointer_cast<ComponentImpl>(component);
    if (!c) ThrowError(5);
    c->Check();
    state_->selectedComponent = c;
    auto p = c->Project();
    if (p && state_->activeProject.lock() != p) ActivateProject(p);
    state_->events->RaiseComponent(p, [&](vbide::VBComponentsEvents& e) {
        if (e.ItemSelected) e.ItemSelected(c);
    });
}

CodePanePtr Environment::OpenCodePane(const VBComponentPtr& component) {
    auto c = std::dynamic_pointer_cast<ComponentImpl>(component);
    if (!c) ThrowError(5);
    c->Check();
    if (!c->module) ThrowError(5);
    auto pane = state_->OpenPane(c->module);
    pane->Show();
    return pane;
}

void Environment::EditLines(const CodeModulePtr& module, long startLine, long deleteCount,
                            const std::string& text) {
    auto m = std::dynamic_pointer_cast<ModuleImpl>(module);
    if (!m) ThrowError(5);
    m->Check();
    long count = m->text.Count();
    if (startLine < 1 || deleteCount < 0 || startLine > count + 1 || startLine - 1 + deleteCount > count)
        ThrowError(9);
    auto at = static_cast<std::size_t>(startLine - 1);
    m->text.Erase(at, static_cast<std::size_t>(deleteCount));
    m->text.Insert(at, ModuleText::SplitLines(text));
    m->Changed();
}

WindowPtr Environment::OpenDesigner(const VBComponentPtr& component) {
    auto c = std::dynamic_pointer_cast<ComponentImpl>(component);
    if (!c) ThrowError(5);
    c->Check();
    switch (c->type) {
        case vbext_ct_VBForm: case vbext_ct_VBMDIForm: case vbext_ct_MSForm: case vbext_ct_PropPage:
        case vbext_ct_UserControl: case vbext_ct_DocObject: case vbext_ct_ActiveXDesigner:
            break;
        default: ThrowError(5);
    }
    auto window = c->designer.lock();
    if (!window || window->gone) {
        auto p = c->Project();
        window = state_->AddWindow((p ? p->name + " - " : std::string()) + c->name + " (Designer)",
                                   vbext_wt_Designer, true);
        c->designer = window;
    }
    window->SetVisible(true);
    return window;
}

void Environment::AddObserver(const std::shared_ptr<EnvironmentObserver>& observer) {
    state_->observers.push_back(observer);
}

const std::vector<std::string>& Environment::Reports() const { return state_->reports; }

void Environment::Report(const std::string& message) {
    state_->reports.push_back(message);
    state_->Notify([&](EnvironmentObserver& o) { o.Reported(message); });
}

}  // namespace vbide
