#pragma once
// Keeping a code module and the text of its editor in step. The editor holds
// the module's visible lines; an edit is written back as the smallest run of
// line changes (the lines before and after the edited block stay untouched),
// so the hidden attribute lines that follow a declaration stay with it and
// the module's line ends are kept.

#include <string>
#include <vector>

#include "contract/vbide.h"

namespace ide {

// The module's visible lines.
std::vector<std::string> ModuleLines(vbide::CodeModule& module);

// The module's lines from `first` (1-based), `count` of them.
std::vector<std::string> ModuleLines(vbide::CodeModule& module, std::int32_t first, std::int32_t count);

// Changes the module's lines from `firstLine` (1-based) on from `before`
// (what they are now) to `after`; the lines before `firstLine` and after
// `before` stay. Lines are replaced one for one where the counts allow,
// extra lines are put in front of the line that follows the edited block,
// and surplus lines deleted.
void WriteLines(vbide::CodeModule& module, const std::vector<std::string>& before,
                const std::vector<std::string>& after, std::int32_t firstLine = 1);

}  // namespace ide
