#include "apps/ide/code_editor.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include "apps/ide/code_sync.h"
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
    Load();
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!loading_) WriteBack();
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

std::vector<std::string> CodeEditor::EditorLines() const {
    std::vector<std::string> lines;
    if (document()->isEmpty()) return lines;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) lines.push_back(ToAnsi(b.text()));
    return lines;
}

void CodeEditor::Load() {
    std::vector<std::string> lines = ModuleLines(*module_);
    QStringList text;
    for (const auto& line : lines) text << FromAnsi(line);
    loading_ = true;
    const int position = textCursor().position();
    setPlainText(text.join(QChar('\n')));
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(position, document()->characterCount() - 1));
    setTextCursor(cursor);
    loading_ = false;
    FollowTopLine();
}

void CodeEditor::ModuleChanged() {
    if (writing_) return;
    Load();
}

void CodeEditor::WriteBack() {
    std::vector<std::string> after = EditorLines();
    writing_ = true;
    try {
        WriteLines(*module_, ModuleLines(*module_), after);
        writing_ = false;
    } catch (const vb::VbError& e) {
        writing_ = false;
        if (onFailure) onFailure(e.what());
        Load();
        return;
    }
    // Characters outside the code page are stored as '?': show what is stored.
    if (ModuleLines(*module_) != after) Load();
}

void CodeEditor::FollowTopLine() {
    long top = 1;
    try {
        top = pane_->TopLine();
    } catch (const vb::VbError&) {
        return;
    }
    scrolling_ = true;
    verticalScrollBar()->setValue(static_cast<int>(top - 1));
    scrolling_ = false;
}

void CodeEditor::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    QString text = source->text();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    textCursor().insertText(text);
    ensureCursorVisible();
}

long CodeEditor::FirstLineShown() const {
    return cursorForPosition(QPoint(2, 2)).blockNumber() + 1;
}

}  // namespace ide
