#pragma once
// A project's property store (VBProject.ReadProperty / WriteProperty): named
// sections of key=value entries, in the order they were created or loaded.
// In a project file it follows the project's own lines, each section as a
// blank line, a "[Section]" line and its "key=value" lines. Entries read from
// a file keep their bytes; only new or changed entries are written anew.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vbide {

class PropertyStore {
public:
    // Section and key compare without regard to (ASCII) case.
    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    // Replaces the value, or appends the key (and the section) when missing.
    void Write(const std::string& section, const std::string& key, const std::string& value);

    // Parses the store part of a project file (everything from the first
    // "[Section]" line on, with the blank lines before it).
    void Load(const std::string& bytes, const std::string& lineEnd);
    // The bytes of the store part; `lineEnd` ends new lines.
    std::string Serialize(const std::string& lineEnd) const;
    bool Changed() const { return changed_; }
    void MarkSaved() { changed_ = false; }
    bool Empty() const { return sections_.empty() && trailing_.empty(); }

    // Sections and their keys in order (for views and tests).
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> Keys(const std::string& section) const;

private:
    struct Entry {
        std::string key;    // empty for a line that is not key=value (kept raw)
        std::string value;
        std::string raw;    // the bytes read, with the line end; empty when new or changed
    };
    struct Section {
        std::string name;
        std::string raw;    // blank lines before it and the "[name]" line as read
        std::vector<Entry> entries;
        // The first entry of each key, by the key with letters folded: a
        // project's store may hold tens of thousands of keys in one section.
        std::unordered_map<std::string, std::size_t> byKey;
    };
    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;
    Section& AddSection(Section section);
    static void AddEntry(Section& section, Entry entry);

    std::string leading_;   // bytes before the first section (stray lines)
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionByName_;  // folded name: first section
    std::string trailing_;  // blank lines after the last entry
    bool changed_ = false;
};

}  // namespace vbide
