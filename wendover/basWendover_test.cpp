#include "wendover/basWendover.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win/files.h"
#include "platform/win/profile.h"
#include "wendover/test_folder.h"

namespace wendover {
namespace {

using testing::SettingsFolder;

constexpr short kImmediate = 5;
constexpr short kProperties = 7;
constexpr short kToolWindows = 15;

TEST(WindowKinds, NineKindsMapToTheirSections) {
    EXPECT_STREQ(SectionOf(2), "Browser");
    EXPECT_STREQ(SectionOf(3), "Watch");
    EXPECT_STREQ(SectionOf(4), "Locals");
    EXPECT_STREQ(SectionOf(5), "Immediate");
    EXPECT_STREQ(SectionOf(6), "Project");
    EXPECT_STREQ(SectionOf(7), "Property");
    EXPECT_STREQ(SectionOf(13), "Layout");
    EXPECT_STREQ(SectionOf(14), "Color");
    EXPECT_STREQ(SectionOf(15), "Toolbox");
    // Code windows, designers, Find, the toolbox itself, the main window and
    // anything unknown are not the add-in's business.
    for (short other : {0, 1, 8, 9, 10, 11, 12, 16, -1, 32767}) EXPECT_EQ(SectionOf(other), nullptr);
}

TEST(SettingsFile, LivesInTheLibrarysFolderUnlessMoved) {
    // Linked into this test program, the add-in's code finds the program's folder.
    const std::string bin = win::GetProgramFolder();
    ASSERT_FALSE(bin.empty());
    EXPECT_EQ(SettingsPath(), bin + "/Wendover.ini");
    EXPECT_EQ(App().Path, bin);
    {
        SettingsFolder folder;
        EXPECT_EQ(SettingsPath(), folder.Str() + "/Wendover.ini");
        EXPECT_EQ(App().Path, folder.Str());
    }
    EXPECT_EQ(SettingsPath(), bin + "/Wendover.ini");
}

TEST(ReadingRule, WithoutAFileEveryAnswerIsNo) {
    SettingsFolder folder;
    for (short kind : {2, 3, 4, 5, 6, 7, 13, 14, 15}) {
        EXPECT_FALSE(GetMaxClose(kind)) << kind;
        EXPECT_FALSE(GetRestoreOpen(kind)) << kind;
    }
    EXPECT_FALSE(folder.IniExists()) << "reading must not create the file";
}

TEST(ReadingRule, OnlyMinusOneMeansYes) {
    SettingsFolder folder;
    struct Case {
        const char* line;
        bool yes;
    };
    const Case cases[] = {
        {"MaxClose=-1", true},
        {"MaxClose=1", false},
        {"MaxClose=True", false},
        {"MaxClose=0", false},
        {"MaxClose=-1x", false},
        {"MaxClose=--1", false},
        {"MaxClose=", false},
        // The profile functions trim blanks around an unquoted value and take
        // off one pair of quotes, so these come back as "-1".
        {"MaxClose= -1", true},
        {"MaxClose=-1 ", true},
        {"MaxClose=\"-1\"", true},
        // Inside quotes the blank stays, and the add-in trims nothing itself.
        {"MaxClose=\" -1\"", false},
        {"MaxClose=\"-1 \"", false},
        {"MaxClose=-1 ; comment", false},
    };
    for (const Case& c : cases) {
        folder.WriteIni(std::string("[Immediate]\r\n") + c.line + "\r\n");
        EXPECT_EQ(GetMaxClose(kImmediate), c.yes) << c.line;
        EXPECT_FALSE(GetRestoreOpen(kImmediate)) << c.line;
    }
}

TEST(ReadingRule, LongValuesAnswerNo) {
    SettingsFolder folder;
    // A value that fills the 255-character buffer is cut to 254 characters,
    // none of which make "-1".
    folder.WriteIni("[Immediate]\r\nMaxClose=" + std::string(300, '1') +
                    "\r\nRestoreOpen=-1" + std::string(298, ' ') + "x\r\n");
    EXPECT_FALSE(GetMaxClose(kImmediate));
    EXPECT_FALSE(GetRestoreOpen(kImmediate));
    folder.WriteIni("[Immediate]\r\nMaxClose=-1" + std::string(300, ' ') + "\r\n");
    EXPECT_TRUE(GetMaxClose(kImmediate)) << "trailing blanks are the profile reader's to trim";
}

TEST(ReadingRule, MissingSectionOrKeyAnswersNo) {
    SettingsFolder folder;
    folder.WriteIni("[Locals]\r\nMaxClose=-1\r\n[Immediate]\r\nRestoreOpen=-1\r\n");
    EXPECT_FALSE(GetMaxClose(kImmediate));  // key missing in its section
    EXPECT_TRUE(GetRestoreOpen(kImmediate));
    EXPECT_TRUE(GetMaxClose(4));
    EXPECT_FALSE(GetRestoreOpen(4));
    EXPECT_FALSE(GetMaxClose(3));  // no [Watch] section
}

TEST(ReadingRule, SectionNamesAreTheAddInsOwn) {
    SettingsFolder folder;
    // "Properties" and "ToolWindows" are not the sections of their kinds.
    folder.WriteIni("[Properties]\r\nMaxClose=-1\r\n[ToolWindows]\r\nMaxClose=-1\r\n");
    EXPECT_FALSE(GetMaxClose(kProperties));
    EXPECT_FALSE(GetMaxClose(kToolWindows));
    // Windows matches section and key names without regard to case.
    folder.WriteIni("[property]\r\nmaxclose=-1\r\n[TOOLBOX]\r\nRESTOREOPEN=-1\r\n");
    EXPECT_TRUE(GetMaxClose(kProperties));
    EXPECT_TRUE(GetRestoreOpen(kToolWindows));
    // Kind 10, the environment's toolbox, has nothing to do with "Toolbox".
    EXPECT_FALSE(GetRestoreOpen(10));
}

TEST(ReadingRule, KindsOutsideTheTableNeverReadTheFile) {
    SettingsFolder folder;
    std::string every;
    for (const char* section : {"", "0", "1", "CodeWindow", "Designer", "MainWindow", "Browser",
                                "Watch", "Locals", "Immediate", "Project", "Property", "Layout",
                                "Color", "Toolbox"})
        every += std::string("[") + section + "]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n";
    folder.WriteIni(every);
    for (short kind : {0, 1, 8, 9, 10, 11, 12, 16, -32768})
        EXPECT_FALSE(GetMaxClose(kind) || GetRestoreOpen(kind)) << kind;
    for (short kind : {2, 3, 4, 5, 6, 7, 13, 14, 15})
        EXPECT_TRUE(GetMaxClose(kind) && GetRestoreOpen(kind)) << kind;
}

TEST(ReadingRule, EveryQueryReadsTheFileAgain) {
    SettingsFolder folder;
    EXPECT_FALSE(GetMaxClose(kToolWindows));
    ASSERT_TRUE(win::WritePrivateProfileStringA("Toolbox", "MaxClose", "-1", SettingsPath().c_str()));
    EXPECT_TRUE(GetMaxClose(kToolWindows));
    folder.WriteIni("[Toolbox]\r\nMaxClose=0\r\n");
    EXPECT_FALSE(GetMaxClose(kToolWindows));
    std::filesystem::remove(folder.Ini());
    EXPECT_FALSE(GetMaxClose(kToolWindows));
}

TEST(AppObject, DescribesTheAddIn) {
    const forms::AppInfo app = App();
    EXPECT_EQ(app.Title, "VB Wendover Agent");
    EXPECT_EQ(app.FileDescription, "Wendover Agent");
    EXPECT_EQ(app.Major, 1);
    EXPECT_EQ(app.Minor, 0);
}

}  // namespace
}  // namespace wendover
