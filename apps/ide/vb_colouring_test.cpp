#include "apps/ide/vb_colouring.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>

#include "apps/ide/code_editor.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/builder.h"

namespace ide {
namespace {

// The line with its coloured runs marked: [k:word] for a keyword, [c:text]
// for a comment.
std::string Marked(const QString& line, LineState& state) {
    std::string out;
    int at = 0;
    for (const ColourRun& run : ColourLine(line, state)) {
        out += line.mid(at, run.start - at).toStdString();
        out += run.colour == Colour::Keyword ? "[k:" : "[c:";
        out += line.mid(run.start, run.length).toStdString() + "]";
        at = run.start + run.length;
    }
    return out + line.mid(at).toStdString();
}

std::string Marked(const QString& line) {
    LineState state = kPlainLine;
    return Marked(line, state);
}

TEST(ColourLine, KeywordsCommentsAndStrings) {
    const std::pair<const char*, const char*> cases[] = {
        {"Option Explicit", "[k:Option] [k:Explicit]"},
        {"dim X as LONG", "[k:dim] X [k:as] [k:LONG]"},
        {"    EndIf = Ending + Dimmed", "    EndIf = Ending + Dimmed"},
        {"x = 1 ' it's a comment", "x = 1 [c:' it's a comment]"},
        {"s = \"Don't 'quote' Dim\" ' real", "s = \"Don't 'quote' Dim\" [c:' real]"},
        {"s = \"say \"\"If\"\" ' still\" & t", "s = \"say \"\"If\"\" ' still\" & t"},
        {"s = \"unclosed ' Dim", "s = \"unclosed ' Dim"},
        {"Rem a remark: Dim x", "[c:Rem a remark: Dim x]"},
        {"x = 1: REM done", "x = 1: [c:REM done]"},
        {"Remove = Remark", "Remove = Remark"},
        {"Debug.Print rs.Open", "Debug.Print rs.Open"},
        {"#If Win32 Then", "[k:#If] Win32 [k:Then]"},
        {"  #End If ' done", "  [k:#End] [k:If] [c:' done]"},
        {"#Const Tracing = 1", "[k:#Const] Tracing = 1"},
        {"d = #1/1/2000#: If d Then", "d = #1/1/2000#: [k:If] d [k:Then]"},
        {"Option Compare Text", "[k:Option] [k:Compare] [k:Text]"},
        {"Text = Left$(Text, 2)", "Text = Left$(Text, 2)"},
        {"x = &HFF& + [End] + Str$(1)", "x = &HFF& + [End] + Str$(1)"},
        {"Call F(name:=Rem)", "[k:Call] F(name:=[k:Rem])"},  // ":=" separates no statements
    };
    for (const auto& [line, marked] : cases) EXPECT_EQ(Marked(line), marked) << line;
}

TEST(ColourLine, ContinuationCarriesCommentsAndStatements) {
    LineState state = kPlainLine;
    EXPECT_EQ(Marked("x = 1 ' a comment _", state), "x = 1 [c:' a comment _]");
    EXPECT_EQ(state, kContinuedComment);
    EXPECT_EQ(Marked("  goes on: Dim _", state), "[c:  goes on: Dim _]");
    EXPECT_EQ(Marked("  and ends", state), "[c:  and ends]");
    EXPECT_EQ(state, kPlainLine);

    // A continued statement: its next line starts no statement, so Rem and
    // # are not what they are at a statement's start.
    EXPECT_EQ(Marked("Call F(a, _", state), "[k:Call] F(a, _");
    EXPECT_EQ(state, kContinuedStatement);
    EXPECT_EQ(Marked("  Rem)", state), "  [k:Rem])");
    EXPECT_EQ(state, kPlainLine);
    EXPECT_EQ(Marked("x = a_", state), "x = a_");  // a name, not a continuation
    EXPECT_EQ(state, kPlainLine);
}

// The colour of the text at `column` of `line` as the editor lays it out.
QColor ColourAt(CodeEditor& editor, int line, int column) {
    QTextBlock block = editor.document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (column >= r.start && column < r.start + r.length) return r.format.foreground().color();
    return Qt::black;
}

// Counts the pixels of exactly `colour` in the part of the editor's picture
// that shows columns [from, to) of `line`.
int PixelsOf(CodeEditor& editor, const QImage& picture, int line, int from, int to, QColor colour) {
    QTextCursor c(editor.document()->findBlockByNumber(line));
    c.setPosition(c.block().position() + from);
    const QRect start = editor.cursorRect(c);
    c.setPosition(c.block().position() + to);
    const QRect end = editor.cursorRect(c);
    const QPoint offset = editor.viewport()->mapTo(&editor, QPoint(0, 0));
    int n = 0;
    for (int y = start.top(); y <= start.bottom(); ++y)
        for (int x = start.left(); x < end.left(); ++x)
            if (picture.pixelColor(x + offset.x(), y + offset.y()) == colour) ++n;
    return n;
}

TEST(CodeEditorColours, RenderedKeywordCommentAndString) {
    forms::qt::EnsureQtUi();
    auto env = vbide::EnvironmentBuilder::SingleModule(
        "Option Explicit\r\nPrivate s As String ' the name\r\nSub A()\r\n    s = \"Dim 'x'\"\r\nEnd Sub\r\n");
    CodeEditor editor(env->ActiveCodePane());
    editor.resize(500, 200);
    editor.show();
    const QImage picture = editor.grab().toImage();

    EXPECT_EQ(ColourAt(editor, 1, 0), kKeywordColour);   // Private
    EXPECT_EQ(ColourAt(editor, 1, 21), kCommentColour);  // ' the name
    EXPECT_EQ(ColourAt(editor, 3, 10), QColor(Qt::black));  // Dim inside the string

    EXPECT_GT(PixelsOf(editor, picture, 1, 0, 7, kKeywordColour), 0);
    EXPECT_GT(PixelsOf(editor, picture, 1, 20, 30, kCommentColour), 0);
    EXPECT_GT(PixelsOf(editor, picture, 3, 8, 17, Qt::black), 0);
    EXPECT_EQ(PixelsOf(editor, picture, 3, 8, 17, kKeywordColour), 0);
    EXPECT_EQ(PixelsOf(editor, picture, 3, 8, 17, kCommentColour), 0);

    // Typing recolours the line: a keyword becomes a comment.
    QTextCursor c(editor.document()->findBlockByNumber(1));
    c.insertText("' ");
    EXPECT_EQ(ColourAt(editor, 1, 2), kCommentColour);
    EXPECT_EQ(env->ActiveCodePane()->CodeModule()->Lines(2, 1), "' Private s As String ' the name");
}

// Keys typed in a long module colour exactly what a fresh colouring of the
// whole text gives: a continuation typed at a line's end carries a comment
// on to the next lines, and taking it back ends it there.
TEST(CodeEditorColours, TypingInALongModuleColoursAsAFreshOpening) {
    forms::qt::EnsureQtUi();
    std::string text = "Option Explicit\r\n";
    for (int i = 0; i < 2000; ++i) text += "' note " + std::to_string(i) + "\r\nDim a" + std::to_string(i) + " As Long\r\n";
    auto env = vbide::EnvironmentBuilder::SingleModule(text);
    CodeEditor editor(env->ActiveCodePane());
    const auto colouredAsOpened = [&] {
        LineState state = kPlainLine;
        for (QTextBlock b = editor.document()->begin(); b.isValid(); b = b.next()) {
            const LineState before = state;
            const std::vector<ColourRun> runs = ColourLine(b.text(), state);
            const QList<QTextLayout::FormatRange> shown = b.layout()->formats();
            if (shown.size() != static_cast<qsizetype>(runs.size()) || b.userState() != state) {
                ADD_FAILURE() << "line " << b.blockNumber() + 1 << " \"" << b.text().toStdString()
                              << "\" from state " << before;
                return;
            }
            for (std::size_t i = 0; i < runs.size(); ++i) {
                EXPECT_EQ(shown[static_cast<qsizetype>(i)].start, runs[i].start);
                EXPECT_EQ(shown[static_cast<qsizetype>(i)].length, runs[i].length);
            }
        }
    };
    QTextCursor c(editor.document()->findBlockByNumber(999));
    ASSERT_EQ(c.block().text(), "' note 499");
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(" _");
    ASSERT_EQ(ColourAt(editor, 1000, 0), kCommentColour) << "Dim a499 is comment now";
    colouredAsOpened();
    c.deletePreviousChar();
    c.deletePreviousChar();
    EXPECT_EQ(ColourAt(editor, 1000, 0), kKeywordColour);
    colouredAsOpened();
    EXPECT_EQ(env->ActiveCodePane()->CodeModule()->Lines(1000, 1), "' note 499");
}

}  // namespace
}  // namespace ide
