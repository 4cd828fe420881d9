#pragma once
// Writing a set of files all together or not at all, for commands that change
// several files of a project in one step.

#include <vector>

#include "platform/vbide/project_file.h"

namespace config {

// Each new text goes to a temporary file beside its target first; only when
// every one is written are they renamed into place, keeping the targets'
// permissions. Error 75 naming the file when one cannot be written (then no
// file has changed) or, rarely, cannot be renamed into place (the message
// names the files already replaced).
void WriteAllOrNothing(const std::vector<vbide::PendingFile>& files);

}  // namespace config
