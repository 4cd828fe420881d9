#include "config/store_text.h"

#include <gtest/gtest.h>

#include "base/vb_error_testing.h"

namespace config {
namespace {

std::int32_t ErrorOf(const std::string& text) {
    return vb::ErrorOf([&] { ParseStoredInteger(text); });
}

TEST(ConfigStoreNumbers, ReadAsSixteenBitIntegersTheWayVbConvertsText) {
    EXPECT_EQ(ParseStoredInteger("2"), 2);
    EXPECT_EQ(ParseStoredInteger("  12 "), 12);
    EXPECT_EQ(ParseStoredInteger("-3"), -3);
    EXPECT_EQ(ParseStoredInteger("007"), 7);
    EXPECT_EQ(ParseStoredInteger("2.5"), 2);  // half to even
    EXPECT_EQ(ParseStoredInteger("3.5"), 4);
    EXPECT_EQ(ParseStoredInteger("&H10"), 16);
    EXPECT_EQ(ParseStoredInteger("&HFFFF"), -1);
    EXPECT_EQ(ParseStoredInteger("32767"), 32767);
    EXPECT_EQ(ErrorOf("32768"), 6);
    EXPECT_EQ(ErrorOf("-32769"), 6);
    EXPECT_EQ(ErrorOf(""), 13);
    EXPECT_EQ(ErrorOf("two"), 13);
    EXPECT_EQ(ErrorOf("2x"), 13);
    EXPECT_EQ(ErrorOf("&HZ"), 13);
}

TEST(ConfigStoreNumbers, KeysAndNumbersHaveNoPaddingOrSign) {
    EXPECT_EQ(ConfigKey(1), "Config1");
    EXPECT_EQ(ConfigKey(12), "Config12");
    EXPECT_EQ(ConstKey(3), "Const3");
    EXPECT_EQ(NumberText(2), "2");
}

TEST(ConfigStoreTruth, OnlyTrueInAnyCaseWithBlanksAroundReadsAsTrue) {
    EXPECT_TRUE(ReadsAsTrue("True"));
    EXPECT_TRUE(ReadsAsTrue(" true "));
    EXPECT_TRUE(ReadsAsTrue("TRUE"));
    for (const char* no : {"False", "1", "-1", "yes", "", "   ", "\ttrue", "truely", "tru"})
        EXPECT_FALSE(ReadsAsTrue(no)) << no;
    EXPECT_STREQ(StoredTruth(true), "True");
    EXPECT_STREQ(StoredTruth(false), "False");
}

TEST(ConfigDeclarationText, SearchTextDeclarationAndDefaultLine) {
    EXPECT_EQ(SearchText("debugging"), "#Const debugging ");
    EXPECT_EQ(DeclarationLine("debugging", "True"), "#Const debugging = True");
    EXPECT_EQ(DeclarationLine("x", " yes "), "#Const x =  yes ");
    EXPECT_EQ(DefaultDeclarationLine(), "#Const debugging =True");
    EXPECT_EQ(SearchWindowEnd("debugging"), 19);
}

TEST(ConfigDeclarationText, MatchesOnlyWithHashConstInTheFirstThreeColumns) {
    EXPECT_TRUE(IsDeclarationOf("#Const debugging = True", "debugging"));
    EXPECT_TRUE(IsDeclarationOf("#CONST DEBUGGING =True", "debugging"));
    EXPECT_TRUE(IsDeclarationOf("  #Const debugging = False", "debugging"));
    EXPECT_TRUE(IsDeclarationOf("' #Const debugging = False", "debugging"));
    EXPECT_FALSE(IsDeclarationOf("   #Const debugging = True", "debugging"));
    EXPECT_FALSE(IsDeclarationOf("#Const debuggingx = True", "debugging"));
    EXPECT_FALSE(IsDeclarationOf("#Const debugging", "debugging"));
    EXPECT_FALSE(IsDeclarationOf("#Const debugging=True", "debugging"));
}

TEST(ConfigInputKeys, OnlyBackspaceAndLowerCaseLettersPass) {
    EXPECT_TRUE(IsNameKey(8));
    EXPECT_TRUE(IsNameKey('a'));
    EXPECT_TRUE(IsNameKey('z'));
    for (int key : {int('A'), int('Z'), int(' '), int('0'), int('9'), int('_'), int('-'), int('='), 13, 27, 0xE9})
        EXPECT_FALSE(IsNameKey(key)) << key;
}

TEST(ConfigStoreText, DeclarationsGoInAfterTheFirstLogicalLine) {
    EXPECT_EQ(DeclarationInsertLine("Option Explicit\r\nDim a"), 2);
    EXPECT_EQ(DeclarationInsertLine("Option Explicit"), 2);
    EXPECT_EQ(DeclarationInsertLine("Declare Sub A Lib \"k\" _\r\n  (ByVal x As Long) _ \r\n  \r\nDim a"), 4);
    EXPECT_EQ(DeclarationInsertLine("Dim a_\r\nDim b"), 2);     // "_" without a blank before it
    EXPECT_EQ(DeclarationInsertLine("Dim a, _\r\n"), 3);
    EXPECT_EQ(DeclarationInsertLine("Dim a, _"), 2);            // nothing to continue onto
    std::string endless;
    for (int i = 0; i < 40; ++i) endless += "x _\r\n";
    EXPECT_EQ(DeclarationInsertLine(endless), kMaxPhysicalLines + 1);
}

}  // namespace
}  // namespace config
