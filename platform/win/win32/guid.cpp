// GUIDs from ole32: CoCreateGuid makes them and StringFromGUID2 writes them
// (in UTF-16, narrowed here: the text is ASCII).

#include "platform/win/guid.h"

#include <objbase.h>

#include <cstring>

namespace win {

namespace {

::GUID Native(const GUID& g) {
    ::GUID n{};
    n.Data1 = g.Data1;
    n.Data2 = g.Data2;
    n.Data3 = g.Data3;
    std::memcpy(n.Data4, g.Data4, sizeof n.Data4);
    return n;
}

}  // namespace

HRESULT CoCreateGuid(GUID* pguid) {
    if (!pguid) return E_POINTER;
    ::GUID n{};
    const HRESULT hr = ::CoCreateGuid(&n);
    if (FAILED(hr)) return hr;
    pguid->Data1 = n.Data1;
    pguid->Data2 = n.Data2;
    pguid->Data3 = n.Data3;
    std::memcpy(pguid->Data4, n.Data4, sizeof n.Data4);
    return S_OK;
}

int StringFromGUID2(const GUID& rguid, char* lpsz, int cchMax) {
    if (!lpsz) return 0;
    wchar_t wide[64];
    const int n = ::StringFromGUID2(Native(rguid), wide, cchMax < 64 ? cchMax : 64);
    for (int i = 0; i < n; ++i) lpsz[i] = static_cast<char>(wide[i]);
    return n;
}

HRESULT CLSIDFromString(const char* lpsz, GUID* pclsid) {
    if (!lpsz || !pclsid) return E_POINTER;
    // Only the registry form: a ProgID is never looked up.
    if (lpsz[0] != '{') return CO_E_CLASSSTRING;
    wchar_t wide[64];
    int n = 0;
    for (; lpsz[n] && n < 63; ++n) wide[n] = static_cast<unsigned char>(lpsz[n]);
    if (lpsz[n]) return CO_E_CLASSSTRING;
    wide[n] = L'\0';
    ::GUID g{};
    if (FAILED(::CLSIDFromString(wide, &g))) return CO_E_CLASSSTRING;
    pclsid->Data1 = g.Data1;
    pclsid->Data2 = g.Data2;
    pclsid->Data3 = g.Data3;
    std::memcpy(pclsid->Data4, g.Data4, sizeof g.Data4);
    return S_OK;
}

}  // namespace win
