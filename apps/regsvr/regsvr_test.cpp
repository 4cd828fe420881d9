// Runs the registration program as a user does, against a store file of the
// test's own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/vbide/addin_registration.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"

namespace {

namespace fs = std::filesystem;

class Regsvr : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("regsvr_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        store_ = (dir_ / "registry.db").string();
        bin_ = win::GetProgramFolder();
        lib_ = bin_ + "/../lib";
    }
    void TearDown() override { fs::remove_all(dir_); }
    // Starts the program directly with these arguments, its output in out.txt.
    int Run(const std::vector<std::string>& args) {
        const std::string program = bin_ + "/regsvr";
        const std::string output = (dir_ / "out.txt").string();
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("TARNWICK_REGISTRY", store_.c_str(), 1);
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            dup2(fd, 2);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output() {
        std::string text;
        FILE* f = std::fopen((dir_ / "out.txt").c_str(), "rb");
        char buffer[512];
        size_t n;
        while (f && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        if (f) std::fclose(f);
        return text;
    }
    fs::path dir_;
    std::string store_, bin_, lib_;
};

TEST_F(Regsvr, RegistersAndUnregistersIntoTheStore) {
    const std::string library = lib_ + "/VbideTestAddIn.so";
    ASSERT_EQ(Run({library}), 0) << Output();
    EXPECT_EQ(Output(), "DllRegisterServer in " + library + " succeeded.\n");
    win::UseRegistryStore(store_);
    EXPECT_EQ(vbide::LookUpProgId("VbideTestAddIn.Connect").clsid, "{5B1C4A1E-7D9A-4E7B-9C33-0F2D1E4A6B01}");
    win::CloseRegistryStore();
    ASSERT_EQ(Run({"/u", "/s", library}), 0);
    EXPECT_EQ(Output(), "");
    win::UseRegistryStore(store_);
    EXPECT_EQ(vbide::LookUpProgId("VbideTestAddIn.Connect").clsid, "");
    win::CloseRegistryStore();
}

TEST_F(Regsvr, FailuresGiveTheirExitStatus) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({(dir_ / "missing.so").string()}), 3);
    EXPECT_NE(Output().find("failed to load"), std::string::npos);
    EXPECT_EQ(Run({lib_ + "/libtarnwick_win.so"}), 4);
    EXPECT_NE(Output().find("entry-point DllRegisterServer was not found"), std::string::npos);
}

}  // namespace
