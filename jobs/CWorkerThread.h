#pragma once

#include <QtGlobal>

#include <memory>
#include <thread>

class ManualResetEvent;

// Base of every background job: one worker thread per run, a stop event that the user
// interface sets to ask the job to stop, and a finished event that the job sets when its work
// is over.
//
// The thread never runs on the job object itself. Start hands it a copy of the job taken at
// that moment (inputs included) that shares the two events. The owner may therefore destroy the
// job while a thread that Stop gave up on is still running: that thread keeps its copy and its
// events alive until it ends, and its posts to a window that is gone are dropped.
class CWorkerThread
{
public:
    // Identifies the thread held; a default-constructed value is the null handle.
    using ThreadHandle = std::thread::id;

    // How long Stop waits for the job to finish before it lets the thread run on unowned.
    static constexpr int STOP_JOIN_TIMEOUT_MS = 20000;

    CWorkerThread(qint32 nPriority, quint32 nStackSize);
    // Does not wait for the thread: a thread still held is let go and ends on its own copy.
    virtual ~CWorkerThread();

    CWorkerThread &operator=(const CWorkerThread &) = delete;

    // Creates and starts the thread; returns its handle, or the null handle when it could not be
    // created (the job then reports a failure to its window, see ReportStartFailure). While a
    // handle is held, returns it unchanged and starts nothing, even if that thread has ended.
    virtual ThreadHandle Start(qint32 nPriority, quint32 nStackSize);
    // Start with the priority and stack size given to the constructor.
    ThreadHandle Launch();
    // Signals the stop event and returns at once.
    void RequestStop();
    // Signals the stop event, waits for the finished event (at most the join time-out), then
    // releases the thread whether or not it finished. Does nothing when no thread is held.
    void Stop();
    // The same with a wait of at most nWaitMs; 0 lets a thread that has not ended go at once.
    void StopWithin(int nWaitMs);
    // True only if the stop event is signalled now (a zero time-out wait).
    bool IsStopRequested() const;
    // The thread's entry: -1 (all bits set) for a null job, otherwise the job's Run.
    static quint32 ThreadEntry(CWorkerThread *pJob);

    // Worker threads of any job that have not ended yet, held or let go.
    static int LiveThreadCount();
    // Waits until no worker thread is left, at most nTimeoutMs; true when none is.
    static bool WaitForNoLiveThreads(int nTimeoutMs);

    bool IsThreadHeld() const { return m_hThread.joinable(); }
    bool IsFinishedSignalled() const;

    // Tests shorten the join time-out; the program keeps STOP_JOIN_TIMEOUT_MS.
    void SetJoinTimeoutMs(int nTimeoutMs) { m_nJoinTimeoutMs = nTimeoutMs; }
    int JoinTimeoutMs() const { return m_nJoinTimeoutMs; }
    // Tests make the next thread creations fail as the system would under resource exhaustion.
    void SetThreadCreationFailsForTests(bool bFails) { m_bThreadCreationFails = bFails; }

protected:
    // The copy that a worker thread runs on: shares the events, holds no thread.
    CWorkerThread(const CWorkerThread &other);

    // The thread body; every job returns 0 and signals finished exactly once on every path.
    virtual int Run() = 0;
    // A copy of the concrete job with all its inputs, for the thread to run on. Copies anything
    // the job refers to but does not own, so that a late thread never reaches the owner's data.
    virtual std::unique_ptr<CWorkerThread> CopyForThread() const = 0;
    // Called on the caller's thread when no thread could be created, so the job's window hears
    // of the failure the same way it hears of a failed exchange and its dialog can end: the
    // text jobs post the communication failure text with the failure flag (and WM_CLOSE where
    // their dialog ends on it), the result jobs post RESULT_COMM_ERROR.
    virtual void ReportStartFailure() {}

    void SignalFinished();
    const ManualResetEvent &StopEvent() const { return *m_hStopEvent; }

private:
    std::thread m_hThread;
    std::shared_ptr<ManualResetEvent> m_hStopEvent;
    std::shared_ptr<ManualResetEvent> m_hFinishedEvent;
    qint32 m_nPriority;
    quint32 m_nStackSize;
    // Set by the thread after the job's copy is gone; lets Stop join instead of letting go.
    std::shared_ptr<ManualResetEvent> m_pThreadEnded;
    int m_nJoinTimeoutMs = STOP_JOIN_TIMEOUT_MS;
    bool m_bThreadCreationFails = false;
};
