#include "apps/ide/procedure_list.h"

#include <algorithm>

#include "base/text.h"

namespace ide {

namespace {

// Takes `word` and the blanks after it from the front of `rest` when it is
// there (without regard to case) and stands as a whole word.
bool Take(std::string& rest, const std::string& word) {
    if (text::LowerAscii(rest.substr(0, word.size())) != word) return false;
    if (rest.size() > word.size() && rest[word.size()] != ' ' && rest[word.size()] != '\t') return false;
    rest.erase(0, word.size());
    rest.erase(0, rest.find_first_not_of(" \t") == std::string::npos ? rest.size() : rest.find_first_not_of(" \t"));
    return true;
}

}  // namespace

ProcedureLine DeclaredProcedure(const std::string& line) {
    std::string rest(text::TrimBlanksLeft(line));
    for (const char* scope : {"public", "private", "friend"})
        if (Take(rest, scope)) break;
    Take(rest, "static");
    ProcedureLine p;
    if (Take(rest, "sub")) p.kind = "Sub";
    else if (Take(rest, "function")) p.kind = "Function";
    else if (Take(rest, "property")) {
        if (Take(rest, "get")) p.kind = "Property Get";
        else if (Take(rest, "let")) p.kind = "Property Let";
        else if (Take(rest, "set")) p.kind = "Property Set";
        else return {};
    } else {
        return {};
    }
    std::size_t n = 0;
    while (n < rest.size() && text::IsIdentifierChar(rest[n])) ++n;
    if (n == 0) return {};
    p.name = rest.substr(0, n);
    return p;
}

bool EndsProcedure(const std::string& line) {
    std::string rest(text::TrimBlanksLeft(line));
    if (!Take(rest, "end")) return false;
    const std::string word = text::LowerAscii(rest);
    return word.rfind("sub", 0) == 0 || word.rfind("function", 0) == 0 || word.rfind("property", 0) == 0;
}

std::string ProcedureList::Entry::Label() const {
    if (kind.rfind("Property ", 0) == 0) return name + " [" + kind.substr(9) + "]";
    return name;
}

bool ProcedureList::LinesChanged(int first, int removed, const std::vector<std::string>& added) {
    const int shift = static_cast<int>(added.size()) - removed;
    auto from = std::lower_bound(entries_.begin(), entries_.end(), first,
                                 [](const Entry& e, int line) { return e.line < line; });
    auto to = std::lower_bound(from, entries_.end(), first + removed,
                               [](const Entry& e, int line) { return e.line < line; });
    std::vector<Entry> found;
    for (std::size_t i = 0; i < added.size(); ++i) {
        ProcedureLine p = DeclaredProcedure(added[i]);
        if (!p.name.empty()) found.push_back({first + static_cast<int>(i), p.name, p.kind});
    }
    const bool changed = !std::equal(from, to, found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return a.name == b.name && a.kind == b.kind;
    });
    for (auto it = to; it != entries_.end(); ++it) it->line += shift;
    auto at = entries_.erase(from, to);
    entries_.insert(at, found.begin(), found.end());
    return changed;
}

int ProcedureList::IndexAt(int line) const {
    auto it = std::upper_bound(entries_.begin(), entries_.end(), line,
                               [](int l, const Entry& e) { return l < e.line; });
    return static_cast<int>(it - entries_.begin()) - 1;
}

}  // namespace ide
