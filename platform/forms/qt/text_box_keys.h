#pragma once
// Test support: the user's editing keys on a text box (or a combo box's edit
// field) shown by the Qt view,
// as a table. Each row starts from a text and a caret or selection made with
// the keyboard (Home, Right, Shift+Right or Shift+Left), presses its keys as
// real key events, and expects the text and selection in the model and in
// the widget alike.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/qt/form_view.h"

namespace forms::qt::testing {

struct TextBoxKeys {
    const char* what;
    const char* text;  // the box's text, set by code
    int caret;         // Home, then Right so often
    int select;        // then Shift+Right (above 0) or Shift+Left (below 0) so often
    // Space-separated: Back Del Home End Left Right S-Left S-Right C-a C-v C-z,
    // or characters to type in quotes ('x').
    const char* keys;
    const char* expected;
    int selStart;
    int selLength;
};

// What Ctrl+V pastes in the rows below.
inline constexpr const char* kClipboard = "zz";

inline void PressKeys(QLineEdit* edit, const std::string& keys) {
    std::istringstream in(keys);
    for (std::string key; in >> key;) {
        if (key.size() > 2 && key.front() == '\'' && key.back() == '\'')
            QTest::keyClicks(edit, QString::fromStdString(key.substr(1, key.size() - 2)));
        else if (key == "Back") QTest::keyClick(edit, Qt::Key_Backspace);
        else if (key == "Del") QTest::keyClick(edit, Qt::Key_Delete);
        else if (key == "Home") QTest::keyClick(edit, Qt::Key_Home);
        else if (key == "End") QTest::keyClick(edit, Qt::Key_End);
        else if (key == "Left") QTest::keyClick(edit, Qt::Key_Left);
        else if (key == "Right") QTest::keyClick(edit, Qt::Key_Right);
        else if (key == "S-Left") QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
        else if (key == "S-Right") QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
        else if (key == "C-a") QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        else if (key == "C-v") QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        else if (key == "C-z") QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        else ADD_FAILURE() << "unknown key " << key;
    }
}

// The line edit of a text box, or the edit field of a combo box.
inline QLineEdit* LineEditOf(FormView& view, const Control& control) {
    QWidget* widget = view.WidgetOf(control);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(widget);
}

// Box is a TextBox or an editable ComboBox.
template <class Box>
void RunTextBoxKeys(FormView& view, Box& box, const std::vector<TextBoxKeys>& rows) {
    QLineEdit* edit = LineEditOf(view, box);
    ASSERT_NE(edit, nullptr) << box.Name();
    QApplication::clipboard()->setText(kClipboard);
    for (const TextBoxKeys& row : rows) {
        SCOPED_TRACE(box.Name() + ": " + row.what + " (" + row.keys + ")");
        box.SetText(row.text);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_Home);
        for (int i = 0; i < row.caret; ++i) QTest::keyClick(edit, Qt::Key_Right);
        for (int i = 0; i < std::abs(row.select); ++i)
            QTest::keyClick(edit, row.select > 0 ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
        PressKeys(edit, row.keys);
        EXPECT_EQ(box.Text(), row.expected);
        EXPECT_EQ(edit->text().toStdString(), row.expected);
        EXPECT_EQ(box.SelStart(), row.selStart);
        EXPECT_EQ(box.SelLength(), row.selLength);
        const int shownStart = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        EXPECT_EQ(shownStart, row.selStart) << "the widget's selection";
        EXPECT_EQ(edit->selectionLength(), row.selLength) << "the widget's selection";
    }
}

// The rows any text box without a key filter passes, on "abcd" at the start,
// the middle and the end, with and without a selection.
inline std::vector<TextBoxKeys> EditingKeys() {
    return {
        {"BackSpace at the start", "abcd", 0, 0, "Back", "abcd", 0, 0},
        {"BackSpace in the middle", "abcd", 2, 0, "Back", "acd", 1, 0},
        {"BackSpace at the end", "abcd", 4, 0, "Back", "abc", 3, 0},
        {"BackSpace on a selection", "abcd", 1, 2, "Back", "ad", 1, 0},
        {"BackSpace on a leftward selection", "abcd", 3, -2, "Back", "ad", 1, 0},
        {"BackSpace where the caret went after typing", "abcd", 0, 0, "End 'x' Home Back", "abcdx", 0, 0},
        {"BackSpace after Left", "abcd", 4, 0, "Left Left Back", "acd", 1, 0},
        {"Delete at the start", "abcd", 0, 0, "Del", "bcd", 0, 0},
        {"Delete in the middle", "abcd", 2, 0, "Del", "abd", 2, 0},
        {"Delete at the end", "abcd", 4, 0, "Del", "abcd", 4, 0},
        {"Delete on a selection", "abcd", 1, 2, "Del", "ad", 1, 0},
        {"Delete after typing elsewhere", "abcd", 0, 0, "End 'x' Home Del", "bcdx", 0, 0},
        {"typing at the start", "abcd", 0, 0, "'x'", "xabcd", 1, 0},
        {"typing in the middle", "abcd", 2, 0, "'x'", "abxcd", 3, 0},
        {"typing at the end", "abcd", 4, 0, "'x'", "abcdx", 5, 0},
        {"typing over a selection", "abcd", 1, 2, "'x'", "axd", 2, 0},
        {"Shift+Left extends leftwards", "abcd", 4, 0, "S-Left S-Left S-Left", "abcd", 1, 3},
        {"Shift+Right extends rightwards", "abcd", 1, 0, "S-Right S-Right", "abcd", 1, 2},
        {"Shift+Right shrinks a leftward selection", "abcd", 4, -2, "S-Right", "abcd", 3, 1},
        {"typing over a leftward selection", "abcd", 4, -2, "'x'", "abx", 3, 0},
        {"Ctrl+A selects all", "abcd", 2, 0, "C-a", "abcd", 0, 4},
        {"Ctrl+A then typing", "abcd", 2, 0, "C-a 'x'", "x", 1, 0},
        {"Ctrl+A then BackSpace", "abcd", 2, 0, "C-a Back", "", 0, 0},
        {"Ctrl+A then Delete", "abcd", 2, 0, "C-a Del", "", 0, 0},
        {"paste at the start", "abcd", 0, 0, "C-v", "zzabcd", 2, 0},
        {"paste in the middle", "abcd", 2, 0, "C-v", "abzzcd", 4, 0},
        {"paste at the end", "abcd", 4, 0, "C-v", "abcdzz", 6, 0},
        {"paste over a selection", "abcd", 1, 2, "C-v", "azzd", 3, 0},
        {"undo of typing", "abcd", 2, 0, "'x' C-z", "abcd", 2, 0},
        {"undo of BackSpace", "abcd", 2, 0, "Back C-z", "abcd", 2, 0},
        {"undo of Delete", "abcd", 2, 0, "Del C-z", "abcd", 2, 0},
        {"undo of a paste", "abcd", 4, 0, "C-v C-z", "abcd", 4, 0},
        {"undo of typing over a selection", "abcd", 1, 2, "'x' C-z", "abcd", 1, 2},
    };
}

}  // namespace forms::qt::testing
