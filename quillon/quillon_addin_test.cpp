// The add-in library as the environment loads it: registered, listed in the
// add-in list file, connected on a project opened from disk, driven through
// its menu command and dialog, and the project saved.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/vbide/addin_host.h"
#include "platform/vbide/addin_registration.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"
#include "quillon/test_project.h"

namespace {

namespace fs = std::filesystem;
using quillon::testing::TempProject;

std::string BuiltLibrary() {
    const char* lib = std::getenv("TARNWICK_LIB");
    const std::string folder = lib && *lib ? lib : win::GetProgramFolder() + "/../lib";
    return folder + "/Quillon.so";
}

vbide::CommandBarControlsPtr Tools(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
}

void Pick(forms::Form& dialog, const std::string& entry) {
    auto& types = dialog.Get<forms::ComboBox>("cboDataType");
    for (int i = 0; i < types.ListCount(); ++i)
        if (types.List(i) == entry) return types.UserSelect(i);
    ADD_FAILURE() << entry << " not listed";
}

TEST(QuillonAddIn, PropertyFromTheDialogLandsInTheModuleFileOnDisk) {
    ASSERT_TRUE(fs::exists(BuiltLibrary())) << BuiltLibrary();
    win::UseRegistryStore(":memory:");
    const auto registration = vbide::RegisterLibrary(BuiltLibrary(), false);
    ASSERT_TRUE(registration.ok) << registration.message;
    EXPECT_EQ(vbide::LookUpProgId("Quillon.Connect").description, "Tarnwick Add Procedure Dialog");

    TempProject project;
    project.Write("vbaddin.ini", "[Add-Ins32]\r\nQuillon.Connect=1\r\n");
    forms::ScopedHeadlessUi ui;
    auto env = vbide::Environment::Create();
    const auto opened = vbide::OpenProjectFile(*env, project.Vbp());
    ASSERT_EQ(opened.projects.size(), 1u);
    const auto shop = opened.projects[0];
    {
        vbide::AddInHost host(env);
        EXPECT_TRUE(host.LoadStartupAddIns((project.Folder() / "vbaddin.ini").string()).empty());
        ASSERT_TRUE(host.IsConnected("Quillon.Connect"));
        auto command = Tools(env)->Item(1);
        EXPECT_EQ(command->Caption(), "Tarnwick Add Procedure...");
        EXPECT_FALSE(Tools(env)->Item(2)->Visible());

        const auto pane = env->OpenCodePane(shop->VBComponents()->Item("CItem"));
        ui.QueueModal([](forms::Form& dialog) {
            EXPECT_EQ(dialog.Caption(), "Insert Procedure into CItem");
            dialog.Get<forms::OptionButton>("optType", 2).UserClick();
            dialog.Get<forms::TextBox>("txtName").UserType("Price");
            Pick(dialog, "Currency");
            dialog.Get<forms::CheckBox>("chkError").UserClick();
            dialog.Get<forms::CommandButton>("cmdOK").UserClick();
        });
        env->Click(command);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(env->Reports().empty());

        const auto module = pane->CodeModule();
        EXPECT_EQ(pane->TopLine(), module->ProcStartLine("Price", vbide::vbext_pk_Get));
        EXPECT_EQ(pane->TopLine(), 4);
        vbide::SaveProject(shop);

        EXPECT_TRUE(host.Disconnect("Quillon.Connect"));
        EXPECT_EQ(Tools(env)->Item(1)->Caption(), "Add &Procedure...");
        EXPECT_TRUE(Tools(env)->Item(1)->Visible());
    }
    EXPECT_EQ(project.Read("CItem.cls"), quillon::testing::CItemWithPrice());
    EXPECT_EQ(project.Read("basMain.bas"), quillon::testing::kBasMain);
    EXPECT_EQ(project.Read("Shop.vbp"), quillon::testing::kShopVbp);
}

}  // namespace
