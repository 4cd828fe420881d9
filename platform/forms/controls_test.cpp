#include "platform/forms/controls.h"

#include <gtest/gtest.h>

#include "base/vb_error.h"
#include "platform/forms/form.h"
#include "platform/forms/headless.h"

namespace forms {
namespace {

using K = ControlKind;

// A form with two groups of option buttons, a check box, a text box, a list
// and a combo box, and a record of the events they raise.
class TestForm : public Form {
public:
    TestForm() : Form("frmTest") {
        AddControls({
            {"fraGroup", 0, K::Frame, "Group", nullptr, -1, 90, 90, 2000, 900, 0},
            {"optA", 0, K::OptionButton, "&One", "fraGroup", 0, 90, 270, 800, 195, 1},
            {"optA", 1, K::OptionButton, "&Two", "fraGroup", 0, 90, 540, 800, 195, 2},
            {"optB", 0, K::OptionButton, "Three", nullptr, -1, 90, 1200, 800, 195, 3},
            {"chkX", -1, K::CheckBox, "&Check", nullptr, -1, 90, 1500, 800, 195, 4},
            {"txtName", -1, K::TextBox, "", nullptr, -1, 90, 1800, 800, 285, 5},
            {"lstItems", -1, K::ListBox, "", nullptr, -1, 90, 2100, 800, 900, 6},
            {"cboType", -1, K::ComboBox, "", nullptr, -1, 90, 3100, 800, 315, 7},
        });
        for (int i = 0; i < 2; ++i)
            Get<OptionButton>("optA", i).onClick = [this, i] { log += "optA(" + std::to_string(i) + ") "; };
        Get<OptionButton>("optB", 0).onClick = [this] { log += "optB "; };
        Get<CheckBox>("chkX").onClick = [this] { log += "chkX "; };
        Get<TextBox>("txtName").onChange = [this] { log += "change "; };
        Get<ListBox>("lstItems").onClick = [this] { log += "lstClick "; };
        Get<ListBox>("lstItems").onItemCheck = [this](int item) {
            log += "check(" + std::to_string(item) + ") ";
        };
        Get<ComboBox>("cboType").onClick = [this] { log += "cboClick "; };
    }
    std::string log;
};

TEST(OptionButtons, SettingValueSelectsClearsSiblingsInSameContainerAndClicks) {
    TestForm f;
    auto& one = f.Get<OptionButton>("optA", 0);
    auto& two = f.Get<OptionButton>("optA", 1);
    auto& other = f.Get<OptionButton>("optB", 0);
    other.SetValue(true);
    one.SetValue(true);
    two.SetValue(true);
    EXPECT_FALSE(one.Value());
    EXPECT_TRUE(two.Value());
    EXPECT_TRUE(other.Value()) << "a button in another container is not a sibling";
    EXPECT_EQ(f.log, "optB optA(0) optA(1) ");
    // Setting True again still raises Click; a user's click on a selected button does not.
    two.SetValue(true);
    two.UserClick();
    EXPECT_EQ(f.log, "optB optA(0) optA(1) optA(1) ");
}

TEST(OptionButtons, DisabledContainerIgnoresUserClicks) {
    TestForm f;
    f.Ctl("fraGroup", 0).SetEnabled(false);
    f.Get<OptionButton>("optA", 1).UserClick();
    EXPECT_FALSE(f.Get<OptionButton>("optA", 1).Value());
    EXPECT_EQ(f.log, "");
}

TEST(CheckBoxes, ThreeStatesAndUserClicks) {
    TestForm f;
    auto& chk = f.Get<CheckBox>("chkX");
    chk.SetValue(2);
    chk.SetValue(2);  // no change, no event
    chk.UserClick();  // grayed -> ticked
    EXPECT_EQ(chk.Value(), 1);
    chk.UserClick();  // ticked -> cleared
    EXPECT_EQ(chk.Value(), 0);
    EXPECT_EQ(f.log, "chkX chkX chkX ");
    EXPECT_THROW(chk.SetValue(3), vb::VbError);
}

TEST(TextBoxes, KeyPressCanDiscardAndBackspaceEdits) {
    TestForm f;
    auto& txt = f.Get<TextBox>("txtName");
    txt.onKeyPress = [](int& key) {
        if (key >= '0' && key <= '9') key = 0;
    };
    txt.UserType("a1b2");
    EXPECT_EQ(txt.Text(), "ab");
    f.UserKeyPress(vbKeyBack);
    EXPECT_EQ(txt.Text(), "a");
    EXPECT_EQ(f.log, "change change change ");
    txt.SetText("a");  // same text: no Change
    txt.SetText("");
    EXPECT_EQ(f.log, "change change change change ");
}

TEST(TextBoxes, TypingReplacesTheSelection) {
    TestForm f;
    auto& txt = f.Get<TextBox>("txtName");
    txt.SetText("hello");
    txt.SetSelStart(1);
    txt.SetSelLength(3);
    txt.UserType("X");
    EXPECT_EQ(txt.Text(), "hXo");
    EXPECT_EQ(txt.SelStart(), 2);
}

TEST(ListBoxes, FillingRaisesNothingSettingListIndexClicks) {
    TestForm f;
    auto& lst = f.Get<ListBox>("lstItems");
    lst.AddItem("beta");
    lst.AddItem("alpha", 0);
    EXPECT_EQ(lst.NewIndex(), 0);
    lst.SetItemData(0, 7);
    EXPECT_EQ(f.log, "");
    lst.SetListIndex(1);
    EXPECT_EQ(f.log, "lstClick ");
    EXPECT_EQ(lst.List(1), "beta");
    EXPECT_EQ(lst.List(5), "");
    EXPECT_EQ(lst.ItemData(0), 7);
    EXPECT_THROW(lst.SetListIndex(2), vb::VbError);
    lst.Clear();
    EXPECT_EQ(lst.ListIndex(), -1);
    EXPECT_EQ(f.log, "lstClick ");
}

TEST(ListBoxes, SelectStringFindsFirstPrefixIgnoringCaseWithoutClick) {
    TestForm f;
    auto& lst = f.Get<ListBox>("lstItems");
    for (const char* s : {"Access.Application", "ADODB.Connection", "adox.Catalog", "Excel.Sheet.8"})
        lst.AddItem(s);
    EXPECT_EQ(lst.SelectString(-1, "ad"), 1);
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_EQ(lst.SelectString(-1, "zz"), -1);
    EXPECT_EQ(lst.ListIndex(), 1) << "no match keeps the selection";
    EXPECT_EQ(lst.SelectString(-1, "EXCEL.s"), 3);
    EXPECT_EQ(f.log, "");
}

TEST(ListBoxes, CheckBoxListToggleSelectsThenChecks) {
    TestForm f;
    auto& lst = f.Get<ListBox>("lstItems");
    lst.SetStyle(1);
    lst.AddItem("debugging");
    lst.AddItem("tracing");
    lst.SetSelected(0, true);  // code: ItemCheck
    EXPECT_EQ(f.log, "check(0) ");
    lst.UserToggleCheck(1);
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_TRUE(lst.Selected(1));
    EXPECT_EQ(f.log, "check(0) lstClick check(1) ");
}

TEST(ComboBoxes, PickingSetsTextAndClicksTypingDoesNotClick) {
    TestForm f;
    auto& cbo = f.Get<ComboBox>("cboType");
    cbo.AddItem("Form");
    cbo.SetItemData(0, 1);
    cbo.UserSelect(0);
    EXPECT_EQ(cbo.Text(), "Form");
    EXPECT_EQ(f.log, "cboClick ");
    cbo.SetText("");
    cbo.UserType("Long");
    EXPECT_EQ(cbo.Text(), "Long");
    EXPECT_EQ(cbo.ListIndex(), -1);
    EXPECT_EQ(f.log, "cboClick ");
}

TEST(Captions, AccessKeysAndDisplayText) {
    TestForm f;
    EXPECT_EQ(f.Ctl("optA", 1).AccessKey(), 'T');
    Label& l = dynamic_cast<Label&>(f.AddControl({"lblX", -1, K::Label, "Fish && &Chips", nullptr, -1, 0, 0, 1, 1, 9}));
    EXPECT_EQ(l.AccessKey(), 'C');
    EXPECT_EQ(l.DisplayCaption(), "Fish & Chips");
}

}  // namespace
}  // namespace forms
