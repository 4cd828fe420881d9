// Paths and arguments as text in the ANSI code page, over kernel32's own
// conversions (the C++ runtime would give UTF-8).

#include "platform/win/path_text.h"

#include "base/vb_error.h"

#include <windows.h>
#include <shellapi.h>

namespace win {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The code page's bytes for `wide`; false when a character has none (no
// look-alike is taken in its place).
bool Ansi(const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &lost);
    text.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, &lost);
    return !lost;
}

[[noreturn]] void Refuse(const std::string& what, const std::string& shown) {
    throw vb::VbError(52, "Windows",
                      what + " holds a character that the ANSI code page (" + std::to_string(GetACP()) +
                          ") cannot hold: " + shown);
}

std::string Checked(const std::wstring& wide, const std::string& what) {
    std::string text;
    if (!Ansi(wide, text)) Refuse(what, text);
    return text;
}

}  // namespace

std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(Wide(text));
}

std::string TextOf(const std::filesystem::path& path) {
    return Checked(path.native(), "the path");
}

std::string GenericTextOf(const std::filesystem::path& path) {
    return Checked(path.generic_wstring(), "the path");
}

bool TryTextOf(const std::filesystem::path& path, std::string& text) {
    return Ansi(path.native(), text);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (!wide) {  // the runtime's own split, in the code page
        if (argc > 1) arguments.assign(argv + 1, argv + argc);
        return arguments;
    }
    try {
        for (int i = 1; i < count; ++i)
            arguments.push_back(Checked(wide[i], "argument " + std::to_string(i)));
    } catch (...) {
        LocalFree(wide);
        throw;
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace win
