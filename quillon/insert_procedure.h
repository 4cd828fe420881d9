#pragma once
// Inserts the generated texts into a code module, as the add-in's menu command
// and `tarnwick procedure --vbp` both do.

#include <functional>
#include <string>

#include "quillon/generator.h"
#include "contract/vbide.h"

namespace quillon {

// Reads the name of the active project, when a text needs it.
using ProjectNameSource = std::function<std::string()>;

// The procedure (or a property's reader) goes after the module's last line and
// a property's writer after it; an event, like a member declaration, goes
// after the declarations section; a member declaration, when intMember is 1, goes
// after the declarations section. For data class 2 the project's name is read
// from projectName just before each text is built. A failure of the module
// (error 35 for an illegal construct) ends the insertion; texts inserted
// before it stay.
void InsertProcedure(vbide::CodeModule& module, ProcedureRequest request,
                     const ProjectNameSource& projectName);

// The line the code pane scrolls to after an insertion: the start line of the
// procedure (a property's reader); 0 for an event, which is not scrolled to.
std::int32_t ScrollLine(vbide::CodeModule& module, const ProcedureRequest& request);

// The name of the environment's active project; error 91 when none is open.
std::string ActiveProjectName(vbide::VBE& vbe);

}  // namespace quillon
