#include "apps/regedit/regedit.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win/registry.h"
#include "platform/win/test_support.h"
#include "platform/win/utf16_text.h"

extern char** environ;

namespace regedit {
namespace {

using win::testing::ReadBytes;
using win::testing::TempFolder;
using win::testing::WriteBytes;

class FakeConsole : public Console {
public:
    bool canAsk = true;
    bool answer = true;
    std::vector<std::string> questions, told, complaints;

    bool Ask(const std::string& question, bool& yes) override {
        questions.push_back(question);
        yes = answer;
        return canAsk;
    }
    void Tell(const std::string& text) override { told.push_back(text); }
    void Complain(const std::string& text) override { complaints.push_back(text); }
};

bool KeyExists(const char* path) {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, path, 0, win::KEY_READ, &key) != 0) return false;
    win::RegCloseKey(key);
    return true;
}

const char* const kScript =
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imported]\r\n\"Name\"=\"Value\"\r\n";

class Regedit : public ::testing::Test {
protected:
    void SetUp() override {
        win::UseRegistryStore(":memory:");
        script = folder / "script.reg";
        WriteBytes(script, kScript);
    }
    TempFolder folder;
    std::string script;
    FakeConsole console;
};

TEST_F(Regedit, AsksFirstAndReportsTheImport) {
    EXPECT_EQ(regedit::Run({script}, console), kSuccess);
    EXPECT_EQ(console.questions, std::vector<std::string>{
                                     "Are you sure you want to add the information in " + script +
                                     " to the registry?"});
    EXPECT_EQ(console.told, std::vector<std::string>{"Information in " + script +
                                                     " has been successfully entered into the "
                                                     "registry."});
    EXPECT_TRUE(KeyExists("Software\\Imported"));
}

TEST_F(Regedit, ImportsNothingWhenTheAnswerIsNoOrNobodyCanAnswer) {
    console.answer = false;
    EXPECT_EQ(regedit::Run({script}, console), kNotAsked);
    EXPECT_TRUE(console.told.empty());
    console.canAsk = false;
    EXPECT_EQ(regedit::Run({script}, console), kNotAsked);
    ASSERT_EQ(console.complaints.size(), 1u);
    EXPECT_NE(console.complaints[0].find("/s"), std::string::npos);
    EXPECT_FALSE(KeyExists("Software\\Imported"));
}

TEST_F(Regedit, SilentImportNeitherAsksNorTells) {
    EXPECT_EQ(regedit::Run({"/S", script}, console), kSuccess);
    EXPECT_TRUE(console.questions.empty());
    EXPECT_TRUE(console.told.empty());
    EXPECT_TRUE(KeyExists("Software\\Imported"));
}

TEST_F(Regedit, AFaultyScriptImportsNothingAndNamesFileAndLine) {
    const std::string bad = folder / "bad.reg";
    WriteBytes(bad,
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\First]\r\n\"a\"=\"1\"\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Second]\r\n\"b\"=\"unterminated\r\n");
    EXPECT_EQ(regedit::Run({"/s", bad}, console), kFailed);
    EXPECT_EQ(console.complaints,
              std::vector<std::string>{"Cannot import " + bad + ", line 7: unterminated string"});
    EXPECT_FALSE(KeyExists("Software\\First"));
}

TEST_F(Regedit, EachFileOfASplitPathIsTriedAndTheStatusTellsTheFailure) {
    const std::string missing = folder / "My";
    EXPECT_EQ(regedit::Run({"/s", missing, script}, console), kFailed);
    EXPECT_EQ(console.complaints,
              std::vector<std::string>{"Cannot import " + missing + ": the file cannot be opened"});
    EXPECT_TRUE(KeyExists("Software\\Imported"));
}

TEST_F(Regedit, ExportsVersion5AsUnicodeAndRegedit4InTheCodePage) {
    WriteBytes(script, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imported]\r\n"
                       "\"Name\"=\"Caf\xe9 \x80\"\r\n");
    ASSERT_EQ(regedit::Run({"/s", script}, console), kSuccess);
    const std::string out = folder / "out.reg";
    EXPECT_EQ(regedit::Run({"/e", out, "HKEY_CURRENT_USER\\software\\imported"}, console), kSuccess);
    // UTF-16LE after the mark FF FE; the code page's bytes become their characters.
    const std::string version5 = ReadBytes(out);
    EXPECT_EQ(version5.substr(0, 4), std::string("\xff\xfeW\0", 4));
    EXPECT_NE(version5.find(std::string("C\0a\0f\0\xe9\0 \0\xac\x20", 12)), std::string::npos)
        << "Caf\u00e9 \u20ac";
    EXPECT_EQ(version5, win::AnsiToUtf16Text("Windows Registry Editor Version 5.00\r\n\r\n"
                                             "[HKEY_CURRENT_USER\\Software\\Imported]\r\n"
                                             "\"Name\"=\"Caf\xe9 \x80\"\r\n\r\n"));
    // The editor reads back what it exported, as it reads Windows' own exports.
    win::UseRegistryStore(":memory:");
    ASSERT_EQ(regedit::Run({"/s", out}, console), kSuccess) << console.complaints.back();
    EXPECT_EQ(regedit::Run({"-A", out, "HKCU\\Software"}, console), kSuccess);
    EXPECT_EQ(ReadBytes(out),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Imported]\r\n\"Name\"=\"Caf\xe9 \x80\"\r\n\r\n");
    EXPECT_EQ(regedit::Run({"/e", out, "HKEY_CURRENT_USER\\Missing"}, console), kFailed);
}

TEST_F(Regedit, UnknownCommandLinesGiveUsage) {
    EXPECT_EQ(regedit::Run({}, console), kUsage);
    EXPECT_EQ(regedit::Run({"/x", script}, console), kUsage);
    EXPECT_EQ(regedit::Run({"/e"}, console), kUsage);
    EXPECT_EQ(regedit::Run({"/s"}, console), kUsage);
}

// ---- The program ------------------------------------------------------------

// Runs the built editor with stdin from /dev/null (no terminal) and the
// given store; returns its exit status.
pid_t Start(const std::vector<std::string>& args, const std::string& store,
            const char* answer = nullptr) {
    const std::string program = win::testing::BinFolder() + "/regedit";
    std::vector<std::string> env{"TARNWICK_REGISTRY=" + store};
    if (answer) env.push_back(std::string("TARNWICK_REGEDIT_ANSWER=") + answer);
    for (char** e = environ; *e; ++e) {
        if (std::string(*e).rfind("TARNWICK_REG", 0) != 0) env.emplace_back(*e);
    }
    std::vector<char*> envp, argv{const_cast<char*>(program.c_str())};
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", 0, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RegeditProgram, ExitStatusTellsTheOutcome) {
    TempFolder folder;
    const std::string store = folder / "registry.db";
    const std::string script = folder / "script.reg";
    WriteBytes(script, kScript);
    EXPECT_EQ(Wait(Start({script}, store)), kNotAsked);
    EXPECT_EQ(Wait(Start({script}, store, "no")), kNotAsked);
    EXPECT_EQ(Wait(Start({script}, store, "yes")), kSuccess);
    WriteBytes(folder / "bad.reg", "REGEDIT5\r\n");
    EXPECT_EQ(Wait(Start({"/s", folder / "bad.reg"}, store)), kFailed);
    EXPECT_EQ(Wait(Start({}, store)), kUsage);

    win::UseRegistryStore(store);
    EXPECT_TRUE(KeyExists("Software\\Imported"));
    win::UseRegistryStore(":memory:");
}

TEST(RegeditProgram, AKeyTooDeepIsRefusedNamingTheLineInLittleMemory) {
    TempFolder folder;
    const std::string script = folder / "deep.reg";
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER";
    for (int i = 0; i < 100000; ++i) text += "\\a";
    WriteBytes(script, text + "]\r\n");
    const std::string program = win::testing::BinFolder() + "/regedit";
    const std::string store = folder / "registry.db";
    const std::string errors = folder / "errors.txt";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // A bound on the child's address space keeps a regression from
        // taking the machine's memory with it.
        const rlimit limit{1u << 30, 1u << 30};
        setrlimit(RLIMIT_AS, &limit);
        setenv("TARNWICK_REGISTRY", store.c_str(), 1);
        const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        execl(program.c_str(), program.c_str(), "/s", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kFailed);
    EXPECT_EQ(ReadBytes(errors),
              "regedit: Cannot import " + script + ", line 3: key path deeper than 512 levels\n");
    EXPECT_LT(usage.ru_maxrss, 100 * 1024) << "kilobytes at most";
}

TEST(RegeditProgram, TwoProcessesImportingAtOnceLoseNothing) {
    TempFolder folder;
    const std::string store = folder / "registry.db";
    constexpr int kKeys = 1500;
    std::vector<std::string> scripts;
    for (int p = 0; p < 2; ++p) {
        std::string text = "REGEDIT4\r\n\r\n";
        for (int i = 0; i < kKeys; ++i) {
            text += "[HKEY_CURRENT_USER\\Load\\P" + std::to_string(p) + "\\K" + std::to_string(i) +
                    "]\r\n\"v\"=dword:" + std::to_string(i % 10) + "\r\n\r\n";
            // Both processes also write into one shared key.
            text += "[HKEY_CURRENT_USER\\Load\\Shared]\r\n\"p" + std::to_string(p) + "-" +
                    std::to_string(i) + "\"=\"x\"\r\n";
        }
        scripts.push_back(folder / ("p" + std::to_string(p) + ".reg"));
        WriteBytes(scripts.back(), text);
    }
    for (int round = 0; round < 3; ++round) {
        const pid_t a = Start({"/s", scripts[0]}, store);
        const pid_t b = Start({"/s", scripts[1]}, store);
        EXPECT_EQ(Wait(a), kSuccess);
        EXPECT_EQ(Wait(b), kSuccess);
    }
    win::UseRegistryStore(store);
    for (const char* path : {"Load\\P0", "Load\\P1"}) {
        win::HKEY key = nullptr;
        ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, path, 0, win::KEY_READ, &key), 0);
        win::DWORD count = 0;
        ASSERT_EQ(win::RegQueryInfoKey(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr),
                  0);
        EXPECT_EQ(count, static_cast<win::DWORD>(kKeys)) << path;
        win::RegCloseKey(key);
    }
    win::HKEY shared = nullptr;
    ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Load\\Shared", 0, win::KEY_READ, &shared), 0);
    win::DWORD values = 0;
    ASSERT_EQ(win::RegQueryInfoKey(shared, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(values, static_cast<win::DWORD>(2 * kKeys));
    win::RegCloseKey(shared);
    win::UseRegistryStore(":memory:");
}

TEST(RegeditProgram, AnOpenHandleSeesKeysAnotherProcessAdded) {
    TempFolder folder;
    const std::string store = folder / "registry.db";
    const std::string script = folder / "more.reg";
    WriteBytes(script, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Shared\\B]\r\n");
    win::UseRegistryStore(store);
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, "Shared\\A", 0, nullptr, 0,
                                  win::KEY_ALL_ACCESS, nullptr, &key, nullptr),
              0);
    win::RegCloseKey(key);
    ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Shared", 0, win::KEY_READ, &key), 0);
    auto count = [&] {
        win::DWORD n = 0;
        char name[16];
        while (true) {
            win::DWORD size = sizeof name;
            if (win::RegEnumKeyEx(key, n, name, &size, nullptr, nullptr, nullptr, nullptr) != 0) break;
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(), 1u);
    ASSERT_EQ(Wait(Start({"/s", script}, store)), kSuccess);
    EXPECT_EQ(count(), 2u);
    win::RegCloseKey(key);
    win::UseRegistryStore(":memory:");
}

}  // namespace
}  // namespace regedit
