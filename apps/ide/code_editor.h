#pragma once
// The editor of one code pane: the module's visible lines in a monospace,
// non-wrapping text editor. Edits go into the code module as they are typed;
// changes the module gets from elsewhere (an add-in inserting a procedure)
// come back into the editor; the first line shown follows the pane's TopLine
// both ways. An edit is written back as the lines it touched, and the code
// is coloured line by line (VbHighlighter), so that typing costs the same in a
// long module as in a short one.

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace ide {

class CodeEditor : public QPlainTextEdit {
public:
    CodeEditor(vbide::CodePanePtr pane, QWidget* parent = nullptr);

    const vbide::CodePanePtr& Pane() const { return pane_; }
    vbide::CodeModulePtr Module() const { return module_; }

    // The module's lines changed: shows them unless the change came from
    // this editor.
    void ModuleChanged();
    // The pane's TopLine changed: scrolls so that it is the first line shown.
    void FollowTopLine();
    // The 1-based number of the first line shown.
    std::int32_t FirstLineShown() const;

    // Failures of writing into the module (the editor then shows the module
    // as it is).
    std::function<void(const std::string&)> onFailure;
    // The editor's lines changed: from line `first` (0-based), `removed`
    // lines became `added` ones. Loading tells all lines as changed.
    std::function<void(int first, int removed, int added)> onLinesChanged;

    // Pasted text may carry CR LF (or lone CR) line ends: they become line
    // breaks, never characters of a line.
    void insertFromMimeData(const QMimeData* source) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Load();
    void LayOutTheLongestLine();
    void TextChanged(int position, int charsAdded);
    void WriteBack(int first, int removed, int added);
    std::vector<std::string> EditorLines(int first, int count) const;
    // The number of lines the editor shows (none for an empty text).
    int LineCount() const;

    vbide::CodePanePtr pane_;
    vbide::CodeModulePtr module_;
    bool loading_ = false;   // the text is being set from the module
    bool writing_ = false;   // the module is being changed from the text
    bool scrolling_ = false; // the view is being scrolled to the TopLine
    int lines_ = 0;          // the line count as last loaded or written
};

}  // namespace ide
