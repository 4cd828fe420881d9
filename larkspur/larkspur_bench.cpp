// Start-up against a registry with 30,000 ProgIDs under SOFTWARE\Classes:
// the main form from load to the filled list (headless), and the enumeration
// through CRegistry alone, so the two can be compared.

#include <benchmark/benchmark.h>

#include "larkspur/CRegistry.h"
#include "larkspur/bench_store.h"
#include "larkspur/frmOLESP.h"
#include "platform/forms/headless.h"

namespace {

using larkspur::bench::kProgIDs;
using larkspur::bench::Store;

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
