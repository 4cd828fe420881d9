#include "base/text.h"

#include <algorithm>

namespace text {

namespace {

template <class Drop>
std::string_view TrimWhile(std::string_view text, Drop drop) {
    while (!text.empty() && drop(text.front())) text.remove_prefix(1);
    while (!text.empty() && drop(text.back())) text.remove_suffix(1);
    return text;
}

bool IsSpace(char c) {
    return c == ' ';
}

}  // namespace

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return prefix.size() <= text.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(UpperAscii(x)) <
               static_cast<unsigned char>(UpperAscii(y));
    });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    return std::string(Trim(std::string_view(text)));
}

std::string_view Trim(std::string_view text) {
    return TrimWhile(text, IsSpace);
}

std::string TrimBlanks(const std::string& text) {
    return std::string(TrimBlanks(std::string_view(text)));
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimWhile(text, IsBlank);
}

std::string_view TrimBlanksLeft(std::string_view text) {
    return text.substr(std::min(text.size(), text.find_first_not_of(" \t")));
}

std::string_view TrimBlanksRight(std::string_view text) {
    return text.substr(0, text.find_last_not_of(" \t") + 1);
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({text.substr(start), {}});
            break;
        }
        const std::size_t end = (lf > start && text[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({text.substr(start, end - start), text.substr(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

std::vector<Line> SplitLinesAtAnyEnd(std::string_view text) {
    std::vector<Line> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        const std::size_t contentEnd = i;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n' && (i == contentEnd || text[i - 1] == '\r')) ++i;
        lines.push_back(
            {text.substr(start, contentEnd - start), text.substr(contentEnd, i - contentEnd)});
    }
    return lines;
}

std::string StripAccessKeys(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

char AccessKeyOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperAscii(caption[i + 1]);
    }
    return 0;
}

std::string_view LastPathElement(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsIdentifierStart(char c) {
    return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0xC0;
}

bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9') || c == '_';
}

bool IsIdentifier(std::string_view name) {
    return !name.empty() && name.size() <= 255 && IsIdentifierStart(name.front()) &&
           std::all_of(name.begin(), name.end(), IsIdentifierChar);
}

}  // namespace text
