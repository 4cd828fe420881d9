// Quillon.dll in the environment served over COM, used as a person uses it:
// the Tools command opens the procedure dialog as a native window, which the
// test fills in through its window messages, and OK inserts the procedure.
// The module file saved afterwards holds the bytes the Linux build's test of
// the same steps expects.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/host/com_addin_host.h"
#include "platform/forms/win32/win32_app.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"
#include "quillon/test_project.h"

namespace {

namespace fs = std::filesystem;
using quillon::testing::TempProject;

// Acts in the first top-level window with `caption` once it shows, from a
// timer of this thread: the add-in's modal loop dispatches it.
class WhenShown {
public:
    WhenShown(std::string caption, std::function<void(HWND)> act) : caption_(std::move(caption)), act_(std::move(act)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &WhenShown::Tick);
    }
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Acted() const { return acted_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WhenShown* self = current_;
        if (!self || self->acted_) return;
        HWND window = FindWindowA(nullptr, self->caption_.c_str());
        if (!window || !IsWindowVisible(window)) return;
        self->acted_ = true;
        self->act_(window);
    }
    static inline WhenShown* current_ = nullptr;
    std::string caption_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    bool acted_ = false;
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

vbide::CommandBarControlsPtr Tools(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
}

TEST(QuillonThroughCom, PropertyFromTheNativeDialogLandsInTheModuleFileOnDisk) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TempProject project;
    const char* bin = std::getenv("TARNWICK_BIN");
    const fs::path dll = project.Folder() / "Quillon.dll";
    fs::copy_file(fs::path(bin ? bin : ".") / "Quillon.dll", dll);
    HMODULE module = LoadLibraryA(dll.string().c_str());
    ASSERT_NE(module, nullptr);
    auto exported = [module](const char* name) {
        return reinterpret_cast<HRESULT(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    };
    ASSERT_EQ(exported("DllRegisterServer")(), S_OK);
    project.Write("vbaddin.ini", "[Add-Ins32]\r\nQuillon.Connect=1\r\n");

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
        WhenShown dialog("Insert Procedure into CItem", [](HWND form) {
            Click(Captioned(form, "BUTTON", "&Property"));
            const auto edits = Children(form, "EDIT");
            ASSERT_GE(edits.size(), 1u);
            // txtName, the form's first text box, typed into key by key.
            for (char ch : std::string("Price")) SendMessageA(edits[0], WM_CHAR, static_cast<WPARAM>(ch), 0);
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
    const std::string errorTail =
        "    Debug.Print Err.Description\r\n"
        "    App.StartLogging App.Path & \"\\error.log\", vbLogtoFile\r\n"
        "    App.LogEvent Err.Description, vbLogEventTypeError\r\n"
        "    Resume PriceExit\r\n\r\nEnd Property\r\n";
    EXPECT_EQ(project.Read("CItem.cls"),
              std::string(quillon::testing::kCItem) + "Private m_Price As Currency\r\n" +
                  "Public Property Get Price ()As Currency\r\n\r\nOn Error GoTo PriceErr\r\n\r\n\r\n"
                  "    'Place Code Body Here!\r\n    Price = m_Price\r\n\r\nPriceExit:\r\n"
                  "    Exit Property\r\n\r\nPriceErr:\r\n" + errorTail +
                  "Public Property Let Price (curPrice As Currency)\r\n\r\nOn Error GoTo PriceErr\r\n\r\n\r\n"
                  "    'Place Code Body Here!\r\n     m_Price = curPrice\r\n\r\nPriceExit:\r\n"
                  "    Exit Property\r\n\r\nPriceErr:\r\n" + errorTail);
    EXPECT_EQ(project.Read("basMain.bas"), quillon::testing::kBasMain);
    EXPECT_EQ(exported("DllCanUnloadNow")(), S_OK);
    exported("DllUnregisterServer")();
    FreeLibrary(module);
    CoUninitialize();
}

}  // namespace
