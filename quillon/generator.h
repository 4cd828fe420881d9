#pragma once
// The procedure text generator: turns one set of dialog choices into Visual Basic
// source text (a procedure skeleton, or the reader and writer of a property, and
// an optional member declaration). It only builds strings, CR LF line ends
// throughout; it validates nothing, because the environment rejects an illegal
// construct when the text is inserted.

#include <cstdint>
#include <string>

namespace quillon {

// A check box's value: 0 cleared, 1 ticked, 2 grayed. Every option asks for
// exactly 1; only the Read and Write scope rules tell 0 from 2.
using CheckState = std::int16_t;
inline constexpr CheckState vbUnchecked = 0;
inline constexpr CheckState vbChecked = 1;
inline constexpr CheckState vbGrayed = 2;

// Procedure kinds, the indexes of the dialog's optType buttons.
inline constexpr std::int16_t kindSub = 0;
inline constexpr std::int16_t kindFunction = 1;
inline constexpr std::int16_t kindProperty = 2;
inline constexpr std::int16_t kindEvent = 3;

// Scopes, the indexes of the dialog's optScope buttons.
inline constexpr std::int16_t scopePublic = 0;
inline constexpr std::int16_t scopePrivate = 1;
inline constexpr std::int16_t scopeFriend = 2;

// Data classes: how a type is assigned and written.
inline constexpr std::int16_t classValue = 0;    // Property Let, plain assignment
inline constexpr std::int16_t classObject = 1;   // Property Set, Set assignment
inline constexpr std::int16_t classProject = 2;  // as object, qualified by the project

// The choices of one use of the dialog. Strings are bytes exactly as typed.
struct ProcedureRequest {
    std::int16_t intKind = kindSub;
    std::int16_t intScope = scopePublic;
    CheckState intStatic = vbUnchecked;
    std::string strName;
    std::string strArgs;
    std::string strDataType;
    std::int16_t intDataClass = classValue;
    std::string strProjectName;  // read only for data class 2
    CheckState intError = vbUnchecked;
    CheckState intMouse = vbUnchecked;
    CheckState intContext = vbUnchecked;
    CheckState intMember = vbUnchecked;
    CheckState intCodeMember = vbUnchecked;
    CheckState intRead = vbUnchecked;
    CheckState intWrite = vbUnchecked;
};

// The declaration line of the procedure, without line break. blnSetter is true
// only for the writer of a property.
std::string BuildHeader(const ProcedureRequest& request, bool blnSetter);

// The complete text of one procedure, every line ended by CR LF.
std::string BuildProcedure(const ProcedureRequest& request, bool blnSetter);

// "Exit Sub " / "Exit Function " / "Exit Property", empty for an event.
std::string ExitStatement(std::int16_t intKind);

// "End Sub " / "End Function " / "End Property", empty for an event.
std::string EndStatement(std::int16_t intKind);

// "Private m_<name> As <type>" and CR LF.
std::string MemberDeclaration(const ProcedureRequest& request);

}  // namespace quillon
