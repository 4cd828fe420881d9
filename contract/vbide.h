#pragma once
// The contract between the development environment and its add-ins: the
// extensibility object model (projects, components, code modules, code panes,
// windows, command bars and event sources) as abstract classes.
//
// Conventions that hold for every class below:
// - The environment owns every object. An add-in receives std::shared_ptr
//   references and may keep them; a reference to an object that the
//   environment has since destroyed (a deleted control, a closed code window,
//   a removed component) stays safe to hold, and every member called on it
//   fails with vbide::kErrDisconnected.
// - "Nothing" is an empty pointer (nullptr).
// - Lines, columns and collection indexes count from 1.
// - Failures are vb::VbError carrying the environment's error number: 5 for a
//   bad argument or a missing entry, 9 for an index outside a collection, 35
//   for code that the environment rejects, 438 for a member that the object
//   does not support (a list member of a plain button).
// - Property setters are named Set + the property's name (SetCaption,
//   SetVisible, SetTopLine); getters carry the property's name.
// - Text is bytes in the ANSI code page; several lines are joined by CR LF.
// - Everything is called on the environment's one user-interface thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/vb_error.h"

namespace vbide {

// Error number raised by members of an object the environment has destroyed
// (the automation error "The object invoked has disconnected from its clients").
inline constexpr std::int32_t kErrDisconnected = static_cast<std::int32_t>(0x80010108u);

// Component types (VBComponent::Type).
enum vbext_ComponentType : std::int32_t {
    vbext_ct_StdModule = 1,
    vbext_ct_ClassModule = 2,
    vbext_ct_MSForm = 3,
    vbext_ct_ResFile = 4,
    vbext_ct_VBForm = 5,
    vbext_ct_VBMDIForm = 6,
    vbext_ct_PropPage = 7,
    vbext_ct_UserControl = 8,
    vbext_ct_DocObject = 9,
    vbext_ct_RelatedDocument = 10,
    vbext_ct_ActiveXDesigner = 11,
};

// Procedure kinds (CodeModule::ProcStartLine and siblings).
enum vbext_ProcKind : std::int32_t {
    vbext_pk_Proc = 0,  // Sub or Function
    vbext_pk_Let = 1,   // Property Let
    vbext_pk_Set = 2,   // Property Set
    vbext_pk_Get = 3,   // Property Get
};

// Window kinds (Window::Type).
enum vbext_WindowType : std::int32_t {
    vbext_wt_CodeWindow = 0,
    vbext_wt_Designer = 1,
    vbext_wt_Browser = 2,
    vbext_wt_Watch = 3,
    vbext_wt_Locals = 4,
    vbext_wt_Immediate = 5,
    vbext_wt_ProjectWindow = 6,
    vbext_wt_PropertyWindow = 7,
    vbext_wt_Find = 8,
    vbext_wt_FindReplace = 9,
    vbext_wt_Toolbox = 10,
    vbext_wt_LinkedWindowFrame = 11,
    vbext_wt_MainWindow = 12,
    vbext_wt_Preview = 13,  // the Form Layout window
    vbext_wt_ColorPalette = 14,
    vbext_wt_ToolWindow = 15,
};

// How an add-in was connected (IDTExtensibility::OnConnection).
enum vbext_ConnectMode : std::int32_t {
    vbext_cm_AfterStartup = 0,
    vbext_cm_Startup = 1,
    vbext_cm_External = 2,
    vbext_cm_CommandLine = 3,
};

// Why an add-in is disconnected (IDTExtensibility::OnDisconnection).
enum vbext_DisconnectMode : std::int32_t {
    vbext_dm_HostShutdown = 0,
    vbext_dm_UserClosed = 1,
};

// Command-bar control types (CommandBarControl::Type, CommandBarControls::Add).
enum MsoControlType : std::int32_t {
    msoControlButton = 1,
    msoControlEdit = 2,
    msoControlDropdown = 3,
    msoControlComboBox = 4,
    msoControlPopup = 10,
};

class VBE;
class VBProjects;
class VBProject;
class VBComponents;
class VBComponent;
class CodeModule;
class CodePane;
class Windows;
class Window;
class CommandBars;
class CommandBar;
class CommandBarControls;
class CommandBarControl;
class Events;
class CommandBarEvents;
class VBProjectsEvents;
class VBComponentsEvents;
class AddIn;
class IDTExtensibility;

// References as the add-ins hold them. The aliases also let a member carry
// the name of the class it returns (VBE::VBProjects returns VBProjectsPtr).
using VBEPtr = std::shared_ptr<VBE>;
using VBProjectsPtr = std::shared_ptr<VBProjects>;
using VBProjectPtr = std::shared_ptr<VBProject>;
using VBComponentsPtr = std::shared_ptr<VBComponents>;
using VBComponentPtr = std::shared_ptr<VBComponent>;
using CodeModulePtr = std::shared_ptr<CodeModule>;
using CodePanePtr = std::shared_ptr<CodePane>;
using WindowsPtr = std::shared_ptr<Windows>;
using WindowPtr = std::shared_ptr<Window>;
using CommandBarsPtr = std::shared_ptr<CommandBars>;
using CommandBarPtr = std::shared_ptr<CommandBar>;
using CommandBarControlsPtr = std::shared_ptr<CommandBarControls>;
using CommandBarControlPtr = std::shared_ptr<CommandBarControl>;
using EventsPtr = std::shared_ptr<Events>;
using CommandBarEventsPtr = std::shared_ptr<CommandBarEvents>;
using VBProjectsEventsPtr = std::shared_ptr<VBProjectsEvents>;
using VBComponentsEventsPtr = std::shared_ptr<VBComponentsEvents>;
using AddInPtr = std::shared_ptr<AddIn>;

// The optional array of Variants that every IDTExtensibility call carries.
// The environment passes it empty; add-ins ignore it.
using CustomArgs = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The root object.

class VBE {
public:
    virtual ~VBE() = default;
    // The version text of the environment, "6.00".
    virtual std::string Version() = 0;
    virtual VBProjectsPtr VBProjects() = 0;
    // The project the user works in; Nothing when no project is open.
    virtual VBProjectPtr ActiveVBProject() = 0;
    // Makes an open project the active one (raises VBProjectsEvents
    // ItemActivated). Error 5 for a project of another environment.
    virtual void SetActiveVBProject(const VBProjectPtr& project) = 0;
    // The code pane with the focus; Nothing when no code pane is open.
    virtual CodePanePtr ActiveCodePane() = 0;
    // Makes a code pane the active one and shows its window.
    virtual void SetActiveCodePane(const CodePanePtr& pane) = 0;
    // The component selected in the project window; Nothing when none.
    virtual VBComponentPtr SelectedVBComponent() = 0;
    virtual CommandBarsPtr CommandBars() = 0;
    virtual WindowsPtr Windows() = 0;
    // The environment's own main window (Type 12).
    virtual WindowPtr MainWindow() = 0;
    virtual EventsPtr Events() = 0;
};

// ---------------------------------------------------------------------------
// Projects and components.

class VBProjects {
public:
    virtual ~VBProjects() = default;
    virtual std::int32_t Count() = 0;
    // By 1-based position (error 9 outside 1..Count) or by name, compared
    // without regard to case (error 9 when no project has that name).
    virtual VBProjectPtr Item(std::int32_t index) = 0;
    virtual VBProjectPtr Item(const std::string& name) = 0;
    // Opens a project file from disk as File > Open does (a group file adds
    // each of its projects) and answers the project it names (a group's
    // start-up project), now the active one. Modules that cannot be read are
    // left out and listed by the project's LoadProblems. A save of the
    // project that was interrupted is finished or undone first. Errors: 53
    // the file does not exist, 75 it cannot be read (or another program keeps
    // it locked), 5 it is no project file (the description names the line).
    virtual VBProjectPtr AddFromFile(const std::string& fileName) = 0;
    virtual VBEPtr VBE() = 0;
};

// A file a save would write, with the bytes it would get.
struct PendingFile {
    std::string path;
    std::string bytes;
};

class VBProject {
public:
    virtual ~VBProject() = default;
    virtual std::string Name() = 0;
    // Error 5 for a name that is not a valid identifier. Raises
    // VBProjectsEvents ItemRenamed.
    virtual void SetName(const std::string& name) = 0;
    // The project file's full path; empty for a project never saved.
    virtual std::string FileName() = 0;
    virtual VBComponentsPtr VBComponents() = 0;
    // The project's property store, kept in the project file. Section and key
    // compare without regard to case; an empty value is stored and read back
    // as empty. ReadProperty of a missing entry fails with error 5.
    virtual std::string ReadProperty(const std::string& section, const std::string& key) = 0;
    // Creates the section and the key when missing (appended after the
    // existing ones), otherwise replaces the value. Error 5 for an empty
    // section or key, or a value holding CR or LF.
    virtual void WriteProperty(const std::string& section, const std::string& key,
                               const std::string& value) = 0;
    // True when the project or one of its modules changed since the last
    // load or save.
    virtual bool IsDirty() = 0;
    // What went wrong reading the project from disk ("file(line): what"),
    // oldest first; empty when it loaded whole.
    virtual std::vector<std::string> LoadProblems() = 0;
    // Writes the project file and every changed module, all or nothing. A
    // project never saved needs `fileName` (its modules go beside it under
    // their default names); otherwise it may be empty. Error 75 naming the
    // file when one cannot be written (read-only, say) or another program is
    // saving the project; then no file has changed. Answers how many files
    // changed (files whose bytes would stay the same are not touched).
    virtual std::int32_t SaveAs(const std::string& fileName) = 0;
    // The files SaveAs would change now (changed modules, then the project
    // file), writing nothing. Error 5 for a project or component never saved.
    virtual std::vector<PendingFile> PendingSave() = 0;
    virtual VBEPtr VBE() = 0;
};

class VBComponents {
public:
    virtual ~VBComponents() = default;
    virtual std::int32_t Count() = 0;
    // By 1-based position (error 9 outside) or by name, without regard to
    // case (error 9 when missing).
    virtual VBComponentPtr Item(std::int32_t index) = 0;
    virtual VBComponentPtr Item(const std::string& name) = 0;
    // Adds a new component of the given type (standard module, class module,
    // form, user control, property page, document) with a fresh default name
    // (Module1, Class1, Form1, ...) and raises VBComponentsEvents ItemAdded.
    // Error 5 for a type that cannot be added.
    virtual VBComponentPtr Add(vbext_ComponentType type) = 0;
    virtual VBProjectPtr Parent() = 0;
    virtual VBEPtr VBE() = 0;
};

class VBComponent {
public:
    virtual ~VBComponent() = default;
    virtual std::string Name() = 0;
    // Error 5 for an invalid identifier or a name another component of the
    // project has. Raises VBComponentsEvents ItemRenamed.
    virtual void SetName(const std::string& name) = 0;
    virtual vbext_ComponentType Type() = 0;
    // Nothing for components without code (resource files, related documents).
    virtual CodeModulePtr CodeModule() = 0;
    virtual VBComponentsPtr Collection() = 0;
    virtual VBEPtr VBE() = 0;
};

// ---------------------------------------------------------------------------
// Code.

class CodeModule {
public:
    virtual ~CodeModule() = default;
    // The component the module belongs to.
    virtual VBComponentPtr Parent() = 0;
    // The component's name.
    virtual std::string Name() = 0;
    // The module's code pane; the environment opens a code window for it when
    // none is open yet (without making it active).
    virtual CodePanePtr CodePane() = 0;

    // The number of lines the code window shows (hidden header and
    // attribute lines are not counted).
    virtual std::int32_t CountOfLines() = 0;
    // The last line of the declarations section: the last declaration line
    // plus the comment lines directly under it, up to the first blank line
    // or the first procedure. 0 when the module starts with a procedure.
    virtual std::int32_t CountOfDeclarationLines() = 0;
    // `count` lines from `startLine`, joined by CR LF (no CR LF after the
    // last). Error 9 when startLine < 1, count < 0 or the range passes the
    // last line; count 0 gives "".
    virtual std::string Lines(std::int32_t startLine, std::int32_t count) = 0;

    // Inserts the lines of `text` (separated by CR LF or LF; one trailing line
    // end adds no empty line) so that the first becomes line `line`.
    // `line` = CountOfLines + 1 appends; a larger line appends as well (so
    // "line 2" of an empty module is its line 1). Error 9 for line < 1.
    // Error 35, with nothing inserted, when the text holds an illegal
    // procedure construct (see the declaration checker of the environment).
    virtual void InsertLines(std::int32_t line, const std::string& text) = 0;
    // Replaces one line (the text may hold line ends: the line becomes
    // several). Error 9 outside 1..CountOfLines.
    virtual void ReplaceLine(std::int32_t line, const std::string& text) = 0;
    // Deletes `count` lines from `startLine`. Error 9 outside the module.
    virtual void DeleteLines(std::int32_t startLine, std::int32_t count = 1) = 0;
    // Appends text as InsertLines(CountOfLines + 1, text) does.
    virtual void AddFromString(const std::string& text) = 0;

    // Procedures, named without regard to case, of a kind:
    // ProcBodyLine is the declaration line; ProcStartLine the first line after
    // the previous procedure's End line (for the first procedure, the first
    // line after the declarations section); ProcCountLines the lines from the
    // start line through the End line (for the last procedure, through the
    // last line of the module). Error 35 when the module has no such
    // procedure.
    virtual std::int32_t ProcStartLine(const std::string& procName, vbext_ProcKind kind) = 0;
    virtual std::int32_t ProcBodyLine(const std::string& procName, vbext_ProcKind kind) = 0;
    virtual std::int32_t ProcCountLines(const std::string& procName, vbext_ProcKind kind) = 0;
    // The name of the procedure that holds `line` (and its kind through
    // `kind`); "" for a line of the declarations section.
    virtual std::string ProcOfLine(std::int32_t line, vbext_ProcKind& kind) = 0;

    // Searches `target` within the window from (startLine, startColumn) to
    // (endLine, endColumn), every position inclusive; -1 as endLine means the
    // last line, -1 as endColumn the end of the line. A match lies within one
    // line and wholly inside the window. On a match returns true and sets the
    // four positions to it (endColumn = its last column); otherwise returns
    // false and leaves them. wholeWord: no letter, digit or "_" touches the
    // match. matchCase false folds ASCII letters. patternSearch: the target is
    // a pattern with * ? # [list] [!list]. Error 5 for an empty target, for
    // matchCase together with patternSearch, or startLine outside the module
    // (an empty module finds nothing).
    virtual bool Find(const std::string& target, std::int32_t& startLine, std::int32_t& startColumn,
                      std::int32_t& endLine, std::int32_t& endColumn, bool wholeWord = false,
                      bool matchCase = false, bool patternSearch = false) = 0;
    virtual VBEPtr VBE() = 0;
};

class CodePane {
public:
    virtual ~CodePane() = default;
    virtual CodeModulePtr CodeModule() = 0;
    // The first line shown. Setting it: error 380 for a value below 1; a value
    // past the last line shows the last line.
    virtual std::int32_t TopLine() = 0;
    virtual void SetTopLine(std::int32_t line) = 0;
    // The number of lines the pane shows at a time.
    virtual std::int32_t CountOfVisibleLines() = 0;
    // The code window that holds the pane.
    virtual WindowPtr Window() = 0;
    // Shows the pane's window and makes it the active code pane.
    virtual void Show() = 0;
    virtual VBEPtr VBE() = 0;
};

// ---------------------------------------------------------------------------
// Windows.

class Windows {
public:
    virtual ~Windows() = default;
    virtual std::int32_t Count() = 0;
    // By 1-based position; error 9 outside 1..Count.
    virtual WindowPtr Item(std::int32_t index) = 0;
    virtual VBEPtr VBE() = 0;
};

class Window {
public:
    virtual ~Window() = default;
    virtual std::string Caption() = 0;
    virtual vbext_WindowType Type() = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    // A code window or designer is destroyed (it leaves Windows; the
    // reference becomes disconnected); any other window is hidden and stays
    // in Windows, and SetVisible(true) shows it again.
    virtual void Close() = 0;
    virtual VBEPtr VBE() = 0;
};

// ---------------------------------------------------------------------------
// Command bars (the menu bar, the toolbars, and each menu's own bar).

class CommandBars {
public:
    virtual ~CommandBars() = default;
    virtual std::int32_t Count() = 0;
    // By 1-based position or by name ("Menu Bar", "Standard"), compared
    // without regard to case and to "&"; error 5 when missing.
    virtual CommandBarPtr Item(std::int32_t index) = 0;
    virtual CommandBarPtr Item(const std::string& name) = 0;
};

class CommandBar {
public:
    virtual ~CommandBar() = default;
    virtual std::string Name() = 0;
    virtual CommandBarControlsPtr Controls() = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
};

class CommandBarControls {
public:
    virtual ~CommandBarControls() = default;
    virtual std::int32_t Count() = 0;
    // By 1-based position, or by caption with "&" taken out and without
    // regard to case (the first such control). Error 5 when there is none.
    virtual CommandBarControlPtr Item(std::int32_t index) = 0;
    virtual CommandBarControlPtr Item(const std::string& caption) = 0;
    // Adds a control of `type` (button, drop-down, combo box, pop-up) before
    // position `before` (1..Count + 1; 0 means at the end). `id` 0 and an
    // empty `parameter` mean none. A temporary control is not kept from one
    // run of the environment to the next. Error 5 for an unknown type or a
    // position outside 0..Count + 1.
    virtual CommandBarControlPtr Add(MsoControlType type = msoControlButton, std::int32_t id = 0,
                                     const std::string& parameter = {}, std::int32_t before = 0,
                                     bool temporary = false) = 0;
};

class CommandBarControl {
public:
    virtual ~CommandBarControl() = default;
    virtual MsoControlType Type() = 0;
    // The built-in command id (0 for controls that add-ins added).
    virtual std::int32_t Id() = 0;
    virtual std::string Parameter() = 0;
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual std::string Tag() = 0;
    virtual void SetTag(const std::string& tag) = 0;
    virtual std::string ToolTipText() = 0;
    virtual void SetToolTipText(const std::string& text) = 0;
    // The 1-based position in the bar.
    virtual std::int32_t Index() = 0;
    virtual bool BuiltIn() = 0;
    // The bar that holds the control.
    virtual CommandBarPtr Parent() = 0;
    // Removes the control from its bar; the reference becomes disconnected.
    virtual void Delete(bool temporary = false) = 0;
    // A pop-up's own bar (a menu's items). Error 438 for other controls.
    virtual CommandBarPtr CommandBar() = 0;

    // Drop-down and combo-box members; error 438 for other controls.
    // List positions are 1-based; ListIndex 0 means no selection. Setting
    // ListIndex from code raises no Click.
    virtual void Clear() = 0;
    // Adds at `index` (1..ListCount + 1; 0 means at the end). Error 5 outside.
    virtual void AddItem(const std::string& text, std::int32_t index = 0) = 0;
    virtual void RemoveItem(std::int32_t index) = 0;
    virtual std::int32_t ListCount() = 0;
    // Error 5 outside 1..ListCount.
    virtual std::string List(std::int32_t index) = 0;
    virtual std::int32_t ListIndex() = 0;
    // Error 5 outside 0..ListCount.
    virtual void SetListIndex(std::int32_t index) = 0;
    // The selected entry's text ("" when none).
    virtual std::string Text() = 0;
};

// ---------------------------------------------------------------------------
// Events. An event source is a subscription: the environment raises its
// events while the holder keeps the returned object, and stops as soon as
// the last reference to it is dropped. Handlers are set by assigning the
// std::function members; an empty member is not called. Each call of
// CommandBarEvents / VBProjectsEvents / VBComponentsEvents makes a new,
// independent subscription. Handlers run on the user-interface thread; a
// failure (vb::VbError) thrown by a handler reaches the environment, which
// reports it and goes on.

class CommandBarEvents {
public:
    virtual ~CommandBarEvents() = default;
    // The user chose the control (or picked an entry of a drop-down). Both
    // flags start false; every subscriber sees what the earlier ones set.
    // When CancelDefault ends true the environment does not run its own
    // command for the control.
    std::function<void(const CommandBarControlPtr& CommandBarControl, bool& handled,
                       bool& CancelDefault)>
        Click;
};

class VBProjectsEvents {
public:
    virtual ~VBProjectsEvents() = default;
    std::function<void(const VBProjectPtr& project)> ItemAdded;
    std::function<void(const VBProjectPtr& project)> ItemRemoved;
    std::function<void(const VBProjectPtr& project, const std::string& oldName)> ItemRenamed;
    std::function<void(const VBProjectPtr& project)> ItemActivated;
};

class VBComponentsEvents {
public:
    virtual ~VBComponentsEvents() = default;
    std::function<void(const VBComponentPtr& component)> ItemAdded;
    std::function<void(const VBComponentPtr& component)> ItemRemoved;
    std::function<void(const VBComponentPtr& component, const std::string& oldName)> ItemRenamed;
    std::function<void(const VBComponentPtr& component)> ItemSelected;
    std::function<void(const VBComponentPtr& component)> ItemActivated;
    std::function<void(const VBComponentPtr& component)> ItemReloaded;
};

class Events {
public:
    virtual ~Events() = default;
    // A subscription to the clicks of one control. Error 5 for Nothing.
    virtual CommandBarEventsPtr CommandBarEvents(const CommandBarControlPtr& control) = 0;
    virtual VBProjectsEventsPtr VBProjectsEvents() = 0;
    // A subscription to the component events of one project; Nothing listens
    // to the components of every project.
    virtual VBComponentsEventsPtr VBComponentsEvents(const VBProjectPtr& project) = 0;
};

// ---------------------------------------------------------------------------
// Add-ins.

// The environment's record of a loaded add-in, handed to OnConnection.
class AddIn {
public:
    virtual ~AddIn() = default;
    virtual std::string ProgId() = 0;
    virtual std::string Guid() = 0;
    virtual std::string Description() = 0;
    // True while the add-in is connected.
    virtual bool Connect() = 0;
    virtual VBEPtr VBE() = 0;
};

// The interface an add-in's Connect class implements. The environment calls
// OnConnection once, then (when it was starting up, mode 1) OnStartupComplete
// after every start-up add-in is connected, OnAddInsUpdate when the set of
// loaded add-ins changes, and OnDisconnection before it releases the object.
// A failure thrown from any of them reaches the environment, which reports
// it; a failing OnConnection leaves the add-in unloaded.
class IDTExtensibility {
public:
    virtual ~IDTExtensibility() = default;
    virtual void OnConnection(const VBEPtr& VBInst, vbext_ConnectMode ConnectMode,
                              const AddInPtr& AddInInst, CustomArgs& custom) = 0;
    virtual void OnDisconnection(vbext_DisconnectMode RemoveMode, CustomArgs& custom) = 0;
    virtual void OnStartupComplete(CustomArgs& custom) = 0;
    virtual void OnAddInsUpdate(CustomArgs& custom) = 0;
};

}  // namespace vbide
