// The last error is the system's own, so codes set by the real functions that
// the backend calls reach the caller unchanged.

#include "platform/win/win_types.h"

#include <windows.h>

namespace win {

DWORD GetLastError() { return ::GetLastError(); }

void SetLastError(DWORD code) { ::SetLastError(code); }

}  // namespace win
