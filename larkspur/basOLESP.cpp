#include "larkspur/basOLESP.h"

#include <cstring>
#include <exception>

#include "base/vb_error.h"
#include "platform/forms/runtime.h"
#include "platform/win/files.h"

namespace larkspur {

namespace {

// A fixed-size field up to its first zero character.
template <std::size_t N>
std::string UpToZero(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

}  // namespace

std::string LeftOfDelimiter(const std::string& sText, const std::string& sDelimiter) {
    const std::size_t at = sText.find(sDelimiter);
    return at == std::string::npos ? sText : sText.substr(0, at);
}

std::string GetShortNameSection(const std::string& sPath) {
    try {
        win::WIN32_FIND_DATAA data;
        win::HANDLE search = win::FindFirstFileA(sPath.c_str(), &data);
        if (search == win::INVALID_HANDLE_VALUE) return {};
        win::FindClose(search);
        if (data.cAlternateFileName[0] == '\0') return UpToZero(data.cFileName);
        return UpToZero(data.cAlternateFileName);
    } catch (const vb::VbError& e) {
        forms::MsgBox("Error: " + std::to_string(e.Number()) + ", " + e.Description(),
                      forms::vbOKOnly, "GetShortNameSection_Err");
    } catch (const std::exception& e) {
        forms::MsgBox(std::string("Error: 5, ") + e.what(), forms::vbOKOnly,
                      "GetShortNameSection_Err");
    }
    return {};
}

std::string GetShortNameFromLongName(const std::string& sLongPath) {
    try {
        const std::size_t first = sLongPath.find('\\');
        if (first == std::string::npos) return {};
        std::string result = sLongPath.substr(0, first + 1);
        std::size_t p = first + 1;
        while (p < sLongPath.size()) {
            const std::string name = LeftOfDelimiter(sLongPath.substr(p), "\\");
            const std::string shortName = GetShortNameSection(result + name);
            if (shortName.empty()) return {};
            result += shortName + "\\";
            p += name.size() + 1;
        }
        result.pop_back();
        return result;
    } catch (...) {
        return {};
    }
}

}  // namespace larkspur
