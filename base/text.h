#pragma once
// The small text rules of the whole suite. Text is bytes in the ANSI code
// page and is never re-encoded. Case folding changes only the ASCII letters
// A-Z and a-z, whatever locale the process runs in (Qt sets one), so a byte
// above 0x7F always stays as it is.

#include <string>
#include <string_view>
#include <vector>

namespace text {

// ---- Case ----------------------------------------------------------------

// A-Z or a-z: the only letters that case folding changes.
bool IsAsciiLetter(char c);
char UpperAscii(char c);
char LowerAscii(char c);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Byte order after folding to upper case; bytes above 0x7F sort after ASCII.
bool LessNoCase(std::string_view a, std::string_view b);

// ---- Blanks --------------------------------------------------------------

// A blank inside a line: space or tab.
bool IsBlank(char c);

// VB's Trim: removes spaces (character 32) at both ends; tabs stay. The
// result has the argument's type, so a view never outlives its string.
std::string Trim(const std::string& text);
std::string_view Trim(std::string_view text);

// Removes spaces and tabs at both ends (or at one end).
std::string TrimBlanks(const std::string& text);
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimBlanksLeft(std::string_view text);
std::string_view TrimBlanksRight(std::string_view text);

// ---- Lines ---------------------------------------------------------------

// One line of a text: its bytes and the line end that followed them ("\r\n",
// "\n", "\r", or "" for a last line without one). text + end gives back the
// bytes exactly. Both view the split text.
struct Line {
    std::string_view text;
    std::string_view end;
};

// Lines ended by LF, as files and module texts are read: a CR just before
// the LF belongs to the line end, a lone CR stays in the line. A final line
// end starts no further line; the empty text has no lines.
std::vector<Line> SplitLines(std::string_view text);

// Lines ended by CR LF, LF or a lone CR, as the Windows text parsers
// (settings files, registry scripts) read them.
std::vector<Line> SplitLinesAtAnyEnd(std::string_view text);

// ---- Captions ------------------------------------------------------------

// A caption as the user reads it: each "&" that marks an access key is taken
// out, and "&&" stands for one "&".
std::string StripAccessKeys(std::string_view caption);

// The upper-cased letter after a caption's first access-key "&"; 0 when
// there is none.
char AccessKeyOf(std::string_view caption);

// ---- Paths ---------------------------------------------------------------

// The last element of a path as project files write it, with "\\" or "/"
// between folders (the whole path when it has neither).
std::string_view LastPathElement(std::string_view path);

// ---- Names ---------------------------------------------------------------

// VB identifiers in the ANSI code page: a letter first (ASCII, or a byte from
// 0xC0, the accented letters of the Western code pages), then letters, digits
// and "_", 255 bytes at most.
bool IsIdentifierStart(char c);
bool IsIdentifierChar(char c);
bool IsIdentifier(std::string_view name);

}  // namespace text
