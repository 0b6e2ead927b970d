// The contract check on a large subcontractor table: 199 subcontractors of
// 60 fields with 500 sub-items each. Baseline: one plain pass over the same
// records, cells and sub-items, in the same run.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "support/ratioreporter.h"

namespace {

using namespace kestrel;

std::unique_ptr<CContract> BuildContract()
{
    auto contract = std::make_unique<CContract>();
    contract->m_ExtFormat = NumberFormat{10, 2};
    auto table = std::make_unique<CWinMeta>();
    table->m_wFlags = 4; // list choices are checked
    for (int j = 0; j < 60; ++j) {
        CFieldInfo* f = table->m_Fields.Add();
        f->m_strName = "Field" + std::to_string(j);
        f->m_iType = j % 3 == 0 ? FIELD_DROPTYPE : FIELD_TEXT;
        f->m_wFlags = j % 3 == 0 ? 4 : 0;
    }
    for (int i = 0; i < 199; ++i) {
        CSubcontract* rec = table->AddRecord(-1, -1);
        rec->SetNumber(i + 1);
        for (int j = 1; j < 60; ++j)
            rec->SetCellText(j, "cell " + std::to_string(i) + "/" + std::to_string(j));
        // Every third list cell chosen from its list.
        for (int j = 0; j < 60; j += 3)
            rec->GetCell(j)->m_i = (i + j) % 3 == 0 ? 1 : -1;
        for (int k = 0; k < 500; ++k) {
            char line[8];
            std::snprintf(line, sizeof line, "%04d", (k + 1) * 10);
            CSubItem* si = rec->AddSubItem(line);
            si->m_fQuan = k + 1;
            si->m_fUP = 2.5;
            si->m_fExt = (k + 1) * 2.5;
            si->m_wFlags = 1u << SUBITEM_COMPLETE;
        }
        rec->m_wFlags = static_cast<uint16_t>(i % 5 == 0 ? 0x62 : 0x63);
    }
    contract->m_pSubTable = std::move(table);
    return contract;
}

CContract& Contract()
{
    static std::unique_ptr<CContract> contract = BuildContract();
    return *contract;
}

void BM_Walk(benchmark::State& state)
{
    CContract& contract = Contract();
    for (auto _ : state) {
        double sum = 0;
        int marks = 0;
        for (const auto& rec : contract.m_pSubTable->m_Records) {
            marks += rec->m_wFlags & 1;
            for (const auto& cell : rec->m_Cells)
                marks += cell->m_i == -1;
            rec->m_SubItems.ForEach([&](const std::string&, const CSubItem& si) { sum += si.m_fExt; });
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(marks);
    }
}

void BM_CheckContract(benchmark::State& state)
{
    CContract& contract = Contract();
    CheckResult result;
    for (auto _ : state) {
        result = CheckContract(contract);
        benchmark::DoNotOptimize(result);
    }
    state.counters["errors"] = result.errors;
    state.counters["warnings"] = result.warnings;
}

} // namespace

BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckContract)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Reports each run with a ratio of the check to the baseline walk.
    bench::RatioReporter reporter("BM_CheckContract", "BM_Walk");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.HasRatio())
        std::printf("check / walk ratio: %.2f (check %.3f ms, target under 10 ms)\n", reporter.Ratio(),
                    reporter.measuredTime);
    benchmark::Shutdown();
    return 0;
}
