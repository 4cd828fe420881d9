#pragma once
// The dialog "Manage Configurations": the configurations of the active
// project (selecting one makes it current), its compilation constants with a
// check box each (the value in the selected configuration), "..." buttons that
// add a configuration or a constant, Close (applies the configuration to the
// code) and About. Every change goes to the project's store at once.

#include "config/list_view.h"
#include "platform/forms/form.h"

namespace config {

class Connect;
class frmInput;

class frmConfig : public forms::Form, public FillGuardedForm {
public:
    // `input` is the add-in's input box, loaded beside this dialog.
    explicit frmConfig(frmInput& input);

    // The add-in object through which the dialog reaches the store
    // operations, the toolbar drop-down and the environment.
    config::Connect* Connect() const { return m_Connect; }
    void SetConnect(config::Connect* objConnect) { m_Connect = objConnect; }

protected:
    void Form_QueryUnload(int& cancel, int unloadMode) override;

private:
    config::Connect& Addin() const;

    void lstConfigs_Click();
    void lstConstants_ItemCheck(int Item);
    void cmdNewConfig_Click();
    void cmdNewConst_Click();
    void cmdClose_Click();
    void cmdAbout_Click();

    config::Connect* m_Connect = nullptr;
    frmInput& m_Input;
};

}  // namespace config
