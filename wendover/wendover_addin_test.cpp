// The add-in library as the environment loads it: registered, listed in the
// add-in list file, connected, driven through its menu commands and dialog.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/vbide/addin_host.h"
#include "platform/vbide/addin_registration.h"
#include "platform/vbide/environment.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"
#include "wendover/test_folder.h"

namespace {

namespace fs = std::filesystem;
using wendover::testing::SettingsFolder;
using wendover::testing::TempFolder;

fs::path BuiltLibrary() {
    const char* lib = std::getenv("TARNWICK_LIB");
    const std::string folder = lib && *lib ? lib : win::GetProgramFolder() + "/../lib";
    return fs::path(folder) / "Wendover.so";
}

// The headless user interface, also keeping the last form shown, so that the
// test can act in a dialog that lives inside the add-in's library.
class Ui : public forms::ScopedHeadlessUi {
public:
    void ShowForm(forms::Form& form, bool modal) override {
        last = &form;
        forms::ScopedHeadlessUi::ShowForm(form, modal);
    }
    forms::Form* last = nullptr;
};

vbide::CommandBarControlsPtr Menu(const vbide::VBEPtr& vbe, const std::string& caption) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item(caption)->CommandBar()->Controls();
}

// "1" or "0" for each window of the kind, in the collection's order.
std::string Shown(const vbide::VBEPtr& vbe, vbide::vbext_WindowType type) {
    std::string out;
    auto windows = vbe->Windows();
    for (std::int32_t i = 1; i <= windows->Count(); ++i)
        if (windows->Item(i)->Type() == type) out += windows->Item(i)->Visible() ? '1' : '0';
    return out;
}

TEST(WendoverAddIn, LoadedTickedSavedMaximisedAndRestored) {
    const fs::path built = BuiltLibrary();
    ASSERT_TRUE(fs::exists(built)) << built;
    // A copy of the library in a folder of its own: the settings file is
    // written beside it, never beside the build's library.
    TempFolder folder;
    const fs::path library = folder.Path() / "Wendover.so";
    fs::copy_file(built, library);
    win::UseRegistryStore(":memory:");
    const auto registration = vbide::RegisterLibrary(library.string(), false);
    ASSERT_TRUE(registration.ok) << registration.message;
    EXPECT_EQ(vbide::LookUpProgId("WendoverAgent.Connect").description, "VB Wendover Agent");
    const std::string addInList = (folder.Path() / "vbaddin.ini").string();
    SettingsFolder::WriteBytes(addInList, "[Add-Ins32]\r\nWendoverAgent.Connect=1\r\n");

    Ui ui;
    auto env = vbide::Environment::Create();
    const bool builtIniBefore = fs::exists(built.parent_path() / "Wendover.ini");
    {
        vbide::AddInHost host(env);
        EXPECT_TRUE(host.LoadStartupAddIns(addInList).empty());
        ASSERT_TRUE(host.IsConnected("WendoverAgent.Connect"));
        auto toggle = Menu(env, "View")->Item(1);
        EXPECT_EQ(toggle->Caption(), "&Max Work Area");
        auto options = Menu(env, "Add-Ins")->Item(3);
        EXPECT_EQ(options->Caption(), "VB &Wendover Agent...");

        // The user opens the options, ticks the Project and Properties windows
        // and the tool windows under both frames, and saves.
        env->Click(options);
        ASSERT_NE(ui.last, nullptr);
        forms::Form& dialog = *ui.last;
        EXPECT_EQ(dialog.Caption(), "VB Wendover Agent");
        EXPECT_TRUE(dialog.Visible());
        for (const char* row : {"chkProject", "chkProperties", "chkToolbox"})
            for (int index : {0, 1}) dialog.Get<forms::CheckBox>(row, index).UserClick();
        dialog.Get<forms::CommandButton>("cmdOK").UserClick();
        EXPECT_FALSE(dialog.IsLoaded());
        EXPECT_TRUE(fs::exists(folder.Path() / "Wendover.ini"));

        for (std::int32_t i = 1; i <= env->Windows()->Count(); ++i)
            if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ToolWindow)
                env->Windows()->Item(i)->SetVisible(true);
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ProjectWindow), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_PropertyWindow), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ToolWindow), "11");

        env->Click(toggle);
        EXPECT_EQ(toggle->Caption(), "&Restore Work Area");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ProjectWindow), "0");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_PropertyWindow), "0");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ToolWindow), "00");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_Preview), "1");  // left as it was
        EXPECT_EQ(Shown(env, vbide::vbext_wt_MainWindow), "1");

        env->Click(toggle);
        EXPECT_EQ(toggle->Caption(), "&Max Work Area");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ProjectWindow), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_PropertyWindow), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ToolWindow), "11");
        EXPECT_TRUE(env->Reports().empty());

        // Disconnecting with the dialog and its About box still open closes
        // them with the add-in, before its library may go.
        env->Click(options);
        ui.last->Get<forms::CommandButton>("cmdAbout").UserClick();
        EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmOptions", "frmOptions", "frmAbout"}));
        const std::int32_t addInsCount = Menu(env, "Add-Ins")->Count();
        EXPECT_TRUE(host.Disconnect("WendoverAgent.Connect"));
        EXPECT_EQ(ui.VisibleForm("frmAbout"), nullptr) << "the About box closed with the add-in";
        EXPECT_EQ(Menu(env, "Add-Ins")->Count(), addInsCount - 1);
        EXPECT_NE(Menu(env, "View")->Item(1)->Caption(), "&Max Work Area");
        host.FreeUnusedLibraries();
    }
    EXPECT_EQ(fs::exists(built.parent_path() / "Wendover.ini"), builtIniBefore);
}

}  // namespace
