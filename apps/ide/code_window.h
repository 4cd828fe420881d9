#pragma once
// A code window: the Object and Procedure boxes over the editor of the
// module's code pane. The Procedure box lists the module's procedures, shows
// the one the cursor is in, and moves to the one the user picks.

#include <QWidget>
#include <string>
#include <vector>

#include "shared/vbide.h"

class QComboBox;

namespace ide {

class CodeEditor;

// A procedure declaration found in a line: its name and kind ("" when the
// line declares none). Declarations continued with " _" are found by their
// first line.
struct ProcedureLine {
    std::string name;
    std::string kind;  // "Sub", "Function", "Property Get", ...
};
ProcedureLine DeclaredProcedure(const std::string& line);
// True when the line ends a procedure ("End Sub", "End Function", "End Property").
bool EndsProcedure(const std::string& line);

class CodeWindow : public QWidget {
public:
    CodeWindow(vbide::CodePanePtr pane, QWidget* parent = nullptr);

    CodeEditor* Editor() const { return editor_; }
    QComboBox* ProcedureBox() const { return procedures_; }
    // Fills the Procedure box from the editor's text.
    void ListProcedures();

private:
    void ShowCurrentProcedure();
    void GoTo(int index);

    CodeEditor* editor_;
    QComboBox* objects_;
    QComboBox* procedures_;
    std::vector<int> lines_;  // the declaration line (0-based) of each listed procedure
    bool filling_ = false;
};

}  // namespace ide
