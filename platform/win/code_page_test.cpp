#include "platform/win/code_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace win {
namespace {

using testing::ScopedVariable;

// Where no setting names one, the projects' code page is the user's: on
// Windows the ANSI code page, elsewhere Windows-1252.
// Windows takes the user's text in the ANSI code page, not in a locale.
#ifdef _WIN32
constexpr bool kAnsiOnly = true;
#else
constexpr bool kAnsiOnly = false;
#endif

unsigned UsersCodePage() {
#ifdef _WIN32
    return ::GetACP();
#else
    return 1252;
#endif
}

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

TEST(CodePage, IdentifiersTakeTheTwoByteCharactersOfTheCodePage) {
    const std::string calc = "\x8C\x76\x8E\x5A";  // 計算 in Shift-JIS; 0x76 and 0x5A are trail bytes
    EXPECT_TRUE(IsIdentifierInCodePage(calc + "0", 932));
    EXPECT_TRUE(IsIdentifierInCodePage("x" + calc + "_1", 932));
    EXPECT_TRUE(IsIdentifierInCodePage("\xB6\xDD", 932));  // half-width katakana
    EXPECT_FALSE(IsIdentifierInCodePage("Calc\x8C", 932));  // a lead byte without its trail byte
    EXPECT_FALSE(IsIdentifierInCodePage("0" + calc, 932));
    EXPECT_FALSE(IsIdentifierInCodePage("a b", 932));
    EXPECT_FALSE(IsIdentifierInCodePage(calc, 1252));
    EXPECT_TRUE(IsIdentifierInCodePage("d\xE9tail", 1252));
    EXPECT_TRUE(IsIdentifierInCodePage("d\xE9tail", 936));  // 0xE9 and "t" are one character there
    EXPECT_FALSE(IsIdentifierInCodePage("d\xE9", 936));
}

TEST(CodePage, TheSettingChoosesTheCodePage) {
    {
        ScopedVariable none("TARNWICK_CODEPAGE", "");
        EXPECT_EQ(ProjectCodePage(), UsersCodePage());
    }
    ScopedVariable japanese("TARNWICK_CODEPAGE", "932");
    EXPECT_EQ(ProjectCodePage(), 932u);
    ScopedVariable bad("TARNWICK_CODEPAGE", "cp932");
    EXPECT_EQ(ProjectCodePage(), UsersCodePage());
}

#ifdef _WIN32
// The user's text on Windows is in the ANSI code page; a Western one (1252)
// is what the cases below are written in.
TEST(CodePage, AnsiTextGoesToTheCodePageAndBack) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << ::GetACP() << ", not 1252";
    EXPECT_EQ(LocaleToCodePage("Gr\xF6\xDF" "e \x80", 1252), std::optional<std::string>("Gr\xF6\xDF" "e \x80"));
    EXPECT_EQ(LocaleToCodePage("d\xE9tail", 850), std::optional<std::string>("d\x82tail"));
    EXPECT_EQ(CodePageToLocale("d\x82tail", 850), "d\xE9tail");
    // 計算 in Shift-JIS has no place in 1252; é has none in Shift-JIS.
    EXPECT_EQ(CodePageToLocale("\x8C\x76\x8E\x5A" "0", 932), "??0");
    EXPECT_EQ(LocaleToCodePage("d\xE9tail", 932), std::nullopt);
    EXPECT_THROW(LocaleToCodePage("x", 59999), UnknownCodePage);
    // A message's text is converted whole.
    EXPECT_EQ(MessageToLocale("M\x81ller: d\x82tail", 850), "M\xFCller: d\xE9tail");
}
#endif

TEST(CodePage, UnicodeLocaleTextGoesToTheCodePageAndBack) {
    if (kAnsiOnly) GTEST_SKIP() << "Windows has no UTF-8 locale: AnsiTextGoesToTheCodePageAndBack";
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

TEST(CodePage, MessagesKeepTheUsersOwnTextAndConvertTheCodePages) {
    if (kAnsiOnly) GTEST_SKIP() << "Windows has no UTF-8 locale: AnsiTextGoesToTheCodePageAndBack";
    ScopedVariable locale("LC_ALL", "C.UTF-8");
    // A path typed in UTF-8 and a name read from a Windows-1252 project.
    EXPECT_EQ(MessageToLocale("/home/j\xC3\xBCrgen/P.vbp: d\xE9tail", 1252),
              "/home/j\xC3\xBCrgen/P.vbp: d\xC3\xA9tail");
    // A Shift-JIS name whose lead bytes read as no UTF-8.
    EXPECT_EQ(MessageToLocale("\x8C\x76\x8E\x5A" "0 in /tmp/\xC3\xA9", 932), "\xE8\xA8\x88\xE7\xAE\x97" "0 in /tmp/\xC3\xA9");
}

TEST(CodePage, InTheCLocaleTextPassesUnchanged) {
    if (kAnsiOnly) GTEST_SKIP() << "Windows has no C locale: its text is in the ANSI code page";
    ScopedVariable locale("LC_ALL", "C");
    EXPECT_EQ(LocaleToCodePage("d\xE9tail", 1252), std::optional<std::string>("d\xE9tail"));
    EXPECT_EQ(CodePageToLocale("d\xE9tail", 1252), "d\xE9tail");
}

}  // namespace
}  // namespace win
