// Start-up against a registry with 30,000 ProgIDs under SOFTWARE\Classes:
// the main form from load to the filled list (headless), and the enumeration
// through CRegistry alone, so the two can be compared.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "larkspur/CRegistry.h"
#include "larkspur/frmOLESP.h"
#include "platform/forms/headless.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace {

constexpr int kProgIDs = 30000;

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

BigStore& Store() {
    static BigStore store;
    return store;
}

void BM_CRegistryEnumeration(benchmark::State& state) {
    Store();
    larkspur::CRegistry reg;
    reg.SetRoot(larkspur::kHKeyLocalMachine);
    for (auto _ : state) {
        reg.SetKey("SOFTWARE\\Classes");
        int names = 0;
        for (int i = 0; i < reg.SubKeyCount(); ++i)
            names += !reg.GetSubKey(static_cast<std::int16_t>(i)).empty();
        benchmark::DoNotOptimize(names);
    }
    state.counters["subkeys"] = reg.SubKeyCount();
}
BENCHMARK(BM_CRegistryEnumeration)->Unit(benchmark::kMillisecond);

void BM_StartUpToFilledList(benchmark::State& state) {
    Store();
    forms::ScopedHeadlessUi ui;
    int listed = 0;
    for (auto _ : state) {
        larkspur::frmOLESP form;
        form.Show();  // the warning is answered with OK
        listed = form.Get<forms::ListBox>("lstDataProgIDs").ListCount();
        state.PauseTiming();
        form.Unload();
        ui.messages.clear();
        state.ResumeTiming();
    }
    if (listed < kProgIDs) state.SkipWithError("the list was not filled");
    state.counters["listed"] = listed;
}
BENCHMARK(BM_StartUpToFilledList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
