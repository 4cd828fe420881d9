#include "shared/frmAbout.h"

#include <map>
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
    SetStartUpPosition(forms::vbStartUpScreen);
    SetClientSize(5730, wendover ? 4800 : 4170);
    SetIcon(look.icon);
    SetAppTitle(app.Title);

    AddControls({
        {.name = "cmdOK", .kind = ControlKind::CommandButton, .caption = "OK", .left = 4185,
         .top = wendover ? 3465 : 2160, .width = 1260, .height = 345, .tabIndex = 0},
        {.name = "picIcon", .kind = ControlKind::PictureBox, .left = 240, .top = 240, .width = 540,
         .height = 540, .tabIndex = 1},
        {.name = "lblTitle", .kind = ControlKind::Label, .caption = "Application Title",
         .left = 1050, .top = 240, .width = 3885, .height = 480, .tabIndex = 2},
        {.name = "lblVersion", .kind = ControlKind::Label, .caption = "Version", .left = 1050,
         .top = 780, .width = 3885, .height = 225, .tabIndex = 3},
        {.name = "lblDescription", .kind = ControlKind::Label, .caption = "App Description",
         .left = 1050, .top = 1125, .width = 3885, .height = wendover ? 1170 : 585, .tabIndex = 4},
        {.name = "Line1", .index = 1, .kind = ControlKind::Line, .tabIndex = 5},
        {.name = "Line1", .index = 0, .kind = ControlKind::Line, .tabIndex = 6},
        {.name = "lblCompany", .kind = ControlKind::Label, .caption = kLegalNotice, .left = 255,
         .top = wendover ? 2625 : 2160, .width = 3015, .height = 1095, .tabIndex = 7},
        {.name = "lblShameless", .kind = ControlKind::Label, .caption = kMakerLine, .left = 225,
         .top = wendover ? 3960 : 3375, .width = 5325, .height = 690, .tabIndex = 8},
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
    std::string text = std::to_string(app.Major);
    text += '.';
    text += std::to_string(app.Minor);
    if (withRevision) {
        text += '.';
        text += std::to_string(app.Revision);
    }
    return text;
}

void frmAbout::Form_Load() {
    Ctl("lblTitle").SetCaption(app_.Title);
    Ctl("lblDescription").SetCaption(app_.FileDescription);
    Ctl("lblVersion").SetCaption(VersionText(app_, LookOf(deliverable_).threePartVersion));
}

void frmAbout::cmdOK_Click() { Unload(); }

namespace {

// The modeless About box each deliverable has open, at most one.
std::map<Deliverable, std::unique_ptr<frmAbout>>& ModelessBoxes() {
    static std::map<Deliverable, std::unique_ptr<frmAbout>> boxes;
    return boxes;
}

}  // namespace

void ShowAbout(const forms::AppInfo& app, Deliverable deliverable, int modal) {
    if (modal == forms::vbModal) {
        frmAbout box(app, deliverable);
        box.Show(forms::vbModal);
        box.Unload();
        return;
    }
    auto& box = ModelessBoxes()[deliverable];
    if (!box || !box->IsLoaded()) box = std::make_unique<frmAbout>(app, deliverable);
    // On the box already open, Show brings it to the front.
    box->Show(forms::vbModeless);
}

void CloseAbout(Deliverable deliverable) {
    auto& boxes = ModelessBoxes();
    const auto it = boxes.find(deliverable);
    if (it == boxes.end()) return;
    const std::unique_ptr<frmAbout> box = std::move(it->second);
    boxes.erase(it);
    box->Unload();
}

}  // namespace about
