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

// Opens the About box. Modal: a fresh box, and the call returns when it is
// closed. Modeless: one box per deliverable; while it is open, another
// showing brings it to the front instead of opening a second one.
void ShowAbout(const forms::AppInfo& app, Deliverable deliverable, int modal);
// Closes the deliverable's modeless About box, if open: an add-in calls this
// when it disconnects, before its library may go.
void CloseAbout(Deliverable deliverable);

}  // namespace about
