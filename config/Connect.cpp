#include "config/Connect.h"

#include "base/vb_error.h"
#include "config/frmConfig.h"
#include "config/frmInput.h"
#include "config/list_view.h"
#include "config/store.h"
#include "config/store_text.h"
#include "platform/forms/controls.h"
#include "platform/forms/runtime.h"

namespace config {

namespace {

// Runs one step of a routine that traps: a run-time error ends it silently.
template <class F>
void Trapped(F&& step) {
    try {
        step();
    } catch (const vb::VbError&) {
    }
}

}  // namespace

Connect::Connect() = default;

Connect::~Connect() {
    if (m_frmConfig) m_frmConfig->SetConnect(nullptr);
}

vbide::VBProjectPtr Connect::ActiveProject() const {
    if (!m_VBE) throw vb::VbError(91, "Config.Connect");
    return m_VBE->ActiveVBProject();
}

config::frmConfig& Connect::Dialog() const {
    if (!m_frmConfig) throw vb::VbError(91, "Config.Connect");
    return *m_frmConfig;
}

// ---- Store operations -------------------------------------------------------

void Connect::Configure() {
    Trapped([&] { config::Configure(ActiveProject()); });
}

void Connect::ReadConfigurations(ListView& ctlList) {
    Trapped([&] {
        config::ReadConfigurations(ActiveProject(), ctlList, [this] { InitializeConfigurations(); });
    });
}

void Connect::ReadConfigurations(forms::ListBox& ctlList) {
    DialogList list(ctlList);
    ReadConfigurations(static_cast<ListView&>(list));
}

void Connect::ReadConfigurations(const vbide::CommandBarControlPtr& ctlList) {
    ToolbarList list(ctlList);
    ReadConfigurations(static_cast<ListView&>(list));
}

void Connect::WriteConfigurations(ListView& ctlList) {
    Trapped([&] { config::WriteConfigurations(ActiveProject(), ctlList); });
}

void Connect::WriteConfigurations(forms::ListBox& ctlList) {
    DialogList list(ctlList);
    WriteConfigurations(static_cast<ListView&>(list));
}

void Connect::WriteConfigurations(const vbide::CommandBarControlPtr& ctlList) {
    ToolbarList list(ctlList);
    WriteConfigurations(static_cast<ListView&>(list));
}

void Connect::InitializeConfigurations() {
    Trapped([&] { config::InitializeConfigurations(ActiveProject()); });
}

void Connect::ReadConstants(ListView& ctlList) {
    Trapped([&] {
        // The list is emptied before the project is asked for anything, so a
        // missing project leaves it empty.
        ctlList.Clear();
        config::ReadConstants(ActiveProject(), ctlList);
    });
}

void Connect::ReadConstants(forms::ListBox& ctlList) {
    DialogList list(ctlList);
    ReadConstants(static_cast<ListView&>(list));
}

void Connect::WriteConstants(ListView& ctlList) {
    Trapped([&] { config::WriteConstants(ActiveProject(), ctlList); });
}

void Connect::WriteConstants(forms::ListBox& ctlList) {
    DialogList list(ctlList);
    WriteConstants(static_cast<ListView&>(list));
}

void Connect::WriteConstants(const vbide::CommandBarControlPtr& ctlList) {
    ToolbarList list(ctlList);
    WriteConstants(static_cast<ListView&>(list));
}

// ---- Connection -----------------------------------------------------------------

void Connect::OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                           const vbide::AddInPtr&, vbide::CustomArgs&) {
    Trapped([&] {
        m_VBE = VBInst;
        if (!m_VBE) throw vb::VbError(91, "Config.Connect");

        vbide::CommandBarControlsPtr standard = m_VBE->CommandBars()->Item("Standard")->Controls();
        m_List = standard->Add(vbide::msoControlDropdown, 0, {}, standard->Count(), true);
        m_ListHandler = m_VBE->Events()->CommandBarEvents(m_List);
        m_ListHandler->Click = [this](const vbide::CommandBarControlPtr& control, bool& handled,
                                      bool& cancel) { m_ListHandler_Click(control, handled, cancel); };

        vbide::CommandBarControlsPtr menu = m_VBE->CommandBars()
                                                ->Item("Menu Bar")
                                                ->Controls()
                                                ->Item("Project")
                                                ->CommandBar()
                                                ->Controls();
        m_MenuItem = menu->Add(vbide::msoControlButton, 0, {}, menu->Count(), true);
        m_MenuItem->SetCaption("Configurations...");
        m_MenuItemHandler = m_VBE->Events()->CommandBarEvents(m_MenuItem);
        m_MenuItemHandler->Click = [this](const vbide::CommandBarControlPtr& control, bool& handled,
                                          bool& cancel) {
            m_MenuItemHandler_Click(control, handled, cancel);
        };

        m_ProjectHandler = m_VBE->Events()->VBProjectsEvents();
        m_ProjectHandler->ItemAdded = [this](const vbide::VBProjectPtr& p) { m_ProjectHandler_ItemAdded(p); };
        m_ProjectHandler->ItemActivated = [this](const vbide::VBProjectPtr& p) {
            m_ProjectHandler_ItemActivated(p);
        };

        const bool afterStartup = ConnectMode == vbide::vbext_cm_AfterStartup;
        if (afterStartup) {
            ReadConfigurations(m_List);
            WatchComponents(ActiveProject());
        }

        m_frmInput = std::make_unique<config::frmInput>();
        m_frmInput->Load();
        m_frmConfig = std::make_unique<config::frmConfig>(*m_frmInput);
        m_frmConfig->Load();
        m_frmConfig->SetConnect(this);

        if (afterStartup) {
            ReadConfigurations(m_frmConfig->Get<forms::ListBox>("lstConfigs"));
            ReadConstants(m_frmConfig->Get<forms::ListBox>("lstConstants"));
        }
    });
}

void Connect::OnStartupComplete(vbide::CustomArgs&) {
    RefreshLists();
    WatchComponents(ActiveProject());
}

void Connect::OnAddInsUpdate(vbide::CustomArgs&) {}

void Connect::OnDisconnection(vbide::vbext_DisconnectMode, vbide::CustomArgs&) {
    Trapped([&] {
        // The drop-down goes first: a connection that failed before the menu
        // command was added must not leave it on the toolbar.
        if (!m_List) throw vb::VbError(91, "Config.Connect");
        m_List->Delete();
        if (!m_MenuItem) throw vb::VbError(91, "Config.Connect");
        m_MenuItem->Delete();

        Dialog().SetConnect(nullptr);
        m_frmConfig->Unload();
        m_frmConfig.reset();

        if (!m_frmInput) throw vb::VbError(91, "Config.Connect");
        m_frmInput->Unload();
        m_frmInput.reset();

        m_VBE.reset();
    });
}

// ---- Events ---------------------------------------------------------------------

void Connect::RefreshLists() {
    ReadConfigurations(m_List);
    ReadConfigurations(Dialog().Get<forms::ListBox>("lstConfigs"));
    ReadConstants(Dialog().Get<forms::ListBox>("lstConstants"));
}

void Connect::WatchComponents(const vbide::VBProjectPtr& project) {
    if (!m_VBE) throw vb::VbError(91, "Config.Connect");
    // Assigning drops the subscription held before.
    m_ComponentHandler = m_VBE->Events()->VBComponentsEvents(project);
    m_ComponentHandler->ItemAdded = [this](const vbide::VBComponentPtr& c) { m_ComponentHandler_ItemAdded(c); };
}

void Connect::m_ProjectHandler_ItemAdded(const vbide::VBProjectPtr& VBProject) {
    RefreshLists();
    WatchComponents(VBProject);
}

void Connect::m_ProjectHandler_ItemActivated(const vbide::VBProjectPtr& VBProject) {
    RefreshLists();
    WatchComponents(VBProject);
}

void Connect::m_ComponentHandler_ItemAdded(const vbide::VBComponentPtr&) { Configure(); }

bool Connect::HasActiveProject() {
    if (ActiveProject()) return true;
    forms::MsgBox("No Active Project!", forms::vbOKCancel + forms::vbExclamation, "Configurations");
    return false;
}

void Connect::m_ListHandler_Click(const vbide::CommandBarControlPtr&, bool&, bool&) {
    if (!HasActiveProject()) return;
    WriteEntry(ActiveProject(), kConfigurations, kCurrent, NumberText(m_List->ListIndex()));
    Configure();
}

void Connect::m_MenuItemHandler_Click(const vbide::CommandBarControlPtr&, bool&, bool&) {
    if (!HasActiveProject()) return;
    Dialog().Show(forms::vbModal);
}

}  // namespace config
