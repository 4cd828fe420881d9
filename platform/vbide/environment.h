#pragma once
// The environment: the in-memory implementation of the extensibility model
// (contract/vbide.h), plus what a user interface or a test needs to drive it as
// a user would (click a command, pick a drop-down entry, add a project or a
// component, open and activate code panes) and to follow its changes.
//
//   auto env = vbide::Environment::Create();
//   auto project = env->AddProject("Project1");
//   auto module = env->AddComponent(project, vbide::vbext_ct_StdModule, "Module1",
//                                   "Option Explicit\r\n");
//   env->OpenCodePane(module);                 // the active code pane
//   env->Click(env->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")
//                  ->CommandBar()->Controls()->Item(1));

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace vbide {

// A view that follows the environment (the environment window, a test).
// Every notification comes after the change; default implementations do
// nothing.
class EnvironmentObserver {
public:
    virtual ~EnvironmentObserver() = default;
    // A control was added to or removed from `bar`.
    virtual void ControlsChanged(const CommandBarPtr& /*bar*/) {}
    // A control's caption, visibility, enabled state or list changed.
    virtual void ControlChanged(const CommandBarControlPtr& /*control*/) {}
    // A window was added to or removed from Windows.
    virtual void WindowsChanged() {}
    virtual void WindowVisibleChanged(const WindowPtr& /*window*/) {}
    // A project was added, removed, renamed or activated.
    virtual void ProjectsChanged() {}
    // A component of `project` was added, removed or renamed.
    virtual void ComponentsChanged(const VBProjectPtr& /*project*/) {}
    // The lines of a code module changed.
    virtual void CodeChanged(const CodeModulePtr& /*module*/) {}
    virtual void TopLineChanged(const CodePanePtr& /*pane*/) {}
    virtual void ActiveCodePaneChanged(const CodePanePtr& /*pane*/) {}
    // The environment reports a failure to the user (a handler that failed,
    // an add-in that did not load, a module file that is missing).
    virtual void Reported(const std::string& /*message*/) {}
};

class Environment : public VBE, public std::enable_shared_from_this<Environment> {
public:
    // A new environment with its windows and command bars and no project.
    static std::shared_ptr<Environment> Create();
    ~Environment() override;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // VBE
    std::string Version() override;
    VBProjectsPtr VBProjects() override;
    VBProjectPtr ActiveVBProject() override;
    void SetActiveVBProject(const VBProjectPtr& project) override;
    CodePanePtr ActiveCodePane() override;
    void SetActiveCodePane(const CodePanePtr& pane) override;
    VBComponentPtr SelectedVBComponent() override;
    CommandBarsPtr CommandBars() override;
    WindowsPtr Windows() override;
    WindowPtr MainWindow() override;
    EventsPtr Events() override;

    // ---- User actions -------------------------------------------------------
    // Chooses a control as the user does: raises its CommandBarEvents Click
    // and, unless a handler set CancelDefault, runs the environment's own
    // command for it (built-in commands only). Answers whether the default
    // went ahead: false when a handler cancelled it, so that a user
    // interface knows whether to run its own command for the control. A
    // handler's failure is reported (Reported) and the next handler still
    // runs. Error 5 for a hidden or disabled control.
    bool Click(const CommandBarControlPtr& control);
    // Picks entry `index` (1-based) of a drop-down, then raises its Click.
    void Pick(const CommandBarControlPtr& dropDown, std::int32_t index);
    // Adds a new project (a fresh "ProjectN" name when `name` is empty),
    // raises ItemAdded, and makes it the active project (ItemActivated).
    VBProjectPtr AddProject(const std::string& name = {});
    // Adds a component with its code text (lines split at CR LF or LF) and
    // raises the component events' ItemAdded. An empty name takes the next
    // default name of the type (Module1, Class1, Form1, ...). Error 5 for a
    // name that is invalid or taken.
    VBComponentPtr AddComponent(const VBProjectPtr& project, vbext_ComponentType type,
                                const std::string& name = {}, const std::string& text = {});
    // Removes a component (ItemRemoved); its code window closes.
    void RemoveComponent(const VBComponentPtr& component);
    // Removes a project (ItemRemoved); another project becomes active.
    void RemoveProject(const VBProjectPtr& project);
    // Makes a project the active one (raises ItemActivated).
    void ActivateProject(const VBProjectPtr& project);
    // Selects a component in the project window (ItemSelected); its project
    // becomes the active one.
    void SelectComponent(const VBComponentPtr& component);
    // Opens (or shows) the component's code window and makes its code pane
    // the active one (the component events' ItemActivated when it was not).
    CodePanePtr OpenCodePane(const VBComponentPtr& component);
    // The user's own edit in a code window: replaces `deleteCount` lines from
    // `startLine` with the lines of `text` (none when empty). Unlike
    // CodeModule.InsertLines nothing is checked: the editor takes what the
    // user types. Error 9 for a range outside the module.
    void EditLines(const CodeModulePtr& module, std::int32_t startLine, std::int32_t deleteCount,
                   const std::string& text);
    // Opens (or shows) the designer window of a component that has one
    // (forms, user controls, property pages, documents, designers); error 5
    // for modules and classes.
    WindowPtr OpenDesigner(const VBComponentPtr& component);

    // ---- What a user interface shows beyond the contract ------------------
    // The code pane a code window shows; nullptr for other windows and for
    // a window or pane that is gone.
    CodePanePtr PaneOf(const WindowPtr& window);
    // The module file as the project file names it ("Module1.bas"); "" for
    // a component never saved.
    std::string FileNameOf(const VBComponentPtr& component);

    // The built-in control with command id `id` (vbide::BuiltInCommand),
    // searched through every bar and menu, the first found; nullptr when
    // there is none (an add-in deleted it).
    CommandBarControlPtr FindControl(std::int32_t id);

    // ---- Following the environment -------------------------------------------
    // Observers are held weakly: dropping the observer ends its notifications.
    void AddObserver(const std::shared_ptr<EnvironmentObserver>& observer);
    // Whether a project opened from disk keeps its project file's writer
    // lock until it is removed (false by default), so that a command's read,
    // change and save of it is not interleaved with another program's save.
    void SetHoldsProjectLocks(bool hold);
    bool HoldsProjectLocks() const;

    // Every failure the environment reported, oldest first.
    const std::vector<std::string>& Reports() const;
    void Report(const std::string& message);

    // The environment's internals, shared by its implementation files.
    struct State;
    State& Internal() { return *state_; }

private:
    Environment();
    std::unique_ptr<State> state_;
};

}  // namespace vbide
