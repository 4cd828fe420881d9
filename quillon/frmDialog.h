#pragma once
// The procedure dialog: the user describes a procedure (name, arguments, kind,
// scope, data type, options) and the caller reads the controls once the modal
// showing ends. The form stays loaded between uses, so its state, including
// intDataClass, carries over from one use to the next.

#include <cstdint>
#include <string>

#include "platform/forms/app_info.h"
#include "platform/forms/form.h"
#include "quillon/generator.h"

namespace quillon {

class frmDialog : public forms::Form {
public:
    // app describes the add-in for its About box.
    explicit frmDialog(forms::AppInfo app);

    // The data class of the type last picked from the list; kept between uses
    // and read by the caller after the dialog is hidden.
    std::int16_t intDataClass = classValue;

    // Prepares the dialog for an opening: empty texts, Sub and Public selected,
    // options cleared (the transaction-server box included) and the type list
    // holding the standard types. intDataClass is left alone.
    void PrepareForOpening();

    // The request as the controls stand; the project name is left empty for the
    // caller to fill in.
    ProcedureRequest Request() const;

    forms::TextBox& txtName() const { return Get<forms::TextBox>("txtName"); }
    forms::TextBox& txtArgs() const { return Get<forms::TextBox>("txtArgs"); }
    forms::ComboBox& cboDataType() const { return Get<forms::ComboBox>("cboDataType"); }
    forms::OptionButton& optType(int index) const { return Get<forms::OptionButton>("optType", index); }
    forms::OptionButton& optScope(int index) const { return Get<forms::OptionButton>("optScope", index); }
    forms::CheckBox& Check(const char* name) const { return Get<forms::CheckBox>(name); }

    // Handlers.
    void optType_Click(int index);
    void cboDataType_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdAbout_Click();

protected:
    // The window's close box answers like Cancel and keeps the form loaded.
    void Form_QueryUnload(int& cancel, int unloadMode) override;

private:
    void DeclareControls();
    void BindHandlers();

    forms::AppInfo app_;
};

}  // namespace quillon
