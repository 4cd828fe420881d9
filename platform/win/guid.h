#pragma once
// GUIDs as COM makes and writes them.

#include "platform/win/win_types.h"

namespace win {

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);

// A new random (version 4) GUID from the system's random source. E_POINTER for
// a null pointer, E_FAIL when the random source cannot be read.
HRESULT CoCreateGuid(GUID* pguid);

// Writes the registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} (upper-case
// hexadecimal) and its terminating zero into lpsz; returns 39, the characters
// written with the zero, or 0 when cchMax is below 39.
int StringFromGUID2(const GUID& rguid, char* lpsz, int cchMax);

}  // namespace win
