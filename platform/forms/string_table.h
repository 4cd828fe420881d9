#pragma once
// A string-table resource: texts by number, as LoadResString reads them.

#include <map>
#include <string>

namespace forms {

class StringTable {
public:
    StringTable() = default;
    StringTable(std::initializer_list<std::pair<const int, std::string>> entries)
        : entries_(entries) {}
    // The text with that id; error 326 "Resource with identifier 'id' not found".
    std::string LoadResString(int id) const;
    void Set(int id, std::string text) { entries_[id] = std::move(text); }

private:
    std::map<int, std::string> entries_;
};

}  // namespace forms
