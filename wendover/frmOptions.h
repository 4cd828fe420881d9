#pragma once
// The work-area options dialog: per window kind, whether "&Max Work Area"
// closes its windows (left frame) and whether "&Restore Work Area" shows them
// (right frame). It opens on what the settings file holds and writes all 18
// choices back on OK. Modeless; the add-in keeps one instance.

#include "platform/forms/form.h"

namespace wendover {

// One row of the dialog: its check-box array, caption, top in its frame, and
// the window kind whose section it stands for.
struct OptionRow {
    const char* control;
    const char* caption;
    int top;
    short kind;
};

// The nine rows from top to bottom; the order in which OK writes the file.
inline constexpr OptionRow kOptionRows[] = {
    {"chkImmediate", "Immediate Window", 270, 5},
    {"chkLocals", "Locals Window", 545, 4},
    {"chkWatch", "Watch Window", 820, 3},
    {"chkProject", "Project Window", 1095, 6},
    {"chkProperties", "Properties Window", 1370, 7},
    {"chkBrowser", "Object Browser", 1645, 2},
    {"chkLayout", "Form Layout Window", 1920, 13},
    {"chkToolbox", "Tool Windows", 2195, 15},
    {"chkColor", "Color Palette", 2475, 14},
};

class frmOptions : public forms::Form {
public:
    frmOptions();

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdAbout_Click();
};

}  // namespace wendover
