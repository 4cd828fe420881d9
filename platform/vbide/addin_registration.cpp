// Writing and reading the class registration of add-in libraries, and the
// library side of the pattern (vbide::addin::RegisterServer).

#include "platform/vbide/addin_registration.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/win/registry.h"
#include "shared/addin.h"

namespace vbide {

namespace {

using namespace win;

bool SetDefault(const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueEx(key, nullptr, 0, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::string GetDefault(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    std::string value;
    if (RegQueryValueEx(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0 &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<char> buffer(size + 1, '\0');
        if (RegQueryValueEx(key, nullptr, nullptr, &type, buffer.data(), &size) == ERROR_SUCCESS)
            value = buffer.data();
    }
    RegCloseKey(key);
    return value;
}

// Deletes a key with its subkeys, deepest first.
void DeleteTree(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[MAX_KEY_NAME + 1];
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (auto& c : children) DeleteTree(path + "\\" + c);
    RegDeleteKey(HKEY_CLASSES_ROOT, path.c_str());
}

std::string Hex(long code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lx", static_cast<unsigned long>(code) & 0xFFFFFFFFul);
    return buffer;
}

}  // namespace

ClassRegistration LookUpProgId(const std::string& progId) {
    ClassRegistration r;
    if (progId.empty()) return r;
    r.clsid = GetDefault(progId + "\\CLSID");
    r.description = GetDefault(progId);
    if (!r.clsid.empty()) r.library = GetDefault("CLSID\\" + r.clsid + "\\InprocServer32");
    return r;
}

RegistrationResult RegisterLibrary(const std::string& path, bool unregister) {
    RegistrationResult result;
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    std::string full = std::filesystem::absolute(path).string();
    void* handle = ::dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        result.message = "The module \"" + path + "\" failed to load.\n\n" + (why ? why : "");
        result.exitStatus = 3;
        return result;
    }
    auto fn = reinterpret_cast<addin::DllRegisterServerFn>(::dlsym(handle, entry));
    if (fn == nullptr) {
        result.message = "The module \"" + path + "\" was loaded but the entry-point " + entry +
                         " was not found.";
        result.exitStatus = 4;
        ::dlclose(handle);
        return result;
    }
    result.code = fn();
    result.ok = result.code == addin::kOk;
    result.exitStatus = result.ok ? 0 : 5;
    result.message = result.ok ? std::string(entry) + " in " + path + " succeeded."
                               : "The module \"" + path + "\" was loaded but the call to " + entry +
                                     " failed with error code " + Hex(result.code) + ".";
    // The library stays loaded: it may have registered atexit handlers.
    return result;
}

namespace addin {

long RegisterServer(const ClassInfo& info, const void* anchor) noexcept {
    try {
        Dl_info dl{};
        if (::dladdr(anchor, &dl) == 0 || dl.dli_fname == nullptr) return kRegisterFailed;
        std::string library = std::filesystem::absolute(dl.dli_fname).lexically_normal().string();
        const std::string progId = info.progId;
        const std::string clsid = info.clsid;
        const std::string classKey = "CLSID\\" + clsid;
        bool ok = SetDefault(progId, info.description) && SetDefault(progId + "\\CLSID", clsid) &&
                  SetDefault(classKey, info.description) && SetDefault(classKey + "\\ProgID", progId) &&
                  SetDefault(classKey + "\\InprocServer32", library);
        return ok ? kOk : kRegisterFailed;
    } catch (...) {
        return kRegisterFailed;
    }
}

long UnregisterServer(const ClassInfo& info) noexcept {
    try {
        DeleteTree(info.progId);
        DeleteTree(std::string("CLSID\\") + info.clsid);
        return kOk;
    } catch (...) {
        return kRegisterFailed;
    }
}

}  // namespace addin

}  // namespace vbide
