#include "platform/vbide/module_file.h"

#include <gtest/gtest.h>

namespace vbide {
namespace {

std::string Visible(const ParsedModule& m) {
    std::string out;
    for (std::string_view line : m.text.Lines()) out.append(line).append("|");
    return out;
}

TEST(ModuleFile, StandardModuleHidesLeadingAttributes) {
    auto m = ParseModuleFile("Attribute VB_Name = \"basX\"\r\nOption Explicit\r\n", vbext_ct_StdModule);
    EXPECT_EQ(m.name, "basX");
    EXPECT_EQ(Visible(m), "Option Explicit|");
    EXPECT_EQ(m.text.Header(), "Attribute VB_Name = \"basX\"\r\n");
}

TEST(ModuleFile, ModuleWithoutNameAttributeShowsEverything) {
    auto m = ParseModuleFile("' banner\nOption Explicit", vbext_ct_StdModule);
    EXPECT_EQ(m.name, "");
    EXPECT_EQ(Visible(m), "' banner|Option Explicit|");
    EXPECT_EQ(m.text.NewLineEnd(), "\n");
    EXPECT_EQ(m.text.Serialize(), "' banner\nOption Explicit");
}

TEST(ModuleFile, MdiFormIsRecognisedAndMemberAttributesHidden) {
    const std::string bytes =
        "VERSION 5.00\r\nBegin VB.MDIForm mdiMain \r\n   Caption = \"x\"\r\nEnd\r\n"
        "Attribute VB_Name = \"mdiMain\"\r\n"
        "Public WithEvents Timer As Timer\r\n"
        "Attribute Timer.VB_VarHelpID = -1\r\n"
        "Sub Go()\r\nEnd Sub\r\n";
    auto m = ParseModuleFile(bytes, vbext_ct_VBForm);
    EXPECT_EQ(m.type, vbext_ct_VBMDIForm);
    EXPECT_EQ(m.name, "mdiMain");
    EXPECT_EQ(Visible(m), "Public WithEvents Timer As Timer|Sub Go()|End Sub|");
    EXPECT_EQ(m.text.HiddenAfter(0), "Attribute Timer.VB_VarHelpID = -1\r\n");
    EXPECT_EQ(m.text.Serialize(), bytes);
}

TEST(ModuleFile, EditsKeepHiddenLinesWithTheirDeclaration) {
    auto m = ParseModuleFile("Attribute VB_Name = \"C\"\r\nProperty Get Item()\r\n"
                             "Attribute Item.VB_UserMemId = 0\r\nEnd Property\r\n",
                             vbext_ct_ClassModule);
    m.text.Insert(0, {"Option Explicit"});
    m.text.Replace(1, {"Public Property Get Item() _", "    As Long"});
    EXPECT_EQ(m.text.Serialize(),
              "Attribute VB_Name = \"C\"\r\nOption Explicit\r\nPublic Property Get Item() _\r\n    As Long\r\n"
              "Attribute Item.VB_UserMemId = 0\r\nEnd Property\r\n");
}

TEST(ModuleFile, EditsOnLinesReadFromTheFileKeepEveryOtherByte) {
    // Mixed line ends, a lone CR inside a line, attribute lines after a
    // declaration and no final line end.
    const std::string bytes = "Attribute VB_Name = \"M\"\nPublic Sub A()\r\n"
                              "Attribute A.VB_Description = \"d\"\r\nAttribute A.VB_UserMemId = 0\n"
                              "  x = 1\r  y = 2\nEnd Sub\r\n' tail";
    auto m = ParseModuleFile(bytes, vbext_ct_StdModule);
    EXPECT_EQ(Visible(m), "Public Sub A()|  x = 1\r  y = 2|End Sub|' tail|");
    EXPECT_EQ(m.text.Serialize(), bytes);
    const ModuleText read = m.text;

    m.text.Replace(0, {"Private Sub A()"});
    m.text.Insert(4, {"' more"});
    EXPECT_EQ(m.text.Serialize(), "Attribute VB_Name = \"M\"\nPrivate Sub A()\r\n"
                                  "Attribute A.VB_Description = \"d\"\r\nAttribute A.VB_UserMemId = 0\n"
                                  "  x = 1\r  y = 2\nEnd Sub\r\n' tail\n' more\n");
    // Lines erased and inserted again reuse the edited lines' room; the
    // copy taken before the edits still reads the file's bytes.
    m.text.Erase(0, 5);
    m.text.Insert(0, {"a", "b"});
    m.text.Replace(1, {"c", "d"});
    EXPECT_EQ(m.text.Serialize(), "Attribute VB_Name = \"M\"\na\nc\nd\n");
    EXPECT_EQ(read.Serialize(), bytes);
}

TEST(ModuleFile, LinesInsertedIntoAFileWithoutFinalLineEndStartOnTheirOwnLine) {
    // Only hidden lines, the last without its line end: the new lines go on
    // lines of their own, with CR LF when the file shows no line end.
    auto bas = ParseModuleFile("Attribute VB_Name = \"modA\"", vbext_ct_StdModule);
    bas.text.Insert(0, {"#Const debugging = True"});
    EXPECT_EQ(bas.text.Serialize(), "Attribute VB_Name = \"modA\"\r\n#Const debugging = True\r\n");
    EXPECT_EQ(bas.name, "modA");

    // With the file's own line end, LF here.
    auto cls = ParseModuleFile("VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n"
                               "Attribute VB_Name = \"C\"\nAttribute VB_Exposed = False",
                               vbext_ct_ClassModule);
    cls.text.Insert(0, {"Public Sub S()", "End Sub"});
    EXPECT_EQ(cls.text.Serialize(), "VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n"
                                    "Attribute VB_Name = \"C\"\nAttribute VB_Exposed = False\n"
                                    "Public Sub S()\nEnd Sub\n");

    // A member attribute line that ends the file.
    auto member = ParseModuleFile("Attribute VB_Name = \"M\"\r\nPublic WithEvents T As Timer\r\n"
                                  "Attribute T.VB_VarHelpID = -1",
                                  vbext_ct_StdModule);
    member.text.Insert(1, {"' end"});
    EXPECT_EQ(member.text.Serialize(), "Attribute VB_Name = \"M\"\r\nPublic WithEvents T As Timer\r\n"
                                       "Attribute T.VB_VarHelpID = -1\r\n' end\r\n");
}

TEST(ModuleFile, DesignerFilesNeedTheirVersionBlock) {
    try {
        ParseModuleFile("Option Explicit\r\n", vbext_ct_UserControl);
        FAIL();
    } catch (const ModuleFileError& e) {
        EXPECT_EQ(e.Line(), 1);
    }
    try {
        ParseModuleFile("VERSION 5.00\r\nObject = \"{X}\"; \"x.ocx\"\r\nBegin VB.Form f\r\n  BeginProperty Font\r\nEnd\r\n",
                        vbext_ct_VBForm);
        FAIL();
    } catch (const ModuleFileError& e) {
        EXPECT_EQ(e.Line(), 3);
    }
}

TEST(ModuleFile, RenameRewritesNameAttributeAndFormLine) {
    std::string header = "VERSION 5.00\r\nBegin VB.Form frmOld \r\n   Begin VB.Label frmOld\r\n   End\r\nEnd\r\n"
                         "Attribute VB_Name = \"frmOld\"\r\n";
    EXPECT_EQ(RenameInHeader(header, "frmOld", "frmNew", "\r\n"),
              "VERSION 5.00\r\nBegin VB.Form frmNew \r\n   Begin VB.Label frmOld\r\n   End\r\nEnd\r\n"
              "Attribute VB_Name = \"frmNew\"\r\n");
    EXPECT_EQ(RenameInHeader("", "a", "basB", "\n"), "Attribute VB_Name = \"basB\"\n");
}

}  // namespace
}  // namespace vbide
