// What the registry functions do where Windows itself defines it. The same
// cases run over the suite's store (Linux) and over the system's registry
// (the Windows build, under Wine), each in a scratch key of its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/guid.h"
#include "platform/win/registry.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

class RegistryBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        UseRegistryStore(":memory:");
#endif
        GUID g;
        ASSERT_EQ(CoCreateGuid(&g), S_OK);
        char text[39];
        StringFromGUID2(g, text, 39);
        path_ = std::string("Software\\Tarnwick Tests\\") + text;
        base = Create(HKEY_CURRENT_USER, path_.c_str());
    }

    void TearDown() override {
        RegCloseKey(base);
        testing::DeleteKeyTree(HKEY_CURRENT_USER, path_);
    }


    HKEY Create(HKEY root, const char* path, DWORD* disposition = nullptr) {
        HKEY key = testing::CreateKey(root, path, disposition);
        EXPECT_NE(key, nullptr) << path;
        return key;
    }

    void SetString(HKEY key, const char* name, const std::string& text) {
        ASSERT_EQ(
            RegSetValueEx(key, name, 0, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
    }

    std::vector<std::string> Subkeys(HKEY key) {
        return testing::SubkeyNames(key);
    }

    HKEY base = nullptr;

private:
    std::string path_;
};

TEST_F(RegistryBehaviour, CreateReportsCreatedThenOpenedWhateverTheCaseAndMakesEveryLevel) {
    DWORD disposition = 0;
    HKEY key = Create(base, "Alpha\\Beta\\Gamma", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    key = Create(base, "ALPHA\\beta\\gamma", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    // Every level exists, under the case it was created with.
    EXPECT_EQ(Subkeys(base), std::vector<std::string>{"Alpha"});
    HKEY alpha = nullptr;
    ASSERT_EQ(RegOpenKeyEx(base, "alpha", 0, KEY_READ, &alpha), ERROR_SUCCESS);
    EXPECT_EQ(Subkeys(alpha), std::vector<std::string>{"Beta"});
    RegCloseKey(alpha);
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyEx(base, "Alpha\\Missing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryBehaviour, EnumerationEndsWithNoMoreItemsAndShortBuffersGiveMoreData) {
    char name[256];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(base, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    size = sizeof name;
    EXPECT_EQ(RegEnumValue(base, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    RegCloseKey(Create(base, "Provider"));
    SetString(base, "alpha", "alpha-data");
    size = 8;  // "Provider" needs 9 with its zero
    EXPECT_EQ(RegEnumKeyEx(base, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    size = 9;
    ASSERT_EQ(RegEnumKeyEx(base, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_STREQ(name, "Provider");
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(base, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    // A string's data size counts its zero; a null data pointer asks for type and size.
    DWORD type = 0, bytes = 0;
    size = sizeof name;
    ASSERT_EQ(RegEnumValue(base, 0, name, &size, nullptr, &type, nullptr, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name, size), "alpha");
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, 11u);
    // The name may be left out of a type and size query too.
    type = bytes = 0;
    ASSERT_EQ(RegEnumValue(base, 0, nullptr, nullptr, nullptr, &type, nullptr, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, 11u);
    char data[4];
    bytes = sizeof data;
    EXPECT_EQ(RegQueryValueEx(base, "ALPHA", nullptr, &type, data, &bytes), ERROR_MORE_DATA);
    EXPECT_EQ(bytes, 11u);
}

TEST_F(RegistryBehaviour, ValuesEnumerateInCreationOrderAndTheDefaultHasNoName) {
    SetString(base, "zeta", "1");
    SetString(base, "", "default");
    SetString(base, "alpha", "2");
    SetString(base, "ZETA", "3");  // replacing keeps the place and the stored case
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValue(base, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    if (!testing::RunningUnderWine()) {  // Wine enumerates values sorted by name
        EXPECT_EQ(names, (std::vector<std::string>{"zeta", "", "alpha"}));
    }
    char data[16];
    DWORD bytes = sizeof data, type = 0;
    ASSERT_EQ(RegQueryValueEx(base, nullptr, nullptr, &type, data, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(data, "default");
    bytes = sizeof data;
    ASSERT_EQ(RegQueryValueEx(base, "Zeta", nullptr, &type, data, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(data, "3");
}

TEST_F(RegistryBehaviour, QueryInfoGivesCountsAndLongestLengths) {
    RegCloseKey(Create(base, "Short"));
    RegCloseKey(Create(base, "A Longer Name"));
    SetString(base, "v", "0123456789");
    SetString(base, "longest value", "x");
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    ASSERT_EQ(RegQueryInfoKey(base, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                              &values, &maxValueName, &maxData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(maxSubKey, 13u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxValueName, 13u);
    // Windows may count the data as kept (UTF-16); the size is enough either way.
    EXPECT_GE(maxData, 11u);
}

TEST_F(RegistryBehaviour, DeletingAKeyWithSubkeysIsRefusedAndMissingNamesAreNotFound) {
    HKEY leaf = Create(base, "Tree\\Leaf");
    HKEY tree = Create(base, "Tree");
    EXPECT_EQ(RegDeleteKey(base, "Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(tree, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(tree, "missing"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegDeleteKey(tree, "LEAF"), ERROR_SUCCESS);
    // A handle to the deleted key reports it as deleted.
    EXPECT_EQ(RegSetValueEx(leaf, "v", 0, REG_SZ, "y", 2), ERROR_KEY_DELETED);
    EXPECT_EQ(Subkeys(tree), std::vector<std::string>{});
    RegCloseKey(leaf);
    RegCloseKey(tree);
    EXPECT_EQ(RegDeleteKey(base, "Tree"), ERROR_SUCCESS);
}

TEST_F(RegistryBehaviour, ClassesRootIsLocalMachineSoftwareClasses) {
    const std::string name =
        "Tarnwick.BehaviourTest." + std::to_string(reinterpret_cast<std::uintptr_t>(base));
    HKEY key = Create(HKEY_CLASSES_ROOT, name.c_str());
    SetString(key, "", "through the classes root");
    RegCloseKey(key);
    HKEY seen = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\" + name).c_str(), 0, KEY_READ,
                           &seen),
              ERROR_SUCCESS);
    char data[64];
    DWORD bytes = sizeof data;
    EXPECT_EQ(RegQueryValueEx(seen, "", nullptr, nullptr, data, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(data, "through the classes root");
    RegCloseKey(seen);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, name.c_str()), ERROR_SUCCESS);
}

}  // namespace
}  // namespace win
