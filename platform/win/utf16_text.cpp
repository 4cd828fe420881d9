#include "platform/win/utf16_text.h"

#include "platform/win/code_page.h"

namespace win {

namespace {

constexpr std::string_view kMark = "\xFF\xFE";

}  // namespace

bool IsUtf16Text(std::string_view bytes) { return bytes.starts_with(kMark); }

std::string AnsiToUtf16(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() * 2);
    for (char c : ansi) {
        const char32_t unit = Windows1252ToUnicode(static_cast<unsigned char>(c));
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    }
    return out;
}

std::string Utf16ToAnsi(std::string_view utf16) {
    std::string out;
    out.reserve(utf16.size() / 2);
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                                    static_cast<unsigned char>(utf16[i + 1]) << 8);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 3 < utf16.size()) {
            const unsigned next = static_cast<unsigned char>(utf16[i + 2]) |
                                  static_cast<unsigned char>(utf16[i + 3]) << 8;
            if (next >= 0xDC00 && next <= 0xDFFF) i += 2;  // the pair is one character
        }
        const auto byte = UnicodeToWindows1252(unit);
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string Utf16UnitsAsAnsi(std::string_view utf16) {
    std::string out;
    out.reserve(utf16.size() / 2);
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                                    static_cast<unsigned char>(utf16[i + 1]) << 8);
        const auto byte = UnicodeToWindows1252(unit);
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string AnsiToUtf16Text(std::string_view ansi) { return std::string(kMark) + AnsiToUtf16(ansi); }

std::string Utf16TextToAnsi(std::string_view bytes) {
    if (IsUtf16Text(bytes)) bytes.remove_prefix(kMark.size());
    return Utf16ToAnsi(bytes);
}

}  // namespace win
