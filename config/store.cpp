#include "config/store.h"

#include <algorithm>
#include <optional>
#include <vector>

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
                          "The entry " + EntryName(section, key) + " holds \"" + text +
                              "\", which is not a number from -32768 to 32767.");
    }
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

// The lines of a module that can hold a declaration: "#Const" must begin in
// column 1, 2 or 3, so a line without "#" there can never match. Collecting
// them once spares a Find call on every other line of a large module; Find
// still decides on each candidate.
class Candidates {
public:
    explicit Candidates(vbide::CodeModule& module) {
        const long count = module.CountOfLines();
        if (count == 0) return;
        const std::string text = module.Lines(1, count);
        long line = 1;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find("\r\n", start);
            const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
            for (std::size_t c = 0; c < std::min<std::size_t>(3, length); ++c)
                if (text[start + c] == '#') {
                    lines_.push_back(line);
                    break;
                }
            if (end == std::string::npos) break;
            start = end + 2;
            ++line;
        }
    }
    const std::vector<long>& Lines() const { return lines_; }
    // A line inserted at `at` shifts the lines below it.
    void Inserted(long at) {
        for (long& l : lines_)
            if (l >= at) ++l;
        lines_.insert(std::lower_bound(lines_.begin(), lines_.end(), at), at);
    }

private:
    std::vector<long> lines_;
};

}  // namespace

ConfigureResult Configure(const vbide::VBProjectPtr& project) {
    ConfigureResult result;
    const int current = ReadNumber(project, kConfigurations, kCurrent);
    const int constants = ReadNumber(project, kConstants, kCount);
    // Candidate lines per component, gathered when a component is first reached.
    std::vector<std::optional<Candidates>> candidates;
    for (int k = 1; k <= constants; ++k) {
        const std::string name = ReadEntry(project, kConstants, ConstKey(k));
        const std::string value = ReadEntry(project, ConfigKey(current), name);
        const std::string search = SearchText(name);
        const std::string line = DeclarationLine(name, value);
        const long windowEnd = SearchWindowEnd(name);

        vbide::VBComponentsPtr components = Use(project).VBComponents();
        const long count = components->Count();
        if (candidates.size() < static_cast<std::size_t>(count)) candidates.resize(count);
        for (long i = 1; i <= count; ++i) {
            vbide::CodeModulePtr module = components->Item(i)->CodeModule();
            if (!module) continue;
            const long lines = module->CountOfLines();
            std::optional<Candidates>& lineSet = candidates[i - 1];
            if (!lineSet) lineSet.emplace(*module);
            bool found = false;
            for (long l : lineSet->Lines()) {
                if (l > lines) break;
                long startLine = l, startColumn = 1, endLine = l, endColumn = windowEnd;
                if (module->Find(search, startLine, startColumn, endLine, endColumn, false, false,
                                 false)) {
                    module->ReplaceLine(l, line);
                    found = true;
                    ++result.linesReplaced;
                }
            }
            if (!found) {
                module->InsertLines(2, line);
                lineSet->Inserted(std::min(2L, lines + 1));
                ++result.linesInserted;
            }
        }
    }
    return result;
}

void InitializeConfigurations(const vbide::VBProjectPtr& project) {
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
    for (long i = 1; i <= count; ++i) {
        vbide::CodeModulePtr module = components->Item(i)->CodeModule();
        if (module) module->InsertLines(2, DefaultDeclarationLine());
    }
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
    const int count = withDefaults([&] { return ReadNumber(project, kConfigurations, kCount); });
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
    const int count = ReadNumber(project, kConstants, kCount);
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
    const int count = ReadNumber(project, section, kCount);
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
    WriteEntry(project, kConfigurations, kCount, NumberText(n));
    WriteEntry(project, kConfigurations, ConfigKey(n), name);
    const int constants = ReadNumber(project, kConstants, kCount);
    for (int u = 1; u <= constants; ++u)
        WriteEntry(project, ConfigKey(n), ReadEntry(project, kConstants, ConstKey(u)), StoredTruth(false));
    return n;
}

long AddConstant(const vbide::VBProjectPtr& project, const std::string& name) {
    const int m = NextNumber(project, kConstants);
    WriteEntry(project, kConstants, kCount, NumberText(m));
    WriteEntry(project, kConstants, ConstKey(m), name);
    const int configurations = ReadNumber(project, kConfigurations, kCount);
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
