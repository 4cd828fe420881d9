#pragma once
// The shortest edit script between two lists of lines (Myers' algorithm),
// for showing what changed in a text.

#include <cstddef>
#include <string>
#include <vector>

namespace text {

enum class EditOp { Keep, Remove, Add };

struct LineEdit {
    EditOp op;
    std::size_t a;  // index into before (Keep, Remove)
    std::size_t b;  // index into after (Keep, Add)
};

// The edits that turn `before` into `after`, in order: every line of both
// lists appears once, kept, removed or added. Past a thousand differing
// lines the middle part is given as one replacement (all removed, then all
// added) rather than searched for the shortest script.
std::vector<LineEdit> DiffLines(const std::vector<std::string>& before,
                                const std::vector<std::string>& after);

}  // namespace text
