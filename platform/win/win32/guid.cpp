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

}  // namespace win
