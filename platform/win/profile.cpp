// Private profile files. The file is read whole and split into lines; a
// write changes the bytes of one line (or inserts or removes lines) and puts
// the new file in place through SaveFiles, so readers never see half a file.
// Writers of one file take turns: each holds the file's writer lock from
// reading it to replacing it, so no update is lost.

#include "platform/win/profile.h"

#include "base/text.h"
#include "platform/win/save.h"
#include "platform/win/utf16_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

namespace {

struct Line {
    std::size_t start = 0;       // first byte
    std::size_t contentEnd = 0;  // the line end (CR, LF or CR LF) starts here
    std::size_t end = 0;         // one past the line end
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed (quotes still on)
    std::size_t valueStart = 0;  // offset in the line of the value's first byte
};

using text::IsBlank;

std::string_view Trim(std::string_view s) { return text::TrimBlanks(s); }

std::vector<Line> SplitLines(const std::string& bytes) {
    std::vector<Line> lines;
    for (const text::Line& l : text::SplitLinesAtAnyEnd(bytes)) {
        const std::size_t start = static_cast<std::size_t>(l.text.data() - bytes.data());
        lines.push_back({start, start + l.text.size(), start + l.text.size() + l.end.size()});
    }
    return lines;
}

Parsed ParseLine(const std::string& text, const Line& line) {
    std::string_view content(text.data() + line.start, line.contentEnd - line.start);
    // A NUL byte ends what the line says.
    if (auto nul = content.find('\0'); nul != std::string_view::npos) content = content.substr(0, nul);
    Parsed parsed;
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';') return parsed;
    if (trimmed.front() == '[') {
        const auto close = trimmed.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = Kind::Section;
            parsed.name = Trim(trimmed.substr(1, close - 1));
        }
        return parsed;
    }
    const auto equals = content.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = Trim(content.substr(0, equals));
    std::size_t valueStart = equals + 1;
    while (valueStart < content.size() && IsBlank(content[valueStart])) ++valueStart;
    parsed.valueStart = valueStart;
    parsed.value = Trim(content.substr(valueStart));
    return parsed;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string NativePath(const char* path) {
    std::string native(path ? path : "");
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

// The file's bytes; nullopt when it does not exist or cannot be read (also
// when it is no regular file, or too large to be a settings file).
std::optional<std::string> ReadFile(const std::string& path) {
    std::string bytes;
    if (FileSystem::Native().ReadFile(path, bytes, kReadLimit) != 0) return std::nullopt;
    return bytes;
}

// The lines of the first section named `section`: [first, last) as indexes
// into lines, first being the header. nullopt when there is none.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const std::string& text,
                                                               const std::vector<Line>& lines,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = ParseLine(text, lines[i]);
        if (p.kind != Kind::Section || !text::EqualsNoCase(p.name, section)) continue;
        std::size_t j = i + 1;
        while (j < lines.size() && ParseLine(text, lines[j]).kind != Kind::Section) ++j;
        return std::make_pair(i, j);
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::string& text, const std::vector<Line>& lines,
                                   std::pair<std::size_t, std::size_t> section,
                                   std::string_view key) {
    for (std::size_t i = section.first + 1; i < section.second; ++i) {
        const Parsed p = ParseLine(text, lines[i]);
        if (p.kind == Kind::Key && text::EqualsNoCase(p.name, key)) return i;
    }
    return std::nullopt;
}

DWORD CopyOut(std::string_view text, char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of names, each ended by a zero and the list by a second zero.
DWORD CopyList(const std::vector<std::string_view>& names, char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    std::string list;
    for (auto name : names) {
        list.append(name);
        list.push_back('\0');
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

BOOL Failed(DWORD code) {
    SetLastError(code);
    return FALSE;
}

// A byte-order mark some editors put first is not part of the first line.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string WithoutMark(std::string text) {
    if (std::string_view(text).starts_with(kUtf8Mark)) text.erase(0, kUtf8Mark.size());
    return text;
}

// The text of a profile's bytes: a Unicode file (UTF-16LE after its mark,
// as Windows writes one) in the code page, otherwise the bytes as they are.
std::string ProfileText(std::string bytes) {
    if (IsUtf16Text(bytes)) return Utf16TextToAnsi(bytes);
    return WithoutMark(std::move(bytes));
}

// A write's one change to the text: [from, to) becomes `insert`.
struct Splice {
    std::size_t from = 0;
    std::size_t to = 0;
    std::string insert;
};

}  // namespace

DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                               const char* lpDefault, char* lpReturnedString, DWORD nSize,
                               const char* lpFileName) {
    const auto bytes = ReadFile(NativePath(lpFileName));
    const std::string text = ProfileText(bytes.value_or(std::string()));
    const std::vector<Line> lines = SplitLines(text);
    if (!lpAppName) {
        std::vector<std::string_view> names;
        for (const auto& line : lines) {
            const Parsed p = ParseLine(text, line);
            if (p.kind == Kind::Section) names.push_back(p.name);
        }
        return CopyList(names, lpReturnedString, nSize);
    }
    const std::string_view section = Trim(lpAppName);
    const auto range = FindSection(text, lines, section);
    if (!lpKeyName) {
        std::vector<std::string_view> names;
        if (range) {
            for (std::size_t i = range->first + 1; i < range->second; ++i) {
                const Parsed p = ParseLine(text, lines[i]);
                if (p.kind == Kind::Key) names.push_back(p.name);
            }
        }
        return CopyList(names, lpReturnedString, nSize);
    }
    if (range) {
        if (auto key = FindKey(text, lines, *range, Trim(lpKeyName))) {
            return CopyOut(Unquote(ParseLine(text, lines[*key]).value), lpReturnedString, nSize);
        }
    }
    std::string_view fallback = lpDefault ? lpDefault : "";
    while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
    return CopyOut(fallback, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                const char* lpString, const char* lpFileName) {
    if (!lpAppName || !lpFileName || !*lpFileName) return Failed(ERROR_INVALID_PARAMETER);
    const std::string path = NativePath(lpFileName);
    // Held from reading the file to replacing it; another writer that keeps
    // it for the whole wait makes this one fail as a sharing violation.
    SaveLock lock(path);
    if (!lock.Held()) {
        return Failed(lock.Error() == EWOULDBLOCK ? ERROR_SHARING_VIOLATION
                      : lock.Error() == ENOENT    ? ERROR_PATH_NOT_FOUND
                                                  : ERROR_ACCESS_DENIED);
    }
    struct stat st {};
    std::string bytes;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return Failed(ERROR_ACCESS_DENIED);
        // A file that may not be written stays as it is, even though its
        // folder would let a new file take its place.
        if (::access(path.c_str(), W_OK) != 0) return Failed(ERROR_ACCESS_DENIED);
        auto read = ReadFile(path);
        if (!read) return Failed(ERROR_ACCESS_DENIED);
        bytes = std::move(*read);
    } else {
        const auto cut = path.rfind('/');
        const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
        struct stat dir {};
        if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode)) {
            return Failed(ERROR_PATH_NOT_FOUND);
        }
    }
    // A Unicode file is edited as its code units seen through the code page,
    // one byte for each, and gets its change as Unicode again: every other
    // unit stays as it was, as Windows writes Unicode to a Unicode file.
    const bool unicode = IsUtf16Text(bytes);
    const bool marked = !unicode && std::string_view(bytes).starts_with(kUtf8Mark);
    const std::string text = unicode ? Utf16UnitsAsAnsi(std::string_view(bytes).substr(2))
                                     : WithoutMark(bytes);
    const std::string_view section = Trim(lpAppName);
    const std::vector<Line> lines = SplitLines(text);
    const auto range = FindSection(text, lines, section);

    Splice change;
    if (!lpKeyName) {
        if (!range) return TRUE;
        change.from = lines[range->first].start;
        change.to = range->second < lines.size() ? lines[range->second].start : text.size();
    } else {
        const std::string_view key = Trim(lpKeyName);
        const auto keyLine = range ? FindKey(text, lines, *range, key) : std::nullopt;
        if (!lpString) {
            if (!keyLine) return TRUE;
            change.from = lines[*keyLine].start;
            change.to = lines[*keyLine].end;
        } else if (keyLine) {
            const Line& line = lines[*keyLine];
            change.from = line.start + ParseLine(text, line).valueStart;
            change.to = line.contentEnd;
            change.insert = lpString;
        } else {
            const std::string entry = std::string(key) + "=" + lpString + "\r\n";
            if (range) {
                // After the section's last non-blank line.
                std::size_t last = range->first;
                for (std::size_t i = range->first + 1; i < range->second; ++i) {
                    if (!Trim(std::string_view(text).substr(lines[i].start,
                                                            lines[i].contentEnd - lines[i].start))
                             .empty()) {
                        last = i;
                    }
                }
                const Line& after = lines[last];
                change.from = change.to = after.end;
                change.insert = (after.end == after.contentEnd ? "\r\n" : "") + entry;
            } else {
                change.from = change.to = text.size();
                if (!text.empty() && text.back() != '\n' && text.back() != '\r') change.insert = "\r\n";
                change.insert += "[" + std::string(section) + "]\r\n" + entry;
            }
        }
    }
    std::string result;
    if (unicode) {
        // Offsets in the text are code units after the two bytes of the mark.
        result = bytes.substr(0, 2 + 2 * change.from) + AnsiToUtf16(change.insert) +
                 bytes.substr(2 + 2 * change.to);
    } else {
        result = (marked ? std::string(kUtf8Mark) : std::string()) + text.substr(0, change.from) +
                 change.insert + text.substr(change.to);
    }
    const SaveResult saved = SaveFiles({{path, std::move(result)}}, path);
    if (!saved.ok()) {
        return Failed(saved.outcome == SaveResult::kLocked ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED);
    }
    return TRUE;
}

}  // namespace win
