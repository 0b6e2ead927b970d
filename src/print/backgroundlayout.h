#pragma once
// A report laid out page by page while the program goes on: the preview
// shows the first page at once and the others as they come.
//
// The first page is laid out when the object is made, on the contract
// itself, as any print run does; it takes no longer for a report of a
// thousand pages than for one of ten. Start() then copies the contract and
// lays the whole report out on the copy, on a thread of its own, so that
// whatever the program does to the contract meanwhile (a reload, closing
// it) never meets the layout; its pages take the place of the first one.
// It is still one layout run: when it is done, its pages are the whole
// print job, and the identifiers the report defined become the program's
// evaluator's, as after any report run.
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

    // Lays the first page out now; a fault there ends the layout at once.
    // The contract must stay until Start() (or the end).
    CBackgroundLayout(CContract& contract, Evaluator& evaluator);
    // Stops the layout and waits until its thread has let go of the copies.
    ~CBackgroundLayout();
    CBackgroundLayout(const CBackgroundLayout&) = delete;
    CBackgroundLayout& operator=(const CBackgroundLayout&) = delete;

    // Copies the contract as it is now and lays the report out on the copy
    // in the background. Once only; nothing when the layout has ended.
    void Start();
    // Takes what the layout has done since the last call: its pages into
    // Job(), its progress and its end. True when anything changed.
    bool Collect();
    // The number of the first page the last Collect() brought or changed;
    // 0 when none.
    int FirstPageChanged() const { return m_firstChanged; }
    // Starts the layout when it is not, then waits (blocking) until `pages`
    // pages are laid out, the layout has ended, or `timeoutMs` have passed;
    // then collects. True when the pages are there.
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
    void LayOutFirstPage(CContract& contract);
    // Takes the thread's news; the lock is held.
    bool TakeNews();

    CContract* m_source = nullptr; // until Start() copies it
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<CContract> m_contract;
    // The program's identifiers as they were before any run of this layout.
    std::unique_ptr<Evaluator> m_evaluator;
    Evaluator* m_programEvaluator = nullptr;
    CReportPrintJob m_job;
    State m_state = State::Running;
    std::string m_fault;
    double m_progress = 0.0;
    int m_taken = 0; // pages taken from the thread
    int m_firstChanged = 0;
};

} // namespace kestrel
