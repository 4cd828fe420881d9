#pragma once
// Writing a file whole or not at all: the bytes go to a temporary file beside
// the target, which then replaces the target in one rename. A reader (the
// registry editor) therefore sees the old file or the new one, never a part.

#include <string>

namespace fenmoor {

// Writes `bytes` to `path`, replacing any file there. Answers the empty text on
// success; otherwise why it failed (the target is then unchanged and no
// temporary file is left behind).
std::string WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace fenmoor
