#pragma once
// The add-ins of an add-in list file ("vbaddin.ini", section [Add-Ins32],
// ProgID=0|1|3), loaded through the environment's add-in host: each ProgID
// is resolved through the registry store to its library.

#include <memory>
#include <string>

#include "apps/ide/addin_host.h"
#include "platform/vbide/addin_host.h"

namespace ide {

class IniAddInHost : public AddInHost {
public:
    IniAddInHost(std::shared_ptr<vbide::Environment> env, std::string iniPath);

    std::vector<AddInEntry> List() override;
    void SetLoaded(const std::string& progId, bool loaded) override;
    void SetLoadOnStartup(const std::string& progId, bool loadOnStartup) override;
    void LoadStartupAddIns() override;
    void UnloadAll() override;

private:
    std::string Value(const std::string& progId);

    vbide::AddInHost host_;
    std::string iniPath_;
};

}  // namespace ide
