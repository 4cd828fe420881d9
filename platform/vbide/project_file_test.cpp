#include "platform/vbide/project_file.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/vb_error.h"
#include "platform/vbide/environment.h"
#include "platform/win/save_journal.h"
#include "platform/win/test_support.h"

namespace vbide {
namespace {

namespace fs = std::filesystem;

// Each test works in a fresh temporary folder of its own.
class ProjectFiles : public ::testing::Test {
protected:
    void Write(const std::string& rel, const std::string& bytes) {
        fs::create_directories((dir_ / rel).parent_path());
        win::testing::WriteBytes(Path(rel), bytes);
        files_[rel] = bytes;
    }
    std::string Read(const std::string& rel) const { return win::testing::ReadBytes(Path(rel)); }
    // With the system's separators, as the loader gives its paths.
    std::string Path(const std::string& rel) const { return fs::path(dir_ / rel).make_preferred().string(); }
    // Every file written by the test, other than `except`, still holds its bytes.
    void ExpectUnchanged(const std::string& except = {}) {
        for (auto& [rel, bytes] : files_)
            if (rel != except) {
                EXPECT_EQ(Read(rel), bytes) << rel;
            }
    }
    // Writes a project with one module of every kind, as real projects are.
    void WriteSampleProject() {
        Write("App Folder/Sample.vbp",
              "Type=Exe\r\n"
              "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\WINDOWS\\SYSTEM\\STDOLE2.TLB#OLE Automation\r\n"
              "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX\r\n"
              "Form=Forms\\frmMain.frm\r\n"
              "Module=basMain; basMain.bas\r\n"
              "Class=CThing; ..\\Shared\\cthing.CLS\r\n"
              "UserControl=ctlBox.ctl\r\n"
              "PropertyPage=pagBox.pag\r\n"
              "UserDocument=docMain.dob\r\n"
              "Designer=dsrData.dsr\r\n"
              "RelatedDoc=readme.txt\r\n"
              "Startup=\"frmMain\"\r\n"
              "Command32=\"a=\"b\"\"\r\n"
              "Name=\"Sample\"\r\n"
              "FancyUnknownKey=kept as it is  \r\n"
              "MajorVer=1\r\n"
              "\r\n"
              "[MS Transaction Server]\r\n"
              "AutoRefresh=1\r\n"
              "\r\n"
              "[fastBuild]\r\n"
              "Options=\"/x y\" z\r\n");
        Write("App Folder/Forms/frmMain.frm",
              "VERSION 5.00\r\n"
              "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"\r\n"
              "Begin VB.Form frmMain \r\n"
              "   Caption         =   \"Caf\xe9 \"\r\n"
              "   BeginProperty Font \r\n"
              "      Name            =   \"Tahoma\"\r\n"
              "   EndProperty\r\n"
              "   Begin VB.CommandButton cmdOK \r\n"
              "      Caption         =   \"End\"\r\n"
              "   End\r\n"
              "End\r\n"
              "Attribute VB_Name = \"frmMain\"\r\n"
              "Attribute VB_GlobalNameSpace = False\r\n"
              "Attribute VB_PredeclaredId = True\r\n"
              "Option Explicit   \r\n"
              "\r\n"
              "Private Sub cmdOK_Click()\r\n"
              "    MsgBox \"na\xefve\"\r\n"
              "End Sub\r\n");
        Write("App Folder/basMain.bas",
              "Attribute VB_Name = \"basMain\"\r\n"
              "' banner \r\n"
              "Option Explicit\r\n"
              "#Const debugging = True\r\n"
              "' " + std::string(5000, 'x') + "\r\n"  // longer than the editor's 1,023
              "\r\n"
              "Sub Main()\r\n"
              "End Sub");  // no final line end
        Write("Shared/CThing.cls",
              "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
              "Attribute VB_Name = \"CThing\"\r\nAttribute VB_Exposed = True\r\n"
              "Option Explicit\r\n"
              "Private m_Item As Long\r\n"
              "\r\n"
              "Public Property Get Item() As Long\r\n"
              "Attribute Item.VB_UserMemId = 0\r\n"
              "    Item = m_Item\r\n"
              "End Property\r\n");
        const std::string designer = "VERSION 5.00\n"
                                     "Begin VB.UserControl ctlBox \n"
                                     "End\n"
                                     "Attribute VB_Name = \"ctlBox\"\n"
                                     "Option Explicit\n"
                                     "Dim x As Long\r\n";  // mixed line ends
        Write("App Folder/ctlBox.ctl", designer);
        Write("App Folder/pagBox.pag",
              "VERSION 5.00\r\nBegin VB.PropertyPage pagBox \r\nEnd\r\nAttribute VB_Name = \"pagBox\"\r\n");
        Write("App Folder/docMain.dob",
              "VERSION 5.00\r\nBegin VB.UserDocument docMain \r\nEnd\r\nAttribute VB_Name = \"docMain\"\r\n"
              "Option Explicit\r\n");
        Write("App Folder/dsrData.dsr",
              "VERSION 5.00\r\nBegin {C0E45035-5775-11D0-B388-00A0C9055D8E} dsrData \r\n"
              "   BeginProperty Connection1 \r\n   EndProperty\r\nEnd\r\n"
              "Attribute VB_Name = \"dsrData\"\r\n");
    }

    win::testing::TempFolder folder_;
    fs::path dir_ = folder_.Path();
    std::map<std::string, std::string> files_;
};

TEST_F(ProjectFiles, OpensEveryModuleKindShowingOnlyTheVisibleLines) {
    WriteSampleProject();
    auto env = Environment::Create();
    auto result = OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    ASSERT_EQ(result.projects.size(), 1u);
    EXPECT_TRUE(result.problems.empty()) << result.problems[0].Text();
    auto p = env->ActiveVBProject();
    EXPECT_EQ(p->Name(), "Sample");
    auto comps = p->VBComponents();
    ASSERT_EQ(comps->Count(), 7);
    std::vector<std::pair<std::string, std::int32_t>> seen;
    for (std::int32_t i = 1; i <= comps->Count(); ++i) seen.emplace_back(comps->Item(i)->Name(), comps->Item(i)->Type());
    std::vector<std::pair<std::string, std::int32_t>> expected = {
        {"frmMain", 5}, {"basMain", 1}, {"CThing", 2}, {"ctlBox", 8}, {"pagBox", 7}, {"docMain", 9}, {"dsrData", 11}};
    EXPECT_EQ(seen, expected);
    auto form = comps->Item("frmMain")->CodeModule();
    EXPECT_EQ(form->Lines(1, form->CountOfLines()),
              "Option Explicit   \r\n\r\nPrivate Sub cmdOK_Click()\r\n    MsgBox \"na\xefve\"\r\nEnd Sub");
    auto cls = comps->Item("CThing")->CodeModule();
    EXPECT_EQ(cls->Lines(1, cls->CountOfLines()),
              "Option Explicit\r\nPrivate m_Item As Long\r\n\r\nPublic Property Get Item() As Long\r\n"
              "    Item = m_Item\r\nEnd Property");
    EXPECT_EQ(cls->ProcBodyLine("Item", vbext_pk_Get), 4);
    EXPECT_EQ(comps->Item("pagBox")->CodeModule()->CountOfLines(), 0);
    EXPECT_EQ(p->ReadProperty("MS Transaction Server", "AutoRefresh"), "1");
    EXPECT_EQ(p->ReadProperty("fastbuild", "options"), "\"/x y\" z");
    EXPECT_FALSE(p->IsDirty());
}

// Opening a project finishes a journal beside it only when it names the
// project's own files, also those its module paths reach through "..";
// otherwise the environment reports it, and saving the project is refused.
TEST_F(ProjectFiles, AJournalIsFinishedOnlyWhereTheProjectsOwnPathsReach) {
    WriteSampleProject();
    Write("Other/victim", "precious");
    Write("Other/.victim.3-2.tmp", "attack");
    const std::string oldClass = Read("Shared/CThing.cls");
    const std::string newClass = oldClass + "' changed\r\n";
    Write("Shared/.CThing.cls.3-1.tmp", newClass);
    const auto step = [](const std::string& target, const std::string& temp, const std::string& before,
                         const std::string& after) {
        win::JournalStep s;
        s.oldHash = win::ContentHash(before);
        s.newHash = win::ContentHash(after);
        s.newSize = after.size();
        s.target = target;
        s.temp = temp;
        return s;
    };
    const win::JournalStep own = step("../Shared/CThing.cls", ".CThing.cls.3-1.tmp", oldClass, newClass);
    const std::string journal = Path("App Folder/.Sample.vbp.save-journal");
    Write("App Folder/.Sample.vbp.save-journal",
          win::JournalText({own, step("../Other/victim", ".victim.3-2.tmp", "precious", "attack")}) +
              std::string(win::kJournalCommit));
    {
        auto env = Environment::Create();
        const OpenResult opened = OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
        std::string said = "an unfinished save that does not belong to this project was left alone: " + journal;
#ifdef _WIN32
        // The save path names files with "/" between the names on Windows too.
        std::replace(said.begin(), said.end(), '\\', '/');
#endif
        ASSERT_EQ(opened.problems.size(), 1u);
        EXPECT_EQ(opened.problems[0].Text(), said);
        EXPECT_EQ(env->Reports(), std::vector<std::string>{said});
        EXPECT_EQ(Read("Other/victim"), "precious");
        EXPECT_EQ(Read("Shared/CThing.cls"), oldClass);
        auto project = env->ActiveVBProject();
        project->WriteProperty("Section", "Key", "1");
        try {
            project->SaveAs({});
            ADD_FAILURE() << "saved past a foreign journal";
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.Number(), 75);
            EXPECT_EQ(e.Description(), said);
        }
        EXPECT_TRUE(fs::exists(journal));
    }
    Write("App Folder/.Sample.vbp.save-journal", win::JournalText({own}) + std::string(win::kJournalCommit));
    auto env = Environment::Create();
    EXPECT_TRUE(OpenProjectFile(*env, Path("App Folder/Sample.vbp")).problems.empty());
    EXPECT_EQ(Read("Shared/CThing.cls"), newClass);
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_FALSE(fs::exists(Path("Shared/.CThing.cls.3-1.tmp")));
}

TEST_F(ProjectFiles, EditThenUndoSavesEveryFileByteForByte) {
    WriteSampleProject();
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    auto comps = env->ActiveVBProject()->VBComponents();
    for (std::int32_t i = 1; i <= comps->Count(); ++i) {
        auto m = comps->Item(i)->CodeModule();
        m->InsertLines(1, "' scratch");
        m->DeleteLines(1, 1);
    }
    SaveProject(env->ActiveVBProject());
    ExpectUnchanged();
    EXPECT_FALSE(env->ActiveVBProject()->IsDirty());
}

TEST_F(ProjectFiles, InsertLinesChangesExactlyThatModule) {
    WriteSampleProject();
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    auto cls = env->ActiveVBProject()->VBComponents()->Item("CThing")->CodeModule();
    cls->InsertLines(3, "Private m_Other As Long\r\n");
    cls->InsertLines(cls->CountOfLines() + 1, "\r\nPublic Sub Go()\r\nEnd Sub\r\n");
    SaveProject(env->ActiveVBProject());
    ExpectUnchanged("Shared/CThing.cls");
    EXPECT_EQ(Read("Shared/CThing.cls"),
              "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
              "Attribute VB_Name = \"CThing\"\r\nAttribute VB_Exposed = True\r\n"
              "Option Explicit\r\n"
              "Private m_Item As Long\r\n"
              "Private m_Other As Long\r\n"
              "\r\n"
              "Public Property Get Item() As Long\r\n"
              "Attribute Item.VB_UserMemId = 0\r\n"
              "    Item = m_Item\r\n"
              "End Property\r\n"
              "\r\nPublic Sub Go()\r\nEnd Sub\r\n");
}

TEST_F(ProjectFiles, NewLinesTakeTheFilesLineEndAndAMissingFinalEndIsAdded) {
    WriteSampleProject();
    Write("App Folder/basMain.bas", "Attribute VB_Name = \"basMain\"\nOption Explicit\nSub Main()\nEnd Sub");
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    auto m = env->ActiveVBProject()->VBComponents()->Item("basMain")->CodeModule();
    m->InsertLines(2, "#Const debugging = True\r\n");
    m->AddFromString("' end\r\n");
    SaveProject(env->ActiveVBProject());
    EXPECT_EQ(Read("App Folder/basMain.bas"),
              "Attribute VB_Name = \"basMain\"\nOption Explicit\n#Const debugging = True\nSub Main()\nEnd Sub\n' end\n");
}

TEST_F(ProjectFiles, PropertyStoreWritesGoIntoTheProjectFile) {
    WriteSampleProject();
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    auto p = env->ActiveVBProject();
    p->WriteProperty("MS Transaction Server", "AutoRefresh", "0");
    p->WriteProperty("Configurations", "Count", "2");
    p->WriteProperty("Configurations", "Config1", "debug");
    SaveProject(p);
    std::string vbp = files_["App Folder/Sample.vbp"];
    std::string expected = vbp;
    expected.replace(expected.find("AutoRefresh=1"), 13, "AutoRefresh=0");
    expected += "\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\n";
    EXPECT_EQ(Read("App Folder/Sample.vbp"), expected);
    ExpectUnchanged("App Folder/Sample.vbp");

    auto env2 = Environment::Create();
    OpenProjectFile(*env2, Path("App Folder/Sample.vbp"));
    EXPECT_EQ(env2->ActiveVBProject()->ReadProperty("Configurations", "Config1"), "debug");
}

TEST_F(ProjectFiles, MissingModuleIsReportedAndTheRestLoads) {
    WriteSampleProject();
    fs::remove(dir_ / "App Folder/pagBox.pag");
    files_.erase("App Folder/pagBox.pag");
    auto env = Environment::Create();
    auto result = OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0].line, 8);
    EXPECT_NE(result.problems[0].Text().find("Sample.vbp(8): file not found: pagBox.pag"), std::string::npos);
    ASSERT_EQ(env->Reports().size(), 1u);
    auto p = env->ActiveVBProject();
    EXPECT_EQ(p->VBComponents()->Count(), 6);
    p->WriteProperty("X", "y", "z");
    SaveProject(p);
    EXPECT_NE(Read("App Folder/Sample.vbp").find("PropertyPage=pagBox.pag\r\n"), std::string::npos);
}

TEST_F(ProjectFiles, NamesInADoubleByteCodePageKeepTheirBytes) {
    // 計算0 and the module 計算 in Shift-JIS; 0x5A and 0x76 are trail bytes.
    const std::string project = "\x8C\x76\x8E\x5A" "0";
    const std::string vbp = "Type=Exe\r\nModule=\x8C\x76\x8E\x5A; Calc.bas\r\nName=\"" + project + "\"\r\n";
    Write("Calc.vbp", vbp);
    Write("Calc.bas", "Attribute VB_Name = \"\x8C\x76\x8E\x5A\"\r\nOption Explicit\r\n");
    {
        win::testing::ScopedVariable japanese("TARNWICK_CODEPAGE", "932");
        auto env = Environment::Create();
        auto result = OpenProjectFile(*env, Path("Calc.vbp"));
        EXPECT_TRUE(result.problems.empty()) << result.problems[0].Text();
        auto p = env->ActiveVBProject();
        EXPECT_EQ(p->Name(), project);
        EXPECT_EQ(p->VBComponents()->Item(1)->Name(), "\x8C\x76\x8E\x5A");
        p->SetName("Calc");
        p->SetName(project);
        SaveProject(p);
        EXPECT_EQ(Read("Calc.vbp"), vbp);
        // A lead byte without its trail byte is no character.
        EXPECT_THROW(p->SetName("Calc\x8C"), vb::VbError);
    }
    // Read where the code page is Windows-1252, the names still load as
    // their bytes stand: nothing is reported, replaced or refused.
    {
        auto env = Environment::Create();
        auto result = OpenProjectFile(*env, Path("Calc.vbp"));
        EXPECT_TRUE(result.problems.empty()) << result.problems[0].Text();
        EXPECT_EQ(env->ActiveVBProject()->Name(), project);
        EXPECT_EQ(env->ActiveVBProject()->VBComponents()->Count(), 1);
        SaveProject(env->ActiveVBProject());
        EXPECT_EQ(Read("Calc.vbp"), vbp);
    }
    // A name no code page holds is reported and kept, never replaced.
    const std::string spaced = "Type=Exe\r\nModule=Calc; Calc.bas\r\nName=\"My Calc\"\r\n";
    Write("Calc.vbp", spaced);
    Write("Calc.bas", "Attribute VB_Name = \"Calc\"\r\nOption Explicit\r\n");
    auto env = Environment::Create();
    auto result = OpenProjectFile(*env, Path("Calc.vbp"));
    ASSERT_FALSE(result.problems.empty());
    EXPECT_NE(result.problems[0].Text().find("Calc.vbp(3): project name \"My Calc\" is no valid name in code page 1252; kept as it is"),
              std::string::npos)
        << result.problems[0].Text();
    EXPECT_EQ(env->ActiveVBProject()->Name(), "My Calc");
    SaveProject(env->ActiveVBProject());
    EXPECT_EQ(Read("Calc.vbp"), spaced);
}

TEST_F(ProjectFiles, BadModuleFilesNameTheFileAndLine) {
    WriteSampleProject();
    Write("App Folder/basMain.bas", std::string("Attribute VB_Name = \"basMain\"\r\nDim a\r\nx\0y\r\n", 42));
    Write("App Folder/ctlBox.ctl", "VERSION 5.00\r\nBegin VB.UserControl ctlBox\r\n   Begin VB.Label l\r\nEnd\r\n");
    auto env = Environment::Create();
    auto result = OpenProjectFile(*env, Path("App Folder/Sample.vbp"));
    ASSERT_EQ(result.problems.size(), 2u);
    EXPECT_NE(result.problems[0].Text().find("basMain.bas(3): NUL byte"), std::string::npos);
    EXPECT_NE(result.problems[1].Text().find("ctlBox.ctl(2): \"Begin\" block is not closed"), std::string::npos);
    EXPECT_EQ(env->ActiveVBProject()->VBComponents()->Count(), 5);
    ExpectUnchanged();
}

TEST_F(ProjectFiles, ProjectFileErrors) {
    auto env = Environment::Create();
    auto code = [&](const std::string& rel) {
        try {
            OpenProjectFile(*env, Path(rel));
        } catch (const vb::VbError& e) {
            return std::make_pair(e.Number(), e.Description());
        }
        return std::make_pair(std::int32_t{0}, std::string());
    };
    EXPECT_EQ(code("none.vbp").first, 53);
    Write("bad.vbp", "hello\r\n");
    EXPECT_EQ(code("bad.vbp").first, 5);
    EXPECT_NE(code("bad.vbp").second.find("bad.vbp(1)"), std::string::npos);
    Write("notype.vbp", "Name=\"X\"\r\n");
    EXPECT_EQ(code("notype.vbp").first, 5);
    Write("zero.vbp", std::string("Type=Exe\r\nName=\0\r\n", 18));
    EXPECT_NE(code("zero.vbp").second.find("zero.vbp(2)"), std::string::npos);
    EXPECT_EQ(env->VBProjects()->Count(), 0);
}

TEST_F(ProjectFiles, ResolvesPathsWithoutRegardToCase) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names ignore case themselves: a path resolves as it is written";
#endif
    Write("Top/Sub Dir/File.BAS", "x");
    EXPECT_EQ(ResolvePath(Path("Top/Other"), "..\\sub dir\\file.bas"), Path("Top/Sub Dir/File.BAS"));
    EXPECT_EQ(ResolvePath(Path("Top"), "SUB DIR\\FILE.bas"), Path("Top/Sub Dir/File.BAS"));
    EXPECT_EQ(ResolvePath(Path("Top"), "missing\\a.bas"), Path("Top/missing/a.bas"));
}

TEST_F(ProjectFiles, GroupOpensStartupProjectFirstAndActive) {
    Write("a/A.vbp", "Type=Exe\r\nModule=basA; basA.bas\r\nName=\"A\"\r\n");
    Write("a/basA.bas", "Attribute VB_Name = \"basA\"\r\n");
    Write("b/B.vbp", "Type=OleDll\r\nName=\"B\"\r\n");
    Write("g.vbg", "VBGROUP 5.0\r\nProject=a\\A.vbp\r\nStartupProject=B\\b.vbp\r\n");
    auto env = Environment::Create();
    auto result = OpenProjectFile(*env, Path("g.vbg"));
    ASSERT_EQ(result.projects.size(), 2u);
    EXPECT_EQ(env->ActiveVBProject()->Name(), "B");
    EXPECT_EQ(env->VBProjects()->Item(2)->VBComponents()->Item(1)->Name(), "basA");
}

TEST_F(ProjectFiles, NewProjectSavesAndReopens) {
    auto env = Environment::Create();
    auto p = env->AddProject("Fresh");
    auto m = env->AddComponent(p, vbext_ct_ClassModule, "CWidget", "Option Explicit\r\n");
    p->WriteProperty("Configurations", "Count", "1");
    SaveProject(p, Path("new/Fresh.vbp"));
    EXPECT_EQ(Read("new/Fresh.vbp"),
              "Type=Exe\r\nClass=CWidget; CWidget.cls\r\nName=\"Fresh\"\r\n\r\n[Configurations]\r\nCount=1\r\n");
    env->AddComponent(p, vbext_ct_StdModule, "basLater", "Sub Main()\r\nEnd Sub\r\n");
    m->SetName("CGadget");
    SaveProject(p);
    auto env2 = Environment::Create();
    OpenProjectFile(*env2, Path("new/Fresh.vbp"));
    auto comps = env2->ActiveVBProject()->VBComponents();
    ASSERT_EQ(comps->Count(), 2);
    EXPECT_EQ(comps->Item(1)->Name(), "CGadget");
    EXPECT_EQ(comps->Item(1)->CodeModule()->Lines(1, 1), "Option Explicit");
    EXPECT_EQ(comps->Item(2)->CodeModule()->Lines(1, 2), "Sub Main()\r\nEnd Sub");
}

TEST_F(ProjectFiles, SaveAsWritesTheProjectFileUnderTheNewName) {
    Write("a/P.vbp", "Type=Exe\r\nModule=basA; basA.bas\r\nName=\"P\"\r\n");
    Write("a/basA.bas", "Attribute VB_Name = \"basA\"\r\nSub Main()\r\nEnd Sub\r\n");
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("a/P.vbp"));
    auto p = env->ActiveVBProject();

    // Same folder: the new file holds the same lines, the old one stays.
    SaveProject(p, Path("a/R.vbp"));
    EXPECT_EQ(Read("a/R.vbp"), Read("a/P.vbp"));
    EXPECT_EQ(p->FileName(), Path("a/R.vbp"));

    // Another folder: the modules stay where they are and are named from
    // there; a module never saved goes beside the new project file.
    p->VBComponents()->Item(1)->CodeModule()->ReplaceLine(1, "Sub Main() ' moved");
    env->AddComponent(p, vbext_ct_StdModule, "basNew", "Sub Later()\r\nEnd Sub\r\n");
    SaveProject(p, Path("b/Q.vbp"));
    EXPECT_EQ(p->FileName(), Path("b/Q.vbp"));
    EXPECT_EQ(Read("b/Q.vbp"), "Type=Exe\r\nModule=basA; ..\\a\\basA.bas\r\nModule=basNew; basNew.bas\r\nName=\"P\"\r\n");
    EXPECT_EQ(Read("a/P.vbp"), files_["a/P.vbp"]);
    EXPECT_FALSE(fs::exists(Path("a/basNew.bas")));

    auto env2 = Environment::Create();
    OpenProjectFile(*env2, Path("b/Q.vbp"));
    auto comps = env2->ActiveVBProject()->VBComponents();
    ASSERT_EQ(comps->Count(), 2);
    EXPECT_EQ(comps->Item(1)->CodeModule()->Lines(1, 1), "Sub Main() ' moved");
    EXPECT_EQ(comps->Item(2)->CodeModule()->Lines(1, 1), "Sub Later()");
}

TEST_F(ProjectFiles, FailedSaveAsKeepsTheOldName) {
    Write("a/P.vbp", "Type=Exe\r\nModule=basA; basA.bas\r\nName=\"P\"\r\n");
    Write("a/basA.bas", "Attribute VB_Name = \"basA\"\r\n");
    Write("b/Q.vbp", "read-only\r\n");
    fs::permissions(Path("b/Q.vbp"), fs::perms::owner_read);
    auto env = Environment::Create();
    OpenProjectFile(*env, Path("a/P.vbp"));
    auto p = env->ActiveVBProject();
    EXPECT_THROW(SaveProject(p, Path("b/Q.vbp")), vb::VbError);
    fs::permissions(Path("b/Q.vbp"), fs::perms::owner_all);
    EXPECT_EQ(p->FileName(), Path("a/P.vbp"));
    EXPECT_EQ(Read("b/Q.vbp"), "read-only\r\n");
}

}  // namespace
}  // namespace vbide
