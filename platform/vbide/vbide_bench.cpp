// Figures for the environment's hot paths: rewriting declaration lines as the
// configuration add-in does (one Find per line, one window each), the
// declarations-section and procedure queries, and opening a project from disk.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/vbide/builder.h"
#include "platform/vbide/project_file.h"

namespace {

std::string BigModule(int procedures) {
    std::string text = "Option Explicit\r\n#Const debugging = True\r\nPrivate m_x As Long\r\n\r\n";
    for (int i = 0; i < procedures; ++i)
        text += "' procedure " + std::to_string(i) + "\r\nPublic Function F" + std::to_string(i) +
                " (x As Long)As Long\r\n    Dim y As Long\r\n    y = x * 2   \r\n    F" + std::to_string(i) +
                " = y\r\nEnd Function\r\n\r\n";
    return text;
}

void BM_ScanEveryLineWithFind(benchmark::State& state) {
    auto env = vbide::EnvironmentBuilder::SingleModule(BigModule(static_cast<int>(state.range(0))));
    auto m = env->ActiveCodePane()->CodeModule();
    const std::string target = "#Const debugging ";
    for (auto _ : state) {
        std::int32_t n = m->CountOfLines();
        for (std::int32_t l = 1; l <= n; ++l) {
            std::int32_t sl = l, sc = 1, el = l, ec = 19;
            if (m->Find(target, sl, sc, el, ec, false, false, false)) m->ReplaceLine(l, "#Const debugging = True");
        }
    }
    state.SetItemsProcessed(state.iterations() * m->CountOfLines());
}
BENCHMARK(BM_ScanEveryLineWithFind)->Arg(100)->Arg(1000);

void BM_ProcStartLine(benchmark::State& state) {
    auto env = vbide::EnvironmentBuilder::SingleModule(BigModule(static_cast<int>(state.range(0))));
    auto m = env->ActiveCodePane()->CodeModule();
    const std::string last = "F" + std::to_string(state.range(0) - 1);
    for (auto _ : state) benchmark::DoNotOptimize(m->ProcStartLine(last, vbide::vbext_pk_Proc));
}
BENCHMARK(BM_ProcStartLine)->Arg(100)->Arg(1000);

void BM_OpenProject(benchmark::State& state) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("vbide_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string vbp = "Type=Exe\r\n";
    const int modules = static_cast<int>(state.range(0));
    for (int i = 0; i < modules; ++i) {
        std::string name = "basM" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        std::ofstream(dir / (name + ".bas"), std::ios::binary)
            << "Attribute VB_Name = \"" + name + "\"\r\n" + BigModule(20);
    }
    vbp += "Name=\"Bench\"\r\n";
    std::ofstream(dir / "Bench.vbp", std::ios::binary) << vbp;
    for (auto _ : state) {
        auto env = vbide::Environment::Create();
        benchmark::DoNotOptimize(vbide::OpenProjectFile(*env, (dir / "Bench.vbp").string()));
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_OpenProject)->Arg(50);

}  // namespace

BENCHMARK_MAIN();
