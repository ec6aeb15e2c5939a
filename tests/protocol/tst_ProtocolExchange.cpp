// Identification, card information, file list, deletion and archive save against the emulator.

#include "support/ScriptedTransport.h"
#include "support/SimHarness.h"
#include "support/TapTransport.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstring>

class tst_ProtocolExchange final : public QObject
{
    Q_OBJECT

private slots:
    void identificationAndCardTextsArePostedAsSent();
    void silentRecorderFailsTheExchangeAndPostsNothing();
    void emptyCardListsNothingAndAcknowledgesTheMarker();
    void threeFilesArePostedInOrderWithFourAcks();
    void hugeCardFilesAreListedByTheirLowSize();
    void replyCodesOfTextsAndEntriesAreNotExamined();
    void stopBeforeTheListIsSeenAfterTheFirstReply();
    void stopDuringTheEndMarkerCancelsAfterEveryEntry();
    void listWithoutEndIsAbortedAfterTheLimit();
    void deletionRemovesTheFileOrReportsNotDeleted();
    void deletionOfUnsafeNamesNeverLeavesTheCard();
    void archiveSaveWritesAnArchiveFile();
    void archiveSaveWaitsForADelayedReply();
    void archiveSaveWithoutCardOrAnswer();
};

void tst_ProtocolExchange::identificationAndCardTextsArePostedAsSent()
{
    SimHarness h;
    QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), QByteArray(2048, 'a')));
    QVERIFY(h.protocol.GetDeviceInfo(h.target));
    QVERIFY(h.protocol.GetCardInfo(h.target));
    QCOMPARE(h.Posted(WM_REC_DEVICE_INFO).size(), 1);
    QCOMPARE(h.Posted(WM_REC_DEVICE_INFO).at(0).Get<TextPost>()->strText, h.pEmulator->DeviceInfoText());
    QVERIFY(h.pEmulator->DeviceInfoText().startsWith(QLatin1String("Paperless recorder")));
    const QString strCard = h.Posted(WM_REC_CARD_INFO).at(0).Get<TextPost>()->strText;
    QCOMPARE(strCard, h.pEmulator->CardInfoText());
    QVERIFY2(strCard.contains(QLatin1String("512 MB")) && strCard.contains(QLatin1String("1 files")),
             qPrintable(strCard));

    // Texts that start with their terminator post empty strings; other characters survive.
    h.ClearRecords();
    h.pEmulator->SetDeviceInfo(QString());
    h.pEmulator->SetCardInfo(QStringLiteral("Karte \u00e9\u4e2d 64 MB"));
    QVERIFY(h.protocol.GetDeviceInfo(h.target));
    QVERIFY(h.protocol.GetCardInfo(h.target));
    QCOMPARE(h.Posted(WM_REC_DEVICE_INFO).at(0).Get<TextPost>()->strText, QString());
    QCOMPARE(h.Posted(WM_REC_CARD_INFO).at(0).Get<TextPost>()->strText,
             QStringLiteral("Karte \u00e9\u4e2d 64 MB"));
}

void tst_ProtocolExchange::silentRecorderFailsTheExchangeAndPostsNothing()
{
    SimHarness h;
    h.Faults().bSilent = true;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!h.protocol.GetDeviceInfo(h.target));
    QVERIFY(!h.protocol.GetCardInfo(h.target));
    QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_COMM_ERROR));
    QVERIFY(h.posted.isEmpty());
    QVERIFY(timer.elapsed() >= 3 * SimHarness::LINK_TIMEOUT_MS - 50);
    // Once it speaks again, the next exchange works.
    h.Faults().bSilent = false;
    QVERIFY(h.protocol.GetDeviceInfo(h.target));
}

void tst_ProtocolExchange::emptyCardListsNothingAndAcknowledgesTheMarker()
{
    SimHarness h;
    QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
    QVERIFY(h.Posted(WM_REC_FILE_ENTRY).isEmpty());
    QCOMPARE(h.Received(), (QList<quint16>{CMD_LIST_FILES, CMD_ACK}));

    // A card without card is empty too.
    QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "a"));
    h.Faults().bNoCard = true;
    h.ClearRecords();
    QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));
    QVERIFY(h.Posted(WM_REC_FILE_ENTRY).isEmpty());
}

void tst_ProtocolExchange::threeFilesArePostedInOrderWithFourAcks()
{
    SimHarness h;
    const QDateTime when(QDate(2009, 3, 7), QTime(14, 5, 9));
    QVERIFY(h.PutCardFile(QStringLiteral("REPORT.CSV"), QByteArray(70000, 'r'), when));
    QVERIFY(h.PutCardFile(QStringLiteral("ARCH0001.DAT"), QByteArray(), when.addDays(-1)));
    QVERIFY(h.PutCardFile(QStringLiteral("CONFIG.INI"), "x=1", when.addSecs(3600)));
    QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_OK));

    const QList<PostedMessage> entries = h.Posted(WM_REC_FILE_ENTRY);
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
    QCOMPARE(h.CountReceived(CMD_ACK), 4);
    QCOMPARE(h.CountReceived(CMD_ABORT), 0);
}

void tst_ProtocolExchange::hugeCardFilesAreListedByTheirLowSize()
{
    SimHarness h;
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
    const QList<PostedMessage> entries = h.Posted(WM_REC_FILE_ENTRY);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).Get<FileEntryPost>()->entry.SizeLow(), 4294967295u);
    QCOMPARE(entries.at(1).Get<FileEntryPost>()->entry.SizeLow(), 1u << 30);
    QCOMPARE(entries.at(1).Get<FileEntryPost>()->entry.SizeHigh(), 1u);
    // Its size does not fit the data blocks: the recorder refuses it instead of sending a
    // wrong total.
    QCOMPARE(h.protocol.GetFile(h.stop, h.target, QStringLiteral("FIVEGIG.DAT"), h.OutDir()),
             int(RESULT_DEVICE_STOPPED));
    QVERIFY(SimHarness::Listing(h.OutDir()).isEmpty());
}

void tst_ProtocolExchange::replyCodesOfTextsAndEntriesAreNotExamined()
{
    auto pTransport = std::make_unique<ScriptedTransport>();
    auto pScript = pTransport->Shared();
    RecorderLink link(std::move(pTransport));
    link.Open();
    RecorderProtocol protocol(link);
    QStringList texts;
    const PostTarget target = PostTarget::ForFunction(
        [&](PostedMessage &&message) { texts.append(message.Get<TextPost>()->strText); });
    QByteArray reply = ScriptedTransport::FrameBytes(Frame::FRAME_MAGIC, 1024, RSP_NO_CARD);
    reply[12] = 'O';
    reply[14] = 'K';
    pScript->toHost = reply;
    QVERIFY(protocol.GetDeviceInfo(target));
    // A text that runs to the end of the frame without its terminator stops there.
    reply = ScriptedTransport::FrameBytes(Frame::FRAME_MAGIC, 1024, RSP_FILE_BLOCK);
    for (int i = CARD_INFO_TEXT_OFFSET; i < 1024; i += 2)
        reply[i] = 'c';
    pScript->toHost = reply;
    QVERIFY(protocol.GetCardInfo(target));
    QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QString(500, QLatin1Char('c'))}));
}

void tst_ProtocolExchange::stopBeforeTheListIsSeenAfterTheFirstReply()
{
    SimHarness h;
    QVERIFY(h.PutCardFile(QStringLiteral("A.DAT"), "a"));
    QVERIFY(h.PutCardFile(QStringLiteral("B.DAT"), "b"));
    h.stop.Set();
    QCOMPARE(h.protocol.ListFiles(h.stop, h.target), int(RESULT_CANCELLED));
    QCOMPARE(h.Posted(WM_REC_FILE_ENTRY).size(), 1);
    QCOMPARE(h.Received(), (QList<quint16>{CMD_LIST_FILES, CMD_ABORT}));

    // The recorder is left idle: the next request is answered normally.
    h.stop.Reset();
    QVERIFY(h.protocol.GetDeviceInfo(h.target));
}

void tst_ProtocolExchange::stopDuringTheEndMarkerCancelsAfterEveryEntry()
{
    QTemporaryDir dir;
    auto pEmulator = std::make_shared<RecorderEmulator>(dir.path());
    for (const char *pName : {"A.DAT", "B.DAT", "C.DAT"})
        QVERIFY(SimHarness::WriteFile(dir.path() + QLatin1Char('/') + QLatin1String(pName), "data"));
    auto pTap = std::make_unique<TapTransport>(std::make_unique<SimTransport>(pEmulator));
    ManualResetEvent stop;
    // Writes: the request and three ACKs; the fifth read brings the marker.
    pTap->beforeRead = [&stop](int nWrites) {
        if (nWrites == 4)
            stop.Set();
    };
    RecorderLink link(std::move(pTap));
    QVERIFY(link.Open());
    RecorderProtocol protocol(link);
    int nEntries = 0;
    const PostTarget target = PostTarget::ForFunction([&](PostedMessage &&) { ++nEntries; });
    QCOMPARE(protocol.ListFiles(stop, target), int(RESULT_CANCELLED));
    QCOMPARE(nEntries, 3);
    QCOMPARE(pEmulator->ReceivedCodes(),
             (QList<quint16>{CMD_LIST_FILES, CMD_ACK, CMD_ACK, CMD_ACK, CMD_ABORT}));
}

void tst_ProtocolExchange::listWithoutEndIsAbortedAfterTheLimit()
{
    // Every request and acknowledgement is answered by one more named entry, up to nEntries;
    // then by the end marker.
    auto pTransport = std::make_unique<ScriptedTransport>();
    auto pScript = pTransport->Shared();
    quint32 nEntries = 0;
    quint32 nSent = 0;
    QList<quint16> lastCodes;
    pScript->onWrite = [&](ScriptedTransport::Script &script, const QByteArray &bytes) {
        lastCodes = {quint16(quint8(bytes[8]) | (quint8(bytes[9]) << 8))};
        script.writes.clear(); // 200,000 frames of 1 KB would be kept otherwise
        script.reads.clear();
        RecorderFileEntry entry;
        if (nSent < nEntries)
            entry.SetName(QStringLiteral("F%1.DAT").arg(nSent++));
        QByteArray reply = ScriptedTransport::FrameBytes(Frame::FRAME_MAGIC, 1024, RSP_OK);
        std::memcpy(reply.data() + Frame::HEADER_SIZE, entry.Bytes(), RecorderFileEntry::SIZE);
        script.toHost += reply;
    };
    RecorderLink link(std::move(pTransport));
    link.Open();
    RecorderProtocol protocol(link);
    ManualResetEvent stop;
    quintptr nPosted = 0;
    const PostTarget target = PostTarget::ForFunction([&](PostedMessage &&message) {
        QCOMPARE(quintptr(message.Get<FileEntryPost>()->nIndex), nPosted);
        ++nPosted;
    });

    // A FAT folder holds far fewer: a list of exactly the limit is still taken whole.
    nEntries = MAX_LIST_ENTRIES;
    QCOMPARE(protocol.ListFiles(stop, target), int(RESULT_OK));
    QCOMPARE(nPosted, quintptr(MAX_LIST_ENTRIES));
    QCOMPARE(lastCodes, QList<quint16>{CMD_ACK});

    // One more is a recorder that has lost its end marker: aborted, not posted, and said so.
    nEntries = MAX_LIST_ENTRIES + 1;
    nSent = 0;
    nPosted = 0;
    pScript->toHost.clear();
    const RecorderResult result = protocol.ListFiles(stop, target);
    QCOMPARE(result.Code(), RESULT_COMM_ERROR);
    QVERIFY2(result.Detail().contains(QStringLiteral("200000")), qPrintable(result.Detail()));
    QCOMPARE(nPosted, quintptr(MAX_LIST_ENTRIES));
    QCOMPARE(lastCodes, QList<quint16>{CMD_ABORT});
}

void tst_ProtocolExchange::deletionRemovesTheFileOrReportsNotDeleted()
{
    SimHarness h;
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

void tst_ProtocolExchange::deletionOfUnsafeNamesNeverLeavesTheCard()
{
    SimHarness h;
    // A file beside the card folder, and one the card shows but hides as a partial upload.
    const QString strOutside = h.CardDir() + QStringLiteral("/../VICTIM.DAT");
    QVERIFY(SimHarness::WriteFile(strOutside, "precious"));
    QVERIFY(h.PutCardFile(QStringLiteral(".upload-X.DAT"), "partial"));
    for (const QString &strName :
         {QStringLiteral("../VICTIM.DAT"), QStringLiteral("..\\VICTIM.DAT"), QStringLiteral(".."),
          QStringLiteral("."), QStringLiteral(""), h.CardDir() + QStringLiteral("/../VICTIM.DAT"),
          QStringLiteral(".upload-X.DAT")})
        QCOMPARE(h.protocol.DeleteCardFile(strName), int(RESULT_NOT_DELETED));
    QCOMPARE(SimHarness::ReadFile(strOutside), QByteArray("precious"));
    QVERIFY(QFile::exists(h.CardPath(QStringLiteral(".upload-X.DAT"))));
    QVERIFY(QFileInfo(h.CardDir()).isDir());
}

void tst_ProtocolExchange::archiveSaveWritesAnArchiveFile()
{
    SimHarness h;
    QVERIFY(h.PutCardFile(QStringLiteral("ARCH0001.DAT"), "old"));
    QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_OK));
    QVERIFY(QFileInfo(h.CardPath(QStringLiteral("ARCH0002.DAT"))).size() > 0);
    QCOMPARE(SimHarness::ReadFile(h.CardPath(QStringLiteral("ARCH0001.DAT"))), QByteArray("old"));
}

void tst_ProtocolExchange::archiveSaveWaitsForADelayedReply()
{
    SimHarness h;
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

void tst_ProtocolExchange::archiveSaveWithoutCardOrAnswer()
{
    SimHarness h;
    h.Faults().bNoCard = true;
    QCOMPARE(h.protocol.SaveArchiveData(), int(RESULT_NO_CARD));
    QVERIFY(SimHarness::Listing(h.CardDir()).isEmpty());

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
    auto pTransport = std::make_unique<ScriptedTransport>();
    auto pScript = pTransport->Shared();
    RecorderLink link(std::move(pTransport));
    link.Open();
    RecorderProtocol protocol(link);
    protocol.SetSaveArchiveTimeoutMs(550);
    timer.restart();
    QCOMPARE(protocol.SaveArchiveData(), int(RESULT_COMM_ERROR));
    QVERIFY(timer.elapsed() >= 540);
    QVERIFY2(pScript->reads.size() >= 5 && pScript->reads.size() <= 8,
             qPrintable(QString::number(pScript->reads.size())));
}

QTEST_GUILESS_MAIN(tst_ProtocolExchange)
#include "tst_ProtocolExchange.moc"
