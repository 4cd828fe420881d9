#include "platform/win/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace win {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("win_atomic_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t Entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
};

TEST_F(AtomicFile, WritesTheBytesAndReplacesAnOlderFile) {
    const fs::path target = folder_ / "wizard.reg";
    ASSERT_EQ(WriteFileAtomically(target.string(), "first, and longer\r\n"), "");
    ASSERT_EQ(WriteFileAtomically(target.string(), std::string("a\0b\r\n", 5)), "");
    EXPECT_EQ(Read(target), std::string("a\0b\r\n", 5));
    EXPECT_EQ(Entries(), 1u);  // no temporary file left behind
}

TEST_F(AtomicFile, MissingFolderFailsAndCreatesNothing) {
    const fs::path target = folder_ / "missing" / "wizard.reg";
    EXPECT_EQ(WriteFileAtomically(target.string(), "x"), "No such file or directory");
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

TEST_F(AtomicFile, TargetThatIsAFolderFailsAndIsLeftAlone) {
    const fs::path target = folder_ / "wizard.reg";
    fs::create_directories(target / "inside");
    EXPECT_EQ(WriteFileAtomically(target.string(), "x"), "Is a directory");
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_EQ(Entries(), 1u);
}

}  // namespace
}  // namespace win
