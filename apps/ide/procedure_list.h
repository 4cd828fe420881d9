#pragma once
// The procedures of a module as the Procedure box lists them: the
// declaration lines found in its text, kept up to date from the lines an
// edit changed (a long module is not read again for each keystroke).

#include <string>
#include <vector>

namespace ide {

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

class ProcedureList {
public:
    struct Entry {
        int line;          // 0-based line of the declaration
        std::string name;
        std::string kind;
        // As the Procedure box shows it: "Name", or "Name [Get]" for a property.
        std::string Label() const;
    };

    // From line `first` (0-based), `removed` lines became the `added` ones;
    // the lines after them moved. Answers whether the list of procedures
    // changed (not only their lines).
    bool LinesChanged(int first, int removed, const std::vector<std::string>& added);

    const std::vector<Entry>& Entries() const { return entries_; }
    // The index of the last declaration at or above `line`; -1 when none.
    int IndexAt(int line) const;

private:
    std::vector<Entry> entries_;  // by line
};

}  // namespace ide
