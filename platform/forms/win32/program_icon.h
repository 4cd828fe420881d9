#pragma once
// The suite's pictures "icon:NAME" in the native view: the program's own icon
// resource NAME (its resource script names it so), drawn by the system at the
// size asked for. Programs without that resource (tests) get no icon.

#include <windows.h>

#include <string>

namespace forms::win32 {

// The icon for `picture` at size by size pixels, or nullptr. The system keeps
// it for the program's lifetime (shared resource): never destroy it.
HICON ProgramIcon(const std::string& picture, int size);

}  // namespace forms::win32
