#include "quillon/insert_procedure.h"

#include "base/text.h"

namespace quillon {

namespace {

void ReadProjectName(ProcedureRequest& request, const ProjectNameSource& projectName) {
    if (request.intDataClass == classProject) request.strProjectName = projectName();
}

}  // namespace

void InsertProcedure(vbide::CodeModule& module, ProcedureRequest request,
                     const ProjectNameSource& projectName) {
    ReadProjectName(request, projectName);
    // An event is a declaration: after the first procedure the compiler takes
    // nothing but comments, so it joins the declarations section.
    const std::int32_t at = request.intKind == kindEvent ? module.CountOfDeclarationLines() : module.CountOfLines();
    module.InsertLines(at + 1, BuildProcedure(request, false));
    if (request.intKind == kindProperty) {
        ReadProjectName(request, projectName);
        module.InsertLines(module.CountOfLines() + 1, BuildProcedure(request, true));
    }
    if (request.intMember == vbChecked) {
        ReadProjectName(request, projectName);
        module.InsertLines(module.CountOfDeclarationLines() + 1, MemberDeclaration(request));
    }
}

std::int32_t ScrollLine(vbide::CodeModule& module, const ProcedureRequest& request) {
    const std::string name = text::Trim(request.strName);
    switch (request.intKind) {
        case kindSub:
        case kindFunction: return module.ProcStartLine(name, vbide::vbext_pk_Proc);
        case kindProperty: return module.ProcStartLine(name, vbide::vbext_pk_Get);
        default: return 0;
    }
}

std::string ActiveProjectName(vbide::VBE& vbe) {
    const vbide::VBProjectPtr project = vbe.ActiveVBProject();
    if (!project) throw vb::VbError(91, "Quillon");
    return project->Name();
}

}  // namespace quillon
