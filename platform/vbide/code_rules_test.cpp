#include "platform/vbide/code_rules.h"

#include <gtest/gtest.h>

#include "platform/vbide/module_text.h"

namespace vbide::rules {
namespace {

std::vector<std::string> L(const std::string& text) { return ModuleText::SplitLines(text); }

TEST(DeclarationLines, EndAtLastDeclarationWithCommentsDirectlyUnder) {
    EXPECT_EQ(CountOfDeclarationLines(L("Option Explicit\r\nDim a As Long\r\n' about a\r\n\r\n"
                                        "' about Main\r\nSub Main()\r\nEnd Sub\r\n")),
              3);
    EXPECT_EQ(CountOfDeclarationLines(L("Option Explicit\r\n\r\nSub Main()\r\nEnd Sub\r\n")), 1);
}

TEST(DeclarationLines, ModuleThatStartsWithAProcedureHasNone) {
    EXPECT_EQ(CountOfDeclarationLines(L("Sub Main()\r\nEnd Sub\r\n")), 0);
    EXPECT_EQ(CountOfDeclarationLines(L("")), 0);
}

TEST(DeclarationLines, BannerOnlyCountsUpToTheFirstBlank) {
    EXPECT_EQ(CountOfDeclarationLines(L("' banner\r\n' more\r\n\r\n' loose\r\n")), 2);
}

TEST(DeclarationLines, ContinuedDeclarationAndEventsAreDeclarations) {
    EXPECT_EQ(CountOfDeclarationLines(L("Private Declare Function X Lib \"k\" _\r\n"
                                        "    (ByVal a As Long) As Long\r\n"
                                        "Public Event Changed()\r\n\r\nSub Main()\r\nEnd Sub\r\n")),
              3);
}

TEST(Procedures, StartBodyAndEndLines) {
    auto procs = Procedures(L("Option Explicit\r\n"            // 1
                              "\r\n"                           // 2
                              "' reads it\r\n"                 // 3
                              "Public Property Get Name() As String\r\n"  // 4
                              "End Property\r\n"               // 5
                              "\r\n"                           // 6
                              "Public Property Let Name(v As String)\r\n"  // 7
                              "End Property\r\n"               // 8
                              "Private Static Function F _\r\n"  // 9
                              "  (x As Long) As Long\r\n"      // 10
                              "End Function ' done\r\n"));     // 11
    ASSERT_EQ(procs.size(), 3u);
    EXPECT_EQ(procs[0].name, "Name");
    EXPECT_EQ(procs[0].kind, vbext_pk_Get);
    EXPECT_EQ(procs[0].start, 2);
    EXPECT_EQ(procs[0].body, 4);
    EXPECT_EQ(procs[0].end, 5);
    EXPECT_EQ(procs[1].kind, vbext_pk_Let);
    EXPECT_EQ(procs[1].start, 6);
    EXPECT_EQ(procs[1].body, 7);
    EXPECT_EQ(procs[2].name, "F");
    EXPECT_EQ(procs[2].start, 9);
    EXPECT_EQ(procs[2].body, 9);
    EXPECT_EQ(procs[2].end, 11);
}

TEST(Procedures, DeclareAndCommentsAreNotProcedures) {
    auto procs = Procedures(L("Public Declare Sub Sleep Lib \"kernel32\" (ByVal n As Long)\r\n"
                              "' Sub Fake()\r\nRem Function Fake2()\r\n"));
    EXPECT_TRUE(procs.empty());
}

std::int32_t Col(const std::vector<std::string>& lines, const std::string& target, std::int32_t line, std::int32_t c1,
         std::int32_t c2, bool whole = false, bool matchCase = false, bool pattern = false) {
    std::int32_t sl = line, sc = c1, el = line, ec = c2;
    if (!Find(lines, target, sl, sc, el, ec, whole, matchCase, pattern)) return 0;
    return sc;
}

TEST(Find, ColumnWindowIsInclusiveAndMatchMustFitInIt) {
    // "#Const debugging " (17 characters) within columns 1..19.
    auto lines = L("#Const debugging = True\r\n  #Const debugging = 1\r\n"
                   "   #Const debugging = 1\r\n#const DEBUGGING =True\r\n#Const debuggingX = 1\r\n");
    const std::string t = "#Const debugging ";
    const std::int32_t window = static_cast<std::int32_t>(std::string("debugging").size()) + 10;
    EXPECT_EQ(Col(lines, t, 1, 1, window), 1);
    EXPECT_EQ(Col(lines, t, 2, 1, window), 3);
    EXPECT_EQ(Col(lines, t, 3, 1, window), 0);  // starts in column 4: ends past the window
    EXPECT_EQ(Col(lines, t, 4, 1, window), 1);  // case folded
    EXPECT_EQ(Col(lines, t, 5, 1, window), 0);  // the character after the name is not a blank
    EXPECT_EQ(Col(lines, t, 4, 1, window, false, true), 0);
}

TEST(Find, SetsThePositionsOfTheMatch) {
    auto lines = L("a\r\nx = Total(1)\r\ny = Total\r\n");
    std::int32_t sl = 1, sc = 1, el = -1, ec = -1;
    ASSERT_TRUE(Find(lines, "total", sl, sc, el, ec, false, false, false));
    EXPECT_EQ(sl, 2);
    EXPECT_EQ(sc, 5);
    EXPECT_EQ(el, 2);
    EXPECT_EQ(ec, 9);
    sl = 2, sc = 6, el = -1, ec = -1;
    ASSERT_TRUE(Find(lines, "Total", sl, sc, el, ec, false, false, false));
    EXPECT_EQ(sl, 3);
}

TEST(Find, WholeWordAndPattern) {
    auto lines = L("Totals = Total\r\n");
    EXPECT_EQ(Col(lines, "Total", 1, 1, -1, true), 10);
    EXPECT_EQ(Col(lines, "T?tal#", 1, 1, -1, false, false, true), 0);
    EXPECT_EQ(Col(lines, "= T*l", 1, 1, -1, false, false, true), 8);
    EXPECT_TRUE(LikeMatch("abc1", "[a-c]*#"));
    EXPECT_FALSE(LikeMatch("abc", "[!a]*"));
}

TEST(Find, ErrorsForBadArguments) {
    auto lines = L("x\r\n");
    std::int32_t sl = 1, sc = 1, el = 1, ec = -1;
    auto code = [&](const std::string& t, bool mc, bool pat, std::int32_t start) {
        sl = start;
        try {
            Find(lines, t, sl, sc, el, ec, false, mc, pat);
        } catch (const vb::VbError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(code("", false, false, 1), 5);
    EXPECT_EQ(code("x", true, true, 1), 5);
    EXPECT_EQ(code("x", false, false, 2), 5);
    EXPECT_EQ(code("x", false, false, 1), 0);
    std::vector<std::string> empty;
    sl = 1;
    EXPECT_FALSE(Find(empty, "x", sl, sc, el, ec, false, false, false));
}

}  // namespace
}  // namespace vbide::rules
