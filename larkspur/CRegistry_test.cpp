#include "larkspur/CRegistry.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/vb_error.h"
#include "larkspur/test_support.h"

namespace larkspur {
namespace {

using testing::StoreTest;

// Runs f and answers the VbError it raises (number, source, description).
template <class F>
vb::VbError Raised(F f) {
    try {
        f();
    } catch (const vb::VbError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return vb::VbError(0);
}

bool KeyExists(win::HKEY root, const char* path) {
    win::HKEY h = nullptr;
    if (win::RegOpenKeyEx(root, path, 0, win::KEY_READ, &h) != win::ERROR_SUCCESS) return false;
    win::RegCloseKey(h);
    return true;
}

// The string value `name` of HKEY_LOCAL_MACHINE\<path>; nullopt when absent.
[[maybe_unused]] std::optional<std::string> StoredValue(const char* path, const char* name) {
    win::HKEY h = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, path, 0, win::KEY_READ, &h) != win::ERROR_SUCCESS)
        return std::nullopt;
    char data[64] = {};
    win::DWORD type = 0, size = sizeof data - 1;
    const bool found = win::RegQueryValueEx(h, name, nullptr, &type, data, &size) == win::ERROR_SUCCESS;
    win::RegCloseKey(h);
    return found ? std::optional<std::string>(data) : std::nullopt;
}

// Failing the n-th registry call is a hook of the suite's own store.
#ifdef _WIN32
#define LARKSPUR_NEEDS_FAULT_HOOK() GTEST_SKIP() << "failing a chosen registry call needs the suite's own store"
#else
#define LARKSPUR_NEEDS_FAULT_HOOK() (void)0
#endif

#ifndef _WIN32
// Makes registry call n fail while `operation` runs (n = 1, 2, 3, ...); true
// when the failure happened, false when the operation made fewer calls.
template <class F>
bool WithRegistryCallFailing(unsigned n, F operation) {
    win::FailNthRegistryCall(n, win::ERROR_ACCESS_DENIED);
    operation();
    const bool failed = !win::RegistryFailurePending();
    win::FailNthRegistryCall(0, 0);
    return failed;
}
#endif

class CRegistryTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        Import(
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n"
            "@=\"default data\"\r\n"
            "\"Alpha\"=\"one\"\r\n"
            "\"1\"=\"named one\"\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\X\\Beta]\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\X\\alpha]\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\X\\Beta\\Deep\\Deeper]\r\n"
            "\"v\"=\"w\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Y\\OnlyY]\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Numbers]\r\n"
            "\"Count\"=dword:00000007\r\n"
            "\"Later\"=\"string after a number\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Expand]\r\n"
            "@=hex(2):25,00\r\n");
    }
    CRegistry reg;
};

TEST_F(CRegistryTest, StartsOnTheLocalMachineRootWithEmptyTables) {
    EXPECT_EQ(reg.root(), kHKeyLocalMachine);
    EXPECT_EQ(reg.root(), -2147483646);
    EXPECT_EQ(reg.key(), "");
    EXPECT_TRUE(reg.AutoCreate());
    EXPECT_EQ(reg.ValueCount(), 0);
    EXPECT_EQ(reg.SubKeyCount(), 0);
    EXPECT_EQ(reg.GetName(0), "");
    EXPECT_EQ(reg.GetValue(std::int16_t{0}), "");
    EXPECT_EQ(reg.GetSubKey(0), "");
    reg.SetDefault("ignored");
    EXPECT_EQ(reg.Default(), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, ReadsStringValuesAndSubkeysWithATrailingEmptyColumn) {
    LARKSPUR_NEEDS_VALUES_IN_ORDER_MADE();
    reg.SetKey("Software\\X");
    ASSERT_EQ(reg.ValueCount(), 3);
    EXPECT_EQ(reg.GetName(0), "");
    EXPECT_EQ(reg.GetValue(std::int16_t{0}), "default data");
    EXPECT_EQ(reg.GetName(1), "Alpha");
    EXPECT_EQ(reg.GetValue(std::int16_t{1}), "one");
    EXPECT_EQ(reg.GetName(2), "1");
    // Column ValueCount is the empty one; past it names are empty.
    EXPECT_EQ(reg.GetName(3), "");
    EXPECT_EQ(reg.GetValue(std::int16_t{3}), "");
    EXPECT_EQ(reg.GetName(4), "");
    EXPECT_EQ(reg.GetName(-1), "");
    // Subkeys sorted by their upper-cased names.
    ASSERT_EQ(reg.SubKeyCount(), 2);
    EXPECT_EQ(reg.GetSubKey(0), "alpha");
    EXPECT_EQ(reg.GetSubKey(1), "Beta");
    EXPECT_EQ(reg.GetSubKey(2), "");
    EXPECT_EQ(reg.GetSubKey(-1), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, GetValueErrorsAreShownTitledWithTheirSource) {
    reg.SetKey("Software\\X");
    EXPECT_EQ(reg.GetValue(std::int16_t{4}), "");
    EXPECT_EQ(reg.GetValue(std::int16_t{-1}), "");
    EXPECT_EQ(reg.GetValue(Null{}), "");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].prompt, "Subscript out of range");
    EXPECT_EQ(ui.messages[0].title, "Larkspur.CRegistry");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbOKOnly);
    EXPECT_EQ(ui.messages[2].prompt, "Invalid use of Null");
}

TEST_F(CRegistryTest, GetValueByNameIgnoresCaseAndTakesLongsAsNames) {
    LARKSPUR_NEEDS_VALUES_IN_ORDER_MADE();
    reg.SetKey("Software\\X");
    EXPECT_EQ(reg.GetValue(std::string("ALPHA")), "one");
    EXPECT_EQ(reg.GetValue(std::string("alpha")), "one");
    EXPECT_EQ(reg.GetValue(std::string("")), "default data");
    EXPECT_EQ(reg.GetValue(std::string("missing")), "");
    // A Long is the name made of its digits, an Integer a column.
    EXPECT_EQ(reg.GetValue(std::int32_t{1}), "named one");
    EXPECT_EQ(reg.GetValue(std::int16_t{1}), "one");
}

TEST_F(CRegistryTest, ValuesStopAtTheFirstValueOfAnotherType) {
    reg.SetKey("Software\\Numbers");
    EXPECT_EQ(reg.ValueCount(), 0);
    EXPECT_EQ(reg.GetValue(std::string("Later")), "");
    reg.SetKey("Software\\Expand");
    EXPECT_EQ(reg.ValueCount(), 0);
    EXPECT_EQ(reg.GetValue(std::string("")), "");
}

TEST_F(CRegistryTest, ReadingAnotherKeyReplacesBothTables) {
    reg.SetKey("Software\\X");
    reg.SetKey("Software\\Y");
    EXPECT_EQ(reg.ValueCount(), 0);
    EXPECT_EQ(reg.GetName(0), "");
    EXPECT_EQ(reg.GetValue(std::string("Alpha")), "");
    ASSERT_EQ(reg.SubKeyCount(), 1);
    EXPECT_EQ(reg.GetSubKey(0), "OnlyY");
    EXPECT_EQ(reg.GetSubKey(1), "");
}

TEST_F(CRegistryTest, MissingKeyIsCreatedOnlyWithAutoCreate) {
    reg.SetKey("Software\\New\\Level");
    EXPECT_TRUE(KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\New\\Level"));
    EXPECT_EQ(reg.ValueCount(), 0);
    EXPECT_EQ(reg.SubKeyCount(), 0);

    reg.SetAutoCreate(false);
    const vb::VbError e = Raised([&] { reg.SetKey("Software\\Absent"); });
    EXPECT_EQ(e.Number(), -2147220991);
    EXPECT_EQ(e.Source(), "GetKeyInfo");
    EXPECT_EQ(e.Description(), "Unable to open Key");
    EXPECT_EQ(reg.key(), "Software\\Absent");
    EXPECT_FALSE(KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\Absent"));
    EXPECT_EQ(Raised([&] { reg.Refresh(); }).Number(), kErrUnableToOpen);
}

TEST_F(CRegistryTest, RootLetCreatesTheCurrentPathUnderTheNewRootSilently) {
    LARKSPUR_NEEDS_PRIVATE_CLASSES();
    reg.SetKey("Software\\X\\Beta");
    reg.SetRoot(kHKeyClassesRoot);
    EXPECT_EQ(reg.root(), -2147483648);
    // HKEY_CLASSES_ROOT is SOFTWARE\Classes of the local machine.
    EXPECT_TRUE(KeyExists(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Software\\X\\Beta"));
    // The tables still describe the key read under the old root.
    EXPECT_EQ(reg.SubKeyCount(), 1);
    EXPECT_EQ(reg.GetSubKey(0), "Deep");
    reg.SetRoot(0);
    EXPECT_EQ(reg.root(), 0);
    EXPECT_EQ(Raised([&] { reg.Refresh(); }).Description(), "Unable to open Key");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, CountLets) {
    const vb::VbError e = Raised([&] { reg.SetValueCount(5); });
    EXPECT_EQ(e.Number(), -2147220985);
    EXPECT_EQ(e.Source(), "CRegistry.Let ValueCount");
    EXPECT_EQ(e.Description(), "The Let Property is not available");
    reg.SetKey("Software\\X");
    reg.SetSubKeyCount(1);
    EXPECT_EQ(reg.SubKeyCount(), 1);
    EXPECT_EQ(reg.GetSubKey(1), "");
    // A count raised past what was read does not read past the list.
    reg.SetSubKeyCount(9);
    EXPECT_EQ(Raised([&] { (void)reg.GetSubKey(5); }).Number(), 9);
    reg.Refresh();
    EXPECT_EQ(reg.SubKeyCount(), 2);
}

TEST_F(CRegistryTest, SetValueByNameOrPositionAndDeleteValue) {
    LARKSPUR_NEEDS_VALUES_IN_ORDER_MADE();
    reg.SetKey("Software\\X");
    EXPECT_TRUE(reg.SetValue(std::string("Gamma"), "three"));
    // The tables are not re-read by SetValue.
    EXPECT_EQ(reg.GetValue(std::string("Gamma")), "");
    EXPECT_TRUE(reg.SetValue(std::int16_t{1}, "uno"));       // column 1 is Alpha
    EXPECT_TRUE(reg.SetValue(std::int16_t{7}, "new default"));  // outside: the default value
    reg.Refresh();
    EXPECT_EQ(reg.GetValue(std::string("Gamma")), "three");
    EXPECT_EQ(reg.GetValue(std::string("Alpha")), "uno");
    EXPECT_EQ(reg.GetValue(std::string("")), "new default");
    EXPECT_EQ(reg.ValueCount(), 4);

    EXPECT_TRUE(reg.DeleteValue("gamma"));
    EXPECT_EQ(reg.ValueCount(), 3);  // DeleteValue re-reads the key
    EXPECT_FALSE(reg.DeleteValue("gamma"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, SetValueWithoutAKeyFailsQuietly) {
    EXPECT_FALSE(reg.SetValue(std::string("a"), "b"));
    reg.SetAutoCreate(false);
    reg.SetKey("Software\\X");
    EXPECT_TRUE(reg.SetValue(std::string("a"), "b"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, CreateExtendsThePathAndSetsAValue) {
    reg.SetKey("Software\\X");
    EXPECT_TRUE(reg.Create("Sub", std::string("Name"), "Data"));
    EXPECT_EQ(reg.key(), "Software\\X\\Sub");
    reg.Refresh();
    EXPECT_EQ(reg.GetValue(std::string("name")), "Data");
    // KeyName equal to the path creates the current key itself.
    reg.SetAutoCreate(false);
    EXPECT_TRUE(reg.Create("Software\\X\\Sub"));
    EXPECT_EQ(reg.key(), "Software\\X\\Sub");
    // A path that cannot exist (a leading backslash) gives false, no message.
    CRegistry empty;
    EXPECT_FALSE(empty.Create("Top"));
    EXPECT_EQ(empty.key(), "\\Top");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CRegistryTest, DeleteKeyRemovesTheWholeTreeFromTheBottom) {
    reg.SetKey("Software\\X");
    EXPECT_TRUE(reg.DeleteKey("beta"));
    EXPECT_FALSE(KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\X\\Beta"));
    EXPECT_TRUE(KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\X\\alpha"));
    EXPECT_EQ(reg.key(), "Software\\X");
    EXPECT_FALSE(reg.DeleteKey("Beta"));  // gone already
    // The tables are not refreshed.
    EXPECT_EQ(reg.SubKeyCount(), 2);
}

TEST_F(CRegistryTest, DeleteKeyAnswersTrueOnlyWhenTheKeyIsGoneWhicheverCallFails) {
    LARKSPUR_NEEDS_FAULT_HOOK();
#ifndef _WIN32
    for (unsigned n = 1;; ++n) {
        SCOPED_TRACE("registry call " + std::to_string(n) + " fails");
        Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\X\\Beta\\Deep\\Deeper]\r\n\"v\"=\"w\"\r\n");
        reg.SetKey("Software\\X");
        bool deleted = false;
        const bool failed = WithRegistryCallFailing(n, [&] { deleted = reg.DeleteKey("Beta"); });
        EXPECT_EQ(deleted, !KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\X\\Beta"));
        EXPECT_EQ(reg.key(), "Software\\X");
        if (!failed) {
            EXPECT_TRUE(deleted);
            break;
        }
    }

    // The key behind HKEY_CLASSES_ROOT itself is refused; its contents go.
    Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Some.Thing\\CLSID]\r\n");
    reg.SetKey("SOFTWARE");
    EXPECT_FALSE(reg.DeleteKey("Classes"));
    EXPECT_TRUE(KeyExists(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes"));
    EXPECT_FALSE(KeyExists(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Some.Thing"));
#endif
}

TEST_F(CRegistryTest, CreateExFailuresCarryTheirNumbersAndRefreshReportsAnyAsItsOwn) {
    LARKSPUR_NEEDS_FAULT_HOOK();
#ifndef _WIN32
    reg.SetKey("Software\\X");
    win::FailNthRegistryCall(1, win::ERROR_BADKEY);
    vb::VbError e = Raised([&] { reg.SetValue(std::string("a"), "b"); });
    EXPECT_EQ(e.Number(), -2147220991);
    EXPECT_EQ(e.Source(), "CreateEx");
    EXPECT_EQ(e.Description(), "Cannot Open Parent Key");
    win::FailNthRegistryCall(1, win::ERROR_ACCESS_DENIED);
    e = Raised([&] { reg.SetValue(std::string("a"), "b"); });
    EXPECT_EQ(e.Number(), -2147220983);
    EXPECT_EQ(e.Description(), "Unknown Error: 5");
    // A refresh that cannot open or measure the key raises its own error; a
    // failed read of a value ends the table there, holding what was read.
    int raised = 0;
    for (unsigned n = 1;; ++n) {
        std::string source;
        const bool failed = WithRegistryCallFailing(n, [&] {
            try {
                reg.Refresh();
            } catch (const vb::VbError& e) {
                source = e.Source();
            }
        });
        if (!failed) {
            EXPECT_EQ(source, "");
            EXPECT_EQ(reg.ValueCount(), 3);
            break;
        }
        if (!source.empty()) ++raised;
        EXPECT_TRUE(source.empty() || source == "GetKeyInfo") << source << ", registry call " << n;
        EXPECT_LE(reg.ValueCount(), 3) << "registry call " << n;
    }
    EXPECT_GT(raised, 0);
    EXPECT_TRUE(ui.messages.empty());

#endif
}

TEST_F(CRegistryTest, SetValueRaisesOrShowsEveryFailedCallAndWritesNothing) {
    LARKSPUR_NEEDS_FAULT_HOOK();
#ifndef _WIN32
    reg.SetKey("Software\\X");
    int shown = 0;
    for (unsigned n = 1;; ++n) {
        SCOPED_TRACE("registry call " + std::to_string(n) + " fails");
        ui.messages.clear();
        std::optional<bool> written;  // empty when SetValue raised
        const bool failed = WithRegistryCallFailing(n, [&] {
            try {
                written = reg.SetValue(std::string("a"), "b");
            } catch (const vb::VbError& e) {
                EXPECT_EQ(e.Source(), "CreateEx");
            }
        });
        if (!failed) {
            EXPECT_EQ(written, true);
            EXPECT_EQ(StoredValue("Software\\X", "a"), "b");
            EXPECT_TRUE(ui.messages.empty());
            break;
        }
        EXPECT_NE(written, true);
        EXPECT_EQ(StoredValue("Software\\X", "a"), std::nullopt);
        // A key that opened but refused the value is shown; a key that did
        // not open raises instead.
        ASSERT_EQ(ui.messages.size(), written.has_value() ? 1u : 0u);
        if (written) {
            EXPECT_EQ(ui.messages[0].prompt, "Darn!!  Couldn't write new value.");
            EXPECT_EQ(ui.messages[0].title, "Larkspur");
            ++shown;
        }
    }
    EXPECT_GT(shown, 0);
#endif
}

TEST_F(CRegistryTest, CreateKeepsAKeyWhoseValueFailedAndSaysSo) {
    LARKSPUR_NEEDS_FAULT_HOOK();
#ifndef _WIN32
    int keptWithoutValue = 0;
    for (unsigned n = 1;; ++n) {
        SCOPED_TRACE("registry call " + std::to_string(n) + " fails");
        win::RegDeleteKey(win::HKEY_LOCAL_MACHINE, "Software\\X\\Made");
        reg.SetKey("Software\\X");
        ui.messages.clear();
        bool created = false;
        const bool failed = WithRegistryCallFailing(n, [&] { created = reg.Create("Made", std::string("a"), "b"); });
        const auto value = StoredValue("Software\\X\\Made", "a");
        if (!failed) {
            EXPECT_TRUE(created);
            EXPECT_EQ(value, "b");
            EXPECT_TRUE(ui.messages.empty());
            break;
        }
        EXPECT_EQ(value, std::nullopt);
        if (created) {
            // The key was made; the value that failed is reported.
            EXPECT_TRUE(KeyExists(win::HKEY_LOCAL_MACHINE, "Software\\X\\Made"));
            ASSERT_FALSE(ui.messages.empty());
            EXPECT_EQ(ui.messages.back().prompt, "Could not set value");
            ++keptWithoutValue;
        }
    }
    EXPECT_GT(keptWithoutValue, 0);
#endif
}

TEST_F(CRegistryTest, MoreThan32767SubkeysCannotBeRead) {
    Import(testing::ManySubkeys("HKEY_LOCAL_MACHINE\\Software\\Big", 32768));
    const vb::VbError e = Raised([&] { reg.SetKey("Software\\Big"); });
    EXPECT_EQ(e.Number(), kErrUnableToOpen);
    EXPECT_EQ(e.Source(), "GetKeyInfo");
    EXPECT_EQ(e.Description(), "Unable to open Key");
    EXPECT_EQ(reg.SubKeyCount(), 0);
    EXPECT_EQ(reg.GetSubKey(0), "");
}

TEST_F(CRegistryTest, MoreThan32767ValuesCannotBeRead) {
    std::string script = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wide]\r\n";
    for (int i = 0; i < 32768; ++i) script += "\"v" + std::to_string(i) + "\"=\"x\"\r\n";
    Import(script);
    EXPECT_EQ(Raised([&] { reg.SetKey("Software\\Wide"); }).Description(), "Unable to open Key");
    EXPECT_EQ(reg.ValueCount(), 0);
}

}  // namespace
}  // namespace larkspur
