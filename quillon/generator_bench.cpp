// How long the generator takes for its largest texts: a function with every
// option, and a property's reader, writer and member declaration.
#include <benchmark/benchmark.h>

#include "quillon/generator.h"

namespace {

void BM_FunctionWithEveryOption(benchmark::State& state) {
    quillon::ProcedureRequest r;
    r.intKind = quillon::kindFunction;
    r.strName = "Total";
    r.strArgs = "x As Long";
    r.strDataType = "Long";
    r.intError = r.intMouse = r.intContext = quillon::vbChecked;
    for (auto _ : state) benchmark::DoNotOptimize(quillon::BuildProcedure(r, false));
}
BENCHMARK(BM_FunctionWithEveryOption);

void BM_PropertyReaderWriterMember(benchmark::State& state) {
    quillon::ProcedureRequest r;
    r.intKind = quillon::kindProperty;
    r.strName = "Owner";
    r.strDataType = "CPerson";
    r.intDataClass = quillon::classProject;
    r.strProjectName = "Crm";
    r.intRead = r.intWrite = r.intMember = r.intCodeMember = quillon::vbChecked;
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillon::BuildProcedure(r, false));
        benchmark::DoNotOptimize(quillon::BuildProcedure(r, true));
        benchmark::DoNotOptimize(quillon::MemberDeclaration(r));
    }
}
BENCHMARK(BM_PropertyReaderWriterMember);

}  // namespace

BENCHMARK_MAIN();
