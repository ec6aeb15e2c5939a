// orvoconnect-cli run as a process against the fake recorder served over TCP from this process
// (and the sim: link it can start itself): every command, its output, the files it leaves and
// its exit status under each fault, names no folder can hold, interruptions, a list without
// end, and a recorder that is not there.

#include "CliProcess.h"
#include "archive/JournalChain.h"
#include "core/LittleEndian.h"
#include "core/LocalFileName.h"
#include "link/Frame.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"
#include "support/FakeRecorder.h"
#include "support/TestArchive.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimeZone>

#include <csignal>
#include <cstring>
#include <sys/file.h>
#include <sys/resource.h>
#include <thread>

using TestFiles::Listing;
using TestFiles::Pattern;

namespace {

constexpr int BLOCK = 32744; // one download block: system.img fills exactly one

const auto *Bytes(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

// Whether a reply carries a file entry of a list (it answers the list request or an ACK with
// OK; download blocks have their own code).
bool IsListEntry(quint16 nRequestCode, const QByteArray &reply)
{
    return (nRequestCode == CMD_LIST_FILES || nRequestCode == CMD_ACK) &&
           reply.size() >= qsizetype(Frame::HEADER_SIZE + RecorderFileEntry::SIZE) &&
           LittleEndian::U16(Bytes(reply) + Frame::OFFSET_CODE) == RSP_OK;
}

RecorderFileEntry EntryOf(const QByteArray &reply)
{
    return RecorderFileEntry::FromBytes(Bytes(reply) + Frame::HEADER_SIZE);
}

void Rename(QByteArray &reply, const QString &strName)
{
    RecorderFileEntry entry = EntryOf(reply);
    entry.SetName(strName);
    std::memcpy(reply.data() + Frame::HEADER_SIZE, entry.Bytes(), RecorderFileEntry::SIZE);
}

void Redate(QByteArray &reply, const QDateTime &cardDate)
{
    RecorderFileEntry entry = EntryOf(reply);
    entry.SetLastWriteTime(FileTime::FromDateTime(cardDate));
    std::memcpy(reply.data() + Frame::HEADER_SIZE, entry.Bytes(), RecorderFileEntry::SIZE);
}

} // namespace

class TestCli final : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeRecorder> m_pRec;
    QString m_strLink;

    // Beside the card and the destination, in the same temporary folder.
    QString Root(const QString &strName) const { return QFileInfo(m_pRec->CardDir()).path() + '/' + strName; }
    QString Out(const QString &strName) const { return m_pRec->OutPath(strName); }
    // A destination file's bytes, or "<missing>".
    QByteArray Got(const QString &strPath) const
    {
        return QFile::exists(strPath) ? TestFiles::Read(strPath) : QByteArray("<missing>");
    }
    void EmptyCard()
    {
        for (const QString &strName : m_pRec->CardFiles())
            QVERIFY(QFile::remove(m_pRec->CardPath(strName)));
    }
    CliRun Cli(const QStringList &args, const QStringList &env = {})
    {
        return CliProcess::Run(QStringList{"--link", m_strLink} + args, m_pRec->OutDir(), env);
    }
    // The CLI on the in-process emulator over strCard, with its options ("?serial=A").
    static QStringList SimLink(const QString &strCard, const QString &strOptions = {})
    {
        return {"--link", "sim:" + strCard + strOptions};
    }
    // What `sha256sum -c --strict SHA256SUMS` says of a folder: its exit status.
    static int ManifestCheck(const QString &strDir)
    {
        QProcess check;
        check.setWorkingDirectory(strDir);
        check.start(QStringLiteral("sha256sum"), {"-c", "--strict", "--quiet", "SHA256SUMS"});
        return check.waitForFinished(30000) && check.exitStatus() == QProcess::NormalExit ? check.exitCode()
                                                                                          : -1;
    }
    // The journal's lines as JSON objects.
    QList<QJsonObject> JournalOf(const QString &strDir) const
    {
        QList<QJsonObject> lines;
        for (const QByteArray &line : TestFiles::Read(strDir + "/.orvoconnect-archive.log").split('\n'))
            if (!line.isEmpty())
                lines.append(QJsonDocument::fromJson(line).object());
        return lines;
    }
    // The recorder is served on its own thread and may still be taking the last frames of a
    // client that has exited: wait until the count stops moving.
    qsizetype SettledWrites()
    {
        qsizetype nLast = -1;
        for (int nTry = 0; nTry < 50 && nLast != m_pRec->Wire().WrittenCodes().size(); ++nTry) {
            nLast = m_pRec->Wire().WrittenCodes().size();
            QTest::qWait(100);
        }
        return nLast;
    }

private slots:
    void init()
    {
        m_pRec = std::make_unique<FakeRecorder>();
        m_strLink = m_pRec->ServeTcp();
        QVERIFY(!m_strLink.isEmpty());
        // The recorder shows local calendar time as it stands; the emulator takes it from the
        // folder's modification times.
        QVERIFY(m_pRec->PutCardFile("TREND01.DAT", Pattern(70000, 1), QDateTime({2009, 3, 7}, {14, 5, 9})));
        QVERIFY(m_pRec->PutCardFile("alarm.log", {}, QDateTime({2000, 1, 1}, {0, 0, 0})));
        QVERIFY(
            m_pRec->PutCardFile("system.img", Pattern(BLOCK, 3), QDateTime({1999, 12, 31}, {23, 59, 59})));
    }

    void cleanup() { m_pRec.reset(); }

    void infoPrintsBothTextsAsSent()
    {
        const CliRun run = Cli({"info"});
        QCOMPARE(run.nExit, 0);
        // The identification, then the card information, with plain line breaks.
        const QStringList lines = run.strOut.split(QLatin1Char('\n'));
        QVERIFY2(lines.at(0).startsWith(QStringLiteral("Paperless recorder")), qPrintable(run.strOut));
        const qsizetype nCard = lines.indexOf(QRegularExpression(QStringLiteral("^CompactFlash card.*")));
        QVERIFY2(nCard > 0, qPrintable(run.strOut));
        QVERIFY(lines.mid(nCard).join(QLatin1Char(' ')).contains(QStringLiteral("3 files")));
        QVERIFY(!run.strOut.contains(QLatin1Char('\r')));
        QVERIFY(!run.strOut.contains(QStringLiteral("\n\n")));
        QVERIFY(run.strErr.isEmpty());
    }

    void listShowsNameDateAndSizeInRecorderOrder()
    {
        CliRun run = Cli({"ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut, QStringLiteral("alarm.log\t01/01/00 (00:00:00)\t0\n"
                                            "system.img\t31/12/99 (23:59:59)\t32744\n"
                                            "TREND01.DAT\t07/03/09 (14:05:09)\t70000\n"));
        run = Cli({"ls", "--json"});
        QCOMPARE(run.nExit, 0);
        const QJsonArray array = QJsonDocument::fromJson(run.strOut.toUtf8()).array();
        QCOMPARE(array.size(), 3);
        // The fields are ListingFormat's (tst_CliParts); here the entries in the recorder's order.
        QCOMPARE(array.at(2).toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("TREND01.DAT"));

        // An empty card lists nothing and still succeeds.
        EmptyCard();
        run = Cli({"ls"});
        QCOMPARE(run.nExit, 0);
        QVERIFY(run.strOut.isEmpty());
        QCOMPARE(Cli({"ls", "--json"}).strOut.trimmed(), QStringLiteral("[\n]"));
    }

    void getDownloadsAndGuardsExistingFiles()
    {
        // Into the current folder by default.
        CliRun run = Cli({"get", "TREND01.DAT", "alarm.log"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));
        QCOMPARE(Got(Out("alarm.log")), QByteArray());

        // An existing file without --overwrite: host I/O error before anything is fetched,
        // even the names that do not exist yet.
        QVERIFY(TestFiles::Write(Out("TREND01.DAT"), "mine"));
        run = Cli({"get", "system.img", "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("already exists")), qPrintable(run.strErr));
        QVERIFY(!QFile::exists(Out("system.img")));
        QCOMPARE(Got(Out("TREND01.DAT")), QByteArray("mine"));

        run = Cli({"get", "--skip-existing", "system.img", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("system.img")), Pattern(BLOCK, 3));
        QCOMPARE(Got(Out("TREND01.DAT")), QByteArray("mine"));

        run = Cli({"get", "--overwrite", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));

        // --to elsewhere; a file the card does not have; a destination that is not a folder.
        const QString strOther = Root("other");
        QVERIFY(QDir().mkpath(strOther));
        QCOMPARE(Cli({"get", "--to", strOther, "TREND01.DAT"}).nExit, 0);
        QCOMPARE(Got(strOther + "/TREND01.DAT"), Pattern(70000, 1));
        // Every name is looked up on the card first: one it lacks fails the run, and nothing
        // is downloaded, not even the names it has. A downloaded file takes the card's date.
        QCOMPARE(QFileInfo(strOther + "/TREND01.DAT").lastModified(), QDateTime({2009, 3, 7}, {14, 5, 9}));
        QVERIFY(QFile::remove(strOther + "/TREND01.DAT"));
        run = Cli({"get", "--to", strOther, "TREND01.DAT", "NOPE.DAT"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("\"NOPE.DAT\": not on the card")),
                 qPrintable(run.strErr));
        QVERIFY(Listing(strOther).isEmpty());
        QCOMPARE(Cli({"get", "--to", strOther, "TREND01.DAT"}).nExit, 0);
        run = Cli({"get", "--to", Root("missing"), "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY(run.strErr.contains(QStringLiteral("not a folder")));
        QCOMPARE(Listing(strOther), QStringList{"TREND01.DAT"});
    }

    // A link in the destination named like a card file, pointing out of it or nowhere, is
    // never written through: every such name is listed and nothing is downloaded.
    void linksInTheDestinationAreNeverWrittenThrough()
    {
        const QString strOutside = Root("outside.img");
        QVERIFY(TestFiles::Write(strOutside, "precious"));
        QVERIFY(QFile::link(strOutside, Out("system.img")));
        QVERIFY(QFile::link(Root("nowhere.log"), Out("alarm.log")));

        for (const QStringList &args :
             {QStringList{"get", "--overwrite", "TREND01.DAT", "system.img", "alarm.log"},
              QStringList{"get", "--all", "--overwrite"}}) {
            const CliRun run = Cli(args);
            QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
            QVERIFY2(run.strErr.contains(QStringLiteral("refusing \"system.img\"")) &&
                         run.strErr.contains(QStringLiteral("refusing \"alarm.log\"")) &&
                         run.strErr.contains(QStringLiteral("symbolic link")),
                     qPrintable(run.strErr));
            QVERIFY(!QFile::exists(Out("TREND01.DAT")));
        }
        // The archive refuses each link and goes on with the other files.
        const CliRun archived = Cli({"sync"});
        QCOMPARE(archived.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(archived.strErr.count(QStringLiteral("symbolic link")), 2);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));
        QVERIFY(QFile::remove(Out("TREND01.DAT")));
        QCOMPARE(Cli({"get", "--all", "--skip-existing"}).nExit, 0);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));
        QCOMPARE(Got(strOutside), QByteArray("precious"));
        QVERIFY(!QFile::exists(Root("nowhere.log")));
    }

    void largeDownloadArrivesWhole()
    {
        // Several write chunks and an odd tail: nothing lost or doubled at the seams.
        const QByteArray data = Pattern(3 * 1024 * 1024 + 12345, 5);
        QVERIFY(m_pRec->PutCardFile("BIG.DAT", data));
        QCOMPARE(Cli({"get", "BIG.DAT"}).nExit, 0);
        QCOMPARE(Got(Out("BIG.DAT")), data);
    }

    void getAllAndSyncFetchWhatIsMissing()
    {
        CliRun run = Cli({"get", "--all"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Listing(m_pRec->OutDir()), Listing(m_pRec->CardDir()));
        QCOMPARE(Cli({"get", "--all"}).nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(Cli({"get", "--all", "--skip-existing"}).nExit, 0);

        // sync is the archive: it fetches the missing file, keeps a changed one beside the old
        // one, and the next run has nothing to do.
        QVERIFY(QFile::remove(Out("system.img")));
        QVERIFY(TestFiles::Write(Out("TREND01.DAT"), "short"));
        run = Cli({"sync"});
        QCOMPARE(run.nExit, 0);
        QVERIFY2(
            run.strOut.contains(QStringLiteral("1 downloaded, 1 kept beside, 1 already archived, 0 failed")),
            qPrintable(run.strOut));
        QCOMPARE(Got(Out("TREND01.DAT")), QByteArray("short"));
        QCOMPARE(Got(Out("TREND01 (2).DAT")), Pattern(70000, 1));
        QCOMPARE(Got(Out("system.img")), Pattern(BLOCK, 3));
        run = Cli({"sync"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("nothing new to archive: 3 already archived"));
    }

    // The archive takes only what is new, proves a same-size file by its bytes before it counts
    // as archived, and frees the card only of what this run has on disk. It runs on the sim:
    // link, whose faults are options of the link name.
    void archiveTakesWhatIsNewAndDeletesOnlyWhatIsSafe()
    {
        const auto cli = [this](const QString &strFaults, const QStringList &args) {
            const QString strLink = QStringLiteral("sim:") + m_pRec->CardDir() + strFaults;
            return CliProcess::Run(QStringList{"--link", strLink} + args, m_pRec->OutDir());
        };
        // system.img is here already with the same bytes and a download's date.
        QVERIFY(TestFiles::Write(Out("system.img"), Pattern(BLOCK, 3)));

        CliRun run = cli(QString(), {"archive", "--dry-run", "--delete-after", "--json"});
        QCOMPARE(run.nExit, 0);
        QStringList actions;
        for (const QJsonValue &file : QJsonDocument::fromJson(run.strOut.toUtf8())["files"].toArray())
            actions << file["name"].toString() + ':' + file["action"].toString();
        actions.sort();
        QCOMPARE(actions, (QStringList{"TREND01.DAT:download", "alarm.log:download", "system.img:compare"}));
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList{"system.img"});
        QCOMPARE(m_pRec->CardFiles().size(), 3);

        // TREND01.DAT needs two blocks and fails: it stays on the card; the others are archived
        // (system.img by adoption: only its date changes) and deleted from the card.
        run = cli(QStringLiteral("?stop-download-after=1"), {"archive", "--delete-after"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("cannot archive \"TREND01.DAT\"")),
                 qPrintable(run.strErr));
        QCOMPARE(m_pRec->CardFiles(), QStringList{"TREND01.DAT"});
        QCOMPARE(Listing(m_pRec->OutDir()),
                 (QStringList{".orvoconnect-archive.lock", ".orvoconnect-archive.log", "SHA256SUMS",
                              "alarm.log", "system.img"}));
        QCOMPARE(QFileInfo(Out("system.img")).lastModified(), QDateTime({1999, 12, 31}, {23, 59, 59}));
        QStringList journalled;
        for (const QJsonObject &line : JournalOf(m_pRec->OutDir()))
            journalled << line["action"].toString() + ':' + line["card_name"].toString() + ':' +
                              line["card_date"].toString();
        QCOMPARE(
            journalled.filter(QRegularExpression("^(downloaded|adopted|deleted):")),
            (QStringList{"downloaded:alarm.log:2000-01-01T00:00:00", "adopted:system.img:1999-12-31T23:59:59",
                         "deleted:alarm.log:2000-01-01T00:00:00", "deleted:system.img:1999-12-31T23:59:59"}));

        // Filters: TREND01.DAT alone matches; a same-size file of other content is kept beside.
        QVERIFY(m_pRec->PutCardFile("OLD.DAT", "old", QDateTime({2009, 3, 6}, {12, 0})));
        QVERIFY(TestFiles::Write(Out("TREND01.DAT"), Pattern(70000, 9)));
        run = cli(QString(), {"archive", "--include", "*.dat", "--exclude", "old*", "--since", "2009-03-07"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("TREND01 (2).DAT")), Pattern(70000, 1));
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 9));
        QVERIFY(!QFile::exists(Out("OLD.DAT")));
        run = cli(QString(), {"archive", "--include", "*.DAT", "--exclude", "old*"});
        QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("nothing new to archive: 1 already archived"));
    }

    // Card dates that Berlin skips (clocks forward) or shows twice (clocks back): a download is
    // dated 03:30 and the later 02:30, and an archive run finds them archived the next time
    // instead of dating them again.
    void cardDatesTheHostZoneSkipsDateTheFileOnce()
    {
        EmptyCard();
        const auto utc = [](int nMonth, int nDay, int nHour, int nMinute) {
            return QDateTime(QDate(2026, nMonth, nDay), QTime(nHour, nMinute), QTimeZone::utc());
        };
        const QMap<QString, QDateTime> cardDates = {{"SPRING.DAT", utc(3, 29, 2, 30)},
                                                    {"AUTUMN.DAT", utc(10, 25, 2, 30)}};
        for (const QString &strName : cardDates.keys())
            QVERIFY(m_pRec->PutCardFile(strName, Pattern(100, int(strName.size()))));
        m_pRec->Wire().lie = [cardDates](quint16 nRequestCode, QByteArray &reply) {
            if (IsListEntry(nRequestCode, reply) && cardDates.contains(EntryOf(reply).Name()))
                Redate(reply, cardDates.value(EntryOf(reply).Name()));
        };
        const QStringList berlin{QStringLiteral("TZ=Europe/Berlin")};
        const QString strGot = Out("got");
        QVERIFY(QDir().mkpath(strGot));

        CliRun run = Cli({"get", "--to", strGot, "--all"}, berlin);
        QCOMPARE(run.nExit, 0);
        QCOMPARE(QFileInfo(strGot + "/SPRING.DAT").lastModified().toSecsSinceEpoch(),
                 utc(3, 29, 1, 30).toSecsSinceEpoch());
        QCOMPARE(QFileInfo(strGot + "/AUTUMN.DAT").lastModified().toSecsSinceEpoch(),
                 utc(10, 25, 1, 30).toSecsSinceEpoch());

        const QString strArchive = Out("archive");
        run = Cli({"archive", "--to", strArchive}, berlin);
        QCOMPARE(run.nExit, 0);
        const qsizetype nLines = JournalOf(strArchive).size();
        run = Cli({"archive", "--to", strArchive}, berlin);
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("nothing new to archive: 2 already archived"));
        // Only the pass's own start and end.
        QCOMPARE(JournalOf(strArchive).size(), nLines + 2);
    }

    void getAllStopsAtFirstFailure()
    {
        // alarm.log (0 bytes) and system.img (one full block) go through in one block each;
        // TREND01.DAT is cut after its first block and the run ends there.
        m_pRec->Faults().nStopDownloadAfter = 1;
        const CliRun run = Cli({"get", "--all"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("TREND01.DAT")), qPrintable(run.strErr));
        QCOMPARE(Listing(m_pRec->OutDir()), (QStringList{"alarm.log", "system.img"}));
    }

    void downloadStoppedByRecorderLeavesNoFile_data()
    {
        QTest::addColumn<quint16>("code");
        QTest::newRow("ok in place of a block") << quint16(RSP_OK);
        QTest::newRow("abort in place of a block") << quint16(CMD_ABORT);
    }

    void downloadStoppedByRecorderLeavesNoFile()
    {
        QFETCH(quint16, code);
        m_pRec->Faults().nStopDownloadAfter = 2;
        m_pRec->Faults().nStopDownloadCode = code;
        QVERIFY(TestFiles::Write(Out("TREND01.DAT"), "older"));
        const CliRun run = Cli({"get", "--overwrite", "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY(run.strErr.contains(QStringLiteral("stopped")));
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList{"TREND01.DAT"});
        QCOMPARE(Got(Out("TREND01.DAT")), QByteArray("older"));
    }

    void putUploadsAndAsksBeforeReplacing()
    {
        const QString strLocal = Root("FIRMWARE.BIN");
        QVERIFY(TestFiles::Write(strLocal, Pattern(100000, 9)));
        CliRun run = Cli({"put", strLocal});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(m_pRec->CardFile("FIRMWARE.BIN"), Pattern(100000, 9));

        QVERIFY(TestFiles::Write(strLocal, "new firmware"));
        run = Cli({"put", strLocal});
        QCOMPARE(run.nExit, int(RESULT_FILE_EXISTS));
        QVERIFY(run.strErr.contains(QStringLiteral("--overwrite")));
        QCOMPARE(m_pRec->CardFile("FIRMWARE.BIN"), Pattern(100000, 9));
        QCOMPARE(Cli({"put", "--overwrite", strLocal}).nExit, 0);
        QCOMPARE(m_pRec->CardFile("FIRMWARE.BIN"), QByteArray("new firmware"));

        QCOMPARE(Cli({"put", Root("absent.bin")}).nExit, int(RESULT_HOST_IO_ERROR));
        // An empty local file yields no block: the recorder is told and nothing is kept.
        QVERIFY(TestFiles::Write(Root("empty.bin"), {}));
        run = Cli({"put", Root("empty.bin")});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("is empty")), qPrintable(run.strErr));
        // A name that is empty after its last backslash is refused with its reason.
        QVERIFY(TestFiles::Write(Root("DATA\\"), "data"));
        run = Cli({"put", Root("DATA\\")});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("names no file after its last")), qPrintable(run.strErr));
        QCOMPARE(m_pRec->CardFiles().size(), 4);
    }

    // A recorder that refuses, stops or says nothing: each command ends with its status and
    // reason, and neither the card nor the destination changes.
    void faultsEndWithTheirStatusAndChangeNothing_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        const QStringList put = {"put", "@local"};
        const auto row = [](const char *pszName, const QStringList &faults, const QStringList &args,
                            int nResult, const char *pszMessage) {
            QTest::newRow(pszName) << faults << args << nResult << QString::fromLatin1(pszMessage);
        };
        row("put, no card", {"no-card"}, put, RESULT_NO_CARD, "no CompactFlash");
        row("put, card full", {"card-full"}, put, RESULT_CARD_FULL, "free space");
        row("put refused", {"refuse-upload"}, put, RESULT_DEVICE_STOPPED, "refused");
        row("put aborted in the middle", {"abort-upload-after", "0"}, put, RESULT_DEVICE_STOPPED, "stopped");
        row("save, no card", {"no-card"}, {"save"}, RESULT_NO_CARD, "no CompactFlash");
        // Given up once the (shortened) wait is over.
        row("silent, info", {"silent"}, {"info"}, RESULT_COMM_ERROR, "communication");
        row("silent, ls", {"silent"}, {"ls"}, RESULT_COMM_ERROR, "communication");
        row("silent, get", {"silent"}, {"get", "TREND01.DAT"}, RESULT_COMM_ERROR, "communication");
        row("silent, rm", {"silent"}, {"rm", "alarm.log"}, RESULT_COMM_ERROR, "communication");
        row("silent, save", {"silent"}, {"save"}, RESULT_COMM_ERROR, "");
    }

    void faultsEndWithTheirStatusAndChangeNothing()
    {
        QFETCH(QStringList, faults);
        QFETCH(QStringList, args);
        QFETCH(int, result);
        QFETCH(QString, message);
        QString strError;
        QVERIFY(m_pRec->Faults().SetOption(faults.value(0), faults.value(1), &strError));
        const QString strLocal = Root("NEW.BIN");
        QVERIFY(TestFiles::Write(strLocal, Pattern(5000, 4)));
        const QStringList shortWaits = {"ORVOCONNECT_TIMEOUT_MS=300", "ORVOCONNECT_SAVE_TIMEOUT_MS=600"};
        const CliRun run = Cli(args.replaceInStrings("@local", strLocal),
                               faults == QStringList{"silent"} ? shortWaits : QStringList());
        QVERIFY2(run.nExit == result, qPrintable(QString::number(run.nExit) + ' ' + run.strErr));
        QVERIFY2(run.strErr.contains(message), qPrintable(run.strErr));
        QVERIFY(Listing(m_pRec->OutDir()).isEmpty());
        QCOMPARE(m_pRec->CardFiles().size(), 3);
    }

    void removeReportsEachFile()
    {
        m_pRec->Faults().refuseDelete = QStringList{"system.img"};
        CliRun run = Cli({"rm", "alarm.log", "system.img", "NOPE.DAT"});
        QCOMPARE(run.nExit, int(RESULT_NOT_DELETED));
        QCOMPARE(run.strOut, QStringLiteral("File alarm.log deleted\n"
                                            "File system.img NOT deleted\n"
                                            "File NOPE.DAT NOT deleted\n"));
        QCOMPARE(m_pRec->CardFiles(), (QStringList{"TREND01.DAT", "system.img"}));
        run = Cli({"rm", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut, QStringLiteral("File TREND01.DAT deleted\n"));
    }

    void saveWaitsForTheRecorderEvenThroughCtrlC()
    {
        // The recorder cannot be told to stop saving: the first Ctrl-C says so, and the save
        // that completes is a success.
        m_pRec->Faults().nSaveArchiveDelayMs = 2000;
        QElapsedTimer timer;
        timer.start();
        QProcess cli;
        CliProcess::Start(cli, {"--link", m_strLink, "save"});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(700);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(10000));
        const QString strErr = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(timer.elapsed() >= 1900);
        QVERIFY2(strErr.contains(QStringLiteral("cannot be interrupted")), qPrintable(strErr));
        QCOMPARE(m_pRec->CardFiles().size(), 4);
    }

    void outputThatCannotBeWrittenIsAFailure()
    {
        // A listing lost on a full disk must not pass for success in a script.
        for (const QStringList &args :
             {QStringList{"ls"}, QStringList{"ls", "--json"}, QStringList{"info"}}) {
            QProcess cli;
            cli.setStandardOutputFile(QStringLiteral("/dev/full"));
            CliProcess::Start(cli, QStringList{"--link", m_strLink} + args);
            QVERIFY(cli.waitForFinished(10000));
            const QString strErr = QString::fromUtf8(cli.readAllStandardError());
            QCOMPARE(cli.exitCode(), int(RESULT_HOST_IO_ERROR));
            QVERIFY2(strErr.contains(QStringLiteral("cannot write the output")), qPrintable(strErr));
        }
    }

    void garbageAndSplitRepliesAreSurvived_data()
    {
        QTest::addColumn<bool>("garbage");
        QTest::addColumn<bool>("split");
        QTest::newRow("garbage blocks") << true << false;
        QTest::newRow("odd splits") << false << true;
        QTest::newRow("both") << true << true;
    }

    void garbageAndSplitRepliesAreSurvived()
    {
        QFETCH(bool, garbage);
        QFETCH(bool, split);
        m_pRec->Faults().bGarbageBeforeReply = garbage;
        m_pRec->Faults().bSplitReplies = split;
        CliRun run = Cli({"info"});
        QCOMPARE(run.nExit, 0);
        QVERIFY(run.strOut.startsWith(QStringLiteral("Paperless recorder")));
        run = Cli({"ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 3);
        QCOMPARE(Cli({"get", "--all"}).nExit, 0);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));
        QCOMPARE(Got(Out("system.img")), Pattern(BLOCK, 3));
    }

    void inProcessEmulatorLink()
    {
        const QString strLink = QStringLiteral("sim:") + m_pRec->CardDir();
        CliRun run = CliProcess::Run({"--link", strLink, "ls"}, m_pRec->OutDir());
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 3);
        // The environment chooses the link when --link is not given.
        run = CliProcess::Run({"get", "TREND01.DAT"}, m_pRec->OutDir(), {"ORVOCONNECT_LINK=" + strLink});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("TREND01.DAT")), Pattern(70000, 1));
        run = CliProcess::Run({"--link", strLink, "rm", "alarm.log"}, m_pRec->OutDir());
        QCOMPARE(run.strOut, QStringLiteral("File alarm.log deleted\n"));
        QCOMPARE(m_pRec->CardFile("alarm.log"), QByteArray("<missing>"));
    }

    void watchArchivesARecorderThatBecomesReachable()
    {
        // The in-process emulator announces nothing: watch looks for it, and the change from
        // unreachable to reachable is an arrival.
        const QString strCard = Root("late-card");
        const QString strArchive = Out("archive");
        QProcess cli;
        CliProcess::Start(cli, {"--link", "sim:" + strCard, "watch", "--to", strArchive},
                          {"ORVOCONNECT_WATCH_POLL_MS=200"});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(500);
        // The card appears whole, with its file.
        QVERIFY(QDir().mkpath(strCard + ".new"));
        QVERIFY(TestFiles::Write(strCard + ".new/LATE.DAT", Pattern(5000, 4)));
        QVERIFY(QDir().rename(strCard + ".new", strCard));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(strArchive + "/LATE.DAT"), 10000);
        ::kill(pid_t(cli.processId()), SIGTERM);
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(Got(strArchive + "/LATE.DAT"), Pattern(5000, 4));
        const QString strErr = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(strErr.contains(QStringLiteral("waiting: ")) && strErr.contains(QStringLiteral("arrived: ")),
                 qPrintable(strErr));
    }

    // A card file counts as archived only when the journal records it in the folder (or, for a
    // file no journal line names, by its name, size and date): a kept-beside version of another
    // card name, or a file of another recorder, never hides it.
    void archivedMeansThisCardFileIsInTheArchive()
    {
        const QDateTime date({2026, 3, 2}, {10, 0, 0});
        const QString strArchive = Out("archive");
        const QString strCard = Root("card-one");
        QVERIFY(QDir().mkpath(strCard));
        QVERIFY(TestFiles::Write(strCard + "/A (2).DAT", Pattern(4000, 1), date));
        QCOMPARE(CliProcess::Run(SimLink(strCard) + QStringList{"archive", "--to", strArchive}).nExit, 0);
        QVERIFY(QFile::remove(strCard + "/A (2).DAT"));
        QVERIFY(TestFiles::Write(strCard + "/A.DAT", Pattern(4000, 2), date));
        CliRun run = CliProcess::Run(SimLink(strCard) + QStringList{"archive", "--to", strArchive});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(strArchive + "/A.DAT"), Pattern(4000, 2));

        // Two recorders whose files share names, sizes and dates, into one folder at once.
        const QString strShared = Out("shared");
        QProcess runs[2];
        for (int i = 0; i < 2; ++i) {
            const QString strCardN = Root(QStringLiteral("rec-%1").arg(i));
            QVERIFY(QDir().mkpath(strCardN));
            QVERIFY(TestFiles::Write(strCardN + "/T.DAT", Pattern(9000, 10 + i), date));
            QVERIFY(TestFiles::Write(strCardN + "/SAME.DAT", Pattern(100, 7), date));
            CliProcess::Start(runs[i], SimLink(strCardN, QStringLiteral("?serial=SN-%1").arg(i)) +
                                           QStringList{"archive", "--to", strShared});
        }
        for (QProcess &each : runs) {
            QVERIFY(each.waitForFinished(30000));
            QVERIFY2(each.exitCode() == 0, each.readAllStandardError().constData());
        }
        QCOMPARE(QSet<QByteArray>({Got(strShared + "/T.DAT"), Got(strShared + "/T (2).DAT")}),
                 QSet<QByteArray>({Pattern(9000, 10), Pattern(9000, 11)}));
        QVERIFY(!QFile::exists(strShared + "/SAME (2).DAT"));
        for (int i = 0; i < 2; ++i) {
            run = CliProcess::Run(
                SimLink(Root(QStringLiteral("rec-%1").arg(i)), QStringLiteral("?serial=SN-%1").arg(i)) +
                QStringList{"archive", "--to", strShared});
            QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("nothing new to archive: 2 already archived"));
        }
        // Every line names its recorder, and its time is UTC.
        for (const QJsonObject &line : JournalOf(strShared)) {
            QVERIFY(line["recorder"].toString().contains(QStringLiteral("Serial number SN-")));
            QVERIFY(line["time"].toString().endsWith(QLatin1Char('Z')));
        }
    }

    // The recorder writes its current file while it is archived: that file stays on the card.
    void deleteAfterKeepsAFileThatChangedSinceItsDownload()
    {
        const QStringList link = SimLink(m_pRec->CardDir(), QStringLiteral("?grow=TREND01.DAT"));
        CliRun run = CliProcess::Run(link + QStringList{"archive", "--to", Out("a"), "--delete-after"});
        QCOMPARE(run.nExit, int(RESULT_NOT_DELETED));
        QVERIFY2(run.strErr.contains(
                     QStringLiteral("\"TREND01.DAT\" changed since it was archived; kept on the card")),
                 qPrintable(run.strErr));
        QCOMPARE(m_pRec->CardFiles(), QStringList{"TREND01.DAT"});
        QCOMPARE(Got(Out("a/TREND01.DAT")), Pattern(70000, 1));
        QVERIFY(m_pRec->CardFile("TREND01.DAT").startsWith(Pattern(70000, 1)));
        // The next run takes the new version.
        run = CliProcess::Run(SimLink(m_pRec->CardDir()) + QStringList{"archive", "--to", Out("a")});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(Got(Out("a/TREND01 (2).DAT")), m_pRec->CardFile("TREND01.DAT"));
    }

    // One archive run into a folder at a time; what a killed download left is cleared, what a
    // running one writes is not.
    void archiveRunsTakeTheFolderInTurnAndClearWhatKilledRunsLeft()
    {
        const QString strArchive = Out("archive");
        QVERIFY(QDir().mkpath(strArchive));
        QFile lockFile(strArchive + "/.orvoconnect-archive.lock");
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QCOMPARE(::flock(lockFile.handle(), LOCK_EX), 0);
        QProcess waiting;
        CliProcess::Start(waiting, SimLink(m_pRec->CardDir()) + QStringList{"archive", "--to", strArchive});
        QString strWaitSaid;
        QTRY_VERIFY_WITH_TIMEOUT((strWaitSaid += QString::fromUtf8(waiting.readAllStandardError()))
                                     .contains(QStringLiteral("waiting for another archive run into")),
                                 10000);
        // A dry run needs no lock.
        QCOMPARE(CliProcess::Run(SimLink(m_pRec->CardDir()) +
                                 QStringList{"archive", "--to", strArchive, "--dry-run"})
                     .nExit,
                 0);
        QVERIFY(!QFile::exists(strArchive + "/TREND01.DAT"));
        lockFile.close();
        QVERIFY(waiting.waitForFinished(20000));
        QCOMPARE(waiting.exitCode(), 0);
        QCOMPARE(Got(strArchive + "/TREND01.DAT"), Pattern(70000, 1));

        // A lock file that cannot be had: the run fails before the recorder is opened.
        const QString strLinked = Out("linked");
        QVERIFY(QDir().mkpath(strLinked));
        QVERIFY(QFile::link(Out("nowhere"), strLinked + "/.orvoconnect-archive.lock"));
        QCOMPARE(CliProcess::Run({"--link", "tcp:127.0.0.1:1", "archive", "--to", strLinked}).nExit,
                 int(RESULT_HOST_IO_ERROR));

        // A get on a file system without unnamed files writes a named temporary file, locked.
        QVERIFY(m_pRec->PutCardFile("BIG.DAT", Pattern(2000000, 5)));
        m_pRec->Wire().beforeRead = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
        QVERIFY(TestFiles::Write(strArchive + "/.orvo-stale123.tmp", "left by a killed run"));
        QProcess get;
        CliProcess::Start(
            get, {"--link", m_strLink, "get", "--to", strArchive, "BIG.DAT"},
            {"LD_PRELOAD=" ORVO_NO_TMPFILE_SHIM, "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
        const auto temporaries = [&strArchive] {
            return Listing(strArchive).filter(QRegularExpression("^\\.orvo-.*\\.tmp$"));
        };
        QTRY_COMPARE_WITH_TIMEOUT(temporaries().size(), 2, 10000);
        const QString strOther = Root("other-card");
        QVERIFY(QDir().mkpath(strOther));
        CliRun run = CliProcess::Run(SimLink(strOther) + QStringList{"archive", "--to", strArchive});
        QCOMPARE(run.nExit, 0);
        QVERIFY(!QFile::exists(strArchive + "/.orvo-stale123.tmp"));
        const QList<QJsonObject> journal = JournalOf(strArchive);
        QVERIFY(std::any_of(journal.cbegin(), journal.cend(), [](const QJsonObject &line) {
            return line["action"] == QStringLiteral("removed-temporary") &&
                   line["local_name"] == QStringLiteral(".orvo-stale123.tmp");
        }));
        QVERIFY(get.waitForFinished(30000));
        QCOMPARE(get.exitCode(), 0);
        QCOMPARE(Got(strArchive + "/BIG.DAT"), Pattern(2000000, 5));
        QVERIFY(temporaries().isEmpty());
    }

    // A pass killed at any step of a file's writes: the next one finishes it, never stores the
    // same version again under a new name, and leaves a folder that sha256sum verifies.
    void passKilledAtEachStepIsFinishedByTheNext_data()
    {
        QTest::addColumn<QString>("step");
        for (const char *pszStep : {"noted", "named", "listed", "journaled"})
            QTest::newRow(pszStep) << QString::fromLatin1(pszStep);
    }
    void passKilledAtEachStepIsFinishedByTheNext()
    {
        QFETCH(QString, step);
        EmptyCard();
        const QStringList archive = SimLink(m_pRec->CardDir()) + QStringList{"archive", "--to", Out("a")};
        QVERIFY(m_pRec->PutCardFile("A.DAT", Pattern(5000, 1)));
        QCOMPARE(CliProcess::Run(archive).nExit, 0);
        QVERIFY(m_pRec->PutCardFile("A.DAT", Pattern(6000, 2), QDateTime::currentDateTime().addSecs(60)));
        QCOMPARE(CliProcess::Run(archive, {}, {"ORVOCONNECT_KILL_AT=" + step}).nExit, -1);
        CliRun run = CliProcess::Run(archive);
        QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
        QCOMPARE(Listing(Out("a")).filter(QRegularExpression("^A")), (QStringList{"A (2).DAT", "A.DAT"}));
        QCOMPARE(Got(Out("a/A (2).DAT")), Pattern(6000, 2));
        QCOMPARE(ManifestCheck(Out("a")), 0);
        run = CliProcess::Run(archive);
        QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("nothing new to archive: 1 already archived"));
    }

    // Card names that the kept-beside names must survive: each changed file is kept beside
    // once, and the next run finds everything archived.
    void changedFilesWithHostileNamesAreKeptBesideOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("newline") << QStringLiteral("new\nline.DAT");
        QTest::newRow("carriage return") << QStringLiteral("cr\rname.DAT");
        QTest::newRow("tab") << QStringLiteral("tab\tname");
        QTest::newRow("quote") << QStringLiteral("quote\".DAT");
        QTest::newRow("255 bytes") << QString(251, QLatin1Char('L')) + QStringLiteral(".DAT");
        QTest::newRow("254 bytes, two-byte letters") << QString(125, QChar(0x0119)) + QStringLiteral(".DAT");
    }
    void changedFilesWithHostileNamesAreKeptBesideOnce()
    {
        QFETCH(QString, name);
        EmptyCard();
        const QStringList archive = SimLink(m_pRec->CardDir()) + QStringList{"archive", "--to", Out("a")};
        QVERIFY(m_pRec->PutCardFile(name, "first"));
        QCOMPARE(CliProcess::Run(archive).nExit, 0);
        QVERIFY(m_pRec->PutCardFile(name, "second version", QDateTime::currentDateTime().addSecs(60)));
        CliRun run = CliProcess::Run(archive);
        QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
        QVERIFY2(run.strOut.contains(QStringLiteral("1 kept beside")), qPrintable(run.strOut));
        run = CliProcess::Run(archive);
        QCOMPARE(run.strOut.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("nothing new to archive: 1 already archived"));
        QCOMPARE(Listing(Out("a")).size(), 5); // the two versions, the journal, the lock and the manifest
        QCOMPARE(ManifestCheck(Out("a")), 0);
    }

    void unsafeCardNamesAreRefusedBeforeWriting()
    {
        // The recorder lists names no folder can hold.
        EmptyCard();
        const QMap<QString, QString> lies = {
            {"dotdot", ".."}, {"escape.dat", "../escape.dat"}, {"inner.dat", "sub/inner.dat"}};
        for (const QString &strName : QStringList{"good.dat", "dotdot", "escape.dat", "inner.dat"})
            QVERIFY(m_pRec->PutCardFile(strName, "0123456789"));
        m_pRec->Wire().lie = [lies](quint16 nRequestCode, QByteArray &reply) {
            if (IsListEntry(nRequestCode, reply) && lies.contains(EntryOf(reply).Name()))
                Rename(reply, lies.value(EntryOf(reply).Name()));
        };
        const QString strDest = Out("dest");
        QVERIFY(QDir().mkpath(strDest));

        // get --all checks every name first: nothing is written, not even the good file.
        CliRun run = Cli({"get", "--to", strDest, "--all"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("not a safe local file name")), qPrintable(run.strErr));
        QVERIFY(Listing(strDest).isEmpty());
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList());

        // A named unsafe file is refused before the recorder is asked for anything.
        const qsizetype nWritesBefore = SettledWrites();
        run = Cli({"get", "--to", strDest, "--", "../escape.dat"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(SettledWrites(), nWritesBefore);
        QVERIFY(!QFile::exists(Out("escape.dat")));

        // sync refuses each of them and archives the good one; ls shows the names as they are.
        run = Cli({"sync", "--to", strDest});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(run.strErr.count(QStringLiteral("not a safe local file name")), 3);
        QCOMPARE(Listing(strDest), (QStringList{".orvoconnect-archive.lock", ".orvoconnect-archive.log",
                                                "SHA256SUMS", "good.dat"}));
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList());
        run = Cli({"ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 4);
        QVERIFY(run.strOut.contains(QStringLiteral("../escape.dat\t")));
        QCOMPARE(Cli({"get", "--to", strDest, "--overwrite", "good.dat"}).nExit, 0);
        QCOMPARE(Listing(strDest), (QStringList{".orvoconnect-archive.lock", ".orvoconnect-archive.log",
                                                "SHA256SUMS", "good.dat"}));
    }

    void signalWakesATransferOnASilentRecorder_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<quint16>("request"); // the reply to it goes missing
        QTest::addColumn<quint16>("reply");   // only replies with this code (0: any)
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("abort"); // a transfer is open: the recorder is told
        QTest::newRow("info") << QStringList{"info"} << quint16(CMD_GET_DEVICE_INFO) << quint16(0)
                              << int(RESULT_CANCELLED) << false;
        QTest::newRow("ls") << QStringList{"ls"} << quint16(CMD_LIST_FILES) << quint16(0)
                            << int(RESULT_CANCELLED) << true;
        QTest::newRow("get") << QStringList{"get", "--to", "dest", "TREND01.DAT"} << quint16(CMD_ACK)
                             << quint16(RSP_FILE_BLOCK) << int(RESULT_CANCELLED) << true;
        // A service stop: the watch ends well.
        QTest::newRow("watch") << QStringList{"watch", "--to", "dest"} << quint16(CMD_ACK)
                               << quint16(RSP_FILE_BLOCK) << 0 << true;
    }

    void signalWakesATransferOnASilentRecorder()
    {
        // The link keeps its 15 s time-out: only the wake can end the run this soon.
        QFETCH(QStringList, args);
        QFETCH(quint16, request);
        QFETCH(quint16, reply);
        QFETCH(int, status);
        QFETCH(bool, abort);
        QVERIFY(QDir().mkpath(Out("dest")));
        auto pSwallowed = std::make_shared<std::atomic<int>>(0);
        m_pRec->Wire().lie = [=](quint16 nRequestCode, QByteArray &bytes) {
            if (nRequestCode == request &&
                (reply == 0 || LittleEndian::U16(Bytes(bytes) + Frame::OFFSET_CODE) == reply)) {
                bytes.clear();
                ++*pSwallowed;
            }
        };
        QProcess cli;
        cli.setWorkingDirectory(m_pRec->OutDir());
        CliProcess::Start(cli, QStringList{"--link", m_strLink} + args, {"ORVOCONNECT_WATCH_POLL_MS=200"});
        QVERIFY(cli.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(*pSwallowed > 0, 10000);
        QTest::qWait(300); // the program is waiting for the reply by now
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(cli.processId()), SIGTERM);
        QVERIFY(cli.waitForFinished(10000));
        const qint64 nMs = timer.elapsed();
        qInfo("%s: ended %lld ms after SIGTERM", QTest::currentDataTag(), nMs);
        const QString strErr = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == status, qPrintable(strErr));
        QVERIFY2(nMs < 1500, qPrintable(QStringLiteral("%1 ms").arg(nMs)));
        QVERIFY2(!strErr.contains(QStringLiteral("communication")), qPrintable(strErr));
        if (abort)
            QTRY_VERIFY(m_pRec->Wire().WrittenCodes().contains(CMD_ABORT));
        else
            QVERIFY(!m_pRec->Wire().WrittenCodes().contains(CMD_ABORT));
        // Nothing of the file in flight stays; the watch keeps its journal and whole files only.
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList());
        for (const QString &strName : Listing(Out("dest")))
            QVERIFY2(LocalNames::IsReserved(strName) ||
                         Got(Out("dest/" + strName)) == TestFiles::Read(m_pRec->CardPath(strName)),
                     qPrintable(strName));
        QVERIFY(!Listing(Out("dest")).contains("TREND01.DAT"));
    }

    void interruptDuringDownloadCancelsCleanly()
    {
        // About a hundred blocks, each held back a little: seconds, time enough to interrupt.
        QVERIFY(m_pRec->PutCardFile("BIG.DAT", Pattern(3000000)));
        m_pRec->Wire().beforeRead = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); };
        QVERIFY(TestFiles::Write(Out("BIG.DAT"), "older copy"));
        QProcess cli;
        CliProcess::Start(cli,
                          {"--link", m_strLink, "get", "--overwrite", "--to", m_pRec->OutDir(), "BIG.DAT"});
        QVERIFY(cli.waitForStarted());
        // Wait until data is flowing.
        QTRY_VERIFY_WITH_TIMEOUT(m_pRec->Wire().CountWritten(CMD_ACK) >= 5, 10000);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), int(RESULT_CANCELLED));
        QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("cancel")));
        // The recorder was told, no partial file is left, the older copy is intact.
        QTRY_VERIFY(m_pRec->Wire().WrittenCodes().contains(CMD_ABORT));
        QCOMPARE(Listing(m_pRec->OutDir()), QStringList{"BIG.DAT"});
        QCOMPARE(Got(Out("BIG.DAT")), QByteArray("older copy"));
    }

    void listWithoutEndIsACommunicationFailure()
    {
        // Where the list should end comes one more entry, and another after each ACK from then on.
        struct Endless
        {
            QByteArray more;
            int nSeen = 0;
            int nAnswered = 0;
        };
        const auto pEndless = std::make_shared<Endless>();
        InterceptingTransport &wire = m_pRec->Wire();
        wire.lie = [pEndless](quint16 nRequestCode, QByteArray &reply) {
            if (pEndless->more.isEmpty() && IsListEntry(nRequestCode, reply) && !EntryOf(reply).HasName()) {
                Rename(reply, QStringLiteral("F.DAT"));
                pEndless->more = reply;
                pEndless->nAnswered = pEndless->nSeen;
            }
        };
        wire.beforeRead = [pEndless, &wire](int nWrites) {
            pEndless->nSeen = nWrites;
            if (!pEndless->more.isEmpty() && nWrites > pEndless->nAnswered) {
                pEndless->nAnswered = nWrites;
                wire.Babble(pEndless->more);
            }
        };
        const CliRun run = Cli({"ls"});
        QCOMPARE(run.nExit, int(RESULT_COMM_ERROR));
        QVERIFY(run.strOut.isEmpty());
        QVERIFY2(
            run.strErr.contains(QStringLiteral("cannot list the card: the recorder listed more than 200000 "
                                               "files without ending its list")),
            qPrintable(run.strErr));
        QTRY_COMPARE(wire.WrittenCodes().last(), CMD_ABORT);
        // The entries held until then stay within bounds (200,000 of 560 bytes and the list's slack).
        rusage usage{};
        QCOMPARE(::getrusage(RUSAGE_CHILDREN, &usage), 0);
        QVERIFY2(usage.ru_maxrss < 400 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
    }

    void journalPrintsTheTrailForPeopleAndSpreadsheets()
    {
        const QString strDir = Root("trail");
        QVERIFY(QDir().mkpath(strDir));
        QByteArray journal;
        for (const QJsonObject &line : {QJsonObject{{"action", "run-start"},
                                                    {"command", "archive"},
                                                    {"options", QJsonArray{"--delete-after"}},
                                                    {"recorder", "REC-A"},
                                                    {"time", "2026-12-06T23:59:59Z"},
                                                    {"user", "op"}},
                                        QJsonObject{{"action", "downloaded"},
                                                    {"card_date", "2009-03-07T14:05:09"},
                                                    {"card_name", "=HYPERLINK(\"http://x\",\"y\")\n.DAT"},
                                                    {"local_name", "A.DAT"},
                                                    {"recorder", "REC-A"},
                                                    {"sha256", QString(64, 'a')},
                                                    {"size", 12},
                                                    {"time", "2026-12-07T10:00:00Z"},
                                                    {"user", "op"}},
                                        QJsonObject{{"action", "run-end"},
                                                    {"already_archived", 2},
                                                    {"deleted", 0},
                                                    {"downloaded", 1},
                                                    {"failed", 0},
                                                    {"kept_beside", 0},
                                                    {"time", "2026-12-07T10:00:01Z"}}})
            journal += QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
        QVERIFY(TestFiles::Write(strDir + "/.orvoconnect-archive.log", journal));

        // The formula cannot start its cell; the name's quotes, comma and line break stay in one.
        CliRun run = CliProcess::Run({"journal", strDir, "--csv", "--since", "2026-12-07"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(
            run.strOut,
            "time,user,host,recorder,action,card_name,local_name,size,card_date,sha256,detail\r\n"
            "2026-12-07T10:00:00Z,op,,REC-A,downloaded,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\n.DAT\","
            "A.DAT,12,2009-03-07T14:05:09," +
                QString(64, 'a') +
                ",\r\n"
                "2026-12-07T10:00:01Z,,,,run-end,,,,,,\"downloaded 1, kept beside 0, already archived 2, "
                "failed 0, deleted 0\"\r\n");

        // The table: one row a line, the name's line break shown as '?'.
        run = CliProcess::Run({"journal", strDir});
        QCOMPARE(run.nExit, 0);
        const QStringList rows = run.strOut.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        QVERIFY2(rows.at(0).startsWith("TIME (UTC)") &&
                     rows.at(1).startsWith("2026-12-06 23:59:59  op    REC-A"),
                 qPrintable(run.strOut));
        QVERIFY2(rows.at(1).contains("archive --delete-after"), qPrintable(run.strOut));
        QVERIFY2(rows.at(2).contains("=HYPERLINK(\"http://x\",\"y\")?.DAT \u2192 A.DAT"),
                 qPrintable(run.strOut));

        run = CliProcess::Run({"journal", Root("no-archive")});
        QCOMPARE(run.nExit, 5);
        QVERIFY2(run.strErr.contains("no archive journal"), qPrintable(run.strErr));
    }

    void verifyMarksEachDifferenceAndEndsWithItsStatus()
    {
        const QString strDir = Root("verified");
        const QDateTime date({2009, 3, 7}, {14, 5, 9});
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", Pattern(3000, 1), date},
                                            {"B.DAT", Pattern(2000, 2), date},
                                            {"C.DAT", Pattern(1000, 3), date}}));
        CliRun run = CliProcess::Run({"verify", strDir, "--all"});
        QCOMPARE(run.nExit, 0);
        QStringList lines = run.strOut.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 3), QStringList({"= A.DAT", "= B.DAT", "= C.DAT"}));
        QVERIFY2(lines.contains("3 files checked: 3 matching, 0 changed, 0 missing, 0 added, 0 unreadable") &&
                     lines.contains("journal chain: intact (3 lines)") &&
                     lines.last() ==
                         "journal head: " + JournalChain::TailHash(TestArchive::JournalPath(strDir), nullptr),
                 qPrintable(run.strOut));

        // Only a file that cannot be read: status 5.
        QVERIFY(QFile::remove(strDir + "/C.DAT") && QDir().mkdir(strDir + "/C.DAT"));
        run = CliProcess::Run({"verify", strDir});
        QCOMPARE(run.nExit, 5);
        QVERIFY2(run.strOut.startsWith("! C.DAT\t"), qPrintable(run.strOut));

        // A changed file, a hostile added name and a journal line removed: status 10.
        QVERIFY(TestFiles::Write(strDir + "/A.DAT", Pattern(3000, 7), date));
        QVERIFY(TestFiles::Write(strDir + "/E\x1b[2J.DAT", "x"));
        QByteArray journal = TestFiles::Read(TestArchive::JournalPath(strDir));
        journal.remove(0, journal.indexOf('\n') + 1);
        QVERIFY(TestFiles::Write(TestArchive::JournalPath(strDir), journal));
        run = CliProcess::Run({"verify", strDir});
        QCOMPARE(run.nExit, 10);
        lines = run.strOut.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 7);
        QVERIFY2(lines.at(0).startsWith("* A.DAT\t") && lines.at(1).startsWith("! C.DAT\t") &&
                     lines.at(2).startsWith("+ E?[2J.DAT\t") && lines.at(3).startsWith("journal line 1: "),
                 qPrintable(run.strOut));

        run = CliProcess::Run({"verify", strDir, "--json"});
        QCOMPARE(run.nExit, 10);
        const QJsonObject object = QJsonDocument::fromJson(run.strOut.toUtf8()).object();
        QCOMPARE(object["counts"].toObject()["changed"].toInt(), 1);
        QCOMPARE(object["differences"].toArray().at(2).toObject()["name"].toString(),
                 QString("E\x1b[2J.DAT"));
        QCOMPARE(object["chain"].toObject()["breaks"].toArray().at(0).toObject()["line"].toInt(), 1);
        QCOMPARE(object["journal_head"].toString().size(), 64);

        run = CliProcess::Run({"verify", Root("no-archive-here")});
        QCOMPARE(run.nExit, 5);
    }

    void unreachableRecorderAndUsageErrors()
    {
        CliRun run = CliProcess::Run({"--link", "tcp:127.0.0.1:1", "ls"});
        QCOMPARE(run.nExit, 69);
        QVERIFY2(run.strErr.contains(QStringLiteral("cannot reach the recorder")) &&
                     run.strErr.contains(QStringLiteral("refused")),
                 qPrintable(run.strErr));
        // The environment chooses the link when --link is not given.
        QCOMPARE(CliProcess::Run({"info"}, QString(), {"ORVOCONNECT_LINK=tcp:127.0.0.1:1"}).nExit, 69);

        // --device chooses among recorders on USB; a TCP link reaches one.
        const QList<QStringList> usageErrors = {
            {},
            {"frobnicate"},
            {"--link"},
            {"--link", "nonsense:x", "ls"},
            {"--link", "tcp:nohostport", "ls"},
            {"ls", "extra"},
            {"ls", "--bogus"},
            {"get"},
            {"get", "--all", "a"},
            {"get", "--overwrite", "--skip-existing", "a"},
            {"get", "--to"},
            {"get", "--to", "", "a"},
            {"get", "--to=", "--all"},
            {"put"},
            {"put", "a", "b"},
            {"rm"},
            {"save", "now"},
            {"info", "--json"},
            {"--link", "tcp:127.0.0.1:1", "--device", "REC-A", "ls"},
            {"watch"},
            {"journal"},
            {"journal", "a", "b"},
            {"journal", "a", "--since", "07/12/2026"},
            {"verify"},
            {"verify", "a", "b"},
            {"verify", "--fast", "a"},
            {"watch", "--to", "d", "--every", "0"},
            {"--link", "tcp:127.0.0.1:1", "archive", "--exclude", "SYSTEM[.IMG", "--delete-after"},
            {"--link", "tcp:127.0.0.1:1", "watch", "--to", "d", "--include", "["},
            {"--link", "tcp:127.0.0.1:1", "watch", "--to", "d", "--per-recorder"}};
        for (const QStringList &args : usageErrors) {
            run = CliProcess::Run(args);
            QVERIFY2(run.nExit == 64, qPrintable(args.join(' ') + QStringLiteral(": ") + run.strErr));
            QVERIFY2(!run.strErr.isEmpty(), qPrintable(args.join(' ')));
        }
        run = CliProcess::Run({"--help"});
        QCOMPARE(run.nExit, 0);
        for (const char *pszCommand : {"info", "ls", "get", "sync", "put", "rm", "save"})
            QVERIFY(run.strOut.contains(QLatin1String(pszCommand)));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
