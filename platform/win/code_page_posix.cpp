// The conversions of code_page.h through iconv, with the locale's encoding
// read from the environment at each call (nl_langinfo of a locale made for
// the call, so that the process's own locale stays as it is).

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/code_page.h"

namespace win {

namespace {

constexpr unsigned kDefaultCodePage = 1252;
constexpr const char* kUnicode = "UTF-32LE";

// The encoding of the locale the environment names; empty for the C locale.
std::string LocaleEncoding() {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale) return {};
    std::string encoding = ::nl_langinfo_l(CODESET, locale);
    ::freelocale(locale);
    if (encoding == "ANSI_X3.4-1968" || encoding == "ASCII" || encoding == "US-ASCII") return {};
    return encoding;
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from) : handle_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Open()) ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Open() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`. On a character the target lacks (or bytes that
    // are no text), `replacement` takes its place when given, skipping
    // `skip` input bytes; otherwise the conversion fails.
    std::optional<std::string> Convert(std::string_view in, const char* replacement = nullptr, std::size_t skip = 1) {
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        std::vector<char> buffer(4 * in.size() + 16);
        char* source = const_cast<char*>(in.data());
        std::size_t left = in.size();
        while (left > 0) {
            char* target = buffer.data();
            std::size_t room = buffer.size();
            const std::size_t done = ::iconv(handle_, &source, &left, &target, &room);
            out.append(buffer.data(), static_cast<std::size_t>(target - buffer.data()));
            if (done != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            if (!replacement) return std::nullopt;
            out += replacement;
            const std::size_t step = std::min(skip, left);
            source += step;
            left -= step;
        }
        char* target = buffer.data();
        std::size_t room = buffer.size();
        ::iconv(handle_, nullptr, nullptr, &target, &room);
        out.append(buffer.data(), static_cast<std::size_t>(target - buffer.data()));
        return out;
    }

private:
    iconv_t handle_;
};

// The name iconv knows the code page by.
std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

// Code page text as UTF-32LE.
std::string ToUnicode(std::string_view text, unsigned codePage) {
    if (codePage == 1252) {
        std::string out;
        out.reserve(text.size() * 4);
        for (unsigned char b : text) {
            const char32_t c = Windows1252ToUnicode(b);
            for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((c >> shift) & 0xFF);
        }
        return out;
    }
    Converter converter(kUnicode, IconvName(codePage));
    if (!converter.Open()) throw UnknownCodePage("code page " + std::to_string(codePage) + " is not known");
    // A byte that is no character of the code page shows as U+FFFD.
    return *converter.Convert(text, "\xFD\xFF\x00\x00", 1);
}

// UTF-32LE text in the code page; none when a character has no place there.
std::optional<std::string> FromUnicode(std::string_view unicode, unsigned codePage) {
    if (codePage == 1252) {
        std::string out;
        for (std::size_t i = 0; i + 4 <= unicode.size(); i += 4) {
            char32_t c = 0;
            for (int k = 3; k >= 0; --k) c = (c << 8) | static_cast<unsigned char>(unicode[i + k]);
            const auto byte = UnicodeToWindows1252(c);
            if (!byte) return std::nullopt;
            out += static_cast<char>(*byte);
        }
        return out;
    }
    Converter converter(IconvName(codePage), kUnicode);
    if (!converter.Open()) throw UnknownCodePage("code page " + std::to_string(codePage) + " is not known");
    return converter.Convert(unicode);
}

}  // namespace

unsigned ProjectCodePage() {
    const char* setting = std::getenv("TARNWICK_CODEPAGE");
    if (!setting || !*setting || std::strlen(setting) > 5 ||
        std::strspn(setting, "0123456789") != std::strlen(setting))
        return kDefaultCodePage;
    const unsigned long number = std::strtoul(setting, nullptr, 10);
    return number >= 1 && number <= 65535 ? static_cast<unsigned>(number) : kDefaultCodePage;
}

std::optional<std::string> LocaleToCodePage(std::string_view text, unsigned codePage) {
    const std::string encoding = LocaleEncoding();
    if (encoding.empty()) return std::string(text);
    Converter decoder(kUnicode, encoding);
    if (!decoder.Open()) throw UnknownCodePage("the locale's encoding " + encoding + " is not known");
    const auto unicode = decoder.Convert(text);
    if (!unicode) return std::nullopt;
    return FromUnicode(*unicode, codePage);
}

std::string CodePageToLocale(std::string_view text, unsigned codePage) {
    const std::string encoding = LocaleEncoding();
    if (encoding.empty()) return std::string(text);
    Converter encoder(encoding, kUnicode);
    if (!encoder.Open()) throw UnknownCodePage("the locale's encoding " + encoding + " is not known");
    return *encoder.Convert(ToUnicode(text, codePage), "?", 4);
}

}  // namespace win
