#pragma once
// `tarnwick procedure --vbp FILE --module NAME`: the insertion into a project on
// disk, opened in the environment the program hands over.

#include <iosfwd>

#include "quillon/procedure_options.h"
#include "contract/vbide.h"

namespace quillon {

// Opens the project in `vbe`, inserts the texts into the module as the add-in does and
// saves the project. A construct the environment rejects, or any other
// failure, is reported on err and leaves every file as it was (status 1); a
// module the project does not have is a usage error (status 2).
int InsertIntoProject(ProcedureOptions& options, vbide::VBE& vbe, std::ostream& err);

}  // namespace quillon
