#include "wendover/frmOptions.h"

#include <string>

#include "platform/forms/runtime.h"
#include "platform/win/profile.h"
#include "shared/frmAbout.h"
#include "wendover/basWendover.h"

namespace wendover {

using forms::ControlKind;

namespace {

// Index 0 of every check-box array sits in the "Close for Max Area" frame,
// index 1 in the "Open to Restore Area" frame.
constexpr int kMaxClose = 0;
constexpr int kRestoreOpen = 1;

// The text Windows gives for the errors a profile write reports.
std::string DescribeWriteError(win::DWORD code) {
    switch (code) {
        case win::ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
        case win::ERROR_ACCESS_DENIED: return "Access is denied.";
        case win::ERROR_SHARING_VIOLATION:
            return "The process cannot access the file because it is being used by another "
                   "process.";
        default: return "Windows error " + std::to_string(code) + ".";
    }
}

}  // namespace

frmOptions::frmOptions() : forms::Form("frmOptions") {
    SetCaption("VB Wendover Agent");
    SetClientSize(4680, 3420);
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetStartUpPosition(forms::vbStartUpScreen);
    SetIcon("icon:wendover");
    SetAppTitle(App().Title);

    AddControls({
        {.name = "fraOptions", .index = kMaxClose, .kind = ControlKind::Frame,
         .caption = "Close for Max Area", .left = 45, .top = 90, .width = 2220, .height = 2805,
         .tabIndex = 0},
        {.name = "fraOptions", .index = kRestoreOpen, .kind = ControlKind::Frame,
         .caption = "Open to Restore Area", .left = 2385, .top = 90, .width = 2220, .height = 2805,
         .tabIndex = 1},
    });
    // Tab order: the left column top to bottom, then the right one, then the
    // buttons from left to right as they stand.
    int tab = 2;
    for (int column : {kMaxClose, kRestoreOpen})
        for (const OptionRow& row : kOptionRows)
            AddControl({.name = row.control,
                        .index = column,
                        .kind = ControlKind::CheckBox,
                        .caption = row.caption,
                        .container = "fraOptions",
                        .containerIndex = column,
                        .left = 45,
                        .top = row.top,
                        .width = 2085,
                        .height = 195,
                        .tabIndex = tab++});
    AddControls({
        {.name = "cmdAbout", .kind = ControlKind::CommandButton, .caption = "&About", .left = 585,
         .top = 2970, .width = 1230, .height = 375, .tabIndex = tab},
        {.name = "cmdCancel", .kind = ControlKind::CommandButton, .caption = "&Cancel",
         .left = 1980, .top = 2970, .width = 1230, .height = 375, .tabIndex = tab + 1},
        {.name = "cmdOK", .kind = ControlKind::CommandButton, .caption = "&OK", .left = 3375,
         .top = 2970, .width = 1230, .height = 375, .tabIndex = tab + 2},
    });

    auto& ok = Get<forms::CommandButton>("cmdOK");
    ok.SetDefault(true);
    ok.onClick = [this] { cmdOK_Click(); };
    // Escape leaves the dialog without saving, as a user expects of a
    // settings dialog, rather than opening the About box.
    auto& cancel = Get<forms::CommandButton>("cmdCancel");
    cancel.SetCancel(true);
    cancel.onClick = [this] { cmdCancel_Click(); };
    Get<forms::CommandButton>("cmdAbout").onClick = [this] { cmdAbout_Click(); };
}

void frmOptions::Form_Load() {
    for (const OptionRow& row : kOptionRows) {
        Get<forms::CheckBox>(row.control, kMaxClose)
            .SetValue(GetMaxClose(row.kind) ? forms::vbChecked : forms::vbUnchecked);
        Get<forms::CheckBox>(row.control, kRestoreOpen)
            .SetValue(GetRestoreOpen(row.kind) ? forms::vbChecked : forms::vbUnchecked);
    }
}

void frmOptions::cmdOK_Click() {
    for (const OptionRow& row : kOptionRows) {
        const char* section = SectionOf(row.kind);
        for (int column : {kMaxClose, kRestoreOpen}) {
            const char* key = column == kMaxClose ? kMaxCloseKey : kRestoreOpenKey;
            // A ticked box (1) is stored as -1, VB's True; a cleared one as 0.
            const std::string value =
                std::to_string(-Get<forms::CheckBox>(row.control, column).Value());
            const std::string path = SettingsPath();
            if (!win::WritePrivateProfileStringA(section, key, value.c_str(), path.c_str())) {
                // The choices were not saved: say so, and keep the dialog open
                // with the user's ticks so that nothing is lost and OK can be
                // tried again (or the dialog cancelled).
                const win::DWORD error = win::GetLastError();
                forms::MsgBox("The options could not be saved to the settings file\r\n" + path +
                                  "\r\n\r\n" + DescribeWriteError(error),
                              forms::vbOKOnly | forms::vbExclamation, "VB Wendover Agent");
                return;
            }
        }
    }
    Unload();
}

void frmOptions::cmdCancel_Click() { Unload(); }

void frmOptions::cmdAbout_Click() {
    about::ShowAbout(App(), about::Deliverable::Wendover, forms::vbModeless);
}

}  // namespace wendover
