#pragma once
// Small text helpers with VB's meaning, over bytes (Windows-1252 is never
// re-encoded; only ASCII letters fold).

#include <string>
#include <string_view>

namespace quillon {

// VB's Trim: removes blanks (character 32) at both ends, not tabs.
std::string Trim(std::string_view text);

// VB's LCase restricted to ASCII letters.
std::string LowerAscii(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace quillon
