#include "larkspur/provider_registration.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "base/vb_error.h"
#include "larkspur/CRegistry.h"
#include "larkspur/provider_script.h"
#include "platform/win/guid.h"
#include "platform/win/registry.h"

namespace larkspur {

namespace {

// The default value of HKEY_CLASSES_ROOT\path as text, or nothing when the
// key or its text value is missing.
std::optional<std::string> DefaultText(const std::string& path) {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, path.c_str(), 0, win::KEY_READ, &key) !=
        win::ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> text;
    win::DWORD type = 0, size = 0;
    if (win::RegQueryValueEx(key, "", nullptr, &type, nullptr, &size) == win::ERROR_SUCCESS &&
        (type == win::REG_SZ || type == win::REG_EXPAND_SZ)) {
        std::string data(size, '\0');
        if (win::RegQueryValueEx(key, "", nullptr, &type, data.data(), &size) == win::ERROR_SUCCESS) {
            data.resize(std::min<std::size_t>(size, data.size()));
            if (const auto zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
            text = std::move(data);
        }
    }
    win::RegCloseKey(key);
    return text;
}

bool Exists(const std::string& path) {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, path.c_str(), 0, win::KEY_READ, &key) !=
        win::ERROR_SUCCESS)
        return false;
    win::RegCloseKey(key);
    return true;
}

std::vector<std::string> ClassIds() {
    std::vector<std::string> names;
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, "CLSID", 0, win::KEY_READ, &key) != win::ERROR_SUCCESS)
        return names;
    char name[win::MAX_KEY_NAME + 1];
    for (win::DWORD i = 0;; ++i) {
        win::DWORD size = sizeof name;
        if (win::RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            win::ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    win::RegCloseKey(key);
    return names;
}

}  // namespace

std::string ReadRuntimeServerPath(CRegistry& registry) {
    registry.SetRoot(kHKeyClassesRoot);
    registry.SetKey(kRuntimeServerKey);
    return registry.GetValue(std::string());
}

std::string NewProviderGUID() {
    win::GUID guid;
    const win::HRESULT hr = win::CoCreateGuid(&guid);
    if (hr != win::S_OK) throw vb::VbError(hr, "Larkspur", "Unable to create a new GUID");
    char text[39];
    if (win::StringFromGUID2(guid, text, 39) != 39) throw vb::VbError(5, "Larkspur");
    return std::string(text, 38);
}

std::string RefuseProviderRemoval(const std::string& progID, const std::string& guid) {
    const std::string classKey = "CLSID\\" + guid;
    if (Exists(progID)) {
        const std::optional<std::string> named = DefaultText(progID + "\\CLSID");
        if (!named || text::UpperAscii(*named) != text::UpperAscii(guid))
            return "HKEY_CLASSES_ROOT\\" + progID + " is not the ProgID of the provider " + guid;
    }
    if (Exists(classKey) && !Exists(classKey + "\\OLE DB Provider"))
        return "HKEY_CLASSES_ROOT\\" + classKey + " is no OLE DB provider's class";
    return {};
}

std::vector<RegisteredProvider> ListProviders(const std::string& serverPath) {
    const std::string runtime = text::UpperAscii(serverPath);
    const std::string registered = text::UpperAscii(ProviderServerPath(serverPath));
    std::vector<RegisteredProvider> providers;
    for (const std::string& guid : ClassIds()) {
        const std::string key = "CLSID\\" + guid;
        const std::optional<std::string> server = DefaultText(key + "\\InprocServer32");
        if (!server || (text::UpperAscii(*server) != runtime && text::UpperAscii(*server) != registered)) continue;
        if (!Exists(key + "\\OLE DB Provider")) continue;
        RegisteredProvider p;
        p.guid = guid;
        p.progID = DefaultText(key + "\\VersionIndependentProgID")
                       .value_or(DefaultText(key).value_or(std::string()));
        p.description = DefaultText(key + "\\OLE DB Provider").value_or(std::string());
        p.dataProgID = DefaultText(key + "\\OSP Data Object").value_or(std::string());
        providers.push_back(std::move(p));
    }
    std::sort(providers.begin(), providers.end(), [](const auto& a, const auto& b) {
        const std::string x = text::UpperAscii(a.progID), y = text::UpperAscii(b.progID);
        return x != y ? x < y : text::UpperAscii(a.guid) < text::UpperAscii(b.guid);
    });
    return providers;
}

}  // namespace larkspur
