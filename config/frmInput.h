#pragma once
// The small input box that asks for the name of a new configuration or
// constant. The caller sets the caption, the prompt (lblInput) and an empty
// text, shows it modally and reads txtInput afterwards; Cancel, Esc and the
// close box leave the text empty.

#include <string>

#include "platform/forms/form.h"

namespace config {

class frmInput : public forms::Form {
public:
    frmInput();

    // The caller's protocol in one call: answers the trimmed name typed, or
    // "" when nothing was entered or the user cancelled.
    std::string Ask(const std::string& caption, const std::string& prompt);

protected:
    void Form_Activate() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

private:
    void txtInput_KeyPress(int& KeyAscii);
    void txtInput_Change();
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace config
