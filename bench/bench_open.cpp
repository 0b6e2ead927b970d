// Opening a contract in the program: the document reads the file, runs the
// open steps (completeness, totals, pick lists, the silent check), the tree
// is filled and the main window has painted. Baseline: reading the same file
// alone, in the same run. The contract: 5,000 entries, 199 subcontractors of
// 60 fields with 500 sub-items each. Qt's own start-up is not timed; the
// window paints on the offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "support/contractgen.h"
#include "support/programbench.h"
#include "support/silentasker.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

const std::string& ContractPath()
{
    static const std::string path = bench::WriteTablesContract("kestrel-bench-open.con");
    return path;
}

void BM_ReadFile(benchmark::State& state)
{
    const std::string& path = ContractPath();
    for (auto _ : state) {
        std::unique_ptr<CContract> contract;
        if (ReadContractFile(path, contract) != 0)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(contract.get());
    }
}

void BM_OpenInProgram(benchmark::State& state)
{
    const QString path = QFile::decodeName(ContractPath().c_str());
    CSubSettings settings;
    bench::SilentAsker asker;
    CSubDoc doc(settings, asker);
    CMainFrame frame(doc, settings);
    frame.resize(1200, 800);
    frame.show();
    QApplication::processEvents();
    for (auto _ : state) {
        if (!doc.OpenDocument(path))
            state.SkipWithError("open failed");
        frame.repaint();
        frame.Tree()->viewport()->repaint();
        benchmark::DoNotOptimize(frame.Tree()->topLevelItemCount());
    }
    state.counters["nodes"] = double(frame.Tree()->SubcontractorsNode()->childCount());
}

} // namespace

BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenInProgram)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    return bench::RunProgramBenchmarks(argc, argv, [](const bench::TimesReporter& reporter) {
        // Both measured on one thread: the CPU times are the steadier ratio
        // on a machine that runs other work, the real times the one a user
        // sees.
        const double openCpu = reporter.CpuTime("BM_OpenInProgram");
        const double readCpu = reporter.CpuTime("BM_ReadFile");
        const double openReal = reporter.RealTime("BM_OpenInProgram");
        const double readReal = reporter.RealTime("BM_ReadFile");
        if (openCpu > 0 && readCpu > 0 && readReal > 0)
            std::printf(
                "open in program / read file ratio: %.2f CPU, %.2f real (open %.1f ms CPU, target 1.5 "
                "or less)\n",
                openCpu / readCpu, openReal / readReal, openCpu);
        std::filesystem::remove(ContractPath());
    });
}
