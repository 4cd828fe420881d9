#include "quillon/procedure_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/vbide/environment.h"
#include "platform/vbide/declaration_checker.h"
#include "platform/vbide/module_text.h"
#include "platform/win/test_support.h"
#include "quillon/generator.h"
#include "quillon/test_project.h"

namespace quillon {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Command(std::vector<std::string> args) {
    std::ostringstream out, err;
    const auto env = vbide::Environment::Create();
    env->SetHoldsProjectLocks(true);
    const int status = RunProcedureCommand(args, *env, out, err);
    return {status, out.str(), err.str()};
}

TEST(ProcedureCommand, FunctionWithOptionsIsWrittenByteForByte) {
    const Result r = Command({"--kind", "function", "--name", "Total", "--args", "x As Long",
                          "--type", "Long", "--error", "1", "--mouse", "1", "--context", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ProcedureRequest total;
    total.intKind = kindFunction;
    total.strName = "Total";
    total.strArgs = "x As Long";
    total.strDataType = "Long";
    total.intError = total.intMouse = total.intContext = vbChecked;
    EXPECT_EQ(r.out, BuildProcedure(total, false));
}

TEST(ProcedureCommand, PropertyKindChecksReadWriteAndMembers) {
    const Result r = Command({"--kind", "property", "--name", "Color", "--type", "Long"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Public Property Get Color ()As Long\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "    Color = m_Color\r\n\r\n\r\nEnd Property\r\n"
              "Public Property Let Color (lonColor As Long)\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "     m_Color = lonColor\r\n\r\n\r\nEnd Property\r\n"
              "Private m_Color As Long\r\n");
}

TEST(ProcedureCommand, OptionsOverrideTheKindColumn) {
    const Result r = Command({"--kind=property", "--name=Color", "--type=Long", "--member=0",
                          "--code-member=0", "--read=0", "--write=2", "--scope=public"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Private Property Get Color ()As Long\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "\r\n\r\nEnd Property\r\n"
              "Public Property Let Color (lonColor As Long)\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "\r\n\r\nEnd Property\r\n");
}

TEST(ProcedureCommand, DataClassFollowsTheStandardTypeUnlessGiven) {
    auto writer = [](std::vector<std::string> extra) {
        std::vector<std::string> args{"--kind", "property", "--name", "P", "--member", "0"};
        args.insert(args.end(), extra.begin(), extra.end());
        const Result r = Command(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const auto start = r.out.find("End Property\r\n") + 14;
        return r.out.substr(start, r.out.find("\r\n", start) - start);
    };
    EXPECT_EQ(writer({"--type", "Form"}), "Public Property Set P (objP As Form)");
    EXPECT_EQ(writer({"--type", " stdfont"}), "Public Property Set P (objP As  stdfont)");
    EXPECT_EQ(writer({"--type", "Object"}), "Public Property Let P (objP As Object)");
    EXPECT_EQ(writer({"--type", "Collection"}), "Public Property Let P (colP As Collection)");
    EXPECT_EQ(writer({"--type", "Collection", "--class", "1"}),
              "Public Property Set P (objP As Collection)");
    EXPECT_EQ(writer({"--type", "Form", "--class", "0"}), "Public Property Let P (forP As Form)");
    EXPECT_EQ(writer({"--type", "CItem", "--class", "2", "--project-name", "Shop"}),
              "Public Property Set P (objP As Shop.CItem)");
}

TEST(ProcedureCommand, EventAndSubKeepOnlyWhatApplies) {
    EXPECT_EQ(Command({"--kind", "event", "--name", "Done", "--args", "ByVal n As Long", "--context", "1"}).out,
              "Public Event Done (ByVal n As Long)\r\n\r\n");
    EXPECT_EQ(Command({"--name", "Go", "--scope", "friend", "--static", "1", "--member", "1"}).out,
              "Friend Static Sub Go ()\r\n\r\n\r\n    'Place Code Body Here!\r\n\r\n\r\nEnd Sub \r\n"
              "Private m_Go As \r\n");
}

// Every text the generator writes, for every kind, scope, option, data class,
// type, argument list and name, against what the environment takes: a legal
// construct is accepted and an illegal one refused.
TEST(ProcedureCommand, TheEnvironmentTakesExactlyTheLegalTextsTheGeneratorWrites) {
    auto accepted = [](const std::string& text) {
        return vbide::CheckInsertedCode(vbide::ModuleText::SplitLines(text), vbide::vbext_ct_ClassModule).ok;
    };
    struct Arguments {
        const char* text;
        bool legal;        // in a procedure
        bool legalInEvent;
    };
    const Arguments argumentLists[] = {
        {"", true, true},
        {"ByVal n As Long, Optional s$ = \"a,b\", Optional v", true, false},
        {"ByVal n As Long, a() As String, ParamArray v()", true, false},
        {"Optional y, x As Long", false, false},
        {"Optional s$ = \"a,b\", ParamArray v()", false, false},
    };
    ProcedureRequest r;
    r.strProjectName = "Shop";
    std::int32_t checked = 0;
    for (const char* name : {"Total ", "Total&"})
        for (r.intKind = 0; r.intKind < 4; ++r.intKind)
            for (r.intScope = 0; r.intScope < 3; ++r.intScope)
                for (int boxes = 0; boxes < 64; ++boxes)
                    for (r.intDataClass = 0; r.intDataClass < 3; ++r.intDataClass)
                        for (const char* type : {"", "Long", " CItem ", "String * 10", "Long()"})
                            for (const Arguments& args : argumentLists)
                                for (CheckState read = 0; read < (r.intKind == kindProperty ? 3 : 1); ++read) {
                                    const std::string typeText = type;
                                    // A fixed-length string or an array is no class of the project.
                                    if (r.intDataClass == classProject &&
                                        typeText.find_first_of("*(") != std::string::npos)
                                        continue;
                                    r.strName = name;
                                    r.intStatic = boxes & 1;
                                    r.intError = (boxes >> 1) & 1;
                                    r.intMouse = (boxes >> 2) & 1;
                                    r.intContext = (boxes >> 3) & 1;
                                    r.intMember = (boxes >> 4) & 1;
                                    r.intCodeMember = (boxes >> 5) & 1;
                                    r.intRead = read;
                                    r.intWrite = static_cast<CheckState>(2 - read);
                                    r.strDataType = type;
                                    r.strArgs = args.text;
                                    const bool typed = !typeText.empty();
                                    const bool event = r.intKind == kindEvent;
                                    const bool returnsValue = r.intKind == kindFunction || r.intKind == kindProperty;
                                    // A type character stands for the As clause, on a function or a
                                    // reader only, and cannot go into the error handler's labels.
                                    const bool typedName = name[5] == '&';
                                    const bool nameLegal =
                                        !typedName || (returnsValue && !typed && r.intError != vbChecked);
                                    // A writer's parameter and a member take no array type.
                                    const bool declarable = typed && !typedName && typeText != "Long()";
                                    const std::string context = BuildHeader(r, false) + " member " +
                                                                std::to_string(r.intMember) + " error " +
                                                                std::to_string(r.intError);
                                    EXPECT_EQ(accepted(BuildProcedure(r, false)),
                                              (event ? args.legalInEvent : args.legal) && nameLegal)
                                        << context;
                                    if (r.intKind == kindProperty) {
                                        EXPECT_EQ(accepted(BuildProcedure(r, true)), declarable) << context;
                                    }
                                    if (r.intMember == vbChecked) {
                                        EXPECT_EQ(accepted(MemberDeclaration(r)), declarable) << context;
                                    }
                                    ++checked;
                                }
    EXPECT_GT(checked, 100000);
}

TEST(ProcedureCommand, TextsTypedInTheTerminalAreWrittenInTheCodePage) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows arguments arrive from the wide command line in the ANSI code page, not through the "
                    "locale's encoding (the byte-for-byte test of tarnwick.exe covers them)";
#endif
    win::testing::ScopedVariable locale("LC_ALL", "C.UTF-8");
    win::testing::ScopedVariable western("TARNWICK_CODEPAGE", "1252");
    const Result r = Command({"--kind", "function", "--name", "Gr\xC3\xB6\xC3\x9F" "e", "--args",
                              "ByVal s\xC3\xA9 As String", "--type", "Caf\xC3\xA9"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Public Function Gr\xF6\xDF" "e (ByVal s\xE9 As String)As Caf\xE9\r\n", 0), 0u) << r.out;
    const Result refused = Command({"--name", "\xE8\xA8\x88"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind("tarnwick procedure: --name: the text holds a character that code page 1252 lacks", 0),
              0u)
        << refused.err;
    win::testing::ScopedVariable japanese("TARNWICK_CODEPAGE", "932");
    EXPECT_EQ(Command({"--name", "\xE8\xA8\x88"}).out.rfind("Public Sub \x8C\x76 ()\r\n", 0), 0u);
}

TEST(ProcedureCommand, UsageErrorsNameTheOptionAndWriteNothing) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "--name is required"},
        {{"--name", "   "}, "--name: the name is blank"},
        {{"--name", "X", "--kind", "macro"}, "--kind: expected sub, function, property or event"},
        {{"--name", "X", "--scope", "global"}, "--scope: expected public, private or friend"},
        {{"--name", "X", "--error", "yes"}, "--error: expected 0, 1 or 2"},
        {{"--name", "X", "--class", "3"}, "--class: expected 0, 1 or 2"},
        {{"--name", "X", "--class", "2"}, "--class: data class 2 needs --project-name"},
        {{"--name", "X", "--type", "Long"}, "--type: a sub has no data type"},
        {{"--name", "X", "--kind", "event", "--type", "Long"}, "--type: an event has no data type"},
        {{"--name", "X", "--kind", "property", "--args", "i"}, "--args: a property takes no typed"},
        {{"--name", "X", "--kind", "property", "--scope", "private"}, "--scope: a property is always public"},
        {{"--name", "X", "--kind", "property", "--static", "1"}, "--static: cannot be set for a property"},
        {{"--name", "X", "--kind", "event", "--mouse", "1"}, "--mouse: cannot be set for an event"},
        {{"--name", "X", "--kind", "event", "--error", "2"}, "--error: cannot be set for an event"},
        {{"--name", "X", "--name", "Y"}, "--name is given twice"},
        {{"--name"}, "--name needs a value"},
        {{"--name", "X", "--colour", "red"}, "unknown option '--colour'"},
        {{"--name", "X", "extra"}, "unexpected argument 'extra'"},
        {{"--name", "X", "--vbp", "a.vbp"}, "--vbp needs --module"},
        {{"--name", "X", "--module", "Module1"}, "--module needs --vbp"},
        {{"--name", "X", "--vbp", "a.vbp", "--module", "M", "--project-name", "P"},
         "--project-name: not used with --vbp"},
        {{"--name", "X\r\nEnd Sub"}, "--name: the text holds a line break"},
        {{"--name", "X", "--args", "a As Long\nb"}, "--args: the text holds a line break"},
        {{"--kind", "function", "--name", "X", "--type=Long\r"}, "--type: the text holds a line break"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = Command(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.out, "") << message;
        EXPECT_EQ(r.err.rfind(std::string("tarnwick procedure: ") + message, 0), 0u) << r.err;
    }
}

TEST(ProcedureCommand, DisabledControlsAcceptTheValueTheKindSets) {
    const Result r = Command({"--kind", "event", "--name", "E", "--scope", "public", "--static", "0",
                          "--mouse", "0", "--error", "0", "--type", ""});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Public Event E ()\r\n\r\n");
}

TEST(ProcedureCommand, HelpWordsAsValuesAreValues) {
    const Result r = Command({"--name", "X", "--args", "-h"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Public Sub X (-h)\r\n", 0), 0u) << r.out;
    EXPECT_EQ(Command({"--name", "--help"}).out.rfind("Public Sub --help ()", 0), 0u);
    EXPECT_EQ(Command({"--args", "x", "-h"}).out.rfind("Usage:", 0), 0u);
}

TEST(ProcedureCommand, HelpDocumentsEveryOption) {
    const Result r = Command({"--name", "X", "--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--kind", "--scope", "--name", "--args", "--type", "--class",
                               "--project-name", "--static", "--error", "--mouse", "--context",
                               "--member", "--code-member", "--read", "--write", "--vbp", "--module"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

using testing::TempProject;

std::vector<std::string> Into(const TempProject& project, const char* module,
                              std::vector<std::string> args) {
    args.insert(args.end(), {"--vbp", project.Vbp(), "--module", module});
    return args;
}

TEST(ProcedureCommandProject, PropertyLandsWhereTheAddInPutsIt) {
    TempProject project;
    const Result r = Command(Into(project, "citem", {"--kind", "property", "--name", "Owner", "--type", "CItem"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(project.Read("CItem.cls"),
              std::string(testing::kCItem) + "Private m_Owner As Shop.CItem\r\n"
              "Public Property Get Owner ()As Shop.CItem\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "    Set Owner = m_Owner\r\n\r\n\r\nEnd Property\r\n"
              "Public Property Set Owner (objOwner As Shop.CItem)\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "     Set m_Owner = objOwner\r\n\r\n\r\nEnd Property\r\n");
    EXPECT_EQ(project.Read("basMain.bas"), testing::kBasMain);
    EXPECT_EQ(project.Read("Shop.vbp"), testing::kShopVbp);
}

TEST(ProcedureCommandProject, FunctionIsAppendedAfterTheLastProcedure) {
    TempProject project;
    const Result r = Command(Into(project, "basMain", {"--kind", "function", "--name", "Twice", "--args",
                                                       "ByVal n As Long", "--type", "Long", "--member", "1"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(project.Read("basMain.bas"),
              "Attribute VB_Name = \"basMain\"\r\nOption Explicit\r\nPrivate mCount As Long\r\n"
              "Private m_Twice As Long\r\n\r\nSub Main()\r\nEnd Sub\r\n"
              "Public Function Twice (ByVal n As Long)As Long\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "\r\n\r\nEnd Function \r\n");
}

TEST(ProcedureCommandProject, RejectedConstructChangesNoFile) {
    TempProject project;
    // An event has no place in a standard module.
    Result r = Command(Into(project, "basMain", {"--kind", "event", "--name", "Changed"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarnwick procedure: Illegal or incorrect procedure construct.\n");
    // The reader is accepted, the writer is not (its comment swallows the
    // closing parenthesis): nothing is saved, not even the reader.
    r = Command(Into(project, "CItem", {"--kind", "property", "--name", "Note", "--type", "Long 'x"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarnwick procedure: Illegal or incorrect procedure construct.\n");
    // A property without a type, a member without one, arguments that do not
    // parse: refused whole.
    const std::vector<std::vector<std::string>> refused = {
        {"--kind", "property", "--name", "Color"},
        {"--name", "DoIt", "--member", "1"},
        {"--name", "DoIt", "--args", "x As Long Long"},
        {"--name", "DoIt", "--args", "a,,b"},
        {"--kind", "function", "--name", "DoIt", "--type", "1abc"},
    };
    for (const auto& args : refused) {
        r = Command(Into(project, "CItem", args));
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_EQ(r.err, "tarnwick procedure: Illegal or incorrect procedure construct.\n");
    }
    EXPECT_EQ(project.Read("basMain.bas"), testing::kBasMain);
    EXPECT_EQ(project.Read("CItem.cls"), testing::kCItem);
    EXPECT_EQ(project.Read("Shop.vbp"), testing::kShopVbp);
}

TEST(ProcedureCommandProject, EventLandsBeforeTheFirstProcedure) {
    TempProject project;
    project.Write("CItem.cls", std::string(testing::kCItem) + "\r\nPublic Sub Go()\r\nEnd Sub\r\n");
    const Result r = Command(Into(project, "CItem", {"--kind", "event", "--name", "Changed", "--args", "ByVal n As Long"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(project.Read("CItem.cls"), std::string(testing::kCItem) +
                                             "Public Event Changed (ByVal n As Long)\r\n\r\n"
                                             "\r\nPublic Sub Go()\r\nEnd Sub\r\n");
}

TEST(ProcedureCommandProject, MissingProjectOrModuleIsReported) {
    TempProject project;
    Result r = Command(Into(project, "basOther", {"--name", "Go"}));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tarnwick procedure: --module: the project has no module named 'basOther'\n");
    r = Command({"--name", "Go", "--vbp", (project.Folder() / "None.vbp").string(), "--module", "basMain"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("tarnwick procedure: " + (project.Folder() / "None.vbp").string() + ": ", 0), 0u)
        << r.err;
    EXPECT_EQ(project.Read("basMain.bas"), testing::kBasMain);
}

}  // namespace
}  // namespace quillon
