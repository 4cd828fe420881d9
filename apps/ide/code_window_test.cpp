#include "apps/ide/code_window.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QFontMetricsF>
#include <QTextBlock>

#include "apps/ide/code_editor.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/builder.h"

namespace ide {
namespace {

TEST(DeclaredProcedure, FindsNameAndKindOfDeclarations) {
    struct Case {
        const char* line;
        const char* name;
        const char* kind;
    };
    const Case cases[] = {
        {"Sub Main()", "Main", "Sub"},
        {"  Private Static Function Total(ByVal x As Long) As Long", "Total", "Function"},
        {"Public Property Get Holder() As String", "Holder", "Property Get"},
        {"friend property let Holder(ByVal s As String)", "Holder", "Property Let"},
        {"Property Set Item(ByVal o As Object)", "Item", "Property Set"},
        {"Public Sub Post _", "Post", "Sub"},
        {"Dim Subtotal As Long", "", ""},
        {"Public Submit As Long", "", ""},
        {"' Sub Commented()", "", ""},
        {"Property Gets()", "", ""},
        {"End Sub", "", ""},
    };
    for (const auto& c : cases) {
        ProcedureLine p = DeclaredProcedure(c.line);
        EXPECT_EQ(p.name, c.name) << c.line;
        EXPECT_EQ(p.kind, c.kind) << c.line;
    }
    EXPECT_TRUE(EndsProcedure("  End Property"));
    EXPECT_TRUE(EndsProcedure("End Function ' done"));
    EXPECT_FALSE(EndsProcedure("End"));
    EXPECT_FALSE(EndsProcedure("End If"));
}

TEST(CodeWindow, ProcedureBoxListsFollowsAndMoves) {
    forms::qt::EnsureQtUi();
    auto env = vbide::EnvironmentBuilder::SingleModule(
        "Option Explicit\r\nPrivate m As Long\r\n\r\nSub A()\r\n    m = 1\r\nEnd Sub\r\n\r\n"
        "Public Property Get B() As Long\r\n    B = m\r\nEnd Property\r\n",
        vbide::vbext_ct_ClassModule);
    CodeWindow window(env->ActiveCodePane());
    QComboBox* box = window.ProcedureBox();
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(0), "(Declarations)");
    EXPECT_EQ(box->itemText(1), "A");
    EXPECT_EQ(box->itemText(2), "B [Get]");

    CodeEditor* editor = window.Editor();
    auto moveTo = [&](int line) { editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(line - 1))); };
    moveTo(5);
    EXPECT_EQ(box->currentIndex(), 1);
    moveTo(7);  // the blank line after End Sub
    EXPECT_EQ(box->currentIndex(), 0);
    moveTo(9);
    EXPECT_EQ(box->currentIndex(), 2);

    emit box->activated(1);
    EXPECT_EQ(editor->textCursor().blockNumber() + 1, 4);

    // A procedure added from elsewhere is listed.
    env->ActiveCodePane()->CodeModule()->AddFromString("\r\nSub C()\r\nEnd Sub\r\n");
    editor->ModuleChanged();
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(3), "C");

    // Typing a declaration lists it, and the module gets it.
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    end.insertText("\nFriend Function D() As Long");
    ASSERT_EQ(box->count(), 5);
    EXPECT_EQ(box->itemText(4), "D");
    auto module = env->ActiveCodePane()->CodeModule();
    EXPECT_EQ(module->Lines(module->CountOfLines(), 1), "Friend Function D() As Long");
    // Lines typed above move the procedures without listing them again.
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(0)));
    editor->textCursor().insertText("' top\n");
    moveTo(10);  // Property Get B, one line lower
    EXPECT_EQ(box->currentIndex(), 2);
    emit box->activated(3);
    EXPECT_EQ(editor->textCursor().block().text(), "Sub C()");
}

// The module's longest line is laid out from the start, so that the widest
// line the editor knows is not the one typed on: narrowing that one would make
// it search the whole module on every key.
TEST(CodeEditor, KnowsTheLongestLineFromTheStart) {
    forms::qt::EnsureQtUi();
    auto env = vbide::EnvironmentBuilder::SingleModule(
        "Sub A()\r\n    x = 1\r\n\ty = \"a longer line\"\r\n\t\tz = 2\r\nEnd Sub\r\n");
    CodeEditor editor(env->ActiveCodePane());
    QAbstractTextDocumentLayout* layout = editor.document()->documentLayout();
    const qreal longest = QFontMetricsF(editor.font()).horizontalAdvance("    y = \"a longer line\"");
    EXPECT_GE(layout->documentSize().width(), longest);

    QTextCursor c(editor.document()->findBlockByNumber(1));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText("23");
    c.deletePreviousChar();
    EXPECT_GE(layout->documentSize().width(), longest);
    EXPECT_EQ(env->ActiveCodePane()->CodeModule()->Lines(2, 1), "    x = 12");
    editor.resize(300, 100);
    editor.resize(200, 100);
    EXPECT_GE(layout->documentSize().width(), longest) << "a new width lays it out again";
}

TEST(ProcedureList, FollowsTheLinesAnEditChanged) {
    ProcedureList list;
    auto lines = [&] {
        std::vector<std::string> out;
        for (const auto& e : list.Entries()) out.push_back(std::to_string(e.line) + " " + e.Label());
        return out;
    };
    using Lines = std::vector<std::string>;
    EXPECT_TRUE(list.LinesChanged(0, 0, {"Option Explicit", "Sub A()", "End Sub", "Property Let B(v)", "End Property"}));
    EXPECT_EQ(lines(), (Lines{"1 A", "3 B [Let]"}));
    EXPECT_FALSE(list.LinesChanged(2, 1, {"  x = 1", "End Sub"}));  // a line more in A
    EXPECT_EQ(lines(), (Lines{"1 A", "4 B [Let]"}));
    EXPECT_TRUE(list.LinesChanged(1, 1, {"Sub A2()"}));  // renamed
    EXPECT_FALSE(list.LinesChanged(0, 0, {"' top"}));
    EXPECT_EQ(lines(), (Lines{"2 A2", "5 B [Let]"}));
    EXPECT_EQ(list.IndexAt(0), -1);
    EXPECT_EQ(list.IndexAt(4), 0);
    EXPECT_EQ(list.IndexAt(9), 1);
    EXPECT_TRUE(list.LinesChanged(2, 4, {}));  // both deleted
    EXPECT_TRUE(list.Entries().empty());
}

}  // namespace
}  // namespace ide
