// The environment stand-in as automation objects (platform/com/host/serve.h).
// Each class lists the IDE's members of one object; a handler calls the
// contract and hands the result back as a VARIANT.

#include "platform/com/host/serve.h"

#include <cstdint>
#include <map>
#include <span>
#include <typeinfo>
#include <utility>

#include "base/vb_error.h"
#include "platform/com/dispatch.h"
#include "platform/com/event_types.h"
#include "platform/com/events.h"

namespace com::host {

// {7A3C1E52-90B4-4D1F-8E26-3B5F0C9A1D01} and the two after it.
const IID kCommandBarEventsIid = {0x7A3C1E52, 0x90B4, 0x4D1F, {0x8E, 0x26, 0x3B, 0x5F, 0x0C, 0x9A, 0x1D, 0x01}};
const IID kProjectsEventsIid = {0x7A3C1E52, 0x90B4, 0x4D1F, {0x8E, 0x26, 0x3B, 0x5F, 0x0C, 0x9A, 0x1D, 0x02}};
const IID kComponentsEventsIid = {0x7A3C1E52, 0x90B4, 0x4D1F, {0x8E, 0x26, 0x3B, 0x5F, 0x0C, 0x9A, 0x1D, 0x03}};

namespace {

using namespace vbide;
using VbLong = decltype(std::declval<vbide::Windows&>().Count());

// Asked of an automation object to learn whether it is one of ours, and
// which contract object it serves: {4E0B7D61-2C85-4A9E-B1F3-6D2A8C5E7F10}.
const IID kServedIid = {0x4E0B7D61, 0x2C85, 0x4A9E, {0xB1, 0xF3, 0x6D, 0x2A, 0x8C, 0x5E, 0x7F, 0x10}};

struct ServedKey {
    const void* object;
    const std::type_info* type;
    bool operator<(const ServedKey& o) const {
        return object != o.object ? object < o.object : type->before(*o.type);
    }
};

// The live automation object of each served contract object.
std::map<ServedKey, DispatchObject*>& Live() {
    static std::map<ServedKey, DispatchObject*> live;
    return live;
}

// What every served object answers through kServedIid.
struct ServedIdentity {
    std::shared_ptr<void> object;
    const std::type_info* type;
};

template <class T, class Self>
class Served : public TableDispatch<Self> {
public:
    using Contract = T;
    explicit Served(std::shared_ptr<T> object) : object_(std::move(object)), identity_{object_, &typeid(T)} {
        Live()[{object_.get(), &typeid(Self)}] = this;
    }
    ~Served() override { Live().erase({object_.get(), &typeid(Self)}); }
    T* operator->() const { return object_.get(); }

protected:
    void* OtherInterface(REFIID iid) override { return iid == kServedIid ? &identity_ : nullptr; }

private:
    std::shared_ptr<T> object_;
    ServedIdentity identity_;
};

// The served object for `object` (the one that exists, or a new one);
// Nothing for nullptr.
template <class S>
Variant Serve(const std::shared_ptr<typename S::Contract>& object) {
    if (!object) return Variant(static_cast<IDispatch*>(nullptr));
    auto found = Live().find({object.get(), &typeid(S)});
    if (found != Live().end()) return Variant(static_cast<IDispatch*>(found->second));
    return Handed(new S(object));
}

// The contract object behind an argument; Nothing for Nothing; error 5 for
// an object that is not ours or of another kind.
template <class T>
std::shared_ptr<T> Unserved(const Variant& argument) {
    IDispatch* object = argument.AsDispatch();
    if (!object) return nullptr;
    auto served = ServedObject(object, typeid(T));
    if (!served) throw vb::VbError(5);
    return std::static_pointer_cast<T>(served);
}

class HostVBE;
class HostVBProjects;
class HostVBProject;
class HostVBComponents;
class HostVBComponent;
class HostCodeModule;
class HostCodePane;
class HostWindows;
class HostWindow;
class HostCommandBars;
class HostCommandBar;
class HostCommandBarControls;
class HostCommandBarControl;
class HostEvents;

Variant Out(const VBEPtr& o);
Variant Out(const VBProjectsPtr& o);
Variant Out(const VBProjectPtr& o);
Variant Out(const VBComponentsPtr& o);
Variant Out(const VBComponentPtr& o);
Variant Out(const CodeModulePtr& o);
Variant Out(const CodePanePtr& o);
Variant Out(const WindowsPtr& o);
Variant Out(const WindowPtr& o);
Variant Out(const CommandBarsPtr& o);
Variant Out(const CommandBarPtr& o);
Variant Out(const CommandBarControlsPtr& o);
Variant Out(const CommandBarControlPtr& o);
Variant Out(const EventsPtr& o);
Variant Out(const std::string& s) { return Variant(s); }
Variant Out(bool b) { return Variant(b); }
Variant Out(VbLong n) { return Variant(static_cast<std::int32_t>(n)); }

// A handler's body with `s` the served object and `c` the call.
#define MEMBER(name, ...) {L##name, [](Self& s, Invocation& c) { (void)s; (void)c; __VA_ARGS__; }}
#define RESULT(...) c.Return(Out(__VA_ARGS__))
// A read-only property or a method with a result.
#define GETTER(name, ...) MEMBER(name, RESULT(__VA_ARGS__))
// A property with get and put; `put` uses `c.PutValue()`.
#define PROPERTY(name, get, put) MEMBER(name, if (c.IsPut()) { put; } else { RESULT(get); })
#define MEMBERS(...)                                                    \
    static std::span<const Member> Members() {                          \
        static const Member members[] = {__VA_ARGS__};                  \
        return members;                                                 \
    }
// An item by position or by name.
#define ITEM(expr_by_index, expr_by_name)                                                          \
    MEMBER("Item", {                                                                               \
        const Variant key = c.Arg(0);                                                              \
        if (key.Type() == VT_BSTR) RESULT(expr_by_name(key.AsString()));                          \
        else RESULT(expr_by_index(key.AsInt32()));                                                 \
    })

class HostVBE : public Served<VBE, HostVBE> {
public:
    using Served::Served;
    using Self = HostVBE;
    MEMBERS(GETTER("Version", s->Version()),
            GETTER("VBProjects", s->VBProjects()),
            PROPERTY("ActiveVBProject", s->ActiveVBProject(),
                     s->SetActiveVBProject(Unserved<VBProject>(c.PutValue()))),
            PROPERTY("ActiveCodePane", s->ActiveCodePane(), s->SetActiveCodePane(Unserved<CodePane>(c.PutValue()))),
            GETTER("SelectedVBComponent", s->SelectedVBComponent()),
            GETTER("CommandBars", s->CommandBars()),
            GETTER("Windows", s->Windows()),
            GETTER("MainWindow", s->MainWindow()),
            GETTER("Events", s->Events()))
};

class HostVBProjects : public Served<VBProjects, HostVBProjects> {
public:
    using Served::Served;
    using Self = HostVBProjects;
    MEMBERS(GETTER("Count", s->Count()),
            ITEM(s->Item, s->Item),
            // The IDE answers the new projects; here the one the file names.
            GETTER("AddFromFile", s->AddFromFile(c.Str(0))),
            GETTER("VBE", s->VBE()))
};

class HostVBProject : public Served<VBProject, HostVBProject> {
public:
    using Served::Served;
    using Self = HostVBProject;
    MEMBERS(PROPERTY("Name", s->Name(), s->SetName(c.PutValue().AsString())),
            GETTER("FileName", s->FileName()),
            GETTER("VBComponents", s->VBComponents()),
            GETTER("ReadProperty", s->ReadProperty(c.Str(0), c.Str(1))),
            MEMBER("WriteProperty", s->WriteProperty(c.Str(0), c.Str(1), c.Str(2))),
            GETTER("IsDirty", s->IsDirty()),
            GETTER("SaveAs", s->SaveAs(c.Str(0, ""))),
            GETTER("VBE", s->VBE()))
};

class HostVBComponents : public Served<VBComponents, HostVBComponents> {
public:
    using Served::Served;
    using Self = HostVBComponents;
    MEMBERS(GETTER("Count", s->Count()),
            ITEM(s->Item, s->Item),
            GETTER("Add", s->Add(static_cast<vbext_ComponentType>(c.Int(0)))),
            GETTER("Parent", s->Parent()),
            GETTER("VBE", s->VBE()))
};

class HostVBComponent : public Served<VBComponent, HostVBComponent> {
public:
    using Served::Served;
    using Self = HostVBComponent;
    MEMBERS(PROPERTY("Name", s->Name(), s->SetName(c.PutValue().AsString())),
            GETTER("Type", static_cast<VbLong>(s->Type())),
            GETTER("CodeModule", s->CodeModule()),
            GETTER("Collection", s->Collection()),
            GETTER("VBE", s->VBE()))
};

class HostCodeModule : public Served<CodeModule, HostCodeModule> {
public:
    using Served::Served;
    using Self = HostCodeModule;
    static vbext_ProcKind Kind(const Invocation& c, std::size_t i) { return static_cast<vbext_ProcKind>(c.Int(i)); }
    MEMBERS(GETTER("Parent", s->Parent()),
            GETTER("Name", s->Name()),
            GETTER("CodePane", s->CodePane()),
            GETTER("CountOfLines", s->CountOfLines()),
            GETTER("CountOfDeclarationLines", s->CountOfDeclarationLines()),
            GETTER("Lines", s->Lines(c.Int(0), c.Int(1))),
            MEMBER("InsertLines", s->InsertLines(c.Int(0), c.Str(1))),
            MEMBER("ReplaceLine", s->ReplaceLine(c.Int(0), c.Str(1))),
            MEMBER("DeleteLines", s->DeleteLines(c.Int(0), c.Int(1, 1))),
            MEMBER("AddFromString", s->AddFromString(c.Str(0))),
            GETTER("ProcStartLine", s->ProcStartLine(c.Str(0), Kind(c, 1))),
            GETTER("ProcBodyLine", s->ProcBodyLine(c.Str(0), Kind(c, 1))),
            GETTER("ProcCountLines", s->ProcCountLines(c.Str(0), Kind(c, 1))),
            MEMBER("ProcOfLine", {
                vbext_ProcKind kind = vbext_pk_Proc;
                const std::string name = s->ProcOfLine(c.Int(0), kind);
                c.SetRef(1, Variant(static_cast<std::int32_t>(kind)));
                RESULT(name);
            }),
            MEMBER("Find", {
                VbLong at[4] = {c.Int(1), c.Int(2), c.Int(3), c.Int(4)};
                const bool found = s->Find(c.Str(0), at[0], at[1], at[2], at[3], c.Bool(5, false),
                                           c.Bool(6, false), c.Bool(7, false));
                for (std::size_t i = 0; i < 4; ++i) c.SetRef(i + 1, Variant(static_cast<std::int32_t>(at[i])));
                RESULT(found);
            }),
            GETTER("VBE", s->VBE()))
};

class HostCodePane : public Served<CodePane, HostCodePane> {
public:
    using Served::Served;
    using Self = HostCodePane;
    MEMBERS(GETTER("CodeModule", s->CodeModule()),
            PROPERTY("TopLine", s->TopLine(), s->SetTopLine(c.PutValue().AsInt32())),
            GETTER("CountOfVisibleLines", s->CountOfVisibleLines()),
            GETTER("Window", s->Window()),
            MEMBER("Show", s->Show()),
            GETTER("VBE", s->VBE()))
};

class HostWindows : public Served<Windows, HostWindows> {
public:
    using Served::Served;
    using Self = HostWindows;
    MEMBERS(GETTER("Count", s->Count()),
            GETTER("Item", s->Item(c.Int(0))),
            GETTER("VBE", s->VBE()))
};

void* mainWindowHandle = nullptr;

class HostWindow : public Served<Window, HostWindow> {
public:
    using Served::Served;
    using Self = HostWindow;
    static VbLong Handle(Self& s) {
        const bool main = s->Type() == vbext_wt_MainWindow;
        return main ? static_cast<VbLong>(reinterpret_cast<std::intptr_t>(mainWindowHandle)) : 0;
    }
    MEMBERS(GETTER("Caption", s->Caption()),
            GETTER("HWnd", Handle(s)),
            GETTER("Type", static_cast<VbLong>(s->Type())),
            PROPERTY("Visible", s->Visible(), s->SetVisible(c.PutValue().AsBool())),
            MEMBER("Close", s->Close()),
            GETTER("VBE", s->VBE()))
};

class HostCommandBars : public Served<CommandBars, HostCommandBars> {
public:
    using Served::Served;
    using Self = HostCommandBars;
    MEMBERS(GETTER("Count", s->Count()), ITEM(s->Item, s->Item))
};

class HostCommandBar : public Served<CommandBar, HostCommandBar> {
public:
    using Served::Served;
    using Self = HostCommandBar;
    MEMBERS(GETTER("Name", s->Name()),
            GETTER("Controls", s->Controls()),
            PROPERTY("Visible", s->Visible(), s->SetVisible(c.PutValue().AsBool())))
};

class HostCommandBarControls : public Served<CommandBarControls, HostCommandBarControls> {
public:
    using Served::Served;
    using Self = HostCommandBarControls;
    MEMBERS(GETTER("Count", s->Count()),
            ITEM(s->Item, s->Item),
            GETTER("Add", s->Add(static_cast<MsoControlType>(c.Int(0, msoControlButton)), c.Int(1, 0),
                                 c.Str(2, ""), c.Int(3, 0), c.Bool(4, false))))
};

class HostCommandBarControl : public Served<CommandBarControl, HostCommandBarControl> {
public:
    using Served::Served;
    using Self = HostCommandBarControl;
    MEMBERS(GETTER("Type", static_cast<VbLong>(s->Type())),
            GETTER("Id", s->Id()),
            GETTER("Parameter", s->Parameter()),
            PROPERTY("Caption", s->Caption(), s->SetCaption(c.PutValue().AsString())),
            PROPERTY("Visible", s->Visible(), s->SetVisible(c.PutValue().AsBool())),
            PROPERTY("Enabled", s->Enabled(), s->SetEnabled(c.PutValue().AsBool())),
            PROPERTY("Tag", s->Tag(), s->SetTag(c.PutValue().AsString())),
            PROPERTY("TooltipText", s->ToolTipText(), s->SetToolTipText(c.PutValue().AsString())),
            GETTER("Index", s->Index()),
            GETTER("BuiltIn", s->BuiltIn()),
            GETTER("Parent", s->Parent()),
            MEMBER("Delete", s->Delete(c.Bool(0, false))),
            GETTER("CommandBar", s->CommandBar()),
            MEMBER("Clear", s->Clear()),
            MEMBER("AddItem", s->AddItem(c.Str(0), c.Int(1, 0))),
            MEMBER("RemoveItem", s->RemoveItem(c.Int(0))),
            GETTER("ListCount", s->ListCount()),
            GETTER("List", s->List(c.Int(0))),
            PROPERTY("ListIndex", s->ListIndex(), s->SetListIndex(c.PutValue().AsInt32())),
            GETTER("Text", s->Text()))
};

// Event sources: each holds its subscription to the environment and raises
// what arrives to the sinks advised to its connection point. The events'
// DISPIDs are ours, not their order from 1 (kFirstEvent on): the class
// information each source gives names them, and a subscriber must take them
// from it, as it must from any source.
constexpr DISPID kFirstEvent = 0x101;

class HostCommandBarEvents : public EventSource<HostCommandBarEvents> {
public:
    explicit HostCommandBarEvents(CommandBarEventsPtr events)
        : EventSource(kCommandBarEventsIid,
                      EventClassInfo(kCommandBarEventsIid, L"CommandBarEvents",
                                     {{L"Click", kFirstEvent,
                                       {{L"CommandBarControl", VT_DISPATCH},
                                        {L"handled", VT_BOOL | VT_BYREF},
                                        {L"CancelDefault", VT_BOOL | VT_BYREF}}}})),
          events_(std::move(events)) {
        events_->Click = [this](const CommandBarControlPtr& control, bool& handled, bool& cancelDefault) {
            VARIANT_BOOL h = handled ? VARIANT_TRUE : VARIANT_FALSE;
            VARIANT_BOOL c = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
            Fire(kFirstEvent, {Out(control), Variant::RefBool(&h), Variant::RefBool(&c)});
            handled = h != VARIANT_FALSE;
            cancelDefault = c != VARIANT_FALSE;
        };
    }
    static std::span<const Member> Members() { return {}; }

private:
    CommandBarEventsPtr events_;
};

class HostProjectsEvents : public EventSource<HostProjectsEvents> {
public:
    explicit HostProjectsEvents(VBProjectsEventsPtr events)
        : EventSource(kProjectsEventsIid, ClassInfo()), events_(std::move(events)) {
        events_->ItemAdded = [this](const VBProjectPtr& p) { Fire(kFirstEvent, {Out(p)}); };
        events_->ItemRemoved = [this](const VBProjectPtr& p) { Fire(kFirstEvent + 1, {Out(p)}); };
        events_->ItemRenamed = [this](const VBProjectPtr& p, const std::string& old) {
            Fire(kFirstEvent + 2, {Out(p), Out(old)});
        };
        events_->ItemActivated = [this](const VBProjectPtr& p) { Fire(kFirstEvent + 3, {Out(p)}); };
    }
    static ComPtr<ITypeInfo> ClassInfo() {
        const EventParam project{L"VBProject", VT_DISPATCH};
        return EventClassInfo(kProjectsEventsIid, L"VBProjectsEvents",
                              {{L"ItemAdded", kFirstEvent, {project}},
                               {L"ItemRemoved", kFirstEvent + 1, {project}},
                               {L"ItemRenamed", kFirstEvent + 2, {project, {L"OldName", VT_BSTR}}},
                               {L"ItemActivated", kFirstEvent + 3, {project}}});
    }
    static std::span<const Member> Members() { return {}; }

private:
    VBProjectsEventsPtr events_;
};

class HostComponentsEvents : public EventSource<HostComponentsEvents> {
public:
    explicit HostComponentsEvents(VBComponentsEventsPtr events)
        : EventSource(kComponentsEventsIid, ClassInfo()), events_(std::move(events)) {
        events_->ItemAdded = [this](const VBComponentPtr& x) { Fire(kFirstEvent, {Out(x)}); };
        events_->ItemRemoved = [this](const VBComponentPtr& x) { Fire(kFirstEvent + 1, {Out(x)}); };
        events_->ItemRenamed = [this](const VBComponentPtr& x, const std::string& old) {
            Fire(kFirstEvent + 2, {Out(x), Out(old)});
        };
        events_->ItemSelected = [this](const VBComponentPtr& x) { Fire(kFirstEvent + 3, {Out(x)}); };
        events_->ItemActivated = [this](const VBComponentPtr& x) { Fire(kFirstEvent + 4, {Out(x)}); };
        events_->ItemReloaded = [this](const VBComponentPtr& x) { Fire(kFirstEvent + 5, {Out(x)}); };
    }
    static ComPtr<ITypeInfo> ClassInfo() {
        const EventParam component{L"VBComponent", VT_DISPATCH};
        return EventClassInfo(kComponentsEventsIid, L"VBComponentsEvents",
                              {{L"ItemAdded", kFirstEvent, {component}},
                               {L"ItemRemoved", kFirstEvent + 1, {component}},
                               {L"ItemRenamed", kFirstEvent + 2, {component, {L"OldName", VT_BSTR}}},
                               {L"ItemSelected", kFirstEvent + 3, {component}},
                               {L"ItemActivated", kFirstEvent + 4, {component}},
                               {L"ItemReloaded", kFirstEvent + 5, {component}}});
    }
    static std::span<const Member> Members() { return {}; }

private:
    VBComponentsEventsPtr events_;
};

class HostEvents : public Served<Events, HostEvents> {
public:
    using Served::Served;
    using Self = HostEvents;
    MEMBERS(MEMBER("CommandBarEvents", {
                c.Return(Handed(new HostCommandBarEvents(s->CommandBarEvents(Unserved<CommandBarControl>(c.Arg(0))))));
            }),
            MEMBER("VBProjectsEvents", c.Return(Handed(new HostProjectsEvents(s->VBProjectsEvents())))),
            MEMBER("VBComponentsEvents", {
                const auto project = c.Has(0) ? Unserved<VBProject>(c.Arg(0)) : nullptr;
                c.Return(Handed(new HostComponentsEvents(s->VBComponentsEvents(project))));
            }))
};

// The record of a loaded add-in (not an object of the environment).
class HostAddIn : public TableDispatch<HostAddIn> {
public:
    using Self = HostAddIn;
    HostAddIn(VBEPtr vbe, std::string progId, std::string guid, std::string description,
              std::shared_ptr<bool> connected)
        : vbe_(std::move(vbe)), progId_(std::move(progId)), guid_(std::move(guid)),
          description_(std::move(description)), connected_(std::move(connected)) {}
    MEMBERS(GETTER("ProgId", s.progId_),
            GETTER("Guid", s.guid_),
            GETTER("Description", s.description_),
            GETTER("Connect", *s.connected_),
            GETTER("VBE", s.vbe_))

private:
    VBEPtr vbe_;
    std::string progId_, guid_, description_;
    std::shared_ptr<bool> connected_;
};

Variant Out(const VBEPtr& o) { return Serve<HostVBE>(o); }
Variant Out(const VBProjectsPtr& o) { return Serve<HostVBProjects>(o); }
Variant Out(const VBProjectPtr& o) { return Serve<HostVBProject>(o); }
Variant Out(const VBComponentsPtr& o) { return Serve<HostVBComponents>(o); }
Variant Out(const VBComponentPtr& o) { return Serve<HostVBComponent>(o); }
Variant Out(const CodeModulePtr& o) { return Serve<HostCodeModule>(o); }
Variant Out(const CodePanePtr& o) { return Serve<HostCodePane>(o); }
Variant Out(const WindowsPtr& o) { return Serve<HostWindows>(o); }
Variant Out(const WindowPtr& o) { return Serve<HostWindow>(o); }
Variant Out(const CommandBarsPtr& o) { return Serve<HostCommandBars>(o); }
Variant Out(const CommandBarPtr& o) { return Serve<HostCommandBar>(o); }
Variant Out(const CommandBarControlsPtr& o) { return Serve<HostCommandBarControls>(o); }
Variant Out(const CommandBarControlPtr& o) { return Serve<HostCommandBarControl>(o); }
Variant Out(const EventsPtr& o) { return Serve<HostEvents>(o); }

}  // namespace

void SetMainWindowHandle(void* hwnd) { mainWindowHandle = hwnd; }

std::shared_ptr<void> ServedObject(IDispatch* object, const std::type_info& type) {
    void* raw = nullptr;
    if (!object || FAILED(object->QueryInterface(kServedIid, &raw)) || !raw) return nullptr;
    object->Release();  // the answer added a reference, as QueryInterface does
    const auto* identity = static_cast<ServedIdentity*>(raw);
    return *identity->type == type ? identity->object : nullptr;
}

ComPtr<IDispatch> ServeVBE(const std::shared_ptr<VBE>& vbe) {
    Variant root = Out(vbe);
    return ComPtr<IDispatch>(root.AsDispatch());
}

ComPtr<IDispatch> ServeAddIn(const std::shared_ptr<VBE>& vbe, const std::string& progId, const std::string& guid,
                             const std::string& description, std::shared_ptr<bool> connected) {
    return ComPtr<IDispatch>::Adopt(new HostAddIn(vbe, progId, guid, description, std::move(connected)));
}

}  // namespace com::host
