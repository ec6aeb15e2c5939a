#include "JobTestSupport.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"

#include <QTest>

#include <atomic>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class TestJob;

// What a test job does and what it saw; shared by the job and the copy its thread runs on.
struct Script
{
    std::function<int(TestJob &)> body;
    std::atomic<int> nRuns{0};
    std::atomic<int> nStartFailureReports{0};
    std::atomic<bool> bStopSeenAtStart{false};
    std::atomic<bool> bFinishedSeenAtStart{false};
    std::atomic<int> nNice{0};
    ManualResetEvent release;
    QString strSeenInput; // written by the thread, read after it has ended
};

class TestJob final : public CWorkerThread
{
public:
    explicit TestJob(std::shared_ptr<Script> pScript)
        : CWorkerThread(0, 0)
        , m_pScript(std::move(pScript))
    {}

    using CWorkerThread::SignalFinished;

    std::shared_ptr<Script> m_pScript;
    QString m_strInput;
    PostTarget m_hNotifyWnd;

protected:
    int Run() override
    {
        ++m_pScript->nRuns;
        m_pScript->bStopSeenAtStart = IsStopRequested();
        m_pScript->bFinishedSeenAtStart = IsFinishedSignalled();
        if (m_pScript->body)
            return m_pScript->body(*this);
        SignalFinished();
        return 0;
    }
    std::unique_ptr<CWorkerThread> CopyForThread() const override
    {
        return std::unique_ptr<CWorkerThread>(new TestJob(*this));
    }
    void ReportStartFailure() override { ++m_pScript->nStartFailureReports; }

private:
    TestJob(const TestJob &) = default;
};

bool WaitRuns(const Script &script, int nRuns)
{
    return WaitFor([&] { return script.nRuns >= nRuns; });
}

} // namespace

class TestWorkerThread final : public QObject
{
    Q_OBJECT

private slots:
    void stopOnAJobNeverStartedChangesNothing()
    {
        auto pScript = std::make_shared<Script>();
        TestJob job(pScript);
        QVERIFY(job.IsFinishedSignalled());
        QVERIFY(!job.IsStopRequested());

        QElapsedTimer elapsed;
        elapsed.start();
        job.Stop();
        QVERIFY(elapsed.elapsed() < 1000);
        QVERIFY(job.IsFinishedSignalled());
        QVERIFY(!job.IsStopRequested());
        QVERIFY(!job.IsThreadHeld());
        QCOMPARE(pScript->nRuns.load(), 0);
    }

    void threadEntryRunsTheJobOrAnswersMinusOneForNull()
    {
        auto pScript = std::make_shared<Script>();
        pScript->body = [](TestJob &job) {
            job.SignalFinished();
            return 7;
        };
        TestJob job(pScript);
        QCOMPARE(CWorkerThread::ThreadEntry(nullptr), 0xFFFFFFFFu);
        QCOMPARE(pScript->nRuns.load(), 0);
        QCOMPARE(CWorkerThread::ThreadEntry(&job), 7u);
        QCOMPARE(pScript->nRuns.load(), 1);
    }

    void secondStartWhileAHandleIsHeldStartsNothing()
    {
        auto pScript = std::make_shared<Script>();
        TestJob job(pScript);
        const CWorkerThread::ThreadHandle hFirst = job.Launch();
        QVERIFY(hFirst != CWorkerThread::ThreadHandle());
        QVERIFY(WaitRuns(*pScript, 1));
        QVERIFY(WaitNoLiveThreads()); // the first thread has ended, its handle is still held

        QCOMPARE(job.Launch(), hFirst);
        QCOMPARE(job.Start(2, 65536), hFirst);
        QThread::msleep(20);
        QCOMPARE(pScript->nRuns.load(), 1);
        QVERIFY(job.IsThreadHeld());

        job.Stop();
        QVERIFY(!job.IsThreadHeld());
    }

    void stopThenLaunchRunsAgainWithFreshEvents()
    {
        auto pScript = std::make_shared<Script>();
        TestJob job(pScript);
        QVERIFY(job.Launch() != CWorkerThread::ThreadHandle());
        QVERIFY(FinishAndJoin(job));
        QVERIFY(job.IsStopRequested()); // Stop signalled it
        QVERIFY(job.IsFinishedSignalled());

        QVERIFY(job.Launch() != CWorkerThread::ThreadHandle());
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(pScript->nRuns.load(), 2);
        QVERIFY(!pScript->bStopSeenAtStart);
        QVERIFY(!pScript->bFinishedSeenAtStart);
    }

    void requestStopReachesTheRunningThread()
    {
        auto pScript = std::make_shared<Script>();
        pScript->body = [](TestJob &job) {
            while (!job.IsStopRequested())
                QThread::msleep(1);
            job.SignalFinished();
            return 0;
        };
        TestJob job(pScript);
        job.Launch();
        QVERIFY(WaitRuns(*pScript, 1));
        job.RequestStop();
        QVERIFY(FinishAndJoin(job, 5000));
    }

    void priorityIsAppliedToTheThread()
    {
        if (getpriority(PRIO_PROCESS, 0) > 5)
            QSKIP("the test process already runs below the priority asked for");
        auto pScript = std::make_shared<Script>();
        pScript->body = [](TestJob &job) {
            job.m_pScript->nNice = getpriority(PRIO_PROCESS, id_t(gettid()));
            job.SignalFinished();
            return 0;
        };
        TestJob job(pScript);
        job.Start(-1, 0); // one step below normal
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(pScript->nNice.load(), 5);
    }

    // A thread that cannot be created leaves the job idle and is reported, never silent.
    void failedThreadCreationIsReportedAndLeavesTheJobIdle()
    {
        auto pScript = std::make_shared<Script>();
        TestJob job(pScript);
        job.SetThreadCreationFailsForTests(true);
        QCOMPARE(job.Launch(), CWorkerThread::ThreadHandle());
        QCOMPARE(pScript->nStartFailureReports.load(), 1);
        QCOMPARE(pScript->nRuns.load(), 0);
        QVERIFY(!job.IsThreadHeld());
        QVERIFY(job.IsFinishedSignalled());
        job.Stop();

        job.SetThreadCreationFailsForTests(false);
        QVERIFY(job.Launch() != CWorkerThread::ThreadHandle());
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(pScript->nRuns.load(), 1);
    }

    // Stop gives up after the join time; the late thread then outlives its job, the job's
    // inputs and its window, and must touch none of the freed objects.
    void lateThreadOutlivesItsJobAndWindowSafely()
    {
        auto pScript = std::make_shared<Script>();
        pScript->body = [](TestJob &job) {
            job.m_pScript->release.Wait(30000); // ignores the stop request
            job.m_pScript->strSeenInput = job.m_strInput;
            job.m_hNotifyWnd.Post(0x0401, TextPost{QStringLiteral("late")});
            job.SignalFinished();
            return 0;
        };
        auto pJob = std::make_unique<TestJob>(pScript);
        auto pWindow = std::make_unique<Receiver>();
        pJob->m_strInput = QStringLiteral("input");
        pJob->m_hNotifyWnd = pWindow->m_receiver.Target();
        pJob->SetJoinTimeoutMs(150);
        pJob->Launch();
        QVERIFY(WaitRuns(*pScript, 1));

        QElapsedTimer elapsed;
        elapsed.start();
        pJob->Stop();
        QVERIFY(elapsed.elapsed() >= 140);
        QVERIFY(elapsed.elapsed() < 5000);
        QVERIFY(!pJob->IsThreadHeld());
        QCOMPARE(CWorkerThread::LiveThreadCount(), 1);

        pJob.reset();
        pWindow.reset();
        // What the program's exit waits on, before it frees the link: bounded, and true only
        // once the late thread has ended.
        QVERIFY(!CWorkerThread::WaitForNoLiveThreads(50));
        pScript->release.Set();
        QVERIFY(CWorkerThread::WaitForNoLiveThreads(10000));
        QCOMPARE(CWorkerThread::LiveThreadCount(), 0);
        QCOMPARE(pScript->strSeenInput, QStringLiteral("input"));
    }

    void destroyingAJobWithoutStopLetsItsThreadEnd()
    {
        auto pScript = std::make_shared<Script>();
        pScript->body = [](TestJob &job) {
            job.m_pScript->release.Wait(30000);
            job.SignalFinished();
            return 0;
        };
        auto pJob = std::make_unique<TestJob>(pScript);
        pJob->Launch();
        QVERIFY(WaitRuns(*pScript, 1));
        pJob.reset();
        pScript->release.Set();
        QVERIFY(WaitNoLiveThreads());
    }
};

QTEST_GUILESS_MAIN(TestWorkerThread)
#include "tst_CWorkerThread.moc"
