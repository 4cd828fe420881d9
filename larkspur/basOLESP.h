#pragma once
// Short (8.3) path names for the registry editor's command line, found one
// path element at a time with FindFirstFileA. Paths use backslashes.

#include <string>

namespace larkspur {

// The short form of a full path, or the empty string when it cannot be formed
// (no backslash, a missing element, an empty element). The part up to the
// first backslash (the drive) is copied unchanged. Never raises.
std::string GetShortNameFromLongName(const std::string& sLongPath);

// The short name of the last element of an existing path: its alternate name,
// or its name as stored when it has none; empty when nothing is found. An
// unexpected error is shown in a message box.
std::string GetShortNameSection(const std::string& sPath);

// The text before the first occurrence of the delimiter, or all of it when
// the delimiter does not occur.
std::string LeftOfDelimiter(const std::string& sText, const std::string& sDelimiter);

}  // namespace larkspur
