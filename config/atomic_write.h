#pragma once
// Writing a set of files all together or not at all, for commands that change
// several files of a project in one step.

#include <vector>

#include "platform/vbide/project_file.h"

namespace config {

// Each file is replaced atomically (a temporary file beside it, renamed over
// it, keeping its permissions). When one cannot be written, the files
// replaced before it get their old bytes back and error 75 names the file;
// should a file fail to be put back, the message names it too. A file that
// already holds its new bytes is not touched. Answers how many files changed.
std::size_t WriteAllOrNothing(const std::vector<vbide::PendingFile>& files);

}  // namespace config
