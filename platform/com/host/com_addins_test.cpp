// The add-in DLLs as the IDE loads them: registered through their own
// DllRegisterServer, created by ProgID from the add-in list file, connected
// to the environment stand-in served over COM, driven through their menu
// commands, and disconnected. Every add-in call crosses COM both ways.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "config/sample_release_expectations.h"
#include "platform/com/events.h"
#include "platform/com/host/com_addin_host.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"

namespace {

namespace fs = std::filesystem;
using com::host::ComAddInHost;

using HResultFn = HRESULT(__stdcall*)();

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A copy of one add-in DLL in a folder of its own (Wendover keeps its
// settings beside its library), registered for the test's life.
class InstalledAddIn {
public:
    explicit InstalledAddIn(const std::string& dll) {
        folder_ = fs::temp_directory_path() / ("com-addin-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        const char* bin = std::getenv("TARNWICK_BIN");
        fs::copy_file(fs::path(bin ? bin : ".") / dll, folder_ / dll);
        module_ = LoadLibraryA((folder_ / dll).string().c_str());
        if (module_) registered_ = Export("DllRegisterServer")() == S_OK;
    }
    ~InstalledAddIn() {
        if (module_) {
            Export("DllUnregisterServer")();
            FreeLibrary(module_);
        }
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    bool Registered() const { return registered_; }
    HResultFn Export(const char* name) const {
        return reinterpret_cast<HResultFn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HRESULT CanUnloadNow() const { return Export("DllCanUnloadNow")(); }
    const fs::path& Folder() const { return folder_; }

private:
    fs::path folder_;
    HMODULE module_ = nullptr;
    bool registered_ = false;
};

class Apartment {
public:
    Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Apartment() { CoUninitialize(); }
};

vbide::CommandBarControlsPtr Menu(const vbide::VBEPtr& vbe, const std::string& caption) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item(caption)->CommandBar()->Controls();
}

std::string Shown(const vbide::VBEPtr& vbe, vbide::vbext_WindowType type) {
    std::string out;
    auto windows = vbe->Windows();
    for (long i = 1; i <= windows->Count(); ++i)
        if (windows->Item(i)->Type() == type) out += windows->Item(i)->Visible() ? '1' : '0';
    return out;
}

// Both ways the IDE may call the add-in interface.
class ThroughCom : public ::testing::TestWithParam<com::host::CallStyle> {
protected:
    Apartment apartment_;
};

TEST_P(ThroughCom, WendoverMaximisesAndRestoresTheMarkedWindows) {
    InstalledAddIn wendover("Wendover.dll");
    ASSERT_TRUE(wendover.Registered());
    WriteFile(wendover.Folder() / "Wendover.ini",
              "[Project]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n[Property]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n"
              "[Toolbox]\r\nMaxClose=-1\r\nRestoreOpen=-1\r\n");
    WriteFile(wendover.Folder() / "vbaddin.ini", "[Add-Ins32]\r\nWendoverAgent.Connect=1\r\n");
    auto env = vbide::Environment::Create();
    const long menusBefore = Menu(env, "View")->Count() + Menu(env, "Add-Ins")->Count();
    {
        ComAddInHost host(env, GetParam());
        EXPECT_TRUE(host.LoadStartupAddIns((wendover.Folder() / "vbaddin.ini").string()).empty());
        ASSERT_TRUE(host.IsConnected("WendoverAgent.Connect"));
        auto toggle = Menu(env, "View")->Item(1);
        EXPECT_EQ(toggle->Caption(), "&Max Work Area");
        EXPECT_EQ(Menu(env, "Add-Ins")->Item(3)->Caption(), "VB &Wendover Agent...");
        EXPECT_EQ(com::ConnectionPoint::AdvisedSinks(), 2);

        for (long i = 1; i <= env->Windows()->Count(); ++i)
            if (env->Windows()->Item(i)->Type() == vbide::vbext_wt_ToolWindow) env->Windows()->Item(i)->SetVisible(true);
        env->Click(toggle);
        EXPECT_EQ(toggle->Caption(), "&Restore Work Area");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ProjectWindow), "0");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_PropertyWindow), "0");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ToolWindow), "00");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_Preview), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_MainWindow), "1");
        env->Click(toggle);
        EXPECT_EQ(toggle->Caption(), "&Max Work Area");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ProjectWindow), "1");
        EXPECT_EQ(Shown(env, vbide::vbext_wt_ToolWindow), "11");
        EXPECT_TRUE(env->Reports().empty()) << env->Reports().front();

        EXPECT_TRUE(host.Disconnect("WendoverAgent.Connect"));
    }
    EXPECT_EQ(Menu(env, "View")->Count() + Menu(env, "Add-Ins")->Count(), menusBefore);
    EXPECT_EQ(Menu(env, "View")->Item(1)->Caption().find("Work Area"), std::string::npos);
    EXPECT_EQ(com::ConnectionPoint::AdvisedSinks(), 0);
    EXPECT_EQ(wendover.CanUnloadNow(), S_OK);
}

// The sample project in a folder of its own, with Config loaded at start-up.
class ConfigThroughCom : public ThroughCom {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.Registered());
        const char* source = std::getenv("TARNWICK_SOURCE");
        fs::copy(fs::path(source ? source : ".") / "samples" / "project", config_.Folder() / "project",
                 fs::copy_options::recursive);
        WriteFile(config_.Folder() / "vbaddin.ini", "[Add-Ins32]\r\nConfig.Connect=1\r\n");
        env_ = vbide::Environment::Create();
        auto opened = vbide::OpenProjectFile(*env_, (Dir() / "Ledger.vbp").string());
        ASSERT_TRUE(opened.problems.empty());
        project_ = opened.projects.front();
        host_ = std::make_unique<ComAddInHost>(env_, GetParam());
        ASSERT_TRUE(host_->LoadStartupAddIns((config_.Folder() / "vbaddin.ini").string()).empty());
    }
    void TearDown() override { host_.reset(); }
    fs::path Dir() const { return config_.Folder() / "project"; }
    vbide::CommandBarControlPtr DropDown() const {
        auto controls = env_->CommandBars()->Item("Standard")->Controls();
        for (long i = 1; i <= controls->Count(); ++i)
            if (controls->Item(i)->Type() == vbide::msoControlDropdown) return controls->Item(i);
        return nullptr;
    }

    InstalledAddIn config_{"Config.dll"};
    std::shared_ptr<vbide::Environment> env_;
    vbide::VBProjectPtr project_;
    std::unique_ptr<ComAddInHost> host_;
};

TEST_P(ConfigThroughCom, PickingReleaseRewritesEveryModuleOnDiskAsOnLinux) {
    auto drop = DropDown();
    ASSERT_NE(drop, nullptr);
    ASSERT_EQ(drop->ListCount(), 2);
    EXPECT_EQ(drop->ListIndex(), 1);
    env_->Pick(drop, 2);
    vbide::SaveProject(project_);
    EXPECT_TRUE(env_->Reports().empty()) << env_->Reports().front();

    config::testing::ExpectSampleSwitchedToRelease([&](const std::string& file) { return ReadFile(Dir() / file); });
}

TEST_P(ConfigThroughCom, ProjectAndComponentEventsArrive) {
    env_->Pick(DropDown(), 2);
    // A component added to the observed project: the component event.
    auto module = env_->AddComponent(project_, vbide::vbext_ct_StdModule, "modNew", "Option Explicit\r\n");
    EXPECT_EQ(module->CodeModule()->Lines(1, 2), "Option Explicit\r\n#Const debugging = False");
    // A second project: the project event refills the drop-down from it (the
    // defaults) and moves the component subscription to it.
    auto second = env_->AddProject("Second");
    EXPECT_EQ(DropDown()->ListCount(), 2);
    auto added = env_->AddComponent(second, vbide::vbext_ct_StdModule, "modMore", "Option Explicit\r\n");
    EXPECT_EQ(added->CodeModule()->Lines(1, 2), "Option Explicit\r\n#Const debugging = True");
    EXPECT_EQ(second->ReadProperty("Configurations", "Current"), "1");
    EXPECT_TRUE(env_->Reports().empty()) << env_->Reports().front();
}

TEST_P(ConfigThroughCom, DisconnectingLeavesNoControlNoSinkAndTheLibraryFree) {
    const long barBefore = env_->CommandBars()->Item("Standard")->Controls()->Count();
    ASSERT_GT(com::ConnectionPoint::AdvisedSinks(), 0);
    EXPECT_EQ(config_.CanUnloadNow(), S_FALSE);
    EXPECT_TRUE(host_->Disconnect("Config.Connect"));
    EXPECT_EQ(env_->CommandBars()->Item("Standard")->Controls()->Count(), barBefore - 1);
    EXPECT_EQ(DropDown(), nullptr);
    auto project = Menu(env_, "Project");
    for (long i = 1; i <= project->Count(); ++i) EXPECT_NE(project->Item(i)->Caption(), "Configurations...");
    EXPECT_EQ(com::ConnectionPoint::AdvisedSinks(), 0);
    EXPECT_EQ(config_.CanUnloadNow(), S_OK);
}

// A lock on the class factory keeps the DLL in use like a live object.
TEST(ComAddInDll, DllCanUnloadNowAnswersFromObjectsAndLocks) {
    Apartment apartment;
    InstalledAddIn wendover("Wendover.dll");
    ASSERT_TRUE(wendover.Registered());
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(wendover.Export("DllGetClassObject")));
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"WendoverAgent.Connect", &clsid), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IUnknown* other = nullptr;
    EXPECT_EQ(get(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&other)), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(wendover.CanUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(wendover.CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    IDispatch* connect = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&connect)), S_OK);
    EXPECT_EQ(wendover.CanUnloadNow(), S_FALSE);
    // Its IDispatch names the add-in interface's members with DISPIDs 1 to 5.
    const wchar_t* names[] = {L"OnConnection", L"onbeginshutdown", L"Nothing"};
    DISPID ids[3] = {};
    for (int i = 0; i < 3; ++i) connect->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&names[i]), 1, 0, &ids[i]);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 5);
    EXPECT_EQ(ids[2], DISPID_UNKNOWN);
    connect->Release();
    factory->Release();
    EXPECT_EQ(wendover.CanUnloadNow(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(VTableAndDispatch, ThroughCom,
                         ::testing::Values(com::host::CallStyle::VTable, com::host::CallStyle::Dispatch));
INSTANTIATE_TEST_SUITE_P(VTableAndDispatch, ConfigThroughCom,
                         ::testing::Values(com::host::CallStyle::VTable, com::host::CallStyle::Dispatch));

// An add-in whose OnConnection fails (Wendover without a View menu) is
// reported and left unloaded; the host and the other add-ins go on.
TEST(ComAddInHost, AnAddInThatFailsToConnectLeavesTheHostRunning) {
    Apartment apartment;
    InstalledAddIn wendover("Wendover.dll");
    InstalledAddIn config("Config.dll");
    ASSERT_TRUE(wendover.Registered() && config.Registered());
    WriteFile(wendover.Folder() / "vbaddin.ini",
              "[Add-Ins32]\r\nNot.Registered=1\r\nWendoverAgent.Connect=1\r\nConfig.Connect=1\r\n");
    auto env = vbide::Environment::Create();
    auto bar = env->CommandBars()->Item("Menu Bar")->Controls();
    bar->Item("View")->Delete();
    ComAddInHost host(env);
    const auto failures = host.LoadStartupAddIns((wendover.Folder() / "vbaddin.ini").string());
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("Not.Registered"), std::string::npos);
    EXPECT_NE(failures[1].find("WendoverAgent.Connect"), std::string::npos) << failures[1];
    EXPECT_EQ(env->Reports().size(), 2u);
    EXPECT_FALSE(host.IsConnected("WendoverAgent.Connect"));
    EXPECT_TRUE(host.IsConnected("Config.Connect"));
    // Nothing of the failed add-in stays behind: its Add-Ins command was
    // never made, and its object is gone.
    auto addIns = Menu(env, "Add-Ins");
    for (long i = 1; i <= addIns->Count(); ++i) EXPECT_NE(addIns->Item(i)->Caption(), "VB &Wendover Agent...");
    EXPECT_EQ(wendover.CanUnloadNow(), S_OK);
}

}  // namespace
