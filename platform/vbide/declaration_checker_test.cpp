#include "platform/vbide/declaration_checker.h"

#include <gtest/gtest.h>

#include "platform/vbide/module_text.h"

namespace vbide {
namespace {

CheckResult Check(const std::string& text, vbext_ComponentType type = vbext_ct_ClassModule) {
    return CheckInsertedCode(ModuleText::SplitLines(text), type);
}

TEST(DeclarationChecker, AcceptsWhatTheProcedureBuilderWrites) {
    const char* texts[] = {
        "Public Sub Go ()\r\n\r\n\r\n    'Place Code Body Here!\r\n\r\nEnd Sub \r\n",
        "Private Static Function Total (x As Long)As Long\r\n\r\nOn Error GoTo TotalErr\r\n\r\n"
        "    'Place Code Body Here!\r\n\r\nTotalExit:\r\n    Exit Function \r\n\r\nTotalErr:\r\n"
        "    Debug.Print Err.Description\r\n    Resume TotalExit\r\n\r\nEnd Function \r\n",
        "Friend Property Get Item ()As MyProject.CThing\r\n    Set Item = m_Item\r\nEnd Property\r\n",
        "Public Property Set Item (objItem As MyProject.CThing)\r\nEnd Property\r\n",
        "Public Event Changed (ByVal x As Long)\r\n\r\n",
        "Private m_Name As String\r\n",
        "Public Function F(Optional s As String = \"(\") As String\r\nEnd Function\r\n",
        "Sub S()\r\n10 x = 1\r\nIf x Then GoTo 10\r\nOn Error Resume Next\r\nOn Error GoTo 0\r\nEnd Sub\r\n",
        "Sub Name()\r\nEnd Sub\r\n",
        "Sub T()\r\n  GoTo Later\r\n",  // the procedure goes on below: its jumps are not judged
    };
    for (const char* text : texts) EXPECT_TRUE(Check(text).ok) << text << Check(text).reason;
}

TEST(DeclarationChecker, RejectsIllegalNames) {
    EXPECT_EQ(Check("Public Sub 9Lives ()\r\nEnd Sub\r\n").reason, "invalid procedure name");
    EXPECT_EQ(Check("Public Sub My-Sub ()\r\nEnd Sub\r\n").reason, "invalid procedure name");
    EXPECT_EQ(Check("Public Function ()\r\nEnd Function\r\n").reason, "invalid procedure name");
    EXPECT_EQ(Check("Public Sub Select ()\r\nEnd Sub\r\n").reason, "reserved word as procedure name");
    EXPECT_EQ(Check("Public Property Get integer ()As Long\r\nEnd Property\r\n").reason,
              "reserved word as procedure name");
}

TEST(DeclarationChecker, RejectsUnbalancedParenthesesAndStrayText) {
    EXPECT_EQ(Check("Sub S (a As Long\r\nEnd Sub\r\n").reason, "unbalanced parentheses");
    EXPECT_EQ(Check("Sub S (a As Long))\r\nEnd Sub\r\n").reason, "unbalanced parentheses");
    EXPECT_EQ(Check("Sub S () x\r\nEnd Sub\r\n").reason, "unexpected text after the parameter list");
    CheckResult r = Check("Option Explicit\r\nFunction F (a, _\r\n  b As Long\r\nEnd Function\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 2);
}

TEST(DeclarationChecker, AsClauseOnlyOnFunctionsAndPropertyGet) {
    EXPECT_EQ(Check("Sub S ()As Long\r\nEnd Sub\r\n").reason, "an As clause where the procedure takes none");
    EXPECT_EQ(Check("Public Property Let P (v As Long)As Long\r\nEnd Property\r\n").reason,
              "an As clause where the procedure takes none");
    EXPECT_EQ(Check("Public Event E ()As Long\r\n").reason, "an As clause where the procedure takes none");
    EXPECT_EQ(Check("Function F ()As \r\nEnd Function\r\n").reason, "As without a type");
}

TEST(DeclarationChecker, EventAndFriendOnlyOutsideStandardModules) {
    EXPECT_EQ(Check("Public Event E ()\r\n", vbext_ct_StdModule).reason, "Event in a standard module");
    EXPECT_EQ(Check("Friend Sub S ()\r\nEnd Sub\r\n", vbext_ct_StdModule).reason, "Friend in a standard module");
    EXPECT_TRUE(Check("Friend Sub S ()\r\nEnd Sub\r\n", vbext_ct_VBForm).ok);
}

TEST(DeclarationChecker, JumpTargetsMustBeLabelsOfTheSameProcedure) {
    // An untrimmed name makes "On Error GoTo Name Err" jump to "Name".
    CheckResult r = Check("Sub Go ()\r\nOn Error GoTo Go Err\r\nGoErr:\r\nEnd Sub\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(r.reason, "label not defined: Go");
    EXPECT_FALSE(Check("Sub A ()\r\nX:\r\nEnd Sub\r\nSub B ()\r\nGoTo X\r\nEnd Sub\r\n").ok);
    EXPECT_FALSE(Check("Sub A ()\r\nResume Done\r\nEnd Sub\r\n").ok);
    EXPECT_FALSE(Check("Sub A ()\r\nOn x GoTo L1, L2\r\nL1:\r\nEnd Sub\r\n").ok);
    EXPECT_TRUE(Check("Sub A ()\r\nOn x GoTo L1, L2\r\nL1:\r\nL2: Beep\r\nEnd Sub\r\n").ok);
    EXPECT_TRUE(Check("Sub A ()\r\n  ' GoTo Nowhere\r\n  s = \"GoTo Nowhere\"\r\nEnd Sub\r\n").ok);
}

}  // namespace
}  // namespace vbide
