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

CBackgroundLayout::CBackgroundLayout(CContract& contract, Evaluator& evaluator)
    : m_source(&contract), m_evaluator(std::make_unique<Evaluator>(evaluator)),
      m_programEvaluator(&evaluator), m_job(std::vector<ReportPage>())
{
    LayOutFirstPage(contract);
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

void CBackgroundLayout::LayOutFirstPage(CContract& contract)
{
    // A run of its own, stopped once its first page is done, from the
    // identifiers the program holds now.
    Evaluator evaluator(*m_evaluator);
    CReportRun run(contract, evaluator);
    std::atomic<bool> stop{false};
    std::vector<ReportPage> pages;
    const ReportOutcome outcome = run.LayoutAll(
        [&](ReportPage&& page, double progress) {
            pages.push_back(std::move(page));
            m_progress = progress;
            stop = true;
        },
        &stop);
    run.Release();
    for (ReportPage& page : pages)
        m_job.Put(m_job.Pages().size(), std::move(page));
    if (outcome.stopped)
        return;
    m_source = nullptr;
    m_progress = 1.0;
    if (!outcome.ok) {
        m_state = State::Failed;
        m_fault = outcome.error;
        return;
    }
    // The report ended on its first page.
    m_state = State::Done;
    *m_programEvaluator = evaluator;
}

void CBackgroundLayout::Start()
{
    if (!m_source || m_state != State::Running)
        return;
    m_contract = std::make_unique<CContract>();
    m_contract->Copy(*m_source);
    m_source = nullptr;
    m_shared = std::make_shared<Shared>();
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
    // The thread's pages take the place of the first page laid out here:
    // the same, unless the contract changed before it was copied.
    for (ReportPage& page : s.pages) {
        if (m_job.Put(static_cast<size_t>(m_taken), std::move(page)) && m_firstChanged == 0)
            m_firstChanged = m_taken + 1;
        ++m_taken;
    }
    s.pages.clear();
    m_progress = s.progress;
    if (s.finished && m_state == State::Running) {
        m_state = s.end;
        m_fault = s.fault;
        // A finished report leaves its identifiers to the program, as a
        // layout on the program's own evaluator does; its pages are all.
        if (m_state == State::Done) {
            *m_programEvaluator = *m_evaluator;
            m_job.Truncate(static_cast<size_t>(m_taken));
        }
    }
    return true;
}

bool CBackgroundLayout::Collect()
{
    m_firstChanged = 0;
    if (!m_shared || m_state != State::Running)
        return false;
    const std::lock_guard lock(m_shared->mutex);
    return TakeNews();
}

bool CBackgroundLayout::WaitForPages(int pages, int timeoutMs)
{
    m_firstChanged = 0;
    Start();
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
    m_source = nullptr;
    if (m_shared)
        m_shared->stop.store(true);
    // Whatever it lays out from now on is not taken.
    if (m_state == State::Running)
        m_state = State::Stopped;
}

} // namespace kestrel
