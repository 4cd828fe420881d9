#pragma once
// What choosing a procedure kind does to the dialog's other fields. The dialog
// applies a column when a kind button is clicked; the command line applies the
// same column before its own options, so both accept the same choices.

#include <array>
#include <optional>

#include "quillon/generator.h"

namespace quillon {

struct KindColumn {
    bool typeEnabled;                  // cboDataType Enabled (and white, else grey)
    bool clearType;                    // cboDataType text set to ""
    bool argsEnabled;                  // txtArgs Enabled (and white, else grey)
    bool clearArgs;                    // txtArgs text set to ""
    CheckState propertyBoxes;          // chkRead, chkWrite, chkMember, chkCodeMember
    bool selectPublic;                 // optScope(0) selected
    bool scopeEnabled;                 // optScope 0, 2, 1 Enabled
    std::optional<CheckState> staticValue;  // chkStatic value, none = kept
    bool staticEnabled;
    std::optional<CheckState> mouseValue;   // chkMouse value, none = kept
    bool mouseEnabled;
    std::optional<CheckState> errorValue;   // chkError value, none = kept
    bool errorEnabled;
    // chkMTS is never touched.
};

// Indexed by the kind: Sub, Function, Property, Event.
inline constexpr std::array<KindColumn, 4> kKindTable{{
    // Sub
    {false, true, true, false, vbGrayed, false, true, std::nullopt, true, std::nullopt, true,
     std::nullopt, true},
    // Function
    {true, false, true, false, vbGrayed, false, true, std::nullopt, true, std::nullopt, true,
     std::nullopt, true},
    // Property: always Public at the buttons, never static, no typed arguments.
    {true, false, false, true, vbChecked, true, false, vbUnchecked, false, std::nullopt, true,
     std::nullopt, true},
    // Event: Public, arguments, no type and no options.
    {false, true, true, false, vbGrayed, true, false, vbUnchecked, false, vbUnchecked, false,
     vbUnchecked, false},
}};

}  // namespace quillon
