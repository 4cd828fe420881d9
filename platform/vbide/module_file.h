#pragma once
// Reading a module file (.bas, .cls, .frm, .ctl, .pag, .dob, .dsr) into what
// the code window shows and what it hides:
//   - the header: a "VERSION" line with the designer block that follows it
//     (Object lines, BEGIN ... END of a class, the nested Begin ... End /
//     BeginProperty ... EndProperty of a form or control), then the module's
//     "Attribute" lines;
//   - member "Attribute" lines (column 1) after the line they belong to;
//   - every other line, visible, with the line end it was read with.
// The bytes are kept as they are (code page, trailing blanks, missing final
// line end); a lone CR stays inside its line.

#include <stdexcept>
#include <string>

#include "platform/vbide/module_text.h"
#include "contract/vbide.h"

namespace vbide {

// A module file that cannot be loaded: the 1-based line where the problem
// shows, and what it is.
class ModuleFileError : public std::runtime_error {
public:
    ModuleFileError(std::int32_t line, const std::string& message)
        : std::runtime_error(message), line_(line) {}
    std::int32_t Line() const { return line_; }

private:
    std::int32_t line_;
};

struct ParsedModule {
    ModuleText text;
    std::string name;  // from "Attribute VB_Name", empty when the file has none
    vbext_ComponentType type = vbext_ct_StdModule;
};

// The component type a file extension stands for ("bas", "CLS", ...); 0 for
// an extension the environment does not know.
std::int32_t ComponentTypeOfExtension(const std::string& extension);
// The extension a new module of `type` is saved with ("bas", "cls", ...).
std::string ExtensionOfComponentType(vbext_ComponentType type);

// Parses the bytes of a module file of the given kind. Throws ModuleFileError
// for a file that holds NUL bytes, a designer file without its VERSION line,
// or a designer block that is not closed.
ParsedModule ParseModuleFile(std::string bytes, vbext_ComponentType type);

// The hidden header of a new module of `type` named `name`, with CR LF.
std::string NewModuleHeader(vbext_ComponentType type, const std::string& name);

// Replaces the name in the header's "Attribute VB_Name" line (and a form's
// "Begin VB.Form <name>" line); appends the attribute when there is none.
std::string RenameInHeader(const std::string& header, const std::string& oldName,
                           const std::string& newName, const std::string& lineEnd);

}  // namespace vbide
