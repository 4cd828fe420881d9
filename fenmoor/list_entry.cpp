#include "fenmoor/list_entry.h"

namespace fenmoor {

namespace {

const std::string kGap(100, ' ');

// VB's Trim: blanks only, not tabs.
std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string MakeEntry(const std::string& name, const std::string& key) {
    return name + kGap + key;
}

std::string KeyOfEntry(const std::string& entry) {
    // Trim(Right(text, Len(text) - InStr(text, Space(100)))): with the run found
    // at position p (from 1), the last L - p characters start at offset p.
    const auto gap = entry.find(kGap);
    const std::string rest = gap == std::string::npos ? entry : entry.substr(gap + 1);
    return Trim(rest);
}

std::string NameOfEntry(const std::string& entry) {
    // Trim(Left(text, InStr(text, " "))).
    const auto blank = entry.find(' ');
    if (blank == std::string::npos) return {};
    return Trim(entry.substr(0, blank + 1));
}

}  // namespace fenmoor
