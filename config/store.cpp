#include "config/store.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"
#include "base/vb_error.h"
#include "config/list_view.h"
#include "config/store_text.h"

namespace config {

namespace {

vbide::VBProject& Use(const vbide::VBProjectPtr& project) {
    if (!project) throw vb::VbError(91, "Config");
    return *project;
}

std::string EntryName(const std::string& section, const std::string& key) {
    return "\"" + key + "\" of section [" + section + "]";
}

}  // namespace

std::string ReadEntry(const vbide::VBProjectPtr& project, const std::string& section,
                      const std::string& key) {
    vbide::VBProject& p = Use(project);
    try {
        return p.ReadProperty(section, key);
    } catch (const vb::VbError& e) {
        if (e.Number() != 5) throw;
        throw vb::VbError(5, "Config", "The project's store has no entry " + EntryName(section, key) + ".");
    }
}

int ReadNumber(const vbide::VBProjectPtr& project, const std::string& section,
               const std::string& key) {
    const std::string text = ReadEntry(project, section, key);
    try {
        return ParseStoredInteger(text);
    } catch (const vb::VbError& e) {
        throw vb::VbError(e.Number(), "Config",
                          "The project's store is damaged: the entry " + EntryName(section, key) + " holds \"" +
                              text + "\", which is not a number from -32768 to 32767.");
    }
}

int ReadCount(const vbide::VBProjectPtr& project, const std::string& section) {
    const int count = ReadNumber(project, section, kCount);
    if (count < 0)
        throw vb::VbError(6, "Config",
                          "The project's store is damaged: the entry " + EntryName(section, kCount) + " holds \"" +
                              ReadEntry(project, section, kCount) + "\", which is no count.");
    return count;
}

void WriteEntry(const vbide::VBProjectPtr& project, const std::string& section,
                const std::string& key, const std::string& value) {
    Use(project).WriteProperty(section, key, value);
}

bool HasConfigurations(const vbide::VBProjectPtr& project) {
    try {
        Use(project).ReadProperty(kConfigurations, kCount);
        return true;
    } catch (const vb::VbError& e) {
        if (e.Number() != 5) throw;
        return false;
    }
}

namespace {

// The line before which a module receives inserted declarations.
long InsertLine(vbide::CodeModule& module) {
    const long count = module.CountOfLines();
    if (count == 0) return 2;
    return DeclarationInsertLine(module.Lines(1, std::min(count, kMaxPhysicalLines)));
}

// The lines of one module that may declare each constant. A declaration has
// "#Const " in column 1, 2 or 3, then the name, then a blank, so a line is
// filed under every constant name that stands there; each constant then
// visits only its own lines instead of every line of the module, and Find
// still decides on each. Line numbers follow the replacements and the
// insertions Configure makes, which all go in at one line.
class DeclarationIndex {
public:
    // `names`: the folded names of the constants, with the length of the longest.
    DeclarationIndex(vbide::CodeModule& module, const std::unordered_set<std::string>& names,
                     std::size_t longest)
        : names_(names), longest_(longest) {
        const long count = module.CountOfLines();
        emptyModule_ = count == 0;
        insertAt_ = InsertLine(module);
        if (count == 0) return;
        const std::string text = module.Lines(1, count);
        long line = 1;
        std::size_t start = 0;
        bool continued = false;  // the line belongs to the logical line above it
        for (;;) {
            const std::size_t end = text.find("\r\n", start);
            const std::string_view physical =
                std::string_view(text).substr(start, (end == std::string::npos ? text.size() : end) - start);
            if (!continued) File(physical, Entry{line, false});
            continued = ContinuesOnNextLine(physical);
            if (end == std::string::npos) break;
            start = end + 2;
            ++line;
        }
    }

    long InsertAt() const { return insertAt_; }

    // The lines, in ascending order, that may declare the constant `name`.
    std::vector<long> LinesOf(const std::string& name) const {
        std::vector<long> lines;
        const auto found = byName_.find(text::UpperAscii(name));
        if (found == byName_.end()) return lines;
        for (const Entry& e : found->second) lines.push_back(Current(e));
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        return lines;
    }

    // Line `line` now reads `text`.
    void Replaced(long line, const std::string& text) { File(text, At(line)); }

    // `text` went in at InsertAt().
    void Inserted(const std::string& text) {
        if (emptyModule_) {
            // In an empty module the line became line 1; later ones follow it.
            emptyModule_ = false;
            File(text, Entry{1, false});
            insertAt_ = 2;
            return;
        }
        File(text, Entry{inserted_, true});
        ++inserted_;
    }

private:
    // A line as first seen: its number when the index was built, or the
    // ordinal of its insertion.
    struct Entry {
        long position;
        bool inserted;
    };

    // Insertions stack at insertAt_: the latest is on top.
    long Current(const Entry& e) const {
        if (e.inserted) return insertAt_ + (inserted_ - 1 - e.position);
        return e.position < insertAt_ ? e.position : e.position + inserted_;
    }
    Entry At(long line) const {
        if (line < insertAt_) return {line, false};
        if (line < insertAt_ + inserted_) return {inserted_ - 1 - (line - insertAt_), true};
        return {line - inserted_, false};
    }

    void File(std::string_view text, const Entry& e) {
        static constexpr std::string_view keyword = "#CONST ";
        for (std::size_t column = 0; column < 3 && column + keyword.size() <= text.size(); ++column) {
            if (text::UpperAscii(std::string(text.substr(column, keyword.size()))) != keyword) continue;
            const std::size_t nameStart = column + keyword.size();
            const std::size_t limit = std::min(text.size(), nameStart + longest_ + 1);
            for (std::size_t blank = nameStart; blank < limit; ++blank) {
                if (text[blank] != ' ') continue;
                std::string name = text::UpperAscii(std::string(text.substr(nameStart, blank - nameStart)));
                if (names_.count(name)) byName_[name].push_back(e);
            }
        }
    }

    const std::unordered_set<std::string>& names_;
    std::size_t longest_;
    bool emptyModule_ = false;
    long insertAt_ = 2;
    long inserted_ = 0;
    std::unordered_map<std::string, std::vector<Entry>> byName_;
};

// The number of physical lines after `line` that continue its logical line.
long ContinuationLines(vbide::CodeModule& module, long line) {
    const long count = module.CountOfLines();
    long extra = 0;
    while (extra + 1 < kMaxPhysicalLines && line + extra < count &&
           ContinuesOnNextLine(module.Lines(line + extra, 1)))
        ++extra;
    return extra;
}

}  // namespace

ConfigureResult Configure(const vbide::VBProjectPtr& project) {
    ConfigureResult result;
    const int current = ReadNumber(project, kConfigurations, kCurrent);
    const int constants = ReadCount(project, kConstants);
    // The names, read ahead for the index; a name that cannot be read ends the
    // list here and ends Configure below when its turn comes.
    std::unordered_set<std::string> names;
    std::size_t longest = 0;
    for (int k = 1; k <= constants; ++k) {
        std::string name;
        try {
            name = Use(project).ReadProperty(kConstants, ConstKey(k));
        } catch (const vb::VbError&) {
            break;
        }
        names.insert(text::UpperAscii(name));
        longest = std::max(longest, name.size());
    }
    // The index of each component, built when the component is first reached.
    std::vector<std::optional<DeclarationIndex>> indexes;
    for (int k = 1; k <= constants; ++k) {
        const std::string name = ReadEntry(project, kConstants, ConstKey(k));
        const std::string value = ReadEntry(project, ConfigKey(current), name);
        const std::string search = SearchText(name);
        const std::string line = DeclarationLine(name, value);
        const long windowEnd = SearchWindowEnd(name);

        vbide::VBComponentsPtr components = Use(project).VBComponents();
        const long count = components->Count();
        if (indexes.size() < static_cast<std::size_t>(count)) indexes.resize(count);
        for (long i = 1; i <= count; ++i) {
            vbide::CodeModulePtr module = components->Item(i)->CodeModule();
            if (!module) continue;
            std::optional<DeclarationIndex>& index = indexes[i - 1];
            if (!index) index.emplace(*module, names, longest);
            bool found = false;
            bool joined = false;
            // From the bottom up, so that the lines a continued declaration
            // gives up do not move the lines still to visit.
            const std::vector<long> candidates = index->LinesOf(name);
            for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
                const long l = *it;
                long startLine = l, startColumn = 1, endLine = l, endColumn = windowEnd;
                if (module->Find(search, startLine, startColumn, endLine, endColumn, false, false,
                                 false)) {
                    // A declaration continued with " _" is one logical line:
                    // the new declaration replaces all of its physical lines.
                    const long extra = ContinuationLines(*module, l);
                    if (extra > 0 || module->Lines(l, 1) != line) ++result.linesChanged;
                    module->ReplaceLine(l, line);
                    if (extra > 0) {
                        module->DeleteLines(l + 1, extra);
                        joined = true;
                    } else {
                        index->Replaced(l, line);
                    }
                    found = true;
                    ++result.linesReplaced;
                }
            }
            // Lines went away: the module is indexed again as it now reads.
            if (joined) index.emplace(*module, names, longest);
            if (!found) {
                module->InsertLines(index->InsertAt(), line);
                index->Inserted(line);
                ++result.linesInserted;
            }
        }
    }
    return result;
}

long InitializeConfigurations(const vbide::VBProjectPtr& project) {
    WriteEntry(project, kConfigurations, kCount, "2");
    WriteEntry(project, ConfigKey(1), kDefaultConstant, "True");
    WriteEntry(project, ConfigKey(2), kDefaultConstant, "False");
    WriteEntry(project, kConstants, kCount, "1");
    WriteEntry(project, kConstants, ConstKey(1), kDefaultConstant);
    WriteEntry(project, kConfigurations, ConfigKey(1), kDefaultDebug);
    WriteEntry(project, kConfigurations, ConfigKey(2), kDefaultRelease);
    WriteEntry(project, kConfigurations, kCurrent, "1");

    vbide::VBComponentsPtr components = Use(project).VBComponents();
    const long count = components->Count();
    long inserted = 0;
    for (long i = 1; i <= count; ++i) {
        vbide::CodeModulePtr module = components->Item(i)->CodeModule();
        if (!module) continue;
        module->InsertLines(InsertLine(*module), DefaultDeclarationLine());
        ++inserted;
    }
    return inserted;
}

void ReadConfigurations(const vbide::VBProjectPtr& project, ListView& list,
                        const std::function<void()>& initialize) {
    // The defaults go only into a store without any configuration; a store
    // that lacks some other entry keeps what it holds. They are written at
    // most once, so a store that still misses the entry cannot make this loop.
    bool initialized = false;
    auto withDefaults = [&](auto read) {
        try {
            return read();
        } catch (const vb::VbError& e) {
            if (e.Number() != 5 || initialized || HasConfigurations(project)) throw;
            initialized = true;
            initialize();
            return read();
        }
    };
    const int current = withDefaults([&] { return ReadNumber(project, kConfigurations, kCurrent); });
    const int count = withDefaults([&] { return ReadCount(project, kConfigurations); });
    const std::string currentName =
        withDefaults([&] { return ReadEntry(project, kConfigurations, ConfigKey(current)); });

    list.Clear();
    for (int i = 1; i <= count; ++i)
        list.AddItem(withDefaults([&] { return ReadEntry(project, kConfigurations, ConfigKey(i)); }));

    const long selected = list.ListIndex();
    if (selected == list.NoSelection() || list.List(selected) != currentName)
        list.SetListIndex(list.PositionOf(current));
}

void ReadConstants(const vbide::VBProjectPtr& project, ListView& list) {
    list.Clear();
    const int current = ReadNumber(project, kConfigurations, kCurrent);
    const int count = ReadCount(project, kConstants);
    for (int k = 1; k <= count; ++k) {
        const std::string name = ReadEntry(project, kConstants, ConstKey(k));
        const std::string value = ReadEntry(project, ConfigKey(current), name);
        const long position = list.AddItem(name);
        if (ReadsAsTrue(value)) list.SetChecked(position, true);
    }
}

namespace {

void WriteNames(const vbide::VBProjectPtr& project, ListView& list, const char* section,
                const char* prefix) {
    const long count = list.ListCount();
    for (long i = 1; i <= count; ++i)
        WriteEntry(project, section, NumberedKey(prefix, i), list.List(list.PositionOf(i)));
}

int NextNumber(const vbide::VBProjectPtr& project, const char* section) {
    const int count = ReadCount(project, section);
    if (count >= kMaxCount) throw vb::VbError(6, "Config", "The store cannot count more than 32767 entries.");
    return count + 1;
}

}  // namespace

void WriteConfigurations(const vbide::VBProjectPtr& project, ListView& list) {
    WriteNames(project, list, kConfigurations, "Config");
}

void WriteConstants(const vbide::VBProjectPtr& project, ListView& list) {
    WriteNames(project, list, kConstants, "Const");
}

long AddConfiguration(const vbide::VBProjectPtr& project, const std::string& name) {
    const int n = NextNumber(project, kConfigurations);
    // Both counts are read before the first write, so a damaged one changes nothing.
    const int constants = ReadCount(project, kConstants);
    WriteEntry(project, kConfigurations, kCount, NumberText(n));
    WriteEntry(project, kConfigurations, ConfigKey(n), name);
    for (int u = 1; u <= constants; ++u)
        WriteEntry(project, ConfigKey(n), ReadEntry(project, kConstants, ConstKey(u)), StoredTruth(false));
    return n;
}

long AddConstant(const vbide::VBProjectPtr& project, const std::string& name) {
    const int m = NextNumber(project, kConstants);
    const int configurations = ReadCount(project, kConfigurations);
    WriteEntry(project, kConstants, kCount, NumberText(m));
    WriteEntry(project, kConstants, ConstKey(m), name);
    for (int i = 1; i <= configurations; ++i)
        WriteEntry(project, ConfigKey(i), name, StoredTruth(false));
    return m;
}

void SetCurrent(const vbide::VBProjectPtr& project, long number) {
    WriteEntry(project, kConfigurations, kCurrent, NumberText(number));
}

void SetValue(const vbide::VBProjectPtr& project, long configuration, const std::string& constant,
              bool value) {
    WriteEntry(project, ConfigKey(configuration), constant, StoredTruth(value));
}

}  // namespace config
