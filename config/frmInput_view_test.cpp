// The input box's name field driven through the Qt view with real keys: its
// KeyPress and Change rules hold while the keys edit at the caret.
#include <gtest/gtest.h>

#include <QTest>

#include "config/frmInput.h"
#include "platform/forms/controls.h"
#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/qt/text_box_keys.h"

namespace config {
namespace {

TEST(InputView, TheNameFieldTakesLowerCaseLettersAtTheCaret) {
    forms::qt::EnsureQtUi();
    frmInput input;
    input.Load();
    forms::qt::FormView view(input);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    // txtInput_KeyPress keeps lower-case letters and BackSpace and drops
    // every other key, clipboard keys and undo too; Delete raises no KeyPress.
    forms::qt::testing::RunTextBoxKeys(
        view, input.Get<forms::TextBox>("txtInput"),
        {
            {"a capital", "abcd", 2, 0, "'X'", "abcd", 2, 0},
            {"'=' over a selection", "abcd", 1, 2, "'='", "abcd", 1, 2},
            {"a letter in the middle", "abcd", 2, 0, "'x'", "abxcd", 3, 0},
            {"a letter over a leftward selection", "abcd", 4, -2, "'x'", "abx", 3, 0},
            {"BackSpace in the middle", "abcd", 2, 0, "Back", "acd", 1, 0},
            {"BackSpace where the caret went after typing", "abcd", 0, 0, "End 'x' Home Back",
             "abcdx", 0, 0},
            {"Delete on a selection", "abcd", 1, 2, "Del", "ad", 1, 0},
            {"Delete at the start", "abcd", 0, 0, "Del", "bcd", 0, 0},
            {"paste", "abcd", 2, 0, "C-v", "abcd", 2, 0},
            {"undo", "abcd", 2, 0, "'x' C-z", "abxcd", 3, 0},
        });
}

}  // namespace
}  // namespace config
