#pragma once
// The report run: the contract's section templates in their fixed order,
// laid out on 80 x 60 character pages. Faults come back as values.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "model/contract/datamap.h"
#include "report/reportpage.h"

namespace kestrel {

class CContract;
class CPlate;
class CReportContext;

struct ReportOutcome {
    bool ok = true;
    bool stopped = false; // not ok because the run was asked to stop
    std::string error;    // the fault's message when not ok
    int pagesStarted = 0;
    std::vector<ReportPage> pages;
};

class CReportRun {
public:
    // Prepares the run: the contract's stored templates (or the given map),
    // the footer measured, the contract check re-run so that its messages
    // are current. A fault while measuring is kept and returned by every run.
    // The templates' expressions are evaluated by evaluator, which must
    // outlive the run; every run starts from the identifiers it holds now.
    CReportRun(CContract& contract, Evaluator& evaluator, const CDataMap<CPlate>* templates = nullptr);
    ~CReportRun();
    CReportRun(const CReportRun&) = delete;
    CReportRun& operator=(const CReportRun&) = delete;

    // Lays the report out from the beginning and keeps only page n; tells
    // in pagesStarted how many pages were begun.
    ReportOutcome RunToPage(int n);
    // Lays the report out once and keeps every page: the same pages as
    // RunToPage(1), RunToPage(2), ... in turn.
    ReportOutcome LayoutAll();
    // A page as soon as it is finished, with the share of the report laid
    // out by then (0 to 1).
    using PageSink = std::function<void(ReportPage&& page, double progress)>;
    // The same pages, each handed to sink as soon as it is finished rather
    // than kept. Once *stop becomes true (it may be set from another
    // thread) the run ends soon after, not ok and with `stopped` set.
    ReportOutcome LayoutAll(const PageSink& sink, const std::atomic<bool>* stop = nullptr);
    // Frees the compiled templates and the check's messages.
    void Release();

    // Limits the segments printed in one run (0: no limit); a run over the
    // limit ends with a fault instead of running on for hours.
    void SetWorkLimit(long long limit);
    // Limits the pages of one run (0: no limit).
    void SetPageLimit(int pages);
    // Limits the evaluation steps of one run, all expressions together
    // (0: no limit); a run over the limit ends with a fault.
    void SetEvaluationLimit(long long steps);

private:
    ReportOutcome Run(int target);
    // The share of the subcontractors laid out, in the order they print.
    double Progress() const;
    void MeasureFooter();
    void LayOut(int target);
    void Advance();
    bool Fits(int printedThisRound);
    const char* SectionTemplate() const;
    void FirstSub();
    void NextSub();

    Evaluator& m_eval;
    // The evaluator as the run found it.
    Evaluator m_evalAtStart;
    std::unique_ptr<CReportContext> m_ctx;
    std::string m_prepareError;
    bool m_released = false;
    int m_state = 0;
    int m_subsVisited = 0;
};

} // namespace kestrel
