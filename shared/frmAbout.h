#pragma once
// The About box that four deliverables carry: one design whose caption, title,
// version format, fonts and layout differ per deliverable.

#include "platform/forms/app_info.h"
#include "platform/forms/form.h"

namespace about {

enum class Deliverable { Larkspur, Quillon, Config, Wendover };

class frmAbout : public forms::Form {
public:
    frmAbout(const forms::AppInfo& app, Deliverable deliverable);

    // "major.minor.revision" or "major.minor", decimal, no padding.
    static std::string VersionText(const forms::AppInfo& app, bool withRevision);

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();

    forms::AppInfo app_;
    Deliverable deliverable_;
};

// Opens a fresh About box: modal (returns when closed) or modeless (the box
// lives until the user closes it).
void ShowAbout(const forms::AppInfo& app, Deliverable deliverable, int modal);

}  // namespace about
