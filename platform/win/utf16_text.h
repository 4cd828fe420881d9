#pragma once
// Unicode text as Windows writes it to files: UTF-16LE after the byte-order
// mark FF FE (registry scripts of version 5.00, Unicode private profiles).
// The suite's text is Windows-1252; these convert between the two through
// the code page's one table.

#include <string>
#include <string_view>

namespace win {

// True when `bytes` begin with the UTF-16LE byte-order mark.
bool IsUtf16Text(std::string_view bytes);

// Windows-1252 text as UTF-16LE code units, without a mark.
std::string AnsiToUtf16(std::string_view ansi);
// UTF-16LE code units as Windows-1252 text: a character the code page lacks
// becomes '?' (one for a pair of surrogates, as Windows converts), and an odd
// last byte is dropped.
std::string Utf16ToAnsi(std::string_view utf16);

// Each UTF-16LE code unit as one byte of the code page ('?' for one it
// lacks, each half of a surrogate pair alike), so that an offset in the
// result is the offset of a code unit in the text: a file edited through
// this view keeps every unit outside the edit.
std::string Utf16UnitsAsAnsi(std::string_view utf16);

// A whole UTF-16 file: the mark, then the text's code units.
std::string AnsiToUtf16Text(std::string_view ansi);
// The text of a whole UTF-16 file, its mark dropped.
std::string Utf16TextToAnsi(std::string_view bytes);

}  // namespace win
