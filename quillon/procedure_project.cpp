#include "quillon/procedure_project.h"

#include <cstdint>
#include <exception>
#include <ostream>

#include "base/text.h"
#include "quillon/data_types.h"
#include "quillon/insert_procedure.h"

namespace quillon {

namespace {

const char* const kCommand = "tarnwick procedure";

// The component called `name` in the active project, else in any open project.
vbide::VBComponentPtr FindComponent(vbide::VBE& vbe, const std::string& name) {
    std::vector<vbide::VBProjectPtr> projects;
    if (auto active = vbe.ActiveVBProject()) projects.push_back(active);
    const auto all = vbe.VBProjects();
    for (std::int32_t p = 1; p <= all->Count(); ++p) projects.push_back(all->Item(p));
    for (const auto& project : projects) {
        const auto components = project->VBComponents();
        for (std::int32_t c = 1; c <= components->Count(); ++c) {
            auto component = components->Item(c);
            if (text::EqualsNoCase(component->Name(), name)) return component;
        }
    }
    return nullptr;
}

// As the dialog would give it: the class of a standard type, or 2 for a class
// module of an open project, or 0.
std::int16_t DefaultDataClass(vbide::VBE& vbe, const std::string& type) {
    if (const auto standard = StandardDataClass(type)) return *standard;
    const std::string wanted = text::Trim(type);
    if (wanted.empty()) return classValue;
    const auto projects = vbe.VBProjects();
    for (std::int32_t p = 1; p <= projects->Count(); ++p) {
        const auto components = projects->Item(p)->VBComponents();
        for (std::int32_t c = 1; c <= components->Count(); ++c) {
            auto component = components->Item(c);
            if (component->Type() == vbide::vbext_ct_ClassModule && text::EqualsNoCase(component->Name(), wanted))
                return classProject;
        }
    }
    return classValue;
}

std::string Failure(const vb::VbError& error) {
    if (error.Number() == 35) return "Illegal or incorrect procedure construct.";
    return "Error:" + std::to_string(error.Number()) + " " + error.Description();
}

}  // namespace

int InsertIntoProject(ProcedureOptions& options, vbide::VBE& vbe, std::ostream& err) {
    const std::string& path = *options.vbpPath;
    vbide::VBProjectPtr project;
    try {
        project = vbe.VBProjects()->AddFromFile(path);
    } catch (const vb::VbError& error) {
        err << kCommand << ": " << path << ": " << error.Description() << "\n";
        return 1;
    } catch (const std::exception& error) {
        err << kCommand << ": " << path << ": " << error.what() << "\n";
        return 1;
    }
    // Modules the project names but that could not be read are left out; say so.
    for (const std::string& problem : project->LoadProblems()) err << kCommand << ": warning: " << problem << "\n";

    const auto component = FindComponent(vbe, *options.moduleName);
    if (!component) {
        err << kCommand << ": --module: the project has no module named '" << *options.moduleName << "'\n";
        return 2;
    }
    const auto module = component->CodeModule();
    if (!module) {
        err << kCommand << ": --module: '" << component->Name() << "' holds no code\n";
        return 2;
    }

    ProcedureRequest request = options.request;
    request.intDataClass = options.dataClass.value_or(DefaultDataClass(vbe, request.strDataType));
    try {
        InsertProcedure(*module, request, [&vbe] { return ActiveProjectName(vbe); });
        component->Collection()->Parent()->SaveAs({});
    } catch (const vb::VbError& error) {
        err << kCommand << ": " << Failure(error) << "\n";
        return 1;
    } catch (const std::exception& error) {
        err << kCommand << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quillon
