#pragma once
// Small helpers the tour's steps share.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace forms {
class Form;
}

namespace tarnwick {

// A control of a menu of "Menu Bar" by the menu's and the control's captions.
vbide::CommandBarControlPtr MenuCommand(const vbide::VBEPtr& vbe, const std::string& menu,
                                        const std::string& caption);
// The first drop-down of the "Standard" toolbar, or nullptr.
vbide::CommandBarControlPtr ToolbarDropDown(const vbide::VBEPtr& vbe);

// Every line of a module.
std::vector<std::string> ModuleLines(const vbide::CodeModulePtr& module);

// Saves a screenshot of the form and says where.
void Snap(forms::Form& form, const std::filesystem::path& png, std::ostream& out);

// Prints a heading for one tool.
void Heading(std::ostream& out, const std::string& title);

// Prints text (CR LF lines) indented, one line each.
void PrintIndented(std::ostream& out, const std::string& text);

}  // namespace tarnwick
