#pragma once
// The build-configuration add-in object. The environment creates it, connects
// it and calls its event handlers; it puts the configuration drop-down on the
// "Standard" toolbar and "Configurations..." into the "Project" menu, follows
// the project and component events, and carries the store operations.

#include <memory>

#include "platform/forms/app_info.h"
#include "contract/vbide.h"

namespace forms {
class ListBox;
}

namespace config {

class ListView;
class frmConfig;
class frmInput;

// What the add-in knows about itself (title, description, version, folder).
const forms::AppInfo& ConfigAppInfo();

class Connect : public vbide::IDTExtensibility {
public:
    Connect();
    ~Connect() override;
    Connect(const Connect&) = delete;
    Connect& operator=(const Connect&) = delete;

    // ---- Store operations ---------------------------------------------------
    // Each works on the environment's active project, traps its own failures
    // (the first failing step ends it, what was done stays done) and shows
    // nothing. A list argument is a dialog list box or the toolbar drop-down.
    void Configure();
    void ReadConfigurations(forms::ListBox& ctlList);
    void ReadConfigurations(const vbide::CommandBarControlPtr& ctlList);
    void ReadConfigurations(ListView& ctlList);
    void WriteConfigurations(forms::ListBox& ctlList);
    void WriteConfigurations(const vbide::CommandBarControlPtr& ctlList);
    void WriteConfigurations(ListView& ctlList);
    void InitializeConfigurations();
    void ReadConstants(forms::ListBox& ctlList);
    void ReadConstants(ListView& ctlList);
    void WriteConstants(forms::ListBox& ctlList);
    void WriteConstants(const vbide::CommandBarControlPtr& ctlList);
    void WriteConstants(ListView& ctlList);

    // ---- Properties -----------------------------------------------------------
    // The environment's root object (Nothing while disconnected).
    vbide::VBEPtr VBE() const { return m_VBE; }
    // The drop-down on the "Standard" toolbar.
    vbide::CommandBarControlPtr List() const { return m_List; }

    // The active project; error 91 while disconnected.
    vbide::VBProjectPtr ActiveProject() const;
    // The loaded forms (null while disconnected), for the environment's tests.
    config::frmConfig* frmConfig() const { return m_frmConfig.get(); }
    config::frmInput* frmInput() const { return m_frmInput.get(); }

    // ---- IDTExtensibility -------------------------------------------------------
    void OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                      const vbide::AddInPtr& AddInInst, vbide::CustomArgs& custom) override;
    void OnDisconnection(vbide::vbext_DisconnectMode RemoveMode, vbide::CustomArgs& custom) override;
    void OnStartupComplete(vbide::CustomArgs& custom) override;
    void OnAddInsUpdate(vbide::CustomArgs& custom) override;

private:
    void m_ListHandler_Click(const vbide::CommandBarControlPtr& CommandBarControl, bool& handled,
                             bool& CancelDefault);
    void m_MenuItemHandler_Click(const vbide::CommandBarControlPtr& CommandBarControl, bool& handled,
                                 bool& CancelDefault);
    void m_ProjectHandler_ItemAdded(const vbide::VBProjectPtr& VBProject);
    void m_ProjectHandler_ItemActivated(const vbide::VBProjectPtr& VBProject);
    void m_ComponentHandler_ItemAdded(const vbide::VBComponentPtr& VBComponent);

    // Fills the drop-down and the dialog's lists from the active project.
    void RefreshLists();
    // Replaces the component subscription with one for `project`.
    void WatchComponents(const vbide::VBProjectPtr& project);
    // "No Active Project!" when there is none; answers whether there is one.
    bool HasActiveProject();
    config::frmConfig& Dialog() const;

    vbide::VBEPtr m_VBE;
    vbide::CommandBarControlPtr m_List;
    vbide::CommandBarControlPtr m_MenuItem;
    vbide::CommandBarEventsPtr m_ListHandler;
    vbide::CommandBarEventsPtr m_MenuItemHandler;
    vbide::VBProjectsEventsPtr m_ProjectHandler;
    vbide::VBComponentsEventsPtr m_ComponentHandler;
    std::unique_ptr<config::frmInput> m_frmInput;
    std::unique_ptr<config::frmConfig> m_frmConfig;
};

}  // namespace config
