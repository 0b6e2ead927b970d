#pragma once
// A report laid out on a thread of its own while the program goes on: the
// preview shows the first page as soon as it is laid out and the others as
// they come. The layout works on copies of the contract and of the
// evaluator's identifiers taken when it starts, so whatever the program does
// to the contract meanwhile (an edit, a reload, closing it) never meets the
// layout. It is still one layout run: when it is done, its pages are the
// whole print job, and the identifiers the report defined become the
// program's, as after any report run.
//
// Everything but the thread's own work happens on the thread that made the
// object: the pages laid out so far come into Job() when Collect() is called.

#include <memory>
#include <string>

#include "calc/evaluator.h"
#include "print/reportprintjob.h"

namespace kestrel {

class CContract;

class CBackgroundLayout {
public:
    enum class State { Running, Done, Failed, Stopped };

    // Copies the contract and the evaluator and starts laying out.
    CBackgroundLayout(const CContract& contract, Evaluator& evaluator);
    // A job already laid out in full.
    explicit CBackgroundLayout(CReportPrintJob job);
    // Stops the layout and waits until its thread has let go of the copies.
    ~CBackgroundLayout();
    CBackgroundLayout(const CBackgroundLayout&) = delete;
    CBackgroundLayout& operator=(const CBackgroundLayout&) = delete;

    // Takes what the layout has done since the last call: its pages into
    // Job(), its progress and its end. True when anything changed.
    bool Collect();
    // Waits (blocking) until `pages` pages are laid out, the layout has
    // ended, or `timeoutMs` have passed; then collects. True when the pages
    // are there.
    bool WaitForPages(int pages, int timeoutMs);
    // Stops the layout: the pages collected so far stay, state Stopped. Its
    // thread lets go soon after.
    void Stop();

    // As of the last Collect().
    State CurrentState() const { return m_state; }
    bool Running() const { return m_state == State::Running; }
    bool Done() const { return m_state == State::Done; }
    // The template or report fault that ended the layout (state Failed).
    const std::string& Fault() const { return m_fault; }
    // The share of the report laid out, from 0 to 1.
    double Progress() const { return m_progress; }
    // The pages collected so far; every page once Done().
    const CReportPrintJob& Job() const { return m_job; }

private:
    struct Shared;
    void Start();
    // Takes the worker's news; the lock is held.
    bool TakeNews();

    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<CContract> m_contract;
    std::unique_ptr<Evaluator> m_evaluator;
    Evaluator* m_programEvaluator = nullptr;
    CReportPrintJob m_job;
    State m_state = State::Done;
    std::string m_fault;
    double m_progress = 1.0;
};

} // namespace kestrel
