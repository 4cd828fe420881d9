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
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// A new random (version 4) GUID from the system's random source. E_POINTER for
// a null pointer, E_FAIL when the random source cannot be read.
HRESULT CoCreateGuid(GUID* pguid);

// Writes the registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} (upper-case
// hexadecimal) and its terminating zero into lpsz; returns 39, the characters
// written with the zero, or 0 when cchMax is below 39.
int StringFromGUID2(const GUID& rguid, char* lpsz, int cchMax);

// Reads a GUID in registry form, 38 characters {XXXXXXXX-XXXX-XXXX-XXXX-
// XXXXXXXXXXXX} with hexadecimal digits of either case, into *pclsid. Any
// other text (a ProgID included: there is no class table to look it up in)
// gives CO_E_CLASSSTRING; a null pointer gives E_POINTER.
HRESULT CLSIDFromString(const char* lpsz, GUID* pclsid);

}  // namespace win
