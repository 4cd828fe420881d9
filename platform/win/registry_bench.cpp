// Throughput of the registry store for the suite's heavy uses: listing every
// ProgID under one key (query the counts, then enumerate by index), and
// importing and exporting large scripts.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/win/registry.h"
#include "platform/win/registry_script.h"

namespace {

constexpr int kKeys = 30000;

std::string TempStore(const char* name) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tarnwick-bench-" + std::to_string(::getpid()) + "-" + name + ".db");
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + suffix);
    return path.string();
}

void RemoveStore(const std::string& path) {
    win::CloseRegistryStore();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
}

std::string Script() {
    std::string text = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < kKeys; ++i) {
        const std::string name = "Vendor" + std::to_string(i % 97) + ".Object" + std::to_string(i);
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + name + "]\r\n@=\"" + name +
                " class\"\r\n\"Version\"=dword:00000001\r\n\r\n";
    }
    return text;
}

void Report(benchmark::State& state) {
    state.counters["keys_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kKeys, benchmark::Counter::kIsRate);
}

void EnumerateSubkeys(benchmark::State& state) {
    const std::string store = TempStore("enum");
    win::UseRegistryStore(store);
    if (!win::ImportRegistryScriptText(Script(), "bench.reg").ok) state.SkipWithError("import failed");
    for (auto _ : state) {
        win::HKEY key = nullptr;
        win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", 0, 0x1F, &key);
        win::DWORD count = 0, longest = 0;
        win::RegQueryInfoKey(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr);
        std::string name(longest + 1, '\0');
        int found = 0;
        for (win::DWORD i = 0;; ++i) {
            win::DWORD size = longest + 1;
            if (win::RegEnumKeyEx(key, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != 0) {
                break;
            }
            found += name[0] != '.';
        }
        win::RegCloseKey(key);
        if (found != kKeys) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(found);
    }
    Report(state);
    RemoveStore(store);
}
BENCHMARK(EnumerateSubkeys)->Unit(benchmark::kMillisecond);

void ImportScript(benchmark::State& state) {
    const std::string text = Script();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string store = TempStore("import");
        win::UseRegistryStore(store);
        state.ResumeTiming();
        if (!win::ImportRegistryScriptText(text, "bench.reg").ok) state.SkipWithError("import failed");
        state.PauseTiming();
        RemoveStore(store);
        state.ResumeTiming();
    }
    Report(state);
}
BENCHMARK(ImportScript)->Unit(benchmark::kMillisecond);

void ExportScript(benchmark::State& state) {
    const std::string store = TempStore("export");
    win::UseRegistryStore(store);
    if (!win::ImportRegistryScriptText(Script(), "bench.reg").ok) state.SkipWithError("import failed");
    for (auto _ : state) {
        std::string text;
        const auto result = win::ExportRegistryScriptText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes",
                                                          win::RegistryScriptFormat::Regedit4, text);
        if (!result.ok || result.keys != kKeys + 1) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(text);
    }
    Report(state);
    RemoveStore(store);
}
BENCHMARK(ExportScript)->Unit(benchmark::kMillisecond);

// What a program pays at start-up: opening the store, then the first
// RegQueryInfoKey on a key of kKeys subkeys.
void OpenThenQueryInfo(benchmark::State& state) {
    const std::string store = TempStore("open");
    win::UseRegistryStore(store);
    if (!win::ImportRegistryScriptText(Script(), "bench.reg").ok) state.SkipWithError("import failed");
    for (auto _ : state) {
        state.PauseTiming();
        win::CloseRegistryStore();
        state.ResumeTiming();
        win::UseRegistryStore(store);
        win::HKEY key = nullptr;
        win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", 0, 0x1F, &key);
        win::DWORD count = 0, longest = 0;
        win::RegQueryInfoKey(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
        win::RegCloseKey(key);
        if (count != kKeys) state.SkipWithError("wrong count");
    }
    RemoveStore(store);
}
BENCHMARK(OpenThenQueryInfo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
