#pragma once
// Keeping a code module and the text of its editor in step. The editor holds
// the module's visible lines; an edit is written back as the smallest run of
// line changes (the lines before and after the edited block stay untouched),
// so the hidden attribute lines that follow a declaration stay with it and
// the module's line ends are kept.

#include <string>
#include <vector>

#include "shared/vbide.h"

namespace ide {

// The module's visible lines.
std::vector<std::string> ModuleLines(vbide::CodeModule& module);

// Changes the module from `before` (its current lines) to `after`. Lines are
// replaced one for one where the counts allow, extra lines are put in front
// of the line that follows the edited block, and surplus lines deleted.
void WriteLines(vbide::CodeModule& module, const std::vector<std::string>& before,
                const std::vector<std::string>& after);

}  // namespace ide
