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
        {.name = "lblDialog", .index = 0, .kind = ControlKind::Label, .caption = "&Name",
         .left = 135, .top = 270, .width = 555, .height = 240, .tabIndex = 0},
        {.name = "txtName", .kind = ControlKind::TextBox, .left = 810, .top = 270, .width = 2490,
         .height = 285, .tabIndex = 1},
        {.name = "lblDialog", .index = 2, .kind = ControlKind::Label, .caption = "Ar&gs",
         .left = 135, .top = 585, .width = 555, .height = 240, .tabIndex = 2},
        {.name = "txtArgs", .kind = ControlKind::TextBox, .left = 810, .top = 585, .width = 2490,
         .height = 285, .tabIndex = 3},
        {.name = "cmdOK", .kind = ControlKind::CommandButton, .caption = "&OK", .left = 3465,
         .top = 225, .width = 1185, .height = 330, .tabIndex = 4},
        {.name = "cmdCancel", .kind = ControlKind::CommandButton, .caption = "&Cancel",
         .left = 3465, .top = 630, .width = 1185, .height = 330, .tabIndex = 5},
        {.name = "fraDialog", .index = 0, .kind = ControlKind::Frame, .caption = "Type",
         .left = 90, .top = 1080, .width = 2400, .height = 870, .tabIndex = 6},
        {.name = "optType", .index = 0, .kind = ControlKind::OptionButton, .caption = "&Sub",
         .container = "fraDialog", .containerIndex = 0, .left = 90, .top = 270, .width = 825,
         .height = 195, .tabIndex = 7},
        {.name = "optType", .index = 2, .kind = ControlKind::OptionButton, .caption = "&Property",
         .container = "fraDialog", .containerIndex = 0, .left = 1260, .top = 270, .width = 1095,
         .height = 195, .tabIndex = 8},
        {.name = "optType", .index = 1, .kind = ControlKind::OptionButton, .caption = "&Function",
         .container = "fraDialog", .containerIndex = 0, .left = 90, .top = 540, .width = 1005,
         .height = 195, .tabIndex = 9},
        {.name = "optType", .index = 3, .kind = ControlKind::OptionButton, .caption = "&Event",
         .container = "fraDialog", .containerIndex = 0, .left = 1260, .top = 540, .width = 825,
         .height = 195, .tabIndex = 10},
        {.name = "fraDialog", .index = 1, .kind = ControlKind::Frame, .caption = "Scope",
         .left = 90, .top = 2025, .width = 2400, .height = 870, .tabIndex = 11},
        {.name = "optScope", .index = 0, .kind = ControlKind::OptionButton, .caption = "Pu&blic",
         .container = "fraDialog", .containerIndex = 1, .left = 135, .top = 270, .width = 915,
         .height = 195, .tabIndex = 12},
        {.name = "optScope", .index = 2, .kind = ControlKind::OptionButton, .caption = "Fr&iend",
         .container = "fraDialog", .containerIndex = 1, .left = 135, .top = 540, .width = 915,
         .height = 195, .tabIndex = 13},
        {.name = "optScope", .index = 1, .kind = ControlKind::OptionButton, .caption = "Pri&vate",
         .container = "fraDialog", .containerIndex = 1, .left = 1305, .top = 270, .width = 915,
         .height = 195, .tabIndex = 14},
        {.name = "fraDialog", .index = 2, .kind = ControlKind::Frame, .caption = "Advanced",
         .left = 2610, .top = 1080, .width = 2040, .height = 1860, .tabIndex = 15},
        {.name = "lblDialog", .index = 1, .kind = ControlKind::Label, .caption = "&Data Type",
         .container = "fraDialog", .containerIndex = 2, .left = 90, .top = 270, .width = 915,
         .height = 240, .tabIndex = 16},
        {.name = "cboDataType", .kind = ControlKind::ComboBox, .container = "fraDialog",
         .containerIndex = 2, .left = 90, .top = 495, .width = 1860, .height = 315, .tabIndex = 17},
        {.name = "chkRead", .kind = ControlKind::CheckBox, .caption = "&Read",
         .container = "fraDialog", .containerIndex = 2, .left = 135, .top = 900, .width = 1140,
         .height = 195, .tabIndex = 18},
        {.name = "chkWrite", .kind = ControlKind::CheckBox, .caption = "&Write",
         .container = "fraDialog", .containerIndex = 2, .left = 135, .top = 1125, .width = 1095,
         .height = 195, .tabIndex = 19},
        {.name = "chkMember", .kind = ControlKind::CheckBox, .caption = "Decla&re Member",
         .container = "fraDialog", .containerIndex = 2, .left = 135, .top = 1350, .width = 1770,
         .height = 195, .tabIndex = 20},
        {.name = "chkCodeMember", .kind = ControlKind::CheckBox, .caption = "Code Mem&ber",
         .container = "fraDialog", .containerIndex = 2, .left = 135, .top = 1575, .width = 1725,
         .height = 195, .tabIndex = 21},
        {.name = "chkStatic", .kind = ControlKind::CheckBox,
         .caption = "&All Local Variables as Statics", .left = 90, .top = 3105, .width = 2850,
         .height = 195, .tabIndex = 22},
        {.name = "chkMouse", .kind = ControlKind::CheckBox, .caption = "Include &Mouse Handling",
         .left = 90, .top = 3330, .width = 2850, .height = 195, .tabIndex = 23},
        {.name = "chkError", .kind = ControlKind::CheckBox, .caption = "Include &Error Handling",
         .left = 90, .top = 3555, .width = 2850, .height = 195, .tabIndex = 24},
        {.name = "cmdAbout", .kind = ControlKind::CommandButton, .caption = "A&bout...",
         .left = 3465, .top = 3690, .width = 1185, .height = 330, .tabIndex = 25},
        {.name = "chkMTS", .kind = ControlKind::CheckBox,
         .caption = "Microsoft Transaction Server", .left = 90, .top = 3780, .width = 2895,
         .height = 240, .tabIndex = 26},
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
    SetStartUpPosition(forms::vbStartUpOwner);
    SetClientSize(4830, 4140);
    SetAppTitle(app_.Title);
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
    cboDataType().SetStyle(forms::vbComboDropDown);
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
