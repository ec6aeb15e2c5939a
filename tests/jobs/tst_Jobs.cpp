#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CJobDelFiles.h"
#include "jobs/CJobGetFile.h"
#include "jobs/CJobInitDevice.h"
#include "jobs/CJobUpdateCF.h"
#include "jobs/CJobUploadFile.h"
#include "jobs/JobMessages.h"
#include "JobTestSupport.h"
#include "protocol/ProtocolCodes.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"

#include <QTest>

using namespace StringId;
using Request = InterceptingTransport::Request;

namespace {

const QString NAME_A = QStringLiteral("a.dat");
const QString NAME_B = QStringLiteral("b.dat");
const QString NAME_C = QStringLiteral("c.dat");
const int SIZE_A = 70000; // three download blocks

QMap<QString, QByteArray> ThreeFiles()
{
    return {{NAME_A, TestFiles::Pattern(SIZE_A)}, {NAME_B, TestFiles::Pattern(10)}, {NAME_C, QByteArray()}};
}

// A job's text line as the tests log it: "text|failure flag".
QString Line(quint32 nId, bool bFailure = false, const QString &strName = QString())
{
    static const TestTexts texts;
    return FillTextPlaceholder(texts.Text(nId), strName) + (bFailure ? "|1" : "|0");
}

QStringList JobTexts(const PostLog &log)
{
    QStringList texts;
    for (const PostLog::Entry &post : log.Of(WM_JOB_MESSAGE))
        if (const JobTextPost *pText = post.Get<JobTextPost>())
            texts << pText->strText + (pText->bFailure ? "|1" : "|0");
    return texts;
}

// Every post but the last was made before the job signalled finished; the last one after.
bool OnlyLastAfterFinished(const QList<PostLog::Entry> &posts)
{
    for (qsizetype i = 0; i < posts.size(); ++i)
        if (posts[i].bAfterFinished != (i == posts.size() - 1))
            return false;
    return !posts.isEmpty();
}

QList<quint32> MessagesOf(const QList<PostLog::Entry> &posts)
{
    QList<quint32> messages;
    for (const PostLog::Entry &post : posts)
        if (post.nMessage != WM_JOB_PROGRESS)
            messages.append(post.nMessage);
    return messages;
}

// Sends the job's posts (to both its windows) into the log, runs it and joins it.
template <class Job> bool Run(Job &job, PostLog &log)
{
    job.m_hNotifyWnd = log.Target([&job] { return job.IsFinishedSignalled(); });
    if constexpr (requires { job.m_hDataWnd; })
        job.m_hDataWnd = job.m_hNotifyWnd;
    job.Launch();
    return FinishAndJoin(job);
}

// Makes the job stop itself when it sends the request nCode.
void StopOn(FakeRecorder &recorder, CWorkerThread &job, quint16 nCode)
{
    recorder.Wire().beforeWrite = [&job, nCode](const Request &request) {
        if (request.nCode == nCode)
            job.RequestStop();
        return true;
    };
}

} // namespace

class TestJobs final : public QObject
{
    Q_OBJECT

    TestTexts m_texts;

private slots:
    void initTestCase() { SetActiveTextSource(&m_texts); }
    void cleanupTestCase() { SetActiveTextSource(nullptr); }
    void cleanup() { QVERIFY(WaitNoLiveThreads()); }

    void connectReadsInformationAndListThenCloses()
    {
        FakeRecorder recorder(ThreeFiles());
        CJobInitDevice job(&recorder.protocol);
        QVERIFY(Run(job, recorder.posts));

        const QList<PostLog::Entry> posts = recorder.posts.Posts();
        QCOMPARE(MessagesOf(posts), (QList<quint32>{WM_JOB_MESSAGE, WM_REC_DEVICE_INFO, WM_JOB_MESSAGE,
                                                    WM_REC_CARD_INFO, WM_JOB_MESSAGE, WM_REC_FILE_ENTRY,
                                                    WM_REC_FILE_ENTRY, WM_REC_FILE_ENTRY, WM_CLOSE}));
        QCOMPARE(JobTexts(recorder.posts),
                 (QStringList{Line(IDS_RECEIVING_DEVICE_INFO), Line(IDS_RECEIVING_CF_INFO),
                              Line(IDS_RECEIVING_FILES_LIST)}));
        QCOMPARE(posts[1].Get<TextPost>()->strText, recorder.pEmulator->DeviceInfoText());
        QCOMPARE(posts[3].Get<TextPost>()->strText, recorder.pEmulator->CardInfoText());
        QCOMPARE(posts[7].Get<FileEntryPost>()->nIndex, quint32(2));
        QVERIFY(OnlyLastAfterFinished(posts));
    }

    // Stops seen by the job's own checks end it quietly with WM_CLOSE; a stop seen inside the
    // file list ends it with "aborted" and without WM_CLOSE. A recorder gone at any step ends
    // it with the failure and without WM_CLOSE.
    void connectStoppedOrCutOffAtEachStep_data()
    {
        QTest::addColumn<quint16>("nOn");
        QTest::addColumn<bool>("bGone");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("nEntries");
        QTest::addColumn<bool>("bClosed");
        const QString strDevice = Line(IDS_RECEIVING_DEVICE_INFO);
        const QString strCard = Line(IDS_RECEIVING_CF_INFO);
        const QString strList = Line(IDS_RECEIVING_FILES_LIST);
        const QString strFailed = Line(IDS_COMM_FAILED, true);
        QTest::newRow("stop during device information")
            << CMD_GET_DEVICE_INFO << false << QStringList{strDevice} << 0 << true;
        QTest::newRow("stop during card information")
            << CMD_GET_CARD_INFO << false << QStringList{strDevice, strCard} << 0 << true;
        QTest::newRow("stop during the file list")
            << CMD_LIST_FILES << false
            << QStringList{strDevice, strCard, strList, Line(IDS_COMM_ABORTED, true)} << 1 << false;
        QTest::newRow("gone at device information")
            << CMD_GET_DEVICE_INFO << true << QStringList{strDevice, strFailed} << 0 << false;
        QTest::newRow("gone at card information")
            << CMD_GET_CARD_INFO << true << QStringList{strDevice, strCard, strFailed} << 0 << false;
        QTest::newRow("gone at the file list")
            << CMD_LIST_FILES << true << QStringList{strDevice, strCard, strList, strFailed} << 0 << false;
    }
    void connectStoppedOrCutOffAtEachStep()
    {
        QFETCH(quint16, nOn);
        QFETCH(bool, bGone);
        QFETCH(QStringList, texts);
        QFETCH(int, nEntries);
        QFETCH(bool, bClosed);

        FakeRecorder recorder(ThreeFiles());
        CJobInitDevice job(&recorder.protocol);
        if (bGone)
            recorder.Wire().UnplugAfter(nOn);
        else
            StopOn(recorder, job, nOn);
        QVERIFY(Run(job, recorder.posts));

        const PostLog &log = recorder.posts;
        QCOMPARE(JobTexts(log), texts);
        QCOMPARE(log.Of(WM_REC_FILE_ENTRY).size(), nEntries);
        QCOMPARE(log.Of(WM_CLOSE).size(), bClosed ? 1 : 0);
        if (bClosed)
            QVERIFY(log.Of(WM_CLOSE).first().bAfterFinished);
        QVERIFY(!log.Of(WM_JOB_MESSAGE).last().bAfterFinished);
        // The read under way when the stop came still delivered its report.
        QCOMPARE(log.Of(WM_REC_DEVICE_INFO).size(), bGone && nOn == CMD_GET_DEVICE_INFO ? 0 : 1);
    }

    void downloadReceivesEveryFileInOrder()
    {
        FakeRecorder recorder(ThreeFiles());
        CJobGetFile job(&recorder.protocol);
        job.m_fileNames = QStringList{NAME_A, NAME_C, NAME_B};
        job.m_strDestFolder = recorder.OutDir() + QLatin1Char('/');
        QVERIFY(Run(job, recorder.posts));

        const PostLog &log = recorder.posts;
        QCOMPARE(MessagesOf(log.Posts()), (QList<quint32>{WM_JOB_RUN, WM_JOB_FILE, WM_JOB_RUN, WM_JOB_FILE,
                                                          WM_JOB_RUN, WM_JOB_FILE, WM_CLOSE}));
        QCOMPARE(log.Of(WM_JOB_FILE)[1].Get<TextPost>()->strText, NAME_C);
        QCOMPARE(log.Of(WM_JOB_RUN)[1].Get<RunProgressPost>()->nFile, quint32(2));
        QCOMPARE(log.Of(WM_JOB_RUN)[1].Get<RunProgressPost>()->nFiles, quint32(3));
        QVERIFY(OnlyLastAfterFinished(log.Posts()));
        QCOMPARE(log.Progress().last().first, quint32(10));
        QCOMPARE(TestFiles::Listing(recorder.OutDir()), (QStringList{NAME_A, NAME_B, NAME_C}));
        QCOMPARE(TestFiles::Read(recorder.OutPath(NAME_A)), TestFiles::Pattern(SIZE_A));
        QCOMPARE(TestFiles::Read(recorder.OutPath(NAME_B)), TestFiles::Pattern(10));
        QCOMPARE(TestFiles::Read(recorder.OutPath(NAME_C)), QByteArray());
    }

    // The first failure is posted with the failure flag and ends the job: the other names are
    // not attempted, and WM_CLOSE follows the finished signal. A stop between two files ends
    // it quietly.
    void downloadFailureOrStopEndsTheJob_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("host write error") << "host" << QStringList{Line(IDS_HOST_IO_ERROR, true)};
        QTest::newRow("device stopped") << "stopped" << QStringList{Line(IDS_DEVICE_STOPPED, true)};
        QTest::newRow("link lost") << "gone" << QStringList{Line(IDS_COMM_FAILED, true)};
        QTest::newRow("cancel inside a transfer") << "cancel" << QStringList{Line(IDS_USER_ABORTED, true)};
        QTest::newRow("stop between files") << "between" << QStringList();
    }
    void downloadFailureOrStopEndsTheJob()
    {
        QFETCH(QString, strFault);
        QFETCH(QStringList, texts);
        FakeRecorder recorder(ThreeFiles());
        CJobGetFile job(&recorder.protocol);
        recorder.Faults().nStopDownloadAfter = strFault == "stopped" ? 1 : -1;
        if (strFault == "gone")
            recorder.Wire().UnplugAfter(CMD_GET_FILE);
        if (strFault == "cancel")
            StopOn(recorder, job, CMD_GET_FILE);
        if (strFault == "between") // the last block of the one-block file was acknowledged
            StopOn(recorder, job, CMD_ACK);
        // The small file first, so a stop between files comes after it.
        job.m_fileNames = strFault == "between" ? QStringList{NAME_B, NAME_A} : QStringList{NAME_A, NAME_B};
        job.m_strDestFolder = recorder.OutPath(strFault == "host" ? "missing/" : "");
        QVERIFY(Run(job, recorder.posts));

        const QList<PostLog::Entry> posts = recorder.posts.Posts();
        QCOMPARE(JobTexts(recorder.posts), texts);
        QCOMPARE(MessagesOf(posts),
                 texts.isEmpty() ? (QList<quint32>{WM_JOB_RUN, WM_JOB_FILE, WM_CLOSE})
                                 : (QList<quint32>{WM_JOB_RUN, WM_JOB_FILE, WM_JOB_MESSAGE, WM_CLOSE}));
        QVERIFY(OnlyLastAfterFinished(posts));
        QCOMPARE(recorder.Wire().CountWritten(CMD_GET_FILE), strFault == "host" ? 0 : 1);
        QCOMPARE(TestFiles::Listing(recorder.OutDir()),
                 strFault == "between" ? QStringList{NAME_B} : QStringList());
    }

    void emptyListsEndAtOnce()
    {
        FakeRecorder recorder(ThreeFiles());
        CJobGetFile get(&recorder.protocol);
        QVERIFY(Run(get, recorder.posts));
        QCOMPARE(MessagesOf(recorder.posts.Posts()), QList<quint32>{WM_CLOSE});
        QVERIFY(recorder.posts.Posts().first().bAfterFinished);

        recorder.posts.Clear();
        CJobDelFiles del(&recorder.protocol);
        QVERIFY(Run(del, recorder.posts));
        QCOMPARE(MessagesOf(recorder.posts.Posts()), (QList<quint32>{WM_JOB_MESSAGE, WM_CLOSE}));
        QCOMPARE(JobTexts(recorder.posts), QStringList{Line(IDS_OPERATION_COMPLETED)});
        QVERIFY(recorder.Wire().WrittenCodes().isEmpty());
    }

    // A refused file is listed and the job goes on; a stop ends it between two deletions (the
    // one under way completes); a lost link ends it without "completed". "Completed" comes
    // after the finished signal, the per-file lines before it.
    void deleteRefusedStoppedOrCutOff_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("left");
        const QString strA = Line(IDS_FILE_DELETED, false, NAME_A);
        const QString strDone = Line(IDS_OPERATION_COMPLETED);
        QTest::newRow("refused") << "refused"
                                 << QStringList{strA, Line(IDS_FILE_NOT_DELETED, false, NAME_B),
                                                Line(IDS_FILE_DELETED, false, NAME_C), strDone}
                                 << QStringList{NAME_B};
        QTest::newRow("stopped") << "stopped" << QStringList{strA, strDone} << QStringList{NAME_B, NAME_C};
        QTest::newRow("link lost") << "gone" << QStringList{strA, Line(IDS_COMM_FAILED, true)}
                                   << QStringList{NAME_B, NAME_C};
    }
    void deleteRefusedStoppedOrCutOff()
    {
        QFETCH(QString, strFault);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, left);
        FakeRecorder recorder(ThreeFiles());
        CJobDelFiles job(&recorder.protocol);
        if (strFault == "refused")
            recorder.Faults().refuseDelete.append(NAME_B);
        if (strFault == "stopped")
            StopOn(recorder, job, CMD_DELETE_FILE);
        if (strFault == "gone")
            recorder.Wire().beforeWrite = [&recorder](const Request &request) {
                if (request.nCode == CMD_DELETE_FILE && request.strName == NAME_B)
                    recorder.Wire().Unplug();
                return !recorder.Wire().IsGone();
            };
        job.m_fileNames = QStringList{NAME_A, NAME_B, NAME_C};
        QVERIFY(Run(job, recorder.posts));

        QCOMPARE(JobTexts(recorder.posts), texts);
        for (const PostLog::Entry &post : recorder.posts.Posts()) {
            const JobTextPost *pText = post.Get<JobTextPost>();
            QCOMPARE(post.bAfterFinished,
                     post.nMessage == WM_CLOSE || (pText && pText->strText + "|0" == texts.last()));
        }
        QCOMPARE(recorder.posts.Posts().last().nMessage, WM_CLOSE);
        QCOMPARE(recorder.CardFiles(), left);
    }

    void updateDataPostsItsResultBeforeFinishing_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<int>("nResult");
        QTest::newRow("saved") << "" << int(RESULT_OK);
        QTest::newRow("no card") << "nocard" << int(RESULT_NO_CARD);
        QTest::newRow("link lost") << "gone" << int(RESULT_COMM_ERROR);
    }
    void updateDataPostsItsResultBeforeFinishing()
    {
        QFETCH(QString, strFault);
        QFETCH(int, nResult);
        FakeRecorder recorder;
        recorder.Faults().bNoCard = strFault == "nocard";
        if (strFault == "gone")
            recorder.Wire().UnplugAfter(CMD_SAVE_ARCHIVE);
        CJobUpdateCF job(&recorder.protocol);
        QVERIFY(Run(job, recorder.posts));
        const QList<PostLog::Entry> posts = recorder.posts.Posts();
        QCOMPARE(posts.size(), 1);
        QCOMPARE(posts[0].nMessage, WM_JOB_MESSAGE);
        QCOMPARE(int(posts[0].Get<JobResultPost>()->result.Code()), nResult);
        QCOMPARE(posts[0].Get<JobResultPost>()->nSource, JOB_RESULT_FROM_UPDATE_CF);
        QVERIFY(!posts[0].bAfterFinished);
    }

    // The upload dialog's way: a refusal because the file exists, then the same job once more
    // with the overwrite flag.
    void uploadAgainWithOverwriteAfterFileExists()
    {
        FakeRecorder recorder(ThreeFiles());
        QVERIFY(TestFiles::Write(recorder.OutPath(NAME_A), TestFiles::Pattern(70000, 2)));
        CJobUploadFile job(&recorder.protocol);
        job.m_strFilePath = recorder.OutPath(NAME_A);
        QVERIFY(Run(job, recorder.posts));
        job.m_bOverwrite = true;
        QVERIFY(Run(job, recorder.posts));

        const QList<PostLog::Entry> results = recorder.posts.Of(WM_JOB_MESSAGE);
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].Get<JobResultPost>()->result.Code(), RESULT_FILE_EXISTS);
        QCOMPARE(results[1].Get<JobResultPost>()->result.Code(), RESULT_OK);
        QCOMPARE(results[1].Get<JobResultPost>()->nSource, JOB_RESULT_FROM_UPLOAD);
        QVERIFY(!results[0].bAfterFinished && !results[1].bAfterFinished);
        QCOMPARE(recorder.CardFile(NAME_A), TestFiles::Pattern(70000, 2));
    }

    void uploadCancelledDuringTheTransfer()
    {
        FakeRecorder recorder;
        QVERIFY(TestFiles::Write(recorder.OutPath("new.img"), TestFiles::Pattern(100000)));
        CJobUploadFile job(&recorder.protocol);
        StopOn(recorder, job, CMD_PUT_BLOCK);
        job.m_strFilePath = recorder.OutPath("new.img");
        QVERIFY(Run(job, recorder.posts));
        QCOMPARE(recorder.posts.Of(WM_JOB_MESSAGE).size(), 1);
        QCOMPARE(recorder.posts.Of(WM_JOB_MESSAGE).first().Get<JobResultPost>()->result.Code(),
                 RESULT_CANCELLED);
        QVERIFY(recorder.CardFiles().isEmpty());
    }

    // A job whose thread cannot be created posts what its dialog needs to end.
    void jobsReportAThreadThatCannotBeCreated()
    {
        FakeRecorder recorder;
        PostLog &log = recorder.posts;
        const auto failToStart = [&log](auto &&job) {
            log.Clear();
            job.m_hNotifyWnd = log.Target();
            job.SetThreadCreationFailsForTests(true);
            const bool bStarted = job.Launch() != CWorkerThread::ThreadHandle();
            const bool bFinished = job.IsFinishedSignalled();
            job.Stop();
            return !bStarted && bFinished;
        };
        const auto checkTexts = [&log](const QList<quint32> &messages) {
            QCOMPARE(JobTexts(log), QStringList{Line(IDS_COMM_FAILED, true)});
            QCOMPARE(MessagesOf(log.Posts()), messages);
        };
        const auto checkResult = [&log](int nSource) {
            QCOMPARE(log.Posts().size(), 1);
            QCOMPARE(log.Posts()[0].Get<JobResultPost>()->result.Code(), RESULT_COMM_ERROR);
            QCOMPARE(log.Posts()[0].Get<JobResultPost>()->nSource, nSource);
        };
        CJobGetFile get(&recorder.protocol);
        CJobDelFiles del(&recorder.protocol);
        get.m_fileNames = del.m_fileNames = QStringList{NAME_A};

        QVERIFY(failToStart(CJobInitDevice(&recorder.protocol)));
        checkTexts({WM_JOB_MESSAGE});
        QVERIFY(failToStart(get));
        checkTexts({WM_JOB_MESSAGE, WM_CLOSE});
        QVERIFY(failToStart(del));
        checkTexts({WM_JOB_MESSAGE, WM_CLOSE});
        QVERIFY(failToStart(CJobUpdateCF(&recorder.protocol)));
        checkResult(JOB_RESULT_FROM_UPDATE_CF);
        QVERIFY(failToStart(CJobUploadFile(&recorder.protocol)));
        checkResult(JOB_RESULT_FROM_UPLOAD);
        QVERIFY(recorder.Wire().WrittenCodes().isEmpty());
    }

    // A download stuck in the recorder outlives Stop, its dialog, its job and the caller's list
    // of names; when it moves on it must touch none of them. A job started meanwhile waits for
    // it instead of mixing its frames into the stuck exchange.
    void stuckDownloadOutlivesItsDialog()
    {
        FakeRecorder recorder(ThreeFiles());
        recorder.Wire().HoldAt(CMD_GET_FILE);
        auto pWindow = std::make_unique<Receiver>();
        auto pJob = std::make_unique<CJobGetFile>(&recorder.protocol);
        pJob->m_hNotifyWnd = pWindow->m_receiver.Target();
        pJob->m_fileNames = QStringList{NAME_A, NAME_B};
        pJob->m_strDestFolder = recorder.OutDir() + QLatin1Char('/');
        pJob->SetJoinTimeoutMs(100);
        pJob->Launch();
        QVERIFY(WaitFor([&recorder] { return recorder.Wire().IsHeld(); }));
        pJob->Stop();
        QVERIFY(!pJob->IsThreadHeld());
        pJob.reset();
        pWindow.reset();

        CJobDelFiles del(&recorder.protocol);
        del.m_fileNames = QStringList{NAME_A};
        del.m_hNotifyWnd = recorder.posts.Target([&del] { return del.IsFinishedSignalled(); });
        del.Launch();
        QThread::msleep(50);
        QCOMPARE(recorder.Wire().CountWritten(CMD_DELETE_FILE), 0);
        recorder.Wire().Release();
        QVERIFY(FinishAndJoin(del));
        QVERIFY(WaitNoLiveThreads());
        QCOMPARE(JobTexts(recorder.posts),
                 (QStringList{Line(IDS_FILE_DELETED, false, NAME_A), Line(IDS_OPERATION_COMPLETED)}));
    }

    void placeholderIsReplacedLiterally()
    {
        QCOMPARE(FillTextPlaceholder(QStringLiteral("File %s deleted"), QStringLiteral("%d%n%s.txt")),
                 QStringLiteral("File %d%n%s.txt deleted"));
        QCOMPARE(FillTextPlaceholder(QStringLiteral("no placeholder"), QStringLiteral("x")),
                 QStringLiteral("no placeholder"));
    }
};

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_Jobs.moc"
