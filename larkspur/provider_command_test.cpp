#include "larkspur/provider_command.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "larkspur/provider_script.h"
#include "larkspur/test_support.h"
#include "platform/win/test_support.h"

namespace larkspur {
namespace {

using testing::ReadFile;

const std::string kGuid = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}";

const std::string kRegistration =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Ledger]\r\n"
    "@=\"New OLEDB Simple Provider\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Ledger\\CLSID]\r\n"
    "@=\"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}]\r\n"
    "@=\"Ledger\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\InprocServer32]\r\n"
    "@=\"C:\\\\Program Files\\\\OLE DB\\\\MSDAOSP.DLL\"\r\n"
    "\"ThreadingModel\"=\"Both\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\ProgID]\r\n"
    "@=\"Ledger.1\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\VersionIndependentProgID]\r\n"
    "@=\"Ledger\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\OLE DB Provider]\r\n"
    "@=\"New OLEDB Simple Provider\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\OSP Data Object]\r\n"
    "@=\"Tarnwick.Ledger\"\r\n";

struct Outcome {
    int status;
    std::string out, err;
};

class ProviderCommand : public testing::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        // The registry editor that --import starts works on the same store.
        store_.emplace("TARNWICK_REGISTRY", (Folder() / "registry.db").string().c_str());
        LARKSPUR_NEEDS_PRIVATE_CLASSES();
    }
    void TearDown() override {
        store_.reset();
        StoreTest::TearDown();
    }
    static Outcome Provider(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = RunProviderCommand(args, out, err);
        return {status, out.str(), err.str()};
    }

private:
    std::optional<win::testing::ScopedVariable> store_;
};

TEST_F(ProviderCommand, RegisterWritesWhatGoWritesForTheSameFields) {
    Import(testing::kRuntimeScript);
    const Outcome run = Provider({"register", "--data-progid", "Tarnwick.Ledger", "--progid", "Ledger",
                              "--guid", kGuid});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kRegistration);
    EXPECT_EQ(run.err, "");

    // GO! on the form with the same four fields writes the same bytes.
    win::RecordingProcessStarter starter;
    win::ScopedProcessStarter useStarter(starter);
    const std::string savedPath = App().Path;
    App().Path = Folder().string();
    {
        frmOLESP form;
        form.Show();
        form.Get<forms::TextBox>("txtDataProgID").SetText("Tarnwick.Ledger");
        form.Get<forms::TextBox>("txtName").SetText("Ledger");
        form.Get<forms::TextBox>("txtGUID").SetText(kGuid);
        form.Get<forms::CommandButton>("cmdGO").UserClick();
        form.Unload();
    }
    App().Path = savedPath;
    EXPECT_EQ(ReadFile(Folder() / "Provider.reg"), run.out);

    const Outcome described = Provider({"register", "--data-progid=x.y", "--progid=P", "--new-guid",
                                    "--description", "Ledger \"rows\" \\ all"});
    EXPECT_EQ(described.status, 0) << described.err;
    EXPECT_NE(described.out.find("[HKEY_CLASSES_ROOT\\P]\r\n@=\"Ledger \\\"rows\\\" \\\\ all\"\r\n"),
              std::string::npos);

    // Typed in a UTF-8 terminal, the script holds the Windows-1252 bytes the form writes.
    win::testing::ScopedVariable locale("LC_ALL", "C.UTF-8");
    const Outcome accented = Provider({"register", "--data-progid=x.y", "--progid=P", "--new-guid",
                                       "--description", "Gr\xC3\xB6\xC3\x9F" "e"});
    EXPECT_EQ(accented.status, 0) << accented.err;
    EXPECT_NE(accented.out.find("@=\"Gr\xF6\xDF" "e\"\r\n"), std::string::npos) << accented.out;
    EXPECT_EQ(Provider({"register", "--data-progid=x.y", "--progid=\xE8\xA8\x88", "--new-guid"}).status, 2);
}

TEST_F(ProviderCommand, UnregisterWritesTheRemovalScriptAndOutWritesAFile) {
    const Outcome run = Provider({"unregister", "--progid", "Ledger", "--guid", kGuid});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "REGEDIT4\r\n\r\n[-HKEY_CLASSES_ROOT\\Ledger]\r\n\r\n"
                       "[-HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}]\r\n");
    const std::string file = (Folder() / "remove.reg").string();
    const Outcome written = Provider({"unregister", "--progid", "Ledger", "--guid", kGuid, "--out", file});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(ReadFile(file), run.out);
}

TEST_F(ProviderCommand, RefusedValuesAndUsageErrorsWriteNothing) {
    Import(testing::kRuntimeScript);
    const std::string file = (Folder() / "out.reg").string();
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<std::string> ok = {"--data-progid", "a.b", "--out", file};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "register");
        args.insert(args.end(), ok.begin(), ok.end());
        return args;
    };
    const Case cases[] = {
        {with({"--progid", "", "--guid", kGuid}), "--progid: Provider ProgID is empty: please enter a name."},
        {with({"--progid", "\\", "--guid", kGuid}), "--progid: Provider ProgID must not contain \"\\\"."},
        {with({"--progid", "a\\\\b", "--guid", kGuid}), "--progid: Provider ProgID must not contain \"\\\"."},
        {with({"--progid", "CLSID", "--guid", kGuid}),
         "--progid: Provider ProgID must not be \"CLSID\": that key holds every class."},
        {with({"--progid", "P", "--guid", "{A}]\r\n[-HKEY_CURRENT_USER"}),
         "--guid: Provider GUID must not contain a line break."},
        {with({"--progid", "P", "--guid", "\\"}), "--guid: Provider GUID must not contain \"\\\"."},
        {with({"--progid", "P", "--guid", kGuid, "--description", "a\nb"}),
         "--description: Provider Description must not contain a line break."},
        {with({"--progid", "P"}), "--guid is required"},
        {with({"--progid", "P", "--guid", kGuid, "--new-guid"}), "--guid and --new-guid cannot be used together"},
        {with({"--progid", "P", "--guid", kGuid, "--import"}), "--out and --import cannot be used together"},
        {{"unregister", "--progid", "CLSID", "--guid", kGuid, "--out", file},
         "--progid: Provider ProgID must not be \"CLSID\": that key holds every class."},
        {{"unregister", "--progid", "P", "--guid", "", "--out", file},
         "--guid: Provider GUID is empty: please press \"...\" for one."},
        {with({"--progid", "P", "--guid", "TypeLib"}),
         "--guid \"TypeLib\" is no class id in registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
        {{"unregister", "--progid", "P", "--guid", "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4}", "--out", file},
         "--guid \"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4}\" is no class id in registry form "
         "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"},
        {{"unregister", "--progid", "P", "--guid", kGuid, "--out", ""}, "--out needs a file name"},
        {{"list", "--all"}, "unknown option '--all'"},
        {{"remove"}, "unknown action 'remove'"},
        {{}, "register, unregister or list is required"},
    };
    for (const Case& c : cases) {
        const Outcome run = Provider(c.args);
        EXPECT_EQ(run.status, 2) << c.error;
        EXPECT_EQ(run.err, "tarnwick provider: " + c.error + "\nTry 'tarnwick provider --help'.\n");
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(file)) << c.error;
    }
    for (const char* action : {"register", "unregister", "list"}) {
        const Outcome help = Provider({action, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: tarnwick provider register", 0), 0u) << action;
    }
}

TEST_F(ProviderCommand, WithoutTheRuntimeRegisterAndListFailAndCreateNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"register", "--data-progid", "a.b", "--progid", "P", "--new-guid"},
          std::vector<std::string>{"list"}}) {
        const Outcome run = Provider(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "tarnwick provider: MSDAOSP.DLL is required!  Please install the OLEDBSDK.\n");
        EXPECT_EQ(run.out, "");
    }
    win::HKEY key = nullptr;
    EXPECT_NE(win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, "CLSID", 0, win::KEY_READ, &key), 0);
}

// The whole round: register two providers into the store through the real
// registry editor, list them, remove one and list again.
TEST_F(ProviderCommand, ImportThenListThenUnregister) {
    LARKSPUR_NEEDS_OUR_REGEDIT();
    Import(testing::kRuntimeScript);
    // A class on another server is no provider of the runtime.
    Import("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\CLSID\\{99999999-0000-0000-0000-000000000000}\\OLE DB Provider]\r\n"
           "[HKEY_CLASSES_ROOT\\CLSID\\{99999999-0000-0000-0000-000000000000}\\InprocServer32]\r\n"
           "@=\"C:\\\\other.dll\"\r\n");
    const Outcome ledger = Provider({"register", "--data-progid", "Tarnwick.Ledger", "--progid", "Ledger",
                                 "--guid", kGuid, "--import"});
    EXPECT_EQ(ledger.status, 0) << ledger.err;
    EXPECT_EQ(ledger.out, "registered Ledger " + kGuid + "\n");
    const Outcome accounts = Provider({"register", "--data-progid", "Tarnwick.Accounts", "--progid",
                                   "accounts", "--guid", "{11111111-2222-4333-8444-555555555555}",
                                   "--description", "Accounts\tby year", "--import"});
    EXPECT_EQ(accounts.status, 0) << accounts.err;

    Outcome list = Provider({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "accounts\t{11111111-2222-4333-8444-555555555555}\tAccounts by year\tTarnwick.Accounts\n"
              "Ledger\t" + kGuid + "\tNew OLEDB Simple Provider\tTarnwick.Ledger\n");

    const Outcome removed = Provider({"unregister", "--progid", "accounts", "--guid",
                                  "{11111111-2222-4333-8444-555555555555}", "--import"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "unregistered accounts {11111111-2222-4333-8444-555555555555}\n");
    list = Provider({"list"});
    EXPECT_EQ(list.out, "Ledger\t" + kGuid + "\tNew OLEDB Simple Provider\tTarnwick.Ledger\n");
    win::HKEY key = nullptr;
    EXPECT_NE(win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, "accounts", 0, win::KEY_READ, &key), 0);
}

TEST_F(ProviderCommand, UnregisterImportsOnlyTheRemovalOfAProvider) {
    Import(testing::kRuntimeScript);
    Import(kRegistration);
    Import("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.bas]\r\n@=\"VisualBasic.Module\"\r\n"
           "[HKEY_CLASSES_ROOT\\TypeLib\\{11111111-2222-4333-8444-555555555555}]\r\n"
           "[HKEY_CLASSES_ROOT\\Word.Document\\CLSID]\r\n@=\"{00020906-0000-0000-C000-000000000046}\"\r\n"
           "[HKEY_CLASSES_ROOT\\CLSID\\{00020906-0000-0000-C000-000000000046}\\InprocServer32]\r\n");
    win::RecordingProcessStarter editor;
    win::ScopedProcessStarter useEditor(editor);
    const std::string word = "{00020906-0000-0000-C000-000000000046}";
    const struct {
        std::string progID, guid, error;
    } cases[] = {
        {".bas", kGuid, "HKEY_CLASSES_ROOT\\.bas is not the ProgID of the provider " + kGuid},
        {"TypeLib", kGuid, "HKEY_CLASSES_ROOT\\TypeLib is not the ProgID of the provider " + kGuid},
        {"Ledger", word, "HKEY_CLASSES_ROOT\\Ledger is not the ProgID of the provider " + word},
        {"Word.Document", word, "HKEY_CLASSES_ROOT\\CLSID\\" + word + " is no OLE DB provider's class"},
    };
    for (const auto& c : cases) {
        const Outcome run = Provider({"unregister", "--progid", c.progID, "--guid", c.guid, "--import"});
        EXPECT_EQ(run.status, 2) << c.progID;
        EXPECT_EQ(run.err, "tarnwick provider: " + c.error + "; nothing was removed\n"
                           "Try 'tarnwick provider --help'.\n");
    }
    EXPECT_TRUE(editor.requests.empty());
    // The provider itself, its GUID written in either case, is removed.
    std::string lower = kGuid;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const Outcome removed = Provider({"unregister", "--progid", "Ledger", "--guid", lower, "--import"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(editor.requests.size(), 1u);
}

TEST_F(ProviderCommand, AScriptForADeviceIsRefusedAsNoRegularFile) {
    const Outcome run = Provider({"unregister", "--progid", "Ledger", "--guid", kGuid, "--out", "/dev/null"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarnwick provider: cannot write /dev/null: a device, not a regular file\n");
}

TEST_F(ProviderCommand, AFailedImportIsReportedAndKeepsTheScript) {
    Import(testing::kRuntimeScript);
    win::RecordingProcessStarter editor;
    editor.exitStatus = 1;
    win::ScopedProcessStarter useEditor(editor);
    LARKSPUR_NEEDS_REGEDIT();
    const Outcome run = Provider({"register", "--data-progid", "a.b", "--progid", "P", "--guid", kGuid,
                              "--import"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    ASSERT_EQ(editor.requests.size(), 1u);
    const std::vector<std::string>& argv = editor.requests[0].argv;
    ASSERT_EQ(argv.size(), 3u);
    EXPECT_EQ(argv[1], "/s");
    EXPECT_EQ(run.err, "tarnwick provider: the registry editor did not import the script (exit "
                       "status 1); the script is " + argv[2] + "\n");
    EXPECT_EQ(ReadFile(argv[2]), BuildProviderScript({"P", kDefaultDescription, kGuid, "a.b",
                                                      "C:\\Program Files\\OLE DB\\msdaosp.dll"}));
    std::filesystem::remove(argv[2]);
}

}  // namespace
}  // namespace larkspur
