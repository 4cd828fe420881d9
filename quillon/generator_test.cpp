#include "quillon/generator.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace quillon {
namespace {

// Joins lines, each ended by CR LF.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const char* const kLogging = "    App.StartLogging App.Path & \"\\error.log\", vbLogtoFile";

ProcedureRequest Total() {
    ProcedureRequest r;
    r.intKind = kindFunction;
    r.intScope = scopePublic;
    r.strName = "Total";
    r.strArgs = "x As Long";
    r.strDataType = "Long";
    r.intError = r.intMouse = r.intContext = vbChecked;
    r.intRead = r.intWrite = r.intMember = r.intCodeMember = vbGrayed;
    return r;
}

ProcedureRequest ColorProperty() {
    ProcedureRequest r;
    r.intKind = kindProperty;
    r.strName = "Color";
    r.strDataType = "Long";
    r.intRead = r.intWrite = r.intMember = r.intCodeMember = vbChecked;
    return r;
}

TEST(GeneratorExamples, FunctionWithEveryOption) {
    EXPECT_EQ(BuildProcedure(Total(), false),
              Lines({"Public Function Total (x As Long)As Long",
                     "",
                     "On Error GoTo TotalErr",
                     "",
                     "    Dim intPointer As Integer",
                     "    intPointer = Screen.MousePointer",
                     "    Screen.MousePointer = vbHourGlass",
                     "",
                     "    Dim objContext As MTxAs.ObjectContext",
                     "    Set objContext = GetObjectContext()",
                     "",
                     "",
                     "    'Place Code Body Here!",
                     "",
                     "     objContext.SetComplete",
                     "",
                     "TotalExit:",
                     "    Screen.MousePointer = intPointer",
                     "    Exit Function ",
                     "",
                     "TotalErr:",
                     "     objContext.SetAbort",
                     "",
                     "    Debug.Print Err.Description",
                     kLogging,
                     "    App.LogEvent Err.Description, vbLogEventTypeError",
                     "    Resume TotalExit",
                     "",
                     "End Function "}));
}

TEST(GeneratorExamples, ValueProperty) {
    const ProcedureRequest r = ColorProperty();
    EXPECT_EQ(BuildProcedure(r, false),
              Lines({"Public Property Get Color ()As Long", "", "",
                     "    'Place Code Body Here!", "    Color = m_Color", "", "",
                     "End Property"}));
    EXPECT_EQ(BuildProcedure(r, true),
              Lines({"Public Property Let Color (lonColor As Long)", "", "",
                     "    'Place Code Body Here!", "     m_Color = lonColor", "", "",
                     "End Property"}));
    EXPECT_EQ(MemberDeclaration(r), "Private m_Color As Long\r\n");
}

TEST(GeneratorExamples, ObjectAndProjectClassProperty) {
    ProcedureRequest r = ColorProperty();
    r.strName = "Owner";
    r.strDataType = "CPerson";
    r.intDataClass = classProject;
    r.strProjectName = "Crm";
    EXPECT_EQ(BuildProcedure(r, false),
              Lines({"Public Property Get Owner ()As Crm.CPerson", "", "",
                     "    'Place Code Body Here!", "    Set Owner = m_Owner", "", "",
                     "End Property"}));
    EXPECT_EQ(BuildProcedure(r, true),
              Lines({"Public Property Set Owner (objOwner As Crm.CPerson)", "", "",
                     "    'Place Code Body Here!", "     Set m_Owner = objOwner", "", "",
                     "End Property"}));
    EXPECT_EQ(MemberDeclaration(r), "Private m_Owner As Crm.CPerson\r\n");

    r.strDataType = "Form";
    r.intDataClass = classObject;
    EXPECT_EQ(BuildHeader(r, false), "Public Property Get Owner ()As Form");
    EXPECT_EQ(BuildHeader(r, true), "Public Property Set Owner (objOwner As Form)");
    EXPECT_EQ(MemberDeclaration(r), "Private m_Owner As Form\r\n");
}

struct HeaderCase {
    const char* what;
    ProcedureRequest request;
    bool setter;
    const char* header;
};

ProcedureRequest With(std::int16_t kind, const char* name, const char* args,
                      const char* type, std::int16_t dataClass = classValue) {
    ProcedureRequest r;
    r.intKind = kind;
    r.strName = name;
    r.strArgs = args;
    r.strDataType = type;
    r.intDataClass = dataClass;
    r.strProjectName = "Proj";
    r.intRead = r.intWrite = vbChecked;
    return r;
}

template <typename F>
ProcedureRequest Changed(ProcedureRequest r, F change) {
    change(r);
    return r;
}

// Keyword, scope word, Static, arguments and the "As" clause of the declaration
// line, one row per rule.
TEST(GeneratorHeader, FollowsEveryRule) {
    const HeaderCase cases[] = {
        {"sub ignores its type", With(kindSub, "Go", "a, b", "Long"), false,
         "Public Sub Go (a, b)"},
        {"event ignores its type", With(kindEvent, "Done", "ByVal n As Long", "Long"), false,
         "Public Event Done (ByVal n As Long)"},
        {"function without type", With(kindFunction, "F", "", ""), false, "Public Function F ()"},
        {"function with blank type", With(kindFunction, "F", "", "   "), false,
         "Public Function F ()"},
        {"type with blanks is kept as typed", With(kindFunction, "F", "", " Long "), false,
         "Public Function F ()As  Long "},
        {"function of project class", With(kindFunction, "F", "", "CItem", classProject), false,
         "Public Function F ()As Proj.CItem"},
        {"function of object class", With(kindFunction, "F", "", "Form", classObject), false,
         "Public Function F ()As Form"},
        {"private scope", Changed(With(kindSub, "S", "", ""), [](auto& r) { r.intScope = scopePrivate; }),
         false, "Private Sub S ()"},
        {"friend static", Changed(With(kindFunction, "S", "", "Long"), [](auto& r) {
             r.intScope = scopeFriend;
             r.intStatic = vbChecked;
         }),
         false, "Friend Static Function S ()As Long"},
        {"grayed static is not static", Changed(With(kindSub, "S", "", ""), [](auto& r) {
             r.intStatic = vbGrayed;
         }),
         false, "Public Sub S ()"},
        {"unknown scope has no word", Changed(With(kindSub, "S", "", ""), [](auto& r) { r.intScope = 7; }),
         false, "Sub S ()"},
        {"unknown kind has no keyword", With(9, "S", "", ""), false, "Public S ()"},
        {"name and arguments as typed", With(kindSub, " Go  ", " x ", ""), false,
         "Public Sub  Go   ( x )"},
        {"property writer ignores typed arguments", With(kindProperty, "Color", "x, y", "Long"), true,
         "Public Property Let Color (lonColor As Long)"},
        {"property reader keeps typed arguments", With(kindProperty, "Item", "i", "Long"), false,
         "Public Property Get Item (i)As Long"},
        {"short type gives whole prefix", With(kindProperty, "Id", "", "ID"), true,
         "Public Property Let Id (idId As ID)"},
        {"Object is a value class", With(kindProperty, "Color", "", "Object"), true,
         "Public Property Let Color (objColor As Object)"},
        {"writer of empty type", With(kindProperty, "V", "", ""), true, "Public Property Let V (V As )"},
        {"writer has no As clause", With(kindProperty, "V", "", "Variant"), true,
         "Public Property Let V (varV As Variant)"},
        {"read cleared makes reader private", Changed(With(kindProperty, "P", "", "Long"), [](auto& r) {
             r.intRead = vbUnchecked;
         }),
         false, "Private Property Get P ()As Long"},
        {"write cleared makes writer private", Changed(With(kindProperty, "P", "", "Long"), [](auto& r) {
             r.intWrite = vbUnchecked;
         }),
         true, "Private Property Let P (lonP As Long)"},
        {"read grayed falls through to scope", Changed(With(kindProperty, "P", "", "Long"), [](auto& r) {
             r.intRead = vbGrayed;
             r.intScope = scopeFriend;
         }),
         false, "Friend Property Get P ()As Long"},
        {"write grayed falls through to scope", Changed(With(kindProperty, "P", "", "Long"), [](auto& r) {
             r.intWrite = vbGrayed;
             r.intScope = scopePrivate;
         }),
         true, "Private Property Let P (lonP As Long)"},
        {"reader ignores Write", Changed(With(kindProperty, "P", "", "Long"), [](auto& r) {
             r.intWrite = vbUnchecked;
         }),
         false, "Public Property Get P ()As Long"},
        {"Read and Write only matter for a property", Changed(With(kindSub, "S", "", ""), [](auto& r) {
             r.intRead = r.intWrite = vbUnchecked;
         }),
         false, "Public Sub S ()"},
    };
    for (const HeaderCase& c : cases) {
        EXPECT_EQ(BuildHeader(c.request, c.setter), c.header) << c.what;
    }
}

TEST(GeneratorHeader, ValuePrefixesOfTheStandardTypes) {
    const std::pair<const char*, const char*> prefixes[] = {
        {"Byte", "byt"},   {"Boolean", "boo"}, {"Integer", "int"}, {"Long", "lon"},
        {"Single", "sin"}, {"Double", "dou"},  {"Date", "dat"},    {"Currency", "cur"},
        {"Object", "obj"}, {"Variant", "var"}, {"String", "str"},  {"OLE_COLOR", "ole"},
    };
    for (const auto& [type, prefix] : prefixes) {
        ProcedureRequest r = With(kindProperty, "X", "", type);
        EXPECT_EQ(BuildHeader(r, true),
                  std::string("Public Property Let X (") + prefix + "X As " + type + ")");
    }
}

TEST(GeneratorStatements, ExitAndEndByKind) {
    EXPECT_EQ(ExitStatement(kindSub), "Exit Sub ");
    EXPECT_EQ(EndStatement(kindSub), "End Sub ");
    EXPECT_EQ(ExitStatement(kindFunction), "Exit Function ");
    EXPECT_EQ(EndStatement(kindFunction), "End Function ");
    EXPECT_EQ(ExitStatement(kindProperty), "Exit Property");
    EXPECT_EQ(EndStatement(kindProperty), "End Property");
    EXPECT_EQ(ExitStatement(kindEvent), "");
    EXPECT_EQ(EndStatement(kindEvent), "");
}

TEST(GeneratorProcedure, EventIgnoresEveryOption) {
    ProcedureRequest r = Total();
    r.intKind = kindEvent;
    r.intCodeMember = vbChecked;
    EXPECT_EQ(BuildProcedure(r, false), "Public Event Total (x As Long)\r\n\r\n");
    EXPECT_EQ(BuildProcedure(r, true), "Public Event Total (x As Long)\r\n\r\n");
}

TEST(GeneratorProcedure, PlainSubIsHeaderPlaceholderAndEnd) {
    EXPECT_EQ(BuildProcedure(With(kindSub, "Go", "", ""), false),
              Lines({"Public Sub Go ()", "", "", "    'Place Code Body Here!", "", "", "End Sub "}));
}

TEST(GeneratorProcedure, OptionsAloneAndTogether) {
    ProcedureRequest mouse = With(kindSub, "Go", "", "");
    mouse.intMouse = vbChecked;
    EXPECT_EQ(BuildProcedure(mouse, false),
              Lines({"Public Sub Go ()", "", "    Dim intPointer As Integer",
                     "    intPointer = Screen.MousePointer", "    Screen.MousePointer = vbHourGlass",
                     "", "", "    'Place Code Body Here!", "",
                     "    Screen.MousePointer = intPointer", "", "End Sub "}));

    ProcedureRequest context = With(kindSub, "Go", "", "");
    context.intContext = vbChecked;
    EXPECT_EQ(BuildProcedure(context, false),
              Lines({"Public Sub Go ()", "", "    Dim objContext As MTxAs.ObjectContext",
                     "    Set objContext = GetObjectContext()", "", "",
                     "    'Place Code Body Here!", "", "     objContext.SetComplete", "", "",
                     "End Sub "}));

    ProcedureRequest error = With(kindProperty, "P", "", "Long");
    error.intError = vbChecked;
    EXPECT_EQ(BuildProcedure(error, true),
              Lines({"Public Property Let P (lonP As Long)", "", "On Error GoTo PErr", "", "",
                     "    'Place Code Body Here!", "", "PExit:", "    Exit Property", "", "PErr:",
                     "    Debug.Print Err.Description", kLogging,
                     "    App.LogEvent Err.Description, vbLogEventTypeError", "    Resume PExit", "",
                     "End Property"}));
}

TEST(GeneratorProcedure, GrayedOptionsCountAsNotChosen) {
    ProcedureRequest grayed = With(kindSub, "Go", "", "");
    grayed.intError = grayed.intMouse = grayed.intContext = grayed.intCodeMember = vbGrayed;
    EXPECT_EQ(BuildProcedure(grayed, false), BuildProcedure(With(kindSub, "Go", "", ""), false));
}

TEST(GeneratorProcedure, CodeMemberFollowsSetterNotKind) {
    ProcedureRequest f = With(kindFunction, "Count", "", "Long");
    f.intCodeMember = vbChecked;
    EXPECT_EQ(BuildProcedure(f, false),
              Lines({"Public Function Count ()As Long", "", "", "    'Place Code Body Here!",
                     "    Count = m_Count", "", "", "End Function "}));
    f.intDataClass = classObject;
    EXPECT_NE(BuildProcedure(f, false).find("\r\n    Set Count = m_Count\r\n"), std::string::npos);

    ProcedureRequest object = With(kindProperty, "Color", "", "Object");
    object.intCodeMember = vbChecked;
    EXPECT_NE(BuildProcedure(object, true).find("\r\n     m_Color = objColor\r\n"),
              std::string::npos);
    EXPECT_NE(BuildProcedure(object, false).find("\r\n    Color = m_Color\r\n"), std::string::npos);
}

TEST(GeneratorProcedure, TrailingBlanksOfTheNameAreTrimmedInLabelsAndTheJump) {
    ProcedureRequest r = With(kindFunction, "Sum  ", "", "");
    r.intError = r.intCodeMember = vbChecked;
    EXPECT_EQ(BuildProcedure(r, false),
              Lines({"Public Function Sum   ()", "", "On Error GoTo SumErr", "", "",
                     "    'Place Code Body Here!", "    Sum   = m_Sum  ", "", "SumExit:",
                     "    Exit Function ", "", "SumErr:", "    Debug.Print Err.Description", kLogging,
                     "    App.LogEvent Err.Description, vbLogEventTypeError", "    Resume SumExit", "",
                     "End Function "}));
    r.intMember = vbChecked;
    r.strDataType = "Long";
    EXPECT_EQ(MemberDeclaration(r), "Private m_Sum   As Long\r\n");
}

TEST(GeneratorMember, TypeTextByDataClass) {
    ProcedureRequest r = With(kindSub, "Items", "", "Collection", classObject);
    EXPECT_EQ(MemberDeclaration(r), "Private m_Items As Collection\r\n");
    r.intDataClass = classProject;
    r.strDataType = "CItems";
    EXPECT_EQ(MemberDeclaration(r), "Private m_Items As Proj.CItems\r\n");
    r.intDataClass = classValue;
    r.strDataType = "";
    EXPECT_EQ(MemberDeclaration(r), "Private m_Items As \r\n");
}

}  // namespace
}  // namespace quillon
