#pragma once
// The registry of Larkspur's benchmarks: a store file holding the runtime's
// class and 30,000 ProgIDs under SOFTWARE\Classes, filled once per run.

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace larkspur::bench {

inline constexpr int kProgIDs = 30000;

// A store file filled once for the whole run, removed at exit.
class BigStore {
public:
    BigStore() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("larkspur-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        win::UseRegistryStore((folder_ / "registry.db").string());
        std::string script =
            "REGEDIT4\r\n\r\n"
            "[HKEY_CLASSES_ROOT\\CLSID\\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}\\InProcServer32]\r\n"
            "@=\"C:\\\\Program Files\\\\OLE DB\\\\msdaosp.dll\"\r\n\r\n";
        char name[64];
        for (int i = 0; i < kProgIDs; ++i) {
            std::snprintf(name, sizeof name, "Library%03d.Class%05d", i % 997, i);
            script += std::string("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\") + name + "]\r\n@=\"" +
                      name + "\"\r\n";
        }
        const win::RegistryScriptResult r = win::ImportRegistryScriptText(script, "bench.reg");
        if (!r.ok) throw std::runtime_error(r.error);
    }
    ~BigStore() {
        win::CloseRegistryStore();
        std::filesystem::remove_all(folder_);
    }

private:
    std::filesystem::path folder_;
};

inline BigStore& Store() {
    static BigStore store;
    return store;
}

}  // namespace larkspur::bench
