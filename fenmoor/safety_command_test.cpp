#include "fenmoor/safety_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "fenmoor/registration_script.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/test_support.h"

namespace fenmoor {
namespace {

namespace fs = std::filesystem;

const std::string kClsid = "{C2000000-0000-0000-0000-00000000000B}";
const std::string kCategories =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{C2000000-0000-0000-0000-00000000000B}"
    "\\Implemented Categories";
const std::string kScripting = kCategories + "\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::string kInitialization = kCategories + "\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
const std::string kLaunch =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch"
    "\\Orders.Ledger";

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Safety(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunSafetyCommand(args, out, err);
    return {status, out.str(), err.str()};
}

// A registry of its own: a store file, which the registry editor started by
// --import uses too; on Windows the machine's keys redirected to a private
// key for this process.
class SafetyCommand : public ::testing::Test {
protected:
#ifdef _WIN32
    void SetUp() override { ASSERT_TRUE(machine_.Ready()); }
    win::testing::TempFolder folder_;
    win::testing::PrivateMachineKeys machine_;
#else
    void SetUp() override { win::UseRegistryStore(folder_ / "registry.db"); }
    void TearDown() override { win::CloseRegistryStore(); }
    win::testing::TempFolder folder_;
    win::testing::ScopedVariable store_{"TARNWICK_REGISTRY", (folder_ / "registry.db").c_str()};
#endif
};

TEST_F(SafetyCommand, WritesWhatFinishWritesAndTheRemovalOfTheChosenEntries) {
    const std::vector<std::string> component = {"--clsid", kClsid, "--progid", "Orders.Ledger"};
    auto run = [&](std::vector<std::string> more) {
        more.insert(more.begin(), component.begin(), component.end());
        return Safety(more);
    };
    Outcome all = run({"--scripting", "--initialization", "--launch"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "REGEDIT4\r\n\r\n[" + kCategories + "]\r\n\r\n[" + kScripting + "]\r\n\r\n[" +
                           kInitialization + "]\r\n\r\n[" + kLaunch + "]\r\n\r\n");
    EXPECT_EQ(all.out, BuildRegScript(kClsid, "Orders.Ledger", {true, true, true}));
    EXPECT_EQ(run({}).out, "REGEDIT4\r\n\r\n");
    EXPECT_EQ(run({"--launch"}).out, "REGEDIT4\r\n\r\n[" + kLaunch + "]\r\n\r\n");
    EXPECT_EQ(run({"--remove", "--initialization", "--launch"}).out,
              "REGEDIT4\r\n\r\n[-" + kInitialization + "]\r\n\r\n[-" + kLaunch + "]\r\n\r\n");

    const std::string file = folder_ / "wizard.reg";
    const Outcome written = run({"--scripting", "--out", file});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(win::testing::ReadBytes(file), "REGEDIT4\r\n\r\n[" + kCategories + "]\r\n\r\n[" + kScripting + "]\r\n\r\n");
    EXPECT_EQ(Safety({"--help"}).out.rfind("Usage: tarnwick safety --clsid", 0), 0u);
}

TEST_F(SafetyCommand, RefusesValuesThatWouldAddressOtherKeys) {
    const std::string file = folder_ / "out.reg";
    struct Case {
        std::string clsid, progid, error;
    };
    const Case cases[] = {
        {kClsid, "Orders]\r\n[-HKEY_CURRENT_USER\\Software",
         "--progid \"Orders]\\r\\n[-HKEY_CURRENT_USER\\Software\" holds a line break"},
        {kClsid, "[Orders", "--progid \"[Orders\" holds \"[\""},
        {kClsid, "Orders\"", "--progid \"Orders\"\" holds \"\"\""},
        {kClsid, "..\\Orders", "--progid \"..\\Orders\" holds \"\\\""},
        {kClsid, "", "--progid is empty"},
        {"", "Orders", "--clsid is empty"},
        {"{C2000000-0000-0000-0000-00000000000B}\\..", "Orders",
         "--clsid \"{C2000000-0000-0000-0000-00000000000B}\\..\" holds \"\\\""},
        {"Orders.Ledger", "Orders",
         "--clsid \"Orders.Ledger\" is no class id in registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
    };
    for (const Case& c : cases) {
        const Outcome run = Safety({"--clsid", c.clsid, "--progid", c.progid, "--launch", "--scripting",
                                "--out", file});
        EXPECT_EQ(run.status, 2) << c.error;
        EXPECT_EQ(run.err, "tarnwick safety: " + c.error + "\nTry 'tarnwick safety --help'.\n");
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fs::exists(file));
    }
    EXPECT_EQ(Safety({"--clsid", kClsid}).err,
              "tarnwick safety: --progid is required\nTry 'tarnwick safety --help'.\n");
    EXPECT_EQ(Safety({"--show", "--clsid", kClsid, "--launch"}).status, 2);
    EXPECT_EQ(Safety({"--clsid", kClsid, "--progid", "P", "--out", "f", "--import"}).status, 2);
}

// Marks a component through the real registry editor, shows the entries,
// removes two of them and shows again.
TEST_F(SafetyCommand, ImportThenShowThenRemove) {
#ifdef _WIN32
    GTEST_SKIP() << "the system's registry editor imports into the machine's keys, not the test's own";
#endif
    if (win::FindProgram("REGEDIT").empty()) GTEST_SKIP() << "the registry editor is not built";
    const Outcome marked = Safety({"--clsid", kClsid, "--progid", "Orders.Ledger", "--scripting",
                               "--initialization", "--launch", "--import"});
    EXPECT_EQ(marked.status, 0) << marked.err;
    EXPECT_EQ(marked.out, "imported the entries of " + kClsid + "\n");
    EXPECT_EQ(Safety({"--show", "--clsid", kClsid, "--progid", "Orders.Ledger"}).out,
              "safe for scripting: yes\nsafe for initialization: yes\nIIS launch permission: yes\n");

    const Outcome removed = Safety({"--clsid", kClsid, "--progid", "Orders.Ledger", "--scripting",
                                "--launch", "--remove", "--import"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "removed the entries of " + kClsid + "\n");
    EXPECT_EQ(Safety({"--show", "--clsid", kClsid, "--progid", "Orders.Ledger"}).out,
              "safe for scripting: no\nsafe for initialization: yes\nIIS launch permission: no\n");
    // The shared categories key stays for the category that is left.
    win::HKEY key = nullptr;
    EXPECT_EQ(win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kCategories.substr(19).c_str(), 0,
                                win::KEY_READ, &key),
              0);
    win::RegCloseKey(key);

    // Without --progid the launch entry's name comes from the catalog.
    ASSERT_TRUE(win::ImportRegistryScriptText(
                    "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2}"
                    "\\Components\\" + kClsid + "]\r\n\"ProgID\"=\"Orders.Ledger (v2)\"\r\n"
                    "[" + kLaunch + "]\r\n", "catalog.reg")
                    .ok);
    EXPECT_EQ(Safety({"--show", "--clsid", kClsid}).out,
              "safe for scripting: no\nsafe for initialization: yes\nIIS launch permission: yes\n");
    EXPECT_EQ(Safety({"--show", "--clsid", "{D0000000-0000-0000-0000-000000000000}"}).out,
              "safe for scripting: no\nsafe for initialization: no\n"
              "IIS launch permission: unknown (no --progid, and the catalog gives no usable name)\n");
}

TEST_F(SafetyCommand, AnEditorThatCannotStartIsReported) {
    win::RecordingProcessStarter editor;
    editor.failNext = true;
    win::ScopedProcessStarter useEditor(editor);
    if (win::FindProgram("REGEDIT").empty()) GTEST_SKIP() << "the registry editor is not built";
    const Outcome run = Safety({"--clsid", kClsid, "--progid", "P", "--launch", "--import"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string prefix = "tarnwick safety: the registry editor could not be started: File not found; the script is ";
    ASSERT_EQ(run.err.rfind(prefix, 0), 0u) << run.err;
    const std::string script = run.err.substr(prefix.size(), run.err.size() - prefix.size() - 1);
    EXPECT_EQ(win::testing::ReadBytes(script), BuildRegScript(kClsid, "P", {false, false, true}));
    fs::remove(script);
}

}  // namespace
}  // namespace fenmoor
