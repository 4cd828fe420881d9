#include "apps/ide/ini_addin_host.h"

#include <vector>

#include "platform/vbide/addin_registration.h"
#include "platform/win/profile.h"

namespace ide {

namespace {

constexpr const char* kSection = "Add-Ins32";

}  // namespace

IniAddInHost::IniAddInHost(std::shared_ptr<vbide::Environment> env, std::string iniPath)
    : host_(std::move(env)), iniPath_(std::move(iniPath)) {}

std::string IniAddInHost::Value(const std::string& progId) {
    char buffer[256] = {};
    win::GetPrivateProfileStringA(kSection, progId.c_str(), "0", buffer, sizeof buffer, iniPath_.c_str());
    return buffer;
}

std::vector<AddInEntry> IniAddInHost::List() {
    std::vector<char> keys(65536);
    const auto n = win::GetPrivateProfileStringA(kSection, nullptr, "", keys.data(),
                                                 static_cast<win::DWORD>(keys.size()), iniPath_.c_str());
    std::vector<AddInEntry> out;
    for (std::size_t i = 0; i < n;) {
        std::string progId(keys.data() + i);
        i += progId.size() + 1;
        if (progId.empty()) break;
        AddInEntry e;
        e.progId = progId;
        e.description = vbide::LookUpProgId(progId).description;
        e.loaded = host_.IsConnected(progId);
        const std::string value = Value(progId);
        e.loadOnStartup = value == "1" || value == "3";
        out.push_back(e);
    }
    return out;
}

void IniAddInHost::SetLoaded(const std::string& progId, bool loaded) {
    if (loaded) host_.Connect(progId);
    else host_.Disconnect(progId, vbide::vbext_dm_UserClosed);
}

void IniAddInHost::SetLoadOnStartup(const std::string& progId, bool loadOnStartup) {
    if (!win::WritePrivateProfileStringA(kSection, progId.c_str(), loadOnStartup ? "1" : "0", iniPath_.c_str()))
        throw vb::VbError(75, "Add-In Manager", "Path/File access error: " + iniPath_);
}

void IniAddInHost::LoadStartupAddIns() { host_.LoadStartupAddIns(iniPath_); }

void IniAddInHost::UnloadAll() { host_.DisconnectAll(vbide::vbext_dm_HostShutdown); }

}  // namespace ide
