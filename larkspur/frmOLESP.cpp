#include "larkspur/frmOLESP.h"

#include <cmath>
#include <exception>

#include "base/vb_error.h"
#include "larkspur/basOLESP.h"
#include "larkspur/larkspur_app.h"
#include "larkspur/provider_script.h"
#include "platform/forms/runtime.h"
#include "platform/win/files.h"
#include "platform/win/process.h"
#include "shared/frmAbout.h"

namespace larkspur {

namespace {

using forms::ControlKind;

const char* const kTitle = "Larkspur";

void Warn(const std::string& prompt) {
    forms::MsgBox(prompt, forms::vbOKOnly | forms::vbExclamation, kTitle);
}

// The folder of the program written with backslashes, as Windows paths are;
// the file layer takes backslashes as folder separators.
std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string NativePath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// Writes the whole script or nothing: a file that cannot be written (a
// read-only one included) raises 75.
void WriteScript(const std::string& path, const std::string& text) {
    if (!win::WriteFileAtomically(NativePath(path), text).empty()) throw vb::VbError(75, kTitle);
}

}  // namespace

frmOLESP::frmOLESP() : forms::Form("frmOLESP") {
    SetCaption("Larkspur");
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetStartUpPosition(forms::vbStartUpScreen);
    SetClientSize(6315, 4125);
    SetIcon("icon:larkspur");
    SetAppTitle(App().Title);
    SetFont({"Tahoma", 9.75});

    AddControls({
        {.name = "lblDataSource", .kind = ControlKind::Label, .caption = "DataSource ProgID",
         .left = 270, .top = 225, .width = 1950, .height = 240, .tabIndex = 0},
        {.name = "txtDataProgID", .kind = ControlKind::TextBox, .left = 225, .top = 495,
         .width = 2355, .height = 360, .tabIndex = 1},
        {.name = "lblName", .kind = ControlKind::Label, .caption = "Provider ProgID", .left = 2835,
         .top = 225, .width = 1950, .height = 240, .tabIndex = 2},
        {.name = "txtName", .kind = ControlKind::TextBox, .left = 2790, .top = 495, .width = 3300,
         .height = 420, .tabIndex = 3},
        {.name = "lblGUID", .kind = ControlKind::Label, .caption = "Provider GUID", .left = 2835,
         .top = 1125, .width = 1950, .height = 240, .tabIndex = 4},
        {.name = "txtGUID", .kind = ControlKind::TextBox, .left = 2790, .top = 1395, .width = 2850,
         .height = 420, .tabIndex = 5},
        {.name = "cmdGen", .kind = ControlKind::CommandButton, .caption = "...", .left = 5625,
         .top = 1395, .width = 465, .height = 420, .tabIndex = 6},
        {.name = "lblDescription", .kind = ControlKind::Label, .caption = "Provider Description",
         .left = 2835, .top = 2115, .width = 1905, .height = 240, .tabIndex = 7},
        {.name = "txtDescription", .kind = ControlKind::TextBox, .left = 2805, .top = 2385,
         .width = 3300, .height = 420, .tabIndex = 8},
        {.name = "cmdGO", .kind = ControlKind::CommandButton, .caption = "GO!", .left = 4995,
         .top = 3510, .width = 1095, .height = 420, .tabIndex = 9},
        {.name = "lstDataProgIDs", .kind = ControlKind::ListBox, .left = 225, .top = 900,
         .width = 2355, .height = 2985, .tabIndex = 10},
        {.name = "cmdAbout", .kind = ControlKind::CommandButton, .caption = "About", .left = 3690,
         .top = 3510, .width = 1095, .height = 420, .tabIndex = 11},
    });
    Ctl("cmdGO").SetFont({"Tahoma", 12});
    Get<forms::TextBox>("txtDescription").SetText(kDefaultDescription);

    Ctl("cmdGen").onClick = [this] { cmdGen_Click(); };
    Ctl("cmdGO").onClick = [this] { cmdGO_Click(); };
    Ctl("cmdAbout").onClick = [this] { cmdAbout_Click(); };
    Ctl("lstDataProgIDs").onClick = [this] { lstDataProgIDs_Click(); };
    Ctl("txtDataProgID").onChange = [this] { txtDataProgID_Change(); };
    Ctl("txtDataProgID").onKeyPress = [this](int& key) { txtDataProgID_KeyPress(key); };
    Ctl("txtName").onKeyPress = [this](int& key) { txtName_KeyPress(key); };
}

frmOLESP::~frmOLESP() = default;

std::string frmOLESP::ScriptPath() { return WindowsPath(App().Path) + "\\Provider.reg"; }

void frmOLESP::Form_Load() {
    forms::Screen().SetMousePointer(forms::vbHourglass);
    Show();
    forms::DoEvents();
    Warn("WARNING!  Backup your Registry before running this utility!");
    try {
        registry_ = std::make_unique<CRegistry>();
        serverPath_ = ReadRuntimeServerPath(*registry_);
        if (serverPath_.empty()) {
            Warn(kRuntimeRequired);
            forms::End();  // the program stops here, before the form is usable
            return;
        }
        FillProgIDs();
    } catch (const vb::VbError& e) {
        Warn(e.Description());
    } catch (const std::exception& e) {
        Warn(e.what());
    }
    forms::Screen().SetMousePointer(forms::vbDefault);
}

void frmOLESP::FillProgIDs() {
    registry_->SetRoot(kHKeyLocalMachine);
    registry_->SetKey("SOFTWARE\\Classes");
    auto& list = Get<forms::ListBox>("lstDataProgIDs");
    list.Clear();
    const int count = registry_->SubKeyCount();
    for (int i = 0; i < count; ++i) {
        const std::string name = registry_->GetSubKey(static_cast<std::int16_t>(i));
        if (!name.empty() && name[0] != '.' && name.find('.') != std::string::npos)
            list.AddItem(name);
        if (i % 200 == 0) forms::DoEvents();
    }
    // Three times the visible width, in whole pixels (halves to even).
    const double pixels =
        static_cast<double>(list.Width()) / forms::Screen().TwipsPerPixelX() * 3;
    list.SetHorizontalExtent(static_cast<int>(std::nearbyint(pixels)));
}

void frmOLESP::txtDataProgID_Change() {
    const std::string& text = Get<forms::TextBox>("txtDataProgID").Text();
    if (!text.empty()) Get<forms::ListBox>("lstDataProgIDs").SelectString(-1, text);
}

void frmOLESP::TakeSelectedProgID() {
    auto& list = Get<forms::ListBox>("lstDataProgIDs");
    auto& dataProgID = Get<forms::TextBox>("txtDataProgID");
    dataProgID.SetText(list.ListIndex() >= 0 ? list.List(list.ListIndex()) : std::string());
    Get<forms::TextBox>("txtName").SetText(LeftOfDelimiter(dataProgID.Text(), "."));
}

void frmOLESP::lstDataProgIDs_Click() { TakeSelectedProgID(); }

void frmOLESP::txtDataProgID_KeyPress(int& KeyAscii) {
    if (KeyAscii == forms::vbKeyReturn && Get<forms::ListBox>("lstDataProgIDs").ListIndex() != -1)
        TakeSelectedProgID();
}

void frmOLESP::txtName_KeyPress(int& KeyAscii) {
    const bool letter = (KeyAscii >= 'A' && KeyAscii <= 'Z') || (KeyAscii >= 'a' && KeyAscii <= 'z');
    if (!letter && KeyAscii != forms::vbKeyBack) KeyAscii = 0;
}

void frmOLESP::cmdGen_Click() {
    try {
        Get<forms::TextBox>("txtGUID").SetText(NewProviderGUID());
    } catch (const vb::VbError& e) {
        Warn(e.Description());
    }
}

void frmOLESP::cmdGO_Click() {
    ProviderScriptInput input;
    input.providerProgID = Get<forms::TextBox>("txtName").Text();
    input.description = Get<forms::TextBox>("txtDescription").Text();
    input.providerGUID = Get<forms::TextBox>("txtGUID").Text();
    input.dataSourceProgID = Get<forms::TextBox>("txtDataProgID").Text();
    input.serverPath = serverPath_;
    // A script that would import something other than what was typed (or
    // overwrite the root's values) is refused before anything is written.
    if (const ProviderRefusal refusal = RefuseProviderScript(input)) {
        Warn(refusal.message);
        return;
    }

    forms::Screen().SetMousePointer(forms::vbHourglass);
    try {
        const std::string path = ScriptPath();
        WriteScript(path, BuildProviderScript(input));
        const std::string shortPath = GetShortNameFromLongName(path);
        win::Shell(shortPath.empty() ? std::string("REGEDIT ") : RegeditCommandLine(win::PlatformPath(shortPath)),
                   win::vbMinimizedFocus);
    } catch (const vb::VbError& e) {
        Warn(e.Description());
    } catch (const std::exception& e) {
        Warn(e.what());
    }
    forms::Screen().SetMousePointer(forms::vbDefault);
}

void frmOLESP::cmdAbout_Click() { about::ShowAbout(App(), about::Deliverable::Larkspur, forms::vbModal); }

}  // namespace larkspur
