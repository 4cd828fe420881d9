#pragma once
// The custom-object wizard: one window with four pages (welcome, package and
// component, registry entries, finished). Page 1 lists the packages and
// components of the transaction server's catalog; "Finish" on page 2 writes
// the registry script for the chosen component and hands it to the registry
// editor.

#include <functional>
#include <memory>
#include <string>

#include "platform/forms/app_info.h"
#include "platform/forms/form.h"
#include "platform/forms/string_table.h"
#include "platform/mts/catalog.h"

namespace fenmoor {

// What the wizard needs from the program around it.
struct WizardServices {
    // App: its Path is the folder that receives "wizard.reg"; its Title heads
    // the report of an unhandled error.
    forms::AppInfo app;
    // Creates a catalog object; the registry store's catalog when empty.
    std::function<std::unique_ptr<mts::ICatalog>()> createCatalog;
    // Ends the program at once (no further questions). When empty the wizard
    // hides itself, which ends a program whose loop runs while a form is shown.
    std::function<void()> endProgram;
};

// The program's own description of itself (App), with Path left empty.
forms::AppInfo FenmoorApp();

// The string table: button captions and page texts, ids 1 to 16.
const forms::StringTable& WizardStrings();

class frmWizard : public forms::Form {
public:
    explicit frmWizard(WizardServices services);

    // The script's path: the program's folder + "/wizard.reg".
    std::string ScriptPath() const;

    // Read by tests and by the tour.
    int Step() const { return intStep; }
    const std::string& CLSID() const { return strCLSID; }
    const std::string& ProgID() const { return strProgID; }

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void lstPackages_Click();
    void lstComponents_Click();

    void ShowStep();
    void ListPackages();
    // Both answer the empty text on success, otherwise what the user is told.
    std::string WriteRegFile();
    std::string RunRegedit();

    void ShowListsAndChecks(bool lists, bool checks);
    void End();

    WizardServices services_;
    bool ended_ = false;

    short intStep = 0;
    std::unique_ptr<mts::ICatalog> objCatalog;
    std::shared_ptr<mts::ICatalogCollection> objRoot;
    std::shared_ptr<mts::ICatalogCollection> objPackages;
    std::shared_ptr<mts::ICatalogCollection> objComponents;
    std::string strCLSID;
    std::string strProgID;
};

}  // namespace fenmoor
