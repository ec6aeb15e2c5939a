#include "core/TextSource.h"
#include "jobs/CJobDelFiles.h"
#include "jobs/CJobGetFile.h"
#include "jobs/CJobInitDevice.h"
#include "jobs/CJobUpdateCF.h"
#include "jobs/CJobUploadFile.h"
#include "jobs/JobMessages.h"
#include "JobTestSupport.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/ReportMessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

namespace {

const QString NAME_A = QStringLiteral("a.dat");
const QString NAME_B = QStringLiteral("b.dat");
const QString NAME_C = QStringLiteral("c.dat");
const int SIZE_A = 70000; // three download blocks

QByteArray Pattern(int nSize)
{
    QByteArray bytes(nSize, '\0');
    for (int i = 0; i < nSize; ++i)
        bytes[i] = char(i * 7 + 3);
    return bytes;
}

RecorderSetup CardWithThreeFiles()
{
    RecorderSetup state;
    state.files.insert(NAME_A, Pattern(SIZE_A));
    state.files.insert(NAME_B, Pattern(10));
    state.files.insert(NAME_C, QByteArray());
    return state;
}

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every post but the last was made before the job signalled finished; the last one after.
bool OnlyLastAfterFinished(const QList<LoggedPost> &posts)
{
    for (qsizetype i = 0; i < posts.size(); ++i) {
        if (posts[i].bAfterFinished != (i == posts.size() - 1))
            return false;
    }
    return !posts.isEmpty();
}

QList<quint32> MessagesOf(const QList<LoggedPost> &posts)
{
    QList<quint32> messages;
    for (const LoggedPost &post : posts) {
        if (post.nMessage != WM_JOB_PROGRESS)
            messages.append(post.nMessage);
    }
    return messages;
}

} // namespace

class TestJobs final : public QObject
{
    Q_OBJECT

    TestTextSource m_texts;

private slots:
    void initTestCase() { SetActiveTextSource(&m_texts); }
    void cleanupTestCase() { SetActiveTextSource(nullptr); }
    void cleanup() { QVERIFY(WaitNoLiveThreads()); }

    void connectReadsInformationAndListThenCloses()
    {
        RecorderRig rig(CardWithThreeFiles());
        PostLog log;
        CJobInitDevice job(&rig.protocol);
        job.m_hNotifyWnd = job.m_hDataWnd = log.Target(&job);
        job.Launch();
        QVERIFY(FinishAndJoin(job));

        const QList<LoggedPost> posts = log.Posts();
        QCOMPARE(MessagesOf(posts), (QList<quint32>{WM_JOB_MESSAGE, WM_REC_DEVICE_INFO, WM_JOB_MESSAGE,
                                                    WM_REC_CARD_INFO, WM_JOB_MESSAGE, WM_REC_FILE_ENTRY,
                                                    WM_REC_FILE_ENTRY, WM_REC_FILE_ENTRY, WM_CLOSE}));
        QCOMPARE(log.JobTexts(), (QStringList{"T167|0", "T170|0", "T169|0"}));
        QCOMPARE(posts[1].Get<TextPost>()->strText, QStringLiteral("Recorder 42"));
        QCOMPARE(posts[3].Get<TextPost>()->strText, QStringLiteral("Card 128 MB"));
        QCOMPARE(posts[7].Get<FileEntryPost>()->nIndex, quint32(2));
        QVERIFY(OnlyLastAfterFinished(posts));
    }

    // Stops seen by the job's own checks end it quietly with WM_CLOSE; a stop seen inside the
    // file list ends it with "aborted" and without WM_CLOSE.
    void connectStopAtEachCheckPoint_data()
    {
        QTest::addColumn<quint16>("nStopOn");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("nEntries");
        QTest::addColumn<bool>("bClosed");
        QTest::newRow("during device information")
            << CMD_GET_DEVICE_INFO << QStringList{"T167|0"} << 0 << true;
        QTest::newRow("during card information")
            << CMD_GET_CARD_INFO << QStringList{"T167|0", "T170|0"} << 0 << true;
        QTest::newRow("during the file list")
            << CMD_LIST_FILES << QStringList{"T167|0", "T170|0", "T169|0", "T176|1"} << 1 << false;
    }
    void connectStopAtEachCheckPoint()
    {
        QFETCH(quint16, nStopOn);
        QFETCH(QStringList, texts);
        QFETCH(int, nEntries);
        QFETCH(bool, bClosed);

        CJobInitDevice *pJob = nullptr;
        RecorderSetup state = CardWithThreeFiles();
        state.onCommand = [&pJob, nStopOn](quint16 nCode, const QString &) {
            if (nCode == nStopOn)
                pJob->RequestStop();
        };
        RecorderRig rig(state);
        PostLog log;
        CJobInitDevice job(&rig.protocol);
        pJob = &job;
        job.m_hNotifyWnd = job.m_hDataWnd = log.Target(&job);
        job.Launch();
        QVERIFY(FinishAndJoin(job));

        QCOMPARE(log.JobTexts(), texts);
        QCOMPARE(log.Of(WM_REC_FILE_ENTRY).size(), nEntries);
        QCOMPARE(log.Of(WM_CLOSE).size(), bClosed ? 1 : 0);
        if (bClosed)
            QVERIFY(log.Of(WM_CLOSE).first().bAfterFinished);
        // The read under way when the stop came still delivered its report.
        QCOMPARE(log.Of(WM_REC_DEVICE_INFO).size(), 1);
    }

    void connectCommunicationFailure_data()
    {
        QTest::addColumn<quint16>("nGoneOn");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("device information") << CMD_GET_DEVICE_INFO << QStringList{"T167|0", "T165|1"};
        QTest::newRow("card information") << CMD_GET_CARD_INFO << QStringList{"T167|0", "T170|0", "T165|1"};
        QTest::newRow("file list") << CMD_LIST_FILES << QStringList{"T167|0", "T170|0", "T169|0", "T165|1"};
    }
    void connectCommunicationFailure()
    {
        QFETCH(quint16, nGoneOn);
        QFETCH(QStringList, texts);
        RecorderSetup state = CardWithThreeFiles();
        state.nGoneOnCommand = nGoneOn;
        RecorderRig rig(state);
        PostLog log;
        CJobInitDevice job(&rig.protocol);
        job.m_hNotifyWnd = job.m_hDataWnd = log.Target(&job);
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(log.JobTexts(), texts);
        QVERIFY(log.Of(WM_CLOSE).isEmpty());
        QVERIFY(!log.Of(WM_JOB_MESSAGE).last().bAfterFinished);
    }

    void downloadReceivesEveryFileInOrder()
    {
        QTemporaryDir dir;
        RecorderRig rig(CardWithThreeFiles());
        PostLog log;
        QStringList names{NAME_A, NAME_C, NAME_B};
        CJobGetFile job(&rig.protocol);
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.m_strDestFolder = dir.path() + QLatin1Char('/');
        job.Launch();
        names.clear(); // the job works on the names it was launched with
        QVERIFY(FinishAndJoin(job));

        const QList<LoggedPost> posts = log.Posts();
        QCOMPARE(MessagesOf(posts), (QList<quint32>{WM_JOB_FILE, WM_JOB_FILE, WM_JOB_FILE, WM_CLOSE}));
        QCOMPARE(log.Of(WM_JOB_FILE)[1].Get<TextPost>()->strText, NAME_C);
        QVERIFY(OnlyLastAfterFinished(posts));
        QCOMPARE(log.Of(WM_JOB_PROGRESS).last().Get<ProgressPost>()->nSoFar, quint32(10));
        QCOMPARE(ReadAll(dir.filePath(NAME_A)), Pattern(SIZE_A));
        QCOMPARE(ReadAll(dir.filePath(NAME_B)), Pattern(10));
        QCOMPARE(ReadAll(dir.filePath(NAME_C)), QByteArray());
    }

    // The first failure is posted with the failure flag and ends the job: the other names are
    // not attempted, and WM_CLOSE follows the finished signal.
    void downloadFailureEndsTheJob_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<QString>("strText");
        QTest::newRow("host write error") << "host"
                                          << "T179|1";
        QTest::newRow("device stopped") << "stopped"
                                        << "T180|1";
        QTest::newRow("link lost") << "gone"
                                   << "T165|1";
        QTest::newRow("cancel inside a transfer") << "cancel"
                                                  << "T181|1";
    }
    void downloadFailureEndsTheJob()
    {
        QFETCH(QString, strFault);
        QFETCH(QString, strText);
        QTemporaryDir dir;
        CJobGetFile *pJob = nullptr;
        RecorderSetup state = CardWithThreeFiles();
        if (strFault == QLatin1String("stopped"))
            state.faults.nStopDownloadAfter = 1;
        if (strFault == QLatin1String("gone"))
            state.nGoneOnCommand = CMD_GET_FILE;
        if (strFault == QLatin1String("cancel"))
            state.onCommand = [&pJob](quint16 nCode, const QString &) {
                if (nCode == CMD_GET_FILE)
                    pJob->RequestStop();
            };
        RecorderRig rig(state);
        PostLog log;
        const QStringList names{NAME_A, NAME_B};
        CJobGetFile job(&rig.protocol);
        pJob = &job;
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.m_strDestFolder = strFault == QLatin1String("host") ? dir.filePath("missing/") : dir.path() + "/";
        job.Launch();
        QVERIFY(FinishAndJoin(job));

        QCOMPARE(MessagesOf(log.Posts()), (QList<quint32>{WM_JOB_FILE, WM_JOB_MESSAGE, WM_CLOSE}));
        QCOMPARE(log.JobTexts(), QStringList{strText});
        QVERIFY(OnlyLastAfterFinished(log.Posts()));
        QCOMPARE(rig.pTransport->WrittenCodes().count(CMD_GET_FILE), strFault == "host" ? 0 : 1);
        QVERIFY(!QFile::exists(dir.filePath(NAME_A)));
    }

    void downloadStopBetweenFilesIsQuiet()
    {
        QTemporaryDir dir;
        CJobGetFile *pJob = nullptr;
        RecorderSetup state = CardWithThreeFiles();
        state.onCommand = [&pJob](quint16 nCode, const QString &) {
            if (nCode == CMD_ACK) // the last block of the one-block file was acknowledged
                pJob->RequestStop();
        };
        RecorderRig rig(state);
        PostLog log;
        const QStringList names{NAME_B, NAME_A};
        CJobGetFile job(&rig.protocol);
        pJob = &job;
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.m_strDestFolder = dir.path() + "/";
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(MessagesOf(log.Posts()), (QList<quint32>{WM_JOB_FILE, WM_CLOSE}));
        QCOMPARE(ReadAll(dir.filePath(NAME_B)), Pattern(10));
        QVERIFY(!QFile::exists(dir.filePath(NAME_A)));
    }

    void emptyListsEndAtOnce()
    {
        RecorderRig rig(CardWithThreeFiles());
        const QStringList empty;
        PostLog getLog;
        CJobGetFile get(&rig.protocol);
        get.m_hNotifyWnd = getLog.Target(&get);
        get.m_fileNames = empty;
        get.Launch();
        QVERIFY(FinishAndJoin(get));
        QCOMPARE(MessagesOf(getLog.Posts()), QList<quint32>{WM_CLOSE});
        QVERIFY(getLog.Posts().first().bAfterFinished);

        PostLog delLog;
        CJobDelFiles del(&rig.protocol); // no list at all counts as an empty one
        del.m_hNotifyWnd = delLog.Target(&del);
        del.Launch();
        QVERIFY(FinishAndJoin(del));
        QCOMPARE(MessagesOf(delLog.Posts()), (QList<quint32>{WM_JOB_MESSAGE, WM_CLOSE}));
        QCOMPARE(delLog.JobTexts(), QStringList{"T182|0"});
        QVERIFY(rig.pTransport->WrittenCodes().isEmpty());
    }

    void deleteListsARefusedFileAndGoesOn()
    {
        RecorderSetup state = CardWithThreeFiles();
        state.faults.refuseDelete.append(NAME_B);
        RecorderRig rig(state);
        PostLog log;
        const QStringList names{NAME_A, NAME_B, NAME_C};
        CJobDelFiles job(&rig.protocol);
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.Launch();
        QVERIFY(FinishAndJoin(job));

        QCOMPARE(log.JobTexts(), (QStringList{"T175 a.dat|0", "T174 b.dat|0", "T175 c.dat|0", "T182|0"}));
        const QList<LoggedPost> posts = log.Posts();
        QCOMPARE(posts.size(), 5);
        QVERIFY(!posts[2].bAfterFinished);
        QVERIFY(posts[3].bAfterFinished); // "completed" comes after the finished signal
        QCOMPARE(posts[4].nMessage, WM_CLOSE);
        QCOMPARE(rig.CardFiles(), QStringList{NAME_B});
    }

    void deleteStopsBetweenTwoDeletions()
    {
        CJobDelFiles *pJob = nullptr;
        RecorderSetup state = CardWithThreeFiles();
        state.onCommand = [&pJob](quint16 nCode, const QString &) {
            if (nCode == CMD_DELETE_FILE) // the deletion under way still completes
                pJob->RequestStop();
        };
        RecorderRig rig(state);
        PostLog log;
        const QStringList names{NAME_A, NAME_B, NAME_C};
        CJobDelFiles job(&rig.protocol);
        pJob = &job;
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(log.JobTexts(), (QStringList{"T175 a.dat|0", "T182|0"}));
        QCOMPARE(log.Posts().last().nMessage, WM_CLOSE);
        QCOMPARE(rig.CardFiles(), (QStringList{NAME_B, NAME_C}));
    }

    void deleteCommunicationFailureEndsWithoutCompletion()
    {
        HookedTransport *pTransport = nullptr;
        RecorderSetup state = CardWithThreeFiles();
        state.onCommand = [&pTransport](quint16 nCode, const QString &strName) {
            if (nCode == CMD_DELETE_FILE && strName == NAME_B)
                pTransport->SetGone();
        };
        RecorderRig rig(state);
        pTransport = rig.pTransport;
        PostLog log;
        const QStringList names{NAME_A, NAME_B, NAME_C};
        CJobDelFiles job(&rig.protocol);
        job.m_hNotifyWnd = log.Target(&job);
        job.m_fileNames = names;
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(log.JobTexts(), (QStringList{"T175 a.dat|0", "T165|1"}));
        QVERIFY(OnlyLastAfterFinished(log.Posts()));
        QCOMPARE(log.Posts().last().nMessage, WM_CLOSE);
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
        RecorderSetup state;
        state.faults.bNoCard = strFault == QLatin1String("nocard");
        if (strFault == QLatin1String("gone"))
            state.nGoneOnCommand = CMD_SAVE_ARCHIVE;
        RecorderRig rig(state);
        PostLog log;
        CJobUpdateCF job(&rig.protocol);
        job.m_hNotifyWnd = log.Target(&job);
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        const QList<LoggedPost> posts = log.Posts();
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
        QTemporaryDir dir;
        const QString strPath = dir.filePath(NAME_A);
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Pattern(70000));
        file.close();

        RecorderRig rig(CardWithThreeFiles());
        PostLog log;
        CJobUploadFile job(&rig.protocol);
        job.m_hNotifyWnd = log.Target(&job);
        job.m_strFilePath = strPath;
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        job.m_bOverwrite = true;
        job.Launch();
        QVERIFY(FinishAndJoin(job));

        const QList<LoggedPost> results = log.Of(WM_JOB_MESSAGE);
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].Get<JobResultPost>()->result.Code(), RESULT_FILE_EXISTS);
        QCOMPARE(results[1].Get<JobResultPost>()->result.Code(), RESULT_OK);
        QCOMPARE(results[1].Get<JobResultPost>()->nSource, JOB_RESULT_FROM_UPLOAD);
        QVERIFY(!results[0].bAfterFinished && !results[1].bAfterFinished);
        QCOMPARE(rig.CardFile(NAME_A), Pattern(70000));
    }

    void uploadCancelledDuringTheTransfer()
    {
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("new.img"));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Pattern(100000));
        file.close();

        CJobUploadFile *pJob = nullptr;
        RecorderSetup state;
        state.onCommand = [&pJob](quint16 nCode, const QString &) {
            if (nCode == CMD_PUT_BLOCK)
                pJob->RequestStop();
        };
        RecorderRig rig(state);
        PostLog log;
        CJobUploadFile job(&rig.protocol);
        pJob = &job;
        job.m_hNotifyWnd = log.Target(&job);
        job.m_strFilePath = strPath;
        job.Launch();
        QVERIFY(FinishAndJoin(job));
        QCOMPARE(log.Of(WM_JOB_MESSAGE).size(), 1);
        QCOMPARE(log.Of(WM_JOB_MESSAGE).first().Get<JobResultPost>()->result.Code(), RESULT_CANCELLED);
        QVERIFY(!rig.CardFiles().contains(QStringLiteral("new.img")));
    }

    // A job whose thread cannot be created posts what its dialog needs to end.
    void jobsReportAThreadThatCannotBeCreated()
    {
        RecorderRig rig;
        const QStringList names{NAME_A};
        PostLog initLog, getLog, delLog, updateLog, uploadLog;
        CJobInitDevice init(&rig.protocol);
        CJobGetFile get(&rig.protocol);
        CJobDelFiles del(&rig.protocol);
        CJobUpdateCF update(&rig.protocol);
        CJobUploadFile upload(&rig.protocol);
        init.m_hNotifyWnd = initLog.Target(&init);
        get.m_hNotifyWnd = getLog.Target(&get);
        get.m_fileNames = names;
        del.m_hNotifyWnd = delLog.Target(&del);
        del.m_fileNames = names;
        update.m_hNotifyWnd = updateLog.Target(&update);
        upload.m_hNotifyWnd = uploadLog.Target(&upload);
        for (CWorkerThread *pJob :
             std::initializer_list<CWorkerThread *>{&init, &get, &del, &update, &upload}) {
            pJob->SetThreadCreationFailsForTests(true);
            QCOMPARE(pJob->Launch(), CWorkerThread::ThreadHandle());
            QVERIFY(pJob->IsFinishedSignalled());
            pJob->Stop();
        }
        QCOMPARE(initLog.JobTexts(), QStringList{"T165|1"});
        QCOMPARE(MessagesOf(initLog.Posts()), QList<quint32>{WM_JOB_MESSAGE});
        QCOMPARE(getLog.JobTexts(), QStringList{"T165|1"});
        QCOMPARE(MessagesOf(getLog.Posts()), (QList<quint32>{WM_JOB_MESSAGE, WM_CLOSE}));
        QCOMPARE(delLog.JobTexts(), QStringList{"T165|1"});
        QCOMPARE(MessagesOf(delLog.Posts()), (QList<quint32>{WM_JOB_MESSAGE, WM_CLOSE}));
        QCOMPARE(updateLog.Posts().size(), 1);
        QCOMPARE(updateLog.Posts()[0].Get<JobResultPost>()->result.Code(), RESULT_COMM_ERROR);
        QCOMPARE(updateLog.Posts()[0].Get<JobResultPost>()->nSource, JOB_RESULT_FROM_UPDATE_CF);
        QCOMPARE(uploadLog.Posts().size(), 1);
        QCOMPARE(uploadLog.Posts()[0].Get<JobResultPost>()->result.Code(), RESULT_COMM_ERROR);
        QCOMPARE(uploadLog.Posts()[0].Get<JobResultPost>()->nSource, JOB_RESULT_FROM_UPLOAD);
        QVERIFY(rig.pTransport->WrittenCodes().isEmpty());
    }

    // A download stuck in the recorder outlives Stop, its dialog, its job and the caller's list
    // of names; when it moves on it must touch none of them. A job started meanwhile waits for
    // it instead of mixing its frames into the stuck exchange.
    void stuckDownloadOutlivesItsDialog()
    {
        QTemporaryDir dir;
        ManualResetEvent requested, release;
        std::atomic<bool> bInterleaved{false};
        RecorderSetup state = CardWithThreeFiles();
        state.onCommand = [&](quint16 nCode, const QString &) {
            if (nCode == CMD_GET_FILE) {
                requested.Set();
                release.Wait(30000);
            } else if (nCode == CMD_DELETE_FILE && !release.IsSet()) {
                bInterleaved = true;
            }
        };
        RecorderRig rig(state);
        auto pWindow = std::make_unique<Receiver>();
        auto pNames = std::make_unique<QStringList>(QStringList{NAME_A, NAME_B});
        auto pJob = std::make_unique<CJobGetFile>(&rig.protocol);
        pJob->m_hNotifyWnd = pWindow->m_receiver.Target();
        pJob->m_fileNames = *pNames;
        pJob->m_strDestFolder = dir.path() + "/";
        pJob->SetJoinTimeoutMs(100);
        pJob->Launch();
        QVERIFY(requested.Wait(10000));
        pJob->Stop();
        QVERIFY(!pJob->IsThreadHeld());

        pJob.reset();
        pNames.reset();
        pWindow.reset();

        PostLog log;
        const QStringList names{NAME_A};
        CJobDelFiles del(&rig.protocol);
        del.m_hNotifyWnd = log.Target(&del);
        del.m_fileNames = names;
        del.Launch();
        QThread::msleep(50);
        release.Set();
        QVERIFY(FinishAndJoin(del));
        QVERIFY(WaitNoLiveThreads());
        QVERIFY(!bInterleaved);
        QCOMPARE(log.JobTexts(), (QStringList{"T175 a.dat|0", "T182|0"}));
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
