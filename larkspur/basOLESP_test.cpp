#include "larkspur/basOLESP.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/forms/headless.h"

namespace larkspur {
namespace {

std::string Backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Linux file systems keep no 8.3 alternate names: a path comes back as
// stored. Windows gives long names short alternates.
#ifdef _WIN32
constexpr bool kNamesHaveAlternates = true;
#else
constexpr bool kNamesHaveAlternates = false;
#endif

class ShortNames : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("larkspur-short-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(root_ / "My Tools" / "bin");
        std::ofstream(root_ / "My Tools" / "bin" / "Provider.reg") << "REGEDIT4\r\n";
        base_ = Backslashed(root_.string());
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    forms::ScopedHeadlessUi ui;
    std::filesystem::path root_;
    std::string base_;  // the folder, written with backslashes
};

TEST(LeftOfDelimiter, TextBeforeTheFirstDelimiterOrAllOfIt) {
    EXPECT_EQ(LeftOfDelimiter("Excel.Sheet.8", "."), "Excel");
    EXPECT_EQ(LeftOfDelimiter("CLSID", "."), "CLSID");
    EXPECT_EQ(LeftOfDelimiter(".txt", "."), "");
    EXPECT_EQ(LeftOfDelimiter("a\\b\\c", "\\"), "a");
    EXPECT_EQ(LeftOfDelimiter("", "."), "");
}

TEST_F(ShortNames, NamesWithoutAlternatesComeBackAsStored) {
    if (kNamesHaveAlternates) GTEST_SKIP() << "these long names have 8.3 alternates on Windows";
    const std::string file = base_ + "\\My Tools\\bin\\Provider.reg";
    EXPECT_EQ(GetShortNameFromLongName(file), file);
    EXPECT_EQ(GetShortNameSection(file), "Provider.reg");
    EXPECT_EQ(GetShortNameSection(base_ + "\\My Tools"), "My Tools");
    // A wildcard search finds the entry and answers its stored name.
    EXPECT_EQ(GetShortNameSection(base_ + "\\My Tools\\bin\\provider.*"), "Provider.reg");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShortNames, TrailingBackslashIsDropped) {
    if (kNamesHaveAlternates) GTEST_SKIP() << "these long names have 8.3 alternates on Windows";
    EXPECT_EQ(GetShortNameFromLongName(base_ + "\\My Tools\\bin\\"), base_ + "\\My Tools\\bin");
}

TEST_F(ShortNames, MissingOrEmptyElementsFailTheWholeConversion) {
    EXPECT_EQ(GetShortNameFromLongName(base_ + "\\My Tools\\nothing\\Provider.reg"), "");
    EXPECT_EQ(GetShortNameFromLongName(base_ + "\\My Tools\\bin\\Absent.reg"), "");
    EXPECT_EQ(GetShortNameFromLongName(base_ + "\\My Tools\\\\bin\\Provider.reg"), "");
    EXPECT_EQ(GetShortNameFromLongName("\\\\server\\share\\Provider.reg"), "");
    EXPECT_EQ(GetShortNameFromLongName("Provider.reg"), "");
    EXPECT_EQ(GetShortNameFromLongName(""), "");
    EXPECT_EQ(GetShortNameSection(base_ + "\\absent"), "");
    // Not finding an entry is no error: nothing is shown.
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShortNames, EverythingUpToTheFirstBackslashIsCopiedUnlooked) {
    if (kNamesHaveAlternates) GTEST_SKIP() << "these long names have 8.3 alternates on Windows";
    // Here the "drive" is the folder in its native form; it is not looked up.
    const std::string native = root_.string();
    EXPECT_EQ(GetShortNameFromLongName(native + "\\My Tools\\bin"), native + "\\My Tools\\bin");
    EXPECT_EQ(GetShortNameFromLongName("Q:\\"), "Q:");
}

}  // namespace
}  // namespace larkspur
