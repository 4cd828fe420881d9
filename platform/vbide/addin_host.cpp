#include "platform/vbide/addin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/vbide/addin_registration.h"
#include "platform/vbide/code_rules.h"
#include "platform/win/profile.h"
#include "contract/addin.h"

namespace vbide {

struct AddInHost::Library {
    std::string path;
    void* handle = nullptr;
    addin::DllGetClassObjectFn getClassObject = nullptr;
    addin::DllCanUnloadNowFn canUnloadNow = nullptr;
};

namespace {

// The environment's record of an add-in (AddIn in the contract).
class AddInRecord : public AddIn {
public:
    AddInRecord(std::weak_ptr<Environment> env, std::string progId, std::string guid, std::string description)
        : env_(std::move(env)), progId_(std::move(progId)), guid_(std::move(guid)),
          description_(std::move(description)) {}
    std::string ProgId() override { return progId_; }
    std::string Guid() override { return guid_; }
    std::string Description() override { return description_; }
    bool Connect() override { return connected; }
    VBEPtr VBE() override { return env_.lock(); }
    bool connected = false;

private:
    std::weak_ptr<Environment> env_;
    std::string progId_, guid_, description_;
};

std::string Describe(const std::exception& e) {
    if (auto vb = dynamic_cast<const vb::VbError*>(&e))
        return "run-time error " + std::to_string(vb->Number()) + ": " + vb->Description();
    return e.what();
}

}  // namespace

struct AddInHost::Loaded {
    std::string progId;
    std::shared_ptr<AddInRecord> record;
    std::shared_ptr<IDTExtensibility> object;
    std::shared_ptr<Library> library;
};

AddInHost::AddInHost(std::shared_ptr<Environment> env) : env_(std::move(env)) {}

AddInHost::~AddInHost() { DisconnectAll(vbext_dm_HostShutdown); }

bool AddInHost::ConnectOne(const std::string& progId, vbext_ConnectMode mode, std::string& failure) {
    auto fail = [&](const std::string& why) {
        failure = "'" + progId + "' could not be loaded: " + why;
        env_->Report(failure);
        return false;
    };
    if (IsConnected(progId)) return true;
    ClassRegistration reg = LookUpProgId(progId);
    if (reg.clsid.empty()) return fail("the ProgID is not registered");
    if (reg.library.empty()) return fail("no library is registered for class " + reg.clsid);
    std::string path = std::filesystem::absolute(reg.library).lexically_normal().string();
    std::shared_ptr<Library> library;
    for (auto& l : libraries_)
        if (l->path == path) library = l;
    if (!library) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            return fail(std::string("the library did not load: ") + (why ? why : path));
        }
        library = std::make_shared<Library>();
        library->path = path;
        library->handle = handle;
        library->getClassObject =
            reinterpret_cast<addin::DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
        library->canUnloadNow = reinterpret_cast<addin::DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
        libraries_.push_back(library);
    }
    if (!library->getClassObject) return fail("the library has no DllGetClassObject");
    std::shared_ptr<IDTExtensibility> object;
    std::int32_t rc = library->getClassObject(reg.clsid.c_str(), &object);
    if (rc != addin::kOk || !object) return fail("the library did not create class " + reg.clsid);
    auto loaded = std::make_shared<Loaded>();
    loaded->progId = progId;
    loaded->record = std::make_shared<AddInRecord>(env_, progId, reg.clsid, reg.description);
    loaded->object = object;
    loaded->library = library;
    CustomArgs custom;
    try {
        object->OnConnection(env_, mode, loaded->record, custom);
    } catch (const std::exception& e) {
        return fail("OnConnection failed: " + Describe(e));
    } catch (...) {
        return fail("OnConnection failed");
    }
    loaded->record->connected = true;
    addIns_.push_back(loaded);
    return true;
}

std::vector<AddInListEntry> ReadAddInList(const std::string& iniPath) {
    std::vector<AddInListEntry> list;
    // The key names of the section, each ended by a zero, the list by another.
    std::vector<char> keys(64 * 1024, '\0');
    win::DWORD n = win::GetPrivateProfileStringA("Add-Ins32", nullptr, "", keys.data(),
                                                 static_cast<win::DWORD>(keys.size()), iniPath.c_str());
    for (std::size_t i = 0; i < n && keys[i] != '\0';) {
        std::string key(&keys[i]);
        i += key.size() + 1;
        char value[256] = {0};
        win::GetPrivateProfileStringA("Add-Ins32", key.c_str(), "0", value, sizeof value, iniPath.c_str());
        list.push_back(AddInListEntry{key, value, LookUpProgId(key).description});
    }
    return list;
}

void WriteAddInListEntry(const std::string& iniPath, const std::string& progId, const std::string& value) {
    if (!win::WritePrivateProfileStringA("Add-Ins32", progId.c_str(), value.c_str(), iniPath.c_str()))
        throw vb::VbError(75, "VBIDE", "Path/File access error: " + iniPath);
}

std::vector<std::string> AddInHost::LoadStartupAddIns(const std::string& iniPath) {
    std::vector<std::string> failures;
    std::vector<std::string> startup;
    for (auto& entry : ReadAddInList(iniPath))
        if (entry.value == "1" || entry.value == "3") startup.push_back(entry.progId);
    std::vector<std::shared_ptr<Loaded>> connected;
    for (auto& progId : startup) {
        std::string failure;
        if (ConnectOne(progId, vbext_cm_Startup, failure)) connected.push_back(addIns_.back());
        else failures.push_back(failure);
    }
    for (auto& loaded : connected) {
        CustomArgs custom;
        try {
            loaded->object->OnStartupComplete(custom);
        } catch (const std::exception& e) {
            std::string failure = "'" + loaded->progId + "': OnStartupComplete failed: " + Describe(e);
            env_->Report(failure);
            failures.push_back(failure);
        }
    }
    return failures;
}

bool AddInHost::Connect(const std::string& progId) {
    std::string failure;
    if (!ConnectOne(progId, vbext_cm_AfterStartup, failure)) return false;
    for (auto& other : addIns_) {
        if (other->progId == progId || !other->object) continue;
        CustomArgs custom;
        try {
            other->object->OnAddInsUpdate(custom);
        } catch (const std::exception& e) {
            env_->Report("'" + other->progId + "': OnAddInsUpdate failed: " + Describe(e));
        }
    }
    return true;
}

bool AddInHost::Disconnect(const std::string& progId, vbext_DisconnectMode mode) {
    auto it = std::find_if(addIns_.begin(), addIns_.end(), [&](auto& a) {
        return a->object && rules::EqualsNoCase(a->progId, progId);
    });
    if (it == addIns_.end()) return false;
    auto loaded = *it;
    CustomArgs custom;
    try {
        loaded->object->OnDisconnection(mode, custom);
    } catch (const std::exception& e) {
        env_->Report("'" + loaded->progId + "': OnDisconnection failed: " + Describe(e));
    }
    loaded->object.reset();
    loaded->record->connected = false;
    if (mode == vbext_dm_UserClosed) {
        for (auto& other : addIns_) {
            if (!other->object) continue;
            try {
                other->object->OnAddInsUpdate(custom);
            } catch (const std::exception& e) {
                env_->Report("'" + other->progId + "': OnAddInsUpdate failed: " + Describe(e));
            }
        }
    }
    return true;
}

void AddInHost::DisconnectAll(vbext_DisconnectMode mode) {
    // The last connected goes first, as the environment unloads in reverse.
    for (auto it = addIns_.rbegin(); it != addIns_.rend(); ++it)
        if ((*it)->object) Disconnect((*it)->progId, mode);
}

std::vector<AddInPtr> AddInHost::AddIns() const {
    std::vector<AddInPtr> list;
    for (auto& a : addIns_) list.push_back(a->record);
    return list;
}

bool AddInHost::IsConnected(const std::string& progId) const {
    return std::any_of(addIns_.begin(), addIns_.end(), [&](auto& a) {
        return a->object && rules::EqualsNoCase(a->progId, progId);
    });
}

void AddInHost::FreeUnusedLibraries() {
    for (auto it = libraries_.begin(); it != libraries_.end();) {
        auto& lib = *it;
        bool inUse = std::any_of(addIns_.begin(), addIns_.end(),
                                 [&](auto& a) { return a->object && a->library == lib; });
        if (!inUse && lib->canUnloadNow && lib->canUnloadNow() == addin::kOk) {
            for (auto& a : addIns_)
                if (a->library == lib) a->library.reset();
            ::dlclose(lib->handle);
            it = libraries_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace vbide
