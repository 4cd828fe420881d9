#include "config/frmConfig.h"

#include "base/vb_error.h"
#include "config/Connect.h"
#include "config/frmInput.h"
#include "config/store.h"
#include "config/store_text.h"
#include "platform/forms/controls.h"
#include "shared/frmAbout.h"

namespace config {

using forms::ControlKind;

frmConfig::frmConfig(frmInput& input) : forms::Form("frmConfig"), m_Input(input) {
    SetCaption("Manage Configurations");
    SetFont(forms::Font{"Tahoma", 8.25});
    SetClientSize(4680, 3195);
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetShowInTaskbar(false);
    SetStartUpPosition(forms::vbStartUpOwner);
    SetIcon("icon:config");

    AddControls({
        {.name = "lblConfigurations", .kind = ControlKind::Label, .caption = "Configurations",
         .left = 165, .top = 210, .width = 1365, .height = 240, .tabIndex = 1},
        {.name = "cmdNewConfig", .kind = ControlKind::CommandButton, .caption = "...",
         .left = 2610, .top = 180, .width = 420, .height = 330, .tabIndex = 5},
        {.name = "lstConfigs", .kind = ControlKind::ListBox, .left = 135, .top = 540,
         .width = 2895, .height = 1020, .tabIndex = 3},
        {.name = "lblConstants", .kind = ControlKind::Label, .caption = "Compilation Constants",
         .left = 165, .top = 1665, .width = 2040, .height = 240, .tabIndex = 2},
        {.name = "cmdNewConst", .kind = ControlKind::CommandButton, .caption = "...", .left = 2610,
         .top = 1665, .width = 420, .height = 330, .tabIndex = 6},
        {.name = "lstConstants", .kind = ControlKind::ListBox, .left = 180, .top = 2025,
         .width = 2895, .height = 870, .tabIndex = 4},
        {.name = "cmdClose", .kind = ControlKind::CommandButton, .caption = "Close", .left = 3338,
         .top = 210, .width = 1185, .height = 420, .tabIndex = 0},
        {.name = "cmdAbout", .kind = ControlKind::CommandButton, .caption = "About", .left = 3338,
         .top = 765, .width = 1185, .height = 420, .tabIndex = 7},
    });
    Get<forms::ListBox>("lstConstants").SetStyle(forms::vbListBoxCheckbox);
    Get<forms::CommandButton>("cmdClose").SetDefault(true);

    Get<forms::ListBox>("lstConfigs").onClick = [this] { lstConfigs_Click(); };
    Get<forms::ListBox>("lstConstants").onItemCheck = [this](int item) { lstConstants_ItemCheck(item); };
    Get<forms::CommandButton>("cmdNewConfig").onClick = [this] { cmdNewConfig_Click(); };
    Get<forms::CommandButton>("cmdNewConst").onClick = [this] { cmdNewConst_Click(); };
    Get<forms::CommandButton>("cmdClose").onClick = [this] { cmdClose_Click(); };
    Get<forms::CommandButton>("cmdAbout").onClick = [this] { cmdAbout_Click(); };
}

config::Connect& frmConfig::Addin() const {
    if (!m_Connect) throw vb::VbError(91, "frmConfig");
    return *m_Connect;
}

void frmConfig::Form_QueryUnload(int& cancel, int unloadMode) {
    // The close box does what Close does; the dialog stays loaded and linked
    // to the add-in for its next showing.
    if (unloadMode == forms::vbFormControlMenu) {
        cancel = 1;
        cmdClose_Click();
    }
}

void frmConfig::lstConfigs_Click() {
    if (filling) return;
    const std::int32_t number = Get<forms::ListBox>("lstConfigs").ListIndex() + 1;
    WriteEntry(Addin().ActiveProject(), kConfigurations, kCurrent, NumberText(number));
    Addin().ReadConstants(Get<forms::ListBox>("lstConstants"));
}

void frmConfig::lstConstants_ItemCheck(int Item) {
    if (filling) return;
    try {
        auto& configs = Get<forms::ListBox>("lstConfigs");
        auto& constants = Get<forms::ListBox>("lstConstants");
        // The toggled entry is the one written, and it becomes the selected
        // one, as a click on a check box selects its entry.
        if (constants.ListIndex() != Item) {
            DialogList quiet(constants);
            quiet.SetListIndex(Item);
        }
        // Without a selected configuration there is no section to write to.
        if (configs.ListIndex() < 0) return;
        const std::int32_t number = configs.ListIndex() + 1;
        SetValue(Addin().ActiveProject(), number, constants.List(Item), constants.Selected(Item));
    } catch (const vb::VbError&) {
        // Like the store operations: the first failing step ends the handler.
    }
}

void frmConfig::cmdNewConfig_Click() {
    try {
        const std::string name =
            m_Input.Ask("New Configuration", "Enter a name for the new configuration.");
        if (name.empty()) return;
        AddConfiguration(Addin().ActiveProject(), name);
        Addin().ReadConfigurations(Addin().List());
        Addin().ReadConfigurations(Get<forms::ListBox>("lstConfigs"));
    } catch (const vb::VbError&) {
    }
}

void frmConfig::cmdNewConst_Click() {
    try {
        const std::string name = m_Input.Ask("New Constant", "Enter a name for the new constant.");
        if (name.empty()) return;
        AddConstant(Addin().ActiveProject(), name);
        Addin().ReadConstants(Get<forms::ListBox>("lstConstants"));
    } catch (const vb::VbError&) {
    }
}

void frmConfig::cmdClose_Click() {
    Hide();
    Addin().ReadConfigurations(Addin().List());
    Addin().Configure();
}

void frmConfig::cmdAbout_Click() { about::ShowAbout(ConfigAppInfo(), about::Deliverable::Config, forms::vbModal); }

}  // namespace config
