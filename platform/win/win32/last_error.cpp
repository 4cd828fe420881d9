// The last error is the system's own, so codes set by the real functions that
// the backend calls reach the caller unchanged.

// clang-format off
// The suite's header first: <windows.h> defines macros of the same names.
#include "platform/win/win_types.h"

#include <windows.h>
// clang-format on

namespace win {

DWORD GetLastError() {
    return ::GetLastError();
}

void SetLastError(DWORD code) {
    ::SetLastError(code);
}

}  // namespace win
