#include "config/project_check.h"

#include <gtest/gtest.h>

namespace config {
namespace {

using Names = std::vector<std::string>;

TEST(ConfigCheckParsing, IfLinesYieldTheNamesTheyTest) {
    EXPECT_EQ(NamesTestedBy("#If debugging Then"), (Names{"debugging"}));
    EXPECT_EQ(NamesTestedBy("  #ElseIf Not (a And b) Or c = &H1F Then ' d e"), (Names{"a", "b", "c"}));
    EXPECT_EQ(NamesTestedBy("#If x = \"y z\" Or x Then Rem w"), (Names{"x"}));
    EXPECT_EQ(NamesTestedBy("#If Win32 And 1.5 > 1 Then"), (Names{"Win32"}));
    EXPECT_EQ(NamesTestedBy("#End If"), Names{});
    EXPECT_EQ(NamesTestedBy("If debugging Then"), Names{});
    EXPECT_EQ(NamesTestedBy("' #If x Then"), Names{});
}

TEST(ConfigCheckParsing, NamesTakeTheAccentedLettersOfTheCodePage) {
    EXPECT_EQ(NamesTestedBy("#If D\xe9""bogage Or \xc9tat Then"), (Names{"D\xe9""bogage", "\xc9tat"}));
    EXPECT_EQ(NameDeclaredBy("#Const \xc9tat = 1"), "\xc9tat");
}

TEST(ConfigCheckParsing, ConstLinesAndProjectArguments) {
    EXPECT_EQ(NameDeclaredBy("#Const debugging = True"), "debugging");
    EXPECT_EQ(NameDeclaredBy("  #const  Level=2"), "Level");
    EXPECT_EQ(NameDeclaredBy("#Constant x"), "");
    EXPECT_EQ(NameDeclaredBy("Const x = 1"), "");
    EXPECT_EQ(ArgumentNames("\"NAME = -1 : OTHER = 0\""), (Names{"NAME", "OTHER"}));
    EXPECT_EQ(ArgumentNames("\"A=1\""), (Names{"A"}));
    EXPECT_EQ(ArgumentNames(""), Names{});
}

}  // namespace
}  // namespace config
