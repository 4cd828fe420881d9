// The library side of the add-in pattern: what an add-in library's exports
// do (shared/addin_server.h).

#include "shared/addin_server.h"

#include <string>
#include <vector>

#include "base/text.h"
#include "platform/win/files.h"
#include "platform/win/registry.h"

namespace vbide::addin {

namespace {

using namespace win;

bool SetDefault(const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                       &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc =
        RegSetValueEx(key, nullptr, 0, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// Deletes a key with its subkeys, deepest first.
void DeleteTree(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[MAX_KEY_NAME + 1];
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (auto& c : children) DeleteTree(path + "\\" + c);
    RegDeleteKey(HKEY_CLASSES_ROOT, path.c_str());
}

std::string Canonical(const std::string& id) {
    std::string out;
    for (char c : id) {
        if (c == '{' || c == '}' || c == ' ') continue;
        out += text::UpperAscii(c);
    }
    return out;
}

}  // namespace

bool SameClassId(const std::string& a, const std::string& b) noexcept {
    try {
        std::string ca = Canonical(a);
        return !ca.empty() && ca == Canonical(b);
    } catch (...) {
        return false;
    }
}

std::int32_t RegisterServer(const ClassInfo& info, const void* anchor) noexcept {
    try {
        const std::string library = win::GetModulePath(anchor);
        if (library.empty()) return kRegisterFailed;
        const std::string progId = info.progId;
        const std::string clsid = info.clsid;
        const std::string classKey = "CLSID\\" + clsid;
        bool ok = SetDefault(progId, info.description) && SetDefault(progId + "\\CLSID", clsid) &&
                  SetDefault(classKey, info.description) &&
                  SetDefault(classKey + "\\ProgID", progId) &&
                  SetDefault(classKey + "\\InprocServer32", library);
        return ok ? kOk : kRegisterFailed;
    } catch (...) {
        return kRegisterFailed;
    }
}

std::int32_t UnregisterServer(const ClassInfo& info) noexcept {
    try {
        DeleteTree(info.progId);
        DeleteTree(std::string("CLSID\\") + info.clsid);
        return kOk;
    } catch (...) {
        return kRegisterFailed;
    }
}

}  // namespace vbide::addin
