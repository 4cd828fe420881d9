// The conversions of code_page.h through kernel32. Command-line arguments
// and console output are in the ANSI code page here, so that is the user's
// encoding, and the projects' code page unless TARNWICK_CODEPAGE names another.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/code_page.h"

namespace win {

namespace {

std::wstring Wide(std::string_view text, unsigned codePage, DWORD flags) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void RequireKnown(unsigned codePage) {
    if (!::IsValidCodePage(codePage))
        throw UnknownCodePage("code page " + std::to_string(codePage) + " is not known");
}

// Wide text in the code page; none when a character has no place there.
std::optional<std::string> Narrow(const std::wstring& wide, unsigned codePage, bool replace) {
    if (wide.empty()) return std::string();
    BOOL usedDefault = FALSE;
    // Code pages such as UTF-8 take no default character.
    const bool takesDefault = codePage != CP_UTF8 && codePage < 50000;
    BOOL* used = takesDefault ? &usedDefault : nullptr;
    const DWORD flags = takesDefault ? WC_NO_BEST_FIT_CHARS : 0;
    const int n = ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                        takesDefault ? "?" : nullptr, used);
    if (n <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                          takesDefault ? "?" : nullptr, used);
    if (usedDefault && !replace) return std::nullopt;
    return out;
}

}  // namespace

unsigned ProjectCodePage() {
    const char* setting = std::getenv("TARNWICK_CODEPAGE");
    if (!setting || !*setting || std::strlen(setting) > 5 ||
        std::strspn(setting, "0123456789") != std::strlen(setting))
        return ::GetACP();
    const unsigned long number = std::strtoul(setting, nullptr, 10);
    return number >= 1 && number <= 65535 ? static_cast<unsigned>(number) : ::GetACP();
}

std::optional<std::string> LocaleToCodePage(std::string_view text, unsigned codePage) {
    RequireKnown(codePage);
    if (codePage == ::GetACP() || text.empty()) return std::string(text);
    const std::wstring wide = Wide(text, CP_ACP, MB_ERR_INVALID_CHARS);
    if (wide.empty()) return std::nullopt;
    return Narrow(wide, codePage, false);
}

std::string CodePageToLocale(std::string_view text, unsigned codePage) {
    RequireKnown(codePage);
    if (codePage == ::GetACP() || text.empty()) return std::string(text);
    return Narrow(Wide(text, codePage, 0), CP_ACP, true).value_or(std::string(text));
}

}  // namespace win
