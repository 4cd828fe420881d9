#include "platform/win/guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>

namespace win {

HRESULT CoCreateGuid(GUID* pguid) {
    if (!pguid) return E_POINTER;
    BYTE bytes[16];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return E_FAIL;
        }
        got += static_cast<std::size_t>(n);
    }
    // Version 4 (random) in the high nibble of Data3, the RFC 4122 variant
    // (binary 10) in the top bits of Data4[0].
    pguid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
                   static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
    pguid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
    pguid->Data3 = static_cast<WORD>(((bytes[6] & 0x0F) | 0x40) << 8 | bytes[7]);
    pguid->Data4[0] = static_cast<BYTE>((bytes[8] & 0x3F) | 0x80);
    for (int i = 1; i < 8; ++i) pguid->Data4[i] = bytes[8 + i];
    return S_OK;
}

int StringFromGUID2(const GUID& g, char* lpsz, int cchMax) {
    constexpr int kLength = 39;
    if (!lpsz || cchMax < kLength) return 0;
    std::snprintf(lpsz, kLength, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return kLength;
}

HRESULT CLSIDFromString(const char* lpsz, GUID* pclsid) {
    if (!lpsz || !pclsid) return E_POINTER;
    // Positions of the hyphens inside the braces; every other place a digit.
    constexpr int kLength = 38;
    int digits[32];
    int n = 0;
    for (int i = 0; i < kLength; ++i) {
        const char c = lpsz[i];
        if (c == '\0') return CO_E_CLASSSTRING;
        const bool brace = i == 0 || i == kLength - 1;
        const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        if (brace) {
            if (c != (i == 0 ? '{' : '}')) return CO_E_CLASSSTRING;
        } else if (hyphen) {
            if (c != '-') return CO_E_CLASSSTRING;
        } else if (c >= '0' && c <= '9') {
            digits[n++] = c - '0';
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digits[n++] = (c | 0x20) - 'a' + 10;
        } else {
            return CO_E_CLASSSTRING;
        }
    }
    if (lpsz[kLength] != '\0') return CO_E_CLASSSTRING;
    auto number = [&](int from, int count) {
        DWORD value = 0;
        for (int i = from; i < from + count; ++i) value = value << 4 | static_cast<DWORD>(digits[i]);
        return value;
    };
    pclsid->Data1 = number(0, 8);
    pclsid->Data2 = static_cast<WORD>(number(8, 4));
    pclsid->Data3 = static_cast<WORD>(number(12, 4));
    for (int i = 0; i < 8; ++i) pclsid->Data4[i] = static_cast<BYTE>(number(16 + 2 * i, 2));
    return S_OK;
}

}  // namespace win
