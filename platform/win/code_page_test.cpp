#include "platform/win/code_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win/test_support.h"

namespace win {
namespace {

using testing::ScopedVariable;

TEST(CodePage, Windows1252TableRoundTripsEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto back = UnicodeToWindows1252(Windows1252ToUnicode(static_cast<unsigned char>(b)));
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, b);
    }
    EXPECT_EQ(Windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(UnicodeToWindows1252(U'\u0153'), 0x9C);
    EXPECT_FALSE(UnicodeToWindows1252(U'\u8A08'));
}

TEST(CodePage, LeadBytesOfTheDoubleByteCodePages) {
    EXPECT_TRUE(IsLeadByte(932, 0x8C));
    EXPECT_TRUE(IsLeadByte(932, 0xE0));
    EXPECT_FALSE(IsLeadByte(932, 0xA0));  // a half-width katakana stands alone
    EXPECT_FALSE(IsLeadByte(932, 'A'));
    EXPECT_TRUE(IsLeadByte(936, 0xFE));
    EXPECT_FALSE(IsLeadByte(1252, 0x8C));
}

TEST(CodePage, TheSettingChoosesTheCodePage) {
    {
        ScopedVariable none("TARNWICK_CODEPAGE", "");
        EXPECT_EQ(ProjectCodePage(), 1252u);
    }
    ScopedVariable japanese("TARNWICK_CODEPAGE", "932");
    EXPECT_EQ(ProjectCodePage(), 932u);
    ScopedVariable bad("TARNWICK_CODEPAGE", "cp932");
    EXPECT_EQ(ProjectCodePage(), 1252u);
}

TEST(CodePage, UnicodeLocaleTextGoesToTheCodePageAndBack) {
    ScopedVariable locale("LC_ALL", "C.UTF-8");
    EXPECT_EQ(LocaleToCodePage("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC", 1252), std::optional<std::string>("Gr\xF6\xDF" "e \x80"));
    EXPECT_EQ(CodePageToLocale("Gr\xF6\xDF" "e \x80", 1252), "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC");
    // 計算 in Shift-JIS.
    EXPECT_EQ(LocaleToCodePage("\xE8\xA8\x88\xE7\xAE\x97" "0", 932), std::optional<std::string>("\x8C\x76\x8E\x5A" "0"));
    EXPECT_EQ(CodePageToLocale("\x8C\x76\x8E\x5A" "0", 932), "\xE8\xA8\x88\xE7\xAE\x97" "0");
    // A character the code page lacks, bytes that are no UTF-8.
    EXPECT_EQ(LocaleToCodePage("\xE8\xA8\x88", 1252), std::nullopt);
    EXPECT_EQ(LocaleToCodePage("d\xE9tail", 1252), std::nullopt);
    EXPECT_THROW(LocaleToCodePage("x", 59999), UnknownCodePage);
}

TEST(CodePage, InTheCLocaleTextPassesUnchanged) {
    ScopedVariable locale("LC_ALL", "C");
    EXPECT_EQ(LocaleToCodePage("d\xE9tail", 1252), std::optional<std::string>("d\xE9tail"));
    EXPECT_EQ(CodePageToLocale("d\xE9tail", 1252), "d\xE9tail");
}

}  // namespace
}  // namespace win
