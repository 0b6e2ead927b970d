#include "report/reportrun.h"

#include <algorithm>

#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "report/reportcontext.h"
#include "report/reportfault.h"

namespace kestrel {

namespace {

// Far beyond any real report (a thousand-page report prints a few hundred
// thousand segments), yet it ends a runaway template in seconds.
constexpr long long kDefaultWorkLimit = 50'000'000;
// Every page of a one-pass layout is kept; this many are some hundred
// megabytes, and no real report comes near it.
constexpr int kDefaultPageLimit = 20'000;
// Evaluation steps of all expressions of one run. One evaluation is limited
// on its own, but a template can ask for thousands of them (a recursive
// user function in every field); this many steps take a few seconds. The
// demo report takes some 2,500 steps a page, so real reports of thousands
// of pages stay far below it.
constexpr long long kDefaultEvaluationLimit = 50'000'000;

enum SectionState : int {
    ST_DONE = -1,
    ST_START = 0,
    ST_LIST_START = 1,
    ST_SUB_START = 2,
    ST_ITEMS_HEADER = 3,
    ST_ITEM = 4,
    ST_ITEMS_FOOTER = 5,
    ST_SUB_END = 6,
    ST_LIST_END = 7,
    ST_NO_ITEMS = 8,
};

} // namespace

CReportRun::CReportRun(CContract& contract, Evaluator& evaluator, const CDataMap<CPlate>* templates)
    : m_eval(evaluator), m_evalAtStart(evaluator),
      m_ctx(std::make_unique<CReportContext>(contract, evaluator, templates))
{
    m_ctx->SetWorkLimit(kDefaultWorkLimit);
    m_ctx->SetPageLimit(kDefaultPageLimit);
    m_ctx->SetEvaluationLimit(kDefaultEvaluationLimit);
    // The check runs first so that a footer listing its messages is
    // measured with the current ones.
    m_ctx->SetCheck(CheckContract(contract));
    m_ctx->Engine().Start(CPageEngine::MODE_DEVICE | CPageEngine::MODE_SINGLE, 80, 60);
    const Status measured = CatchReportFault([this] { MeasureFooter(); });
    if (!measured)
        m_prepareError = measured.errorText();
}

CReportRun::~CReportRun()
{
    Release();
}

void CReportRun::Release()
{
    if (m_released)
        return;
    m_released = true;
    m_ctx->ReleaseTemplates();
    m_ctx->SetCheck(CheckResult());
}

void CReportRun::SetWorkLimit(long long limit)
{
    m_ctx->SetWorkLimit(limit);
}

void CReportRun::SetPageLimit(int pages)
{
    m_ctx->SetPageLimit(pages);
}

void CReportRun::SetEvaluationLimit(long long steps)
{
    m_ctx->SetEvaluationLimit(steps);
}

ReportOutcome CReportRun::RunToPage(int n)
{
    return Run(n);
}

ReportOutcome CReportRun::LayoutAll()
{
    return Run(CPageEngine::kAllPages);
}

ReportOutcome CReportRun::LayoutAll(const PageSink& sink, const std::atomic<bool>* stop)
{
    CPageEngine& e = m_ctx->Engine();
    e.SetPageSink([this, &sink](ReportPage&& page) { sink(std::move(page), Progress()); });
    m_ctx->SetStopFlag(stop);
    ReportOutcome out = Run(CPageEngine::kAllPages);
    e.SetPageSink({});
    m_ctx->SetStopFlag(nullptr);
    out.stopped = !out.ok && stop && stop->load();
    return out;
}

double CReportRun::Progress() const
{
    if (m_state == ST_START || m_state == ST_LIST_START)
        return 0.0;
    if (m_state == ST_LIST_END || m_state == ST_DONE)
        return 1.0;
    const CWinMeta* table = m_ctx->Contract().m_pSubTable.get();
    const int subs = table ? table->m_Records.GetSize() : 0;
    if (subs == 0)
        return 1.0;
    // Within a subcontractor, its sub-items say how far it is.
    const CSubcontract* sub = m_ctx->CurrentSub();
    const int items = sub ? sub->m_SubItems.GetCount() : 0;
    const double within =
        m_state == ST_ITEM && items > 0 ? std::min(1.0, double(m_ctx->SubItemIndex()) / items) : 0.0;
    return std::min(1.0, (m_subsVisited + within) / subs);
}

ReportOutcome CReportRun::Run(int target)
{
    ReportOutcome out;
    if (!m_prepareError.empty()) {
        out.ok = false;
        out.error = m_prepareError;
        return out;
    }
    const Status laidOut = CatchReportFault([this, target] { LayOut(target); });
    if (!laidOut) {
        out.ok = false;
        out.error = laidOut.errorText();
    }
    CPageEngine& e = m_ctx->Engine();
    out.pagesStarted = e.PageCount();
    if (out.ok)
        out.pages = e.TakePages();
    e.End(false);
    return out;
}

const char* CReportRun::SectionTemplate() const
{
    switch (m_state) {
    case ST_LIST_START: return "Report Sub List Start";
    case ST_SUB_START: return "Report Sub Start";
    case ST_ITEMS_HEADER: return "Report SubItem List Header";
    case ST_ITEM: return "Report SubItem";
    case ST_ITEMS_FOOTER: return "Report SubItem List Footer";
    case ST_SUB_END: return "Report Sub End";
    case ST_LIST_END: return "Report Sub List End";
    case ST_NO_ITEMS: return "Report Sub No Items";
    default: return "";
    }
}

void CReportRun::FirstSub()
{
    const CWinMeta* table = m_ctx->Contract().m_pSubTable.get();
    const CSubcontract* first = table ? table->FirstChild(nullptr) : nullptr;
    m_subsVisited = 0;
    if (!first) {
        m_state = ST_LIST_END;
        return;
    }
    m_ctx->SetCurrentSub(table->m_Records.IndexOf(first));
    m_state = ST_SUB_START;
}

void CReportRun::NextSub()
{
    const CWinMeta* table = m_ctx->Contract().m_pSubTable.get();
    const CSubcontract* cur = m_ctx->CurrentSub();
    const CSubcontract* next = (table && cur) ? table->FirstChild(cur) : nullptr;
    // A parent chain that loops would walk the same records for ever; no
    // walk of a tree visits more records than there are.
    if (!next || ++m_subsVisited >= table->m_Records.GetSize()) {
        m_state = ST_LIST_END;
        return;
    }
    m_ctx->SetCurrentSub(table->m_Records.IndexOf(next));
    m_state = ST_SUB_START;
}

void CReportRun::Advance()
{
    const CSubcontract* sub = m_ctx->CurrentSub();
    const int count = sub ? sub->m_SubItems.GetCount() : 0;
    switch (m_state) {
    case ST_START: m_state = ST_LIST_START; break;
    case ST_LIST_START: FirstSub(); break;
    case ST_SUB_START: m_state = (sub && sub->IsItemized()) ? ST_ITEMS_HEADER : ST_NO_ITEMS; break;
    case ST_ITEMS_HEADER:
        m_ctx->SetSubItemIndex(0);
        m_state = count > 0 ? ST_ITEM : ST_ITEMS_FOOTER;
        break;
    case ST_ITEM:
        m_ctx->SetSubItemIndex(m_ctx->SubItemIndex() + 1);
        m_state = m_ctx->SubItemIndex() < count ? ST_ITEM : ST_ITEMS_FOOTER;
        break;
    case ST_ITEMS_FOOTER:
    case ST_NO_ITEMS: m_state = ST_SUB_END; break;
    case ST_SUB_END: NextSub(); break;
    default: m_state = ST_DONE; break;
    }
}

bool CReportRun::Fits(int printedThisRound)
{
    // With print option 0 each subcontractor begins a page of its own; on
    // that page it is measured like any other section, so that its items
    // follow it there.
    if (m_state == ST_SUB_START && FlagTest(m_ctx->Contract().m_wPrintOptions, 0) && printedThisRound > 0)
        return false;
    const int needed = m_ctx->MeasureTemplate(SectionTemplate());
    const CPageEngine& e = m_ctx->Engine();
    const int room = e.Lines() - m_ctx->FooterSize();
    return e.PageOpen() ? room >= needed + e.Line() : room >= needed;
}

void CReportRun::MeasureFooter()
{
    // Every run starts from the identifiers the evaluator held when the run
    // was prepared, then whatever measuring the footer defines, so that a
    // page comes out the same whichever run lays it out. Definitions made
    // before the report (the program's own) stay.
    m_eval = m_evalAtStart;
    m_ctx->ResetWork();
    m_ctx->SetFooterSize(m_ctx->MeasureTemplate("Report Footer"));
}

void CReportRun::LayOut(int target)
{
    CReportContext& ctx = *m_ctx;
    CPageEngine& e = ctx.Engine();
    e.Start(CPageEngine::MODE_DEVICE | CPageEngine::MODE_SINGLE, 80, 60);
    MeasureFooter();
    e.SetTargetPage(target);
    // Fields read before the first "Report Sub Start" see the subcontractor
    // at position 0, as @SubIndex says.
    ctx.SetCurrentSub(0);
    ctx.SetSubItemIndex(0);
    ctx.SetLinePass(0);
    m_state = ST_START;
    bool pending = false;

    ctx.PrintTemplate("Report Front");
    if (e.PageOpen())
        e.PutChar('\f');
    if (e.PageCount() <= target) {
        e.SetPageNumber(0);
        while (m_state != ST_DONE) {
            ctx.PrintTemplate("Report Header");
            if (e.PageCount() > target)
                break;
            int printed = 0;
            for (;;) {
                if (!pending) {
                    Advance();
                    if (m_state == ST_DONE)
                        break;
                    pending = true;
                }
                const bool fits = Fits(printed);
                if (!fits && printed > 0)
                    break;
                ctx.PrintTemplate(SectionTemplate());
                pending = false;
                ++printed;
                if (!fits)
                    break;
            }
            ctx.PrintTemplate("Report Footer");
        }
        if (e.PageOpen())
            e.PutChar('\f');
        if (e.PageCount() <= target)
            ctx.PrintTemplate("Report Back");
    }
    if (e.PageOpen())
        e.FinishPage();
}

} // namespace kestrel
