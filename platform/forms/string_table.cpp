#include "platform/forms/string_table.h"

#include "base/vb_error.h"

namespace forms {

std::string StringTable::LoadResString(int id) const {
    auto it = entries_.find(id);
    if (it == entries_.end())
        throw vb::VbError(326, "LoadResString",
                          "Resource with identifier '" + std::to_string(id) + "' not found");
    return it->second;
}

}  // namespace forms
