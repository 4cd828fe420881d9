#pragma once
// Which view of the registry a process works in. 64-bit Windows keeps a second,
// 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE (and so of HKEY_CLASSES_ROOT) for
// 32-bit programs; a program that registers components for a 32-bit runtime
// chooses that view once, at start, and every registry call then uses it.

#include "platform/win/registry.h"

namespace win {

// KEY_WOW64_32KEY, KEY_WOW64_64KEY or 0 (the program's own view, the default).
// The suite's own store has one view only, so there the choice is kept and
// has no further effect.
void SetRegistryView(REGSAM view);
REGSAM RegistryView();

}  // namespace win
