#include "jobs/CWorkerThread.h"

#include "jobs/JobsLog.h"
#include "protocol/ManualResetEvent.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {

// Desktop thread priorities run from -15 (idle) through 0 (normal) to 15 (time critical); the
// nice scale runs the other way, 19 lowest to -20 highest. One priority step is five nice steps.
constexpr int NICE_PER_PRIORITY_STEP = 5;

// Worker threads that have not ended; the condition tells waiters when the count drops. Never
// destroyed: a thread let go may still end while the process exits.
struct LiveThreads
{
    std::mutex mutex;
    std::condition_variable changed;
    int nCount = 0;
};

LiveThreads &Live()
{
    static LiveThreads *const s_pLive = new LiveThreads;
    return *s_pLive;
}

void AddLiveThread(int nDelta)
{
    LiveThreads &live = Live();
    {
        std::lock_guard lock(live.mutex);
        live.nCount += nDelta;
    }
    if (nDelta < 0)
        live.changed.notify_all();
}

void ApplyPriority(qint32 nPriority)
{
    const int nNice = std::clamp(-nPriority * NICE_PER_PRIORITY_STEP, -20, 19);
    // A raised priority needs a privilege an ordinary user lacks; the job then runs at the
    // default priority, as it would where the system ignores the request.
    if (setpriority(PRIO_PROCESS, id_t(gettid()), nNice) != 0)
        qCDebug(lcJobs) << "thread priority" << nPriority << "not applied";
}

} // namespace

CWorkerThread::CWorkerThread(qint32 nPriority, quint32 nStackSize)
    : m_hStopEvent(std::make_shared<ManualResetEvent>(false))
    , m_hFinishedEvent(std::make_shared<ManualResetEvent>(true))
    , m_nPriority(nPriority)
    , m_nStackSize(nStackSize)
{}

CWorkerThread::CWorkerThread(const CWorkerThread &other)
    : m_hStopEvent(other.m_hStopEvent)
    , m_hFinishedEvent(other.m_hFinishedEvent)
    , m_nPriority(other.m_nPriority)
    , m_nStackSize(other.m_nStackSize)
    , m_nJoinTimeoutMs(other.m_nJoinTimeoutMs)
{}

CWorkerThread::~CWorkerThread()
{
    // A std::thread still joinable at destruction would end the process. The thread runs on
    // its own copy of the job, so letting it go is safe.
    if (m_hThread.joinable())
        m_hThread.detach();
}

CWorkerThread::ThreadHandle CWorkerThread::Start(qint32 nPriority, quint32 nStackSize)
{
    if (m_hThread.joinable())
        return m_hThread.get_id();

    // Fresh events rather than reset ones: a thread that an earlier Stop gave up on still holds
    // the old pair, and must neither see this run's events nor disturb them.
    m_hStopEvent = std::make_shared<ManualResetEvent>(false);
    m_hFinishedEvent = std::make_shared<ManualResetEvent>(false);
    m_pThreadEnded = std::make_shared<ManualResetEvent>(false);

    // std::thread always reserves the platform's default stack (8 MiB here), which is more than
    // any job asks for; the requested size is kept only for the record.
    Q_UNUSED(nStackSize);

    std::shared_ptr<CWorkerThread> pCopy(CopyForThread());
    std::shared_ptr<ManualResetEvent> pEnded = m_pThreadEnded;
    bool bCreated = false;
    if (!m_bThreadCreationFails) {
        try {
            AddLiveThread(1);
            m_hThread = std::thread([pCopy = std::move(pCopy), pEnded, nPriority]() mutable {
                if (nPriority != 0)
                    ApplyPriority(nPriority);
                ThreadEntry(pCopy.get());
                pCopy.reset();
                pEnded->Set();
                AddLiveThread(-1);
            });
            bCreated = true;
        } catch (const std::system_error &error) {
            AddLiveThread(-1);
            qCWarning(lcJobs) << "cannot create a worker thread:" << error.what();
        }
    }
    if (!bCreated) {
        // Nothing runs, so the job is idle and over; its window must still learn of it.
        m_hFinishedEvent->Set();
        m_pThreadEnded->Set();
        ReportStartFailure();
        return ThreadHandle();
    }
    return m_hThread.get_id();
}

CWorkerThread::ThreadHandle CWorkerThread::Launch()
{
    return Start(m_nPriority, m_nStackSize);
}

void CWorkerThread::RequestStop()
{
    m_hStopEvent->Set();
}

void CWorkerThread::Stop()
{
    StopWithin(m_nJoinTimeoutMs);
}

void CWorkerThread::StopWithin(int nWaitMs)
{
    if (!m_hThread.joinable())
        return;
    m_hStopEvent->Set();

    QElapsedTimer elapsed;
    elapsed.start();
    bool bEnded = false;
    if (m_hFinishedEvent->Wait(nWaitMs)) {
        // After signalling finished a job only posts its last messages, which never block; the
        // rest of the budget still bounds the join in case one does not return.
        const qint64 nLeft = qMax<qint64>(0, nWaitMs - elapsed.elapsed());
        bEnded = m_pThreadEnded->Wait(int(qMax<qint64>(1, nLeft)));
    }
    if (bEnded) {
        m_hThread.join();
    } else {
        qCWarning(lcJobs) << "worker thread did not end within" << nWaitMs << "ms; it runs on unowned";
        m_hThread.detach();
    }
}

int CWorkerThread::LiveThreadCount()
{
    LiveThreads &live = Live();
    std::lock_guard lock(live.mutex);
    return live.nCount;
}

bool CWorkerThread::WaitForNoLiveThreads(int nTimeoutMs)
{
    LiveThreads &live = Live();
    std::unique_lock lock(live.mutex);
    return live.changed.wait_for(lock, std::chrono::milliseconds(qMax(0, nTimeoutMs)),
                                 [&live] { return live.nCount == 0; });
}

bool CWorkerThread::IsStopRequested() const
{
    return m_hStopEvent->Wait(0);
}

bool CWorkerThread::IsFinishedSignalled() const
{
    return m_hFinishedEvent->Wait(0);
}

quint32 CWorkerThread::ThreadEntry(CWorkerThread *pJob)
{
    if (!pJob)
        return quint32(-1);
    return quint32(pJob->Run());
}

void CWorkerThread::SignalFinished()
{
    m_hFinishedEvent->Set();
}
