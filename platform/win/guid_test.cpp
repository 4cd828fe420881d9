#include "platform/win/guid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace win {
namespace {

TEST(Guid, TextIsBracedUpperCaseHexOf38Characters) {
    GUID g{0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
    char text[39];
    EXPECT_EQ(StringFromGUID2(g, text, 39), 39);
    EXPECT_STREQ(text, "{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
    EXPECT_EQ(StringFromGUID2(g, text, 38), 0);
}

TEST(Guid, NewGuidsAreRandomVersion4) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        GUID g;
        ASSERT_EQ(CoCreateGuid(&g), S_OK);
        char text[39];
        ASSERT_EQ(StringFromGUID2(g, text, sizeof text), 39);
        const std::string s = text;
        EXPECT_EQ(s[15], '4') << s;  // 13th hex digit
        EXPECT_NE(std::string("89AB").find(s[20]), std::string::npos) << s;  // 17th
        seen.insert(s);
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_EQ(CoCreateGuid(nullptr), E_POINTER);
}

TEST(Guid, OnlyTheRegistryFormReadsBack) {
    GUID g;
    ASSERT_EQ(CLSIDFromString("{7dd95801-9882-11CF-9FA9-00aa006c42c4}", &g), S_OK);
    char text[39];
    StringFromGUID2(g, text, 39);
    EXPECT_STREQ(text, "{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
    for (const char* bad : {"", "7DD95801-9882-11CF-9FA9-00AA006C42C4", "{7DD95801-9882-11CF-9FA9-00AA006C42C4",
                            "{7DD95801-9882-11CF-9FA9-00AA006C42C4}x", "{7DD95801-9882-11CF-9FA9-00AA006C42CG}",
                            "{7DD95801-9882-11CF+9FA9-00AA006C42C4}", "{7DD95801-9882-11CF-9FA9-00AA006C42C}",
                            "Tarnwick.Ledger"})
        EXPECT_EQ(CLSIDFromString(bad, &g), CO_E_CLASSSTRING) << bad;
    EXPECT_EQ(CLSIDFromString(nullptr, &g), E_POINTER);
}

}  // namespace
}  // namespace win
