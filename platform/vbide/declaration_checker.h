#pragma once
// The check the environment applies to text inserted into a code module
// (CodeModule.InsertLines). It rejects an illegal procedure construct, which
// the environment reports as error 35. It checks, on every procedure or event
// declaration of the text (logical lines, " _" continuations joined):
//   - the name is a valid identifier (a letter, then letters, digits or "_",
//     at most 255 characters) and not a reserved word; a Function's or
//     Property Get's may end in a type-declaration character ("Total&");
//   - the parentheses outside string literals and comments balance, and
//     nothing but "As <type>" (where allowed; "As <type>()" for an array
//     returned) or a comment follows them;
//   - each parameter reads [Optional] [ByVal|ByRef] name[()] [As type]
//     [= default], a default only with Optional, or ParamArray name() [As
//     Variant]; required parameters come first, then Optional ones or one
//     ParamArray (not both, and neither in an Event); a Property Let or Set
//     has at least one, and its last (the value) is a required one;
//   - Event and Friend are not used in a standard module;
//   - an "As" clause only follows a Function or a Property Get (Sub, Property
//     Let, Property Set and Event take none), and never a name that ends in
//     a type-declaration character (a parameter's or variable's neither);
// on every variable declaration outside a procedure ("Private|Public|Global|
// Dim [WithEvents] name[(bounds)] [As [New] type], ..."), that it reads so;
// wherever "As" stands, that a type follows: a name (an intrinsic type or
// any identifier that is no reserved word), a name qualified by its project
// or library ("MyProject.CThing"), or "String * n";
// and, within each procedure of the text (its declaration through its End
// line, when the text holds that End line), that every target of GoTo, GoSub,
// On Error GoTo and Resume (other than 0, -1 and Next) is a label or line
// number defined in that procedure.
// Everything else (statements, expressions, defaults, bounds) is left to the compiler,
// as the editor leaves it.

#include <string>
#include <vector>

#include "shared/vbide.h"

namespace vbide {

struct CheckResult {
    bool ok = true;
    long line = 0;        // 1-based line of the inserted text
    std::string reason;   // what is wrong, for messages and tests
};

CheckResult CheckInsertedCode(const std::vector<std::string>& lines, vbext_ComponentType moduleType);

// True for the language's reserved words, compared without regard to case.
bool IsReservedWord(const std::string& word);

}  // namespace vbide
