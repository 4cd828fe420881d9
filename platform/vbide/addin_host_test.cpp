#include "platform/vbide/addin_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/vbide/addin_registration.h"
#include "platform/vbide/builder.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"

namespace vbide {
namespace {

namespace fs = std::filesystem;

std::int32_t ErrorOf(const CommandBarControlPtr& control) {
    try {
        control->Caption();
    } catch (const vb::VbError& e) {
        return e.Number();
    }
    return 0;
}

std::string LibraryPath(const std::string& name) {
    // The libraries are built into lib/ beside the tests' bin/.
    const char* lib = std::getenv("TARNWICK_LIB");
    std::string folder = lib && *lib ? lib : win::GetProgramFolder() + "/../lib";
    return folder + "/" + name + ".so";
}

class AddIns : public ::testing::Test {
protected:
    void SetUp() override {
        win::UseRegistryStore(":memory:");
        dir_ = fs::temp_directory_path() / ("vbide_addin_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ini_ = (dir_ / "vbaddin.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    void WriteIni(const std::string& text) { std::ofstream(ini_, std::ios::binary) << text; }
    static CommandBarControlsPtr Tools(const VBEPtr& vbe) {
        return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
    }
    fs::path dir_;
    std::string ini_;
};

TEST_F(AddIns, RegistrationWritesProgIdClassAndLibrary) {
    auto r = RegisterLibrary(LibraryPath("VbideTestAddIn"), false);
    ASSERT_TRUE(r.ok) << r.message;
    auto reg = LookUpProgId("VbideTestAddIn.Connect");
    EXPECT_EQ(reg.clsid, "{5B1C4A1E-7D9A-4E7B-9C33-0F2D1E4A6B01}");
    EXPECT_EQ(reg.description, "Environment test add-in");
    EXPECT_EQ(fs::path(reg.library), fs::absolute(LibraryPath("VbideTestAddIn")).lexically_normal());
    ASSERT_TRUE(RegisterLibrary(LibraryPath("VbideTestAddIn"), true).ok);
    EXPECT_EQ(LookUpProgId("VbideTestAddIn.Connect").clsid, "");
    auto missing = RegisterLibrary((dir_ / "nope.so").string(), false);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("failed to load"), std::string::npos);
}

TEST_F(AddIns, LoadedFromIniConnectsClicksAndUnloads) {
    ASSERT_TRUE(RegisterLibrary(LibraryPath("VbideTestAddIn"), false).ok);
    ASSERT_TRUE(RegisterLibrary(LibraryPath("VbideFailingAddIn"), false).ok);
    WriteIni("[Add-Ins32]\r\nMissing.Connect=1\r\nVbideFailingAddIn.Connect=1\r\n"
             "Dormant.Connect=0\r\nVbideTestAddIn.Connect=1\r\n");
    auto env = EnvironmentBuilder().Project("P").Module("basMain", "").Build();
    {
        AddInHost host(env);
        auto failures = host.LoadStartupAddIns(ini_);
        ASSERT_EQ(failures.size(), 2u);
        EXPECT_EQ(failures[0], "'Missing.Connect' could not be loaded: the ProgID is not registered");
        EXPECT_NE(failures[1].find("'VbideFailingAddIn.Connect' could not be loaded: OnConnection failed: "
                                   "run-time error 5: refused to connect"),
                  std::string::npos);
        EXPECT_TRUE(host.IsConnected("VbideTestAddIn.Connect"));
        EXPECT_FALSE(host.IsConnected("Dormant.Connect"));
        auto button = Tools(env)->Item("Test Command");
        EXPECT_EQ(button->Index(), 1);
        env->Click(button);
        EXPECT_EQ(button->Tag(), "connect 1 VbideTestAddIn.Connect;startup;click Test Command;");
        EXPECT_TRUE(host.Disconnect("VbideTestAddIn.Connect"));
        EXPECT_EQ(env->ActiveVBProject()->ReadProperty("TestAddIn", "Log"),
                  "connect 1 VbideTestAddIn.Connect;startup;click Test Command;disconnect 1;");
        EXPECT_EQ(ErrorOf(button), kErrDisconnected);
        host.FreeUnusedLibraries();
    }
    // What the failing add-in did before its failure stays done.
    EXPECT_EQ(Tools(env)->Item(1)->Tag(), "connect 1 VbideFailingAddIn.Connect;");
    EXPECT_EQ(Tools(env)->Item(2)->Caption(), "Add &Procedure...");
}

TEST_F(AddIns, ConnectAfterStartupUsesModeZeroAndShutdownDisconnects) {
    ASSERT_TRUE(RegisterLibrary(LibraryPath("VbideTestAddIn"), false).ok);
    auto env = EnvironmentBuilder().Project("P").Build();
    {
        AddInHost host(env);
        ASSERT_TRUE(host.Connect("VbideTestAddIn.Connect"));
        EXPECT_EQ(Tools(env)->Item(1)->Tag(), "connect 0 VbideTestAddIn.Connect;");
        EXPECT_FALSE(host.Connect("Nothing.Here"));
        EXPECT_EQ(env->Reports().back(), "'Nothing.Here' could not be loaded: the ProgID is not registered");
    }
    EXPECT_EQ(env->ActiveVBProject()->ReadProperty("TestAddIn", "Log"),
              "connect 0 VbideTestAddIn.Connect;disconnect 0;");
}

TEST_F(AddIns, AddInListReadsAndWritesEntriesWithDescriptions) {
    ASSERT_TRUE(RegisterLibrary(LibraryPath("VbideTestAddIn"), false).ok);
    EXPECT_TRUE(ReadAddInList(ini_).empty());
    WriteAddInListEntry(ini_, "VbideTestAddIn.Connect", "0");
    WriteAddInListEntry(ini_, "Other.Connect", "1");
    WriteAddInListEntry(ini_, "VbideTestAddIn.Connect", "1");
    auto list = ReadAddInList(ini_);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].progId, "VbideTestAddIn.Connect");
    EXPECT_EQ(list[0].value, "1");
    EXPECT_EQ(list[0].description, "Environment test add-in");
    EXPECT_EQ(list[1].description, "");
    std::ifstream in(ini_, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Add-Ins32]\r\nVbideTestAddIn.Connect=1\r\nOther.Connect=1\r\n");
}

}  // namespace
}  // namespace vbide
