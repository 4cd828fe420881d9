#pragma once
// `tarnwick procedure`: the procedure builder for scripts. The options say what
// the dialog can say; the texts come from the same generator, and with a project
// they are inserted the same way the add-in inserts them.

#include <iosfwd>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace quillon {

// Runs the command; args are the words after "tarnwick procedure"; a project
// (--vbp) is opened in `vbe`. Returns the
// exit status: 0 done, 1 the environment refused or the project could not be
// read or saved, 2 a usage error (reported on err, naming the option).
int RunProcedureCommand(const std::vector<std::string>& args, vbide::VBE& vbe, std::ostream& out,
                        std::ostream& err);

}  // namespace quillon
