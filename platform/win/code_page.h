#pragma once
// The ANSI code page in which the suite writes project files, modules and
// registry scripts, as the Windows programs do, and the conversion of the
// user's own text (command-line arguments, messages) to and from it.
//
// The code page is Windows-1252 unless TARNWICK_CODEPAGE names another
// ("932" for Japanese, "1251" for Cyrillic, ...); on Windows the system's
// ANSI code page takes the place of Windows-1252. The user's text is in the
// encoding of the locale (LC_ALL, LC_CTYPE, LANG); in the C locale, which
// names no encoding for bytes above 127, text passes unchanged.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace win {

// A code page the system cannot convert from or to.
class UnknownCodePage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The code page of the projects (see above).
unsigned ProjectCodePage();

// True when `byte` begins a two-byte character in the code page (the
// double-byte code pages 932, 936, 949 and 950); the byte after it belongs
// to the same character.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// Windows-1252, the one table the suite keeps: the character of a byte
// (bytes the code page leaves undefined stand for the control character
// of the same number), and the byte of a character, none when it has none.
char32_t Windows1252ToUnicode(unsigned char byte);
std::optional<unsigned char> UnicodeToWindows1252(char32_t c);

// The user's text in the code page; none when the text holds a character
// that the code page lacks or bytes that are no text of the locale.
// Throws UnknownCodePage.
std::optional<std::string> LocaleToCodePage(std::string_view text, unsigned codePage);
// Text of the code page in the user's encoding, for messages; a character
// the locale lacks becomes "?". Throws UnknownCodePage.
std::string CodePageToLocale(std::string_view text, unsigned codePage);

}  // namespace win
