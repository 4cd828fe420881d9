// The add-in library as the environment uses it: registered, loaded from the
// add-in list at start-up, working on a project opened from disk, with the
// results checked in the files that saving writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "config/sample_release_expectations.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/vbide/addin_host.h"
#include "platform/vbide/addin_registration.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"

namespace {

namespace fs = std::filesystem;

class ConfigAddIn : public ::testing::Test {
protected:
    void SetUp() override {
        win::UseRegistryStore(":memory:");
        dir_ = fs::temp_directory_path() / ("config_addin_" + std::to_string(std::random_device{}()));
        fs::copy(CONFIG_SAMPLE_PROJECT, dir_, fs::copy_options::recursive);
        const char* lib = std::getenv("TARNWICK_LIB");
        const std::string library = std::string(lib && *lib ? lib : win::GetProgramFolder() + "/../lib") + "/Config.so";
        auto registered = vbide::RegisterLibrary(library, false);
        ASSERT_TRUE(registered.ok) << registered.message;
        std::ofstream(dir_ / "vbaddin.ini", std::ios::binary) << "[Add-Ins32]\r\nConfig.Connect=1\r\n";

        env_ = vbide::Environment::Create();
        auto opened = vbide::OpenProjectFile(*env_, (dir_ / "Ledger.vbp").string());
        ASSERT_TRUE(opened.problems.empty());
        project_ = opened.projects.front();
        host_ = std::make_unique<vbide::AddInHost>(env_);
        ASSERT_TRUE(host_->LoadStartupAddIns((dir_ / "vbaddin.ini").string()).empty());
    }
    void TearDown() override {
        host_.reset();
        fs::remove_all(dir_);
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    vbide::CommandBarControlPtr DropDown() const {
        auto controls = env_->CommandBars()->Item("Standard")->Controls();
        for (std::int32_t i = 1; i <= controls->Count(); ++i)
            if (controls->Item(i)->Type() == vbide::msoControlDropdown) return controls->Item(i);
        return nullptr;
    }
    vbide::CommandBarControlPtr MenuCommand() const {
        return env_->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->CommandBar()->Controls()->Item(
            "Configurations...");
    }

    forms::ScopedHeadlessUi ui_;
    fs::path dir_;
    std::shared_ptr<vbide::Environment> env_;
    vbide::VBProjectPtr project_;
    std::unique_ptr<vbide::AddInHost> host_;
};

TEST_F(ConfigAddIn, PickingReleaseInTheToolbarRewritesEveryModuleOnDisk) {
    auto drop = DropDown();
    ASSERT_NE(drop, nullptr);
    ASSERT_EQ(drop->ListCount(), 2);
    EXPECT_EQ(drop->ListIndex(), 1);
    env_->Pick(drop, 2);
    vbide::SaveProject(project_);
    EXPECT_TRUE(env_->Reports().empty());

    config::testing::ExpectSampleSwitchedToRelease([&](const std::string& file) { return Read(file); });
}

TEST_F(ConfigAddIn, AnAddedModuleGetsTheCurrentDeclarations) {
    env_->Pick(DropDown(), 2);
    auto module = env_->AddComponent(project_, vbide::vbext_ct_StdModule, "modNew", "Option Explicit\r\n");
    EXPECT_EQ(module->CodeModule()->Lines(1, 2), "Option Explicit\r\n#Const debugging = False");
    vbide::SaveProject(project_);
    EXPECT_NE(Read("modNew.bas").find("Option Explicit\r\n#Const debugging = False\r\n"), std::string::npos);
    EXPECT_NE(Read("Ledger.vbp").find("Module=modNew; modNew.bas\r\n"), std::string::npos);
}

TEST_F(ConfigAddIn, TheDialogAddsAConfigurationAndAConstantAndCloseAppliesThem) {
    ui_.QueueModal([&](forms::Form& dialog) {
        EXPECT_EQ(dialog.Caption(), "Manage Configurations");
        auto answer = [&](const char* name) {
            ui_.QueueModal([name](forms::Form& input) {
                input.Get<forms::TextBox>("txtInput").UserType(name);
                input.UserKeyPress(forms::vbKeyReturn);
            });
        };
        answer("profile");
        dialog.Get<forms::CommandButton>("cmdNewConfig").UserClick();
        answer("logging");
        dialog.Get<forms::CommandButton>("cmdNewConst").UserClick();
        dialog.Get<forms::ListBox>("lstConfigs").UserSelect(2);
        dialog.Get<forms::ListBox>("lstConstants").UserToggleCheck(1);
        dialog.UserKeyPress(forms::vbKeyReturn);
    });
    env_->Click(MenuCommand());
    EXPECT_TRUE(env_->Reports().empty());
    EXPECT_EQ(DropDown()->ListCount(), 3);
    EXPECT_EQ(DropDown()->ListIndex(), 3);
    vbide::SaveProject(project_);
    const std::string ledger = Read("modLedger.bas");
    EXPECT_NE(ledger.find("\r\n#Const logging = True\r\n#Const debugging = False\r\n"), std::string::npos) << ledger;
    const std::string vbp = Read("Ledger.vbp");
    EXPECT_NE(vbp.find("[Configurations]\r\nCount=3\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=3\r\nConfig3=profile\r\n"), std::string::npos) << vbp;
    EXPECT_NE(vbp.find("[Config3]\r\ndebugging=False\r\nlogging=True\r\n"), std::string::npos) << vbp;
}

TEST_F(ConfigAddIn, DisconnectingRemovesTheCommands) {
    ASSERT_TRUE(host_->Disconnect("Config.Connect"));
    EXPECT_EQ(DropDown(), nullptr);
    EXPECT_THROW(MenuCommand(), vb::VbError);
}

}  // namespace
