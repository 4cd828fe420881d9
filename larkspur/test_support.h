#pragma once
// What Larkspur's tests share: a private folder and a registry store file in
// it, filled from script text, with the headless user interface installed.

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "platform/forms/headless.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

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
        win::UseRegistryStore((folder_ / "registry.db").string());
    }
    void TearDown() override {
        win::CloseRegistryStore();
        std::filesystem::remove_all(folder_);
    }
    // Imports script text into the store; the test fails when it is refused.
    void Import(const std::string& script) {
        const win::RegistryScriptResult r = win::ImportRegistryScriptText(script, "test.reg");
        ASSERT_TRUE(r.ok) << r.error;
    }
    const std::filesystem::path& Folder() const { return folder_; }
    forms::ScopedHeadlessUi ui;

private:
    std::filesystem::path folder_;
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

}  // namespace larkspur::testing
