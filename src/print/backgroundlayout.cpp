#include "print/backgroundlayout.h"

#include <QRunnable>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "model/contract/contract.h"
#include "report/reportrun.h"

namespace kestrel {

namespace {

// The threads that lay reports out. They are kept for the life of the
// program rather than made for each layout: the model's small texts come
// from blocks each thread keeps for itself, and a thread that ends leaves
// its blocks unused.
QThreadPool& LayoutThreads()
{
    static QThreadPool* const pool = [] {
        auto* p = new QThreadPool;
        p->setExpiryTimeout(-1);
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

} // namespace

// What the layout thread and the program's thread share; the mutex guards
// all but `stop`.
struct CBackgroundLayout::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> stop{false};
    std::vector<ReportPage> pages; // laid out, not yet collected
    int laidOut = 0;               // pages laid out in all
    double progress = 0.0;
    bool news = false;
    bool finished = false; // the thread has let go of the copies
    State end = State::Running;
    std::string fault;
};

CBackgroundLayout::CBackgroundLayout(const CContract& contract, Evaluator& evaluator)
    : m_shared(std::make_shared<Shared>()), m_contract(std::make_unique<CContract>()),
      m_evaluator(std::make_unique<Evaluator>(evaluator)), m_programEvaluator(&evaluator),
      m_job(std::vector<ReportPage>()), m_state(State::Running), m_progress(0.0)
{
    m_contract->Copy(contract);
    Start();
}

CBackgroundLayout::CBackgroundLayout(CReportPrintJob job) : m_job(std::move(job))
{
}

CBackgroundLayout::~CBackgroundLayout()
{
    if (!m_shared)
        return;
    Stop();
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait(lock, [this] { return m_shared->finished; });
    // The copies go on this thread, which made them.
}

void CBackgroundLayout::Start()
{
    std::shared_ptr<Shared> shared = m_shared;
    CContract* contract = m_contract.get();
    Evaluator* evaluator = m_evaluator.get();
    LayoutThreads().start(QRunnable::create([shared, contract, evaluator] {
        ReportOutcome outcome;
        if (!shared->stop.load()) {
            CReportRun run(*contract, *evaluator);
            outcome = run.LayoutAll(
                [&shared](ReportPage&& page, double progress) {
                    const std::lock_guard lock(shared->mutex);
                    shared->pages.push_back(std::move(page));
                    ++shared->laidOut;
                    shared->progress = progress;
                    shared->news = true;
                    shared->changed.notify_all();
                },
                &shared->stop);
            run.Release();
        } else {
            outcome.ok = false;
            outcome.stopped = true;
        }
        const std::lock_guard lock(shared->mutex);
        shared->end = outcome.ok ? State::Done : outcome.stopped ? State::Stopped : State::Failed;
        if (shared->end == State::Failed)
            shared->fault = outcome.error;
        shared->progress = 1.0;
        shared->news = true;
        shared->finished = true;
        shared->changed.notify_all();
    }));
}

bool CBackgroundLayout::TakeNews()
{
    Shared& s = *m_shared;
    if (!s.news)
        return false;
    s.news = false;
    m_job.Append(s.pages);
    s.pages.clear();
    m_progress = s.progress;
    if (s.finished && m_state == State::Running) {
        m_state = s.end;
        m_fault = s.fault;
        // A finished report leaves its identifiers to the program, as a
        // layout on the program's own evaluator does.
        if (m_state == State::Done && m_programEvaluator)
            *m_programEvaluator = *m_evaluator;
    }
    return true;
}

bool CBackgroundLayout::Collect()
{
    if (!m_shared || m_state != State::Running)
        return false;
    const std::lock_guard lock(m_shared->mutex);
    return TakeNews();
}

bool CBackgroundLayout::WaitForPages(int pages, int timeoutMs)
{
    if (m_shared && m_state == State::Running) {
        std::unique_lock lock(m_shared->mutex);
        m_shared->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this, pages] {
            return m_shared->finished || m_shared->laidOut >= pages;
        });
        TakeNews();
    }
    return m_job.PageCount() >= pages;
}

void CBackgroundLayout::Stop()
{
    if (!m_shared)
        return;
    m_shared->stop.store(true);
    // Whatever it lays out from now on is not taken.
    if (m_state == State::Running)
        m_state = State::Stopped;
}

} // namespace kestrel
