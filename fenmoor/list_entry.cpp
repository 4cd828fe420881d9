#include "fenmoor/list_entry.h"

#include "base/text.h"

namespace fenmoor {

namespace {

const std::string kGap(100, ' ');

}  // namespace

std::string MakeEntry(const std::string& name, const std::string& key) {
    return name + kGap + key;
}

std::string KeyOfEntry(const std::string& entry) {
    // Trim(Right(text, Len(text) - InStr(text, Space(100)))): with the run found
    // at position p (from 1), the last L - p characters start at offset p.
    const auto gap = entry.find(kGap);
    const std::string rest = gap == std::string::npos ? entry : entry.substr(gap + 1);
    return text::Trim(rest);
}

std::string NameOfEntry(const std::string& entry) {
    // Trim(Left(text, InStr(text, " "))).
    const auto blank = entry.find(' ');
    if (blank == std::string::npos) return {};
    return text::Trim(entry.substr(0, blank + 1));
}

}  // namespace fenmoor
