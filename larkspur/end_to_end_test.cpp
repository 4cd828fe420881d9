// Larkspur from start to finish on the suite's seeded registry: start-up, a
// ProgID picked, a GUID generated, "GO!", the script imported by the registry
// editor's import, and the new provider read back through CRegistry.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/vb_error.h"
#include "larkspur/CRegistry.h"
#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "larkspur/provider_script.h"
#include "larkspur/test_support.h"
#include "platform/win/process.h"

namespace larkspur {
namespace {

class EndToEnd : public testing::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        savedPath_ = App().Path;
        LARKSPUR_NEEDS_PRIVATE_CLASSES();
        const char* source = std::getenv("TARNWICK_SOURCE");
        ASSERT_NE(source, nullptr);
        Import(testing::ReadFile(std::filesystem::path(source) / "samples/registry/seed.reg"));
        App().Path = Folder().string();
    }
    void TearDown() override {
        App().Path = savedPath_;
        StoreTest::TearDown();
    }

    // Runs the program's session on the form: pick, name, GUID, GO!. Answers
    // the GUID; the script's path is the editor's argument.
    std::string RegisterProvider(const std::string& search, const std::string& description) {
        frmOLESP form;
        form.Show();
        EXPECT_GT(form.Get<forms::ListBox>("lstDataProgIDs").ListCount(), 100);
        form.Get<forms::TextBox>("txtDataProgID").UserType(search);
        form.UserKeyPress(forms::vbKeyReturn);
        auto& description_box = form.Get<forms::TextBox>("txtDescription");
        description_box.SetSelStart(0);
        description_box.SetSelLength(static_cast<int>(description_box.Text().size()));
        description_box.UserReplaceSelection(description);
        form.Get<forms::CommandButton>("cmdGen").UserClick();
        form.Get<forms::CommandButton>("cmdGO").UserClick();
        return form.Get<forms::TextBox>("txtGUID").Text();
    }

    win::RecordingProcessStarter starter;
    win::ScopedProcessStarter useStarter{starter};

private:
    std::string savedPath_;
};

TEST_F(EndToEnd, TheImportedScriptRegistersTheProviderOnTheRuntime) {
    LARKSPUR_NEEDS_REGEDIT();
    const std::string guid = RegisterProvider("tarnwick.led", "Ledger rows as a rowset");
    ASSERT_EQ(guid.size(), 38u);
    ASSERT_EQ(starter.requests.size(), 1u);
    ASSERT_EQ(starter.requests[0].argv.size(), 2u);
    EXPECT_EQ(starter.requests[0].argv[0], "REGEDIT");
#ifdef _WIN32
    ASSERT_NO_FATAL_FAILURE(Import(testing::ReadFile(starter.requests[0].argv[1])));
#else
    const win::RegistryScriptResult imported = win::ImportRegistryScript(starter.requests[0].argv[1]);
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_EQ(imported.keys, 8u);
#endif

    CRegistry reg;
    reg.SetAutoCreate(false);
    reg.SetRoot(kHKeyClassesRoot);
    reg.SetKey("Tarnwick");
    EXPECT_EQ(reg.GetValue(std::string()), "Ledger rows as a rowset");
    reg.SetKey("Tarnwick\\CLSID");
    EXPECT_EQ(reg.GetValue(std::string()), guid);
    reg.SetKey("CLSID\\" + guid);
    EXPECT_EQ(reg.GetValue(std::string()), "Tarnwick");
    ASSERT_EQ(reg.SubKeyCount(), 5);
    EXPECT_EQ(reg.GetSubKey(0), "InprocServer32");
    EXPECT_EQ(reg.GetSubKey(4), "VersionIndependentProgID");
    reg.SetKey("CLSID\\" + guid + "\\InprocServer32");
    EXPECT_EQ(reg.GetValue(std::string()),
              "C:\\Program Files\\Common Files\\System\\OLE DB\\MSDAOSP.DLL");
    EXPECT_EQ(reg.GetValue(std::string("threadingmodel")), "Both");
    reg.SetKey("CLSID\\" + guid + "\\ProgID");
    EXPECT_EQ(reg.GetValue(std::string()), "Tarnwick.1");
    reg.SetKey("CLSID\\" + guid + "\\OLE DB Provider");
    EXPECT_EQ(reg.GetValue(std::string()), "Ledger rows as a rowset");
    reg.SetKey("CLSID\\" + guid + "\\OSP Data Object");
    EXPECT_EQ(reg.GetValue(std::string()), "Tarnwick.Ledger");
}

TEST_F(EndToEnd, QuotesAndBackslashesSurviveTheImport) {
    LARKSPUR_NEEDS_REGEDIT();
    const std::string description = "Sales \"Q1\" from C:\\data\\";
    const std::string guid = RegisterProvider("adodb.rec", description);
    ASSERT_EQ(starter.requests.size(), 1u);
    ASSERT_NO_FATAL_FAILURE(Import(testing::ReadFile(starter.requests[0].argv[1])));
    CRegistry reg;
    reg.SetRoot(kHKeyClassesRoot);
    reg.SetKey("CLSID\\" + guid + "\\OLE DB Provider");
    EXPECT_EQ(reg.GetValue(std::string()), description);
    reg.SetKey("ADODB");
    EXPECT_EQ(reg.GetValue(std::string()), description);
}

// Whatever the fields hold, a script that is not refused imports exactly the
// texts that were typed.
TEST_F(EndToEnd, EveryAcceptedTextImportsUnchanged) {
    const std::string texts[] = {
        "plain", "", "\"", "\\", "ends in a backslash\\", "\\\"\\\"", "a=b; c @=\"d\"",
        "[not a key]", "caf\xE9 \xA9 1997", "  padded  ",
    };
    int n = 0;
    for (const std::string& text : texts) {
        ProviderScriptInput in;
        in.providerProgID = "Prov" + std::to_string(n);
        in.description = text;
        in.providerGUID = "{00000000-0000-4000-8000-00000000000" + std::to_string(n++) + "}";
        in.dataSourceProgID = "x." + text;
        in.serverPath = "D:\\odd \"dir\"\\" + text + "\\msdaosp.dll";
        ASSERT_FALSE(RefuseProviderScript(in)) << text;
        SCOPED_TRACE(text);
        ASSERT_NO_FATAL_FAILURE(Import(BuildProviderScript(in)));
        CRegistry reg;
        reg.SetRoot(kHKeyClassesRoot);
        reg.SetKey(in.providerProgID);
        EXPECT_EQ(reg.GetValue(std::string()), text);
        reg.SetKey("CLSID\\" + in.providerGUID + "\\OSP Data Object");
        EXPECT_EQ(reg.GetValue(std::string()), "x." + text);
        reg.SetKey("CLSID\\" + in.providerGUID + "\\InprocServer32");
        EXPECT_EQ(reg.GetValue(std::string()), "D:\\odd \"dir\"\\" + text + "\\MSDAOSP.DLL");
    }
}

// The registry editor program itself, started by "GO!" as a user would have
// it: it asks before importing, and the answer comes from its environment.
TEST_F(EndToEnd, TheRegistryEditorProgramImportsTheScript) {
    LARKSPUR_NEEDS_OUR_REGEDIT();
#ifndef _WIN32
    win::testing::ScopedVariable store("TARNWICK_REGISTRY", win::RegistryStorePath().c_str());
    win::testing::ScopedVariable answer("TARNWICK_REGEDIT_ANSWER", "yes");
    win::ScopedProcessStarter real(win::DefaultProcessStarter());
    const std::string guid = RegisterProvider("tarnwick.ledger", "Ledger");
    EXPECT_TRUE(starter.requests.empty());

    // The editor runs on its own; wait for its import to show in the store.
    CRegistry reg;
    reg.SetAutoCreate(false);
    reg.SetRoot(kHKeyClassesRoot);
    std::string server;
    for (int tries = 0; tries < 200 && server.empty(); ++tries) {
        try {
            reg.SetKey("CLSID\\" + guid + "\\InprocServer32");
            server = reg.GetValue(std::string());
        } catch (const vb::VbError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_EQ(server, "C:\\Program Files\\Common Files\\System\\OLE DB\\MSDAOSP.DLL");
    reg.SetKey("CLSID\\" + guid + "\\OSP Data Object");
    EXPECT_EQ(reg.GetValue(std::string()), "Tarnwick.Ledger");
#endif
}

}  // namespace
}  // namespace larkspur
