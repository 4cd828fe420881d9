#pragma once
// The classes behind the contract (internal to the environment's library).
// Ownership: the environment's State holds the projects, windows and command
// bars; a project holds its components, a component its code module, a bar
// its controls, a pop-up its own bar. Children point back through weak_ptr,
// so an add-in's reference never keeps a parent alive. A destroyed object is
// marked `gone` and fails every member with kErrDisconnected.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"
#include "platform/vbide/module_text.h"
#include "platform/vbide/property_store.h"
#include "platform/win/save.h"

namespace vbide {

class ProjectImpl;
class ComponentImpl;
class ModuleImpl;
class PaneImpl;
class WindowImpl;
class BarImpl;
class ControlImpl;
class EventHub;
struct ProjectFile;

[[noreturn]] void ThrowDisconnected();
[[noreturn]] void ThrowError(std::int32_t number);
// The environment an object belongs to; fails as disconnected when it is gone.
std::shared_ptr<Environment> LockEnv(const std::weak_ptr<Environment>& env);

class ProjectsImpl : public VBProjects {
public:
    explicit ProjectsImpl(std::weak_ptr<Environment> env) : env_(std::move(env)) {}
    std::int32_t Count() override;
    VBProjectPtr Item(std::int32_t index) override;
    VBProjectPtr Item(const std::string& name) override;
    VBProjectPtr AddFromFile(const std::string& fileName) override;
    VBEPtr VBE() override;

private:
    std::weak_ptr<Environment> env_;
};

class ProjectImpl : public VBProject, public std::enable_shared_from_this<ProjectImpl> {
public:
    ProjectImpl(std::weak_ptr<Environment> env, std::string name);
    ~ProjectImpl() override;
    std::string Name() override;
    void SetName(const std::string& name) override;
    std::string FileName() override;
    VBComponentsPtr VBComponents() override;
    std::string ReadProperty(const std::string& section, const std::string& key) override;
    void WriteProperty(const std::string& section, const std::string& key,
                       const std::string& value) override;
    bool IsDirty() override;
    std::vector<std::string> LoadProblems() override;
    std::int32_t SaveAs(const std::string& fileName) override;
    std::vector<PendingFile> PendingSave() override;
    VBEPtr VBE() override;

    void Check() const { if (gone) ThrowDisconnected(); }
    std::shared_ptr<Environment> Env() const;
    std::shared_ptr<ComponentImpl> FindComponent(const std::string& name) const;
    std::string NextComponentName(vbext_ComponentType type) const;

    std::weak_ptr<Environment> env;
    std::string name;
    std::vector<std::shared_ptr<ComponentImpl>> components;
    PropertyStore store;
    bool dirty = false;
    bool gone = false;
    // The project's files when it was opened from or saved to disk.
    std::unique_ptr<ProjectFile> file;
    std::vector<std::string> loadProblems;
    // The writer lock of the project file, held while the project is open
    // in an environment that holds project locks.
    std::shared_ptr<win::SaveLock> lock;
};

class ComponentsImpl : public VBComponents {
public:
    explicit ComponentsImpl(std::weak_ptr<ProjectImpl> project) : project_(std::move(project)) {}
    std::int32_t Count() override;
    VBComponentPtr Item(std::int32_t index) override;
    VBComponentPtr Item(const std::string& name) override;
    VBComponentPtr Add(vbext_ComponentType type) override;
    VBProjectPtr Parent() override;
    VBEPtr VBE() override;

private:
    std::shared_ptr<ProjectImpl> Project();
    std::weak_ptr<ProjectImpl> project_;
};

class ComponentImpl : public VBComponent, public std::enable_shared_from_this<ComponentImpl> {
public:
    ComponentImpl(std::weak_ptr<ProjectImpl> project, std::string name, vbext_ComponentType type);
    std::string Name() override;
    void SetName(const std::string& name) override;
    vbext_ComponentType Type() override;
    CodeModulePtr CodeModule() override;
    VBComponentsPtr Collection() override;
    VBEPtr VBE() override;

    void Check() const { if (gone) ThrowDisconnected(); }
    std::shared_ptr<ProjectImpl> Project() const { return project.lock(); }

    std::weak_ptr<ProjectImpl> project;
    std::string name;
    vbext_ComponentType type;
    std::shared_ptr<ModuleImpl> module;  // null for components without code
    std::weak_ptr<WindowImpl> designer;  // the open designer window, if any
    bool gone = false;
    bool dirty = false;
    // The module file: the path written in the project file, the resolved
    // path on disk, and whether it could be read.
    std::string relativePath;
    std::string diskPath;
    bool loaded = true;
};

class ModuleImpl : public CodeModule, public std::enable_shared_from_this<ModuleImpl> {
public:
    explicit ModuleImpl(std::weak_ptr<ComponentImpl> component) : component(std::move(component)) {}
    VBComponentPtr Parent() override;
    std::string Name() override;
    CodePanePtr CodePane() override;
    std::int32_t CountOfLines() override;
    std::int32_t CountOfDeclarationLines() override;
    std::string Lines(std::int32_t startLine, std::int32_t count) override;
    void InsertLines(std::int32_t line, const std::string& text) override;
    void ReplaceLine(std::int32_t line, const std::string& text) override;
    void DeleteLines(std::int32_t startLine, std::int32_t count) override;
    void AddFromString(const std::string& text) override;
    std::int32_t ProcStartLine(const std::string& procName, vbext_ProcKind kind) override;
    std::int32_t ProcBodyLine(const std::string& procName, vbext_ProcKind kind) override;
    std::int32_t ProcCountLines(const std::string& procName, vbext_ProcKind kind) override;
    std::string ProcOfLine(std::int32_t line, vbext_ProcKind& kind) override;
    bool Find(const std::string& target, std::int32_t& startLine, std::int32_t& startColumn, std::int32_t& endLine,
              std::int32_t& endColumn, bool wholeWord, bool matchCase, bool patternSearch) override;
    VBEPtr VBE() override;

    void Check() const;
    std::shared_ptr<Environment> Env() const;
    // Marks the module and its project changed and tells the observers.
    void Changed();

    std::weak_ptr<ComponentImpl> component;
    ModuleText text;
    std::shared_ptr<PaneImpl> pane;  // the open code pane, if any
    bool gone = false;
};

class PaneImpl : public CodePane, public std::enable_shared_from_this<PaneImpl> {
public:
    explicit PaneImpl(std::weak_ptr<ModuleImpl> module) : module(std::move(module)) {}
    CodeModulePtr CodeModule() override;
    std::int32_t TopLine() override;
    void SetTopLine(std::int32_t line) override;
    std::int32_t CountOfVisibleLines() override;
    WindowPtr Window() override;
    void Show() override;
    VBEPtr VBE() override;

    void Check() const { if (gone) ThrowDisconnected(); }

    std::weak_ptr<ModuleImpl> module;
    std::weak_ptr<WindowImpl> window;
    std::int32_t topLine = 1;
    bool gone = false;
};

class WindowsImpl : public vbide::Windows {
public:
    explicit WindowsImpl(std::weak_ptr<Environment> env) : env_(std::move(env)) {}
    std::int32_t Count() override;
    WindowPtr Item(std::int32_t index) override;
    VBEPtr VBE() override;

private:
    std::weak_ptr<Environment> env_;
};

class WindowImpl : public vbide::Window, public std::enable_shared_from_this<WindowImpl> {
public:
    WindowImpl(std::weak_ptr<Environment> env, std::string caption, vbext_WindowType type,
               bool visible)
        : env(std::move(env)), caption(std::move(caption)), type(type), visible(visible) {}
    std::string Caption() override;
    vbext_WindowType Type() override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    void Close() override;
    VBEPtr VBE() override;

    void Check() const { if (gone) ThrowDisconnected(); }

    std::weak_ptr<Environment> env;
    std::string caption;
    vbext_WindowType type;
    bool visible;
    std::weak_ptr<PaneImpl> pane;  // code windows
    bool gone = false;
};

class BarsImpl : public vbide::CommandBars {
public:
    explicit BarsImpl(std::weak_ptr<Environment> env) : env_(std::move(env)) {}
    std::int32_t Count() override;
    CommandBarPtr Item(std::int32_t index) override;
    CommandBarPtr Item(const std::string& name) override;

private:
    std::weak_ptr<Environment> env_;
};

class BarImpl : public vbide::CommandBar, public std::enable_shared_from_this<BarImpl> {
public:
    BarImpl(std::weak_ptr<Environment> env, std::string name) : env(std::move(env)), name(std::move(name)) {}
    std::string Name() override;
    CommandBarControlsPtr Controls() override;
    bool Visible() override;
    void SetVisible(bool visible) override;

    // Builds a built-in control (used when the environment lays out its bars).
    std::shared_ptr<ControlImpl> AddBuiltIn(MsoControlType type, std::int32_t id, const std::string& caption);

    std::weak_ptr<Environment> env;
    std::string name;
    std::vector<std::shared_ptr<ControlImpl>> controls;
    std::weak_ptr<ControlImpl> owner;  // the pop-up whose menu this is
    bool visible = true;
    bool gone = false;
};

class ControlsImpl : public CommandBarControls {
public:
    explicit ControlsImpl(std::weak_ptr<BarImpl> bar) : bar_(std::move(bar)) {}
    std::int32_t Count() override;
    CommandBarControlPtr Item(std::int32_t index) override;
    CommandBarControlPtr Item(const std::string& caption) override;
    CommandBarControlPtr Add(MsoControlType type, std::int32_t id, const std::string& parameter,
                             std::int32_t before, bool temporary) override;

private:
    std::shared_ptr<BarImpl> Bar();
    std::weak_ptr<BarImpl> bar_;
};

class ControlImpl : public CommandBarControl, public std::enable_shared_from_this<ControlImpl> {
public:
    ControlImpl(std::weak_ptr<BarImpl> parent, MsoControlType type) : parent(std::move(parent)), type(type) {}
    MsoControlType Type() override;
    std::int32_t Id() override;
    std::string Parameter() override;
    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    bool Enabled() override;
    void SetEnabled(bool enabled) override;
    std::string Tag() override;
    void SetTag(const std::string& tag) override;
    std::string ToolTipText() override;
    void SetToolTipText(const std::string& text) override;
    std::int32_t Index() override;
    bool BuiltIn() override;
    CommandBarPtr Parent() override;
    void Delete(bool temporary) override;
    CommandBarPtr CommandBar() override;
    void Clear() override;
    void AddItem(const std::string& text, std::int32_t index) override;
    void RemoveItem(std::int32_t index) override;
    std::int32_t ListCount() override;
    std::string List(std::int32_t index) override;
    std::int32_t ListIndex() override;
    void SetListIndex(std::int32_t index) override;
    std::string Text() override;

    void Check() const { if (gone) ThrowDisconnected(); }
    void CheckList() const;
    void Notify();

    std::weak_ptr<BarImpl> parent;
    MsoControlType type;
    std::int32_t id = 0;
    std::string parameter;
    std::string caption;
    std::string tag;
    std::string toolTip;
    bool visible = true;
    bool enabled = true;
    bool builtIn = false;
    bool temporary = false;
    std::shared_ptr<BarImpl> popup;  // a pop-up's own bar
    std::vector<std::string> list;
    std::int32_t listIndex = 0;
    // The environment's own command for a built-in control.
    std::function<void()> defaultAction;
    bool gone = false;
};

class EventHub : public vbide::Events {
public:
    explicit EventHub(std::weak_ptr<Environment> env) : env_(std::move(env)) {}
    CommandBarEventsPtr CommandBarEvents(const CommandBarControlPtr& control) override;
    VBProjectsEventsPtr VBProjectsEvents() override;
    VBComponentsEventsPtr VBComponentsEvents(const VBProjectPtr& project) override;

    void RaiseClick(const std::shared_ptr<ControlImpl>& control, bool& handled, bool& cancelDefault);
    void RaiseProject(const std::function<void(vbide::VBProjectsEvents&)>& call);
    void RaiseComponent(const std::shared_ptr<ProjectImpl>& project,
                        const std::function<void(vbide::VBComponentsEvents&)>& call);

private:
    struct ClickSub {
        std::weak_ptr<ControlImpl> control;
        std::weak_ptr<vbide::CommandBarEvents> events;
    };
    struct ComponentSub {
        bool allProjects;
        std::weak_ptr<ProjectImpl> project;
        std::weak_ptr<vbide::VBComponentsEvents> events;
    };
    void Report(const std::exception& e);
    std::weak_ptr<Environment> env_;
    std::vector<ClickSub> clicks_;
    std::vector<std::weak_ptr<vbide::VBProjectsEvents>> projects_;
    std::vector<ComponentSub> components_;
};

struct Environment::State {
    std::weak_ptr<Environment> self;
    std::vector<std::shared_ptr<ProjectImpl>> projects;
    std::weak_ptr<ProjectImpl> activeProject;
    std::weak_ptr<PaneImpl> activePane;
    std::weak_ptr<ComponentImpl> selectedComponent;
    std::vector<std::shared_ptr<WindowImpl>> windows;
    std::vector<std::shared_ptr<BarImpl>> bars;
    std::shared_ptr<EventHub> events;
    std::vector<std::weak_ptr<EnvironmentObserver>> observers;
    std::vector<std::string> reports;
    int projectCounter = 0;
    bool holdsProjectLocks = false;

    // Calls `f` on every live observer.
    void Notify(const std::function<void(EnvironmentObserver&)>& f);
    std::shared_ptr<WindowImpl> AddWindow(const std::string& caption, vbext_WindowType type,
                                          bool visible);
    void RemoveWindow(const std::shared_ptr<WindowImpl>& window);
    std::shared_ptr<PaneImpl> OpenPane(const std::shared_ptr<ModuleImpl>& module);
    // Takes the pane by value: callers pass the module's own pointer, which
    // closing resets.
    void ClosePane(std::shared_ptr<PaneImpl> pane);
};

// Builds the environment's windows and command bars (command_bars.cpp,
// windows.cpp).
void BuildCommandBars(Environment& env);
void BuildWindows(Environment& env);

// True when `name` is a valid identifier for a project or component.
bool IsValidName(const std::string& name);

}  // namespace vbide
