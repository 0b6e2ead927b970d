#pragma once
// The state of one report run: the contract, the page engine, the current
// subcontractor and sub-item, the line pass and the per-template field-state
// scopes. Prints templates by name.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/contract/datamap.h"
#include "model/contract/values.h"
#include "model/subcontract/check.h"
#include "report/pageengine.h"

namespace kestrel {

class Evaluator;
class CContract;
class CItem;
class CPlate;
class CSubcontract;
class CSubItem;

// Inside the report module; its printing throws CReportFault, which the
// report run turns into a value.
class CReportContext {
public:
    // The evaluator serves every expression of the run's templates.
    CReportContext(CContract& contract, Evaluator& evaluator, const CDataMap<CPlate>* templates = nullptr);

    CContract& Contract() const { return m_contract; }
    CPageEngine& Engine() { return m_engine; }
    Evaluator& Eval() const { return m_eval; }

    // Prints the named template (nothing when the name is unknown); returns
    // the lines printed. Throws CReportFault.
    int PrintTemplate(std::string_view name);
    // The lines a template would print, with nothing output.
    int MeasureTemplate(std::string_view name);
    // Puts a field's printed text on the page.
    int Put(std::string_view text) { return m_engine.PutText(text); }

    // Sets the evaluator's specials before a template expression.
    void SetSpecials();
    // Sets one '@' variable that a template expression reads (a special, or
    // @Val).
    void SetSpecial(std::string_view name, double value);
    // Evaluates a template expression, counting its work against the run's
    // evaluation limit; the evaluator then holds its error. Throws
    // CReportFault once the limit is passed.
    double Evaluate(std::string_view text);
    // The page number that PAGE_NUMBER and @Page show: before the first
    // character of a new page, the number of the page about to begin.
    int ShownPageNumber() const;

    int FooterSize() const { return m_footerSize; }
    void SetFooterSize(int n) { m_footerSize = n; }
    int LinePass() const { return m_linePass; }
    void SetLinePass(int n) { m_linePass = n; }

    // The current subcontractor: a record index (none at that index when the
    // table is empty or missing).
    int CurrentSubIndex() const { return m_subIndex; }
    void SetCurrentSub(int index);
    CSubcontract* CurrentSub() const;
    int SubItemIndex() const { return m_subItemIndex; }
    void SetSubItemIndex(int n) { m_subItemIndex = n; }
    // The current sub-item with its contract item, or nulls.
    std::pair<const CItem*, const CSubItem*> CurrentSubItem();

    // Field state of the innermost scope, by field code.
    void LoadFieldState(int code, int& position, Text& remaining) const;
    void StoreFieldState(int code, int position, const Text& remaining);

    // Counts a segment print against the run's limits of work and pages.
    void CountWork();
    void SetWorkLimit(long long limit) { m_workLimit = limit; }
    void SetPageLimit(int pages) { m_pageLimit = pages; }
    // Limits the evaluation steps of one run (0: no limit).
    void SetEvaluationLimit(long long steps) { m_evalLimit = steps; }
    // Once *stop is true (it may be set from another thread), the next
    // segment printed ends the run with a fault; none: never stopped.
    void SetStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }
    bool StopAsked() const { return m_stop && m_stop->load(std::memory_order_relaxed); }
    void ResetWork()
    {
        m_work = 0;
        m_evalSteps = 0;
    }

    // Frees the compiled forms kept with the templates.
    void ReleaseTemplates();

    // Computes the contract's check value, which CHECK shows, the first time
    // it is asked for in the run: it reads every cell and sub-item, and
    // most reports never show it.
    void RenewCheckValue();

    // The run's contract check, whose messages BID_ERROR prints.
    const CheckResult& Check() const { return m_check; }
    void SetCheck(CheckResult check) { m_check = std::move(check); }

private:
    struct FieldState {
        int code;
        int position;
        Text remaining;
    };
    struct Scope {
        std::string_view templateName;
        std::vector<FieldState> fields;
    };

    CPlate* FindTemplate(std::string_view name) const;

    CContract& m_contract;
    Evaluator& m_eval;
    const CDataMap<CPlate>* m_templates;
    CPageEngine m_engine;
    int m_footerSize = 0;
    int m_linePass = 0;
    int m_subIndex = 0;
    int m_subItemIndex = 0;
    bool m_subItemsValid = false;
    std::vector<std::pair<const CItem*, const CSubItem*>> m_subItems;
    std::vector<Scope> m_scopes;
    int m_depth = 0;
    long long m_work = 0;
    long long m_workLimit = 0;
    int m_pageLimit = 0;
    long long m_evalSteps = 0;
    long long m_evalLimit = 0;
    const std::atomic<bool>* m_stop = nullptr;
    bool m_checkValueCurrent = false;
    CheckResult m_check;
};

} // namespace kestrel
