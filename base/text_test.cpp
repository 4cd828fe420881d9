#include "base/text.h"

#include <gtest/gtest.h>

namespace text {
namespace {

std::vector<std::pair<std::string, std::string>> Split(std::vector<Line> lines) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Line& l : lines) out.emplace_back(l.text, l.end);
    return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(TextCase, FoldsOnlyAsciiLettersAndLeavesAnsiBytesAlone) {
    EXPECT_EQ(UpperAscii("mod\xe9le_1"), "MOD\xe9LE_1");
    EXPECT_EQ(LowerAscii("MOD\xc9LE"), "mod\xc9le");
    EXPECT_TRUE(EqualsNoCase("Debug", "dEBUG"));
    EXPECT_FALSE(EqualsNoCase("\xe9t\xe9", "\xc9T\xc9"));
    EXPECT_FALSE(EqualsNoCase("ab", "abc"));
    EXPECT_TRUE(StartsWithNoCase("Attribute VB_Name", "attribute "));
    EXPECT_FALSE(StartsWithNoCase("Attr", "attribute"));
    // The neighbours of the letter ranges, and an accented letter, are no ASCII letters.
    for (char c : {'A', 'Z', 'a', 'z'}) EXPECT_TRUE(IsAsciiLetter(c)) << c;
    for (char c : {'@', '[', '`', '{', '0', '\xe9', '\xc9'}) EXPECT_FALSE(IsAsciiLetter(c)) << c;
}

TEST(TextCase, OrdersByFoldedBytesWithAnsiAfterAscii) {
    EXPECT_TRUE(LessNoCase("apple", "Banana"));
    EXPECT_FALSE(LessNoCase("BANANA", "banana"));
    EXPECT_TRUE(LessNoCase("zebra", "\xe9t\xe9"));
    EXPECT_TRUE(LessNoCase("ab", "abc"));
}

TEST(TextBlanks, TrimTakesSpacesOnlyAndTrimBlanksTabsToo) {
    EXPECT_EQ(Trim(std::string("  \tx y\t  ")), "\tx y\t");
    EXPECT_EQ(TrimBlanks(std::string(" \tx y\t ")), "x y");
    EXPECT_EQ(Trim(std::string_view("   ")), "");
    EXPECT_EQ(TrimBlanksLeft("\t a \t"), "a \t");
    EXPECT_EQ(TrimBlanksRight("\t a \t"), "\t a");
    EXPECT_EQ(TrimBlanksRight(" \t"), "");
}

TEST(TextLines, SplitAtLineFeedsKeepingEachLineEnd) {
    EXPECT_EQ(Split(SplitLines("a\r\nb\rc\nd")), (Pairs{{"a", "\r\n"}, {"b\rc", "\n"}, {"d", ""}}));
    EXPECT_EQ(Split(SplitLines("x\n\n")), (Pairs{{"x", "\n"}, {"", "\n"}}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextLines, SplitAtAnyEndTakesCrLfAsOneEnd) {
    EXPECT_EQ(Split(SplitLinesAtAnyEnd("a\rb\r\n\nc")),
              (Pairs{{"a", "\r"}, {"b", "\r\n"}, {"", "\n"}, {"c", ""}}));
    EXPECT_EQ(Split(SplitLinesAtAnyEnd("\r\r\n")), (Pairs{{"", "\r"}, {"", "\r\n"}}));
}

TEST(TextPaths, TheLastElementFollowsEitherSeparator) {
    EXPECT_EQ(LastPathElement("..\\Shared/mod.bas"), "mod.bas");
    EXPECT_EQ(LastPathElement("Forms\\frmMain.frm"), "frmMain.frm");
    EXPECT_EQ(LastPathElement("Ledger.vbp"), "Ledger.vbp");
    EXPECT_EQ(LastPathElement("Folder\\"), "");
}

TEST(TextCaptions, AccessKeyMarksGoAndDoubledAmpersandsStay) {
    EXPECT_EQ(StripAccessKeys("&File"), "File");
    EXPECT_EQ(StripAccessKeys("Save && E&xit&"), "Save & Exit");
    EXPECT_EQ(AccessKeyOf("Save && e&xit"), 'X');
    EXPECT_EQ(AccessKeyOf("Fish && Chips"), 0);
    EXPECT_EQ(AccessKeyOf("End&"), 0);
}

TEST(TextNames, IdentifiersTakeAnsiLettersButNotPunctuationOrALeadingDigit) {
    EXPECT_TRUE(
        IsIdentifier("D\xe9"
                     "bogage_2"));
    EXPECT_TRUE(IsIdentifier("\xc9t\xe9"));
    EXPECT_TRUE(IsIdentifier(std::string(255, 'a')));
    EXPECT_FALSE(IsIdentifier(std::string(256, 'a')));
    for (const char* bad : {"", "_x", "1a", "a-b", "a b", "a\x80"})
        EXPECT_FALSE(IsIdentifier(bad)) << bad;
}

}  // namespace
}  // namespace text
