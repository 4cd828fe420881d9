#pragma once
// The add-in's entry point: the environment creates a Connect and calls its
// IDTExtensibility events. While connected it owns the command at the top of
// the Tools menu and the procedure dialog; each click of the command runs one
// use: prepare the dialog, show it, insert the procedure, scroll to it.

#include <memory>
#include <string>

#include "contract/vbide.h"

namespace quillon {

class frmDialog;

class Connect : public vbide::IDTExtensibility {
public:
    Connect();
    ~Connect() override;

    void OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                      const vbide::AddInPtr& AddInInst, vbide::CustomArgs& custom) override {
        IDTExtensibility_OnConnection(VBInst, ConnectMode, AddInInst, custom);
    }
    void OnDisconnection(vbide::vbext_DisconnectMode RemoveMode, vbide::CustomArgs& custom) override {
        IDTExtensibility_OnDisconnection(RemoveMode, custom);
    }
    void OnStartupComplete(vbide::CustomArgs&) override {}
    void OnAddInsUpdate(vbide::CustomArgs&) override {}

    // Hides the first Tools command and puts "Tarnwick Add Procedure..." before
    // it; loads the dialog. Failures reach the environment.
    void IDTExtensibility_OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                                       const vbide::AddInPtr& AddInInst, vbide::CustomArgs& custom);
    // Deletes the command, shows the hidden one again and unloads the dialog.
    void IDTExtensibility_OnDisconnection(vbide::vbext_DisconnectMode intRemoveMode,
                                          vbide::CustomArgs& custom);

    // One use of the add-in; every failure is trapped and shown.
    void objMenuHandler_Click(const vbide::CommandBarControlPtr& CommandBarControl, bool& handled,
                              bool& CancelDefault);

    // The dialog while connected (nullptr otherwise), for the views and tests
    // that drive it.
    frmDialog* Dialog() const { return m_Dialog.get(); }

private:
    void FindCodeModule();
    void PrepareDialog();
    void InsertProcedure();
    void Scroll();

    vbide::VBEPtr VBInst;
    vbide::CodeModulePtr m_CodeModule;
    vbide::CommandBarControlPtr m_CommandButton;
    vbide::CommandBarControlPtr m_HiddenCommand;
    std::string m_HiddenCaption;
    vbide::CommandBarEventsPtr objMenuHandler;
    std::unique_ptr<frmDialog> m_Dialog;
};

}  // namespace quillon
