#include "config/config_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "base/vb_error.h"
#include "platform/vbide/environment.h"
#include "platform/win/code_page.h"
#include "platform/win/test_support.h"

namespace config {
namespace {

namespace fs = std::filesystem;

class ConfigCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("config_cmd_" + std::to_string(std::random_device{}()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        // Windows removes no read-only file.
        for (auto& e : fs::recursive_directory_iterator(dir_))
            if (e.is_regular_file()) fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    void Write(const std::string& rel, const std::string& bytes) {
        fs::path p = dir_ / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& rel) const {
        std::ifstream in(dir_ / rel, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Path(const std::string& rel) const { return (dir_ / rel).string(); }
    // Every file of the folder with its bytes.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (auto& e : fs::recursive_directory_iterator(dir_))
            if (e.is_regular_file()) files[fs::relative(e.path(), dir_).generic_string()] = Read(fs::relative(e.path(), dir_).string());
        return files;
    }

    struct Result {
        int status;
        std::string out, err;
    };
    Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        // As the tarnwick program runs it: a fresh environment that keeps
        // the project's lock for the whole command.
        const auto env = vbide::Environment::Create();
        env->SetHoldsProjectLocks(true);
        int status = RunConfigCommand(args, *env, out, err);
        return {status, out.str(), err.str()};
    }

    // A project of two modules; `store` is appended after the project lines.
    void WriteProject(const std::string& store = {}, const std::string& condComp = {}) {
        Write("App.vbp", "Type=Exe\r\nModule=basMain; basMain.bas\r\nClass=CThing; CThing.cls\r\n" + condComp +
                             "Name=\"App\"\r\n" + store);
        Write("basMain.bas", "Attribute VB_Name = \"basMain\"\r\nOption Explicit\r\n#Const debugging = True\r\n"
                             "\r\nSub Main()\r\n#If debugging Then\r\n    Debug.Print 1\r\n#End If\r\nEnd Sub\r\n");
        Write("CThing.cls", "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                            "Attribute VB_Name = \"CThing\"\r\nOption Explicit\r\n");
    }

    // Runs `switch release` on `vbp` in another process as the tarnwick
    // program does and kills it `delay` after it started working.
    static void KillASwitchAfter(const std::string& vbp, std::chrono::microseconds delay) {
#ifdef _WIN32
        win::testing::RunningProgram program(
            {win::testing::BinFolder() + "\\tarnwick.exe", "config", vbp, "switch", "release"});
        ASSERT_TRUE(program.Started());
        std::this_thread::sleep_for(kProgramStart + delay);
        program.Kill();
#else
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::ostringstream out, err;
            const auto env = vbide::Environment::Create();
            env->SetHoldsProjectLocks(true);
            ::_exit(RunConfigCommand({vbp, "switch", "release"}, *env, out, err));
        }
        std::this_thread::sleep_for(delay);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
#endif
    }
#ifdef _WIN32
    // About how long a new tarnwick.exe takes to reach the command (25 ms
    // under Wine; a switch of the 30 modules below takes 40 ms more).
    static constexpr std::chrono::milliseconds kProgramStart{50};
#endif

    static std::string Store(const char* current = "1") {
        return std::string("\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=") + current +
               "\r\n\r\n[Constants]\r\nCount=2\r\nConst1=debugging\r\nConst2=tracing\r\n"
               "\r\n[Config1]\r\ndebugging=True\r\ntracing=False\r\n\r\n[Config2]\r\ndebugging=False\r\ntracing=True\r\n";
    }

    fs::path dir_;
};

TEST_F(ConfigCommand, ReadingCommandsOnAProjectWithoutConfigurationsWriteNothing) {
    WriteProject();
    auto before = Files();
    Result list = Run({Path("App.vbp"), "list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "App has no configurations.\n");
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 1);
    Result args = Run({Path("App.vbp"), "make-args"});
    EXPECT_EQ(args.status, 1);
    EXPECT_EQ(args.err, "App has no configurations.\n");
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigCommand, SwitchOnAProjectWithoutConfigurationsWritesTheDefaultsFirst) {
    WriteProject();
    Result r = Run({Path("App.vbp"), "switch", "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "App had no configurations: added debug and release with constant debugging.\n"
              "App: configuration 2 (release) applied; 1 declaration lines rewritten, 2 inserted; 3 files changed.\n");
    EXPECT_EQ(Read("App.vbp"),
              "Type=Exe\r\nModule=basMain; basMain.bas\r\nClass=CThing; CThing.cls\r\nName=\"App\"\r\n"
              "\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=2\r\n"
              "\r\n[Config1]\r\ndebugging=True\r\n\r\n[Config2]\r\ndebugging=False\r\n"
              "\r\n[Constants]\r\nCount=1\r\nConst1=debugging\r\n");
    // The default line went in as line 2 and was rewritten with the existing one.
    EXPECT_EQ(Read("basMain.bas"),
              "Attribute VB_Name = \"basMain\"\r\nOption Explicit\r\n#Const debugging = False\r\n"
              "#Const debugging = False\r\n\r\nSub Main()\r\n#If debugging Then\r\n    Debug.Print 1\r\n#End If\r\n"
              "End Sub\r\n");
    EXPECT_EQ(Read("CThing.cls"), "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                                  "Attribute VB_Name = \"CThing\"\r\nOption Explicit\r\n#Const debugging = False\r\n");
}

TEST_F(ConfigCommand, AProjectFileWithLinesEndedByCrAloneIsReadAndExtendedInItsOwnStyle) {
    WriteProject();
    Write("App.vbp", "Type=Exe\rModule=basMain; basMain.bas\rClass=CThing; CThing.cls\rName=\"App\"\r" +
                         std::string("\r[Configurations]\rCount=2\rConfig1=debug\rConfig2=release\rCurrent=1\r"
                                     "\r[Constants]\rCount=1\rConst1=debugging\r"
                                     "\r[Config1]\rdebugging=True\r\r[Config2]\rdebugging=False\r"));
    Result r = Run({Path("App.vbp"), "switch", "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "App: configuration 2 (release) applied; 1 declaration lines rewritten, 1 inserted; 3 files changed.\n");
    EXPECT_EQ(Read("App.vbp"), "Type=Exe\rModule=basMain; basMain.bas\rClass=CThing; CThing.cls\rName=\"App\"\r"
                               "\r[Configurations]\rCount=2\rConfig1=debug\rConfig2=release\rCurrent=2\r"
                               "\r[Constants]\rCount=1\rConst1=debugging\r"
                               "\r[Config1]\rdebugging=True\r\r[Config2]\rdebugging=False\r");
    EXPECT_NE(Read("basMain.bas").find("#Const debugging = False\r\n"), std::string::npos);
    // A new entry in the store ends like the others.
    ASSERT_EQ(Run({Path("App.vbp"), "add-config", "test"}).status, 0);
    EXPECT_EQ(Read("App.vbp").find('\n'), std::string::npos) << Read("App.vbp");
}

TEST_F(ConfigCommand, AModuleThatIsAFifoOrADeviceIsRefusedWithoutWaiting) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows folder holds no FIFOs or device files";
#else
    WriteProject(Store());
    ::alarm(20);  // a reader that waits for the FIFO's writer fails the test
    fs::remove(dir_ / "basMain.bas");
    ASSERT_EQ(::mkfifo(Path("basMain.bas").c_str(), 0600), 0);
    Result r = Run({Path("App.vbp"), "switch", "release"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("App.vbp(2): file not readable: basMain.bas (a FIFO, not a regular file)"), std::string::npos)
        << r.err;
    fs::remove(dir_ / "basMain.bas");
    fs::create_symlink("/dev/zero", dir_ / "basMain.bas");
    r = Run({Path("App.vbp"), "list"});
    EXPECT_NE(r.err.find("file not readable: basMain.bas (a device, not a regular file)"), std::string::npos) << r.err;
    fs::remove(dir_ / "App.vbp");
    ASSERT_EQ(::mkfifo(Path("App.vbp").c_str(), 0600), 0);
    r = Run({Path("App.vbp"), "list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("App.vbp (a FIFO, not a regular file)"), std::string::npos) << r.err;
    ::alarm(0);
#endif
}

TEST_F(ConfigCommand, ListShowsTheCurrentConfigurationAndEveryValue) {
    WriteProject(Store("2"));
    Result r = Run({Path("App.vbp"), "list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Configurations of App (* marks the current one):\n"
              "  1 debug\n      debugging = True\n      tracing = False\n"
              "* 2 release\n      debugging = False\n      tracing = True\n");
}

TEST_F(ConfigCommand, MakeArgsGivesTheCompilersForm) {
    WriteProject(Store("1"));
    EXPECT_EQ(Run({Path("App.vbp"), "make-args"}).out, "debugging=-1:tracing=0\n");
    EXPECT_EQ(Run({Path("App.vbp"), "make-args", "release"}).out, "debugging=0:tracing=-1\n");
    EXPECT_EQ(Run({Path("App.vbp"), "make-args", "2"}).out, "debugging=0:tracing=-1\n");
}

TEST_F(ConfigCommand, SetAddConfigAndAddConstChangeTheStoreAndTheCode) {
    WriteProject(Store("1"));
    ASSERT_EQ(Run({Path("App.vbp"), "set", "debug", "tracing", "TRUE"}).status, 0);
    ASSERT_EQ(Run({Path("App.vbp"), "add-config", "profile"}).status, 0);
    ASSERT_EQ(Run({Path("App.vbp"), "add-const", "logging"}).status, 0);
    EXPECT_EQ(Run({Path("App.vbp"), "make-args", "profile"}).out, "debugging=0:tracing=0:logging=0\n");
    EXPECT_EQ(Run({Path("App.vbp"), "make-args"}).out, "debugging=-1:tracing=-1:logging=0\n");
    EXPECT_EQ(Read("CThing.cls"), "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                                  "Attribute VB_Name = \"CThing\"\r\nOption Explicit\r\n#Const logging = False\r\n"
                                  "#Const tracing = True\r\n#Const debugging = True\r\n");
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 0);
}

TEST_F(ConfigCommand, ReportsCountTheLinesThatChangedAgainstTheFiles) {
    WriteProject(Store("1"));
    ASSERT_EQ(Run({Path("App.vbp"), "switch", "debug"}).status, 0);
    // A value of another configuration: every line is rewritten with its own text.
    Result set = Run({Path("App.vbp"), "set", "release", "tracing", "false"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "App: configuration 1 (debug) applied; 0 declaration lines rewritten, 0 inserted; 1 file changed.\n");
    Result config = Run({Path("App.vbp"), "add-config", "profile"});
    EXPECT_EQ(config.out,
              "App: configuration 1 (debug) applied; 0 declaration lines rewritten, 0 inserted; 1 file changed.\n");
    Result flip = Run({Path("App.vbp"), "set", "debug", "tracing", "true"});
    EXPECT_EQ(flip.out, "App: configuration 1 (debug) applied; 2 declaration lines rewritten, 0 inserted; 3 files changed.\n");

    // A first use: the default lines count as inserted, not as rewritten.
    WriteProject();
    Result first = Run({Path("App.vbp"), "add-config", "profile"});
    EXPECT_EQ(first.out,
              "App had no configurations: added debug and release with constant debugging.\n"
              "App: configuration 1 (debug) applied; 0 declaration lines rewritten, 2 inserted; 3 files changed.\n");
}

TEST_F(ConfigCommand, NamesMayUseTheAccentedLettersOfTheCodePage) {
    WriteProject(Store("1"));
#ifdef _WIN32
    // Typed in the system's ANSI code page, which the projects use too; a
    // project code page that lacks a character refuses it.
    if (win::ProjectCodePage() != 1252) GTEST_SKIP() << "the system's ANSI code page is not Windows-1252";
    const std::string accented = "d\xE9tail";
    Result refused;
    {
        win::testing::ScopedVariable greek("TARNWICK_CODEPAGE", "1253");
        refused = Run({Path("App.vbp"), "add-const", accented});
    }
    const std::string lacks = "code page 1253 lacks";
#else
    // Typed in a UTF-8 terminal, stored in Windows-1252; a character that
    // code page lacks is refused.
    win::testing::ScopedVariable locale("LC_ALL", "C.UTF-8");
    const std::string accented = "d\xC3\xA9tail";
    const Result refused = Run({Path("App.vbp"), "add-const", "\xE8\xA8\x88"});
    const std::string lacks = "code page 1252 lacks";
#endif
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("add-const: the text holds a character that " + lacks), std::string::npos)
        << refused.err;
    ASSERT_EQ(Run({Path("App.vbp"), "add-const", accented}).status, 0);
    EXPECT_NE(Read("CThing.cls").find("#Const d\xe9tail = False\r\n"), std::string::npos);
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 0);
}

TEST_F(ConfigCommand, BadNamesAndUnknownEntriesFailWithoutWriting) {
    WriteProject(Store("1"));
    auto before = Files();
    struct Case {
        std::vector<std::string> words;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"switch", "beta"}, 1, "tarnwick config: unknown configuration \"beta\"; the project has: debug, release\n"},
        {{"switch", "3"}, 1, "tarnwick config: unknown configuration \"3\"; the project has: debug, release\n"},
        {{"set", "debug", "nothing", "true"}, 1,
         "tarnwick config: unknown constant \"nothing\"; the project has: debugging, tracing\n"},
        {{"set", "debug", "tracing", "yes"}, 2, "tarnwick config: the value must be true or false, not \"yes\"\n"},
        {{"add-config", "Debug"}, 1, "tarnwick config: configuration \"debug\" exists already\n"},
        {{"add-const", "my name"}, 1,
         "tarnwick config: \"my name\" is no valid constant name: use a letter, then letters, digits or \"_\"\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {Path("App.vbp")};
        args.insert(args.end(), c.words.begin(), c.words.end());
        Result r = Run(args);
        EXPECT_EQ(r.status, c.status) << c.words[0];
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(Run({Path("App.vbp"), "frobnicate"}).status, 2);
    EXPECT_EQ(Run({Path("App.vbp")}).status, 2);
    EXPECT_EQ(Run({"--help"}).status, 0);
    Result missing = Run({Path("Nope.vbp"), "list"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Nope.vbp"), std::string::npos) << missing.err;
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigCommand, AProjectWithAMissingModuleIsNotChanged) {
    WriteProject(Store("1"));
    fs::remove(dir_ / "CThing.cls");
    auto before = Files();
    Result r = Run({Path("App.vbp"), "switch", "release"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("did not load completely"), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigCommand, SkipMissingSwitchesTheModulesThatLoadedAndListsTheOthers) {
    WriteProject(Store("1"));
    fs::remove(dir_ / "CThing.cls");
    const auto before = Files();
    Result dry = Run({Path("App.vbp"), "switch", "release", "--skip-missing", "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.err.find("skipped: "), std::string::npos) << dry.err;
    EXPECT_NE(dry.err.find("CThing.cls"), std::string::npos) << dry.err;
    EXPECT_NE(dry.out.find("+#Const debugging = False"), std::string::npos) << dry.out;
    EXPECT_EQ(Files(), before);

    Result r = Run({Path("App.vbp"), "--skip-missing", "switch", "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("CThing.cls"), std::string::npos) << r.err;
    EXPECT_NE(Read("basMain.bas").find("#Const debugging = False"), std::string::npos);
    // The project keeps the line of the module it could not read.
    EXPECT_NE(Read("App.vbp").find("Class=CThing; CThing.cls\r\n"), std::string::npos);
    EXPECT_NE(Read("App.vbp").find("Current=2"), std::string::npos);
}

TEST_F(ConfigCommand, CheckExitsZeroWhenCleanOneForFindingsTwoForTrouble) {
    WriteProject(Store("1"));
    ASSERT_EQ(Run({Path("App.vbp"), "switch", "debug"}).status, 0);
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 0);
    const std::string clean = Read("basMain.bas");
    Write("basMain.bas", clean + "#Const tracing = True\r\n");
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 1);
    EXPECT_EQ(Run({Path("Nope.vbp"), "check"}).status, 2);
    EXPECT_EQ(Run({Path("App.vbp"), "check", "extra"}).status, 2);
    EXPECT_EQ(Run({Path("App.vbp"), "check", "--bogus"}).status, 2);
    // A module that cannot be read cannot be checked, unless it is skipped.
    fs::remove(dir_ / "CThing.cls");
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 2);
    EXPECT_EQ(Run({Path("App.vbp"), "check", "--skip-missing"}).status, 1);
    Write("basMain.bas", clean);
    EXPECT_EQ(Run({Path("App.vbp"), "check", "--skip-missing"}).status, 0);
    // A store that cannot be read is trouble too.
    WriteProject(Store("7"));
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 2);
    // Unread modules are trouble in a project without configurations as well.
    WriteProject();
    fs::remove(dir_ / "CThing.cls");
    EXPECT_EQ(Run({Path("App.vbp"), "check"}).status, 2);
    EXPECT_EQ(Run({Path("App.vbp"), "check", "--skip-missing"}).status, 1);
}

TEST_F(ConfigCommand, ANegativeCountIsReportedAsADamagedStoreNamingProjectAndEntry) {
    std::string store = Store("1");
    store.replace(store.find("Count=2\r\nConst1"), 7, "Count=-3");
    WriteProject(store);
    const auto before = Files();
    for (const char* command : {"add-const", "add-config"}) {
        Result r = Run({Path("App.vbp"), command, "extra"});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "tarnwick config: App: The project's store is damaged: the entry \"Count\" of section "
                         "[Constants] holds \"-3\", which is no count.\n");
    }
    EXPECT_EQ(Run({Path("App.vbp"), "list"}).status, 1);
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigCommand, SwitchKeepsAContinuedFirstStatementWhole) {
    WriteProject();
    const std::string declare = "Private Declare Function GetTickCount Lib \"kernel32\" Alias _\r\n"
                                "    \"GetTickCount\" () As Long\r\n";
    Write("basApi.bas", "Attribute VB_Name = \"basApi\"\r\n" + declare);
    Write("App.vbp", "Type=Exe\r\nModule=basApi; basApi.bas\r\nName=\"App\"\r\n");
    Result r = Run({Path("App.vbp"), "switch", "debug"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read("basApi.bas"), "Attribute VB_Name = \"basApi\"\r\n" + declare + "#Const debugging = True\r\n");
}

TEST_F(ConfigCommand, TheDefaultsAreAnnouncedOnlyWhenTheSaveSucceeds) {
    WriteProject();
    // A module whose file cannot be replaced (read-only) makes the save fail.
    fs::permissions(dir_ / "basMain.bas", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Result r = Run({Path("App.vbp"), "switch", "release"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("App: "), std::string::npos) << r.err;
    EXPECT_EQ(Read("App.vbp").find("[Configurations]"), std::string::npos);
}

TEST_F(ConfigCommand, DryRunPrintsAUnifiedDiffAndWritesNothing) {
    WriteProject(Store("1"));
    auto before = Files();
    Result r = Run({Path("App.vbp"), "switch", "--dry-run", "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "--- a/basMain.bas\n+++ b/basMain.bas\n"
              "@@ -1,6 +1,7 @@\n"
              " Attribute VB_Name = \"basMain\"\r\n"
              " Option Explicit\r\n"
              "-#Const debugging = True\r\n"
              "+#Const tracing = True\r\n"
              "+#Const debugging = False\r\n"
              " \r\n Sub Main()\r\n #If debugging Then\r\n"
              "--- a/CThing.cls\n+++ b/CThing.cls\n"
              "@@ -4,3 +4,5 @@\n"
              " END\r\n Attribute VB_Name = \"CThing\"\r\n Option Explicit\r\n"
              "+#Const tracing = True\r\n+#Const debugging = False\r\n"
              "--- a/App.vbp\n+++ b/App.vbp\n"
              "@@ -7,7 +7,7 @@\n"
              " Count=2\r\n Config1=debug\r\n Config2=release\r\n"
              "-Current=1\r\n+Current=2\r\n \r\n [Constants]\r\n Count=2\r\n");
    EXPECT_EQ(Files(), before);
}

// Line numbers are those of the code window (the hidden attribute line is not counted).
TEST_F(ConfigCommand, CheckReportsDisagreementsMissingDeclarationsAndUndefinedNames) {
    WriteProject(Store("2"), "CondComp=\"FEATURE = 1 : Other = 0\"\r\n");
    Write("basMain.bas", "Attribute VB_Name = \"basMain\"\r\nOption Explicit\r\n#Const debugging = True\r\n"
                         "#Const tracing = True\r\n#Const local = 1\r\n"
                         "#If debugging Or feature Or LOCAL Or Win32 Then ' typo below\r\n"
                         "#ElseIf debuging And Not \"x\" = \"y\" Then\r\n#End If\r\n");
    Result r = Run({Path("App.vbp"), "check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "basMain:2: \"#Const debugging = True\" should read \"#Const debugging = False\"\n"
              "basMain:6: #If tests debuging, which no configuration, #Const line, project argument or built-in "
              "constant defines\n"
              "CThing: no declaration of debugging\n"
              "CThing: no declaration of tracing\n");
}

TEST_F(ConfigCommand, SwitchingTheSampleToReleaseAndBackRestoresEveryByte) {
    const fs::path sample = CONFIG_SAMPLE_PROJECT;
    ASSERT_TRUE(fs::exists(sample / "Ledger.vbp")) << sample;
    fs::copy(sample, dir_ / "project", fs::copy_options::recursive);
    const std::string vbp = Path("project/Ledger.vbp");
    ASSERT_EQ(Run({vbp, "switch", "debug"}).status, 0);
    auto afterDebug = Files();
    Result release = Run({vbp, "switch", "release"});
    ASSERT_EQ(release.status, 0) << release.err;
    EXPECT_NE(Files(), afterDebug);
    ASSERT_EQ(Run({vbp, "switch", "1"}).status, 0);
    EXPECT_EQ(Files(), afterDebug);
    // Switching to the current configuration touches no file.
    const auto stamp = fs::last_write_time(dir_ / "project" / "modTrace.bas");
    Result again = Run({vbp, "switch", "debug"});
    EXPECT_NE(again.out.find("; 0 files changed."), std::string::npos) << again.out;
    EXPECT_EQ(fs::last_write_time(dir_ / "project" / "modTrace.bas"), stamp);
}

TEST_F(ConfigCommand, AReadOnlyModuleIsRefusedAndNothingChanges) {
    WriteProject(Store("1"));
    // On Windows: the read-only attribute.
    fs::permissions(dir_ / "CThing.cls", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto before = Files();
    Result r = Run({Path("App.vbp"), "switch", "release"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Path/File access error: " + Path("CThing.cls")), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigCommand, ALinkedModuleStaysALinkAndItsTargetChanges) {
#ifdef _WIN32
    GTEST_SKIP() << "making a symbolic link takes a privilege that Windows users do not have";
#endif
    WriteProject(Store("1"));
    fs::create_directories(dir_ / "Shared");
    fs::rename(dir_ / "CThing.cls", dir_ / "Shared" / "CThing.cls");
    fs::create_symlink("Shared/CThing.cls", dir_ / "CThing.cls");
    Result r = Run({Path("App.vbp"), "switch", "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir_ / "CThing.cls"));
    EXPECT_NE(Read("Shared/CThing.cls").find("#Const debugging = False"), std::string::npos);
}

TEST_F(ConfigCommand, ASecondWriterFailsClearlyWhileTheProjectIsLocked) {
    WriteProject(Store("1"));
    const auto before = Files();
    Result r;
    {
        win::testing::LockHolder other(Path("App.vbp"));
        ASSERT_TRUE(other.Held());
        win::testing::ScopedVariable wait("TARNWICK_LOCK_WAIT_MS", "50");
        r = Run({Path("App.vbp"), "switch", "release"});
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("another program"), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before);
}

// A switch killed at random moments: the next command finds every module
// switched or none, and no file of the save is left over.
TEST_F(ConfigCommand, AKilledSwitchLeavesTheProjectWhollyOldOrWhollyNew) {
    constexpr int kModules = 30;
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < kModules; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        Write(name + ".bas", "Attribute VB_Name = \"" + name + "\"\r\n#Const debugging = True\r\n" +
                                 std::string(30000, '\'') + "\r\n");
    }
    Write("App.vbp", vbp + "Name=\"App\"\r\n" + Store("1"));
    const auto original = Files();
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 8; ++round) {
        ASSERT_NO_FATAL_FAILURE(KillASwitchAfter(Path("App.vbp"), std::chrono::microseconds(random() % 40000)));
        const Result listed = Run({Path("App.vbp"), "list"});
        ASSERT_EQ(listed.status, 0) << listed.err;
        const auto files = Files();
        ASSERT_EQ(files.size(), original.size()) << "round " << round << ": " << listed.err;
        const bool switched = files.at("App.vbp").find("Current=2") != std::string::npos;
        for (const auto& [name, bytes] : files) {
            if (!name.ends_with(".bas")) continue;
            ASSERT_NE(bytes.find(switched ? "debugging = False" : "debugging = True"), std::string::npos)
                << "round " << round << ": " << name;
        }
        for (const auto& [name, bytes] : original) Write(name, bytes);
    }
}


// A journal planted in the project folder (projects travel as zip files)
// cannot make a command touch a file the project does not name.
TEST_F(ConfigCommand, APlantedJournalIsLeftAloneAndSaidOnce) {
    WriteProject(Store("1"));
    Write("out/victim", "precious\n");
    const std::string victim = Path("out/victim");
    Write(".App.vbp.save-journal",
          "tarnwick save journal 1\nR " + std::to_string(victim.size()) + " " + victim + " 1 x\n");
    Write("x", "attack");
    const auto before = Files();
    // The loader names files with '/' between folders on every system.
    std::string journal = Path(".App.vbp.save-journal");
    std::replace(journal.begin(), journal.end(), '\\', '/');
    const std::string said = "an unfinished save that does not belong to this project was left alone: " + journal;
    const Result listed = Run({Path("App.vbp"), "list"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.err, "tarnwick config: warning: " + said + "\n");
    EXPECT_NE(listed.out.find("debug"), std::string::npos);
    const Result switched = Run({Path("App.vbp"), "switch", "release"});
    EXPECT_EQ(switched.status, 1);
    EXPECT_NE(switched.err.find(said), std::string::npos) << switched.err;
    EXPECT_EQ(switched.err.find(said), switched.err.rfind(said)) << switched.err;
    EXPECT_EQ(Files(), before);
}

// A switch killed at a random moment, then the folder moved (or copied):
// the next command there finds the project wholly old or wholly new.
TEST_F(ConfigCommand, AProjectMovedAfterAKilledSwitchRecoversWhole) {
    constexpr int kModules = 20;
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < kModules; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; src\\" + name + ".bas\r\n";
        Write("a/src/" + name + ".bas", "Attribute VB_Name = \"" + name + "\"\r\n#Const debugging = True\r\n" +
                                            std::string(30000, '\'') + "\r\n");
    }
    Write("a/App.vbp", vbp + "Name=\"App\"\r\n" + Store("1"));
    std::map<std::string, std::string> original;
    for (const auto& [name, bytes] : Files()) original[name.substr(2)] = bytes;
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 6; ++round) {
        fs::remove_all(dir_ / "a");
        fs::remove_all(dir_ / "b");
        for (const auto& [name, bytes] : original) Write("a/" + name, bytes);
        ASSERT_NO_FATAL_FAILURE(KillASwitchAfter(Path("a/App.vbp"), std::chrono::microseconds(random() % 60000)));
        if (round % 2) fs::rename(dir_ / "a", dir_ / "b");
        else fs::copy(dir_ / "a", dir_ / "b", fs::copy_options::recursive);
        const Result listed = Run({Path("b/App.vbp"), "list"});
        ASSERT_EQ(listed.status, 0) << listed.err;
        ASSERT_EQ(listed.err, "");
        std::map<std::string, std::string> files;
        for (const auto& [name, bytes] : Files())
            if (name.starts_with("b/")) files[name.substr(2)] = bytes;
        ASSERT_EQ(files.size(), original.size()) << "round " << round;
        const bool switched = files.at("App.vbp").find("Current=2") != std::string::npos;
        for (const auto& [name, bytes] : files) {
            if (!name.ends_with(".bas")) continue;
            ASSERT_NE(bytes.find(switched ? "debugging = False" : "debugging = True"), std::string::npos)
                << "round " << round << ": " << name;
        }
    }
}

}  // namespace
}  // namespace config
