#include "platform/vbide/property_store.h"

#include "base/text.h"
#include "platform/vbide/code_rules.h"

namespace vbide {

using rules::EqualsNoCase;

PropertyStore::Section* PropertyStore::FindSection(const std::string& name) {
    const auto found = sectionByName_.find(text::UpperAscii(name));
    return found == sectionByName_.end() ? nullptr : &sections_[found->second];
}

const PropertyStore::Section* PropertyStore::FindSection(const std::string& name) const {
    const auto found = sectionByName_.find(text::UpperAscii(name));
    return found == sectionByName_.end() ? nullptr : &sections_[found->second];
}

PropertyStore::Section& PropertyStore::AddSection(Section section) {
    sectionByName_.emplace(text::UpperAscii(section.name), sections_.size());
    sections_.push_back(std::move(section));
    return sections_.back();
}

void PropertyStore::AddEntry(Section& section, Entry entry) {
    if (!entry.key.empty()) section.byKey.emplace(text::UpperAscii(entry.key), section.entries.size());
    section.entries.push_back(std::move(entry));
}

std::optional<std::string> PropertyStore::Read(const std::string& section,
                                               const std::string& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return std::nullopt;
    const auto found = s->byKey.find(text::UpperAscii(key));
    if (found == s->byKey.end()) return std::nullopt;
    return s->entries[found->second].value;
}

void PropertyStore::Write(const std::string& section, const std::string& key,
                          const std::string& value) {
    Section* s = FindSection(section);
    if (s == nullptr) s = &AddSection(Section{section, {}, {}, {}});
    changed_ = true;
    const auto found = s->byKey.find(text::UpperAscii(key));
    if (found != s->byKey.end()) {
        Entry& e = s->entries[found->second];
        if (e.value != value) {
            e.value = value;
            e.raw.clear();
        }
        return;
    }
    AddEntry(*s, Entry{key, value, {}});
}

void PropertyStore::Load(const std::string& bytes, const std::string& /*lineEnd*/) {
    sections_.clear();
    sectionByName_.clear();
    leading_.clear();
    trailing_.clear();
    changed_ = false;
    std::string pending;  // blank lines not yet given to a section or entry
    for (const text::Line& line : text::SplitLinesAtAnyEnd(bytes)) {
        const std::string text(line.text);
        const std::string raw = text + std::string(line.end);
        if (rules::IsBlank(text)) {
            pending += raw;
            continue;
        }
        if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
            AddSection(Section{text.substr(1, text.size() - 2), pending + raw, {}, {}});
            pending.clear();
            continue;
        }
        Entry e;
        std::size_t eq = text.find('=');
        if (eq != std::string::npos && eq > 0) {
            e.key = text.substr(0, eq);
            e.value = text.substr(eq + 1);
        }
        e.raw = pending + raw;
        pending.clear();
        if (sections_.empty()) leading_ += e.raw;
        else AddEntry(sections_.back(), std::move(e));
    }
    trailing_ = pending;
}

namespace {

// Whether the text so far ends with a line end of any style.
bool EndsLine(const std::string& out) { return !out.empty() && (out.back() == '\n' || out.back() == '\r'); }

}  // namespace

std::string PropertyStore::Serialize(const std::string& lineEnd) const {
    std::string out = leading_;
    for (const Section& s : sections_) {
        out += s.raw.empty() ? lineEnd + "[" + s.name + "]" + lineEnd : s.raw;
        for (const Entry& e : s.entries) {
            if (!e.raw.empty()) {
                out += e.raw;
                // A last line read without its line end gets one when more follows.
                if (!EndsLine(out) && &e != &s.entries.back()) out += lineEnd;
                continue;
            }
            if (!out.empty() && !EndsLine(out)) out += lineEnd;
            out += e.key + "=" + e.value + lineEnd;
        }
        if (!out.empty() && !EndsLine(out) && &s != &sections_.back()) out += lineEnd;
    }
    out += trailing_;
    return out;
}

std::vector<std::string> PropertyStore::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::string> PropertyStore::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (!e.key.empty()) keys.push_back(e.key);
    return keys;
}

}  // namespace vbide
