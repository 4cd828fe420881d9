#include "config/frmInput.h"

#include "base/text.h"
#include "config/store_text.h"
#include "platform/forms/controls.h"

namespace config {

using forms::ControlKind;

frmInput::frmInput() : forms::Form("frmInput") {
    SetCaption("New");
    SetFont(forms::Font{"Tahoma", 8.25});
    SetClientSize(4995, 1755);
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetShowInTaskbar(false);
    SetStartUpPosition(forms::vbStartUpOwner);
    SetIcon("icon:input");

    AddControls({
        {.name = "imgInput", .kind = ControlKind::Image, .left = 158, .top = 210, .width = 480,
         .height = 480, .tabIndex = 4},
        {.name = "lblInput", .kind = ControlKind::Label, .left = 765, .top = 210, .width = 2715,
         .height = 690, .tabIndex = 0},
        {.name = "txtInput", .kind = ControlKind::TextBox, .left = 720, .top = 1125, .width = 2805,
         .height = 420, .tabIndex = 3},
        {.name = "cmdOK", .kind = ControlKind::CommandButton, .caption = "OK", .left = 3870,
         .top = 210, .width = 960, .height = 420, .tabIndex = 1},
        {.name = "cmdCancel", .kind = ControlKind::CommandButton, .caption = "Cancel",
         .left = 3870, .top = 750, .width = 960, .height = 420, .tabIndex = 2},
    });
    Get<forms::Image>("imgInput").SetPicture("icon:input");
    auto& ok = Get<forms::CommandButton>("cmdOK");
    ok.SetDefault(true);
    ok.onClick = [this] { cmdOK_Click(); };
    auto& cancel = Get<forms::CommandButton>("cmdCancel");
    cancel.SetCancel(true);
    cancel.onClick = [this] { cmdCancel_Click(); };
    auto& text = Get<forms::TextBox>("txtInput");
    text.onKeyPress = [this](int& key) { txtInput_KeyPress(key); };
    text.onChange = [this] { txtInput_Change(); };
}

std::string frmInput::Ask(const std::string& caption, const std::string& prompt) {
    SetCaption(caption);
    Get<forms::Label>("lblInput").SetCaption(prompt);
    Get<forms::TextBox>("txtInput").SetText("");
    Show(forms::vbModal);
    return text::Trim(Get<forms::TextBox>("txtInput").Text());
}

void frmInput::Form_Activate() { Get<forms::TextBox>("txtInput").SetFocus(); }

void frmInput::Form_QueryUnload(int& cancel, int unloadMode) {
    // The close box cancels, and the form stays loaded for the next question.
    if (unloadMode == forms::vbFormControlMenu) {
        cancel = 1;
        cmdCancel_Click();
    }
}

void frmInput::txtInput_KeyPress(int& KeyAscii) {
    if (!IsNameKey(KeyAscii)) KeyAscii = 0;
}

void frmInput::txtInput_Change() {
    // Text pasted into the box never passes KeyPress; it obeys the same rule,
    // so a name can never carry blanks, "=" or line ends into the store.
    auto& text = Get<forms::TextBox>("txtInput");
    std::string kept;
    for (char c : text.Text())
        if (c >= 'a' && c <= 'z') kept += c;
    if (kept != text.Text()) text.SetText(kept);
}

void frmInput::cmdOK_Click() { Hide(); }

void frmInput::cmdCancel_Click() {
    Get<forms::TextBox>("txtInput").SetText("");
    Hide();
}

}  // namespace config
