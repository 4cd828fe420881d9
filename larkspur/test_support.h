#pragma once
// What Larkspur's tests share: a private folder and a registry of their own
// (a store file in the folder; on Windows the machine's keys redirected to a
// private key), filled from script text, with the headless user interface
// installed.

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "platform/forms/headless.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/test_support.h"

namespace larkspur::testing {

// The runtime's class key with a registered server path.
inline const char* const kRuntimeScript =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}\\InProcServer32]\r\n"
    "@=\"C:\\\\Program Files\\\\OLE DB\\\\msdaosp.dll\"\r\n"
    "\"ThreadingModel\"=\"Both\"\r\n";

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("larkspur-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                   std::to_string(std::random_device{}()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
#ifdef _WIN32
        machine_ = std::make_unique<win::testing::PrivateMachineKeys>();
        ASSERT_TRUE(machine_->Ready());
#else
        win::UseRegistryStore((folder_ / "registry.db").string());
#endif
    }
    void TearDown() override {
#ifdef _WIN32
        machine_.reset();
#else
        win::CloseRegistryStore();
#endif
        std::filesystem::remove_all(folder_);
    }
    // Imports script text into the registry; the test fails when it is refused.
    void Import(const std::string& script) {
#ifdef _WIN32
        ASSERT_EQ(win::testing::ImportScriptText(script), "");
#else
        const win::RegistryScriptResult r = win::ImportRegistryScriptText(script, "test.reg");
        ASSERT_TRUE(r.ok) << r.error;
#endif
    }
    const std::filesystem::path& Folder() const { return folder_; }
    // Whether HKEY_CLASSES_ROOT, as the programs open it, is the test's own.
#ifdef _WIN32
    bool PrivateClasses() const { return machine_ && machine_->ClassesRedirected(); }
#else
    bool PrivateClasses() const { return true; }
#endif
    forms::ScopedHeadlessUi ui;

private:
    std::filesystem::path folder_;
#ifdef _WIN32
    std::unique_ptr<win::testing::PrivateMachineKeys> machine_;
#endif
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A script creating `count` subkeys Key00000, Key00001, ... under `parent`.
inline std::string ManySubkeys(const std::string& parent, int count) {
    std::string script = "REGEDIT4\r\n\r\n";
    char name[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "Key%05d", i);
        script += "[" + parent + "\\" + name + "]\r\n";
    }
    return script;
}

// Shell finds the program before any starter sees the command, so runs of
// "GO!" need the registry editor built.
#define LARKSPUR_NEEDS_REGEDIT()                                                   \
    if (win::FindProgram("REGEDIT").empty()) GTEST_SKIP() << "the registry editor is not built"

// Wine departs from Windows where a case depends on it: values enumerate
// sorted by name (Windows: in the order they were made), and the 32-bit view
// of HKEY_CLASSES_ROOT stays the machine's even where the process redirected
// it to a key of its own (the fixture finds out by trying).
#define LARKSPUR_NEEDS_VALUES_IN_ORDER_MADE()  \
    if (win::testing::RunningUnderWine()) GTEST_SKIP() << "Wine enumerates values sorted by name"
#define LARKSPUR_NEEDS_PRIVATE_CLASSES() \
    if (!PrivateClasses())               \
    GTEST_SKIP() << "this system (Wine) opens the machine's HKEY_CLASSES_ROOT in the 32-bit view, not the test's own"

// Where a case makes the editor really import, or opens a store of the
// suite's own: on Windows the system's editor writes the machine's keys, not
// the test's private ones, and the registry is the system's.
#ifdef _WIN32
#define LARKSPUR_NEEDS_OUR_REGEDIT() \
    GTEST_SKIP() << "the system's registry editor imports into the machine's keys, not the test's own"
#define LARKSPUR_NEEDS_OUR_STORE() GTEST_SKIP() << "the registry is the system's, not a store file of the suite"
#else
#define LARKSPUR_NEEDS_OUR_REGEDIT() LARKSPUR_NEEDS_REGEDIT()
#define LARKSPUR_NEEDS_OUR_STORE() (void)0
#endif

}  // namespace larkspur::testing
