#pragma once
// The standard data types that the procedure dialog offers, in the order of its
// list, each with the data class the generator needs for it.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct DataTypeEntry {
    std::string_view name;
    std::int16_t dataClass;
};

// "Object" is deliberately a value class: its writer is a Property Let.
inline constexpr std::array<DataTypeEntry, 16> kStandardDataTypes{{
    {"Byte", 0},     {"Boolean", 0}, {"Integer", 0},   {"Long", 0},
    {"Single", 0},   {"Double", 0},  {"Date", 0},      {"Currency", 0},
    {"Object", 0},   {"Variant", 0}, {"String", 0},    {"Form", 1},
    {"Control", 1},  {"StdFont", 1}, {"StdPicture", 1}, {"OLE_COLOR", 0},
}};

// The data class of the standard type whose name matches, ignoring blanks around
// the text and the case of ASCII letters, as VB compares type names; none when
// the text names no standard type.
std::optional<std::int16_t> StandardDataClass(std::string_view typeName);

}  // namespace quillon
