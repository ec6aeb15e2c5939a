// orvoconnect-cli against a scripted recorder: names the emulator's folder cannot hold,
// Ctrl-C in the middle of a download, and a recorder that is not there.

#include "CliProcess.h"
#include "FakeRecorderServer.h"
#include "protocol/ProtocolCodes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QStringList FilesIn(const QString &strDir)
{
    return QDir(strDir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

namespace {

// The fake serves on its own thread and may still be reading the last frames of a client that
// has already exited: wait until its count stops moving.
int SettledCodeCount(const FakeRecorderServer &fake)
{
    int nLast = -1;
    for (int nTry = 0; nTry < 50; ++nTry) {
        const int nNow = int(fake.ReceivedCodes().size());
        if (nNow == nLast)
            return nNow;
        nLast = nNow;
        QTest::qWait(100);
    }
    return nLast;
}

} // namespace

class TestCliFake final : public QObject
{
    Q_OBJECT

private slots:
    void unsafeCardNamesAreRefusedBeforeWriting()
    {
        FakeRecorderServer fake({{QStringLiteral("good.dat"), 10},
                                 {QStringLiteral(".."), 10},
                                 {QStringLiteral("../escape.dat"), 10},
                                 {QStringLiteral("sub/inner.dat"), 10}});
        QVERIFY(fake.IsListening());
        QTemporaryDir root;
        const QString strDest = root.filePath(QStringLiteral("dest"));
        QVERIFY(QDir().mkpath(strDest));

        // get --all checks every name first: nothing is written, not even the good file.
        CliRun run = CliProcess::Run({"--link", fake.LinkName(), "get", "--to", strDest, "--all"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(run.strErr.contains(QStringLiteral("not a safe local file name")), qPrintable(run.strErr));
        QVERIFY(FilesIn(strDest).isEmpty());
        QVERIFY(FilesIn(root.path()).isEmpty());

        // A named unsafe file is refused before the recorder is asked for anything.
        const int nCodesBefore = SettledCodeCount(fake);
        run = CliProcess::Run({"--link", fake.LinkName(), "get", "--to", strDest, "--", "../escape.dat"});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(fake.ReceivedCodes().size(), nCodesBefore);
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("escape.dat"))));

        // sync refuses each of them and archives the good one; ls shows the names as they are.
        run = CliProcess::Run({"--link", fake.LinkName(), "sync", "--to", strDest});
        QCOMPARE(run.nExit, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(run.strErr.count(QStringLiteral("not a safe local file name")), 3);
        QCOMPARE(FilesIn(strDest), (QStringList{".orvoconnect-archive.log", "good.dat"}));
        QVERIFY(FilesIn(root.path()).isEmpty());
        run = CliProcess::Run({"--link", fake.LinkName(), "ls"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.strOut.count(QLatin1Char('\n')), 4);
        QVERIFY(run.strOut.contains(QStringLiteral("../escape.dat\t")));

        run = CliProcess::Run({"--link", fake.LinkName(), "get", "--to", strDest, "--overwrite", "good.dat"});
        QCOMPARE(run.nExit, 0);
        QCOMPARE(FilesIn(strDest), (QStringList{".orvoconnect-archive.log", "good.dat"}));
    }

    void interruptDuringDownloadCancelsCleanly()
    {
        // 2000 blocks of 1000 bytes, 5 ms each: about ten seconds, plenty of time to interrupt.
        FakeRecorderServer fake({{QStringLiteral("BIG.DAT"), 2000000}}, 5);
        QVERIFY(fake.IsListening());
        QTemporaryDir dest;
        QFile old(dest.filePath(QStringLiteral("BIG.DAT")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older copy");
        old.close();

        QProcess cli;
        cli.setProcessEnvironment(CliProcess::BaseEnvironment());
        cli.start(CliProcess::Program(),
                  {"--link", fake.LinkName(), "get", "--overwrite", "--to", dest.path(), "BIG.DAT"});
        QVERIFY(cli.waitForStarted());
        // Wait until data is flowing.
        QTRY_VERIFY_WITH_TIMEOUT(fake.ReceivedCodes().count(CMD_ACK) >= 20, 10000);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), int(RESULT_CANCELLED));
        QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("cancel")));

        // The recorder was told, no partial file is left, the older copy is intact.
        QTRY_VERIFY(fake.ReceivedCodes().contains(CMD_ABORT));
        QCOMPARE(FilesIn(dest.path()), QStringList{QStringLiteral("BIG.DAT")});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("older copy"));
    }

    void listWithoutEndIsACommunicationFailure()
    {
        FakeRecorderServer fake({{QStringLiteral("good.dat"), 10}});
        QVERIFY(fake.IsListening());
        fake.ListWithoutEnd();
        const CliRun run = CliProcess::Run({"--link", fake.LinkName(), "ls"});
        QCOMPARE(run.nExit, int(RESULT_COMM_ERROR));
        QVERIFY(run.strOut.isEmpty());
        QVERIFY2(
            run.strErr.contains(QStringLiteral("cannot list the card: the recorder listed more than 200000 "
                                               "files without ending its list")),
            qPrintable(run.strErr));
        QTRY_COMPARE(fake.ReceivedCodes().last(), CMD_ABORT);
        // The entries held until then stay within bounds (200,000 of 560 bytes and the list's slack).
        rusage usage{};
        QCOMPARE(::getrusage(RUSAGE_CHILDREN, &usage), 0);
        QVERIFY2(usage.ru_maxrss < 400 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
    }

    void unreachableRecorderAndUsageErrors()
    {
        CliRun run = CliProcess::Run({"--link", QStringLiteral("tcp:127.0.0.1:1"), "ls"});
        QCOMPARE(run.nExit, 69);
        QVERIFY2(run.strErr.contains(QStringLiteral("cannot reach the recorder")) &&
                     run.strErr.contains(QStringLiteral("refused")),
                 qPrintable(run.strErr));

        // The environment chooses the link when --link is not given.
        run = CliProcess::Run({"info"}, QString(), {QStringLiteral("ORVOCONNECT_LINK=tcp:127.0.0.1:1")});
        QCOMPARE(run.nExit, 69);

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
            {"put"},
            {"put", "a", "b"},
            {"rm"},
            {"save", "now"},
            {"info", "--json"},
            // --device chooses among recorders on USB; a TCP link reaches one.
            {"--link", "tcp:127.0.0.1:1", "--device", "REC-A", "ls"},
            {"watch"},
            {"watch", "--to", "d", "--every", "0"},
            {"--link", "tcp:127.0.0.1:1", "watch", "--to", "d", "--per-recorder"},
        };
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

QTEST_GUILESS_MAIN(TestCliFake)
#include "tst_CliFake.moc"
