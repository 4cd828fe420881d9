// The wizard end to end: a registry store seeded like the suite's working
// store, the wizard driven to Finish, the real registry editor started on the
// script by Shell, and the store then holding every key the script names.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "fenmoor/frmWizard.h"
#include "platform/forms/controls.h"
#include "platform/forms/headless.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/test_support.h"

namespace {

namespace fs = std::filesystem;

bool KeyExists(const std::string& path) {
    return win::testing::KeyExists(win::HKEY_LOCAL_MACHINE, path);
}

class FenmoorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("fenmoor_e2e_" + std::to_string(std::random_device{}()));
        // A folder with a blank: the editor must still get the whole path.
        appFolder_ = folder_ / "Fenmoor Tools";
        fs::create_directories(appFolder_);
        store_ = (folder_ / "registry.db").string();
        win::UseRegistryStore(store_);
        // The editor is a separate process: it finds the store through the
        // environment and answers its own question with yes.
        ::setenv("TARNWICK_REGISTRY", store_.c_str(), 1);
        ::setenv("TARNWICK_REGEDIT_ANSWER", "yes", 1);
    }
    void TearDown() override {
        ::unsetenv("TARNWICK_REGISTRY");
        ::unsetenv("TARNWICK_REGEDIT_ANSWER");
        win::CloseRegistryStore();
        fs::remove_all(folder_);
    }

    fs::path folder_;
    fs::path appFolder_;
    std::string store_;
};

TEST_F(FenmoorEndToEnd, FinishedScriptIsImportedByTheRegistryEditor) {
    const char* source = std::getenv("TARNWICK_SOURCE");
    ASSERT_NE(source, nullptr);
    const auto seeded =
        win::ImportRegistryScript((fs::path(source) / "samples/registry/seed.reg").string());
    ASSERT_TRUE(seeded.ok) << seeded.error;

    forms::ScopedHeadlessUi ui;
    fenmoor::WizardServices services;
    services.app = fenmoor::FenmoorApp();
    services.app.Path = appFolder_.string();
    int ended = 0;
    services.endProgram = [&ended] { ++ended; };
    fenmoor::frmWizard wizard(std::move(services));
    wizard.Show();

    auto& next = wizard.Get<forms::CommandButton>("cmdNext");
    auto& packages = wizard.Get<forms::ListBox>("lstPackages");
    auto& components = wizard.Get<forms::ListBox>("lstComponents");
    next.UserClick();
    // The first package that has a component, and its first component.
    for (int i = 0; i < packages.ListCount() && components.ListCount() == 0; ++i)
        packages.UserSelect(i);
    ASSERT_GT(components.ListCount(), 0) << "the seeded catalog has no component";
    components.UserSelect(0);
    const std::string clsidKey = "SOFTWARE\\Classes\\CLSID\\" + wizard.CLSID();
    const std::vector<std::string> keys = {
        clsidKey + "\\Implemented Categories",
        clsidKey + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
        clsidKey + "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}",
        "SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch\\" + wizard.ProgID(),
    };
    for (const auto& key : keys) ASSERT_FALSE(KeyExists(key)) << key;

    next.UserClick();
    next.UserClick();  // Finish
    ASSERT_EQ(wizard.Step(), 3) << (ui.messages.empty() ? "" : ui.messages.back().prompt);
    EXPECT_TRUE(ui.messages.empty());

    // The wizard does not wait for the editor; the test does, for a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto allThere = [&] {
        for (const auto& key : keys)
            if (!KeyExists(key)) return false;
        return true;
    };
    while (!allThere() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (const auto& key : keys) EXPECT_TRUE(KeyExists(key)) << key;

    next.UserClick();  // Close
    EXPECT_EQ(ended, 1);
}

}  // namespace
