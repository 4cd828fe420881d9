#include "shared/frmAbout.h"

#include <list>
#include <memory>

namespace about {

using forms::ControlKind;

namespace {

const char* const kLegalNotice =
    "Copyright \xA9 Tarnwick Software. This program is free to use and to pass on "
    "unchanged; it comes with no warranty of any kind.";
const char* const kMakerLine =
    "Tarnwick Software builds small, dependable tools for programmers who keep classic "
    "Visual Basic code alive.";

struct Look {
    const char* caption;
    const char* icon;
    bool threePartVersion;
};

Look LookOf(Deliverable d) {
    switch (d) {
        case Deliverable::Larkspur: return {"Larkspur", "icon:larkspur", true};
        case Deliverable::Quillon: return {"Quillon", "icon:quillon", true};
        case Deliverable::Config: return {"About Thornbury", "icon:config", false};
        case Deliverable::Wendover: return {"VB Wendover Agent", "icon:wendover", false};
    }
    return {"", "", true};
}

}  // namespace

frmAbout::frmAbout(const forms::AppInfo& app, Deliverable deliverable)
    : forms::Form("frmAbout"), app_(app), deliverable_(deliverable) {
    const Look look = LookOf(deliverable);
    const bool wendover = deliverable == Deliverable::Wendover;
    const bool config = deliverable == Deliverable::Config;
    SetCaption(look.caption);
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetShowInTaskbar(false);
    SetStartUpPosition(2);
    SetClientSize(5730, wendover ? 4800 : 4170);
    SetIcon(look.icon);

    AddControls({
        {"cmdOK", -1, ControlKind::CommandButton, "OK", nullptr, -1, 4185, wendover ? 3465 : 2160,
         1260, 345, 0},
        {"picIcon", -1, ControlKind::PictureBox, "", nullptr, -1, 240, 240, 540, 540, 1},
        {"lblTitle", -1, ControlKind::Label, "Application Title", nullptr, -1, 1050, 240, 3885,
         480, 2},
        {"lblVersion", -1, ControlKind::Label, "Version", nullptr, -1, 1050, 780, 3885, 225, 3},
        {"lblDescription", -1, ControlKind::Label, "App Description", nullptr, -1, 1050, 1125,
         3885, wendover ? 1170 : 585, 4},
        {"Line1", 1, ControlKind::Line, "", nullptr, -1, 0, 0, 0, 0, 5},
        {"Line1", 0, ControlKind::Line, "", nullptr, -1, 0, 0, 0, 0, 6},
        {"lblCompany", -1, ControlKind::Label, kLegalNotice, nullptr, -1, 255,
         wendover ? 2625 : 2160, 3015, 1095, 7},
        {"lblShameless", -1, ControlKind::Label, kMakerLine, nullptr, -1, 225,
         wendover ? 3960 : 3375, 5325, 690, 8},
    });

    // The etched separator: a grey line over a white one, one pixel apart.
    auto& grey = Get<forms::Line>("Line1", 1);
    grey.SetPoints(90, wendover ? 2445 : 1970, 5654, wendover ? 2445 : 1970);
    grey.SetBorderColor(0x808080);
    auto& white = Get<forms::Line>("Line1", 0);
    white.SetPoints(105, wendover ? 2460 : 1980, 5654, wendover ? 2460 : 1980);
    white.SetBorderColor(0xFFFFFF);
    white.SetBorderWidth(2);

    Get<forms::PictureBox>("picIcon").SetPicture(look.icon);
    auto& ok = Get<forms::CommandButton>("cmdOK");
    ok.SetDefault(true);
    ok.SetCancel(true);
    ok.onClick = [this] { cmdOK_Click(); };

    forms::Font titleFont{"MS Sans Serif", 12, true};
    if (config) {
        // This deliverable draws every label in Tahoma, the title not bold.
        titleFont = {"Tahoma", 12, false};
        forms::Font tahoma{"Tahoma", 8.25};
        for (const char* name : {"lblVersion", "lblDescription", "lblCompany", "lblShameless"})
            Ctl(name).SetFont(tahoma);
        ok.Move(4425, 2160, 1125, 375);
    }
    Ctl("lblTitle").SetFont(titleFont);
}

std::string frmAbout::VersionText(const forms::AppInfo& app, bool withRevision) {
    std::string text = std::to_string(app.Major) + "." + std::to_string(app.Minor);
    if (withRevision) text += "." + std::to_string(app.Revision);
    return text;
}

void frmAbout::Form_Load() {
    Ctl("lblTitle").SetCaption(app_.Title);
    Ctl("lblDescription").SetCaption(app_.FileDescription);
    Ctl("lblVersion").SetCaption(VersionText(app_, LookOf(deliverable_).threePartVersion));
}

void frmAbout::cmdOK_Click() { Unload(); }

void ShowAbout(const forms::AppInfo& app, Deliverable deliverable, int modal) {
    if (modal == forms::vbModal) {
        frmAbout box(app, deliverable);
        box.Show(forms::vbModal);
        box.Unload();
        return;
    }
    // Modeless boxes outlive this call; each is dropped once it has unloaded.
    static std::list<std::unique_ptr<frmAbout>> open;
    std::erase_if(open, [](const auto& box) { return !box->IsLoaded(); });
    open.push_back(std::make_unique<frmAbout>(app, deliverable));
    open.back()->Show(forms::vbModeless);
}

}  // namespace about
