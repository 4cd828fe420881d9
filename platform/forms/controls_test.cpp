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
            {.name = "fraGroup", .index = 0, .kind = K::Frame, .caption = "Group", .left = 90,
             .top = 90, .width = 2000, .height = 900, .tabIndex = 0},
            {.name = "optA", .index = 0, .kind = K::OptionButton, .caption = "&One",
             .container = "fraGroup", .containerIndex = 0, .left = 90, .top = 270, .width = 800,
             .height = 195, .tabIndex = 1},
            {.name = "optA", .index = 1, .kind = K::OptionButton, .caption = "&Two",
             .container = "fraGroup", .containerIndex = 0, .left = 90, .top = 540, .width = 800,
             .height = 195, .tabIndex = 2},
            {.name = "optB", .index = 0, .kind = K::OptionButton, .caption = "Three", .left = 90,
             .top = 1200, .width = 800, .height = 195, .tabIndex = 3},
            {.name = "chkX", .kind = K::CheckBox, .caption = "&Check", .left = 90, .top = 1500,
             .width = 800, .height = 195, .tabIndex = 4},
            {.name = "txtName", .kind = K::TextBox, .left = 90, .top = 1800, .width = 800,
             .height = 285, .tabIndex = 5},
            {.name = "lstItems", .kind = K::ListBox, .left = 90, .top = 2100, .width = 800,
             .height = 900, .tabIndex = 6},
            {.name = "cboType", .kind = K::ComboBox, .left = 90, .top = 3100, .width = 800,
             .height = 315, .tabIndex = 7},
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
    lst.SetStyle(vbListBoxCheckbox);
    lst.AddItem("debugging");
    lst.AddItem("tracing");
    lst.SetSelected(0, true);  // code: ItemCheck
    EXPECT_EQ(f.log, "check(0) ");
    lst.UserToggleCheck(1);
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_TRUE(lst.Selected(1));
    EXPECT_EQ(f.log, "check(0) lstClick check(1) ");
}

// What the user's keys and clicks pick in a plain list: every pick raises
// Click, also of the selected entry; a key that cannot move picks nothing.
TEST(ListBoxes, KeysAndClicksPickEntriesAndRaiseClick) {
    TestForm f;
    auto& lst = f.Get<ListBox>("lstItems");
    for (const char* s : {"Access", "ADODB", "Excel", "Word"}) lst.AddItem(s);
    f.Show();
    lst.UserMove(ListMove::Down, 3);
    EXPECT_EQ(lst.ListIndex(), 0) << "from no selection a key lands on the first entry";
    lst.UserMove(ListMove::Up, 3);
    EXPECT_EQ(f.log, "lstClick ") << "Up on the first entry moves nothing";
    lst.UserMove(ListMove::PageDown, 3);
    EXPECT_EQ(lst.ListIndex(), 2) << "a page is one entry less than the view shows";
    lst.UserMove(ListMove::End, 3);
    lst.UserMove(ListMove::Down, 3);
    EXPECT_EQ(lst.ListIndex(), 3);
    EXPECT_EQ(f.log, "lstClick lstClick lstClick ");

    f.log.clear();
    lst.UserSelect(3);
    lst.UserKeyPress(' ');
    EXPECT_EQ(f.log, "lstClick lstClick ") << "a click and Space on the selected entry pick it again";
    f.log.clear();
    lst.UserKeyPress('a');
    EXPECT_EQ(lst.ListIndex(), 0);
    lst.UserKeyPress('A');
    EXPECT_EQ(lst.ListIndex(), 1) << "a letter picks the next entry that begins with it";
    lst.UserKeyPress('z');
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_EQ(f.log, "lstClick lstClick ");

    f.log.clear();
    lst.onKeyPress = [](int& key) { key = 0; };
    lst.UserKeyPress(' ');
    lst.UserKeyPress('e');
    EXPECT_EQ(f.log, "") << "a key that KeyPress discards picks nothing";
    lst.SetEnabled(false);
    lst.UserSelect(2);
    lst.UserMove(ListMove::Home, 3);
    EXPECT_EQ(lst.ListIndex(), 1);
    EXPECT_EQ(f.log, "");
}

TEST(ListBoxes, SpaceTogglesTheSelectedEntryOfACheckBoxList) {
    TestForm f;
    auto& lst = f.Get<ListBox>("lstItems");
    lst.SetStyle(vbListBoxCheckbox);
    lst.AddItem("debugging");
    lst.AddItem("tracing");
    f.Show();
    lst.UserKeyPress(' ');
    EXPECT_TRUE(lst.Selected(0));
    lst.UserMove(ListMove::Down, 5);
    lst.UserKeyPress(' ');
    lst.UserKeyPress(' ');
    EXPECT_FALSE(lst.Selected(1));
    EXPECT_EQ(f.log, "lstClick check(0) lstClick check(1) check(1) ");
}

TEST(Properties, LockedMaxLengthSortedAndTabStop) {
    TestForm f;
    f.Show();
    auto& txt = f.Get<TextBox>("txtName");
    txt.SetMaxLength(4);
    txt.UserType("abcdef");
    EXPECT_EQ(txt.Text(), "abcd") << "typing stops at MaxLength";
    txt.SetText("123456");
    EXPECT_EQ(txt.Text(), "1234") << "code is cut to MaxLength too";
    txt.SetLocked(true);
    txt.UserType("x");
    txt.UserReplaceSelection("y");
    EXPECT_EQ(txt.Text(), "1234") << "a locked box edits nothing";

    auto& lst = f.Get<ListBox>("lstItems");
    lst.SetSorted(true);
    for (const char* s : {"tracing", "Debugging", "alpha"}) lst.AddItem(s);
    EXPECT_EQ(lst.List(0) + "," + lst.List(1) + "," + lst.List(2), "alpha,Debugging,tracing");
    EXPECT_EQ(lst.NewIndex(), 0);

    f.Ctl("txtName").SetFocus();
    f.Ctl("lstItems").SetTabStop(false);
    f.UserTab();
    EXPECT_EQ(f.ActiveControl()->Name(), "cboType") << "Tab passes over a control without TabStop";
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

TEST(ComboBoxes, TypingEditsAtTheCaretAndTextByCodeEndsThere) {
    TestForm f;
    auto& cbo = f.Get<ComboBox>("cboType");
    cbo.SetText("Lng");
    EXPECT_EQ(cbo.SelStart(), 3) << "the caret after text set by code";
    cbo.SetSelStart(1);
    cbo.UserKeyPress('o');
    EXPECT_EQ(cbo.Text(), "Long");
    EXPECT_EQ(cbo.SelStart(), 2);
    cbo.SetSelStart(4);
    cbo.SetSelStart(1);
    cbo.SetSelLength(3);
    cbo.UserKeyPress(vbKeyBack);
    EXPECT_EQ(cbo.Text(), "L");
    EXPECT_EQ(cbo.SelStart(), 1);
    cbo.UserKeyPress(vbKeyBack);
    cbo.UserKeyPress(vbKeyBack);
    EXPECT_EQ(cbo.Text(), "");
}

TEST(Captions, AccessKeysAndDisplayText) {
    TestForm f;
    EXPECT_EQ(f.Ctl("optA", 1).AccessKey(), 'T');
    Label& l = dynamic_cast<Label&>(f.AddControl(
        {.name = "lblX", .kind = K::Label, .caption = "Fish && &Chips", .width = 1, .height = 1, .tabIndex = 9}));
    EXPECT_EQ(l.AccessKey(), 'C');
    EXPECT_EQ(l.DisplayCaption(), "Fish & Chips");
}

}  // namespace
}  // namespace forms
