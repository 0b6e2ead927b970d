// One change of a sub-item's quantity on the large contract (199
// subcontractors of 60 fields with 500 sub-items each, 5,000 items), with
// its whole follow-up (marks of the line, sub-item state, subcontracted
// total, completeness, the silent check) and its inverse, against reading
// that contract's file in the same run. Target: a change costs at most
// 1/20 of a read (edit_vs_read <= 0.05).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/contractgen.h"
#include "support/readcontract.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

const std::string& ContractPath()
{
    static const std::string path = [] {
        bench::ContractShape shape;
        shape.tables = true;
        const std::string p = (std::filesystem::temp_directory_path() / "kestrel-bench-edit.con").string();
        bench::WriteGeneratedContract(shape, p);
        return p;
    }();
    return path;
}

void BM_ReadContract(benchmark::State& state)
{
    bench::TimeReadingContract(state, ContractPath());
}

void BM_SubItemQuantityEdit(benchmark::State& state)
{
    std::unique_ptr<CContract> contract;
    if (ReadContractFile(ContractPath(), contract) != CF_OK) {
        state.SkipWithError("read failed");
        return;
    }
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.RunCheck();
    // A first-tier record that holds lower tiers, and a line other records
    // hold too.
    CSubcontract& record = *contract->m_pSubTable->m_Records[2];
    const std::string line = record.m_SubItems.Keys().front();
    bool high = false;
    for (auto _ : state) {
        high = !high;
        EditResult r = edits.SetSubItemQuantity(record, line, high ? "101" : "100");
        if (!r.ok() || r->inverse.IsEmpty())
            state.SkipWithError("the change was not made");
        benchmark::DoNotOptimize(r);
    }
}

} // namespace

BENCHMARK(BM_ReadContract)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubItemQuantityEdit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Reports each run, then the change against the read, both measured in
    // this run, by CPU time: the machines these run on are shared.
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double readMs = reporter.CpuTime("BM_ReadContract");
    const double editMs = reporter.CpuTime("BM_SubItemQuantityEdit");
    benchmark::Shutdown();
    std::remove(ContractPath().c_str());
    if (readMs > 0 && editMs > 0)
        std::printf("edit_vs_read: %.4f (edit %.3f ms, read %.3f ms, target <= 0.05)\n", editMs / readMs,
                    editMs, readMs);
    return 0;
}
