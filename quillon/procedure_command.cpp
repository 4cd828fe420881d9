#include "quillon/procedure_command.h"

#include <ostream>

#include "quillon/data_types.h"
#include "quillon/procedure_options.h"
#include "quillon/procedure_project.h"

namespace quillon {

namespace {

const char* const kCommand = "tarnwick procedure";

// The texts in the order the add-in inserts them, nothing between them.
void WriteTexts(const ProcedureRequest& r, std::ostream& out) {
    out << BuildProcedure(r, false);
    if (r.intKind == kindProperty) out << BuildProcedure(r, true);
    if (r.intMember == vbChecked) out << MemberDeclaration(r);
}

int WriteToStandardOutput(ProcedureOptions& options, std::ostream& out) {
    ProcedureRequest& r = options.request;
    r.intDataClass = options.dataClass.value_or(StandardDataClass(r.strDataType).value_or(classValue));
    if (options.projectName) r.strProjectName = *options.projectName;
    WriteTexts(r, out);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace

int RunProcedureCommand(const std::vector<std::string>& args, vbide::VBE& vbe, std::ostream& out,
                        std::ostream& err) {
    ProcedureOptions options;
    try {
        options = ParseProcedureOptions(args);
    } catch (const UsageError& e) {
        err << kCommand << ": " << e.what() << "\n"
            << "Try '" << kCommand << " --help'.\n";
        return 2;
    }
    if (options.help) {
        out << ProcedureUsage();
        return 0;
    }
    if (options.vbpPath) return InsertIntoProject(options, vbe, err);
    return WriteToStandardOutput(options, out);
}

}  // namespace quillon
