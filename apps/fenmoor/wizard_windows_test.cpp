// Fenmoor on Windows: the catalog read from the registry (the suite's sample
// catalog imported by the system's registry editor), the wizard shown in the
// native view and driven to Finish, and its wizard.reg imported by the editor
// Finish starts into the keys the script names, in the 32-bit view that every
// program of the suite and VB6's components use.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "fenmoor/frmWizard.h"
#include "platform/forms/controls.h"
#include "platform/forms/win32/win32_app.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/test_support.h"

namespace {

namespace fs = std::filesystem;

bool KeyExists(const std::string& path) {
    return win::testing::KeyExists(win::HKEY_LOCAL_MACHINE, path);
}

// Whether the system's own tool finds HKEY_LOCAL_MACHINE\path in the given
// view ("/reg:32" or "/reg:64"), apart from the suite's registry functions.
// On a 64-bit system the system's 64-bit tool, which this 32-bit program
// reaches through Sysnative (Wine's 32-bit one does not honour /reg:64).
bool SystemToolFinds(const std::string& path, const char* view) {
    const char* windows = std::getenv("SystemRoot");
    const std::string native = windows ? std::string(windows) + "\\Sysnative\\reg.exe" : std::string();
    // Started directly: the test's starter only records what the wizard starts.
    win::ShellRequest request;
    request.program = !native.empty() && fs::exists(native) ? native : win::FindProgram("reg");
    request.argv = {request.program, "query", "HKLM\\" + path, view};
    for (const std::string& word : request.argv)
        request.commandLine += (request.commandLine.empty() ? "" : " ") + win::QuoteArgument(word);
    request.windowStyle = win::vbHide;
    request.quiet = true;
    return win::DefaultProcessStarter().Run(request) == 0;
}

// Imports a script with the system's editor, silently, and waits for it.
void Import(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    const std::string editor = win::FindProgram("REGEDIT");
    ASSERT_FALSE(editor.empty());
    ASSERT_EQ(std::system((editor + " /s \"" + path + "\"").c_str()), 0) << path;
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        forms::win32::EnsureWin32Ui();
        forms::win32::SetMessageBoxHook([this](const std::string& prompt, int, const std::string&) {
            prompts += prompt + "\n";
            return forms::vbOK;
        });
        folder_ = fs::temp_directory_path() / ("fenmoor-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        const char* source = std::getenv("TARNWICK_SOURCE");
        ASSERT_NE(source, nullptr);
        Import(std::string(source) + "/samples/registry/seed.reg");
        fenmoor::WizardServices services;
        services.app = fenmoor::FenmoorApp();
        services.app.Path = folder_.string();
        services.endProgram = [] {};
        wizard = std::make_unique<fenmoor::frmWizard>(std::move(services));
        wizard->Show();
    }
    void TearDown() override {
        if (wizard) wizard->Unload();
        forms::win32::SetMessageBoxHook(nullptr);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    // Next, then the first package that has a component, and that component.
    void PickAComponent() {
        wizard->Get<forms::CommandButton>("cmdNext").UserClick();
        auto& packages = wizard->Get<forms::ListBox>("lstPackages");
        auto& components = wizard->Get<forms::ListBox>("lstComponents");
        for (int i = 0; i < packages.ListCount() && components.ListCount() == 0; ++i)
            packages.UserSelect(i);
        ASSERT_GT(components.ListCount(), 0) << "the sample catalog has no component";
        components.UserSelect(0);
    }

    std::string prompts;
    std::unique_ptr<fenmoor::frmWizard> wizard;
    win::testing::SilentImportStarter starter;
    win::ScopedProcessStarter useStarter{starter};

private:
    fs::path folder_;
};

TEST_F(Wizard, FinishWritesAScriptThatItsEditorImportsIntoThe32BitView) {
    ASSERT_NO_FATAL_FAILURE(PickAComponent());
    const std::string clsidKey = "SOFTWARE\\Classes\\CLSID\\" + wizard->CLSID();
    const std::string launchKey =
        "SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch\\" + wizard->ProgID();
    // Class keys are kept apart per view; the services' keys are shared.
    const std::vector<std::string> classKeys = {
        clsidKey + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
        clsidKey + "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}",
    };
    ASSERT_FALSE(KeyExists(clsidKey));
    ASSERT_FALSE(KeyExists(launchKey));
    wizard->Get<forms::CommandButton>("cmdNext").UserClick();
    wizard->Get<forms::CommandButton>("cmdNext").UserClick();  // Finish
    ASSERT_EQ(wizard->Step(), 3) << prompts;
    ASSERT_EQ(starter.requests.size(), 1u) << prompts;
    EXPECT_EQ(starter.requests[0].argv[0], "REGEDIT");
    ASSERT_EQ(starter.status, 0) << starter.requests[0].commandLine;
    // The editor that imports into the 32-bit view: on a 64-bit system (and
    // a WoW64 Wine prefix) the one under SysWOW64.
    const char* windows = std::getenv("SystemRoot");
    ASSERT_NE(windows, nullptr);
    const std::string editor32 = std::string(windows) + "\\SysWOW64\\regedit.exe";
    const bool twoViews = fs::exists(editor32);
    EXPECT_EQ(starter.requests[0].program, twoViews ? editor32 : std::string(windows) + "\\regedit.exe");
    for (const auto& key : classKeys) {
        EXPECT_TRUE(KeyExists(key)) << key;
        EXPECT_TRUE(SystemToolFinds(key, "/reg:32")) << key;
        if (twoViews) {
            EXPECT_FALSE(win::testing::KeyExists(win::HKEY_LOCAL_MACHINE, key, win::KEY_WOW64_64KEY)) << key;
            EXPECT_FALSE(SystemToolFinds(key, "/reg:64")) << key;
        }
    }
    EXPECT_TRUE(KeyExists(launchKey));
    EXPECT_TRUE(SystemToolFinds(launchKey, "/reg:32"));
    win::testing::DeleteKeyTree(win::HKEY_LOCAL_MACHINE, clsidKey);
    win::testing::DeleteKeyTree(win::HKEY_LOCAL_MACHINE, launchKey);
}

// The first two pages as a user sees them: every caption whole; the pictures
// go to $TARNWICK_SCREENSHOTS when that names a folder.
TEST_F(Wizard, EveryPageShowsItsCaptionsWhole) {
    EXPECT_EQ(forms::win32::ClippedCaptions(*wizard), "");
    ASSERT_NO_FATAL_FAILURE(PickAComponent());
    EXPECT_EQ(forms::win32::ClippedCaptions(*wizard), "");
    const char* shots = std::getenv("TARNWICK_SCREENSHOTS");
    const std::string png = shots && *shots ? std::string(shots) + "\\windows-fenmoor.png"
                                            : (fs::temp_directory_path() / "fenmoor.png").string();
    EXPECT_TRUE(forms::win32::Screenshot(*wizard, png));
    EXPECT_GT(fs::file_size(png), 10000u);
}

}  // namespace
