#pragma once
// Larkspur's main window: pick a data object's ProgID from the registry, name
// the new provider, give it a GUID and a description, and press "GO!" to write
// the registration script and hand it to the registry editor.

#include <memory>
#include <string>

#include "larkspur/CRegistry.h"
#include "larkspur/provider_registration.h"
#include "platform/forms/form.h"

namespace larkspur {

class frmOLESP : public forms::Form {
public:
    frmOLESP();
    ~frmOLESP() override;

    // The runtime's registered path as read at start-up.
    const std::string& ServerPath() const { return serverPath_; }
    // The script's full path: the program's folder and "\Provider.reg".
    static std::string ScriptPath();

protected:
    void Form_Load() override;

private:
    void cmdGen_Click();
    void cmdGO_Click();
    void cmdAbout_Click();
    void lstDataProgIDs_Click();
    void txtDataProgID_Change();
    void txtDataProgID_KeyPress(int& KeyAscii);
    void txtName_KeyPress(int& KeyAscii);

    void TakeSelectedProgID();
    void FillProgIDs();

    std::unique_ptr<CRegistry> registry_;
    std::string serverPath_;
};

}  // namespace larkspur
