// The add-ins' dialogs, native windows of their DLLs, used through the
// environment served over COM as a person uses them: a command opens the
// dialog, the test acts in it through window messages, and the files saved
// afterwards hold the bytes the Linux build's tests of the same steps expect.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/host/com_addin_host.h"
#include "platform/com/host/serve.h"
#include "platform/forms/win32/win32_app.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"
#include "quillon/test_project.h"

namespace {

namespace fs = std::filesystem;
using quillon::testing::TempProject;

// Acts once in the first top-level window with `caption` when it shows, from
// a timer of this thread: the add-in's modal loop dispatches it. Several may
// wait at a time (a dialog and the input box it opens).
class WhenShown {
public:
    WhenShown(std::string caption, std::function<void(HWND)> act) : caption_(std::move(caption)), act_(std::move(act)) {
        waiting_.push_back(this);
        timer_ = SetTimer(nullptr, 0, 50, &WhenShown::Tick);
    }
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        std::erase(waiting_, this);
    }
    bool Acted() const { return acted_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        for (WhenShown* self : std::vector<WhenShown*>(waiting_)) {
            if (self->acted_) continue;
            HWND window = FindWindowA(nullptr, self->caption_.c_str());
            if (!window || !IsWindowVisible(window)) continue;
            self->acted_ = true;
            self->act_(window);  // may run a nested modal loop
            return;
        }
    }
    static inline std::vector<WhenShown*> waiting_;
    std::string caption_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    bool acted_ = false;
};

void Type(HWND edit, const std::string& text) {
    ASSERT_NE(edit, nullptr);
    for (char ch : text) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), 0);
}

// A DLL copied beside the test's files and registered there while it lives.
class Registered {
public:
    Registered(const fs::path& folder, const std::string& dll) {
        const char* bin = std::getenv("TARNWICK_BIN");
        fs::copy_file(fs::path(bin ? bin : ".") / dll, folder / dll);
        module_ = LoadLibraryA((folder / dll).string().c_str());
        ok_ = module_ && Export("DllRegisterServer")() == S_OK;
    }
    ~Registered() {
        if (!module_) return;
        Export("DllUnregisterServer")();
        FreeLibrary(module_);
    }
    bool Ok() const { return ok_; }
    using Function = HRESULT(__stdcall*)();
    Function Export(const char* name) const {
        return reinterpret_cast<HRESULT(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
    bool ok_ = false;
};

struct ChildSearch {
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<ChildSearch*>(p);
    char name[32];
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, search->cls) == 0) search->found.push_back(w);
    return TRUE;
}

// The child windows of a form of the given class, in creation order.
std::vector<HWND> Children(HWND form, const char* cls) {
    ChildSearch search{cls, {}};
    EnumChildWindows(form, &CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Captioned(HWND form, const char* cls, const std::string& caption) {
    for (HWND w : Children(form, cls)) {
        char text[256];
        GetWindowTextA(w, text, sizeof text);
        if (caption == text) return w;
    }
    return nullptr;
}

void Click(HWND button) {
    ASSERT_NE(button, nullptr);
    SendMessageA(button, BM_CLICK, 0, 0);
}

void Pick(HWND combo, const std::string& entry) {
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str())),
              CB_ERR);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

class Apartment {
public:
    Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Apartment() { CoUninitialize(); }
};

vbide::CommandBarControlsPtr Tools(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
}

TEST(QuillonThroughCom, PropertyFromTheNativeDialogLandsInTheModuleFileOnDisk) {
    Apartment apartment;
    TempProject project;
    Registered quillon(project.Folder(), "Quillon.dll");
    ASSERT_TRUE(quillon.Ok());
    project.Write("vbaddin.ini", "[Add-Ins32]\r\nQuillon.Connect=1\r\n");

    // A native window stands for the IDE's main window: the dialog must be
    // owned by it.
    HWND mainWindow = CreateWindowExA(0, "STATIC", "Host main window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    com::host::SetMainWindowHandle(mainWindow);
    auto env = vbide::Environment::Create();
    const auto opened = vbide::OpenProjectFile(*env, project.Vbp());
    ASSERT_EQ(opened.projects.size(), 1u);
    const auto shop = opened.projects[0];
    {
        com::host::ComAddInHost host(env);
        EXPECT_TRUE(host.LoadStartupAddIns((project.Folder() / "vbaddin.ini").string()).empty());
        ASSERT_TRUE(host.IsConnected("Quillon.Connect"));
        auto command = Tools(env)->Item(1);
        EXPECT_EQ(command->Caption(), "Tarnwick Add Procedure...");
        EXPECT_FALSE(Tools(env)->Item(2)->Visible());

        const auto pane = env->OpenCodePane(shop->VBComponents()->Item("CItem"));
        WhenShown dialog("Insert Procedure into CItem", [mainWindow](HWND form) {
            EXPECT_EQ(GetWindow(form, GW_OWNER), mainWindow);
            Click(Captioned(form, "BUTTON", "&Property"));
            const auto edits = Children(form, "EDIT");
            ASSERT_GE(edits.size(), 1u);
            Type(edits[0], "Price");  // txtName, the form's first text box
            Pick(Children(form, "COMBOBOX").at(0), "Currency");
            Click(Captioned(form, "BUTTON", "Include &Error Handling"));
            // The dialog as the user sees it; kept when $TARNWICK_SCREENSHOTS
            // names a folder.
            const char* shots = std::getenv("TARNWICK_SCREENSHOTS");
            const std::string png = shots && *shots ? std::string(shots) + "\\windows-quillon-com.png"
                                                    : (fs::temp_directory_path() / "quillon-com.png").string();
            EXPECT_TRUE(forms::win32::ScreenshotWindow(form, png));
            EXPECT_GT(fs::file_size(png), 10000u);
            Click(Captioned(form, "BUTTON", "&OK"));
        });
        env->Click(command);
        EXPECT_TRUE(dialog.Acted());
        EXPECT_TRUE(env->Reports().empty()) << env->Reports().front();

        const auto codeModule = pane->CodeModule();
        EXPECT_EQ(pane->TopLine(), codeModule->ProcStartLine("Price", vbide::vbext_pk_Get));
        EXPECT_EQ(pane->TopLine(), 4);
        vbide::SaveProject(shop);

        EXPECT_TRUE(host.Disconnect("Quillon.Connect"));
        EXPECT_EQ(Tools(env)->Item(1)->Caption(), "Add &Procedure...");
        EXPECT_TRUE(Tools(env)->Item(1)->Visible());
    }
    EXPECT_EQ(project.Read("CItem.cls"), quillon::testing::CItemWithPrice());
    EXPECT_EQ(project.Read("basMain.bas"), quillon::testing::kBasMain);
    EXPECT_EQ(quillon.Export("DllCanUnloadNow")(), S_OK);
    com::host::SetMainWindowHandle(nullptr);
    DestroyWindow(mainWindow);
}

// Config's "Configurations..." dialog and its input box: a configuration
// added there reaches the toolbar's drop-down and the project file.
TEST(ConfigThroughCom, AConfigurationAddedInTheNativeDialogIsStoredInTheProject) {
    Apartment apartment;
    TempProject folder;
    Registered config(folder.Folder(), "Config.dll");
    ASSERT_TRUE(config.Ok());
    const char* source = std::getenv("TARNWICK_SOURCE");
    fs::copy(fs::path(source ? source : ".") / "samples" / "project", folder.Folder() / "project",
             fs::copy_options::recursive);
    folder.Write("vbaddin.ini", "[Add-Ins32]\r\nConfig.Connect=1\r\n");
    auto env = vbide::Environment::Create();
    const auto opened = vbide::OpenProjectFile(*env, (folder.Folder() / "project" / "Ledger.vbp").string());
    ASSERT_EQ(opened.projects.size(), 1u);
    {
        com::host::ComAddInHost host(env);
        EXPECT_TRUE(host.LoadStartupAddIns((folder.Folder() / "vbaddin.ini").string()).empty());
        auto command = env->CommandBars()->Item("Menu Bar")->Controls()->Item("Project")->CommandBar()->Controls()->Item(
            "Configurations...");
        WhenShown input("New Configuration", [](HWND form) {
            Type(Children(form, "EDIT").at(0), "profile");
            Click(Captioned(form, "BUTTON", "OK"));
        });
        WhenShown dialog("Manage Configurations", [](HWND form) {
            Click(Captioned(form, "BUTTON", "..."));  // cmdNewConfig, the first of the two
            Click(Captioned(form, "BUTTON", "Close"));
        });
        env->Click(command);
        EXPECT_TRUE(dialog.Acted());
        EXPECT_TRUE(input.Acted());
        EXPECT_TRUE(env->Reports().empty()) << env->Reports().front();
        auto standard = env->CommandBars()->Item("Standard")->Controls();
        long entries = 0;
        for (long i = 1; i <= standard->Count(); ++i)
            if (standard->Item(i)->Type() == vbide::msoControlDropdown) entries = standard->Item(i)->ListCount();
        EXPECT_EQ(entries, 3);
        vbide::SaveProject(opened.projects[0]);
        EXPECT_TRUE(host.Disconnect("Config.Connect"));
    }
    const std::string vbp = folder.Read("project/Ledger.vbp");
    EXPECT_NE(vbp.find("[Configurations]\r\nCount=3\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=1\r\n"
                       "Config3=profile\r\n"),
              std::string::npos)
        << vbp;
    EXPECT_NE(vbp.find("[Config3]\r\ndebugging=False\r\n"), std::string::npos) << vbp;
    EXPECT_EQ(config.Export("DllCanUnloadNow")(), S_OK);
}

}  // namespace
