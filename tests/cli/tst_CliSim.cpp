// orvoconnect-cli against the real orvoconnect-sim over TCP (and the in-process sim: link):
// every command, its output, the files it leaves, and its exit status under each fault.

#include "CliProcess.h"
#include "protocol/ProtocolCodes.h"
#include "SimProcess.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int BLOCK = 32744;

QByteArray Pattern(qsizetype nBytes, char cSeed)
{
    QByteArray data(nBytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < nBytes; ++i)
        data[i] = char(cSeed + i * 7 + (i >> 11));
    return data;
}

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString &strPath, const QByteArray &data, const QDateTime &modified = {})
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QStringList FilesIn(const QString &strDir)
{
    return QDir(strDir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name | QDir::IgnoreCase);
}

} // namespace

class TestCliSim final : public QObject
{
    Q_OBJECT

public:
    QString Card() const { return m_root.filePath(QStringLiteral("card")); }
    QString Dest() const { return m_root.filePath(QStringLiteral("dest")); }
    QString CardFile(const QString &strName) const { return Card() + QLatin1Char('/') + strName; }
    QString DestFile(const QString &strName) const { return Dest() + QLatin1Char('/') + strName; }

    CliRun Cli(const SimProcess &sim, const QStringList &args, const QStringList &env = {})
    {
        return CliProcess::Run(QStringList{QStringLiteral("--link"), sim.LinkName()} + args, Dest(), env);
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        QDir(Card()).removeRecursively();
        QDir(Dest()).removeRecursively();
        QVERIFY(QDir().mkpath(Card()));
        QVERIFY(QDir().mkpath(Dest()));
        // The recorder shows local calendar time as it stands; the emulator takes it from
        // the folder's modification times.
        Write(CardFile(QStringLiteral("TREND01.DAT")), Pattern(70000, 1),
              QDateTime(QDate(2009, 3, 7), QTime(14, 5, 9)));
        Write(CardFile(QStringLiteral("alarm.log")), Pattern(0, 2),
              QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)));
        Write(CardFile(QStringLiteral("system.img")), Pattern(BLOCK, 3),
              QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)));
    }

    void infoPrintsBothTextsAsSent()
    {
        SimProcess sim(Card());
        QVERIFY2(sim.IsRunning(), qPrintable(sim.Output()));
        const CliRun run = Cli(sim, {"info"});
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
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        CliRun run = Cli(sim, {"ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut, QStringLiteral("alarm.log\t01/01/00 (00:00:00)\t0\n"
                                            "system.img\t31/12/99 (23:59:59)\t32744\n"
                                            "TREND01.DAT\t07/03/09 (14:05:09)\t70000\n"));

        run = Cli(sim, {"ls", "--json"});
        QCOMPARE(run.nExit, 0);
        const QJsonArray array = QJsonDocument::fromJson(run.strOut.toUtf8()).array();
        QCOMPARE(array.size(), 3);
        const QJsonObject trend = array.at(2).toObject();
        QCOMPARE(trend.value(QStringLiteral("name")).toString(), QStringLiteral("TREND01.DAT"));
        QCOMPARE(trend.value(QStringLiteral("modified")).toString(), QStringLiteral("2009-03-07T14:05:09"));
        QCOMPARE(trend.value(QStringLiteral("size")).toInteger(), 70000);

        // An empty card lists nothing and still succeeds.
        for (const QString &strName : FilesIn(Card()))
            QVERIFY(QFile::remove(CardFile(strName)));
        run = Cli(sim, {"ls"});
        QCOMPARE(run.nExit, 0);
        QVERIFY(run.strOut.isEmpty());
        QCOMPARE(Cli(sim, {"ls", "--json"}).strOut.trimmed(), QStringLiteral("[\n]"));
    }

    void getDownloadsAndGuardsExistingFiles()
    {
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        // Into the current folder by default.
        CliRun run = Cli(sim, {"get", "TREND01.DAT", "alarm.log"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("alarm.log"))), QByteArray());

        // An existing file without --overwrite: host I/O error before anything is fetched,
        // even the names that do not exist yet.
        Write(DestFile(QStringLiteral("TREND01.DAT")), "mine");
        run = Cli(sim, {"get", "system.img", "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("already exists")), qPrintable(run.strErr));
        QVERIFY(!QFile::exists(DestFile(QStringLiteral("system.img"))));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), QByteArray("mine"));

        run = Cli(sim, {"get", "--skip-existing", "system.img", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("system.img"))), Pattern(BLOCK, 3));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), QByteArray("mine"));

        run = Cli(sim, {"get", "--overwrite", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));

        // --to elsewhere; a file the card does not have; a destination that is not a folder.
        const QString strOther = m_root.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(strOther));
        QCOMPARE(Cli(sim, {"get", "--to", strOther, "TREND01.DAT"}).nExit, 0);
        QCOMPARE(ReadAll(strOther + QStringLiteral("/TREND01.DAT")), Pattern(70000, 1));
        // Every name is looked up on the card first: one it lacks fails the run, and nothing
        // is downloaded, not even the names it has. A downloaded file takes the card's date.
        QCOMPARE(QFileInfo(strOther + QStringLiteral("/TREND01.DAT")).lastModified(),
                 QDateTime(QDate(2009, 3, 7), QTime(14, 5, 9)));
        QVERIFY(QFile::remove(strOther + QStringLiteral("/TREND01.DAT")));
        run = Cli(sim, {"get", "--to", strOther, "TREND01.DAT", "NOPE.DAT"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("\"NOPE.DAT\": not on the card")),
                 qPrintable(run.strErr));
        QVERIFY(!QFile::exists(strOther + QStringLiteral("/NOPE.DAT")));
        QVERIFY(QFile::exists(strOther + QStringLiteral("/TREND01.DAT")) == false);
        QCOMPARE(Cli(sim, {"get", "--to", strOther, "TREND01.DAT"}).nExit, 0);
        run = Cli(sim, {"get", "--to", m_root.filePath(QStringLiteral("missing")), "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY(run.strErr.contains(QStringLiteral("not a folder")));
        QCOMPARE(FilesIn(strOther), QStringList{QStringLiteral("TREND01.DAT")});
    }

    // A link in the destination named like a card file, pointing out of it or nowhere, is
    // never written through: every such name is listed and nothing is downloaded.
    void linksInTheDestinationAreNeverWrittenThrough()
    {
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        const QString strOutside = m_root.filePath(QStringLiteral("outside.img"));
        Write(strOutside, "precious");
        QVERIFY(QFile::link(strOutside, DestFile(QStringLiteral("system.img"))));
        QVERIFY(QFile::link(m_root.filePath(QStringLiteral("nowhere.log")),
                            DestFile(QStringLiteral("alarm.log"))));

        for (const QStringList &args :
             {QStringList{"get", "--overwrite", "TREND01.DAT", "system.img", "alarm.log"},
              QStringList{"get", "--all", "--overwrite"}}) {
            const CliRun run = Cli(sim, args);
            QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
            QVERIFY2(run.strErr.contains(QStringLiteral("refusing \"system.img\"")) &&
                         run.strErr.contains(QStringLiteral("refusing \"alarm.log\"")) &&
                         run.strErr.contains(QStringLiteral("symbolic link")),
                     qPrintable(run.strErr));
            QVERIFY(!QFile::exists(DestFile(QStringLiteral("TREND01.DAT"))));
        }
        // The archive refuses each link and goes on with the other files.
        const CliRun archived = Cli(sim, {"sync"});
        QCOMPARE(archived.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(archived.strErr.count(QStringLiteral("symbolic link")), 2);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));
        QVERIFY(QFile::remove(DestFile(QStringLiteral("TREND01.DAT"))));
        const CliRun skipped = Cli(sim, {"get", "--all", "--skip-existing"});
        QCOMPARE(skipped.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));
        QCOMPARE(ReadAll(strOutside), QByteArray("precious"));
        QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("nowhere.log"))));
    }

    void largeDownloadArrivesWhole()
    {
        // Several write chunks and an odd tail: nothing lost or doubled at the seams.
        const QByteArray data = Pattern(3 * 1024 * 1024 + 12345, 5);
        Write(CardFile(QStringLiteral("BIG.DAT")), data);
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        QCOMPARE(Cli(sim, {"get", "BIG.DAT"}).nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("BIG.DAT"))), data);
    }

    void getAllAndSyncFetchWhatIsMissing()
    {
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        CliRun run = Cli(sim, {"get", "--all"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(FilesIn(Dest()), FilesIn(Card()));
        run = Cli(sim, {"get", "--all"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(Cli(sim, {"get", "--all", "--skip-existing"}).nExit, 0);

        // sync is the archive: it fetches the missing file, keeps a changed one beside the old
        // one, and the next run has nothing to do.
        QVERIFY(QFile::remove(DestFile(QStringLiteral("system.img"))));
        Write(DestFile(QStringLiteral("TREND01.DAT")), "short");
        run = Cli(sim, {"sync"});
        QCOMPARE(run.nExit, 0);
        QVERIFY2(
            run.strOut.contains(QStringLiteral("1 downloaded, 1 kept beside, 1 already archived, 0 failed")),
            qPrintable(run.strOut));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), QByteArray("short"));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01 (2).DAT"))), Pattern(70000, 1));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("system.img"))), Pattern(BLOCK, 3));
        run = Cli(sim, {"sync"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut, QStringLiteral("nothing new to archive: 3 already archived\n"));
    }

    // The archive takes only what is new, proves a same-size file by its bytes before it counts
    // as archived, and frees the card only of what this run has on disk.
    void archiveTakesWhatIsNewAndDeletesOnlyWhatIsSafe()
    {
        const auto cli = [this](const QString &strFaults, const QStringList &args) {
            const QString strLink = QStringLiteral("sim:") + Card() + strFaults;
            return CliProcess::Run(QStringList{QStringLiteral("--link"), strLink} + args, Dest());
        };
        // system.img is here already with the same bytes and a download's date.
        Write(DestFile(QStringLiteral("system.img")), Pattern(BLOCK, 3));

        CliRun run = cli(QString(), {"archive", "--dry-run", "--delete-after", "--json"});
        QCOMPARE(run.nExit, 0);
        const QJsonArray planned =
            QJsonDocument::fromJson(run.strOut.toUtf8())[QStringLiteral("files")].toArray();
        QStringList actions;
        for (const QJsonValue &file : planned)
            actions << file[QStringLiteral("name")].toString() + QLatin1Char(':') +
                           file[QStringLiteral("action")].toString();
        actions.sort();
        QCOMPARE(actions, (QStringList{"TREND01.DAT:download", "alarm.log:download", "system.img:compare"}));
        QCOMPARE(FilesIn(Dest()), QStringList{QStringLiteral("system.img")});
        QCOMPARE(FilesIn(Card()).size(), 3);

        // TREND01.DAT needs two blocks and fails: it stays on the card; the others are archived
        // (system.img by adoption: only its date changes) and deleted from the card.
        run = cli(QStringLiteral("?stop-download-after=1"), {"archive", "--delete-after"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("cannot archive \"TREND01.DAT\"")),
                 qPrintable(run.strErr));
        QCOMPARE(FilesIn(Card()), QStringList{QStringLiteral("TREND01.DAT")});
        QCOMPARE(FilesIn(Dest()), (QStringList{".orvoconnect-archive.log", "alarm.log", "system.img"}));
        QCOMPARE(QFileInfo(DestFile(QStringLiteral("system.img"))).lastModified(),
                 QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)));
        const QByteArray journal = ReadAll(DestFile(QStringLiteral(".orvoconnect-archive.log")));
        QCOMPARE(journal.count('\n'), 4);
        QVERIFY(journal.contains(
            "\"action\":\"adopted\",\"card_date\":\"1999-12-31T23:59:59\",\"card_name\":\"system.img\""));

        // Filters: TREND01.DAT alone matches; a same-size file of other content is kept beside.
        Write(CardFile(QStringLiteral("OLD.DAT")), "old", QDateTime(QDate(2009, 3, 6), QTime(12, 0)));
        Write(DestFile(QStringLiteral("TREND01.DAT")), Pattern(70000, 9));
        run = cli(QString(), {"archive", "--include", "*.dat", "--exclude", "old*", "--since", "2009-03-07"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01 (2).DAT"))), Pattern(70000, 1));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 9));
        QVERIFY(!QFile::exists(DestFile(QStringLiteral("OLD.DAT"))));
        run = cli(QString(), {"archive", "--include", "*.DAT", "--exclude", "old*"});
        QCOMPARE(run.strOut, QStringLiteral("nothing new to archive: 1 already archived\n"));
    }

    void getAllStopsAtFirstFailure()
    {
        // alarm.log (0 bytes) and system.img (one full block) go through in one block each;
        // TREND01.DAT is cut after its first block and the run ends there.
        SimProcess sim(Card(), {"--stop-download-after", "1"});
        QVERIFY(sim.IsRunning());
        const CliRun run = Cli(sim, {"get", "--all"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY2(run.strErr.contains(QStringLiteral("TREND01.DAT")), qPrintable(run.strErr));
        QCOMPARE(FilesIn(Dest()), QStringList({"alarm.log", "system.img"}));
    }

    void downloadStoppedByRecorderLeavesNoFile_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("ok in place of a block") << QStringLiteral("ok");
        QTest::newRow("abort in place of a block") << QStringLiteral("abort");
    }

    void downloadStoppedByRecorderLeavesNoFile()
    {
        QFETCH(QString, code);
        SimProcess sim(Card(), {"--stop-download-after", "2", "--stop-code", code});
        QVERIFY(sim.IsRunning());
        Write(DestFile(QStringLiteral("TREND01.DAT")), "older");
        const CliRun run = Cli(sim, {"get", "--overwrite", "TREND01.DAT"});
        QCOMPARE(run.nExit, int(RESULT_DEVICE_STOPPED));
        QVERIFY(run.strErr.contains(QStringLiteral("stopped")));
        QCOMPARE(FilesIn(Dest()), QStringList{QStringLiteral("TREND01.DAT")});
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), QByteArray("older"));
    }

    void putUploadsAndAsksBeforeReplacing()
    {
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        const QString strLocal = m_root.filePath(QStringLiteral("FIRMWARE.BIN"));
        Write(strLocal, Pattern(100000, 9));
        CliRun run = Cli(sim, {"put", strLocal});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(CardFile(QStringLiteral("FIRMWARE.BIN"))), Pattern(100000, 9));

        Write(strLocal, "new firmware");
        run = Cli(sim, {"put", strLocal});
        QCOMPARE(run.nExit, int(RESULT_FILE_EXISTS));
        QVERIFY(run.strErr.contains(QStringLiteral("--overwrite")));
        QCOMPARE(ReadAll(CardFile(QStringLiteral("FIRMWARE.BIN"))), Pattern(100000, 9));
        QCOMPARE(Cli(sim, {"put", "--overwrite", strLocal}).nExit, 0);
        QCOMPARE(ReadAll(CardFile(QStringLiteral("FIRMWARE.BIN"))), QByteArray("new firmware"));

        run = Cli(sim, {"put", m_root.filePath(QStringLiteral("absent.bin"))});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        // An empty local file yields no block: the recorder is told and nothing is kept.
        const QString strEmpty = m_root.filePath(QStringLiteral("empty.bin"));
        Write(strEmpty, QByteArray());
        run = Cli(sim, {"put", strEmpty});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("is empty")), qPrintable(run.strErr));
        QVERIFY(!QFile::exists(CardFile(QStringLiteral("empty.bin"))));

        // A name that is empty after its last backslash is refused with its reason.
        const QString strTrailing = m_root.filePath(QStringLiteral("DATA\\"));
        Write(strTrailing, "data");
        run = Cli(sim, {"put", strTrailing});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("names no file after its last")), qPrintable(run.strErr));
        QCOMPARE(FilesIn(Card()).size(), 4);
    }

    void uploadRefusals_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("no card") << QStringList{"--no-card"} << int(RESULT_NO_CARD)
                                 << QStringLiteral("no CompactFlash");
        QTest::newRow("card full") << QStringList{"--card-full"} << int(RESULT_CARD_FULL)
                                   << QStringLiteral("free space");
        QTest::newRow("refused") << QStringList{"--refuse-upload"} << int(RESULT_DEVICE_STOPPED)
                                 << QStringLiteral("refused");
        QTest::newRow("aborted in the middle") << QStringList{"--abort-upload-after", "0"}
                                               << int(RESULT_DEVICE_STOPPED) << QStringLiteral("stopped");
    }

    void uploadRefusals()
    {
        QFETCH(QStringList, faults);
        QFETCH(int, result);
        QFETCH(QString, message);
        SimProcess sim(Card(), faults);
        QVERIFY(sim.IsRunning());
        const QString strLocal = m_root.filePath(QStringLiteral("NEW.BIN"));
        Write(strLocal, Pattern(5000, 4));
        const CliRun run = Cli(sim, {"put", strLocal});
        QCOMPARE(run.nExit, result);
        QVERIFY2(run.strErr.contains(message), qPrintable(run.strErr));
        QVERIFY(!QFile::exists(CardFile(QStringLiteral("NEW.BIN"))));
    }

    void removeReportsEachFile()
    {
        SimProcess sim(Card(), {"--refuse-delete", "system.img"});
        QVERIFY(sim.IsRunning());
        CliRun run = Cli(sim, {"rm", "alarm.log", "system.img", "NOPE.DAT"});
        QCOMPARE(run.nExit, int(RESULT_NOT_DELETED));
        QCOMPARE(run.strOut, QStringLiteral("File alarm.log deleted\n"
                                            "File system.img NOT deleted\n"
                                            "File NOPE.DAT NOT deleted\n"));
        QCOMPARE(FilesIn(Card()), QStringList({"system.img", "TREND01.DAT"}));
        run = Cli(sim, {"rm", "TREND01.DAT"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut, QStringLiteral("File TREND01.DAT deleted\n"));
    }

    void saveArchive()
    {
        {
            SimProcess sim(Card(), {"--save-delay-ms", "1500"});
            QVERIFY(sim.IsRunning());
            QElapsedTimer timer;
            timer.start();
            const CliRun run = Cli(sim, {"save"});
            QCOMPARE(run.nExit, 0);
            QVERIFY(timer.elapsed() >= 1400);
            QCOMPARE(FilesIn(Card()).size(), 4);
        }
        {
            SimProcess sim(Card(), {"--no-card"});
            QVERIFY(sim.IsRunning());
            const CliRun run = Cli(sim, {"save"});
            QCOMPARE(run.nExit, int(RESULT_NO_CARD));
            QVERIFY(run.strErr.contains(QStringLiteral("no CompactFlash")));
        }
        {
            // A recorder that never answers: given up once the (shortened) wait is over.
            SimProcess sim(Card(), {"--silent"});
            QVERIFY(sim.IsRunning());
            const CliRun run =
                Cli(sim, {"save"}, {"ORVOCONNECT_TIMEOUT_MS=200", "ORVOCONNECT_SAVE_TIMEOUT_MS=600"});
            QCOMPARE(run.nExit, int(RESULT_COMM_ERROR));
        }
    }

    void ctrlCDuringSaveWaitsForTheRecorder()
    {
        // The recorder cannot be told to stop saving: the first Ctrl-C says so, and the save
        // that completes is a success.
        SimProcess sim(Card(), {"--save-delay-ms", "2000"});
        QVERIFY(sim.IsRunning());
        QProcess cli;
        cli.setProcessEnvironment(CliProcess::BaseEnvironment());
        cli.start(CliProcess::Program(), {"--link", sim.LinkName(), "save"});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(700);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(10000));
        const QString strErr = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY2(strErr.contains(QStringLiteral("cannot be interrupted")), qPrintable(strErr));
        QCOMPARE(FilesIn(Card()).size(), 4);
    }

    void outputThatCannotBeWrittenIsAFailure()
    {
        // A listing lost on a full disk must not pass for success in a script.
        SimProcess sim(Card());
        QVERIFY(sim.IsRunning());
        for (const QStringList &args :
             {QStringList{"ls"}, QStringList{"ls", "--json"}, QStringList{"info"}}) {
            QProcess cli;
            cli.setProcessEnvironment(CliProcess::BaseEnvironment());
            cli.setStandardOutputFile(QStringLiteral("/dev/full"));
            cli.start(CliProcess::Program(), QStringList{"--link", sim.LinkName()} + args);
            QVERIFY(cli.waitForFinished(10000));
            const QString strErr = QString::fromUtf8(cli.readAllStandardError());
            QCOMPARE(cli.exitCode(), int(RESULT_HOST_IO_ERROR));
            QVERIFY2(strErr.contains(QStringLiteral("cannot write the output")), qPrintable(strErr));
        }
    }

    void silentRecorderIsACommunicationFailure()
    {
        SimProcess sim(Card(), {"--silent"});
        QVERIFY(sim.IsRunning());
        const QStringList env = {QStringLiteral("ORVOCONNECT_TIMEOUT_MS=300")};
        for (const QStringList &args : {QStringList{"info"}, QStringList{"ls"},
                                        QStringList{"get", "TREND01.DAT"}, QStringList{"rm", "alarm.log"}}) {
            const CliRun run = Cli(sim, args, env);
            QVERIFY2(run.nExit == RESULT_COMM_ERROR,
                     qPrintable(args.join(' ') + QLatin1Char(' ') + run.strErr));
            QVERIFY(run.strErr.contains(QStringLiteral("communication")));
        }
        QVERIFY(FilesIn(Dest()).isEmpty());
        QCOMPARE(FilesIn(Card()).size(), 3);
    }

    void garbageAndSplitRepliesAreSurvived_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("garbage blocks") << QStringList{"--garbage"};
        QTest::newRow("odd splits") << QStringList{"--split"};
        QTest::newRow("both") << QStringList{"--garbage", "--split"};
    }

    void garbageAndSplitRepliesAreSurvived()
    {
        QFETCH(QStringList, faults);
        SimProcess sim(Card(), faults);
        QVERIFY(sim.IsRunning());
        CliRun run = Cli(sim, {"info"});
        QCOMPARE(run.nExit, 0);
        QVERIFY(run.strOut.startsWith(QStringLiteral("Paperless recorder")));
        run = Cli(sim, {"ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 3);
        run = Cli(sim, {"get", "--all"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));
        QCOMPARE(ReadAll(DestFile(QStringLiteral("system.img"))), Pattern(BLOCK, 3));
    }

    void inProcessEmulatorLink()
    {
        const QString strLink = QStringLiteral("sim:") + Card();
        CliRun run = CliProcess::Run({"--link", strLink, "ls"}, Dest());
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 3);
        run =
            CliProcess::Run({"get", "TREND01.DAT"}, Dest(), {QStringLiteral("ORVOCONNECT_LINK=") + strLink});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(ReadAll(DestFile(QStringLiteral("TREND01.DAT"))), Pattern(70000, 1));
        run = CliProcess::Run({"--link", strLink, "rm", "alarm.log"}, Dest());
        QCOMPARE(run.strOut, QStringLiteral("File alarm.log deleted\n"));
        QVERIFY(!QFile::exists(CardFile(QStringLiteral("alarm.log"))));
    }

    void watchArchivesARecorderThatBecomesReachable()
    {
        // The in-process emulator announces nothing: watch looks for it, and the change from
        // unreachable to reachable is an arrival.
        const QString strCard = m_root.filePath(QStringLiteral("late-card"));
        const QString strArchive = Dest() + QStringLiteral("/archive");
        QProcess cli;
        QProcessEnvironment env = CliProcess::BaseEnvironment();
        env.insert(QStringLiteral("ORVOCONNECT_WATCH_POLL_MS"), QStringLiteral("200"));
        cli.setProcessEnvironment(env);
        cli.start(CliProcess::Program(),
                  {"--link", QStringLiteral("sim:") + strCard, "watch", "--to", strArchive});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(500);
        // The card appears whole, with its file.
        QVERIFY(QDir().mkpath(strCard + QStringLiteral(".new")));
        Write(strCard + QStringLiteral(".new/LATE.DAT"), Pattern(5000, 4));
        QVERIFY(QDir().rename(strCard + QStringLiteral(".new"), strCard));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(strArchive + QStringLiteral("/LATE.DAT")), 10000);
        ::kill(pid_t(cli.processId()), SIGTERM);
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(ReadAll(strArchive + QStringLiteral("/LATE.DAT")), Pattern(5000, 4));
        const QString strErr = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(strErr.contains(QStringLiteral("waiting: ")) && strErr.contains(QStringLiteral("arrived: ")),
                 qPrintable(strErr));
    }

private:
    QTemporaryDir m_root;
};

QTEST_GUILESS_MAIN(TestCliSim)
#include "tst_CliSim.moc"
