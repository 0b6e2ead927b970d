// Choosing another subcontractor in the tree while the subcontractor form
// is shown: the kept 60-field form is bound to the other record (what the
// edit layer shows of it, lists refilled where they differ) and painted.
// The contract has the demo's forms, lists beside it (300 vendors, the work
// types) and 199 subcontractors with 500 sub-items each on 5,000 items; the
// form alternates between two records of different vendors. Baseline:
// reading the large benchmark contract (5,000 entries, 199 subcontractors
// of 60 fields with 500 sub-items each), in the same run. Target: a
// selection costs at most 0.3 of a read.

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
#include "app/subview.h"
#include "demogen/demogen.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/contractgen.h"
#include "support/programbench.h"
#include "support/readcontract.h"
#include "support/silentasker.h"
#include "support/timesreporter.h"
#include "views/dv_sub.h"

namespace {

using namespace kestrel;

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        const auto f = std::filesystem::temp_directory_path() / "kestrel-bench-subform";
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

const std::string& BaselinePath()
{
    static const std::string path = [] {
        bench::ContractShape shape;
        shape.tables = true;
        const std::string p = (Folder() / "baseline.con").string();
        bench::WriteGeneratedContract(shape, p);
        return p;
    }();
    return path;
}

// The demo's list files beside a large contract with the demo's forms.
const std::string& FormContractPath()
{
    static const std::string path = [] {
        if (!demo::WriteDemoSamples(Folder().string()).empty())
            std::abort();
        const std::unique_ptr<CContract> c = demo::BuildLargeContract({5000, 199, 500});
        const std::string p = (Folder() / "FORMS.CON").string();
        if (!demo::WriteContract(*c, p).empty())
            std::abort();
        return p;
    }();
    return path;
}

void BM_ReadContract(benchmark::State& state)
{
    bench::TimeReadingContract(state, BaselinePath());
}

void BM_SelectSubcontractor(benchmark::State& state)
{
    CSubSettings settings;
    bench::SilentAsker asker;
    CSubDoc doc(settings, asker);
    CMainFrame frame(doc, settings);
    frame.resize(1200, 800);
    frame.show();
    if (!doc.OpenDocument(QFile::decodeName(FormContractPath().c_str()))) {
        state.SkipWithError("open failed");
        return;
    }
    CSubTreeView& tree = *frame.Tree();
    const CWinMeta& table = *doc.Contract()->m_pSubTable;
    QTreeWidgetItem* nodes[2] = {tree.FindNode(table.m_Records[2]), tree.FindNode(table.m_Records[7])};
    tree.setCurrentItem(nodes[1]);
    QApplication::processEvents();
    const auto* form = qobject_cast<CDV_Sub*>(frame.View()->CurrentView());
    if (!form || !nodes[0] || !nodes[1]) {
        state.SkipWithError("no subcontractor form");
        return;
    }
    int next = 0;
    for (auto _ : state) {
        tree.setCurrentItem(nodes[next]);
        frame.View()->RightPane()->repaint();
        next ^= 1;
    }
    if (frame.View()->CurrentView() != form)
        state.SkipWithError("the form was rebuilt");
    if (doc.IsModified())
        state.SkipWithError("selecting a subcontractor changed the contract");
    state.counters["fields"] = double(form->FieldCount());
}

} // namespace

BENCHMARK(BM_ReadContract)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectSubcontractor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::RunProgramBenchmarks(argc, argv, [](const bench::TimesReporter& reporter) {
        const double readMs = reporter.CpuTime("BM_ReadContract");
        const double selectMs = reporter.CpuTime("BM_SelectSubcontractor");
        std::filesystem::remove_all(Folder());
        if (readMs > 0 && selectMs > 0)
            std::printf("select_vs_read: %.4f (select %.3f ms, read %.3f ms, target <= 0.3)\n",
                        selectMs / readMs, selectMs, readMs);
    });
}
