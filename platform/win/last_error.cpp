#include "platform/win/win_types.h"

namespace win {

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD code) { lastError = code; }

}  // namespace win
