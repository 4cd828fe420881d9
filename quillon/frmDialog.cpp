#include "quillon/frmDialog.h"

#include <utility>

#include "quillon/data_types.h"
#include "quillon/kind_table.h"
#include "shared/frmAbout.h"

namespace quillon {

namespace {

using forms::ControlKind;

constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kGrey = 0xC0C0C0;

const char* const kPropertyBoxes[] = {"chkRead", "chkWrite", "chkMember", "chkCodeMember"};

// Controls in tab order; positions are Left, Top, Width, Height in twips,
// relative to the container.
const std::vector<forms::ControlRow>& ControlTable() {
    static const std::vector<forms::ControlRow> table{
        {"lblDialog", 0, ControlKind::Label, "&Name", nullptr, -1, 135, 270, 555, 240, 0},
        {"txtName", -1, ControlKind::TextBox, "", nullptr, -1, 810, 270, 2490, 285, 1},
        {"lblDialog", 2, ControlKind::Label, "Ar&gs", nullptr, -1, 135, 585, 555, 240, 2},
        {"txtArgs", -1, ControlKind::TextBox, "", nullptr, -1, 810, 585, 2490, 285, 3},
        {"cmdOK", -1, ControlKind::CommandButton, "&OK", nullptr, -1, 3465, 225, 1185, 330, 4},
        {"cmdCancel", -1, ControlKind::CommandButton, "&Cancel", nullptr, -1, 3465, 630, 1185, 330, 5},
        {"fraDialog", 0, ControlKind::Frame, "Type", nullptr, -1, 90, 1080, 2400, 870, 6},
        {"optType", 0, ControlKind::OptionButton, "&Sub", "fraDialog", 0, 90, 270, 825, 195, 7},
        {"optType", 2, ControlKind::OptionButton, "&Property", "fraDialog", 0, 1260, 270, 1095, 195, 8},
        {"optType", 1, ControlKind::OptionButton, "&Function", "fraDialog", 0, 90, 540, 1005, 195, 9},
        {"optType", 3, ControlKind::OptionButton, "&Event", "fraDialog", 0, 1260, 540, 825, 195, 10},
        {"fraDialog", 1, ControlKind::Frame, "Scope", nullptr, -1, 90, 2025, 2400, 870, 11},
        {"optScope", 0, ControlKind::OptionButton, "Pu&blic", "fraDialog", 1, 135, 270, 915, 195, 12},
        {"optScope", 2, ControlKind::OptionButton, "Fr&iend", "fraDialog", 1, 135, 540, 915, 195, 13},
        {"optScope", 1, ControlKind::OptionButton, "Pri&vate", "fraDialog", 1, 1305, 270, 915, 195, 14},
        {"fraDialog", 2, ControlKind::Frame, "Advanced", nullptr, -1, 2610, 1080, 2040, 1860, 15},
        {"lblDialog", 1, ControlKind::Label, "&Data Type", "fraDialog", 2, 90, 270, 915, 240, 16},
        {"cboDataType", -1, ControlKind::ComboBox, "", "fraDialog", 2, 90, 495, 1860, 315, 17},
        {"chkRead", -1, ControlKind::CheckBox, "&Read", "fraDialog", 2, 135, 900, 1140, 195, 18},
        {"chkWrite", -1, ControlKind::CheckBox, "&Write", "fraDialog", 2, 135, 1125, 1095, 195, 19},
        {"chkMember", -1, ControlKind::CheckBox, "Decla&re Member", "fraDialog", 2, 135, 1350, 1770, 195, 20},
        {"chkCodeMember", -1, ControlKind::CheckBox, "Code Mem&ber", "fraDialog", 2, 135, 1575, 1725, 195, 21},
        {"chkStatic", -1, ControlKind::CheckBox, "&All Local Variables as Statics", nullptr, -1, 90, 3105, 2850, 195, 22},
        {"chkMouse", -1, ControlKind::CheckBox, "Include &Mouse Handling", nullptr, -1, 90, 3330, 2850, 195, 23},
        {"chkError", -1, ControlKind::CheckBox, "Include &Error Handling", nullptr, -1, 90, 3555, 2850, 195, 24},
        {"cmdAbout", -1, ControlKind::CommandButton, "A&bout...", nullptr, -1, 3465, 3690, 1185, 330, 25},
        {"chkMTS", -1, ControlKind::CheckBox, "Microsoft Transaction Server", nullptr, -1, 90, 3780, 2895, 240, 26},
    };
    return table;
}

// The index of the first selected button of an array, counting from 0; 0 when
// none is selected.
std::int16_t SelectedIndex(const frmDialog& form, const char* name, int count) {
    for (int i = 0; i < count; ++i) {
        if (form.Get<forms::OptionButton>(name, i).Value()) return static_cast<std::int16_t>(i);
    }
    return 0;
}

}  // namespace

frmDialog::frmDialog(forms::AppInfo app) : forms::Form("frmDialog"), app_(std::move(app)) {
    SetCaption("Add Procedure");
    SetBorderStyle(forms::vbFixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetShowInTaskbar(false);
    SetStartUpPosition(1);
    SetClientSize(4830, 4140);
    DeclareControls();
    BindHandlers();
}

void frmDialog::DeclareControls() {
    SetFont({"Verdana", 8.25});
    AddControls(ControlTable());
    for (const char* button : {"cmdOK", "cmdCancel", "cmdAbout"}) Ctl(button).SetFont({"Tahoma", 8.25});
    Get<forms::CommandButton>("cmdOK").SetDefault(true);
    Get<forms::CommandButton>("cmdCancel").SetCancel(true);
    txtName().SetBackColor(kWhite);
    txtArgs().SetBackColor(kWhite);
    // The type field starts as every opening leaves it for a Sub: disabled, grey.
    cboDataType().SetStyle(0);
    cboDataType().SetEnabled(false);
    cboDataType().SetBackColor(kGrey);
    // Design-time state raises no events: the handlers are bound afterwards.
    optType(kindSub).SetValue(true);
    optScope(scopePublic).SetValue(true);
    for (const char* box : kPropertyBoxes) Check(box).SetValue(vbGrayed);
}

void frmDialog::BindHandlers() {
    for (int i = 0; i < 4; ++i) optType(i).onClick = [this, i] { optType_Click(i); };
    cboDataType().onClick = [this] { cboDataType_Click(); };
    Ctl("cmdOK").onClick = [this] { cmdOK_Click(); };
    Ctl("cmdCancel").onClick = [this] { cmdCancel_Click(); };
    Ctl("cmdAbout").onClick = [this] { cmdAbout_Click(); };
}

void frmDialog::optType_Click(int index) {
    if (index < 0 || index >= static_cast<int>(kKindTable.size())) return;
    const KindColumn& column = kKindTable[index];

    forms::ComboBox& type = cboDataType();
    type.SetEnabled(column.typeEnabled);
    type.SetBackColor(column.typeEnabled ? kWhite : kGrey);
    if (column.clearType) type.SetText("");

    forms::TextBox& args = txtArgs();
    args.SetEnabled(column.argsEnabled);
    args.SetBackColor(column.argsEnabled ? kWhite : kGrey);
    if (column.clearArgs) args.SetText("");

    for (const char* box : kPropertyBoxes) Check(box).SetValue(column.propertyBoxes);

    if (column.selectPublic) optScope(scopePublic).SetValue(true);
    for (int scope : {scopePublic, scopeFriend, scopePrivate}) optScope(scope).SetEnabled(column.scopeEnabled);

    auto apply = [this](const char* name, const std::optional<CheckState>& value, bool enabled) {
        forms::CheckBox& box = Check(name);
        if (value) box.SetValue(*value);
        box.SetEnabled(enabled);
    };
    apply("chkStatic", column.staticValue, column.staticEnabled);
    apply("chkMouse", column.mouseValue, column.mouseEnabled);
    apply("chkError", column.errorValue, column.errorEnabled);
}

void frmDialog::cboDataType_Click() {
    forms::ComboBox& type = cboDataType();
    if (type.ListIndex() != -1) {
        intDataClass = static_cast<std::int16_t>(type.ItemData(type.ListIndex()));
    }
}

void frmDialog::cmdOK_Click() { Hide(); }

void frmDialog::cmdCancel_Click() {
    txtName().SetText("");
    Hide();
}

void frmDialog::cmdAbout_Click() { about::ShowAbout(app_, about::Deliverable::Quillon, forms::vbModal); }

void frmDialog::Form_QueryUnload(int& cancel, int unloadMode) {
    if (unloadMode != forms::vbFormControlMenu) return;
    cancel = 1;
    cmdCancel_Click();
}

void frmDialog::PrepareForOpening() {
    txtName().SetText("");
    txtArgs().SetText("");
    cboDataType().SetText("");
    // Selecting Sub raises its Click, which applies the Sub column.
    optType(kindSub).SetValue(true);
    optScope(scopePublic).SetValue(true);
    for (const char* box : {"chkStatic", "chkMouse", "chkError", "chkMTS"}) Check(box).SetValue(vbUnchecked);
    forms::ComboBox& type = cboDataType();
    type.Clear();
    for (const DataTypeEntry& entry : kStandardDataTypes) {
        type.AddItem(std::string(entry.name));
        type.SetItemData(type.NewIndex(), entry.dataClass);
    }
}

ProcedureRequest frmDialog::Request() const {
    ProcedureRequest r;
    r.intKind = SelectedIndex(*this, "optType", 4);
    r.intScope = SelectedIndex(*this, "optScope", 3);
    r.intStatic = static_cast<CheckState>(Check("chkStatic").Value());
    r.strName = txtName().Text();
    r.strArgs = txtArgs().Text();
    r.strDataType = cboDataType().Text();
    r.intDataClass = intDataClass;
    r.intError = static_cast<CheckState>(Check("chkError").Value());
    r.intMouse = static_cast<CheckState>(Check("chkMouse").Value());
    r.intContext = static_cast<CheckState>(Check("chkMTS").Value());
    r.intMember = static_cast<CheckState>(Check("chkMember").Value());
    r.intCodeMember = static_cast<CheckState>(Check("chkCodeMember").Value());
    r.intRead = static_cast<CheckState>(Check("chkRead").Value());
    r.intWrite = static_cast<CheckState>(Check("chkWrite").Value());
    return r;
}

}  // namespace quillon
