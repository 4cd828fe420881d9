#include "quillon/data_types.h"

#include "quillon/text_util.h"

namespace quillon {

std::optional<std::int16_t> StandardDataClass(std::string_view typeName) {
    const std::string wanted = Trim(typeName);
    for (const DataTypeEntry& entry : kStandardDataTypes) {
        if (EqualsIgnoreCase(entry.name, wanted)) return entry.dataClass;
    }
    return std::nullopt;
}

}  // namespace quillon
