#include "platform/win/registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/test_support.h"

namespace win {
namespace {

using testing::TempFolder;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { UseRegistryStore(":memory:"); }

    HKEY Create(HKEY root, const char* path, DWORD* disposition = nullptr) {
        HKEY key = testing::CreateKey(root, path, disposition);
        EXPECT_NE(key, nullptr) << path;
        return key;
    }

    void SetString(HKEY key, const char* name, const std::string& text) {
        ASSERT_EQ(RegSetValueEx(key, name, 0, REG_SZ, text.c_str(),
                                static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }

    std::vector<std::string> Subkeys(HKEY key) { return testing::SubkeyNames(key); }

    std::vector<std::string> ValueNames(HKEY key) {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            const LONG rc = RegEnumValue(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            EXPECT_EQ(rc, ERROR_SUCCESS);
            names.emplace_back(name, size);
        }
        return names;
    }
};

TEST_F(Registry, CreateReportsCreatedThenOpenedWhateverTheCase) {
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Tarnwick\\Deep\\Path", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    key = Create(HKEY_CURRENT_USER, "SOFTWARE\\tarnwick\\DEEP\\path", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    // Every level was created, keeping the case it was created with.
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software", 0, KEY_READ, &software), ERROR_SUCCESS);
    EXPECT_EQ(Subkeys(software), std::vector<std::string>{"Tarnwick"});
    RegCloseKey(software);
}

TEST_F(Registry, BadPathsNamesAndHandlesGiveWin32Codes) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "\\Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
    const std::string longName(256, 'k');
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(Create(HKEY_CURRENT_USER, std::string(255, 'k').c_str()));

    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Missing\\Key", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKeyFromLong(0x1234), "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);

    HKEY open = Create(HKEY_CURRENT_USER, "Software");
    ASSERT_EQ(RegCloseKey(open), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(open), ERROR_INVALID_HANDLE);
    DWORD count = 0;
    EXPECT_EQ(RegQueryInfoKey(open, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);

    const std::string longValue(MAX_VALUE_NAME + 1, 'v');
    HKEY k = Create(HKEY_CURRENT_USER, "Software");
    EXPECT_EQ(RegSetValueEx(k, longValue.c_str(), 0, REG_SZ, "x", 2), ERROR_INVALID_PARAMETER);
    RegCloseKey(k);
}

TEST_F(Registry, SubkeysEnumerateByUpperCasedNameValuesInCreationOrder) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, "Software\\Order");
    for (const char* name : {"b", "A", "_x", "Z", "9", "10", "a.b"}) RegCloseKey(Create(key, name));
    EXPECT_EQ(Subkeys(key), (std::vector<std::string>{"10", "9", "A", "a.b", "b", "Z", "_x"}));

    SetString(key, "zeta", "1");
    SetString(key, "Alpha", "2");
    SetString(key, "", "default");
    SetString(key, "ZETA", "3");  // replaces zeta in place, keeping its name
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "Alpha", ""}));
    ASSERT_EQ(RegDeleteValue(key, "zeta"), ERROR_SUCCESS);
    SetString(key, "zeta", "4");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Alpha", "", "zeta"}));
    RegCloseKey(key);
}

TEST_F(Registry, EnumerationEndsWithNoMoreItems) {
    HKEY key = Create(HKEY_CURRENT_USER, "Empty");
    char name[16];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    size = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(Create(key, "One"));
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 7, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(Registry, NameBuffersCountTheZeroAndShortOnesGiveMoreData) {
    HKEY key = Create(HKEY_CURRENT_USER, "Buffers");
    RegCloseKey(Create(key, "alpha"));
    SetString(key, "alpha-name", "alpha-data");

    char name[32];
    DWORD size = 5;  // "alpha" needs 6 with its zero
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    size = 6;
    ASSERT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(name, "alpha");

    size = 10;
    EXPECT_EQ(RegEnumValue(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);

    // Type and size only; the size counts the string's zero.
    DWORD type = 0, data = 0;
    size = sizeof name;
    ASSERT_EQ(RegEnumValue(key, 0, name, &size, nullptr, &type, nullptr, &data), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data, 11u);

    char buffer[32];
    data = 5;
    size = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 0, name, &size, nullptr, &type, buffer, &data), ERROR_MORE_DATA);
    EXPECT_EQ(data, 11u);
    data = sizeof buffer;
    size = sizeof name;
    ASSERT_EQ(RegEnumValue(key, 0, name, &size, nullptr, &type, buffer, &data), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer, data), std::string("alpha-data\0", 11));
    RegCloseKey(key);
}

TEST_F(Registry, StringsStoredWithoutZeroReadBackWithOne) {
    HKEY key = Create(HKEY_CURRENT_USER, "Strings");
    ASSERT_EQ(RegSetValueEx(key, "bare", 0, REG_SZ, "abc", 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "empty", 0, REG_EXPAND_SZ, nullptr, 0), ERROR_SUCCESS);
    const DWORD number = 0x01020304;
    ASSERT_EQ(RegSetValueEx(key, "n", 0, REG_DWORD, &number, 4), ERROR_SUCCESS);
    const char multi[] = "a\0bc\0";
    ASSERT_EQ(RegSetValueEx(key, "m", 0, REG_MULTI_SZ, multi, sizeof multi), ERROR_SUCCESS);

    char buffer[16];
    DWORD type = 0, size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key, "BARE", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer, size), std::string("abc\0", 4));
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key, "empty", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_EXPAND_SZ);
    EXPECT_EQ(size, 1u);
    DWORD read = 0;
    size = sizeof read;
    ASSERT_EQ(RegQueryValueEx(key, "n", nullptr, &type, &read, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, number);
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key, "m", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer, size), std::string(multi, sizeof multi));
    EXPECT_EQ(RegQueryValueEx(key, "missing", nullptr, &type, buffer, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, QueryInfoGivesCountsAndLongestLengths) {
    HKEY key = Create(HKEY_CURRENT_USER, "Info");
    RegCloseKey(Create(key, "short"));
    RegCloseKey(Create(key, "a-longer-name"));
    SetString(key, "", "");
    SetString(key, "value-name", "twelve chars");
    const BYTE blob[40] = {};
    ASSERT_EQ(RegSetValueEx(key, "b", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr,
                              &values, &longestName, &longestData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 2u);
    EXPECT_EQ(longestSubkey, 13u);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(longestName, 10u);
    EXPECT_EQ(longestData, 40u);
    RegCloseKey(key);
}

TEST_F(Registry, DeletingFollowsWindowsRules) {
    HKEY key = Create(HKEY_CURRENT_USER, "Tree\\Leaf");
    HKEY tree = Create(HKEY_CURRENT_USER, "Tree");
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(tree, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(tree, "missing"), ERROR_FILE_NOT_FOUND);
    SetString(key, "v", "x");
    ASSERT_EQ(RegDeleteKey(tree, "LEAF"), ERROR_SUCCESS);

    // The handle to the deleted key now reports it as deleted.
    DWORD count = 0;
    EXPECT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_SZ, "y", 2), ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyEx(key, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(Subkeys(tree), std::vector<std::string>{});
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Tree"), ERROR_SUCCESS);

    // Roots and the key behind HKEY_CLASSES_ROOT stay.
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_USERS, ""), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    RegCloseKey(tree);
}

TEST_F(Registry, ClassesRootShowsLocalMachineSoftwareClasses) {
    HKEY key = Create(HKEY_CLASSES_ROOT, "Excel.Sheet.8\\CLSID");
    SetString(key, "", "{00020820-0000-0000-C000-000000000046}");
    RegCloseKey(key);
    HKEY same = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\excel.sheet.8\\clsid", 0,
                           KEY_READ, &same),
              ERROR_SUCCESS);
    char data[64];
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueEx(same, nullptr, nullptr, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_STREQ(data, "{00020820-0000-0000-C000-000000000046}");
    RegCloseKey(same);
    // The root's 32-bit value, as a VB Long holds it, is the same handle.
    HKEY viaLong = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKeyFromLong(static_cast<std::int32_t>(0x80000000u)), "Excel.Sheet.8",
                           0, KEY_READ, &viaLong),
              ERROR_SUCCESS);
    EXPECT_EQ(LongFromHKey(HKEY_LOCAL_MACHINE), -2147483646);
    RegCloseKey(viaLong);
}

TEST_F(Registry, HandlesAllowOnlyWhatTheyWereOpenedFor) {
    RegCloseKey(Create(HKEY_CURRENT_USER, "Rights\\Sub"));
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Rights", 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(reader, "v", 0, REG_SZ, "x", 2), ERROR_ACCESS_DENIED);
    HKEY writer = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Rights", 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                           &writer),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(writer, "v", 0, REG_SZ, "x", 2), ERROR_SUCCESS);
    char name[8];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(writer, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
    RegCloseKey(writer);
}

TEST_F(Registry, EnumerationSeesChangesMadeThroughOtherHandles) {
    HKEY key = Create(HKEY_CURRENT_USER, "Live");
    RegCloseKey(Create(key, "B"));
    EXPECT_EQ(Subkeys(key), std::vector<std::string>{"B"});
    RegCloseKey(Create(HKEY_CURRENT_USER, "Live\\A"));
    EXPECT_EQ(Subkeys(key), (std::vector<std::string>{"A", "B"}));
    // Deleting subkey 0 moves the next one into its place.
    ASSERT_EQ(RegDeleteKey(key, "A"), ERROR_SUCCESS);
    char name[8];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "B");
    RegCloseKey(key);
}

TEST_F(Registry, AnInjectedFailureHitsExactlyTheNthCall) {
    HKEY key = Create(HKEY_CURRENT_USER, "Faults");
    FailNthRegistryCall(2, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueEx(key, "a", 0, REG_SZ, "1", 2), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "b", 0, REG_SZ, "2", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueEx(key, "c", 0, REG_SZ, "3", 2), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"a", "c"}));
    FailNthRegistryCall(1, ERROR_BADKEY);
    FailNthRegistryCall(0, ERROR_BADKEY);
    EXPECT_EQ(RegDeleteValue(key, "a"), ERROR_SUCCESS);
    RegCloseKey(key);
}

// ---- The store file ----------------------------------------------------------

TEST(RegistryStore, KeepsKeysInTheFileAcrossReopening) {
    TempFolder folder;
    const std::string path = folder / "sub/dir/registry.db";
    UseRegistryStore(path);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Kept", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "v", 0, REG_SZ, "x", 2), ERROR_SUCCESS);
    CloseRegistryStore();
    // A handle of the closed store is no longer valid.
    EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_SZ, "y", 2), ERROR_INVALID_HANDLE);
    UseRegistryStore(path);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "kept", 0, KEY_READ, &key), ERROR_SUCCESS);
    char data[4];
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_STREQ(data, "x");
    RegCloseKey(key);
    UseRegistryStore(":memory:");
}

TEST(RegistryStore, EnvironmentChoosesTheDefaultFile) {
    TempFolder folder;
    const std::string path = folder / "env.db";
    ::setenv("TARNWICK_REGISTRY", path.c_str(), 1);
    UseRegistryStore("");
    EXPECT_EQ(RegistryStorePath(), path);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_USERS, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::exists(path));
    ::unsetenv("TARNWICK_REGISTRY");
    ::setenv("XDG_DATA_HOME", folder.Path().c_str(), 1);
    EXPECT_EQ(RegistryStorePath(), folder / "tarnwick/registry.db");
    ::unsetenv("XDG_DATA_HOME");
    UseRegistryStore(":memory:");
}

TEST(RegistryStore, AForeignDatabaseIsRefusedAndLeftUnchanged) {
    TempFolder folder;
    const std::string path = folder / "other.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const std::string before = testing::ReadBytes(path);
    try {
        UseRegistryStore(path);
        FAIL() << "no error";
    } catch (const RegistryStoreError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The file " + path + " is a database, but not a registry store; it was left "
                  "unchanged");
    }
    EXPECT_EQ(testing::ReadBytes(path), before);
    UseRegistryStore(":memory:");
}

TEST(RegistryStore, ADamagedStoreGivesAnErrorNamingTheFile) {
    TempFolder folder;
    const std::string path = folder / "damaged.db";
    UseRegistryStore(path);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Many", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             &key, nullptr),
              ERROR_SUCCESS);
    for (int i = 0; i < 2000; ++i) {
        HKEY sub = nullptr;
        ASSERT_EQ(RegCreateKeyEx(key, ("Key" + std::to_string(i)).c_str(), 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &sub, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    CloseRegistryStore();
    std::string bytes = testing::ReadBytes(path);
    ASSERT_GT(bytes.size(), 16384u);
    for (std::size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ i);
    testing::WriteBytes(path, bytes);

    LONG rc = ERROR_SUCCESS;
    try {
        UseRegistryStore(path);
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Many", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
        rc = ERROR_REGISTRY_CORRUPT;
    } catch (const RegistryStoreError& e) {
        rc = e.Code();
    }
    EXPECT_EQ(rc, ERROR_REGISTRY_CORRUPT);
    EXPECT_NE(LastRegistryStoreError().find(path), std::string::npos) << LastRegistryStoreError();
    EXPECT_NE(LastRegistryStoreError().find("damaged"), std::string::npos) << LastRegistryStoreError();
    UseRegistryStore(":memory:");
}

TEST(RegistryStore, AFileThatIsNoRegistryStoreIsReportedAndLeftAlone) {
    TempFolder folder;
    const std::string text = folder / "notes.txt";
    testing::WriteBytes(text, std::string(3000, 'x'));
    try {
        UseRegistryStore(text);
        FAIL() << "no error";
    } catch (const RegistryStoreError& e) {
        EXPECT_EQ(e.Code(), ERROR_REGISTRY_CORRUPT);
        EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "x", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_NE(LastRegistryStoreError().find(text), std::string::npos);
    EXPECT_EQ(testing::ReadBytes(text), std::string(3000, 'x'));
    UseRegistryStore(":memory:");
}

// A store another program has just created and not yet switched to its
// journal mode, while a third program holds the write lock for a moment (as
// programs that open a fresh store at once do, each setting it up or
// importing): the open waits for the lock instead of failing at once.
TEST(RegistryStore, OpensAStoreThatAnotherProgramIsWritingWhileSettingItUp) {
    TempFolder folder;
    const std::string path = folder / "registry.db";
    UseRegistryStore(path);
    CloseRegistryStore();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    std::string failure;
    try {
        UseRegistryStore(path);
        HKEY key = testing::CreateKey(HKEY_CURRENT_USER, "Imported");
        EXPECT_NE(key, nullptr);
        RegCloseKey(key);
    } catch (const RegistryStoreError& e) {
        failure = e.what();
    }
    writer.join();
    sqlite3_close(other);
    UseRegistryStore(":memory:");
    EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace win
