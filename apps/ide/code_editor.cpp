#include "apps/ide/code_editor.h"

#include <QFontDatabase>
#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>

#include "apps/ide/code_sync.h"
#include "apps/ide/vb_colouring.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;
using forms::qt::ToAnsi;

CodeEditor::CodeEditor(vbide::CodePanePtr pane, QWidget* parent)
    : QPlainTextEdit(parent), pane_(std::move(pane)), module_(pane_->CodeModule()) {
    QFont font;
    font.setFamilies({"Courier New", "DejaVu Sans Mono", "Liberation Mono", "Noto Mono"});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(QFontMetricsF(font).horizontalAdvance(' ') * 4);
    setFrameShape(QFrame::NoFrame);
    new VbHighlighter(document());
    Load();
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int charsAdded) {
        if (!loading_) TextChanged(position, charsAdded);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (loading_ || scrolling_) return;
        try {
            if (pane_->TopLine() != value + 1) pane_->SetTopLine(value + 1);
        } catch (const vb::VbError&) {
            // The pane was closed while its view still scrolls: nothing to follow.
        }
    });
}

int CodeEditor::LineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

std::vector<std::string> CodeEditor::EditorLines(int first, int count) const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(0, count)));
    QTextBlock b = document()->findBlockByNumber(first);
    for (int i = 0; i < count && b.isValid(); ++i, b = b.next()) lines.push_back(ToAnsi(b.text()));
    return lines;
}

void CodeEditor::Load() {
    std::vector<std::string> lines = ModuleLines(*module_);
    QStringList text;
    for (const auto& line : lines) text << FromAnsi(line);
    const int before = lines_;
    {
        QScopedValueRollback guard(loading_, true);
        const int position = textCursor().position();
        setPlainText(text.join(QChar('\n')));
        LayOutTheLongestLine();
        QTextCursor cursor = textCursor();
        cursor.setPosition(std::min(position, document()->characterCount() - 1));
        setTextCursor(cursor);
    }
    lines_ = LineCount();
    FollowTopLine();
    if (onLinesChanged) onLinesChanged(0, before, lines_);
}

// The editor's layout keeps the width of the widest line it has laid out,
// for the sideways scroll range, and looks through every line of the text for
// the next widest whenever that line gets narrower. It lays out only the lines
// shown and the line typed on, so the line typed on was mostly the widest it
// knew: in a long module each BackSpace cost a pass over the whole text. Laid
// out from the start, the module's longest line is the widest, and typing on
// any shorter line never narrows it.
void CodeEditor::LayOutTheLongestLine() {
    const int tab = 4;
    QTextBlock longest;
    int widest = -1;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        int columns = 0;
        for (QChar c : b.text()) columns = c == u'\t' ? (columns / tab + 1) * tab : columns + 1;
        if (columns > widest) {
            widest = columns;
            longest = b;
        }
    }
    if (longest.isValid()) document()->documentLayout()->blockBoundingRect(longest);
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    // A new width lays every line out afresh.
    if (event->oldSize().width() != event->size().width()) LayOutTheLongestLine();
}

void CodeEditor::ModuleChanged() {
    if (writing_) return;
    Load();
}

// The edit put `charsAdded` characters at `position`: the lines from the
// one holding `position` to the one holding the end of the new text are new;
// the lines after them only moved.
void CodeEditor::TextChanged(int position, int charsAdded) {
    const int now = LineCount();
    // An empty editor may stand for a module of one blank line: the whole
    // module becomes the text.
    const auto whole = [&] { WriteBack(0, static_cast<int>(module_->CountOfLines()), now); };
    if (lines_ == 0 || now == 0) {
        whole();
        return;
    }
    const int end = std::min(position + charsAdded, document()->characterCount() - 1);
    const int first = document()->findBlock(position).blockNumber();
    const int last = document()->findBlock(end).blockNumber();
    const int added = last - first + 1;
    const int removed = added - (now - lines_);
    if (first < 0 || last < first || removed < 0 || first + removed > lines_) {
        whole();
        return;
    }
    WriteBack(first, removed, added);
}

void CodeEditor::WriteBack(int first, int removed, int added) {
    std::vector<std::string> after = EditorLines(first, added);
    try {
        QScopedValueRollback guard(writing_, true);
        WriteLines(*module_, ModuleLines(*module_, first + 1, removed), after, first + 1);
    } catch (const vb::VbError& e) {
        if (onFailure) onFailure(e.what());
        Load();
        return;
    }
    lines_ = LineCount();
    // Characters outside the code page are stored as '?': show what is stored.
    if (module_->CountOfLines() != lines_ || ModuleLines(*module_, first + 1, added) != after) {
        Load();
        return;
    }
    if (onLinesChanged) onLinesChanged(first, removed, added);
}

void CodeEditor::FollowTopLine() {
    std::int32_t top = 1;
    try {
        top = pane_->TopLine();
    } catch (const vb::VbError&) {
        return;
    }
    QScopedValueRollback guard(scrolling_, true);
    verticalScrollBar()->setValue(static_cast<int>(top - 1));
}

void CodeEditor::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    QString text = source->text();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    textCursor().insertText(text);
    ensureCursorVisible();
}

std::int32_t CodeEditor::FirstLineShown() const {
    return cursorForPosition(QPoint(2, 2)).blockNumber() + 1;
}

}  // namespace ide
