#pragma once
// A code window: the Object and Procedure boxes over the editor of the
// module's code pane. The Procedure box lists the module's procedures, shows
// the one the cursor is in, and moves to the one the user picks.

#include <QWidget>
#include <string>
#include <vector>

#include "apps/ide/procedure_list.h"
#include "contract/vbide.h"

class QComboBox;

namespace ide {

class CodeEditor;

class CodeWindow : public QWidget {
public:
    CodeWindow(vbide::CodePanePtr pane, QWidget* parent = nullptr);

    CodeEditor* Editor() const { return editor_; }
    QComboBox* ProcedureBox() const { return procedures_; }

private:
    // The editor's lines changed: the list follows them, and the box is
    // filled again only when the procedures themselves changed.
    void LinesChanged(int first, int removed, int added);
    void FillProcedureBox();
    void ShowCurrentProcedure();
    void GoTo(int index);

    CodeEditor* editor_;
    QComboBox* objects_;
    QComboBox* procedures_;
    ProcedureList list_;  // entry i is the box's item i + 1, after "(Declarations)"
    bool filling_ = false;
};

}  // namespace ide
