// Loading add-ins by ProgID through COM (platform/com/host/com_addin_host.h).

#include "platform/com/host/com_addin_host.h"

#include <windows.h>

#include "base/vb_error.h"
#include "platform/com/addin_interface.h"
#include "platform/com/caller.h"
#include "platform/com/error.h"
#include "platform/com/host/serve.h"
#include "platform/com/variant.h"

namespace com::host {

namespace {

constexpr char kAddinsKey[] = "Software\\Microsoft\\Visual Basic\\6.0\\Addins";

std::string ReadString(HKEY key, const char* name) {
    char value[1024];
    DWORD size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::string(value, size && value[size - 1] == '\0' ? size - 1 : size);
}

std::string Hex(HRESULT hr) {
    char text[16];
    wsprintfA(text, "%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The add-in's class id as text, for its AddIn record.
std::string GuidText(const CLSID& clsid) {
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return Narrow(text, wcslen(text));
}

}  // namespace

std::vector<RegisteredAddIn> RegisteredAddIns() {
    std::vector<RegisteredAddIn> out;
    HKEY addins = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAddinsKey, 0, KEY_READ, &addins) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(addins, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY entry = nullptr;
        if (RegOpenKeyExA(addins, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
        RegisteredAddIn addIn{name, ReadString(entry, "FriendlyName"), ReadString(entry, "Description"), 0};
        DWORD load = 0, loadSize = sizeof load, type = 0;
        if (RegQueryValueExA(entry, "LoadBehavior", nullptr, &type, reinterpret_cast<BYTE*>(&load), &loadSize) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            addIn.loadBehavior = load;
        RegCloseKey(entry);
        out.push_back(addIn);
    }
    RegCloseKey(addins);
    return out;
}

std::vector<std::pair<std::string, std::string>> AddInListEntries(const std::string& iniPath) {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<char> section(32768);
    const DWORD n = GetPrivateProfileSectionA("Add-Ins32", section.data(), static_cast<DWORD>(section.size()),
                                              iniPath.c_str());
    for (DWORD at = 0; at < n && section[at];) {
        const std::string line(&section[at]);
        at += static_cast<DWORD>(line.size()) + 1;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        out.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return out;
}

struct ComAddInHost::Loaded {
    std::string progId;
    ComPtr<IDTExtensibility2> object;
    std::shared_ptr<bool> connected = std::make_shared<bool>(false);
};

ComAddInHost::ComAddInHost(std::shared_ptr<vbide::Environment> env, CallStyle style)
    : env_(std::move(env)), style_(style) {}

ComAddInHost::~ComAddInHost() {
    while (!loaded_.empty()) Disconnect(loaded_.front()->progId, 0);
}

namespace {

// One call of the add-in interface in the host's style. Custom is an empty
// array of Variants, as the IDE passes it.
HRESULT CallAddIn(IDTExtensibility2* addIn, CallStyle style, int member, IDispatch* vbe, long mode,
                  IDispatch* record, std::string& failure) {
    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    HRESULT hr = S_OK;
    if (style == CallStyle::VTable) {
        switch (member) {
            case 1: hr = addIn->OnConnection(vbe, mode, record, &custom); break;
            case 2: hr = addIn->OnDisconnection(mode, &custom); break;
            case 3: hr = addIn->OnAddInsUpdate(&custom); break;
            case 4: hr = addIn->OnStartupComplete(&custom); break;
            default: hr = addIn->OnBeginShutdown(&custom); break;
        }
        if (FAILED(hr)) {
            ComPtr<IErrorInfo> info;
            BSTR description = nullptr;
            if (GetErrorInfo(0, info.Out()) == S_OK && info && SUCCEEDED(info->GetDescription(&description))) {
                failure = Narrow(description);
                SysFreeString(description);
            }
        }
    } else {
        Caller caller(addIn);
        VARIANT array;
        VariantInit(&array);
        array.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
        array.pparray = &custom;
        Variant customArgument = Variant::Adopt(array);
        std::vector<Variant> args;
        if (member == 1) args = {Variant(vbe), Variant(static_cast<std::int32_t>(mode)), Variant(record)};
        if (member == 2) args = {Variant(static_cast<std::int32_t>(mode))};
        args.push_back(customArgument);
        try {
            caller.Call(kExtensibilityMembers[member - 1], std::move(args));
        } catch (const vb::VbError& error) {
            hr = ScodeOfVbError(error.Number());
            failure = error.Description();
        }
    }
    SafeArrayDestroy(custom);
    return hr;
}

}  // namespace

bool ComAddInHost::ConnectOne(const std::string& progId, long mode, std::string& failure) {
    if (IsConnected(progId)) return true;
    CLSID clsid{};
    const std::wstring wideProgId = Widen(progId);
    HRESULT hr = CLSIDFromProgID(wideProgId.c_str(), &clsid);
    auto loaded = std::make_unique<Loaded>();
    loaded->progId = progId;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDTExtensibility2,
                              reinterpret_cast<void**>(loaded->object.Out()));
    if (FAILED(hr)) {
        failure = "Add-in '" + progId + "' could not be loaded (" + Hex(hr) + ").";
        env_->Report(failure);
        return false;
    }
    std::string description;
    for (const auto& registered : RegisteredAddIns())
        if (registered.progId == progId) description = registered.description;
    const ComPtr<IDispatch> vbe = ServeVBE(env_);
    const ComPtr<IDispatch> record = ServeAddIn(env_, progId, GuidText(clsid), description, loaded->connected);
    *loaded->connected = true;
    std::string why;
    hr = CallAddIn(loaded->object.Get(), style_, 1, vbe.Get(), mode, record.Get(), why);
    if (FAILED(hr)) {
        *loaded->connected = false;
        failure = "Add-in '" + progId + "' failed to connect (" + Hex(hr) + ")" + (why.empty() ? "" : ": " + why);
        env_->Report(failure);
        return false;
    }
    loaded_.push_back(std::move(loaded));
    return true;
}

std::vector<std::string> ComAddInHost::LoadStartupAddIns(const std::string& iniPath) {
    std::vector<std::string> failures;
    std::vector<std::string> started;
    for (const auto& [progId, value] : AddInListEntries(iniPath)) {
        if (value != "1" && value != "3") continue;
        std::string failure;
        if (ConnectOne(progId, 1, failure)) started.push_back(progId);
        else failures.push_back(failure);
    }
    for (const auto& progId : started)
        for (auto& loaded : loaded_)
            if (loaded->progId == progId) {
                std::string why;
                const HRESULT hr = CallAddIn(loaded->object.Get(), style_, 4, nullptr, 0, nullptr, why);
                if (FAILED(hr)) env_->Report("Add-in '" + progId + "' failed to start: " + why);
            }
    return failures;
}

bool ComAddInHost::Connect(const std::string& progId) {
    std::string failure;
    if (!ConnectOne(progId, 0, failure)) return false;
    for (auto& loaded : loaded_) {
        if (loaded->progId == progId) continue;
        std::string why;
        CallAddIn(loaded->object.Get(), style_, 3, nullptr, 0, nullptr, why);
    }
    return true;
}

bool ComAddInHost::Disconnect(const std::string& progId, long removeMode) {
    for (auto it = loaded_.begin(); it != loaded_.end(); ++it) {
        if ((*it)->progId != progId) continue;
        std::string why;
        const HRESULT hr = CallAddIn((*it)->object.Get(), style_, 2, nullptr, removeMode, nullptr, why);
        if (FAILED(hr)) env_->Report("Add-in '" + progId + "' failed to disconnect: " + why);
        *(*it)->connected = false;
        loaded_.erase(it);  // releases the add-in object
        return true;
    }
    return false;
}

bool ComAddInHost::IsConnected(const std::string& progId) const {
    for (const auto& loaded : loaded_)
        if (loaded->progId == progId) return true;
    return false;
}

}  // namespace com::host
