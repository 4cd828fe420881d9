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
    SetStartUpPosition(1);
    SetIcon("icon:input");

    AddControls({
        {"imgInput", -1, ControlKind::Image, "", nullptr, -1, 158, 210, 480, 480, 4},
        {"lblInput", -1, ControlKind::Label, "", nullptr, -1, 765, 210, 2715, 690, 0},
        {"txtInput", -1, ControlKind::TextBox, "", nullptr, -1, 720, 1125, 2805, 420, 3},
        {"cmdOK", -1, ControlKind::CommandButton, "OK", nullptr, -1, 3870, 210, 960, 420, 1},
        {"cmdCancel", -1, ControlKind::CommandButton, "Cancel", nullptr, -1, 3870, 750, 960, 420, 2},
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
