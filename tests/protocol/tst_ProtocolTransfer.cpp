// Downloads and uploads against the emulator, and against scripted recorders that break the
// rules in ways the emulator never does.

#include "link/TcpTransport.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

using Progress = QList<QPair<quint32, quint32>>;

const QString NAME = QStringLiteral("ARCH0001.DAT");

// A file block reply of nFrameLength bytes that claims nCount data bytes.
QByteArray FileBlock(quint32 nTotal, quint32 nCount, quint32 nFrameLength)
{
    Frame frame;
    std::memset(frame.Data() + BLOCK_OFFSET_DATA, 'd', BLOCK_MAX_DATA);
    frame.SetU32(BLOCK_OFFSET_TOTAL, nTotal);
    frame.SetU32(BLOCK_OFFSET_COUNT, nCount);
    frame.Prepare(RSP_FILE_BLOCK, nFrameLength - Frame::HEADER_SIZE);
    return QByteArray(reinterpret_cast<const char *>(frame.Data()), frame.Length());
}

} // namespace

class tst_ProtocolTransfer final : public QObject
{
    Q_OBJECT

private slots:
    // Progress starts at zero and follows each block; the file replaces an older one.
    void downloadReportsProgressPerBlock_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::addColumn<Progress>("progress");
        QTest::newRow("empty") << 0 << Progress{{0, 0}, {0, 0}};
        QTest::newRow("three blocks")
            << 70000 << Progress{{0, 0}, {32744, 70000}, {65488, 70000}, {70000, 70000}};
    }
    void downloadReportsProgressPerBlock()
    {
        QFETCH(int, nSize);
        QFETCH(Progress, progress);
        FakeRecorder h;
        const QByteArray data = TestFiles::Pattern(nSize);
        QVERIFY(h.PutCardFile(NAME, data));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), "older and shorter"));
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir()), int(RESULT_OK));
        QCOMPARE(TestFiles::Read(h.OutPath(NAME)), data);
        QCOMPARE(h.posts.Progress(), progress);
        QCOMPARE(h.Wire().WrittenCodes(),
                 QList<quint16>{CMD_GET_FILE} + QList<quint16>(progress.size() - 1, CMD_ACK));
        QCOMPARE(TestFiles::Listing(h.OutDir()), QStringList{NAME});
    }

    // The recorder stops a download (RSP_OK or CMD_ABORT in place of a block, or a name the
    // card does not have): the blocks before were acknowledged, the old file stays.
    void downloadStoppedByTheRecorderKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("nAfter");
        QTest::addColumn<quint16>("nCode");
        QTest::newRow("RSP_OK in place of the first block") << 0 << RSP_OK;
        QTest::newRow("CMD_ABORT in place of the second") << 1 << CMD_ABORT;
        QTest::newRow("RSP_OK in place of the third") << 2 << RSP_OK;
        QTest::newRow("CMD_ABORT in place of the third") << 2 << CMD_ABORT;
        QTest::newRow("no such file") << -1 << RSP_OK;
    }
    void downloadStoppedByTheRecorderKeepsTheOldFile()
    {
        QFETCH(int, nAfter);
        QFETCH(quint16, nCode);
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, TestFiles::Pattern(100000)));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), "keep me"));
        h.Faults().nStopDownloadAfter = nAfter;
        h.Faults().nStopDownloadCode = nCode;
        QCOMPARE(
            h.protocol.GetFile(h.stop, h.target, nAfter < 0 ? QStringLiteral("NONE.DAT") : NAME, h.OutDir()),
            int(RESULT_DEVICE_STOPPED));
        QCOMPARE(h.Wire().CountWritten(CMD_ACK), qMax(nAfter, 0));
        QCOMPARE(h.posts.Progress().size(), qMax(nAfter, 0) + 1);
        QCOMPARE(TestFiles::Listing(h.OutDir()), QStringList{NAME});
        QCOMPARE(TestFiles::Read(h.OutPath(NAME)), QByteArray("keep me"));
    }

    void downloadCancelledOrCutOffKeepsTheOldFile()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, TestFiles::Pattern(100000)));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), "keep me"));
        // The stop comes while the second block is on its way: it is written, then CMD_ABORT.
        h.Wire().beforeRead = [&h](int nWrites) {
            if (nWrites == 2)
                h.stop.Set();
        };
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir()), int(RESULT_CANCELLED));
        QCOMPARE(h.Wire().WrittenCodes(), (QList<quint16>{CMD_GET_FILE, CMD_ACK, CMD_ABORT}));
        QCOMPARE(TestFiles::Read(h.OutPath(NAME)), QByteArray("keep me"));

        // The recorder falls silent after the first block.
        h.stop.Reset();
        h.Wire().beforeRead = [&h](int nWrites) {
            if (nWrites >= 2)
                h.Faults().bSilent = true;
        };
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir()), int(RESULT_COMM_ERROR));
        QCOMPARE(TestFiles::Listing(h.OutDir()), QStringList{NAME});
        QCOMPARE(TestFiles::Read(h.OutPath(NAME)), QByteArray("keep me"));
    }

    void downloadThatCannotBeRequestedLeavesNothing()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, "data"));
        h.Wire().beforeWrite = [](const InterceptingTransport::Request &request) {
            return request.nCode != CMD_GET_FILE;
        };
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir()), int(RESULT_COMM_ERROR));
        QVERIFY(TestFiles::Listing(h.OutDir()).isEmpty());
        // A destination folder that is not there: host I/O error before anything is sent.
        h.Wire().beforeWrite = nullptr;
        h.posts.Clear();
        h.Wire().ClearCounts();
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, NAME, h.OutPath(QStringLiteral("missing/"))),
                 int(RESULT_HOST_IO_ERROR));
        QVERIFY(h.Wire().WrittenCodes().isEmpty());
    }

    void downloadRefusesUnsafeRecorderNames()
    {
        FakeRecorder h;
        const QString strBeside = h.OutPath(QStringLiteral("../BESIDE.DAT"));
        for (const QString &strName :
             {QStringLiteral("../BESIDE.DAT"), QStringLiteral("..\\BESIDE.DAT"),
              QStringLiteral("sub/BESIDE.DAT"), QStringLiteral(".."), QStringLiteral("."), QStringLiteral(""),
              QStringLiteral("/etc/passwd")}) {
            QCOMPARE(h.protocol.GetFile(h.stop, h.target, strName, h.OutDir()), int(RESULT_HOST_IO_ERROR));
        }
        QVERIFY(h.Wire().WrittenCodes().isEmpty());
        QVERIFY(!QFile::exists(strBeside));
        QVERIFY(TestFiles::Listing(h.OutDir()).isEmpty());
    }

    void downloadOntoAFullDiskSaysWhyAndKeepsTheOldFile()
    {
        // A file size limit makes the disk "full" at 64 KB for this process.
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, TestFiles::Pattern(200000)));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), "keep me"));
        rlimit before{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
        rlimit limited = before;
        limited.rlim_cur = 64 * 1024;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const RecorderResult nResult = h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir());
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(nResult.Code(), RESULT_HOST_IO_ERROR);
        // The reason names the file and the system's cause, not "Unknown error".
        const QString strWhy = nResult.Detail();
        QVERIFY2(strWhy.contains(h.OutPath(NAME)), qPrintable(strWhy));
        QVERIFY2(strWhy.contains(QStringLiteral("File too large")), qPrintable(strWhy));
        QCOMPARE(h.Wire().WrittenCodes().last(), quint16(CMD_ABORT));
        QCOMPARE(TestFiles::Listing(h.OutDir()), QStringList{NAME});
        QCOMPARE(TestFiles::Read(h.OutPath(NAME)), QByteArray("keep me"));

        // The next transfer starts with a clean slate.
        const RecorderResult next = h.protocol.GetFile(h.stop, h.target, NAME, h.OutDir());
        QCOMPARE(next.Code(), RESULT_OK);
        QVERIFY(next.Detail().isEmpty());
    }

    void downloadOfBlocksThatDisagreeWithTheFirstTotalIsACommunicationFailure()
    {
        // The recorder hears the requests and says only what each case gives it.
        FakeRecorder h;
        h.Faults().bSilent = true;
        h.link.SetTimeoutMs(50);
        QVERIFY(TestFiles::Write(h.OutPath(QStringLiteral("X.DAT")), "keep me"));

        // Exactly as much as the frame holds is fine.
        h.Wire().Babble(FileBlock(1000, 1000, 1024));
        QCOMPARE(h.protocol.GetFile(h.stop, PostTarget(), QStringLiteral("Y.DAT"), h.OutDir()),
                 int(RESULT_OK));
        QCOMPARE(QFileInfo(h.OutPath(QStringLiteral("Y.DAT"))).size(), 1000);

        // One byte more than the frame, or a count far beyond the buffer: nothing read past the
        // frame. More bytes than the first block's total, or a later block that announces another
        // total (a shorter file, which would have ended the transfer early): the recorder is out of
        // step and the file it sent is not the card's.
        const QList<QByteArray> scripts = {
            FileBlock(5000, 1001, 1024),
            FileBlock(0xFFFFFFFF, 0xFFFFFFF0, 32768),
            FileBlock(5, 8, 1024),
            FileBlock(65536, 32744, 32768) + FileBlock(32744, 32744, 32768),
            FileBlock(65536, 32744, 32768) + FileBlock(70000, 32744, 32768),
            FileBlock(40000, 32744, 32768) + FileBlock(40000, 32744, 32768),
        };
        for (const QByteArray &script : scripts) {
            h.Wire().ClearCounts();
            h.Wire().Babble(script);
            QCOMPARE(h.protocol.GetFile(h.stop, PostTarget(), QStringLiteral("X.DAT"), h.OutDir()).Code(),
                     RESULT_COMM_ERROR);
            // The request, an acknowledgement per good block, then CMD_ABORT.
            const QList<quint16> written = h.Wire().WrittenCodes();
            QCOMPARE(written.size(), qMax<qsizetype>(1, script.size() / 32768) + 1);
            QCOMPARE(written.last(), CMD_ABORT);
            QCOMPARE(TestFiles::Read(h.OutPath(QStringLiteral("X.DAT"))), QByteArray("keep me"));
        }
        QCOMPARE(TestFiles::Listing(h.OutDir()), (QStringList{"X.DAT", "Y.DAT"}));
    }

    void downloadOfEmptyBlocksThatNeverEndFailsWithinTheTimeout()
    {
        FakeRecorder h;
        h.Faults().bSilent = true;
        h.link.SetTimeoutMs(100);
        // Every request and acknowledgement is answered, a millisecond later, by a block that
        // promises 1000 bytes and carries none.
        int nWrites = 0;
        h.Wire().beforeWrite = [&](const InterceptingTransport::Request &) {
            QThread::msleep(1);
            if (++nWrites < 3000)
                h.Wire().Babble(FileBlock(1000, 0, 1024));
            return true;
        };
        QCOMPARE(h.protocol.GetFile(h.stop, PostTarget(), NAME, h.OutDir()), int(RESULT_COMM_ERROR));
        QVERIFY2(nWrites < 1500, qPrintable(QString::number(nWrites)));
        QCOMPARE(h.Wire().WrittenCodes().last(), CMD_ABORT);
        QVERIFY(TestFiles::Listing(h.OutDir()).isEmpty());
    }

    // Only the name after the last folder is announced; every block is one whole frame.
    void uploadReportsProgressAndStoresTheFile_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::addColumn<Progress>("progress");
        QTest::addColumn<QList<qsizetype>>("frames");
        QTest::newRow("exactly one block")
            << int(BLOCK_MAX_DATA) << Progress{{0, 0}, {32744, 32744}} << QList<qsizetype>{32768};
        QTest::newRow("three blocks")
            << 70000 << Progress{{0, 0}, {32744, 70000}, {65488, 70000}, {70000, 70000}}
            << QList<qsizetype>{32768, 32768, 5120};
    }
    void uploadReportsProgressAndStoresTheFile()
    {
        QFETCH(int, nSize);
        QFETCH(Progress, progress);
        QFETCH(QList<qsizetype>, frames);
        FakeRecorder h;
        const QByteArray data = TestFiles::Pattern(nSize, 2);
        QVERIFY(QDir().mkpath(h.OutPath(QStringLiteral("deep/er"))));
        const QString strLocal = h.OutPath(QStringLiteral("deep/er/SYSTEM.IMG"));
        QVERIFY(TestFiles::Write(strLocal, data));
        QList<qsizetype> sent;
        h.Wire().beforeWrite = [&](const InterceptingTransport::Request &request) {
            if (request.nCode == CMD_PUT_BLOCK)
                sent.append(request.nLength);
            return true;
        };
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, false), int(RESULT_OK));
        QCOMPARE(h.posts.Progress(), progress);
        QCOMPARE(sent, frames);
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{QStringLiteral("SYSTEM.IMG")});
        QCOMPARE(TestFiles::Read(h.CardPath(QStringLiteral("SYSTEM.IMG"))), data);
    }

    void uploadNamesAreThePartAfterTheLastSeparatorOrRefused()
    {
        FakeRecorder h;
        // A name copied from the recorder's world keeps its backslashes on this disk; the card
        // would take them for folders.
        const QString strLocal = h.OutPath(QStringLiteral("C:\\DATA\\REPORT.CSV"));
        QVERIFY(TestFiles::Write(strLocal, "r"));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, false), int(RESULT_OK));
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{QStringLiteral("REPORT.CSV")});

        // 259 characters fit the recorder's record; a longer name would arrive cut short.
        QString strName;
        QCOMPARE(
            RecorderProtocol::UploadName(QStringLiteral("/x/") + QString(259, QLatin1Char('n')), &strName),
            int(RESULT_OK));
        QCOMPARE(strName.size(), 259);

        // Refused before anything is announced, even where the file is there to read.
        QVERIFY(TestFiles::Write(h.OutPath(QStringLiteral("TRAILING\\")), "t"));
        h.posts.Clear();
        h.Wire().ClearCounts();
        const QList<QPair<QString, LocalReason>> refused = {
            {QStringLiteral("TRAILING\\"), LocalReason::UnsafeName},
            {QStringLiteral("sub/.."), LocalReason::UnsafeName},
            {QStringLiteral("sub\\."), LocalReason::UnsafeName},
            {QString(260, QLatin1Char('n')), LocalReason::NameTooLong},
            {QStringLiteral("A") + QChar(0xD800) + QStringLiteral(".DAT"), LocalReason::NotEncodable},
        };
        for (const auto &[strRelative, reason] : refused) {
            const QString strPath = h.OutPath(strRelative);
            const RecorderResult result = h.protocol.PutFile(h.stop, h.target, strPath, true);
            QCOMPARE(result.Code(), RESULT_HOST_IO_ERROR);
            QVERIFY2(result.Reason() == reason,
                     qPrintable(strRelative + QStringLiteral(": ") + result.Detail()));
            QVERIFY(!result.Detail().isEmpty());
        }
        QVERIFY(h.Wire().WrittenCodes().isEmpty());
        QVERIFY(h.posts.Posts().isEmpty());
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{QStringLiteral("REPORT.CSV")});
    }

    void uploadOfAnEmptyFileIsASourceError()
    {
        FakeRecorder h;
        QVERIFY(TestFiles::Write(h.OutPath(NAME), QByteArray()));
        const RecorderResult result = h.protocol.PutFile(h.stop, h.target, h.OutPath(NAME), false);
        QCOMPARE(result.Code(), RESULT_HOST_IO_ERROR);
        QCOMPARE(h.Wire().WrittenCodes(), (QList<quint16>{CMD_PUT_FILE, CMD_SOURCE_ERROR}));
        QVERIFY2(result.Detail().contains(QStringLiteral("is empty")), qPrintable(result.Detail()));
        QCOMPARE(h.posts.Progress(), (Progress{{0, 0}}));
        QVERIFY(TestFiles::Listing(h.CardDir()).isEmpty());
        // The recorder expects no answer and is ready for the next request.
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
    }

    void uploadOverwritesOnlyWhenAsked()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, "on the card"));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), "from the host"));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutPath(NAME), false), int(RESULT_FILE_EXISTS));
        QCOMPARE(h.Wire().CountWritten(CMD_PUT_BLOCK), 0);
        QCOMPARE(TestFiles::Read(h.CardPath(NAME)), QByteArray("on the card"));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutPath(NAME), true), int(RESULT_OK));
        QCOMPARE(TestFiles::Read(h.CardPath(NAME)), QByteArray("from the host"));
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{NAME});
    }

    void uploadAbortedByTheRecorderStillReportsTheBlock()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(NAME, "on the card"));
        QVERIFY(TestFiles::Write(h.OutPath(NAME), TestFiles::Pattern(70000)));
        h.Faults().nAbortUploadAfter = 1;
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutPath(NAME), true), int(RESULT_DEVICE_STOPPED));
        QCOMPARE(h.posts.Progress(), (Progress{{0, 0}, {32744, 70000}, {65488, 70000}}));
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{NAME});
        QCOMPARE(TestFiles::Read(h.CardPath(NAME)), QByteArray("on the card"));
    }

    void uploadCancelledLeavesTheRecorderInStep()
    {
        FakeRecorder h;
        QVERIFY(TestFiles::Write(h.OutPath(NAME), TestFiles::Pattern(70000)));
        const PostTarget target = PostTarget::ForFunction([&h](PostedMessage &&message) {
            if (const ProgressPost *pProgress = message.Get<ProgressPost>();
                pProgress && pProgress->nSoFar == BLOCK_MAX_DATA)
                h.stop.Set();
        });
        QCOMPARE(h.protocol.PutFile(h.stop, target, h.OutPath(NAME), false), int(RESULT_CANCELLED));
        QCOMPARE(h.Wire().WrittenCodes(), (QList<quint16>{CMD_PUT_FILE, CMD_PUT_BLOCK, CMD_ABORT}));
        QVERIFY(TestFiles::Listing(h.CardDir()).isEmpty());
        // The answer to CMD_ABORT was read: the next exchange gets its own reply.
        h.stop.Reset();
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
        QCOMPARE(h.posts.Of(WM_REC_DEVICE_INFO).at(0).Get<TextPost>()->strText,
                 h.pEmulator->DeviceInfoText());
    }

    void uploadOfAMissingFileSendsNothing()
    {
        FakeRecorder h;
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutPath(QStringLiteral("NONE.DAT")), false),
                 int(RESULT_HOST_IO_ERROR));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutDir(), false), int(RESULT_HOST_IO_ERROR));
        QVERIFY(h.Wire().WrittenCodes().isEmpty());
        QVERIFY(h.posts.Posts().isEmpty());
    }

    void archiveSaveGivesUpAtOnceWhenTheLinkIsGone()
    {
        // A recorder on the network that takes the request and hangs up.
        FakeRecorder h;
        h.Wire().UnplugAfter(CMD_SAVE_ARCHIVE);
        const QString strLink = h.ServeTcp();
        QVERIFY(!strLink.isEmpty());
        RecorderLink link(
            std::make_unique<TcpTransport>(QStringLiteral("127.0.0.1"), strLink.section(':', 2).toUShort()));
        link.SetTimeoutMs(5000);
        QVERIFY(link.Open());
        RecorderProtocol protocol(link);
        protocol.SetSaveArchiveTimeoutMs(60000);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(protocol.SaveArchiveData(), int(RESULT_COMM_ERROR));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(link.IsGone());
    }

    void archiveSaveGivesUpAtOnceWhenTheLinkIsClosed()
    {
        FakeRecorder h;
        // The link is closed (device removed) while the save waits for its answer.
        h.Faults().nSaveArchiveDelayMs = 60000;
        h.Wire().beforeRead = [&h](int) { h.link.Close(); };
        h.protocol.SetSaveArchiveTimeoutMs(30000);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_COMM_ERROR));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(tst_ProtocolTransfer)
#include "tst_ProtocolTransfer.moc"
