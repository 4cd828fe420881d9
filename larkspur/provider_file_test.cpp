// GO! from the main form writes the same Provider.reg on every platform for the
// same fields. The Windows build then hands it to the system's registry editor,
// whose import is read back through the registry functions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "larkspur/frmOLESP.h"
#include "larkspur/larkspur_app.h"
#include "platform/forms/controls.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/test_support.h"

#ifdef _WIN32
#include "platform/forms/win32/win32_app.h"
#include "shared/frmAbout.h"
#else
#include "platform/forms/headless.h"
#endif

namespace larkspur {
namespace {

const char kGuid[] = "{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}";

// The script for the fields the test types, byte for byte.
const char kExpectedScript[] =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\TarnwickLedger]\r\n"
    "@=\"Ledger rows as a rowset\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\TarnwickLedger\\CLSID]\r\n"
    "@=\"{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}]\r\n"
    "@=\"TarnwickLedger\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\\InprocServer32]\r\n"
    "@=\"C:\\\\Program Files\\\\Common Files\\\\System\\\\OLE DB\\\\MSDAOSP.DLL\"\r\n"
    "\"ThreadingModel\"=\"Both\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\\ProgID]\r\n"
    "@=\"TarnwickLedger.1\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\\VersionIndependentProgID]"
    "\r\n"
    "@=\"TarnwickLedger\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\\OLE DB Provider]\r\n"
    "@=\"Ledger rows as a rowset\"\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{4B6E2F1A-9C3D-4E5F-8A7B-0C1D2E3F4A5B}\\OSP Data Object]\r\n"
    "@=\"Tarnwick.Ledger\"\r\n";

// Reads a file named as the program names it: with backslashes.
std::string ReadFile(std::string path) {
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void SetDefaultValue(win::HKEY root, const std::string& path, const std::string& value) {
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegCreateKeyEx(root, path.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
              win::ERROR_SUCCESS);
    win::RegSetValueEx(key, "", 0, win::REG_SZ, value.c_str(),
                       static_cast<win::DWORD>(value.size() + 1));
    win::RegCloseKey(key);
}

[[maybe_unused]] std::string DefaultValue(win::HKEY root, const std::string& path,
                                          win::REGSAM view = 0) {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(root, path.c_str(), 0, win::KEY_READ | view, &key) != win::ERROR_SUCCESS)
        return "(no key)";
    char data[512] = {};
    win::DWORD size = sizeof data;
    const win::LONG rc = win::RegQueryValueEx(key, "", nullptr, nullptr, data, &size);
    win::RegCloseKey(key);
    return rc == win::ERROR_SUCCESS ? std::string(data) : "(no value)";
}


class ProviderFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("larkspur-provider-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        savedPath_ = App().Path;
        App().Path = folder_.string();
#ifdef _WIN32
        forms::win32::EnsureWin32Ui();
        forms::win32::SetMessageBoxHook([this](const std::string& prompt, int, const std::string&) {
            prompts += prompt + "\n";
            return forms::vbOK;
        });
#else
        win::UseRegistryStore(":memory:");
#endif
        // The runtime's class key and one data source to pick.
        SetDefaultValue(win::HKEY_CLASSES_ROOT,
                        std::string("CLSID\\") + kRuntimeClsid + "\\InProcServer32",
                        "C:\\Program Files\\Common Files\\System\\OLE DB\\msdaosp.dll");
        SetDefaultValue(win::HKEY_CLASSES_ROOT, "Tarnwick.Ledger", "Ledger rows");
    }
    void TearDown() override {
#ifdef _WIN32
        forms::win32::SetMessageBoxHook(nullptr);
#endif
        App().Path = savedPath_;
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    static constexpr const char* kRuntimeClsid = "{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}";
    std::string prompts;  // the message boxes shown, one a line
#ifdef _WIN32
    win::testing::SilentImportStarter starter;
#else
    win::RecordingProcessStarter starter;
#endif
    win::ScopedProcessStarter useStarter{starter};
#ifndef _WIN32
    forms::ScopedHeadlessUi ui;
#endif

private:
    std::filesystem::path folder_;
    std::string savedPath_;
};

TEST_F(ProviderFile, GoWritesTheSameScriptAndTheSystemsEditorImportsIt) {
    {
        frmOLESP form;
        form.Show();
        const auto& list = form.Get<forms::ListBox>("lstDataProgIDs");
        ASSERT_GE(list.ListCount(), 1) << prompts;
        std::string all;
        for (int i = 0; i < list.ListCount(); ++i) all += list.List(i) + " ";
        ASSERT_NE(all.find("Tarnwick.Ledger"), std::string::npos) << all;
        form.Get<forms::TextBox>("txtDataProgID").UserType("tarnwick.led");
        form.UserKeyPress(forms::vbKeyReturn);
        ASSERT_EQ(form.Get<forms::TextBox>("txtDataProgID").Text(), "Tarnwick.Ledger");
        form.Get<forms::TextBox>("txtName").SetText("TarnwickLedger");
        form.Get<forms::TextBox>("txtGUID").SetText(kGuid);
        form.Get<forms::TextBox>("txtDescription").SetText("Ledger rows as a rowset");
        form.Get<forms::CommandButton>("cmdGO").UserClick();
        form.Unload();
    }
    ASSERT_EQ(starter.requests.size(), 1u);
    const win::ShellRequest& request = starter.requests[0];
    ASSERT_EQ(request.argv.size(), 2u);
    EXPECT_EQ(request.argv[0], "REGEDIT");
    EXPECT_EQ(ReadFile(request.argv[1]), kExpectedScript);

#ifdef _WIN32
    // The editor that imports into the 32-bit view: on a 64-bit system (and a
    // WoW64 Wine prefix) the one under SysWOW64.
    const std::string editor = request.program;
    const char* windows = std::getenv("SystemRoot");
    ASSERT_NE(windows, nullptr);
    const std::string editor32 = std::string(windows) + "\\SysWOW64\\regedit.exe";
    const bool twoViews = std::filesystem::exists(editor32);
    EXPECT_EQ(editor, twoViews ? editor32 : std::string(windows) + "\\regedit.exe");
    ASSERT_EQ(starter.status, 0) << request.commandLine;
    const std::string clsid = std::string("CLSID\\") + kGuid;
    // Read back in the view every program of the suite reads. Class keys are
    // kept apart per view (ProgIDs are shared between them): none in the
    // 64-bit one.
    if (twoViews) {
        EXPECT_EQ(DefaultValue(win::HKEY_CLASSES_ROOT, clsid, win::KEY_WOW64_64KEY), "(no key)");
    }
    EXPECT_EQ(DefaultValue(win::HKEY_CLASSES_ROOT, "TarnwickLedger"), "Ledger rows as a rowset");
    EXPECT_EQ(DefaultValue(win::HKEY_CLASSES_ROOT, "TarnwickLedger\\CLSID"), kGuid);
    EXPECT_EQ(DefaultValue(win::HKEY_CLASSES_ROOT, clsid + "\\InprocServer32"),
              "C:\\Program Files\\Common Files\\System\\OLE DB\\MSDAOSP.DLL");
    EXPECT_EQ(DefaultValue(win::HKEY_CLASSES_ROOT, clsid + "\\OSP Data Object"), "Tarnwick.Ledger");
    EXPECT_EQ(
        DefaultValue(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + clsid + "\\OLE DB Provider"),
        "Ledger rows as a rowset");
#endif
}

#ifdef _WIN32
// The About box and the main window show Larkspur's own icon (this test
// program carries it as larkspur.exe does), not the system's.
TEST_F(ProviderFile, TheAboutBoxAndTheWindowShowTheProductIcon) {
    about::frmAbout box(App(), about::Deliverable::Larkspur);
    box.Show();
    EXPECT_EQ(forms::win32::MissingIcons(box), "");
    box.Unload();
    frmOLESP form;
    form.Show();
    EXPECT_EQ(forms::win32::MissingIcons(form), "");
    form.Unload();
}

// The window as a user sees it: every caption whole; its picture is written
// to $TARNWICK_SCREENSHOTS when that names a folder.
TEST_F(ProviderFile, TheMainWindowShowsEveryCaptionWhole) {
    for (const char* progId :
         {"ADODB.Recordset", "Excel.Sheet.8", "MSXML2.DOMDocument", "Word.Document.8"})
        SetDefaultValue(win::HKEY_CLASSES_ROOT, progId, progId);
    frmOLESP form;
    form.Show();
    form.Get<forms::ListBox>("lstDataProgIDs").UserSelect(1);
    EXPECT_EQ(forms::win32::ClippedCaptions(form), "");
    const char* folder = std::getenv("TARNWICK_SCREENSHOTS");
    const std::string png =
        folder && *folder ? std::string(folder) + "\\windows-larkspur.png"
                          : (std::filesystem::temp_directory_path() / "larkspur.png").string();
    EXPECT_TRUE(forms::win32::Screenshot(form, png));
    EXPECT_GT(std::filesystem::file_size(png), 421u * 275u * 3u);
    form.Unload();
}
#endif

}  // namespace
}  // namespace larkspur
