// Figures for the code window on a 10,000-line module, offscreen: opening it
// (loading, colouring, listing the procedures), colouring every line, and one
// keystroke (written into the module, recoloured, the Procedure box kept).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextBlock>

#include "apps/ide/code_editor.h"
#include "apps/ide/code_window.h"
#include "apps/ide/vb_colouring.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/builder.h"

namespace {

constexpr int kLines = 10000;

// About kLines lines of ordinary code: procedures with comments, strings,
// declarations and a compiler directive.
std::string LongModule() {
    std::string text = "Option Explicit\r\n#Const Tracing = 0\r\nPrivate m_count As Long ' calls\r\n\r\n";
    for (int i = 0, lines = 4; lines < kLines; ++i, lines += 8)
        text += "' Adds to the count, procedure " + std::to_string(i) + "\r\nPublic Function F" +
                std::to_string(i) + "(ByVal x As Long) As String\r\n    Dim s As String\r\n"
                "    If x > 0 Then s = \"it's \" & CStr(x) Else s = \"none\"\r\n"
                "    m_count = m_count + 1: Rem counted\r\n    F" + std::to_string(i) + " = s\r\nEnd Function\r\n\r\n";
    return text;
}

std::shared_ptr<vbide::Environment> Env() {
    forms::qt::EnsureQtUi();
    return vbide::EnvironmentBuilder::SingleModule(LongModule());
}

void BM_OpenCodeWindow(benchmark::State& state) {
    auto env = Env();
    for (auto _ : state) {
        ide::CodeWindow window(env->ActiveCodePane());
        benchmark::DoNotOptimize(window.ProcedureBox()->count());
    }
    state.counters["lines"] = static_cast<double>(env->ActiveCodePane()->CodeModule()->CountOfLines());
}
BENCHMARK(BM_OpenCodeWindow)->Unit(benchmark::kMillisecond);

void BM_ColourEveryLine(benchmark::State& state) {
    auto env = Env();
    ide::CodeWindow window(env->ActiveCodePane());
    std::vector<QString> lines;
    for (QTextBlock b = window.Editor()->document()->begin(); b.isValid(); b = b.next()) lines.push_back(b.text());
    for (auto _ : state) {
        ide::LineState s = ide::kPlainLine;
        std::size_t runs = 0;
        for (const QString& line : lines) runs += ide::ColourLine(line, s).size();
        benchmark::DoNotOptimize(runs);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int32_t>(lines.size()));
}
BENCHMARK(BM_ColourEveryLine)->Unit(benchmark::kMillisecond);

// A character typed in the middle of the module, and taken back, as the
// editor sees keystrokes: each is written into the module, recoloured and
// reflected in the Procedure box before the next.
void BM_KeystrokeInTheMiddle(benchmark::State& state) {
    auto env = Env();
    ide::CodeWindow window(env->ActiveCodePane());
    ide::CodeEditor* editor = window.Editor();
    QTextCursor cursor(editor->document()->findBlockByNumber(kLines / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    for (auto _ : state) {
        cursor.insertText("x");
        cursor.deletePreviousChar();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    if (env->ActiveCodePane()->CodeModule()->Lines(kLines / 2 + 1, 1) != editor->document()->findBlockByNumber(kLines / 2).text().toStdString())
        state.SkipWithError("the module does not hold the editor's text");
}
BENCHMARK(BM_KeystrokeInTheMiddle)->Unit(benchmark::kMicrosecond);

// The peer the code window is measured against: a plain QPlainTextEdit with
// the code window's line mode (no wrapping) on the same text, a highlighter of
// two regular expressions (keywords, comments) and nothing kept in step. The
// same keystroke; compare the CPU columns of one run, as the machine's load
// moves both alike.
class RegexHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        static const QRegularExpression keyword(
            "\\b(Dim|As|String|Long|If|Then|Else|Public|Private|Function|End|Option|Explicit|ByVal|Rem)\\b",
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression comment("'.*$");
        QTextCharFormat blue, green;
        blue.setForeground(ide::kKeywordColour);
        green.setForeground(ide::kCommentColour);
        for (auto it = keyword.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), blue);
        }
        if (const auto m = comment.match(text); m.hasMatch())
            setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), green);
    }
};

void BM_KeystrokePlainEditorPeer(benchmark::State& state) {
    forms::qt::EnsureQtUi();
    QPlainTextEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    new RegexHighlighter(editor.document());
    QString text = QString::fromStdString(LongModule());
    text.replace("\r\n", "\n");
    editor.setPlainText(text);
    QTextCursor cursor(editor.document()->findBlockByNumber(kLines / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    for (auto _ : state) {
        cursor.insertText("x");
        cursor.deletePreviousChar();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeystrokePlainEditorPeer)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
