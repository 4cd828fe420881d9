// How long the wizard's page 1 waits on the catalog: connecting and listing
// the packages, and listing one package's components, over a store of a size
// a busy server has.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/mts/catalog.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace {

std::string Guid(int kind, int n) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-0000-4000-8000-%012X}", kind, n);
    return text;
}

// packages packages of components components each.
void FillStore(int packages, int components) {
    win::UseRegistryStore(":memory:");
    std::string script = "REGEDIT4\r\n\r\n";
    for (int p = 0; p < packages; ++p) {
        const std::string key =
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\" + Guid(1, p);
        script += key + "]\r\n\"Name\"=\"Package " + std::to_string(p) + "\"\r\n\r\n";
        for (int c = 0; c < components; ++c)
            script += key + "\\Components\\" + Guid(2, p * 1000 + c) + "]\r\n\"ProgID\"=\"Pkg" +
                      std::to_string(p) + ".Class" + std::to_string(c) + "\"\r\n\r\n";
    }
    win::ImportRegistryScriptText(script, "bench.reg");
}

void BM_ListPackages(benchmark::State& state) {
    FillStore(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        mts::Catalog catalog;
        auto packages = catalog.Connect("")->GetCollection("Packages", "");
        packages->Populate();
        benchmark::DoNotOptimize(packages->Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListPackages)->Arg(10)->Arg(200);

void BM_ListComponents(benchmark::State& state) {
    FillStore(50, static_cast<int>(state.range(0)));
    mts::Catalog catalog;
    auto packages = catalog.Connect("")->GetCollection("Packages", "");
    for (auto _ : state) {
        auto components = packages->GetCollection("ComponentsInPackage", Guid(1, 25));
        components->Populate();
        benchmark::DoNotOptimize(components->Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListComponents)->Arg(10)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
