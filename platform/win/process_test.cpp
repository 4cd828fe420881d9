#include "platform/win/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/vb_error.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

using Args = std::vector<std::string>;
using testing::TempFolder;

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(SplitCommandLine("REGEDIT C:\\PROGRA~1\\Provider.reg"),
              (Args{"REGEDIT", "C:\\PROGRA~1\\Provider.reg"}));
    EXPECT_EQ(SplitCommandLine("  REGEDIT   /home/my dir\\wizard.reg  "),
              (Args{"REGEDIT", "/home/my", "dir\\wizard.reg"}));
    EXPECT_EQ(SplitCommandLine("prog \"a b\"\tc \"\" d\"e f\"g"),
              (Args{"prog", "a b", "c", "", "de fg"}));
    EXPECT_EQ(SplitCommandLine("REGEDIT "), (Args{"REGEDIT"}));
    EXPECT_EQ(SplitCommandLine(""), Args{});
}

TEST(SplitCommandLine, BackslashesOnlyMatterBeforeAQuote) {
    EXPECT_EQ(SplitCommandLine(R"(p a\\b a\"b "a\\" "a\\\"b" a\\\\"b c")"),
              (Args{"p", "a\\\\b", "a\"b", "a\\", "a\\\"b", "a\\\\b c"}));
    EXPECT_EQ(SplitCommandLine(R"(p "a""b")"), (Args{"p", "a\"b"}));
    // The program name keeps its backslashes and ends at its closing quote.
    EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\x.exe"arg next)"),
              (Args{"C:\\Program Files\\x.exe", "arg", "next"}));
}

TEST(Shell, RecordsWhatTheFakeStarterWasAsked) {
    RecordingProcessStarter fake;
    ScopedProcessStarter use(fake);
    EXPECT_EQ(Shell("regedit.EXE /tmp/Provider.reg", vbMinimizedFocus), 1);
    ASSERT_EQ(fake.requests.size(), 1u);
    const ShellRequest& r = fake.requests[0];
    EXPECT_EQ(r.commandLine, "regedit.EXE /tmp/Provider.reg");
    EXPECT_EQ(r.argv, (Args{"regedit.EXE", "/tmp/Provider.reg"}));
    EXPECT_EQ(r.program, testing::BinFolder() + "/regedit");
    EXPECT_EQ(r.windowStyle, vbMinimizedFocus);

    fake.failNext = true;
    try {
        Shell("REGEDIT x", vbNormalFocus);
        FAIL() << "no error";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
}

TEST(Shell, UnknownProgramsAndBadArgumentsRaiseVbErrors) {
    RecordingProcessStarter fake;
    ScopedProcessStarter use(fake);
    auto number = [](const std::string& line, int style) {
        try {
            Shell(line, style);
        } catch (const vb::VbError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(number("no-such-program-anywhere arg", vbNormalFocus), 53);
    EXPECT_EQ(number("/no/such/path/prog", vbNormalFocus), 53);
    EXPECT_EQ(number("", vbNormalFocus), 5);
    EXPECT_EQ(number("sh", 5), 5);
    EXPECT_EQ(number("sh -c true", vbHide), 0);
    EXPECT_EQ(fake.requests.size(), 1u);
}

TEST(Shell, StartsTheProgramWithoutAShellAndWithoutWaiting) {
    TempFolder folder;
    const std::string marker = folder / "a b;$(touch x)";
    // A shell would split the path at the blank and run the $(...).
    const long pid = Shell("touch \"" + marker + "\"", vbHide);
    EXPECT_GT(pid, 0);
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_FALSE(std::filesystem::exists(folder / "x"));
}

TEST(QuoteArgument, PlainPathsStayAsTheyAre) {
    EXPECT_EQ(QuoteArgument("/opt/tarnwick/bin/wizard.reg"), "/opt/tarnwick/bin/wizard.reg");
    EXPECT_EQ(QuoteArgument("C:\\Tools\\wizard.reg"), "C:\\Tools\\wizard.reg");
}

TEST(QuoteArgument, BlanksAndTabsAreQuoted) {
    EXPECT_EQ(QuoteArgument("/home/ann/my tools/wizard.reg"), "\"/home/ann/my tools/wizard.reg\"");
    EXPECT_EQ(QuoteArgument("a\tb"), "\"a\tb\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
}

TEST(QuoteArgument, QuotesAndTheBackslashesBeforeThemAreEscaped) {
    EXPECT_EQ(QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    // Backslashes before the closing quote are doubled; others stay single.
    EXPECT_EQ(QuoteArgument("C:\\my dir\\"), "\"C:\\my dir\\\\\"");
}

TEST(RunAndWait, ReturnsTheExitStatusAndPassesEveryWordUnchanged) {
    TempFolder folder;
    EXPECT_EQ(RunAndWait({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(RunAndWait({"sh", "-c", "kill -TERM $$"}), 128 + 15);
    // Blanks, quotes, apostrophes and backslashes reach the program as one
    // word, and nothing in it runs.
    const std::string marker = folder / "it's a \"b\" \\ $(touch c)";
    EXPECT_EQ(RunAndWait({"touch", marker}), 0);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
    RecordingProcessStarter fake;
    fake.exitStatus = 7;
    ScopedProcessStarter use(fake);
    EXPECT_EQ(RunAndWait({"REGEDIT", "/s", "a b.reg"}, true), 7);
    ASSERT_EQ(fake.requests.size(), 1u);
    EXPECT_EQ(fake.requests[0].commandLine, "REGEDIT /s \"a b.reg\"");
    EXPECT_EQ(fake.requests[0].program, testing::BinFolder() + "/regedit");
    EXPECT_TRUE(fake.requests[0].quiet);
    EXPECT_THROW(RunAndWait({"no-such-program-anywhere"}), vb::VbError);
}

TEST(FindProgram, RegeditIsTheSuitesEditorInAnyCase) {
    const std::string editor = testing::BinFolder() + "/regedit";
    EXPECT_EQ(FindProgram("REGEDIT"), editor);
    EXPECT_EQ(FindProgram("RegEdit.exe"), editor);
}

TEST(FindProgram, OtherNamesGoThroughPath) {
    TempFolder folder;
    const std::string tool = folder / "mytool";
    testing::WriteBytes(tool, "#!/bin/sh\n");
    ::chmod(tool.c_str(), 0755);
    testing::WriteBytes(folder / "plain", "");
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", ("/nonexistent:" + folder.Path()).c_str(), 1);
    EXPECT_EQ(FindProgram("mytool"), tool);
    EXPECT_EQ(FindProgram("MyTool.exe"), "");
    EXPECT_EQ(FindProgram("mytool.exe"), tool);
    EXPECT_EQ(FindProgram("plain"), "");
    EXPECT_EQ(FindProgram(tool), tool);
    ::setenv("PATH", path.c_str(), 1);
}

}  // namespace
}  // namespace win
