#pragma once
// The rules by which the environment reads the lines of a code module: where
// the declarations section ends, where each procedure starts and ends, and how
// Find searches. Pure functions over the visible lines of a module.

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/vbide/text_lines.h"
#include "contract/vbide.h"

namespace vbide::rules {

// A procedure declaration recognised on a logical line.
struct ProcDeclaration {
    enum class Keyword { None, Sub, Function, PropertyGet, PropertyLet, PropertySet, Event };
    Keyword keyword = Keyword::None;
    bool isFriend = false;
    std::string name;
    // Offset in the logical line just after the name.
    std::size_t afterName = 0;
};

// A procedure of a module, with 1-based line numbers.
struct Procedure {
    std::string name;
    vbext_ProcKind kind = vbext_pk_Proc;
    std::int32_t start = 0;  // first line after the previous procedure (or declarations)
    std::int32_t body = 0;   // the declaration line
    std::int32_t end = 0;    // the End line, or the module's last line when missing
};

// Names compare with ASCII case folding and are VB identifiers.
using text::EqualsNoCase;
using text::IsIdentifierChar;

// Joins the physical lines [first, last] of a logical line, without the
// " _" continuation marks.
std::string LogicalLine(TextLines lines, std::size_t first,
                        std::size_t& last);
// True when the physical line continues on the next one (ends with " _").
bool Continues(std::string_view line);

// Recognises "[Public|Private|Friend|Global] [Static] Sub|Function|Property
// Get|Let|Set|Event name". Comments and other statements give Keyword::None.
ProcDeclaration ParseDeclaration(const std::string& logicalLine);
// True for "End Sub", "End Function" and "End Property" (with optional
// trailing blanks or comment).
bool IsProcedureEnd(std::string_view line);
// True for a line that is blank or a comment (' or Rem).
bool IsBlank(std::string_view line);
bool IsComment(std::string_view line);

// The declarations section's last line (see CodeModule::CountOfDeclarationLines).
std::int32_t CountOfDeclarationLines(TextLines lines);
// Every procedure (Sub, Function, Property) of the module in order; events
// and Declare statements are declarations, not procedures.
std::vector<Procedure> Procedures(TextLines lines);

// The search of CodeModule::Find over `lines`; validates its arguments and
// throws vb::VbError(5) as the contract says.
bool Find(TextLines lines, const std::string& target, std::int32_t& startLine,
          std::int32_t& startColumn, std::int32_t& endLine, std::int32_t& endColumn, bool wholeWord, bool matchCase,
          bool patternSearch);

// Matches `text` against a pattern of the Like operator (* ? # [list] [!list]),
// ASCII letters folded. Exposed for tests.
bool LikeMatch(const std::string& text, const std::string& pattern);

}  // namespace vbide::rules
