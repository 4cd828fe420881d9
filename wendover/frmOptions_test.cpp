#include "wendover/frmOptions.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/forms/headless.h"
#include "platform/forms/layout_checks.h"
#include "wendover/test_folder.h"

namespace wendover {
namespace {

using testing::SettingsFolder;

const char* const kAllCleared =
    "[Immediate]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Locals]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Watch]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Project]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Property]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Browser]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Layout]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Toolbox]\r\nMaxClose=0\r\nRestoreOpen=0\r\n"
    "[Color]\r\nMaxClose=0\r\nRestoreOpen=0\r\n";

forms::CheckBox& Box(const frmOptions& form, const char* name, int index) {
    return form.Get<forms::CheckBox>(name, index);
}

void Press(const frmOptions& form, const char* button) {
    form.Get<forms::CommandButton>(button).UserClick();
}

// The 18 box values, row by row, index 0 before index 1.
std::string Ticks(const frmOptions& form) {
    std::string out;
    for (const OptionRow& row : kOptionRows)
        for (int i : {0, 1}) out += std::to_string(Box(form, row.control, i).Value());
    return out;
}

TEST(OptionsLayout, FramesBoxesAndButtonsStandWhereDrawn) {
    frmOptions form;
    EXPECT_EQ(form.Caption(), "VB Wendover Agent");
    EXPECT_EQ(form.ScaleWidth(), 4680);
    EXPECT_EQ(form.ScaleHeight(), 3420);

    auto& left = form.Ctl("fraOptions", 0);
    EXPECT_EQ(left.Caption(), "Close for Max Area");
    auto& right = form.Ctl("fraOptions", 1);
    EXPECT_EQ(right.Caption(), "Open to Restore Area");
    // Two frames of one size side by side.
    EXPECT_EQ((std::array{left.Top(), left.Width(), left.Height()}),
              (std::array{right.Top(), right.Width(), right.Height()}));
    EXPECT_LE(left.Left() + left.Width(), right.Left());
    forms::testing::ExpectSoundLayout(form);

    const std::pair<const char*, const char*> captions[] = {
        {"chkImmediate", "Immediate Window"}, {"chkLocals", "Locals Window"},
        {"chkWatch", "Watch Window"},         {"chkProject", "Project Window"},
        {"chkProperties", "Properties Window"}, {"chkBrowser", "Object Browser"},
        {"chkLayout", "Form Layout Window"},  {"chkToolbox", "Tool Windows"},
        {"chkColor", "Color Palette"}};
    int boxes = 0;
    for (int row = 0; row < 9; ++row)
        for (int i : {0, 1}) {
            auto& box = Box(form, captions[row].first, i);
            EXPECT_EQ(box.Caption(), captions[row].second);
            EXPECT_EQ(box.Container(), &form.Ctl("fraOptions", i));
            // The same row stands at the same place in both frames, each row
            // under the one before.
            const auto& twin = Box(form, captions[row].first, 1 - i);
            EXPECT_EQ((std::array{box.Left(), box.Top(), box.Width(), box.Height()}),
                      (std::array{twin.Left(), twin.Top(), twin.Width(), twin.Height()}));
            if (row > 0) {
                const auto& above = Box(form, captions[row - 1].first, i);
                EXPECT_GE(box.Top(), above.Top() + above.Height()) << captions[row].first;
            }
            EXPECT_EQ(box.Value(), 0);
            ++boxes;
        }
    EXPECT_EQ(boxes, 18);
    EXPECT_EQ(form.Controls().size(), 2u + 18u + 3u);

    // Three buttons of one size on one line under the frames, left to right.
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdAbout", "&About"}, {"cmdCancel", "&Cancel"}, {"cmdOK", "&OK"}};
    const forms::Control* previous = nullptr;
    for (const auto& [name, caption] : buttons) {
        auto& b = form.Ctl(name);
        EXPECT_EQ(b.Caption(), caption);
        EXPECT_GE(b.Top(), left.Top() + left.Height()) << name;
        if (previous) {
            EXPECT_EQ((std::array{b.Top(), b.Width(), b.Height()}),
                      (std::array{previous->Top(), previous->Width(), previous->Height()}));
            EXPECT_GE(b.Left(), previous->Left() + previous->Width()) << name;
        }
        previous = &b;
    }
    EXPECT_TRUE(form.Get<forms::CommandButton>("cmdOK").Default());
    EXPECT_TRUE(form.Get<forms::CommandButton>("cmdCancel").Cancel());
    EXPECT_FALSE(form.Get<forms::CommandButton>("cmdAbout").Cancel());
}

TEST(OptionsLoad, EachBoxShowsItsOwnSectionAndKey) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    folder.WriteIni(
        "[Toolbox]\r\nMaxClose=-1\r\nRestoreOpen=0\r\n"
        "[Property]\r\nMaxClose=0\r\nRestoreOpen=-1\r\n"
        "[Properties]\r\nMaxClose=-1\r\n"
        "[Immediate]\r\nMaxClose=True\r\nRestoreOpen=1\r\n"
        "[Color]\r\nRestoreOpen=-1\r\n"
        "[Browser]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n");
    frmOptions form;
    form.Show();
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.IsModal());
    //                  Imm Loc Wat Prj Prp Brw Lay Tbx Col
    EXPECT_EQ(Ticks(form), "00" "00" "00" "00" "01" "11" "00" "10" "01");
}

TEST(OptionsSave, FirstOkWritesAllEighteenKeysInRowOrder) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    frmOptions form;
    form.Show();
    EXPECT_EQ(Ticks(form), std::string(18, '0'));
    Press(form, "cmdOK");
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(folder.ReadIni(), kAllCleared);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(OptionsSave, TicksAreWrittenAsMinusOneAndReadBack) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    {
        frmOptions form;
        form.Show();
        Box(form, "chkToolbox", 0).UserClick();
        Box(form, "chkProperties", 1).UserClick();
        form.UserKeyPress(forms::vbKeyReturn);  // Enter presses OK
        EXPECT_FALSE(form.IsLoaded());
    }
    std::string expected = kAllCleared;
    expected.replace(expected.find("[Property]\r\nMaxClose=0\r\nRestoreOpen=0"),
                     std::string("[Property]\r\nMaxClose=0\r\nRestoreOpen=0").size(),
                     "[Property]\r\nMaxClose=0\r\nRestoreOpen=-1");
    expected.replace(expected.find("[Toolbox]\r\nMaxClose=0"),
                     std::string("[Toolbox]\r\nMaxClose=0").size(), "[Toolbox]\r\nMaxClose=-1");
    EXPECT_EQ(folder.ReadIni(), expected);

    frmOptions again;
    again.Show();
    EXPECT_EQ(Box(again, "chkToolbox", 0).Value(), 1);
    EXPECT_EQ(Box(again, "chkProperties", 1).Value(), 1);
    EXPECT_EQ(Ticks(again), "00" "00" "00" "00" "01" "00" "00" "10" "00");
}

TEST(OptionsSave, HandEditedValuesAreOverwrittenAndTheRestOfTheFileKept) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    folder.WriteIni("; my notes\r\n[Immediate]\r\nMaxClose=True\r\nRestoreOpen=-1\r\n[Other]\r\nx=1\r\n");
    frmOptions form;
    form.Show();
    EXPECT_EQ(Box(form, "chkImmediate", 0).Value(), 0);
    EXPECT_EQ(Box(form, "chkImmediate", 1).Value(), 1);
    Press(form, "cmdOK");
    const std::string ini = folder.ReadIni();
    EXPECT_EQ(ini.substr(0, ini.find("[Locals]")),
              "; my notes\r\n[Immediate]\r\nMaxClose=0\r\nRestoreOpen=-1\r\n[Other]\r\nx=1\r\n");
}

TEST(OptionsCancel, CancelEscapeAndCloseBoxWriteNothing) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    const std::string original =
        "[Toolbox]\r\nMaxClose=-1\r\n\r\n[Watch]\r\nRestoreOpen = -1 \r\n";
    folder.WriteIni(original);
    auto leave = [&](auto how) {
        frmOptions form;
        form.Show();
        EXPECT_EQ(Ticks(form), "00" "00" "01" "00" "00" "00" "00" "10" "00");
        Box(form, "chkToolbox", 0).UserClick();
        Box(form, "chkColor", 1).UserClick();
        how(form);
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_EQ(folder.ReadIni(), original);
    };
    leave([](frmOptions& f) { Press(f, "cmdCancel"); });
    leave([](frmOptions& f) { f.UserKeyPress(forms::vbKeyEscape); });
    leave([](frmOptions& f) { f.UserClose(); });
    // Without a file, leaving creates none.
    std::filesystem::remove(folder.Ini());
    frmOptions form;
    form.Show();
    Box(form, "chkLayout", 1).UserClick();
    form.UserKeyPress(forms::vbKeyEscape);
    EXPECT_FALSE(folder.IniExists());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(OptionsAbout, OpensTheAboutBoxWithoutWaiting) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    frmOptions form;
    form.Show();
    Press(form, "cmdAbout");
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmOptions", "frmAbout"}));
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(folder.IniExists());
}

TEST(OptionsSaveFailure, IsReportedAndTheDialogKeepsTheTicks) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    // The settings folder is gone: the write cannot create the file.
    const std::string missing = folder.Str() + "/gone";
    SetSettingsFolder(missing);
    frmOptions form;
    form.Show();
    Box(form, "chkWatch", 0).UserClick();
    Box(form, "chkColor", 1).UserClick();
    Press(form, "cmdOK");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "The options could not be saved to the settings file\r\n" +
                                         missing + "/Wendover.ini\r\n\r\n"
                                         "The system cannot find the path specified.");
    EXPECT_EQ(ui.messages[0].title, "VB Wendover Agent");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(Ticks(form), "00" "00" "10" "00" "00" "00" "00" "00" "01");

    // Once the folder can be written, OK saves the same ticks and closes.
    std::filesystem::create_directories(missing);
    Press(form, "cmdOK");
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(folder.ReadBytes(missing + "/Wendover.ini").find("[Watch]\r\nMaxClose=-1\r\n"),
              std::string::npos);
}

TEST(OptionsSaveFailure, AFileThatCannotBeReplacedIsReportedAndKeptWhole) {
    forms::ScopedHeadlessUi ui;
    SettingsFolder folder;
    // A folder where the file should be: the write is refused whoever runs it.
    std::filesystem::create_directories(folder.Ini());
    frmOptions form;
    form.Show();
    Press(form, "cmdOK");
    ASSERT_EQ(ui.messages.size(), 1u);
    // The path as the add-in names it (with '/' before the file's name on
    // either system).
    EXPECT_NE(ui.messages[0].prompt.find(SettingsPath() + "\r\n\r\nAccess is denied."),
              std::string::npos)
        << ui.messages[0].prompt;
    EXPECT_TRUE(form.Visible());
    Press(form, "cmdCancel");
    EXPECT_FALSE(form.IsLoaded());
}

}  // namespace
}  // namespace wendover
