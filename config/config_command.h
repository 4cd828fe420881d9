#pragma once
// `tarnwick config PROJECT.vbp COMMAND ...`: the add-in's store operations on
// a project on disk, for build scripts.

#include <iosfwd>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace config {

// Runs one command on the project it opens in `vbe` (which should hold no
// project); `args` are the words after "tarnwick config". Answers the exit
// status: 0 done, 1 a failure, 2 a usage error; check answers 0 when every
// module agrees, 1 when it reports something and 2 for any failure. Nothing
// is written unless the whole command succeeds.
int RunConfigCommand(const std::vector<std::string>& args, vbide::VBE& vbe, std::ostream& out, std::ostream& err);

}  // namespace config
