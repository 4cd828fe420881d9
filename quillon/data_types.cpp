#include "quillon/data_types.h"

#include "base/text.h"

namespace quillon {

std::optional<std::int16_t> StandardDataClass(std::string_view typeName) {
    const std::string_view wanted = text::Trim(typeName);
    for (const DataTypeEntry& entry : kStandardDataTypes) {
        if (text::EqualsNoCase(entry.name, wanted)) return entry.dataClass;
    }
    return std::nullopt;
}

}  // namespace quillon
