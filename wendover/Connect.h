#pragma once
// The work-area add-in's class: connects to the environment, puts the toggle
// "&Max Work Area" / "&Restore Work Area" at the top of the View menu and
// "VB &Wendover Agent..." into the Add-Ins menu, and answers their clicks.
// Nothing here traps a failure: the environment sees it and reports it.

#include <memory>

#include "contract/vbide.h"
#include "wendover/frmOptions.h"

namespace wendover {

// The toggle's two captions; the caption is the add-in's only state.
inline constexpr const char* kMaxCaption = "&Max Work Area";
inline constexpr const char* kRestoreCaption = "&Restore Work Area";
inline constexpr const char* kOptionsCaption = "VB &Wendover Agent...";

class Connect : public vbide::IDTExtensibility {
public:
    Connect();
    ~Connect() override;

    void OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                      const vbide::AddInPtr& AddInInst, vbide::CustomArgs& custom) override;
    void OnDisconnection(vbide::vbext_DisconnectMode RemoveMode,
                         vbide::CustomArgs& custom) override;
    void OnStartupComplete(vbide::CustomArgs& custom) override;
    void OnAddInsUpdate(vbide::CustomArgs& custom) override;

    // The toggle command in the View menu and the options command in the
    // Add-Ins menu.
    vbide::CommandBarControlPtr objMenu;
    vbide::CommandBarControlPtr objFormMenu;
    // Their click subscriptions.
    vbide::CommandBarEventsPtr objMenuHandler;
    vbide::CommandBarEventsPtr objFormMenuHandler;

    // The options dialog while an instance exists (nullptr before first use).
    frmOptions* Options() const { return m_options.get(); }

private:
    void objMenuHandler_Click(const vbide::CommandBarControlPtr& CommandBarControl, bool& handled,
                              bool& CancelDefault);
    void objFormMenuHandler_Click(const vbide::CommandBarControlPtr& CommandBarControl,
                                  bool& handled, bool& CancelDefault);

    vbide::VBEPtr VBInst;
    // The one options dialog; a new one is made when the last one unloaded.
    std::unique_ptr<frmOptions> m_options;
};

}  // namespace wendover
