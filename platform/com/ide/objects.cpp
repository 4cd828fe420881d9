// The contract's classes over the IDE's automation objects (platform/com/ide/ide.h).
// Each member is the IDE's member of the same name, called late-bound.

#include <utility>

#include "platform/com/events.h"
#include "platform/com/ide/ide.h"
#include "platform/com/ide/remote.h"

namespace com::ide {

namespace {

using namespace vbide;

// Optional arguments the contract spells as 0 or "" travel as missing, so the
// IDE applies its own default ("no id", "at the end").
Variant OrMissing(VbLong value) { return value ? Variant(static_cast<std::int32_t>(value)) : Variant::Missing(); }
Variant OrMissing(const std::string& value) { return value.empty() ? Variant::Missing() : Variant(value); }
Variant I4(VbLong value) { return Variant(static_cast<std::int32_t>(value)); }
Variant ObjectArg(IDispatch* object) { return Variant(object); }

class IdeVBE;
class IdeVBProjects;
class IdeVBProject;
class IdeVBComponents;
class IdeVBComponent;
class IdeCodeModule;
class IdeCodePane;
class IdeWindows;
class IdeWindow;
class IdeCommandBars;
class IdeCommandBar;
class IdeCommandBarControls;
class IdeCommandBarControl;
class IdeEvents;

class IdeVBE : public VBE, public Remote {
public:
    using Remote::Remote;
    std::string Version() override { return Str(L"Version"); }
    VBProjectsPtr VBProjects() override { return Obj<IdeVBProjects>(L"VBProjects"); }
    VBProjectPtr ActiveVBProject() override { return Obj<IdeVBProject>(L"ActiveVBProject"); }
    void SetActiveVBProject(const VBProjectPtr& project) override;
    CodePanePtr ActiveCodePane() override { return Obj<IdeCodePane>(L"ActiveCodePane"); }
    void SetActiveCodePane(const CodePanePtr& pane) override;
    VBComponentPtr SelectedVBComponent() override { return Obj<IdeVBComponent>(L"SelectedVBComponent"); }
    CommandBarsPtr CommandBars() override { return Obj<IdeCommandBars>(L"CommandBars"); }
    WindowsPtr Windows() override { return Obj<IdeWindows>(L"Windows"); }
    WindowPtr MainWindow() override { return Obj<IdeWindow>(L"MainWindow"); }
    EventsPtr Events() override { return Obj<IdeEvents>(L"Events"); }
};

// Members every object below the root has.
#define TARNWICK_IDE_VBE \
    VBEPtr VBE() override { return Obj<IdeVBE>(L"VBE"); }

class IdeVBProjects : public VBProjects, public Remote {
public:
    using Remote::Remote;
    VbLong Count() override { return Int(L"Count"); }
    VBProjectPtr Item(VbLong index) override { return Obj<IdeVBProject>(L"Item", {I4(index)}); }
    VBProjectPtr Item(const std::string& name) override { return Obj<IdeVBProject>(L"Item", {Variant(name)}); }
    // The IDE answers a collection of the new projects; the contract's
    // answer, the project the file names, is the active one afterwards.
    VBProjectPtr AddFromFile(const std::string& fileName) override {
        Call(L"AddFromFile", {Variant(fileName)});
        return VBE()->ActiveVBProject();
    }
    TARNWICK_IDE_VBE
};

class IdeVBProject : public VBProject, public Remote {
public:
    using Remote::Remote;
    std::string Name() override { return Str(L"Name"); }
    void SetName(const std::string& name) override { Put(L"Name", Variant(name)); }
    std::string FileName() override { return Str(L"FileName"); }
    VBComponentsPtr VBComponents() override { return Obj<IdeVBComponents>(L"VBComponents"); }
    std::string ReadProperty(const std::string& section, const std::string& key) override {
        return Call(L"ReadProperty", {Variant(section), Variant(key)}).AsString();
    }
    void WriteProperty(const std::string& section, const std::string& key, const std::string& value) override {
        Call(L"WriteProperty", {Variant(section), Variant(key), Variant(value)});
    }
    bool IsDirty() override { return Bool(L"IsDirty"); }
    std::vector<std::string> LoadProblems() override { return {}; }
    VbLong SaveAs(const std::string& fileName) override {
        const Variant changed = Call(L"SaveAs", {Variant(fileName)});
        return changed.IsEmptyOrNothing() ? 0 : changed.AsInt32();
    }
    std::vector<PendingFile> PendingSave() override { throw vb::VbError(438, "VBProject"); }
    TARNWICK_IDE_VBE
};

class IdeVBComponents : public VBComponents, public Remote {
public:
    using Remote::Remote;
    VbLong Count() override { return Int(L"Count"); }
    VBComponentPtr Item(VbLong index) override { return Obj<IdeVBComponent>(L"Item", {I4(index)}); }
    VBComponentPtr Item(const std::string& name) override {
        return Obj<IdeVBComponent>(L"Item", {Variant(name)});
    }
    VBComponentPtr Add(vbext_ComponentType type) override {
        return Wrap<IdeVBComponent>(Call(L"Add", {I4(type)}));
    }
    VBProjectPtr Parent() override { return Obj<IdeVBProject>(L"Parent"); }
    TARNWICK_IDE_VBE
};

class IdeVBComponent : public VBComponent, public Remote {
public:
    using Remote::Remote;
    std::string Name() override { return Str(L"Name"); }
    void SetName(const std::string& name) override { Put(L"Name", Variant(name)); }
    vbext_ComponentType Type() override { return static_cast<vbext_ComponentType>(Int(L"Type")); }
    CodeModulePtr CodeModule() override { return Obj<IdeCodeModule>(L"CodeModule"); }
    VBComponentsPtr Collection() override { return Obj<IdeVBComponents>(L"Collection"); }
    TARNWICK_IDE_VBE
};

class IdeCodeModule : public CodeModule, public Remote {
public:
    using Remote::Remote;
    VBComponentPtr Parent() override { return Obj<IdeVBComponent>(L"Parent"); }
    std::string Name() override { return Str(L"Name"); }
    CodePanePtr CodePane() override { return Obj<IdeCodePane>(L"CodePane"); }
    VbLong CountOfLines() override { return Int(L"CountOfLines"); }
    VbLong CountOfDeclarationLines() override { return Int(L"CountOfDeclarationLines"); }
    std::string Lines(VbLong startLine, VbLong count) override {
        return Str(L"Lines", {I4(startLine), I4(count)});
    }
    void InsertLines(VbLong line, const std::string& text) override {
        Call(L"InsertLines", {I4(line), Variant(text)});
    }
    void ReplaceLine(VbLong line, const std::string& text) override {
        Call(L"ReplaceLine", {I4(line), Variant(text)});
    }
    void DeleteLines(VbLong startLine, VbLong count) override {
        Call(L"DeleteLines", {I4(startLine), I4(count)});
    }
    void AddFromString(const std::string& text) override { Call(L"AddFromString", {Variant(text)}); }
    VbLong ProcStartLine(const std::string& name, vbext_ProcKind kind) override {
        return Int(L"ProcStartLine", {Variant(name), I4(kind)});
    }
    VbLong ProcBodyLine(const std::string& name, vbext_ProcKind kind) override {
        return Int(L"ProcBodyLine", {Variant(name), I4(kind)});
    }
    VbLong ProcCountLines(const std::string& name, vbext_ProcKind kind) override {
        return Int(L"ProcCountLines", {Variant(name), I4(kind)});
    }
    std::string ProcOfLine(VbLong line, vbext_ProcKind& kind) override {
        std::int32_t procKind = kind;
        std::string name = Str(L"ProcOfLine", {I4(line), Variant::RefInt32(&procKind)});
        kind = static_cast<vbext_ProcKind>(procKind);
        return name;
    }
    bool Find(const std::string& target, VbLong& startLine, VbLong& startColumn, VbLong& endLine,
              VbLong& endColumn, bool wholeWord, bool matchCase, bool patternSearch) override {
        std::int32_t at[4] = {static_cast<std::int32_t>(startLine), static_cast<std::int32_t>(startColumn),
                              static_cast<std::int32_t>(endLine), static_cast<std::int32_t>(endColumn)};
        const bool found = Call(L"Find", {Variant(target), Variant::RefInt32(&at[0]), Variant::RefInt32(&at[1]),
                                          Variant::RefInt32(&at[2]), Variant::RefInt32(&at[3]),
                                          Variant(wholeWord), Variant(matchCase), Variant(patternSearch)})
                               .AsBool();
        startLine = at[0];
        startColumn = at[1];
        endLine = at[2];
        endColumn = at[3];
        return found;
    }
    TARNWICK_IDE_VBE
};

class IdeCodePane : public CodePane, public Remote {
public:
    using Remote::Remote;
    CodeModulePtr CodeModule() override { return Obj<IdeCodeModule>(L"CodeModule"); }
    VbLong TopLine() override { return Int(L"TopLine"); }
    void SetTopLine(VbLong line) override { Put(L"TopLine", I4(line)); }
    VbLong CountOfVisibleLines() override { return Int(L"CountOfVisibleLines"); }
    WindowPtr Window() override { return Obj<IdeWindow>(L"Window"); }
    void Show() override { Call(L"Show"); }
    TARNWICK_IDE_VBE
};

class IdeWindows : public Windows, public Remote {
public:
    using Remote::Remote;
    VbLong Count() override { return Int(L"Count"); }
    WindowPtr Item(VbLong index) override { return Obj<IdeWindow>(L"Item", {I4(index)}); }
    TARNWICK_IDE_VBE
};

class IdeWindow : public Window, public Remote {
public:
    using Remote::Remote;
    std::string Caption() override { return Str(L"Caption"); }
    vbext_WindowType Type() override { return static_cast<vbext_WindowType>(Int(L"Type")); }
    bool Visible() override { return Bool(L"Visible"); }
    void SetVisible(bool visible) override { Put(L"Visible", Variant(visible)); }
    void Close() override { Call(L"Close"); }
    TARNWICK_IDE_VBE
};

class IdeCommandBars : public CommandBars, public Remote {
public:
    using Remote::Remote;
    VbLong Count() override { return Int(L"Count"); }
    CommandBarPtr Item(VbLong index) override { return Obj<IdeCommandBar>(L"Item", {I4(index)}); }
    CommandBarPtr Item(const std::string& name) override { return Obj<IdeCommandBar>(L"Item", {Variant(name)}); }
};

class IdeCommandBar : public CommandBar, public Remote {
public:
    using Remote::Remote;
    std::string Name() override { return Str(L"Name"); }
    CommandBarControlsPtr Controls() override { return Obj<IdeCommandBarControls>(L"Controls"); }
    bool Visible() override { return Bool(L"Visible"); }
    void SetVisible(bool visible) override { Put(L"Visible", Variant(visible)); }
};

class IdeCommandBarControls : public CommandBarControls, public Remote {
public:
    using Remote::Remote;
    VbLong Count() override { return Int(L"Count"); }
    CommandBarControlPtr Item(VbLong index) override { return Obj<IdeCommandBarControl>(L"Item", {I4(index)}); }
    CommandBarControlPtr Item(const std::string& caption) override {
        return Obj<IdeCommandBarControl>(L"Item", {Variant(caption)});
    }
    CommandBarControlPtr Add(MsoControlType type, VbLong id, const std::string& parameter, VbLong before,
                             bool temporary) override {
        const Variant made = Call(L"Add", {I4(type), OrMissing(id), OrMissing(parameter), OrMissing(before),
                                           Variant(temporary)});
        return Wrap<IdeCommandBarControl>(made);
    }
};

class IdeCommandBarControl : public CommandBarControl, public Remote {
public:
    using Remote::Remote;
    MsoControlType Type() override { return static_cast<MsoControlType>(Int(L"Type")); }
    VbLong Id() override { return Int(L"Id"); }
    std::string Parameter() override { return Str(L"Parameter"); }
    std::string Caption() override { return Str(L"Caption"); }
    void SetCaption(const std::string& caption) override { Put(L"Caption", Variant(caption)); }
    bool Visible() override { return Bool(L"Visible"); }
    void SetVisible(bool visible) override { Put(L"Visible", Variant(visible)); }
    bool Enabled() override { return Bool(L"Enabled"); }
    void SetEnabled(bool enabled) override { Put(L"Enabled", Variant(enabled)); }
    std::string Tag() override { return Str(L"Tag"); }
    void SetTag(const std::string& tag) override { Put(L"Tag", Variant(tag)); }
    std::string ToolTipText() override { return Str(L"TooltipText"); }
    void SetToolTipText(const std::string& text) override { Put(L"TooltipText", Variant(text)); }
    VbLong Index() override { return Int(L"Index"); }
    bool BuiltIn() override { return Bool(L"BuiltIn"); }
    CommandBarPtr Parent() override { return Obj<IdeCommandBar>(L"Parent"); }
    void Delete(bool temporary) override { Call(L"Delete", {temporary ? Variant(true) : Variant::Missing()}); }
    CommandBarPtr CommandBar() override { return Obj<IdeCommandBar>(L"CommandBar"); }
    void Clear() override { Call(L"Clear"); }
    void AddItem(const std::string& text, VbLong index) override {
        Call(L"AddItem", {Variant(text), OrMissing(index)});
    }
    void RemoveItem(VbLong index) override { Call(L"RemoveItem", {I4(index)}); }
    VbLong ListCount() override { return Int(L"ListCount"); }
    std::string List(VbLong index) override { return Str(L"List", {I4(index)}); }
    VbLong ListIndex() override { return Int(L"ListIndex"); }
    void SetListIndex(VbLong index) override { Put(L"ListIndex", I4(index)); }
    std::string Text() override { return Str(L"Text"); }
};

// Event sources. Each subscription names the events of its interface in the
// order the interface declares them; a handler receives the position.
class IdeCommandBarEvents : public CommandBarEvents {
public:
    IdeCommandBarEvents(std::shared_ptr<Session> session, IDispatch* source)
        : subscription_(source, {L"Click"}, [this, session](std::size_t event, Invocation& call) {
              if (event != 0 || !Click) return;
              const CommandBarControlPtr control = session->Wrap<IdeCommandBarControl>(call.Arg(0).AsDispatch());
              bool handled = call.Bool(1);
              bool cancelDefault = call.Bool(2);
              Click(control, handled, cancelDefault);
              call.SetRef(1, Variant(handled));
              call.SetRef(2, Variant(cancelDefault));
          }) {}

private:
    Subscription subscription_;
};

class IdeVBProjectsEvents : public VBProjectsEvents {
public:
    IdeVBProjectsEvents(std::shared_ptr<Session> session, IDispatch* source)
        : subscription_(source, {L"ItemAdded", L"ItemRemoved", L"ItemRenamed", L"ItemActivated"},
                        [this, session](std::size_t event, Invocation& call) {
                            const VBProjectPtr project = session->Wrap<IdeVBProject>(call.Arg(0).AsDispatch());
                            if (event == 0 && ItemAdded) ItemAdded(project);
                            if (event == 1 && ItemRemoved) ItemRemoved(project);
                            if (event == 2 && ItemRenamed) ItemRenamed(project, call.Str(1));
                            if (event == 3 && ItemActivated) ItemActivated(project);
                        }) {}

private:
    Subscription subscription_;
};

class IdeVBComponentsEvents : public VBComponentsEvents {
public:
    IdeVBComponentsEvents(std::shared_ptr<Session> session, IDispatch* source)
        : subscription_(source,
                        {L"ItemAdded", L"ItemRemoved", L"ItemRenamed", L"ItemSelected", L"ItemActivated",
                         L"ItemReloaded"},
                        [this, session](std::size_t event, Invocation& call) {
                            const VBComponentPtr component =
                                session->Wrap<IdeVBComponent>(call.Arg(0).AsDispatch());
                            if (event == 0 && ItemAdded) ItemAdded(component);
                            if (event == 1 && ItemRemoved) ItemRemoved(component);
                            if (event == 2 && ItemRenamed) ItemRenamed(component, call.Str(1));
                            if (event == 3 && ItemSelected) ItemSelected(component);
                            if (event == 4 && ItemActivated) ItemActivated(component);
                            if (event == 5 && ItemReloaded) ItemReloaded(component);
                        }) {}

private:
    Subscription subscription_;
};

class IdeEvents : public Events, public Remote {
public:
    using Remote::Remote;
    CommandBarEventsPtr CommandBarEvents(const CommandBarControlPtr& control) override {
        const Variant source = Get(L"CommandBarEvents", {ObjectArg(Required(control))});
        return std::make_shared<IdeCommandBarEvents>(SessionOf(), source.AsDispatch());
    }
    VBProjectsEventsPtr VBProjectsEvents() override {
        const Variant source = Get(L"VBProjectsEvents");
        return std::make_shared<IdeVBProjectsEvents>(SessionOf(), source.AsDispatch());
    }
    VBComponentsEventsPtr VBComponentsEvents(const VBProjectPtr& project) override {
        const Variant source = Get(L"VBComponentsEvents", {ObjectArg(project ? Required(project) : nullptr)});
        return std::make_shared<IdeVBComponentsEvents>(SessionOf(), source.AsDispatch());
    }
};

class IdeAddIn : public AddIn, public Remote {
public:
    using Remote::Remote;
    std::string ProgId() override { return Str(L"ProgId"); }
    std::string Guid() override { return Str(L"Guid"); }
    std::string Description() override { return Str(L"Description"); }
    bool Connect() override { return Bool(L"Connect"); }
    TARNWICK_IDE_VBE
};

void IdeVBE::SetActiveVBProject(const VBProjectPtr& project) {
    PutRef(L"ActiveVBProject", ObjectArg(Required(project)));
}

void IdeVBE::SetActiveCodePane(const CodePanePtr& pane) {
    PutRef(L"ActiveCodePane", ObjectArg(Required(pane)));
}

}  // namespace

void Session::Prune() {
    for (auto it = objects_.begin(); it != objects_.end();)
        it = it->second.expired() ? objects_.erase(it) : std::next(it);
}

vbide::VBEPtr WrapVBE(IDispatch* vbe) { return std::make_shared<Session>()->Wrap<IdeVBE>(vbe); }

vbide::AddInPtr WrapAddIn(IDispatch* addIn, const vbide::VBEPtr& vbe) {
    auto* root = dynamic_cast<IdeVBE*>(vbe.get());
    auto session = root ? root->SessionOf() : std::make_shared<Session>();
    return session->Wrap<IdeAddIn>(addIn);
}

}  // namespace com::ide
