#pragma once
// The consistency check of a project's modules against its current
// configuration: declaration lines that disagree with it, modules without a
// declaration, and names in "#If" lines that nothing defines.

#include <string>
#include <vector>

#include "contract/vbide.h"

namespace config {

// One constant of the current configuration: its name and stored value.
struct ConstantValue {
    std::string name;
    std::string value;
};

struct CheckFinding {
    std::string module;  // the component's name
    std::int32_t line = 0;       // 0 for the module as a whole
    std::string message;
};

// Names the compiler defines by itself.
const std::vector<std::string>& BuiltInConstants();

// The names a "#If" or "#ElseIf" line tests (identifiers outside strings and
// comments, without the operators and literals of the expression); empty for
// any other line.
std::vector<std::string> NamesTestedBy(const std::string& line);
// The name a "#Const" line declares, or "" for any other line.
std::string NameDeclaredBy(const std::string& line);
// The names of the project's conditional-compilation arguments, from the
// value of its "CondComp" line ("NAME = -1 : OTHER = 0", quotes allowed).
std::vector<std::string> ArgumentNames(const std::string& condComp);

// Checks every module of the project. `constants` are the constants in store
// order with their values in the current configuration; `arguments` the
// project's conditional-compilation argument names.
std::vector<CheckFinding> CheckProject(const vbide::VBProjectPtr& project,
                                       const std::vector<ConstantValue>& constants,
                                       const std::vector<std::string>& arguments);

}  // namespace config
