// Identification, card information, file list, deletion and archive save against the emulator.

#include "support/FakeRecorder.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstring>

namespace {

const auto ReplyFrame = InterceptingTransport::FrameBytes;

} // namespace

class tst_ProtocolExchange final : public QObject
{
    Q_OBJECT

private slots:
    void identificationAndCardTextsArePostedAsSent()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), QByteArray(2048, 'a')));
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
        QVERIFY(h.protocol.GetCardInfo(h.target));
        QCOMPARE(h.posts.Of(WM_REC_DEVICE_INFO).size(), 1);
        QCOMPARE(h.posts.Of(WM_REC_DEVICE_INFO).at(0).Get<TextPost>()->strText,
                 h.pEmulator->DeviceInfoText());
        QVERIFY(h.pEmulator->DeviceInfoText().startsWith(QLatin1String("Paperless recorder")));
        const QString strCard = h.posts.Of(WM_REC_CARD_INFO).at(0).Get<TextPost>()->strText;
        QCOMPARE(strCard, h.pEmulator->CardInfoText());
        QVERIFY2(strCard.contains(QLatin1String("512 MB")) && strCard.contains(QLatin1String("1 files")),
                 qPrintable(strCard));

        // Texts that start with their terminator post empty strings; other characters survive.
        h.posts.Clear();
        h.Wire().ClearCounts();
        h.pEmulator->SetDeviceInfo(QString());
        h.pEmulator->SetCardInfo(QStringLiteral("Karte \u00e9\u4e2d 64 MB"));
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
        QVERIFY(h.protocol.GetCardInfo(h.target));
        QCOMPARE(h.posts.Of(WM_REC_DEVICE_INFO).at(0).Get<TextPost>()->strText, QString());
        QCOMPARE(h.posts.Of(WM_REC_CARD_INFO).at(0).Get<TextPost>()->strText,
                 QStringLiteral("Karte \u00e9\u4e2d 64 MB"));
    }

    void silentRecorderFailsTheExchangeAndPostsNothing()
    {
        FakeRecorder h;
        h.Faults().bSilent = true;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!h.protocol.GetDeviceInfo(h.target));
        QVERIFY(!h.protocol.GetCardInfo(h.target));
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_COMM_ERROR));
        QVERIFY(h.posts.Posts().isEmpty());
        QVERIFY(timer.elapsed() >= 3 * FakeRecorder::LINK_TIMEOUT_MS - 50);
        // Once it speaks again, the next exchange works.
        h.Faults().bSilent = false;
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
    }

    void emptyCardListsNothingAndAcknowledgesTheMarker()
    {
        FakeRecorder h;
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
        QVERIFY(h.posts.Of(WM_REC_FILE_ENTRY).isEmpty());
        QCOMPARE(h.Wire().WrittenCodes(), (QList<quint16>{CMD_LIST_FILES, CMD_ACK}));

        // A card without card is empty too.
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "a"));
        h.Faults().bNoCard = true;
        h.posts.Clear();
        h.Wire().ClearCounts();
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
        QVERIFY(h.posts.Of(WM_REC_FILE_ENTRY).isEmpty());
    }

    void threeFilesArePostedInOrderWithFourAcks()
    {
        FakeRecorder h;
        const QDateTime when(QDate(2009, 3, 7), QTime(14, 5, 9));
        QVERIFY(h.PutCardFile(QStringLiteral("REPORT.CSV"), QByteArray(70000, 'r'), when));
        QVERIFY(h.PutCardFile(QStringLiteral("ARCH0001.DAT"), QByteArray(), when.addDays(-1)));
        QVERIFY(h.PutCardFile(QStringLiteral("CONFIG.INI"), "x=1", when.addSecs(3600)));
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));

        const QList<PostLog::Entry> entries = h.posts.Of(WM_REC_FILE_ENTRY);
        QCOMPARE(entries.size(), 3);
        QStringList names;
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries.at(i).Get<FileEntryPost>()->nIndex, quint32(i));
            names.append(entries.at(i).Get<FileEntryPost>()->entry.Name());
        }
        QCOMPARE(names, (QStringList{"ARCH0001.DAT", "CONFIG.INI", "REPORT.CSV"}));
        const RecorderFileEntry &report = entries.at(2).Get<FileEntryPost>()->entry;
        QCOMPARE(report.SizeLow(), 70000u);
        // The recorder's clock is local time as it stands: the fields come back unchanged.
        const QDateTime shown = FileTime::ToDateTime(report.LastWriteTime());
        QCOMPARE(shown.date(), when.date());
        QCOMPARE(shown.time(), when.time());
        QCOMPARE(h.Wire().CountWritten(CMD_ACK), 4);
        QCOMPARE(h.Wire().CountWritten(CMD_ABORT), 0);
    }

    void hugeCardFilesAreListedByTheirLowSize()
    {
        FakeRecorder h;
        // Sparse files: no disk is used.
        for (const auto &[pName, nSize] :
             {std::pair{"ALLONES.DAT", qint64(0xFFFFFFFF)}, std::pair{"FIVEGIG.DAT", qint64(5) << 30}}) {
            QFile file(h.CardPath(QLatin1String(pName)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (!file.resize(nSize))
                QSKIP("no sparse files here");
        }
        h.pEmulator->Card().SetCapacity(quint64(16) << 30);
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
        const QList<PostLog::Entry> entries = h.posts.Of(WM_REC_FILE_ENTRY);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).Get<FileEntryPost>()->entry.SizeLow(), 4294967295u);
        QCOMPARE(entries.at(1).Get<FileEntryPost>()->entry.SizeLow(), 1u << 30);
        QCOMPARE(entries.at(1).Get<FileEntryPost>()->entry.SizeHigh(), 1u);
        // Its size does not fit the data blocks: the recorder refuses it instead of sending a
        // wrong total.
        QCOMPARE(h.protocol.GetFile(h.stop, h.target, QStringLiteral("FIVEGIG.DAT"), h.OutDir()),
                 int(RESULT_DEVICE_STOPPED));
        QVERIFY(TestFiles::Listing(h.OutDir()).isEmpty());
    }

    void replyCodesOfTextsAndEntriesAreNotExamined()
    {
        FakeRecorder h;
        QByteArray device(Frame::BLOCK_SIZE - Frame::HEADER_SIZE, '\0');
        device[0] = 'O';
        device[2] = 'K';
        // A text that runs to the end of the frame without its terminator stops there.
        QByteArray card(Frame::BLOCK_SIZE - Frame::HEADER_SIZE, '\0');
        for (quint32 i = CARD_INFO_TEXT_OFFSET; i < Frame::BLOCK_SIZE; i += 2)
            card[i - Frame::HEADER_SIZE] = 'c';
        h.Wire().lie = [&](quint16 nRequest, QByteArray &reply) {
            reply = nRequest == CMD_GET_DEVICE_INFO ? ReplyFrame(RSP_NO_CARD, device)
                                                    : ReplyFrame(RSP_FILE_BLOCK, card);
        };
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
        QVERIFY(h.protocol.GetCardInfo(h.target));
        QStringList texts;
        for (const PostLog::Entry &post : h.posts.Posts())
            texts.append(post.Get<TextPost>()->strText);
        QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QString(500, QLatin1Char('c'))}));
    }

    void stopBeforeTheListIsSeenAfterTheFirstReply()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "a"));
        QVERIFY(h.PutCardFile(QStringLiteral("B.DAT"), "b"));
        h.stop.Set();
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_CANCELLED));
        QCOMPARE(h.posts.Of(WM_REC_FILE_ENTRY).size(), 1);
        QCOMPARE(h.Wire().WrittenCodes(), (QList<quint16>{CMD_LIST_FILES, CMD_ABORT}));

        // The recorder is left idle: the next request is answered normally.
        h.stop.Reset();
        QVERIFY(h.protocol.GetDeviceInfo(h.target));
    }

    void stopDuringTheEndMarkerCancelsAfterEveryEntry()
    {
        FakeRecorder h({{"A.DAT", "data"}, {"B.DAT", "data"}, {"C.DAT", "data"}});
        // Writes: the request and three ACKs; the fifth read brings the marker.
        h.Wire().beforeRead = [&h](int nWrites) {
            if (nWrites == 4)
                h.stop.Set();
        };
        QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_CANCELLED));
        QCOMPARE(h.posts.Of(WM_REC_FILE_ENTRY).size(), 3);
        QCOMPARE(h.Wire().WrittenCodes(),
                 (QList<quint16>{CMD_LIST_FILES, CMD_ACK, CMD_ACK, CMD_ACK, CMD_ABORT}));
    }

    void listWithoutEndIsAbortedAfterTheLimit()
    {
        // The recorder hears everything and says nothing of its own; every request and
        // acknowledgement is answered by one more named entry, up to nEntries, then by the end
        // marker.
        FakeRecorder h;
        h.Faults().bSilent = true;
        quint32 nEntries = 0;
        quint32 nSent = 0;
        h.Wire().beforeWrite = [&](const InterceptingTransport::Request &) {
            if (nSent > nEntries)
                return true;
            RecorderFileEntry entry;
            if (nSent < nEntries)
                entry.SetName(QStringLiteral("F%1.DAT").arg(nSent));
            ++nSent;
            h.Wire().Babble(ReplyFrame(
                RSP_OK, QByteArray(reinterpret_cast<const char *>(entry.Bytes()), RecorderFileEntry::SIZE)));
            return true;
        };
        quintptr nPosted = 0;
        const PostTarget target = PostTarget::ForFunction([&](PostedMessage &&message) {
            QCOMPARE(quintptr(message.Get<FileEntryPost>()->nIndex), nPosted);
            ++nPosted;
        });

        // A FAT folder holds far fewer: a list of exactly the limit is still taken whole.
        nEntries = MAX_LIST_ENTRIES;
        QCOMPARE(h.protocol.ListFiles(h.stop, target), int(RESULT_OK));
        QCOMPARE(nPosted, quintptr(MAX_LIST_ENTRIES));
        QCOMPARE(h.Wire().WrittenCodes().last(), CMD_ACK);

        // One more is a recorder that has lost its end marker: aborted, not posted, and said so.
        nEntries = MAX_LIST_ENTRIES + 1;
        nSent = 0;
        nPosted = 0;
        const RecorderResult result = h.protocol.ListFiles(h.stop, target);
        QCOMPARE(result.Code(), RESULT_COMM_ERROR);
        QVERIFY2(result.Detail().contains(QStringLiteral("200000")), qPrintable(result.Detail()));
        QCOMPARE(nPosted, quintptr(MAX_LIST_ENTRIES));
        QCOMPARE(h.Wire().WrittenCodes().last(), CMD_ABORT);
    }

    void deletionRemovesTheFileOrReportsNotDeleted()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "a"));
        QVERIFY(h.PutCardFile(QStringLiteral("KEEP.DAT"), "k"));
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("A.DAT")), int(RESULT_OK));
        QVERIFY(!QFile::exists(h.CardPath(QStringLiteral("A.DAT"))));
        // Gone already, refused by name, refused for all, no card: the file stays.
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("A.DAT")), int(RESULT_NOT_DELETED));
        h.Faults().refuseDelete = QStringList{QStringLiteral("KEEP.DAT")};
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("KEEP.DAT")), int(RESULT_NOT_DELETED));
        h.Faults().refuseDelete = QStringList{QStringLiteral("*")};
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("KEEP.DAT")), int(RESULT_NOT_DELETED));
        h.Faults().refuseDelete.clear();
        h.Faults().bNoCard = true;
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("KEEP.DAT")), int(RESULT_NOT_DELETED));
        QVERIFY(QFile::exists(h.CardPath(QStringLiteral("KEEP.DAT"))));
        h.Faults().bNoCard = false;
        h.Faults().bSilent = true;
        QCOMPARE(h.protocol.DeleteCardFile(QStringLiteral("KEEP.DAT")), int(RESULT_COMM_ERROR));
        QVERIFY(QFile::exists(h.CardPath(QStringLiteral("KEEP.DAT"))));
    }

    void deletionOfUnsafeNamesNeverLeavesTheCard()
    {
        FakeRecorder h;
        // A file beside the card folder, and one the card shows but hides as a partial upload.
        const QString strOutside = h.CardDir() + QStringLiteral("/../VICTIM.DAT");
        QVERIFY(TestFiles::Write(strOutside, "precious"));
        QVERIFY(h.PutCardFile(QStringLiteral(".upload-X.DAT"), "partial"));
        for (const QString &strName :
             {QStringLiteral("../VICTIM.DAT"), QStringLiteral("..\\VICTIM.DAT"), QStringLiteral(".."),
              QStringLiteral("."), QStringLiteral(""), h.CardDir() + QStringLiteral("/../VICTIM.DAT"),
              QStringLiteral(".upload-X.DAT")})
            QCOMPARE(h.protocol.DeleteCardFile(strName), int(RESULT_NOT_DELETED));
        QCOMPARE(TestFiles::Read(strOutside), QByteArray("precious"));
        QVERIFY(QFile::exists(h.CardPath(QStringLiteral(".upload-X.DAT"))));
        QVERIFY(QFileInfo(h.CardDir()).isDir());
    }

    void archiveSaveWritesAnArchiveFile()
    {
        FakeRecorder h;
        QVERIFY(h.PutCardFile(QStringLiteral("ARCH0001.DAT"), "old"));
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_OK));
        QVERIFY(QFileInfo(h.CardPath(QStringLiteral("ARCH0002.DAT"))).size() > 0);
        QCOMPARE(TestFiles::Read(h.CardPath(QStringLiteral("ARCH0001.DAT"))), QByteArray("old"));
    }

    void archiveSaveWaitsForADelayedReply()
    {
        FakeRecorder h;
        // The reply comes after several link time-outs: the save keeps reading.
        h.link.SetTimeoutMs(100);
        h.Faults().nSaveArchiveDelayMs = 450;
        h.protocol.SetSaveArchiveTimeoutMs(5000);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_OK));
        QVERIFY(timer.elapsed() >= 440);
        QVERIFY(timer.elapsed() < 3000);
    }

    void archiveSaveWithoutCardOrAnswer()
    {
        FakeRecorder h;
        h.Faults().bNoCard = true;
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_NO_CARD));
        QVERIFY(TestFiles::Listing(h.CardDir()).isEmpty());

        // A recorder that never answers is given up after the save time-out plus at most one
        // link time-out.
        h.Faults().bNoCard = false;
        h.Faults().bSilent = true;
        h.link.SetTimeoutMs(100);
        h.protocol.SetSaveArchiveTimeoutMs(500);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_COMM_ERROR));
        QVERIFY(timer.elapsed() >= 490);
        QVERIFY(timer.elapsed() < 1500);

        // A link that fails every read at once without the recorder being gone: the save pauses
        // between tries instead of spinning, and still waits its whole time.
        int nReads = 0;
        h.Wire().beforeRead = [&nReads](int) { ++nReads; };
        h.link.SetTimeoutMs(1);
        h.protocol.SetSaveArchiveTimeoutMs(550);
        timer.restart();
        QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_COMM_ERROR));
        QVERIFY(timer.elapsed() >= 540);
        QVERIFY2(nReads >= 5 && nReads <= 8, qPrintable(QString::number(nReads)));
    }
};

QTEST_GUILESS_MAIN(tst_ProtocolExchange)
#include "tst_ProtocolExchange.moc"
