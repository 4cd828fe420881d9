#include "larkspur/frmOLESP.h"

#include <cmath>
#include <exception>
#include <fstream>

#include "base/vb_error.h"
#include "larkspur/basOLESP.h"
#include "larkspur/larkspur_app.h"
#include "larkspur/provider_script.h"
#include "platform/forms/runtime.h"
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

// Writes the script line by line, as VB's Print # does: a file that cannot be
// created raises 75, a failed write 57, and what was written stays.
void WriteScript(const std::string& path, const std::string& text) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    if (!out) throw vb::VbError(75, kTitle);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        out.write(text.data() + start, static_cast<std::streamsize>(end - start));
        out.flush();
        if (!out) throw vb::VbError(57, kTitle);
        start = end;
    }
    out.close();
    if (!out) throw vb::VbError(57, kTitle);
}

}  // namespace

frmOLESP::frmOLESP() : forms::Form("frmOLESP") {
    SetCaption("Larkspur");
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetStartUpPosition(2);
    SetClientSize(6315, 4125);
    SetIcon("icon:larkspur");
    SetFont({"Tahoma", 9.75});

    AddControls({
        {"lblDataSource", -1, ControlKind::Label, "DataSource ProgID", nullptr, -1, 270, 225, 1950, 240, 0},
        {"txtDataProgID", -1, ControlKind::TextBox, "", nullptr, -1, 225, 495, 2355, 360, 1},
        {"lblName", -1, ControlKind::Label, "Provider ProgID", nullptr, -1, 2835, 225, 1950, 240, 2},
        {"txtName", -1, ControlKind::TextBox, "", nullptr, -1, 2790, 495, 3300, 420, 3},
        {"lblGUID", -1, ControlKind::Label, "Provider GUID", nullptr, -1, 2835, 1125, 1950, 240, 4},
        {"txtGUID", -1, ControlKind::TextBox, "", nullptr, -1, 2790, 1395, 2850, 420, 5},
        {"cmdGen", -1, ControlKind::CommandButton, "...", nullptr, -1, 5625, 1395, 465, 420, 6},
        {"lblDescription", -1, ControlKind::Label, "Provider Description", nullptr, -1, 2835, 2115, 1905, 240, 7},
        {"txtDescription", -1, ControlKind::TextBox, "", nullptr, -1, 2805, 2385, 3300, 420, 8},
        {"cmdGO", -1, ControlKind::CommandButton, "GO!", nullptr, -1, 4995, 3510, 1095, 420, 9},
        {"lstDataProgIDs", -1, ControlKind::ListBox, "", nullptr, -1, 225, 900, 2355, 2985, 10},
        {"cmdAbout", -1, ControlKind::CommandButton, "About", nullptr, -1, 3690, 3510, 1095, 420, 11},
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
        win::Shell(shortPath.empty() ? std::string("REGEDIT ") : RegeditCommandLine(shortPath),
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
