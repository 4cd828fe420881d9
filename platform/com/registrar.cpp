// Registration of an add-in DLL (platform/com/registrar.h).

#include "platform/com/registrar.h"

#include <olectl.h>

namespace com {

namespace {

constexpr char kAddinsKey[] = "Software\\Microsoft\\Visual Basic\\6.0\\Addins\\";

bool SetString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool SetDword(HKEY root, const std::string& path, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::string& path) {
    const LONG rc = RegDeleteTreeA(root, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
    // RegDeleteTree empties the key; the key itself goes with RegDeleteKey.
    const LONG gone = RegDeleteKeyA(root, path.c_str());
    return gone == ERROR_SUCCESS || gone == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const char*>(address), &module);
    return module;
}

HRESULT RegisterAddIn(const AddInClass& info, HMODULE module) noexcept {
    try {
        const std::string path = ModulePath(module);
        if (path.empty()) return SELFREG_E_CLASS;
        const std::string progId = info.progId;
        const std::string classKey = std::string("CLSID\\") + info.clsid;
        const std::string addinKey = kAddinsKey + progId;
        const bool ok = SetString(HKEY_CLASSES_ROOT, progId, nullptr, info.description) &&
                        SetString(HKEY_CLASSES_ROOT, progId + "\\CLSID", nullptr, info.clsid) &&
                        SetString(HKEY_CLASSES_ROOT, classKey, nullptr, info.description) &&
                        SetString(HKEY_CLASSES_ROOT, classKey + "\\ProgID", nullptr, progId) &&
                        SetString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", nullptr, path) &&
                        SetString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", "ThreadingModel", "Apartment") &&
                        SetString(HKEY_CURRENT_USER, addinKey, "FriendlyName", info.description) &&
                        SetString(HKEY_CURRENT_USER, addinKey, "Description", info.description) &&
                        SetDword(HKEY_CURRENT_USER, addinKey, "LoadBehavior", 1) &&
                        SetDword(HKEY_CURRENT_USER, addinKey, "CommandLineSafe", 0);
        if (ok) return S_OK;
        UnregisterAddIn(info);
        return SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

HRESULT UnregisterAddIn(const AddInClass& info) noexcept {
    try {
        const std::string progId = info.progId;
        const bool ok = DeleteTree(HKEY_CLASSES_ROOT, progId) &&
                        DeleteTree(HKEY_CLASSES_ROOT, std::string("CLSID\\") + info.clsid) &&
                        DeleteTree(HKEY_CURRENT_USER, kAddinsKey + progId);
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

}  // namespace com
