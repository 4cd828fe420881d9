#pragma once
// A unified diff of two texts, line by line, for showing what a command
// would change. Lines keep their bytes (a CR before the LF stays in the
// line), so the diff applies to the files as they are.

#include <string>

namespace config {

// The diff of `before` and `after` under the headers "--- <oldName>" and
// "+++ <newName>", with three lines of context; "" when the texts are equal.
std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& oldName,
                        const std::string& newName);

}  // namespace config
