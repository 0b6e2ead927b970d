// The print preview of a report of about 1,000 pages, from the command to
// its first page on the screen: the report laid out once, the preview
// window built and painted (it draws only the pages in view). Baseline, in
// the same run: what the command line's PDF export does for the same
// report's first page, one layout of the whole report and that page drawn
// into a PDF file. Target: preview / export of the first page <= 1.2.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/printpreview.h"
#include "calc/evaluator.h"
#include "model/contract/contract.h"
#include "print/reportpdf.h"
#include "print/reportprintjob.h"
#include "report/reportrun.h"
#include "support/quietqt.h"
#include "support/reportcontract.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

CContract& Contract()
{
    static const std::unique_ptr<CContract> contract = bench::MakeReportContract(bench::SubsForPages(1000));
    return *contract;
}

void BM_PdfFirstPage(benchmark::State& state)
{
    const QString pdf =
        QString::fromStdString((std::filesystem::temp_directory_path() / "kestrel-bench-first.pdf").string());
    Evaluator evaluator;
    int pages = 0;
    for (auto _ : state) {
        CReportRun run(Contract(), evaluator);
        ReportOutcome outcome = run.LayoutAll();
        run.Release();
        pages = static_cast<int>(outcome.pages.size());
        if (!outcome.ok || pages == 0 || !CReportPdf::WriteSheets(pdf, {&outcome.pages[0]}).ok()) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.counters["pages"] = pages;
    std::filesystem::remove(pdf.toStdString());
}

void BM_PreviewFirstPage(benchmark::State& state)
{
    Evaluator evaluator;
    QPrinter printer(QPrinter::HighResolution);
    int pages = 0;
    int drawn = 0;
    for (auto _ : state) {
        const Result<CReportPrintJob> job = CReportPrintJob::LayoutReport(Contract(), evaluator);
        if (!job) {
            state.SkipWithError("the layout failed");
            break;
        }
        CPrintPreview preview(job.value(), printer.pageLayout());
        preview.resize(900, 1000);
        preview.show();
        const QImage shown = preview.grab().toImage();
        benchmark::DoNotOptimize(shown.constBits());
        pages = preview.PageCount();
        drawn = preview.PagesDrawn();
        preview.hide();
    }
    state.counters["pages"] = pages;
    state.counters["drawn"] = drawn;
}

} // namespace

BENCHMARK(BM_PdfFirstPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    bench::UseQuietOffscreenPlatform();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double preview = reporter.RealTime("BM_PreviewFirstPage");
    const double pdf = reporter.RealTime("BM_PdfFirstPage");
    if (preview > 0 && pdf > 0)
        std::printf("preview first page / PDF export first page ratio: %.2f (preview %.1f ms, target 1.2 or "
                    "less)\n",
                    preview / pdf, preview);
    benchmark::Shutdown();
    return 0;
}
