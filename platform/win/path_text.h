#pragma once
// The one rule for paths and program arguments as the suite's text. Text is
// bytes in the ANSI code page (Windows-1252 for VB6's users), the bytes the
// ...A functions of Windows take; a std::filesystem::path holds a path in the
// system's own form (UTF-16 on Windows). Every conversion between the two goes
// through here: on Windows neither path(std::string) nor path::string() of
// the C++ runtime keeps the code page's bytes. Elsewhere a path's bytes are
// the text, unchanged.

#include <filesystem>
#include <string>
#include <vector>

namespace win {

// The path a text names.
std::filesystem::path PathOf(const std::string& text);

// The text of a path. A character the code page cannot hold is refused:
// vb::VbError 52 "Bad file name or number" with a description that names the
// code page and the path (unknown characters shown as '?').
std::string TextOf(const std::filesystem::path& path);
// The same with '/' between the names, for messages and relative names.
std::string GenericTextOf(const std::filesystem::path& path);
// As TextOf, answering false instead of refusing (a folder's entries, of
// which only some may matter).
bool TryTextOf(const std::filesystem::path& path, std::string& text);

// The program's arguments after its name as text. On Windows they are read
// from the system's own command line, so that a character the code page
// cannot hold is refused (vb::VbError 52, naming the argument) instead of
// turned into a look-alike or '?'.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace win
