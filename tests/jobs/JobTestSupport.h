#pragma once

// What only the job tests need besides the shared harness: a window stand-in and ways to wait
// for a job's thread to end.

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <functional>

// A window stand-in: counts the messages posted to it and cuts its targets off when destroyed.
class Receiver final : public QObject
{
public:
    PostReceiver m_receiver{this};
    int m_nPosts = 0;

    bool event(QEvent *pEvent) override
    {
        if (!PostEvent::From(pEvent))
            return QObject::event(pEvent);
        ++m_nPosts;
        return true;
    }
};

inline bool WaitFor(const std::function<bool()> &isDone, int nTimeoutMs = 10000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!isDone()) {
        if (elapsed.elapsed() > nTimeoutMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

// Waits (without asking it to stop) until the job signals finished, then joins it with Stop.
inline bool FinishAndJoin(CWorkerThread &job, int nTimeoutMs = 10000)
{
    if (!WaitFor([&job] { return job.IsFinishedSignalled(); }, nTimeoutMs))
        return false;
    job.Stop();
    return true;
}

// Waits until no worker thread of any job is left.
inline bool WaitNoLiveThreads()
{
    return WaitFor([] { return CWorkerThread::LiveThreadCount() == 0; });
}
