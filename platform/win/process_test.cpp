#include "platform/win/process.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/win/files.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

using Args = std::vector<std::string>;
using testing::TempFolder;

// The registry editor REGEDIT names: the suite's own beside the tests; on
// Windows the system's that imports into the 32-bit view (the test prefix
// is a 64-bit one, so the editor under SysWOW64).
bool IsTheRegistryEditor(const std::string& program) {
#ifdef _WIN32
    return text::LowerAscii(program).ends_with("\\syswow64\\regedit.exe");
#else
    return program == testing::BinFolder() + "/regedit";
#endif
}

#ifdef _WIN32
// A key of its own in HKEY_CURRENT_USER for the registry editor to export,
// which proves by the file it writes that its arguments arrived whole.
class ExportableKey {
public:
    ExportableKey() {
        testing::DeleteKeyTree(HKEY_CURRENT_USER, kPath);
        RegCloseKey(testing::CreateKey(HKEY_CURRENT_USER, kPath));
    }
    ~ExportableKey() { testing::DeleteKeyTree(HKEY_CURRENT_USER, kPath); }
    ExportableKey(const ExportableKey&) = delete;
    ExportableKey& operator=(const ExportableKey&) = delete;
    std::string Name() const { return std::string("HKEY_CURRENT_USER\\") + kPath; }

private:
    static constexpr const char* kPath = "Software\\Tarnwick Tests\\Process";
};
#endif

// A program every system has, for commands that need one to be found.
#ifdef _WIN32
const char* const kSomeProgram = "cmd";
#else
const char* const kSomeProgram = "sh";
#endif

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
    EXPECT_TRUE(IsTheRegistryEditor(r.program)) << r.program;
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
    EXPECT_EQ(number(kSomeProgram, 5), 5);
    EXPECT_EQ(number(std::string(kSomeProgram) + " -c true", vbHide), 0);
    EXPECT_EQ(fake.requests.size(), 1u);
}

TEST(Shell, StartsTheProgramWithoutAShellAndWithoutWaiting) {
    TempFolder folder;
#ifdef _WIN32
    // A command interpreter would split the name at the blank and the "&".
    ExportableKey key;
    const std::string marker = PlatformPath(folder / "a b&x.reg");
    const long pid = Shell("REGEDIT /e \"" + marker + "\" \"" + key.Name() + "\"", vbHide);
#else
    const std::string marker = folder / "a b;$(touch x)";
    // A shell would split the path at the blank and run the $(...).
    const long pid = Shell("touch \"" + marker + "\"", vbHide);
#endif
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
#ifdef _WIN32
    EXPECT_EQ(RunAndWait({"cmd", "/c", "exit 3"}), 3);
    // A blank, an apostrophe and a command separator reach the program as
    // one word: the registry editor writes its export under that name.
    ExportableKey key;
    const std::string marker = PlatformPath(folder / "it's a b & c.reg");
    EXPECT_EQ(RunAndWait({"REGEDIT", "/e", marker, key.Name()}), 0);
#else
    EXPECT_EQ(RunAndWait({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(RunAndWait({"sh", "-c", "kill -TERM $$"}), 128 + 15);
    // Blanks, quotes, apostrophes and backslashes reach the program as one
    // word, and nothing in it runs.
    const std::string marker = folder / "it's a \"b\" \\ $(touch c)";
    EXPECT_EQ(RunAndWait({"touch", marker}), 0);
#endif
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
    EXPECT_TRUE(IsTheRegistryEditor(fake.requests[0].program)) << fake.requests[0].program;
    EXPECT_TRUE(fake.requests[0].quiet);
    EXPECT_THROW(RunAndWait({"no-such-program-anywhere"}), vb::VbError);
}

TEST(FindProgram, RegeditIsTheSuitesEditorInAnyCase) {
    const std::string editor = FindProgram("REGEDIT");
    EXPECT_TRUE(IsTheRegistryEditor(editor)) << editor;
    EXPECT_EQ(FindProgram("RegEdit.exe"), editor);
    EXPECT_EQ(FindProgram("regedit"), editor);
}

TEST(FindProgram, OtherNamesGoThroughPath) {
#ifdef _WIN32
    // Programs are the .exe files along PATH, found in any case.
    TempFolder folder;
    const std::string tool = PlatformPath(folder / "mytool.exe");
    testing::WriteBytes(tool, "MZ");
    testing::WriteBytes(folder / "plain", "");
    testing::ScopedVariable path("PATH", ("C:\\nonexistent;" + PlatformPath(folder.Path())).c_str());
    EXPECT_EQ(text::LowerAscii(FindProgram("mytool")), text::LowerAscii(tool));
    EXPECT_EQ(text::LowerAscii(FindProgram("MyTool.exe")), text::LowerAscii(tool));
    EXPECT_EQ(FindProgram("plain"), "");
    EXPECT_EQ(FindProgram(tool), tool);
    EXPECT_EQ(FindProgram(PlatformPath(folder / "missing.exe")), "");
#else
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
#endif
}

}  // namespace
}  // namespace win
