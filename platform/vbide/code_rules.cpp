#include "platform/vbide/code_rules.h"

#include <algorithm>

#include "base/vb_error.h"

namespace vbide::rules {

namespace {

bool IsBlankChar(char c) { return text::IsBlank(c); }

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
    while (i < s.size() && IsBlankChar(s[i])) ++i;
    return i;
}

// The word (letters, digits, "_") at i, and the index after it.
std::string WordAt(std::string_view s, std::size_t i, std::size_t& after) {
    std::size_t j = i;
    while (j < s.size() && IsIdentifierChar(s[j])) ++j;
    after = j;
    return std::string(s.substr(i, j - i));
}

[[noreturn]] void Fail5() { throw vb::VbError(5, "VBIDE"); }

}  // namespace

bool Continues(std::string_view line) {
    std::size_t end = line.size();
    while (end > 0 && IsBlankChar(line[end - 1])) --end;
    return end >= 2 && line[end - 1] == '_' && IsBlankChar(line[end - 2]);
}

std::string LogicalLine(TextLines lines, std::size_t first,
                        std::size_t& last) {
    std::string joined;
    std::size_t i = first;
    // A logical line joins at most 25 physical lines; a longer run of
    // continuations is cut there, as the environment's editor does.
    for (std::size_t n = 0; i < lines.size(); ++i, ++n) {
        const std::string_view line = lines[i];
        if (n < 24 && Continues(line) && i + 1 < lines.size()) {
            std::size_t end = line.size();
            while (end > 0 && IsBlankChar(line[end - 1])) --end;
            joined.append(line.substr(0, end - 1));
            continue;
        }
        joined += line;
        break;
    }
    last = std::min(i, lines.size() - 1);
    return joined;
}

bool IsBlank(std::string_view line) {
    return SkipBlanks(line, 0) == line.size();
}

bool IsComment(std::string_view line) {
    std::size_t i = SkipBlanks(line, 0);
    if (i < line.size() && line[i] == '\'') return true;
    std::size_t after = 0;
    std::string word = WordAt(line, i, after);
    return EqualsNoCase(word, "Rem");
}

ProcDeclaration ParseDeclaration(const std::string& logical) {
    ProcDeclaration d;
    std::size_t i = SkipBlanks(logical, 0);
    std::size_t after = 0;
    std::string word = WordAt(logical, i, after);
    if (EqualsNoCase(word, "Public") || EqualsNoCase(word, "Private") ||
        EqualsNoCase(word, "Friend") || EqualsNoCase(word, "Global")) {
        d.isFriend = EqualsNoCase(word, "Friend");
        i = SkipBlanks(logical, after);
        word = WordAt(logical, i, after);
    }
    if (EqualsNoCase(word, "Static")) {
        i = SkipBlanks(logical, after);
        word = WordAt(logical, i, after);
    }
    ProcDeclaration::Keyword keyword = ProcDeclaration::Keyword::None;
    if (EqualsNoCase(word, "Sub")) keyword = ProcDeclaration::Keyword::Sub;
    else if (EqualsNoCase(word, "Function")) keyword = ProcDeclaration::Keyword::Function;
    else if (EqualsNoCase(word, "Event")) keyword = ProcDeclaration::Keyword::Event;
    else if (EqualsNoCase(word, "Property")) {
        i = SkipBlanks(logical, after);
        word = WordAt(logical, i, after);
        if (EqualsNoCase(word, "Get")) keyword = ProcDeclaration::Keyword::PropertyGet;
        else if (EqualsNoCase(word, "Let")) keyword = ProcDeclaration::Keyword::PropertyLet;
        else if (EqualsNoCase(word, "Set")) keyword = ProcDeclaration::Keyword::PropertySet;
    }
    if (keyword == ProcDeclaration::Keyword::None) return d;
    // The keyword must be followed by a blank; the name is whatever stands
    // up to the parameter list, a blank or the end of the line.
    if (after >= logical.size() || !IsBlankChar(logical[after])) return d;
    i = SkipBlanks(logical, after);
    std::size_t j = i;
    while (j < logical.size() && !IsBlankChar(logical[j]) && logical[j] != '(' &&
           logical[j] != '\'')
        ++j;
    d.keyword = keyword;
    d.name = logical.substr(i, j - i);
    d.afterName = j;
    return d;
}

bool IsProcedureEnd(std::string_view line) {
    std::size_t i = SkipBlanks(line, 0);
    std::size_t after = 0;
    if (!EqualsNoCase(WordAt(line, i, after), "End")) return false;
    i = SkipBlanks(line, after);
    std::string word = WordAt(line, i, after);
    if (!EqualsNoCase(word, "Sub") && !EqualsNoCase(word, "Function") &&
        !EqualsNoCase(word, "Property"))
        return false;
    i = SkipBlanks(line, after);
    return i == line.size() || line[i] == '\'' || line[i] == ':';
}

namespace {

bool IsProcedureKeyword(ProcDeclaration::Keyword k) {
    return k != ProcDeclaration::Keyword::None && k != ProcDeclaration::Keyword::Event;
}

vbext_ProcKind KindOf(ProcDeclaration::Keyword k) {
    switch (k) {
        case ProcDeclaration::Keyword::PropertyGet: return vbext_pk_Get;
        case ProcDeclaration::Keyword::PropertyLet: return vbext_pk_Let;
        case ProcDeclaration::Keyword::PropertySet: return vbext_pk_Set;
        default: return vbext_pk_Proc;
    }
}

// The 0-based index of the first procedure declaration line, or lines.size().
std::size_t FirstProcedureLine(TextLines lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t last = i;
        std::string logical = LogicalLine(lines, i, last);
        if (!IsComment(lines[i]) && IsProcedureKeyword(ParseDeclaration(logical).keyword))
            return i;
        i = last;
    }
    return lines.size();
}

std::int32_t DeclarationEnd(TextLines lines, std::size_t firstProc) {
    // The last line of the last declaration (a statement that is neither
    // blank nor a comment), 0-based + 1; then the comment lines directly
    // under it, up to the first blank line.
    std::int32_t lastDeclaration = 0;
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < firstProc; ++i) {
        std::size_t last = i;
        LogicalLine(lines, i, last);
        last = std::min(last, firstProc - 1);
        if (!IsBlank(lines[i]) && !IsComment(lines[i])) lastDeclaration = static_cast<std::int32_t>(last) + 1;
        i = last;
    }
    std::int32_t end = lastDeclaration;
    for (std::size_t i = static_cast<std::size_t>(end); i < firstProc; ++i) {
        if (!IsComment(lines[i])) break;
        std::size_t last = i;
        LogicalLine(lines, i, last);
        last = std::min(last, firstProc - 1);
        end = static_cast<std::int32_t>(last) + 1;
        i = last;
    }
    return end;
}

}  // namespace

std::int32_t CountOfDeclarationLines(TextLines lines) {
    return DeclarationEnd(lines, FirstProcedureLine(lines));
}

std::vector<Procedure> Procedures(TextLines lines) {
    std::vector<Procedure> result;
    std::size_t first = FirstProcedureLine(lines);
    std::int32_t nextStart = DeclarationEnd(lines, first) + 1;
    std::size_t i = first;
    while (i < lines.size()) {
        std::size_t last = i;
        std::string logical = LogicalLine(lines, i, last);
        ProcDeclaration d = IsComment(lines[i]) ? ProcDeclaration{} : ParseDeclaration(logical);
        if (!IsProcedureKeyword(d.keyword)) {
            i = last + 1;
            continue;
        }
        Procedure p;
        p.name = d.name;
        p.kind = KindOf(d.keyword);
        p.start = nextStart;
        p.body = static_cast<std::int32_t>(i) + 1;
        std::size_t j = last + 1;
        while (j < lines.size() && !IsProcedureEnd(lines[j])) ++j;
        p.end = j < lines.size() ? static_cast<std::int32_t>(j) + 1 : static_cast<std::int32_t>(lines.size());
        result.push_back(p);
        nextStart = p.end + 1;
        i = static_cast<std::size_t>(p.end);
    }
    return result;
}

// ---------------------------------------------------------------------------
// Find

namespace {

// Pattern elements of the Like operator.
struct PatternItem {
    enum class Kind { Literal, AnyChar, Digit, AnyRun, Set } kind = Kind::Literal;
    char literal = 0;
    std::string set;  // members of a [list], ranges expanded
    bool negated = false;
};

std::vector<PatternItem> CompilePattern(const std::string& pattern) {
    std::vector<PatternItem> items;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        PatternItem item;
        if (c == '*') item.kind = PatternItem::Kind::AnyRun;
        else if (c == '?') item.kind = PatternItem::Kind::AnyChar;
        else if (c == '#') item.kind = PatternItem::Kind::Digit;
        else if (c == '[') {
            std::size_t close = pattern.find(']', i + 1);
            if (close == std::string::npos) throw vb::VbError(93, "VBIDE", "Invalid pattern string");
            std::string body = pattern.substr(i + 1, close - i - 1);
            i = close;
            item.kind = PatternItem::Kind::Set;
            std::size_t k = 0;
            if (!body.empty() && body[0] == '!') {
                item.negated = true;
                k = 1;
            }
            for (; k < body.size(); ++k) {
                if (k + 2 < body.size() && body[k + 1] == '-') {
                    unsigned char from = static_cast<unsigned char>(text::UpperAscii(body[k]));
                    unsigned char to = static_cast<unsigned char>(text::UpperAscii(body[k + 2]));
                    for (unsigned v = from; v <= to; ++v) item.set += static_cast<char>(v);
                    k += 2;
                } else {
                    item.set += text::UpperAscii(body[k]);
                }
            }
        } else {
            item.literal = text::UpperAscii(c);
        }
        items.push_back(item);
    }
    return items;
}

bool ItemMatches(const PatternItem& item, char c) {
    char f = text::UpperAscii(c);
    switch (item.kind) {
        case PatternItem::Kind::Literal: return f == item.literal;
        case PatternItem::Kind::AnyChar: return true;
        case PatternItem::Kind::Digit: return c >= '0' && c <= '9';
        case PatternItem::Kind::Set:
            return (item.set.find(f) != std::string::npos) != item.negated;
        case PatternItem::Kind::AnyRun: return true;
    }
    return false;
}

// Adds state `s` and every state reachable from it through "*" items.
void AddState(const std::vector<PatternItem>& items, std::vector<char>& states, std::size_t s) {
    while (s <= items.size() && !states[s]) {
        states[s] = 1;
        if (s < items.size() && items[s].kind == PatternItem::Kind::AnyRun) ++s;
        else break;
    }
}

// Simulates the pattern from text[from]; returns the end (exclusive) of the
// shortest match that ends at or before `limit`, or npos.
std::size_t ShortestMatch(const std::vector<PatternItem>& items, std::string_view text,
                          std::size_t from, std::size_t limit) {
    std::vector<char> states(items.size() + 1, 0);
    AddState(items, states, 0);
    for (std::size_t pos = from;; ++pos) {
        if (states[items.size()]) return pos;
        if (pos >= limit) return std::string::npos;
        std::vector<char> next(items.size() + 1, 0);
        bool any = false;
        for (std::size_t s = 0; s < items.size(); ++s) {
            if (!states[s] || !ItemMatches(items[s], text[pos])) continue;
            any = true;
            if (items[s].kind == PatternItem::Kind::AnyRun) AddState(items, next, s);
            else AddState(items, next, s + 1);
        }
        if (!any) return std::string::npos;
        states.swap(next);
    }
}

bool WholeWordAt(std::string_view text, std::size_t begin, std::size_t end) {
    if (begin > 0 && IsIdentifierChar(text[begin - 1])) return false;
    if (end < text.size() && IsIdentifierChar(text[end])) return false;
    return true;
}

bool SameChar(char a, char b, bool matchCase) {
    return matchCase ? a == b : text::UpperAscii(a) == text::UpperAscii(b);
}

// Searches one line between the 0-based columns [from, to); sets begin/end
// (end exclusive) of the first match.
bool FindInLine(std::string_view text, std::size_t from, std::size_t to, const std::string& target,
                const std::vector<PatternItem>* pattern, bool wholeWord, bool matchCase,
                std::size_t& begin, std::size_t& end) {
    for (std::size_t s = from; s < to; ++s) {
        std::size_t e;
        if (pattern) {
            e = ShortestMatch(*pattern, text, s, to);
            if (e == std::string::npos || e == s) continue;
        } else {
            if (to - s < target.size()) return false;
            std::size_t k = 0;
            while (k < target.size() && SameChar(text[s + k], target[k], matchCase)) ++k;
            if (k != target.size()) continue;
            e = s + target.size();
        }
        if (wholeWord && !WholeWordAt(text, s, e)) continue;
        begin = s;
        end = e;
        return true;
    }
    return false;
}

}  // namespace

bool LikeMatch(const std::string& text, const std::string& pattern) {
    std::vector<PatternItem> items = CompilePattern(pattern);
    std::vector<char> states(items.size() + 1, 0);
    AddState(items, states, 0);
    for (char c : text) {
        std::vector<char> next(items.size() + 1, 0);
        for (std::size_t s = 0; s < items.size(); ++s) {
            if (!states[s] || !ItemMatches(items[s], c)) continue;
            if (items[s].kind == PatternItem::Kind::AnyRun) AddState(items, next, s);
            else AddState(items, next, s + 1);
        }
        states.swap(next);
    }
    return states[items.size()] != 0;
}

bool Find(TextLines lines, const std::string& target, std::int32_t& startLine,
          std::int32_t& startColumn, std::int32_t& endLine, std::int32_t& endColumn, bool wholeWord, bool matchCase,
          bool patternSearch) {
    if (target.empty() || (matchCase && patternSearch)) Fail5();
    const std::int32_t count = static_cast<std::int32_t>(lines.size());
    if (count == 0) return false;
    if (startLine < 1 || startLine > count) Fail5();
    std::int32_t lastLine = (endLine == -1 || endLine > count) ? count : endLine;
    if (lastLine < startLine) return false;
    std::vector<PatternItem> pattern;
    if (patternSearch) pattern = CompilePattern(target);
    for (std::int32_t l = startLine; l <= lastLine; ++l) {
        const std::string_view text = lines[static_cast<std::size_t>(l - 1)];
        std::int32_t firstCol = (l == startLine) ? std::max(startColumn, std::int32_t{1}) : 1;
        std::int32_t lastCol = static_cast<std::int32_t>(text.size());
        if (l == lastLine && endColumn != -1) lastCol = std::min(lastCol, endColumn);
        if (lastCol < firstCol) continue;
        std::size_t begin = 0, end = 0;
        if (FindInLine(text, static_cast<std::size_t>(firstCol - 1), static_cast<std::size_t>(lastCol),
                       target, patternSearch ? &pattern : nullptr, wholeWord, matchCase, begin, end)) {
            startLine = l;
            endLine = l;
            startColumn = static_cast<std::int32_t>(begin) + 1;
            endColumn = static_cast<std::int32_t>(end);
            return true;
        }
    }
    return false;
}

}  // namespace vbide::rules
