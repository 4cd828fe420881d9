// Command bars: the menu bar with its menus, the toolbars, and their controls.

#include "platform/vbide/command_bars.h"

#include <algorithm>

#include "base/text.h"
#include "platform/vbide/code_rules.h"
#include "platform/vbide/model.h"

namespace vbide {

namespace {

bool SameCaption(const std::string& a, const std::string& b) {
    return rules::EqualsNoCase(text::StripAccessKeys(a), text::StripAccessKeys(b));
}

void NotifyControls(const std::shared_ptr<BarImpl>& bar) {
    if (auto e = bar->env.lock())
        e->Internal().Notify([&](EnvironmentObserver& o) { o.ControlsChanged(bar); });
}

void MarkGone(ControlImpl& control) {
    control.gone = true;
    if (control.popup) {
        control.popup->gone = true;
        for (auto& child : control.popup->controls) MarkGone(*child);
    }
}

// The layout of the built-in bars: a menu's caption, then its commands.
struct MenuLayout {
    const char* caption;
    std::vector<const char*> commands;
};

const std::vector<MenuLayout>& MenuBarLayout() {
    static const std::vector<MenuLayout> layout = {
        {"&File", {"&New Project", "&Open Project...", "Add Projec&t...", "Remo&ve Project",
                   "Sa&ve Project", "Sav&e Project As...", "&Save", "Save &As...",
                   "&Print...", "Print Set&up...", "Ma&ke...", "Make Project &Group...",
                   "E&xit"}},
        {"&Edit", {"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "&Remove", "&Delete",
                   "Select &All", "&Find...", "Find &Next", "R&eplace...", "&Indent",
                   "&Outdent", "Insert Fil&e...", "List Properties/Meth&ods",
                   "List Const&ants", "&Quick Info", "Parameter Inf&o", "Complete &Word",
                   "&Bookmarks"}},
        {"&View", {"&Code", "O&bject", "&Definition", "&Last Position", "Object &Browser",
                   "&Immediate Window", "Loc&als Window", "Watc&h Window", "Call Stac&k...",
                   "Pro&ject Explorer", "Properties &Window", "Form &Layout Window",
                   "Property Pa&ges", "T&oolbox", "Data View Windo&w", "Color Pal&ette",
                   "&Toolbars", "Component &Manager"}},
        {"&Project", {"Add &Form", "Add &MDI Form", "Add Mod&ule", "Add &Class Module",
                      "Add &User Control", "Add Property &Page", "Add User &Document",
                      "Add &File...", "&Remove", "Re&ferences...", "Compo&nents...",
                      "Project Propert&ies..."}},
        {"F&ormat", {"&Align", "Make &Same Size", "Size to Gr&id", "&Horizontal Spacing",
                     "&Vertical Spacing", "&Center in Form", "&Order", "&Lock Controls"}},
        {"&Debug", {"Step &Into", "Step &Over", "Step O&ut", "&Run To Cursor",
                    "&Add Watch...", "&Edit Watch...", "&Quick Watch...",
                    "Toggle &Breakpoint", "&Clear All Breakpoints", "Set &Next Statement",
                    "Show Ne&xt Statement"}},
        {"&Run", {"&Start", "Start With &Full Compile", "&Break", "&End", "&Restart"}},
        {"&Tools", {"Add &Procedure...", "Procedure Attri&butes...", "&Menu Editor...",
                    "&Options..."}},
        {"&Add-Ins", {"&Add-In Manager...", "&Visual Data Manager..."}},
        {"&Window", {"&Split", "Tile &Horizontally", "Tile &Vertically", "&Cascade",
                     "&Arrange Icons"}},
        {"&Help", {"&Contents", "&Index", "&Search...", "Technical Suppor&t...",
                   "&About..."}},
    };
    return layout;
}

const std::vector<const char*>& StandardLayout() {
    static const std::vector<const char*> layout = {
        "Add Standard EXE Project", "Add Form", "Menu Editor", "Open Project", "Save Project",
        "Cut", "Copy", "Paste", "Find", "Undo", "Redo", "Start", "Break", "End",
        "Project Explorer", "Properties Window", "Form Layout Window", "Object Browser",
        "Toolbox", "Data View Window", "Component Manager"};
    return layout;
}

// The environment's own command behind a built-in control, when it has one
// that changes the model: showing a window, adding a project or a component.
std::function<void()> DefaultAction(const std::weak_ptr<Environment>& weakEnv,
                                    const std::string& caption) {
    auto showWindow = [weakEnv](vbext_WindowType type) {
        return std::function<void()>([weakEnv, type] {
            auto e = weakEnv.lock();
            if (!e) return;
            for (auto& w : e->Internal().windows)
                if (w->type == type) {
                    w->SetVisible(true);
                    return;
                }
        });
    };
    auto addComponent = [weakEnv](vbext_ComponentType type) {
        return std::function<void()>([weakEnv, type] {
            auto e = weakEnv.lock();
            if (!e) return;
            auto project = e->ActiveVBProject();
            if (!project) ThrowError(5);
            auto c = e->AddComponent(project, type);
            e->OpenCodePane(c);
        });
    };
    const std::string plain = text::StripAccessKeys(caption);
    struct { const char* caption; vbext_WindowType type; } windows[] = {
        {"Object Browser", vbext_wt_Browser}, {"Immediate Window", vbext_wt_Immediate},
        {"Locals Window", vbext_wt_Locals}, {"Watch Window", vbext_wt_Watch},
        {"Project Explorer", vbext_wt_ProjectWindow}, {"Properties Window", vbext_wt_PropertyWindow},
        {"Form Layout Window", vbext_wt_Preview}, {"Toolbox", vbext_wt_Toolbox},
        {"Color Palette", vbext_wt_ColorPalette}, {"Data View Window", vbext_wt_ToolWindow},
    };
    for (auto& w : windows)
        if (plain == w.caption) return showWindow(w.type);
    struct { const char* caption; vbext_ComponentType type; } adds[] = {
        {"Add Form", vbext_ct_VBForm}, {"Add MDI Form", vbext_ct_VBMDIForm},
        {"Add Module", vbext_ct_StdModule}, {"Add Class Module", vbext_ct_ClassModule},
        {"Add User Control", vbext_ct_UserControl}, {"Add Property Page", vbext_ct_PropPage},
        {"Add User Document", vbext_ct_DocObject},
    };
    for (auto& a : adds)
        if (plain == a.caption) return addComponent(a.type);
    if (plain == "New Project" || plain == "Add Standard EXE Project")
        return [weakEnv] {
            if (auto e = weakEnv.lock()) e->AddProject();
        };
    return {};
}

// The id of a built-in command: its fixed one when a user interface runs it,
// else the next free one.
std::int32_t CommandId(const std::string& caption, std::int32_t& next) {
    static const struct { const char* caption; std::int32_t id; } fixed[] = {
        {"Open Project", kCmdOpenProject}, {"Add Project", kCmdAddProject},
        {"Remove Project", kCmdRemoveProject}, {"Save Project", kCmdSaveProject},
        {"Save Project As", kCmdSaveProjectAs}, {"Save", kCmdSave}, {"Save As", kCmdSaveAs},
        {"Exit", kCmdExit}, {"Undo", kCmdUndo}, {"Redo", kCmdRedo}, {"Cut", kCmdCut},
        {"Copy", kCmdCopy}, {"Paste", kCmdPaste}, {"Delete", kCmdDelete},
        {"Select All", kCmdSelectAll}, {"Find", kCmdFind}, {"Find Next", kCmdFindNext},
        {"Code", kCmdViewCode}, {"Add-In Manager", kCmdAddInManager},
        {"Tile Horizontally", kCmdTileHorizontally}, {"Tile Vertically", kCmdTileVertically},
        {"Cascade", kCmdCascade}, {"About", kCmdAbout}, {"New Project", kCmdNewProject},
        {"Add Standard EXE Project", kCmdAddStandardExe}, {"Add Form", kCmdAddForm},
        {"Menu Editor", kCmdMenuEditor}, {"Print", kCmdPrint}, {"Replace", kCmdReplace},
        {"Object Browser", kCmdObjectBrowser}, {"Immediate Window", kCmdImmediateWindow},
        {"Project Explorer", kCmdProjectExplorer}, {"Properties Window", kCmdPropertiesWindow},
        {"Form Layout Window", kCmdFormLayoutWindow}, {"Toolbox", kCmdToolbox},
        {"Data View Window", kCmdDataViewWindow}, {"Component Manager", kCmdComponentManager},
        {"Start", kCmdStart}, {"Break", kCmdBreak}, {"End", kCmdEnd},
    };
    std::string plain = text::StripAccessKeys(caption);
    if (plain.size() > 3 && plain.compare(plain.size() - 3, 3, "...") == 0) plain.resize(plain.size() - 3);
    for (const auto& f : fixed)
        if (plain == f.caption) return f.id;
    return ++next;
}

}  // namespace

void BuildCommandBars(Environment& env) {
    auto& s = env.Internal();
    std::int32_t id = 30000;
    auto menuBar = std::make_shared<BarImpl>(s.self, "Menu Bar");
    for (const auto& menu : MenuBarLayout()) {
        const std::int32_t menuId = std::string(menu.caption) == "&File" ? kCmdFileMenu : ++id;
        auto popup = menuBar->AddBuiltIn(msoControlPopup, menuId, menu.caption);
        for (const char* command : menu.commands) {
            auto c = popup->popup->AddBuiltIn(msoControlButton, CommandId(command, id), command);
            c->defaultAction = DefaultAction(s.self, command);
        }
    }
    s.bars.push_back(menuBar);
    auto standard = std::make_shared<BarImpl>(s.self, "Standard");
    for (const char* command : StandardLayout()) {
        auto c = standard->AddBuiltIn(msoControlButton, CommandId(command, id), command);
        c->toolTip = command;
        c->defaultAction = DefaultAction(s.self, command);
    }
    s.bars.push_back(standard);
    auto edit = std::make_shared<BarImpl>(s.self, "Edit");
    for (const char* command : {"Indent", "Outdent", "Toggle Breakpoint", "Comment Block",
                                "Uncomment Block", "Toggle Bookmark"})
        edit->AddBuiltIn(msoControlButton, CommandId(command, id), command);
    edit->visible = false;
    s.bars.push_back(edit);
    auto debug = std::make_shared<BarImpl>(s.self, "Debug");
    for (const char* command : {"Start", "Break", "End", "Toggle Breakpoint", "Step Into",
                                "Step Over", "Step Out", "Locals Window", "Immediate Window",
                                "Watch Window", "Quick Watch", "Call Stack"}) {
        auto c = debug->AddBuiltIn(msoControlButton, CommandId(command, id), command);
        c->defaultAction = DefaultAction(s.self, command);
    }
    debug->visible = false;
    s.bars.push_back(debug);
}

namespace {

std::shared_ptr<ControlImpl> FindIn(const BarImpl& bar, std::int32_t id) {
    for (const auto& c : bar.controls) {
        if (c->builtIn && c->id == id) return c;
        if (c->popup)
            if (auto found = FindIn(*c->popup, id)) return found;
    }
    return nullptr;
}

}  // namespace

CommandBarControlPtr Environment::FindControl(std::int32_t id) {
    for (const auto& bar : Internal().bars)
        if (auto found = FindIn(*bar, id)) return found;
    return nullptr;
}

// ---- CommandBars --------------------------------------------------------------

std::int32_t BarsImpl::Count() { return static_cast<std::int32_t>(LockEnv(env_)->Internal().bars.size()); }

CommandBarPtr BarsImpl::Item(std::int32_t index) {
    auto& bars = LockEnv(env_)->Internal().bars;
    if (index < 1 || index > static_cast<std::int32_t>(bars.size())) ThrowError(5);
    return bars[static_cast<std::size_t>(index - 1)];
}

CommandBarPtr BarsImpl::Item(const std::string& name) {
    for (auto& b : LockEnv(env_)->Internal().bars)
        if (SameCaption(b->name, name)) return b;
    ThrowError(5);
}

// ---- CommandBar ---------------------------------------------------------------

std::string BarImpl::Name() {
    if (gone) ThrowDisconnected();
    return name;
}

CommandBarControlsPtr BarImpl::Controls() {
    if (gone) ThrowDisconnected();
    return std::make_shared<ControlsImpl>(weak_from_this());
}

bool BarImpl::Visible() {
    if (gone) ThrowDisconnected();
    return visible;
}

void BarImpl::SetVisible(bool value) {
    if (gone) ThrowDisconnected();
    visible = value;
    NotifyControls(shared_from_this());
}

std::shared_ptr<ControlImpl> BarImpl::AddBuiltIn(MsoControlType type, std::int32_t id,
                                                 const std::string& caption) {
    auto c = std::make_shared<ControlImpl>(weak_from_this(), type);
    c->id = id;
    c->caption = caption;
    c->builtIn = true;
    if (type == msoControlPopup) {
        c->popup = std::make_shared<BarImpl>(env, text::StripAccessKeys(caption));
        c->popup->owner = c;
    }
    controls.push_back(c);
    return c;
}

// ---- CommandBarControls -------------------------------------------------------

std::shared_ptr<BarImpl> ControlsImpl::Bar() {
    auto b = bar_.lock();
    if (!b || b->gone) ThrowDisconnected();
    return b;
}

std::int32_t ControlsImpl::Count() { return static_cast<std::int32_t>(Bar()->controls.size()); }

CommandBarControlPtr ControlsImpl::Item(std::int32_t index) {
    auto b = Bar();
    if (index < 1 || index > static_cast<std::int32_t>(b->controls.size())) ThrowError(5);
    return b->controls[static_cast<std::size_t>(index - 1)];
}

CommandBarControlPtr ControlsImpl::Item(const std::string& caption) {
    for (auto& c : Bar()->controls)
        if (SameCaption(c->caption, caption)) return c;
    ThrowError(5);
}

CommandBarControlPtr ControlsImpl::Add(MsoControlType type, std::int32_t id, const std::string& parameter,
                                       std::int32_t before, bool temporary) {
    auto b = Bar();
    switch (type) {
        case msoControlButton: case msoControlEdit: case msoControlDropdown:
        case msoControlComboBox: case msoControlPopup: break;
        default: ThrowError(5);
    }
    std::int32_t count = static_cast<std::int32_t>(b->controls.size());
    if (before < 0 || before > count + 1) ThrowError(5);
    auto c = std::make_shared<ControlImpl>(b, type);
    c->id = id;
    c->parameter = parameter;
    c->temporary = temporary;
    if (type == msoControlPopup) {
        c->popup = std::make_shared<BarImpl>(b->env, std::string());
        c->popup->owner = c;
    }
    std::size_t at = before == 0 ? b->controls.size() : static_cast<std::size_t>(before - 1);
    b->controls.insert(b->controls.begin() + static_cast<std::ptrdiff_t>(at), c);
    NotifyControls(b);
    return c;
}

// ---- CommandBarControl --------------------------------------------------------

void ControlImpl::Notify() {
    if (auto b = parent.lock())
        if (auto e = b->env.lock()) {
            auto self = shared_from_this();
            e->Internal().Notify([&](EnvironmentObserver& o) { o.ControlChanged(self); });
        }
}

void ControlImpl::CheckList() const {
    Check();
    if (type != msoControlDropdown && type != msoControlComboBox) ThrowError(438);
}

MsoControlType ControlImpl::Type() { Check(); return type; }
std::int32_t ControlImpl::Id() { Check(); return id; }
std::string ControlImpl::Parameter() { Check(); return parameter; }
std::string ControlImpl::Caption() { Check(); return caption; }

void ControlImpl::SetCaption(const std::string& value) {
    Check();
    caption = value;
    if (popup) popup->name = text::StripAccessKeys(value);
    Notify();
}

bool ControlImpl::Visible() { Check(); return visible; }

void ControlImpl::SetVisible(bool value) {
    Check();
    visible = value;
    Notify();
}

bool ControlImpl::Enabled() { Check(); return enabled; }

void ControlImpl::SetEnabled(bool value) {
    Check();
    enabled = value;
    Notify();
}

std::string ControlImpl::Tag() { Check(); return tag; }
void ControlImpl::SetTag(const std::string& value) { Check(); tag = value; }
std::string ControlImpl::ToolTipText() { Check(); return toolTip.empty() ? text::StripAccessKeys(caption) : toolTip; }
void ControlImpl::SetToolTipText(const std::string& value) { Check(); toolTip = value; }

std::int32_t ControlImpl::Index() {
    Check();
    auto b = parent.lock();
    if (!b) ThrowDisconnected();
    auto it = std::find_if(b->controls.begin(), b->controls.end(),
                           [this](auto& c) { return c.get() == this; });
    return static_cast<std::int32_t>(it - b->controls.begin()) + 1;
}

bool ControlImpl::BuiltIn() { Check(); return builtIn; }

CommandBarPtr ControlImpl::Parent() {
    Check();
    return parent.lock();
}

void ControlImpl::Delete(bool /*temporary*/) {
    Check();
    auto b = parent.lock();
    if (!b) ThrowDisconnected();
    auto self = shared_from_this();
    b->controls.erase(std::remove(b->controls.begin(), b->controls.end(), self), b->controls.end());
    MarkGone(*this);
    NotifyControls(b);
}

CommandBarPtr ControlImpl::CommandBar() {
    Check();
    if (!popup) ThrowError(438);
    return popup;
}

void ControlImpl::Clear() {
    CheckList();
    list.clear();
    listIndex = 0;
    Notify();
}

void ControlImpl::AddItem(const std::string& text, std::int32_t index) {
    CheckList();
    std::int32_t count = static_cast<std::int32_t>(list.size());
    if (index < 0 || index > count + 1) ThrowError(5);
    std::size_t at = index == 0 ? list.size() : static_cast<std::size_t>(index - 1);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), text);
    if (listIndex >= static_cast<std::int32_t>(at) + 1 && listIndex > 0) ++listIndex;
    Notify();
}

void ControlImpl::RemoveItem(std::int32_t index) {
    CheckList();
    if (index < 1 || index > static_cast<std::int32_t>(list.size())) ThrowError(5);
    list.erase(list.begin() + (index - 1));
    if (listIndex == index) listIndex = 0;
    else if (listIndex > index) --listIndex;
    Notify();
}

std::int32_t ControlImpl::ListCount() {
    CheckList();
    return static_cast<std::int32_t>(list.size());
}

std::string ControlImpl::List(std::int32_t index) {
    CheckList();
    if (index < 1 || index > static_cast<std::int32_t>(list.size())) ThrowError(5);
    return list[static_cast<std::size_t>(index - 1)];
}

std::int32_t ControlImpl::ListIndex() {
    CheckList();
    return listIndex;
}

void ControlImpl::SetListIndex(std::int32_t index) {
    CheckList();
    if (index < 0 || index > static_cast<std::int32_t>(list.size())) ThrowError(5);
    listIndex = index;
    Notify();
}

std::string ControlImpl::Text() {
    CheckList();
    return listIndex == 0 ? std::string() : list[static_cast<std::size_t>(listIndex - 1)];
}

}  // namespace vbide
