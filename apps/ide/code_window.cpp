#include "apps/ide/code_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QTextBlock>
#include <QVBoxLayout>

#include "apps/ide/code_editor.h"
#include "base/text.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;
using forms::qt::ToAnsi;

namespace {

// Takes `word` and the blanks after it from the front of `rest` when it is
// there (without regard to case) and stands as a whole word.
bool Take(std::string& rest, const std::string& word) {
    if (text::LowerAscii(rest.substr(0, word.size())) != word) return false;
    if (rest.size() > word.size() && rest[word.size()] != ' ' && rest[word.size()] != '\t') return false;
    rest.erase(0, word.size());
    rest.erase(0, rest.find_first_not_of(" \t") == std::string::npos ? rest.size() : rest.find_first_not_of(" \t"));
    return true;
}

}  // namespace

ProcedureLine DeclaredProcedure(const std::string& line) {
    std::string rest(text::TrimBlanksLeft(line));
    for (const char* scope : {"public", "private", "friend"})
        if (Take(rest, scope)) break;
    Take(rest, "static");
    ProcedureLine p;
    if (Take(rest, "sub")) p.kind = "Sub";
    else if (Take(rest, "function")) p.kind = "Function";
    else if (Take(rest, "property")) {
        if (Take(rest, "get")) p.kind = "Property Get";
        else if (Take(rest, "let")) p.kind = "Property Let";
        else if (Take(rest, "set")) p.kind = "Property Set";
        else return {};
    } else {
        return {};
    }
    std::size_t n = 0;
    while (n < rest.size() && text::IsIdentifierChar(rest[n])) ++n;
    if (n == 0) return {};
    p.name = rest.substr(0, n);
    return p;
}

bool EndsProcedure(const std::string& line) {
    std::string rest(text::TrimBlanksLeft(line));
    if (!Take(rest, "end")) return false;
    const std::string word = text::LowerAscii(rest);
    return word.rfind("sub", 0) == 0 || word.rfind("function", 0) == 0 || word.rfind("property", 0) == 0;
}

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
    ListProcedures();
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowCurrentProcedure(); });
    connect(editor_->document(), &QTextDocument::contentsChanged, this, [this] { ListProcedures(); });
    connect(procedures_, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { GoTo(index); });
}

void CodeWindow::ListProcedures() {
    filling_ = true;
    procedures_->clear();
    lines_.clear();
    procedures_->addItem("(Declarations)");
    lines_.push_back(0);
    QTextDocument* doc = editor_->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        ProcedureLine p = DeclaredProcedure(ToAnsi(b.text()));
        if (p.name.empty()) continue;
        QString label = FromAnsi(p.name);
        if (p.kind.rfind("Property ", 0) == 0) label += " [" + FromAnsi(p.kind.substr(9)) + "]";
        procedures_->addItem(label);
        lines_.push_back(b.blockNumber());
    }
    filling_ = false;
    ShowCurrentProcedure();
}

void CodeWindow::ShowCurrentProcedure() {
    if (filling_) return;
    const int cursorLine = editor_->textCursor().blockNumber();
    // The last declaration at or above the cursor, unless its End line lies
    // between it and the cursor.
    int current = 0;
    for (std::size_t i = 1; i < lines_.size() && lines_[i] <= cursorLine; ++i) current = static_cast<int>(i);
    if (current > 0)
        for (QTextBlock b = editor_->document()->findBlockByNumber(lines_[static_cast<std::size_t>(current)]);
             b.isValid() && b.blockNumber() < cursorLine; b = b.next())
            if (EndsProcedure(ToAnsi(b.text()))) {
                current = 0;
                break;
            }
    procedures_->setCurrentIndex(current);
}

void CodeWindow::GoTo(int index) {
    if (index < 0 || index >= static_cast<int>(lines_.size())) return;
    QTextCursor cursor(editor_->document()->findBlockByNumber(lines_[static_cast<std::size_t>(index)]));
    editor_->setTextCursor(cursor);
    editor_->centerCursor();
    editor_->setFocus();
}

}  // namespace ide
