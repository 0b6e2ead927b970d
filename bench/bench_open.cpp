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

#include "app/asker.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "support/contractgen.h"
#include "support/quietqt.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

// Nothing is asked while timing; any message would be a failed open.
class SilentAsker : public CAsker {
public:
    QMessageBox::StandardButton Ask(QWidget*, const QString&, const QString& text,
                                    QMessageBox::StandardButtons, QMessageBox::Icon) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return QMessageBox::No;
    }
    QString OpenFileName(QWidget*) override { return QString(); }
    QString SaveFileName(QWidget*, const QString&) override { return QString(); }
    ProposalChoice ChooseProposal(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void ShowErrorList(CSubErrors&) override {}
};

const std::string& ContractPath()
{
    static const std::string path = [] {
        bench::ContractShape shape;
        shape.tables = true;
        std::unique_ptr<CContract> contract = bench::GenerateContract(shape);
        const std::string file = (std::filesystem::temp_directory_path() / "kestrel-bench-open.con").string();
        if (WriteContractFile(*contract, file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
        return file;
    }();
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
    SilentAsker asker;
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
    bench::UseQuietOffscreenPlatform();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double openMs = reporter.RealTime("BM_OpenInProgram");
    const double readMs = reporter.RealTime("BM_ReadFile");
    if (openMs > 0 && readMs > 0)
        std::printf("open in program / read file ratio: %.2f (open %.1f ms, target 1.5 or less)\n",
                    openMs / readMs, openMs);
    std::filesystem::remove(ContractPath());
    return 0;
}
