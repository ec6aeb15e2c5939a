// The emulator itself: how it frames, misbehaves on request, stores uploads, and serves TCP.

#include "link/TcpTransport.h"
#include "link/TransportRegistry.h"
#include "sim/SampleCard.h"
#include "sim/SimServer.h"
#include "sim/SimTransport.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"

#include <QTest>

#include <thread>

namespace {

QByteArray RequestFrame(quint16 nCode, const QByteArray &payload = {})
{
    return InterceptingTransport::FrameBytes(nCode, payload);
}

void Feed(RecorderEmulator &emulator, const QByteArray &bytes)
{
    emulator.HostWrite(reinterpret_cast<const quint8 *>(bytes.constData()), bytes.size());
}

QByteArray Drain(RecorderEmulator &emulator, QList<qsizetype> *pReads = nullptr)
{
    QByteArray bytes;
    quint8 buffer[4096];
    while (emulator.Available() > 0) {
        const qsizetype n = emulator.HostRead(buffer, sizeof buffer);
        if (pReads)
            pReads->append(n);
        bytes.append(reinterpret_cast<const char *>(buffer), n);
    }
    return bytes;
}

quint16 CodeAt(const QByteArray &bytes, qsizetype nOffset)
{
    return quint16(quint8(bytes[nOffset + 8]) | (quint8(bytes[nOffset + 9]) << 8));
}

} // namespace

class tst_RecorderEmulator final : public QObject
{
    Q_OBJECT

private slots:
    void hostFramesAreAssembledFromAnySplit()
    {
        QTemporaryDir dir;
        RecorderEmulator emulator(dir.path());
        // A stray block without magic is skipped; the request after it arrives byte by byte.
        Feed(emulator, QByteArray(1024, char(0x11)));
        const QByteArray request = RequestFrame(CMD_GET_DEVICE_INFO);
        for (char ch : request)
            Feed(emulator, QByteArray(1, ch));
        QCOMPARE(emulator.ReceivedCodes(), QList<quint16>{CMD_GET_DEVICE_INFO});
        const QByteArray reply = Drain(emulator);
        QCOMPARE(reply.size(), 1024);
        QCOMPARE(CodeAt(reply, 0), RSP_OK);
        // Unknown requests are refused rather than left unanswered.
        Feed(emulator, RequestFrame(0x45FF));
        QCOMPARE(CodeAt(Drain(emulator), 0), RSP_REFUSED);
        // Transfer control outside a transfer is ignored.
        Feed(emulator, RequestFrame(CMD_ACK));
        Feed(emulator, RequestFrame(CMD_ABORT));
        QCOMPARE(emulator.Available(), 0);
    }

    void splitAndGarbageFaultsShapeTheReplies()
    {
        QTemporaryDir dir;
        EmulatorFaults faults;
        faults.bSplitReplies = true;
        faults.bGarbageBeforeReply = true;
        RecorderEmulator emulator(dir.path(), faults);
        Feed(emulator, RequestFrame(CMD_GET_DEVICE_INFO));
        QList<qsizetype> reads;
        const QByteArray bytes = Drain(emulator, &reads);
        QCOMPARE(reads, (QList<qsizetype>{300, 724, 300, 724, 300, 724}));
        QCOMPARE(bytes.size(), 3 * 1024);
        Frame first;
        std::memcpy(first.Data(), bytes.constData(), 1024);
        QVERIFY(first.Magic() != Frame::FRAME_MAGIC);
        Frame second;
        std::memcpy(second.Data(), bytes.constData() + 1024, 1024);
        QCOMPARE(second.Magic(), Frame::FRAME_MAGIC);
        QVERIFY(!second.IsValid());
        Frame reply;
        std::memcpy(reply.Data(), bytes.constData() + 2048, 1024);
        QVERIFY(reply.IsValid());
    }

    void hostStillTalksThroughGarbageAndSplits()
    {
        FakeRecorder h;
        h.Faults().bGarbageBeforeReply = true;
        h.Faults().bSplitReplies = true;
        const QByteArray data = TestFiles::Pattern(70000);
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), data));
        QVERIFY(h.protocol.GetCardInfo(h.target));
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
        QCOMPARE(h.posts.Of(WM_REC_FILE_ENTRY).size(), 1);
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, QStringLiteral("A.DAT"), h.OutDir()), int(RESULT_OK));
        QCOMPARE(TestFiles::Read(h.OutPath(QStringLiteral("A.DAT"))), data);
        QVERIFY(TestFiles::Write(h.OutPath(QStringLiteral("B.DAT")), data.left(40000)));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, h.OutPath(QStringLiteral("B.DAT")), false),
                 int(RESULT_OK));
        QCOMPARE(TestFiles::Read(h.CardPath(QStringLiteral("B.DAT"))), data.left(40000));
    }

    void delayedReplyFallsDueLater()
    {
        QTemporaryDir dir;
        EmulatorFaults faults;
        faults.nSaveArchiveDelayMs = 150;
        RecorderEmulator emulator(dir.path(), faults);
        const auto before = RecorderEmulator::Clock::now();
        Feed(emulator, RequestFrame(CMD_SAVE_ARCHIVE));
        QCOMPARE(emulator.Available(), 0);
        QVERIFY(emulator.NextDue().has_value());
        QVERIFY(*emulator.NextDue() >= before + std::chrono::milliseconds(150));
        std::this_thread::sleep_until(*emulator.NextDue());
        QCOMPARE(CodeAt(Drain(emulator), 0), RSP_OK);
        QVERIFY(!emulator.NextDue().has_value());
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/ARCH0001.DAT")));

        // A new request drops a reply the host gave up waiting for.
        Feed(emulator, RequestFrame(CMD_SAVE_ARCHIVE));
        Feed(emulator, RequestFrame(CMD_GET_DEVICE_INFO));
        QVERIFY(!emulator.NextDue().has_value());
        QCOMPARE(Drain(emulator).size(), 1024);
    }

    void lateReplyComesAheadOfTheNextAnswer()
    {
        QTemporaryDir dir;
        EmulatorFaults faults;
        QString strError;
        QVERIFY2(faults.SetOption(QStringLiteral("late-reply-ms"), QStringLiteral("150"), &strError),
                 qPrintable(strError));
        RecorderEmulator emulator(dir.path(), faults);
        const auto before = RecorderEmulator::Clock::now();
        Feed(emulator, RequestFrame(CMD_GET_DEVICE_INFO));
        QCOMPARE(emulator.Available(), 0);
        QVERIFY(emulator.NextDue() >= before + std::chrono::milliseconds(150));
        // Unlike a slow save, the answer is on its way: the next request does not take it back,
        // and its own answer comes after it, as on a stream. Only the one request was late.
        Feed(emulator, RequestFrame(CMD_GET_CARD_INFO));
        QCOMPARE(emulator.Available(), 0);
        std::this_thread::sleep_until(*emulator.NextDue());
        Feed(emulator, RequestFrame(CMD_LIST_FILES));
        const QByteArray bytes = Drain(emulator);
        QCOMPARE(bytes.size(), 3 * 1024);
        QCOMPARE(
            LittleEndian::Utf16Text(reinterpret_cast<const quint8 *>(bytes.constData()) + Frame::HEADER_SIZE,
                                    1024 - Frame::HEADER_SIZE),
            emulator.DeviceInfoText());
        QCOMPARE(LittleEndian::Utf16Text(reinterpret_cast<const quint8 *>(bytes.constData()) + 1024 +
                                             CARD_INFO_TEXT_OFFSET,
                                         1024 - CARD_INFO_TEXT_OFFSET),
                 emulator.CardInfoText());
        QVERIFY(!emulator.NextDue().has_value());
        QCOMPARE(emulator.Faults().nLateReplyMs, 0);
    }

    void uploadIsStoredUnderATemporaryNameUntilComplete()
    {
        FakeRecorder h;
        const QByteArray data = TestFiles::Pattern(BLOCK_MAX_DATA + 100, 3);
        QVERIFY(TestFiles::Write(h.OutPath(QStringLiteral("SYSTEM.IMG")), data));
        bool bChecked = false;
        // After the first block the card holds only the hidden partial file, and lists nothing.
        const PostTarget target = PostTarget::ForFunction([&](PostedMessage &&message) {
            const ProgressPost *pProgress = message.Get<ProgressPost>();
            if (!pProgress || pProgress->nSoFar != BLOCK_MAX_DATA)
                return;
            QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{QStringLiteral(".upload-SYSTEM.IMG")});
            QVERIFY(h.pEmulator->Card().Entries().isEmpty());
            QCOMPARE(QFileInfo(h.CardPath(QStringLiteral(".upload-SYSTEM.IMG"))).size(),
                     qint64(BLOCK_MAX_DATA));
            bChecked = true;
        });
        QCOMPARE(h.protocol.PutFile(h.stop, target, h.OutPath(QStringLiteral("SYSTEM.IMG")), false),
                 int(RESULT_OK));
        QVERIFY(bChecked);
        QCOMPARE(TestFiles::Listing(h.CardDir()), QStringList{QStringLiteral("SYSTEM.IMG")});
        QCOMPARE(TestFiles::Read(h.CardPath(QStringLiteral("SYSTEM.IMG"))), data);
    }

    void abortedOrBadUploadLeavesTheOldFile()
    {
        QTemporaryDir dir;
        RecorderEmulator emulator(dir.path());
        QVERIFY(TestFiles::Write(dir.path() + QStringLiteral("/A.DAT"), "old"));
        RecorderFileEntry entry;
        entry.SetAttributes(1);
        entry.SetSizeLow(5000);
        entry.SetName(QStringLiteral("A.DAT"));
        const QByteArray announce(reinterpret_cast<const char *>(entry.Bytes()), RecorderFileEntry::SIZE);
        const auto block = [](quint32 nTotal, quint32 nPosition, quint32 nCount) {
            QByteArray payload(12 + 1000, 'z');
            for (int i = 0; i < 4; ++i) {
                payload[i] = char(nTotal >> (8 * i));
                payload[4 + i] = char(nPosition >> (8 * i));
                payload[8 + i] = char(nCount >> (8 * i));
            }
            return RequestFrame(CMD_PUT_BLOCK, payload);
        };

        // CMD_ABORT mid-upload: one frame back, partial file gone.
        Feed(emulator, RequestFrame(CMD_PUT_FILE, announce));
        QCOMPARE(CodeAt(Drain(emulator), 0), RSP_OK);
        Feed(emulator, block(5000, 0, 1000));
        QCOMPARE(CodeAt(Drain(emulator), 0), CMD_ACK);
        Feed(emulator, RequestFrame(CMD_ABORT));
        QCOMPARE(Drain(emulator).size(), 1024);
        // CMD_SOURCE_ERROR: no answer, partial file gone.
        Feed(emulator, RequestFrame(CMD_PUT_FILE, announce));
        Drain(emulator);
        Feed(emulator, RequestFrame(CMD_SOURCE_ERROR));
        QCOMPARE(emulator.Available(), 0);
        // Blocks out of order, beyond the announced size, or counting past their frame: aborted.
        for (const QByteArray &bad :
             {block(5000, 1000, 1000), block(5000, 0, 6000), block(5000, 0, 2000), block(4000, 0, 1000)}) {
            Feed(emulator, RequestFrame(CMD_PUT_FILE, announce));
            Drain(emulator);
            Feed(emulator, bad);
            QCOMPARE(CodeAt(Drain(emulator), 0), CMD_ABORT);
        }
        // A block outside an upload is refused too, so the host does not wait for nothing.
        Feed(emulator, block(5000, 0, 1000));
        QCOMPARE(CodeAt(Drain(emulator), 0), CMD_ABORT);
        QCOMPARE(TestFiles::Listing(dir.path()), QStringList{QStringLiteral("A.DAT")});
        QCOMPARE(TestFiles::Read(dir.path() + QStringLiteral("/A.DAT")), QByteArray("old"));
    }

    void uploadAnnouncementsAreCheckedInOrder()
    {
        FakeRecorder h;
        QVERIFY(TestFiles::Write(h.OutPath(QStringLiteral("A.DAT")), QByteArray(3000, 'a')));
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "old"));
        const QString strLocal = h.OutPath(QStringLiteral("A.DAT"));
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, false), int(RESULT_FILE_EXISTS));
        h.Faults().bCardFull = true;
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, true), int(RESULT_CARD_FULL));
        h.Faults().bRefuseUpload = true;
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, true), int(RESULT_DEVICE_STOPPED));
        h.Faults().bNoCard = true;
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, true), int(RESULT_NO_CARD));
        h.Faults() = EmulatorFaults();
        // Free space counts against the nominal capacity; replacing a file frees its own size.
        h.pEmulator->Card().SetCapacity(2000);
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, true), int(RESULT_CARD_FULL));
        h.pEmulator->Card().SetCapacity(3000);
        QCOMPARE(h.protocol.PutFile(h.stop, h.target, strLocal, true), int(RESULT_OK));
        QCOMPARE(h.pEmulator->Card().FreeBytes(), 0u);
        QCOMPARE(h.Wire().CountWritten(CMD_PUT_BLOCK), 1);
    }

    void unsafeNamesFromTheHostNeverLeaveTheCard()
    {
        QTemporaryDir root;
        const QString strCard = root.path() + QStringLiteral("/card");
        QVERIFY(QDir().mkpath(strCard + QStringLiteral("/sub")));
        QVERIFY(TestFiles::Write(root.path() + QStringLiteral("/OUTSIDE.DAT"), "outside"));
        QVERIFY(TestFiles::Write(strCard + QStringLiteral("/sub/INNER.DAT"), "inner"));
        QVERIFY(
            QFile::link(root.path() + QStringLiteral("/OUTSIDE.DAT"), strCard + QStringLiteral("/LINK.DAT")));
        RecorderEmulator emulator(strCard);
        // Only regular files are on the card: no folder, no link.
        QVERIFY(emulator.Card().Entries().isEmpty());

        const QStringList names = {"../OUTSIDE.DAT",
                                   "..\\OUTSIDE.DAT",
                                   "sub/INNER.DAT",
                                   "sub",
                                   "LINK.DAT",
                                   "..",
                                   ".",
                                   "",
                                   ".upload-X",
                                   root.path() + QStringLiteral("/OUTSIDE.DAT")};
        for (const QString &strName : names) {
            QByteArray name;
            for (const QChar ch : strName) {
                name.append(char(ch.unicode() & 0xFF));
                name.append(char(ch.unicode() >> 8));
            }
            name.append(2, char(0));
            Feed(emulator, RequestFrame(CMD_GET_FILE, name));
            QCOMPARE(CodeAt(Drain(emulator), 0), RSP_REFUSED);
            Feed(emulator, RequestFrame(CMD_DELETE_FILE, name));
            QCOMPARE(CodeAt(Drain(emulator), 0), RSP_REFUSED);
            RecorderFileEntry entry;
            entry.SetAttributes(1);
            entry.SetSizeLow(3);
            entry.SetName(strName);
            Feed(emulator,
                 RequestFrame(CMD_PUT_FILE, QByteArray(reinterpret_cast<const char *>(entry.Bytes()),
                                                       RecorderFileEntry::SIZE)));
            QVERIFY2(CodeAt(Drain(emulator), 0) == RSP_REFUSED, qPrintable(strName));
        }
        // A name without its terminator inside the frame is no name at all.
        Feed(emulator, RequestFrame(CMD_GET_FILE, QByteArray(Frame::MAX_PAYLOAD, 'A')));
        QCOMPARE(CodeAt(Drain(emulator), 0), RSP_REFUSED);
        QCOMPARE(TestFiles::Read(root.path() + QStringLiteral("/OUTSIDE.DAT")), QByteArray("outside"));
        QCOMPARE(TestFiles::Read(strCard + QStringLiteral("/sub/INNER.DAT")), QByteArray("inner"));
        QCOMPARE(TestFiles::Listing(root.path()), QStringList{QStringLiteral("OUTSIDE.DAT")});
        QCOMPARE(TestFiles::Listing(strCard), QStringList{QStringLiteral("LINK.DAT")});
    }

    void linkNameCarriesFaultOptions()
    {
        QTemporaryDir dir;
        QString strError;
        auto pTransport = SimTransport::FromArgument(
            dir.path() + QStringLiteral("?split,stop-download-after=2&stop-code=abort,refuse-delete=*"),
            &strError);
        QVERIFY2(pTransport, qPrintable(strError));
        const EmulatorFaults &faults = pTransport->Emulator()->Faults();
        QVERIFY(faults.bSplitReplies);
        QCOMPARE(faults.nStopDownloadAfter, 2);
        QCOMPARE(faults.nStopDownloadCode, CMD_ABORT);
        QVERIFY(faults.RefusesDeletionOf(QStringLiteral("X")));
        QCOMPARE(pTransport->Emulator()->CardDir(), dir.path());

        for (const char *pBad :
             {"?bogus", "?stop-download-after=x", "?stop-code=maybe", "?silent=1", "?save-delay-ms"}) {
            strError.clear();
            QVERIFY(!SimTransport::FromArgument(dir.path() + QLatin1String(pBad), &strError));
            QVERIFY(!strError.isEmpty());
        }

        RegisterSimTransport();
        auto pCreated = TransportRegistry::Create(QStringLiteral("sim:") + dir.path(), &strError);
        QVERIFY(pCreated);
        LinkOpenFailure failure;
        QVERIFY(pCreated->Open(&failure));
        QVERIFY(!TransportRegistry::Create(QStringLiteral("sim:") + dir.path() + QStringLiteral("?nonsense"),
                                           &strError));
        // The reason reaches whoever names the link, not only the log.
        QVERIFY2(strError.contains(QLatin1String("nonsense")) && strError.contains(QLatin1String("fault")),
                 qPrintable(strError));
        // A missing card folder is said when opening.
        auto pMissing = TransportRegistry::Create(
            QStringLiteral("sim:") + dir.path() + QStringLiteral("/none"), &strError);
        QVERIFY(pMissing);
        QVERIFY(!pMissing->Open(&failure));
        QVERIFY(failure.EnglishText().contains(QLatin1String("does not exist")));
    }

    void sampleCardLooksLikeARecorderCard()
    {
        QTemporaryDir dir;
        const QString strCard = dir.path() + QStringLiteral("/new/card");
        QString strError;
        QVERIFY2(SampleCard::Make(strCard, &strError), qPrintable(strError));
        EmulatorCard card(strCard);
        const QList<RecorderFileEntry> entries = card.Entries();
        QStringList names;
        QSet<quint64> times;
        for (const RecorderFileEntry &entry : entries) {
            names.append(entry.Name());
            times.insert(entry.LastWriteTime());
            QVERIFY(entry.SizeLow() > 0);
        }
        QCOMPARE(names, (QStringList{"ARCH0001.DAT", "ARCH0002.DAT", "ARCH0003.DAT", "CONFIG.INI",
                                     "REPORT.CSV", "SYSTEM.IMG"}));
        QCOMPARE(times.size(), entries.size());
        QVERIFY(entries.at(0).SizeLow() > 100 * 1024 && entries.at(2).SizeLow() < 1024 * 1024);
        QVERIFY(entries.at(5).SizeLow() >= 1024 * 1024 && entries.at(5).SizeLow() <= 2 * 1024 * 1024);
        QVERIFY(TestFiles::Read(strCard + QStringLiteral("/CONFIG.INI")).startsWith("[Recorder]"));
        // The content is the same on every machine.
        QCOMPARE(SampleCard::ArchiveData(100, 0, 9), SampleCard::ArchiveData(100, 0, 9));
        QVERIFY(SampleCard::ArchiveData(100, 0, 9) != SampleCard::ArchiveData(100, 0, 8));
        // A folder that cannot be created is reported.
        QVERIFY(TestFiles::Write(dir.path() + QStringLiteral("/file"), "x"));
        QVERIFY(!SampleCard::Make(dir.path() + QStringLiteral("/file/card"), &strError));
    }

    void serverAnswersOverTcp()
    {
        QTemporaryDir dir;
        QVERIFY(TestFiles::Write(dir.path() + QStringLiteral("/A.DAT"), TestFiles::Pattern(50000)));
        EmulatorFaults faults;
        faults.bSplitReplies = true;
        RecorderEmulator emulator(dir.path(), faults);
        SimServer server(emulator);
        QString strError;
        QVERIFY2(server.Listen(QStringLiteral("127.0.0.1"), 0, &strError), qPrintable(strError));
        QVERIFY(server.Port() != 0);
        std::thread thread([&server] { server.Run(); });

        QTemporaryDir out;
        for (int nConnection = 0; nConnection < 2; ++nConnection) {
            RecorderLink link(std::make_unique<TcpTransport>(QStringLiteral("127.0.0.1"), server.Port()));
            link.SetTimeoutMs(2000);
            QVERIFY(link.Open());
            RecorderProtocol protocol(link);
            ManualResetEvent stop;
            QString strInfo;
            const PostTarget target = PostTarget::ForFunction([&](PostedMessage &&message) {
                if (message.nMessage == WM_REC_DEVICE_INFO)
                    strInfo = message.Get<TextPost>()->strText;
            });
            QVERIFY(protocol.GetDeviceInfo(target));
            QCOMPARE(strInfo, emulator.DeviceInfoText());
            QCOMPARE(protocol.GetFile(stop, target, QStringLiteral("A.DAT"), out.path() + QLatin1Char('/')),
                     int(RESULT_OK));
            QCOMPARE(TestFiles::Read(out.path() + QStringLiteral("/A.DAT")), TestFiles::Pattern(50000));
        }
        SimServer::RequestStop();
        thread.join();
    }
};

QTEST_GUILESS_MAIN(tst_RecorderEmulator)
#include "tst_RecorderEmulator.moc"
