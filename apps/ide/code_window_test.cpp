#include "apps/ide/code_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
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
}

}  // namespace
}  // namespace ide
