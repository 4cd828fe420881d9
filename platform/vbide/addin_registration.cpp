// Registering add-in libraries through their exports, and reading the class
// registration back.

#include "platform/vbide/addin_registration.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/win/registry.h"
#include "contract/addin.h"

namespace vbide {

namespace {

using namespace win;

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

std::string Hex(std::int32_t code) {
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

}  // namespace vbide
