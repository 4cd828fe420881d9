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

TEST(DeclarationChecker, RejectsParametersAndTypesThatDoNotCompile) {
    const std::pair<const char*, const char*> cases[] = {
        {"Public Property Let Color (Color As )\r\nEnd Property\r\n", "As without a type"},
        {"Sub S (x As)\r\nEnd Sub\r\n", "As without a type"},
        {"Sub S (x As Long Long)\r\nEnd Sub\r\n", "unexpected text in a parameter"},
        {"Sub S (a,,b)\r\nEnd Sub\r\n", "an empty parameter"},
        {"Sub S (a, )\r\nEnd Sub\r\n", "an empty parameter"},
        {"Sub S (ByVal)\r\nEnd Sub\r\n", "invalid parameter name"},
        {"Sub S (Optional ByRef)\r\nEnd Sub\r\n", "invalid parameter name"},
        {"Sub S (ByVal Select As Long)\r\nEnd Sub\r\n", "reserved word as parameter name"},
        {"Sub S (x As 1abc)\r\nEnd Sub\r\n", "invalid type name"},
        {"Sub S (x As Sub)\r\nEnd Sub\r\n", "invalid type name"},
        {"Sub S (x As Long = 5)\r\nEnd Sub\r\n", "a default value without Optional"},
        {"Sub S (Optional x As Long =)\r\nEnd Sub\r\n", "= without a default value"},
        {"Sub S (a(3) As Long)\r\nEnd Sub\r\n", "bounds on an array parameter"},
        {"Sub S (x As New Collection)\r\nEnd Sub\r\n", "invalid type name"},
        {"Function F ()As Long Long\r\nEnd Function\r\n", "unexpected text after the type"},
        {"Function F ()As 1abc\r\nEnd Function\r\n", "invalid type name"},
        {"Function F ()As P.\r\nEnd Function\r\n", "invalid type name"},
        {"Function F ()As Long * 4\r\nEnd Function\r\n", "a length after a type other than String"},
        {"Public Property Let P ()\r\nEnd Property\r\n", "a Property Let or Set without a parameter"},
        {"Private m_DoIt As \r\n", "As without a type"},
        {"Private m_Color As Long Long\r\n", "unexpected text in a declaration"},
        {"Public a As Long, \r\n", "invalid variable name"},
        {"Dim x As String * \r\n", "a fixed-length String without its length"},
        // The order and kinds of parameters.
        {"Sub S (Optional y, x As Long)\r\nEnd Sub\r\n", "a required parameter after an Optional one"},
        {"Sub S (Optional y, ParamArray v())\r\nEnd Sub\r\n", "ParamArray with Optional parameters"},
        {"Sub S (ParamArray v(), x)\r\nEnd Sub\r\n", "a parameter after a ParamArray"},
        {"Sub S (ByVal ParamArray v())\r\nEnd Sub\r\n", "ParamArray with Optional, ByVal or ByRef"},
        {"Sub S (ParamArray v)\r\nEnd Sub\r\n", "a ParamArray that is no array of Variant"},
        {"Sub S (ParamArray v() As Long)\r\nEnd Sub\r\n", "a ParamArray that is no array of Variant"},
        {"Public Event E (Optional x As Long)\r\n", "Optional in an event"},
        {"Public Event E (ParamArray v())\r\n", "ParamArray in an event"},
        {"Public Property Let P (Optional v As Long)\r\nEnd Property\r\n",
         "an Optional value parameter of a Property Let or Set"},
        // A type-declaration character and an As clause exclude each other.
        {"Function Total& ()As Long\r\nEnd Function\r\n", "an As clause after a type-declaration character"},
        {"Sub S (n& As Long)\r\nEnd Sub\r\n", "an As clause after a type-declaration character"},
        {"Private m_Total& As Long\r\n", "an As clause after a type-declaration character"},
        {"Sub Total& ()\r\nEnd Sub\r\n", "invalid procedure name"},
        {"Function F ()As Long(3)\r\nEnd Function\r\n", "bounds on an array return type"},
        {"Sub S (x As Long())\r\nEnd Sub\r\n", "unexpected text in a parameter"},
    };
    for (const auto& [text, reason] : cases) {
        CheckResult r = Check(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.reason, reason) << text;
    }
    CheckResult r = Check("Option Explicit\r\nPrivate m_X As Long\r\nPrivate m_Y As\r\n");
    EXPECT_EQ(r.line, 3);
}

TEST(DeclarationChecker, AcceptsEveryLegalParameterAndDeclarationForm) {
    const char* texts[] = {
        "Public Function F (Optional ByVal s As String = \"a, (b\", Optional n As Long = -1, "
        "Optional v)As Variant\r\nEnd Function\r\n",
        "Sub S (ByRef a() As Long, ByVal s$, ParamArray rest() As Variant)\r\nEnd Sub\r\n",
        "Sub S (o As Object, Optional ByVal x As Integer = (1 + 2) * 3)\r\nEnd Sub\r\n",
        "Sub S ( )\r\nEnd Sub\r\n",
        "Sub S\r\nEnd Sub\r\n",
        "Public Property Set Item (objItem As MyProject.CThing)\r\nEnd Property\r\n",
        "Public Property Let Name (strName As String * 10)\r\nEnd Property\r\n",
        "Public Event Changed (ByVal x As Long, ByVal Cancel As Boolean)\r\n",
        "Private m_Item As MyProject.CThing\r\n",
        "Private m_Name As String * 10   ' fixed\r\n",
        "Private m_List As New Collection\r\n",
        "Public WithEvents m_Form As Form\r\n",
        "Dim a(1 To 5, 3) As Long, b As String * MAX_LEN, c, d%\r\n",
        "Private m_A As Long: Private m_B As Integer\r\n",
        "Private Const MAX_LEN = 20\r\nPublic Type T\r\n  x As Long\r\nEnd Type\r\nPrivate Enum E\r\n  One\r\nEnd Enum\r\n",
        "Private Declare Function GetTickCount Lib \"kernel32\" Alias _\r\n    \"GetTickCount\" () As Long\r\n",
        "Public Function G (a As Long, _\r\n    b As Long) As Long\r\nEnd Function\r\n",
        // Arrays returned, types given by a character after the name.
        "Public Function Values (n As Long)As Long()\r\nEnd Function\r\n",
        "Public Property Get Items ()As MyProject.CThing()\r\nEnd Property\r\n",
        "Public Function Total& (ByVal n&, s$())\r\nEnd Function\r\n",
        "Public Property Get Caption$ ()\r\nEnd Property\r\n",
        // Optional parameters before the value a Property Let assigns.
        "Public Property Let Item (Optional ByVal i As Long = 1, ByVal v As Variant)\r\nEnd Property\r\n",
        "Sub S (ParamArray rest())\r\nEnd Sub\r\n",
    };
    for (const char* text : texts) EXPECT_TRUE(Check(text).ok) << text << Check(text).reason;
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
