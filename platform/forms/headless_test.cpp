#include "platform/forms/headless.h"

#include <gtest/gtest.h>

#include "base/vb_error.h"
#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/forms/string_table.h"

namespace forms {
namespace {

TEST(MessageBoxes, AreRecordedAndAnsweredFromTheScriptOrTheDefaultButton) {
    ScopedHeadlessUi ui;
    EXPECT_EQ(MsgBox("Plain"), vbOK);
    EXPECT_EQ(MsgBox("Sure?", vbYesNo + vbQuestion + vbDefaultButton2, "Editor"), vbNo);
    ui.QueueAnswer(vbYes);
    EXPECT_EQ(MsgBox("Sure?", vbYesNo, "Editor"), vbYes);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].prompt, "Sure?");
    EXPECT_EQ(ui.messages[1].buttons, vbYesNo + vbQuestion + vbDefaultButton2);
    EXPECT_EQ(ui.messages[1].title, "Editor");
    EXPECT_EQ(ui.messages[2].answer, vbYes);
}

TEST(Services, PointerAndDoEventsAreRecorded) {
    ScopedHeadlessUi ui;
    Screen().SetMousePointer(vbHourglass);
    DoEvents();
    Screen().SetMousePointer(vbDefault);
    EXPECT_EQ(ui.pointers, (std::vector<int>{vbHourglass, vbDefault}));
    EXPECT_EQ(ui.doEvents, 1);
    EXPECT_EQ(Screen().MousePointer(), vbDefault);
}

TEST(Services, ModelessFormsCanBeFoundWhileShown) {
    ScopedHeadlessUi ui;
    Form options("frmOptions");
    options.Show();
    EXPECT_EQ(ui.VisibleForm("frmOptions"), &options);
    options.Unload();
    EXPECT_EQ(ui.VisibleForm("frmOptions"), nullptr);
}

TEST(StringTables, LoadResStringByIdOrError326) {
    StringTable table{{1, "Welcome"}, {16, "Close"}};
    EXPECT_EQ(table.LoadResString(16), "Close");
    try {
        table.LoadResString(2);
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 326);
    }
}

}  // namespace
}  // namespace forms
