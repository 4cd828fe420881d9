#include "platform/win/registry_script_parser.h"

#include <array>
#include <cstdint>

#include "base/text.h"
#include "platform/win/utf16_text.h"

namespace win::detail {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::size_t kMaxKeyName = 255;
// Windows keeps a key tree at most 512 levels deep.
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::size_t kMaxValueName = 16383;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits at CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (const text::Line& line : text::SplitLinesAtAnyEnd(text)) lines.push_back(line.text);
    return lines;
}

// Reads a quoted string starting at s[0] == '"'. Inside, \\ is a backslash
// and \" a quote; a backslash before any other character is kept as it is.
// Returns the characters after the closing quote, or nullopt when the string
// is not closed.
std::optional<std::string_view> ReadQuoted(std::string_view s, std::string& out) {
    std::size_t i = 1;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[i + 1];
            i += 2;
        } else if (c == '"') {
            return s.substr(i + 1);
        } else {
            out += c;
            ++i;
        }
    }
    return std::nullopt;
}

std::optional<ScriptError> ParseRoot(std::string_view name, ScriptRoot& root, std::size_t line) {
    static constexpr std::pair<std::string_view, ScriptRoot> kRoots[] = {
        {"HKEY_CLASSES_ROOT", ScriptRoot::ClassesRoot},
        {"HKEY_CURRENT_USER", ScriptRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE", ScriptRoot::LocalMachine},
        {"HKEY_USERS", ScriptRoot::Users}};
    for (const auto& [text, value] : kRoots) {
        if (text::EqualsNoCase(name, text)) {
            root = value;
            return std::nullopt;
        }
    }
    return ScriptError{line, "unknown root key \"" + std::string(name) + "\""};
}

std::optional<ScriptError> ParseKeyLine(std::string_view line, std::size_t number, ScriptKey& key) {
    const auto close = line.rfind(']');
    if (close == std::string_view::npos) return ScriptError{number, "key line without closing ]"};
    if (!text::TrimBlanksLeft(line.substr(close + 1)).empty()) {
        return ScriptError{number, "text after the closing ] of a key line"};
    }
    std::string_view path = line.substr(1, close - 1);
    if (!path.empty() && path.front() == '-') {
        key.remove = true;
        path.remove_prefix(1);
    }
    key.line = number;
    const auto cut = path.find('\\');
    if (auto error = ParseRoot(path.substr(0, cut), key.root, number)) return error;
    if (cut == std::string_view::npos) return std::nullopt;
    path.remove_prefix(cut + 1);
    while (true) {
        const auto next = path.find('\\');
        const std::string_view part = path.substr(0, next);
        // Empty names collapse: [HKEY_CLASSES_ROOT\] is the root itself.
        if (part.size() > kMaxKeyName) {
            return ScriptError{number, "key name longer than 255 characters"};
        }
        if (!part.empty()) {
            // Refused before it is stored, so that a deep path costs no more
            // than the script's own bytes.
            if (key.path.size() == kMaxKeyDepth) {
                return ScriptError{number, "key path deeper than 512 levels"};
            }
            key.path.emplace_back(part);
        }
        if (next == std::string_view::npos) break;
        path.remove_prefix(next + 1);
    }
    return std::nullopt;
}

std::optional<ScriptError> ParseHex(std::string_view data, std::size_t number, std::string& out) {
    data = text::TrimBlanksRight(data);
    while (!data.empty()) {
        data = text::TrimBlanksLeft(data);
        std::size_t digits = 0;
        int byte = 0;
        while (digits < data.size() && digits < 3 && HexDigit(data[digits]) >= 0) {
            byte = byte * 16 + HexDigit(data[digits]);
            ++digits;
        }
        if (digits == 0 || digits > 2) {
            return ScriptError{number, "bad hexadecimal byte in value data"};
        }
        out += static_cast<char>(byte);
        data = text::TrimBlanksLeft(data.substr(digits));
        if (data.empty()) break;
        if (data.front() != ',') return ScriptError{number, "bad hexadecimal byte in value data"};
        data.remove_prefix(1);
    }
    return std::nullopt;
}

std::optional<ScriptError> ParseData(std::string_view data, std::size_t number, bool version5,
                                     ScriptValue& value) {
    if (data.empty()) return ScriptError{number, "value without data"};
    if (data.front() == '-') {
        if (!text::TrimBlanksLeft(data.substr(1)).empty()) return ScriptError{number, "text after -"};
        value.remove = true;
        return std::nullopt;
    }
    if (data.front() == '"') {
        std::string text;
        auto rest = ReadQuoted(data, text);
        if (!rest) return ScriptError{number, "unterminated string"};
        if (!text::TrimBlanksLeft(*rest).empty()) {
            return ScriptError{number, "text after the closing quote of a string (an unescaped quote?)"};
        }
        value.type = 1;
        value.data = std::move(text);
        value.data.push_back('\0');
        return std::nullopt;
    }
    if (text::StartsWithNoCase(data, "dword:")) {
        const std::string_view digits = text::TrimBlanksRight(data.substr(6));
        if (digits.empty() || digits.size() > 8) return ScriptError{number, "bad dword value"};
        std::uint32_t n = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0) return ScriptError{number, "bad dword value"};
            n = n * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        value.type = 4;
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((n >> (8 * i)) & 0xFF);
        return std::nullopt;
    }
    if (text::StartsWithNoCase(data, "hex")) {
        std::string_view rest = data.substr(3);
        DWORD type = 3;
        if (!rest.empty() && rest.front() == '(') {
            const auto close = rest.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9) {
                return ScriptError{number, "bad value type in hex(...)"};
            }
            type = 0;
            for (char c : rest.substr(1, close - 1)) {
                if (HexDigit(c) < 0) return ScriptError{number, "bad value type in hex(...)"};
                type = type * 16 + static_cast<DWORD>(HexDigit(c));
            }
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':') return ScriptError{number, "unknown value data"};
        std::string bytes;
        if (auto error = ParseHex(rest.substr(1), number, bytes)) return error;
        // Version 5.00 scripts carry text types as UTF-16LE.
        if (version5 && (type == 1 || type == 2 || type == 7)) bytes = Utf16ToAnsi(bytes);
        value.type = type;
        value.data = std::move(bytes);
        return std::nullopt;
    }
    return ScriptError{number, "unknown value data"};
}

}  // namespace

std::optional<ScriptError> ParseRegistryScript(std::string_view text, Script& script) {
    std::string converted;
    if (IsUtf16Text(text)) {
        // A script saved as UTF-16LE (as Windows exports version 5.00).
        converted = Utf16TextToAnsi(text);
        text = converted;
    }
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty() || (lines[0] != kHeader4 && lines[0] != kHeader5)) {
        return ScriptError{1, "not a registry script: the first line must be \"REGEDIT4\" or "
                              "\"Windows Registry Editor Version 5.00\""};
    }
    script.version5 = lines[0] == kHeader5;
    ScriptKey* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t number = i + 1;
        const std::string_view line = text::TrimBlanksLeft(lines[i]);
        if (line.empty() || line.front() == ';') continue;
        if (line.find('\0') != std::string_view::npos) {
            return ScriptError{number, "binary data in a script line"};
        }
        if (line.front() == '[') {
            ScriptKey key;
            if (auto error = ParseKeyLine(line, number, key)) return error;
            script.keys.push_back(std::move(key));
            current = &script.keys.back();
            continue;
        }
        if (line.front() != '@' && line.front() != '"') {
            return ScriptError{number, "not a key line, value line or comment"};
        }
        if (!current) return ScriptError{number, "value line before the first key line"};
        if (current->remove) return ScriptError{number, "value line under a key that is deleted"};
        ScriptValue value;
        value.line = number;
        std::string_view rest;
        if (line.front() == '@') {
            rest = line.substr(1);
        } else {
            auto after = ReadQuoted(line, value.name);
            if (!after) return ScriptError{number, "unterminated value name"};
            rest = *after;
            if (value.name.size() > kMaxValueName) {
                return ScriptError{number, "value name longer than 16383 characters"};
            }
        }
        rest = text::TrimBlanksLeft(rest);
        if (rest.empty() || rest.front() != '=') return ScriptError{number, "value line without ="};
        rest = text::TrimBlanksLeft(rest.substr(1));
        // Hex data may go on over following lines, each but the last ending
        // in a backslash.
        std::string joined;
        if (text::StartsWithNoCase(rest, "hex")) {
            std::string_view piece = text::TrimBlanksRight(rest);
            while (!piece.empty() && piece.back() == '\\') {
                joined.append(piece.substr(0, piece.size() - 1));
                if (++i >= lines.size()) {
                    return ScriptError{number, "hex data continues past the end of the script"};
                }
                piece = text::TrimBlanksRight(text::TrimBlanksLeft(lines[i]));
            }
            joined.append(piece);
            rest = joined;
        }
        if (auto error = ParseData(text::TrimBlanksRight(rest), number, script.version5, value)) return error;
        current->values.push_back(std::move(value));
    }
    return std::nullopt;
}

}  // namespace win::detail
