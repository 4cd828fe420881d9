#include "platform/win/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/test_support.h"

namespace win {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::string> FindAll(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(data.cFileName);
        EXPECT_STREQ(data.cAlternateFileName, "");
    } while (FindNextFileA(h, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(h));
    return names;
}

DWORD FindError(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA(pattern.c_str(), &data), INVALID_HANDLE_VALUE) << pattern;
    return GetLastError();
}

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "Program Files/Sub");
        WriteBytes(folder / "Program Files/Provider.reg", "REGEDIT4\r\n");
        WriteBytes(folder / "Program Files/readme", "");
        WriteBytes(folder / "Program Files/NOTES.TXT", "12345");
    }
    TempFolder folder;
};

TEST_F(Files, FindsANamedEntryAsStoredWithNoAlternateName) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder / "Program Files/NOTES.TXT").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "NOTES.TXT");
    EXPECT_STREQ(data.cAlternateFileName, "");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(FindClose(h));

    h = FindFirstFileA((folder / "Program Files").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Program Files");
    EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(h);
}

TEST_F(Files, AClosedSearchCannotBeClosedAgain) {
    if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine closes a closed search handle again without an error";
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder / "Program Files/NOTES.TXT").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h));
}

TEST_F(Files, BackslashesSeparateFolders) {
    EXPECT_EQ(FindAll(folder.Path() + "\\Program Files\\Provider.reg"),
              std::vector<std::string>{"Provider.reg"});
}

TEST_F(Files, WildcardsMatchWithoutCaseInNameOrder) {
    const std::string dir = folder / "Program Files/";
    EXPECT_EQ(FindAll(dir + "*.reg"), std::vector<std::string>{"Provider.reg"});
    EXPECT_EQ(FindAll(dir + "*.txt"), std::vector<std::string>{"NOTES.TXT"});
    EXPECT_EQ(FindAll(dir + "r?adm?"), std::vector<std::string>{"readme"});
    EXPECT_EQ(FindAll(dir + "*"),
              (std::vector<std::string>{".", "..", "NOTES.TXT", "Provider.reg", "readme", "Sub"}));
    EXPECT_EQ(FindAll(dir + "*.*"), FindAll(dir + "*"));
    EXPECT_EQ(FindError(dir + "*.xyz"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, MissingEntriesFoldersAndSpecialPaths) {
    EXPECT_EQ(FindError(folder / "Program Files/missing"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(folder / "No Folder/readme"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindError(folder / "Program Files/"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(folder.Path() + "\\Program Files\\"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, AFileOnTheWayADriveAloneAndANetworkPathAreNotFound) {
    if (testing::RunningUnderWine())
        GTEST_SKIP() << "Wine answers 123 for a path through a file, and finds a drive alone as a folder";
    EXPECT_EQ(FindError(folder / "Program Files/readme/x"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    for (const char* path : {"C:", "C:\\", "c:/", "\\\\server\\share", "\\\\server\\share\\x"}) {
        EXPECT_EQ(FindError(path), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << path;
    }
}

TEST(ModuleFolder, NamesTheFolderOfTheProgramAndOfTheLibrary) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build links its libraries into each program: there is no library module";
#endif
    const std::string program = GetProgramFolder();
    EXPECT_EQ(GetModuleFolder(reinterpret_cast<const void*>(&FindAll)), program);
    EXPECT_TRUE(std::filesystem::exists(program + "/win_files_test"));
    const std::string library = GetModuleFolder(reinterpret_cast<const void*>(&FindFirstFileA));
    EXPECT_TRUE(std::filesystem::exists(library + "/libtarnwick_win.so")) << library;
    EXPECT_NE(library.back(), '/');
    int local = 0;
    EXPECT_EQ(GetModuleFolder(&local), "");
}

}  // namespace
}  // namespace win
