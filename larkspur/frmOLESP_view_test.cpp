// The main form's ProgID list driven through the Qt view with real key and
// mouse events: only a pick of the user's takes an entry into the fields.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "larkspur/frmOLESP.h"
#include "larkspur/test_support.h"
#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/qt/text_box_keys.h"

namespace larkspur {
namespace {

class ProgIDList : public testing::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        forms::qt::EnsureQtUi();
        forms::SetUi(&ui);  // message boxes stay scripted
        Import(testing::kRuntimeScript);
        Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ADODB.Recordset]\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Excel.Sheet.8]\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Word.Document]\r\n");
        form_.Show();
        view_ = std::make_unique<forms::qt::FormView>(form_);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    }
    void TearDown() override {
        view_.reset();
        StoreTest::TearDown();
    }
    template <class W>
    W* Widget(const char* name) {
        return static_cast<W*>(view_->WidgetOf(form_.Ctl(name)));
    }
    QListWidget* List() { return Widget<QListWidget>("lstDataProgIDs"); }
    void Type(const char* name, const char* text) {
        QLineEdit* edit = Widget<QLineEdit>(name);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(edit, text);
    }
    // Tab from GO!, the control before the list in tab order.
    void TabIntoTheList() {
        QPushButton* go = Widget<QPushButton>("cmdGO");
        go->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(go, Qt::Key_Tab);
        ASSERT_TRUE(List()->hasFocus());
    }
    void ClickRow(int row) {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(List()->item(row)).center());
    }
    std::string Text(const char* name) { return form_.Get<forms::TextBox>(name).Text(); }

    frmOLESP form_;
    std::unique_ptr<forms::qt::FormView> view_;
};

TEST_F(ProgIDList, FocusAlonePicksNothing) {
    Type("txtDataProgID", "Ledger.Posting");
    Type("txtName", "Ledger");
    TabIntoTheList();
    EXPECT_EQ(Text("txtDataProgID"), "Ledger.Posting");
    EXPECT_EQ(Text("txtName"), "Ledger");
    EXPECT_EQ(form_.Get<forms::ListBox>("lstDataProgIDs").ListIndex(), -1);
}

TEST_F(ProgIDList, ClickingTheEntryTypeAheadHighlightedTakesIt) {
    Type("txtDataProgID", "ex");
    ASSERT_EQ(List()->currentRow(), 1) << "type-ahead highlights Excel.Sheet.8";
    ASSERT_EQ(Text("txtName"), "");
    ClickRow(1);
    EXPECT_EQ(Text("txtDataProgID"), "Excel.Sheet.8");
    EXPECT_EQ(Text("txtName"), "Excel");
    // A second click on the same entry takes it again.
    form_.Get<forms::TextBox>("txtName").SetText("Mine");
    ClickRow(1);
    EXPECT_EQ(Text("txtName"), "Excel");
}

TEST_F(ProgIDList, ArrowKeysAndSpacePick) {
    TabIntoTheList();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(Text("txtDataProgID"), "ADODB.Recordset");
    QTest::keyClick(List(), Qt::Key_End);
    EXPECT_EQ(Text("txtDataProgID"), "Word.Document");
    EXPECT_EQ(List()->currentRow(), 2);
    form_.Get<forms::TextBox>("txtName").SetText("Mine");
    QTest::keyClick(List(), Qt::Key_Space);
    EXPECT_EQ(Text("txtName"), "Word");
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(Text("txtDataProgID"), "Excel.Sheet.8");
}

// The editing keys in the form's text boxes, as a person presses them.
using MainFormKeys = ProgIDList;

TEST_F(MainFormKeys, EditAtTheCaretInEveryTextBox) {
    for (const char* name : {"txtDescription", "txtDataProgID", "txtGUID"})
        forms::qt::testing::RunTextBoxKeys(*view_, form_.Get<forms::TextBox>(name),
                                           forms::qt::testing::EditingKeys());
}

TEST_F(MainFormKeys, TheNameBoxTakesLettersAndEditsAtTheCaret) {
    // txtName_KeyPress discards every key but letters and BackSpace, also
    // Ctrl+V; Delete raises no KeyPress and deletes.
    forms::qt::testing::RunTextBoxKeys(
        *view_, form_.Get<forms::TextBox>("txtName"),
        {
            {"a digit", "abcd", 2, 0, "'1'", "abcd", 2, 0},
            {"a letter", "abcd", 2, 0, "'Q'", "abQcd", 3, 0},
            {"BackSpace in the middle", "abcd", 2, 0, "Back", "acd", 1, 0},
            {"BackSpace where the caret went after typing", "abcd", 0, 0, "End 'X' Home Back",
             "abcdX", 0, 0},
            {"Delete on a selection", "abcd", 1, 2, "Del", "ad", 1, 0},
            {"paste", "abcd", 2, 0, "C-v", "abcd", 2, 0},
            {"Ctrl+A", "abcd", 2, 0, "C-a", "abcd", 2, 0},
        });
}

}  // namespace
}  // namespace larkspur
