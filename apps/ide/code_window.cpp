#include "apps/ide/code_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QVBoxLayout>

#include "apps/ide/code_editor.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;
using forms::qt::ToAnsi;

CodeWindow::CodeWindow(vbide::CodePanePtr pane, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    auto* boxes = new QHBoxLayout;
    boxes->setContentsMargins(1, 1, 1, 1);
    objects_ = new QComboBox;
    objects_->setObjectName("Object");
    procedures_ = new QComboBox;
    procedures_->setObjectName("Procedure");
    boxes->addWidget(objects_, 1);
    boxes->addWidget(procedures_, 1);
    column->addLayout(boxes);
    editor_ = new CodeEditor(pane);
    column->addWidget(editor_, 1);

    objects_->addItem("(General)");
    try {
        auto type = pane->CodeModule()->Parent()->Type();
        if (type == vbide::vbext_ct_ClassModule) objects_->addItem("Class");
        else if (type == vbide::vbext_ct_VBForm || type == vbide::vbext_ct_VBMDIForm) objects_->addItem("Form");
        else if (type == vbide::vbext_ct_UserControl) objects_->addItem("UserControl");
    } catch (const vb::VbError&) {
    }
    editor_->onLinesChanged = [this](int first, int removed, int added) { LinesChanged(first, removed, added); };
    LinesChanged(0, 0, editor_->document()->blockCount());
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowCurrentProcedure(); });
    connect(procedures_, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { GoTo(index); });
}

void CodeWindow::LinesChanged(int first, int removed, int added) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(added));
    QTextBlock b = editor_->document()->findBlockByNumber(first);
    for (int i = 0; i < added && b.isValid(); ++i, b = b.next()) lines.push_back(ToAnsi(b.text()));
    if (list_.LinesChanged(first, removed, lines) || procedures_->count() == 0) FillProcedureBox();
    ShowCurrentProcedure();
}

void CodeWindow::FillProcedureBox() {
    QScopedValueRollback guard(filling_, true);
    procedures_->clear();
    procedures_->addItem("(Declarations)");
    for (const auto& entry : list_.Entries()) procedures_->addItem(FromAnsi(entry.Label()));
}

void CodeWindow::ShowCurrentProcedure() {
    if (filling_) return;
    const int cursorLine = editor_->textCursor().blockNumber();
    // The last declaration at or above the cursor, unless its End line lies
    // between it and the cursor.
    const int at = list_.IndexAt(cursorLine);
    int current = at + 1;
    if (at >= 0)
        for (QTextBlock b = editor_->document()->findBlockByNumber(list_.Entries()[static_cast<std::size_t>(at)].line);
             b.isValid() && b.blockNumber() < cursorLine; b = b.next())
            if (EndsProcedure(ToAnsi(b.text()))) {
                current = 0;
                break;
            }
    procedures_->setCurrentIndex(current);
}

void CodeWindow::GoTo(int index) {
    const auto& entries = list_.Entries();
    if (index < 0 || index > static_cast<int>(entries.size())) return;
    const int line = index == 0 ? 0 : entries[static_cast<std::size_t>(index - 1)].line;
    QTextCursor cursor(editor_->document()->findBlockByNumber(line));
    editor_->setTextCursor(cursor);
    editor_->centerCursor();
    editor_->setFocus();
}

}  // namespace ide
