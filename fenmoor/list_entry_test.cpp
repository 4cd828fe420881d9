#include "fenmoor/list_entry.h"

#include <gtest/gtest.h>

namespace fenmoor {
namespace {

const std::string kGap(100, ' ');

TEST(ListEntry, EntryIsNameGapKey) {
    EXPECT_EQ(MakeEntry("Orders", "{A}"), "Orders" + kGap + "{A}");
}

TEST(ListEntry, KeyAndNameReadBack) {
    const std::string entry = MakeEntry("Orders.Ledger", "{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}");
    EXPECT_EQ(KeyOfEntry(entry), "{0D6A9A35-3C1B-4E21-9B61-7A2C5D8E4F10}");
    EXPECT_EQ(NameOfEntry(entry), "Orders.Ledger");
}

TEST(ListEntry, NameWithBlankIsCutAtTheBlankButKeyIsWhole) {
    const std::string entry = MakeEntry("Order Entry", "{B}");
    EXPECT_EQ(NameOfEntry(entry), "Order");
    EXPECT_EQ(KeyOfEntry(entry), "{B}");
}

TEST(ListEntry, BlanksAroundNameAndKeyAreTrimmed) {
    const std::string entry = MakeEntry("Ledger  ", "  key with blank ");
    EXPECT_EQ(KeyOfEntry(entry), "key with blank");
    EXPECT_EQ(NameOfEntry(entry), "Ledger");
    // A name that starts with a blank is cut at that blank: nothing is left.
    EXPECT_EQ(NameOfEntry(MakeEntry(" Lead", "{C}")), "");
}

TEST(ListEntry, EmptyNameOrKey) {
    EXPECT_EQ(KeyOfEntry(MakeEntry("", "{D}")), "{D}");
    EXPECT_EQ(NameOfEntry(MakeEntry("", "{D}")), "");
    EXPECT_EQ(KeyOfEntry(MakeEntry("Name", "")), "");
    EXPECT_EQ(NameOfEntry(MakeEntry("Name", "")), "Name");
}

TEST(ListEntry, TextWithoutTheGapIsAllKey) {
    EXPECT_EQ(KeyOfEntry("  lone text "), "lone text");
    EXPECT_EQ(KeyOfEntry(""), "");
    EXPECT_EQ(NameOfEntry("nogap"), "");
}

}  // namespace
}  // namespace fenmoor
