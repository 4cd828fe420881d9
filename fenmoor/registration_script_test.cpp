#include "fenmoor/registration_script.h"

#include <gtest/gtest.h>

namespace fenmoor {
namespace {

const std::string kClsid = "{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}";
const std::string kHeader = "REGEDIT4\r\n\r\n";
const std::string kCategories =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}"
    "\\Implemented Categories]\r\n\r\n";
const std::string kScripting =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}"
    "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}]\r\n\r\n";
const std::string kInitialization =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}"
    "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}]\r\n\r\n";
const std::string kLaunch =
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch"
    "\\Orders.Ledger]\r\n\r\n";

// Every combination of the three boxes, byte for byte: the header always, the
// categories key with either category, then the lines in their fixed order.
TEST(BuildRegScript, EachCombinationOfChoices) {
    struct Case {
        bool scripting, initialization, launch;
        std::string expected;
    };
    const Case cases[] = {
        {false, false, false, kHeader},
        {true, false, false, kHeader + kCategories + kScripting},
        {false, true, false, kHeader + kCategories + kInitialization},
        {false, false, true, kHeader + kLaunch},
        {true, true, false, kHeader + kCategories + kScripting + kInitialization},
        {true, false, true, kHeader + kCategories + kScripting + kLaunch},
        {false, true, true, kHeader + kCategories + kInitialization + kLaunch},
        {true, true, true, kHeader + kCategories + kScripting + kInitialization + kLaunch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.scripting) + std::to_string(c.initialization) +
                     std::to_string(c.launch));
        EXPECT_EQ(BuildRegScript(kClsid, "Orders.Ledger",
                                 {c.scripting, c.initialization, c.launch}),
                  c.expected);
    }
}

TEST(BuildRegScript, IdentifiersGoInAsTheyStand) {
    // No quoting, no case change, no check of the key's form.
    EXPECT_EQ(BuildRegScript("clsid-not-braced", "a]b", {true, false, true}),
              kHeader +
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\clsid-not-braced\\Implemented "
                  "Categories]\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\clsid-not-braced\\Implemented "
                  "Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}]\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters"
                  "\\ADCLaunch\\a]b]\r\n\r\n");
}

TEST(BuildRegScript, RemovalDeletesTheChosenEntriesButNotTheSharedCategoriesKey) {
    auto removal = [](const std::string& line) { return "[-" + line.substr(1); };
    EXPECT_EQ(BuildRegScript(kClsid, "Orders.Ledger", {true, true, true, true}),
              kHeader + removal(kScripting) + removal(kInitialization) + removal(kLaunch));
    EXPECT_EQ(BuildRegScript(kClsid, "Orders.Ledger", {false, true, false, true}),
              kHeader + removal(kInitialization));
    EXPECT_EQ(BuildRegScript(kClsid, "Orders.Ledger", {false, false, false, true}), kHeader);
}

TEST(RefuseRegScript, KeysAndNamesThatWouldAddressOtherKeysAreRefused) {
    const ScriptChoices all{true, true, true};
    EXPECT_EQ(RefuseRegScript(kClsid, "Orders.Ledger", all), "");
    EXPECT_EQ(RefuseRegScript(kClsid, "Orders Ledger (v2)", all), "");
    struct Case {
        std::string clsid, name, refusal;
    };
    const Case cases[] = {
        {"", "Orders.Ledger", "The component's key is empty"},
        {kClsid, "", "The component's name is empty"},
        {kClsid, "a\r\n[-HKEY_CURRENT_USER\\Software]",
         "The component's name \"a\\r\\n[-HKEY_CURRENT_USER\\Software]\" holds a line break"},
        {kClsid, "Orders]", "The component's name \"Orders]\" holds \"]\""},
        {kClsid, "[Orders", "The component's name \"[Orders\" holds \"[\""},
        {kClsid, "Say\"hi", "The component's name \"Say\"hi\" holds \"\"\""},
        {kClsid, "..\\Other", "The component's name \"..\\Other\" holds \"\\\""},
        {"{A}\\..", "x", "The component's key \"{A}\\..\" holds \"\\\""},
        {"{A}]\r\n", "x", "The component's key \"{A}]\\r\\n\" holds a line break"},
    };
    for (const Case& c : cases) EXPECT_EQ(RefuseRegScript(c.clsid, c.name, all), c.refusal) << c.name;
    // Only what the chosen entries use is checked.
    EXPECT_EQ(RefuseRegScript("", "Orders.Ledger", {false, false, true}), "");
    EXPECT_EQ(RefuseRegScript(kClsid, "", {true, true, false}), "");
}

}  // namespace
}  // namespace fenmoor
