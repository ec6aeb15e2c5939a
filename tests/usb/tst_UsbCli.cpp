#include "cli/CliProcess.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "UsbBusHarness.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>

namespace {

// The child reaches the emulated bus through the umockdev preload library and the UMOCKDEV_DIR
// of this process's testbed. A sanitizer build wants its runtime first; the preload library
// takes that place here.
QStringList UsbEnvironment(const QString &strIds = QStringLiteral("1234:5678"))
{
    const QString strAsan = qEnvironmentVariable("ASAN_OPTIONS");
    return {"LD_PRELOAD=libumockdev-preload.so.0",
            "ASAN_OPTIONS=" + (strAsan.isEmpty() ? QString() : strAsan + ':') + "verify_asan_link_order=0",
            "ORVOCONNECT_USB_IDS=" + strIds, "QT_LOGGING_RULES=*.debug=false"};
}

// Runs the real orvoconnect-cli on the usb link.
CliRun RunCli(const QStringList &args, const QString &strIds = QStringLiteral("1234:5678"))
{
    return CliProcess::Run(QStringList{"--link", "usb"} + args, QString(), UsbEnvironment(strIds));
}

// orvoconnect-cli watch running beside the test, its log read as it comes.
class WatchProcess final
{
public:
    explicit WatchProcess(const QStringList &args)
    {
        // A stalled transfer gives up soon, and a busy recorder is tried again soon.
        CliProcess::Start(m_process, QStringList{"--link", "usb", "watch"} + args,
                          UsbEnvironment() +
                              QStringList{"ORVOCONNECT_TIMEOUT_MS=3000", "ORVOCONNECT_WATCH_POLL_MS=500"});
    }
    ~WatchProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // True once the log says strText after what earlier waits found.
    bool WaitFor(const QString &strText, int nTimeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            m_strLog += QString::fromUtf8(m_process.readAllStandardError());
            const qsizetype nAt = m_strLog.indexOf(strText, m_nSeen);
            if (nAt >= 0) {
                m_nSeen = nAt + strText.size();
                return true;
            }
            if (timer.elapsed() > nTimeoutMs || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(50);
        }
    }

    // Ends it as a service manager does; its exit status.
    int Terminate()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(20000))
            return -1;
        m_strLog += QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    const QString &Log() const { return m_strLog; }

private:
    QProcess m_process;
    QString m_strLog;
    qsizetype m_nSeen = 0;
};

// Waits until the device has sent more than nBytes since its statistics were reset: closely,
// since the transfer goes on meanwhile.
bool WaitForBytesFromDevice(EmulatedUsbDevice &device, qint64 nBytes)
{
    QElapsedTimer timer;
    timer.start();
    while (device.GetStats().nBytesFromDevice <= nBytes) {
        if (timer.elapsed() > 20000)
            return false;
        QTest::qSleep(1);
    }
    return true;
}

} // namespace

// The real command-line tool over the usb link, end to end, on the emulated bus.
class TestUsbCli final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listDownloadAndUploadOverUsb();
    void scanAndDiagnosticsOnTheCommandLine();
    void deviceChoosesAmongRecorders();
    void watchArchivesEachArrivalAndLeavesNothingPartial();

private:
    FakeRecorder m_recorder; // REC-A; its out folder stands for the user's
    std::unique_ptr<UsbBusHarness> m_pBus;
    EmulatedUsbDevice *m_pDevice = nullptr;
};

void TestUsbCli::initTestCase()
{
    m_pBus = std::make_unique<UsbBusHarness>();
    m_pDevice = m_pBus->AddDevice(
        {.strProduct = QStringLiteral("Paperless recorder"), .strSerial = QStringLiteral("REC-A")},
        std::make_unique<RecorderDevice>(m_recorder));
    QVERIFY(m_pDevice);
}

void TestUsbCli::cleanupTestCase()
{
    m_pBus.reset();
}

void TestUsbCli::listDownloadAndUploadOverUsb()
{
    const QString strLocal = m_recorder.OutDir();
    const QByteArray archive = TestFiles::Pattern(200 * 1024 + 5, 7);
    QVERIFY(m_recorder.PutCardFile("ARCHIVE.DAT", archive));
    QVERIFY(m_recorder.PutCardFile("NOTES.TXT", "three"));

    QElapsedTimer timer;
    timer.start();
    CliRun run = RunCli({QStringLiteral("ls")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QVERIFY2(run.strOut.contains(QLatin1String("ARCHIVE.DAT")) &&
                 run.strOut.contains(QLatin1String("NOTES.TXT")),
             qPrintable(run.strOut));
    qInfo("ls over usb: %lld ms for the whole process", timer.elapsed());

    m_pDevice->ResetStats();
    m_recorder.Wire().ClearCounts();
    timer.restart();
    run = RunCli({QStringLiteral("get"), QStringLiteral("--to"), strLocal, QStringLiteral("ARCHIVE.DAT")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QCOMPARE(TestFiles::Read(m_recorder.OutPath("ARCHIVE.DAT")), archive);
    // Each request and its one reply: one URB out, at most two in.
    const auto stats = m_pDevice->GetStats();
    const int nFrames = int(m_recorder.Wire().WrittenCodes().size());
    qInfo("get of 200 KiB over usb: %lld ms for the whole process; %d requests, %d URBs out, %d URBs in",
          timer.elapsed(), nFrames, stats.nUrbsOut, stats.nUrbsIn);
    QVERIFY(stats.nUrbsIn <= 2 * nFrames);
    QVERIFY(stats.nUrbsOut <= nFrames);

    const QByteArray image = TestFiles::Pattern(100 * 1024, 8);
    QVERIFY(TestFiles::Write(m_recorder.OutPath("SYSTEM.IMG"), image));
    run = RunCli({QStringLiteral("put"), m_recorder.OutPath("SYSTEM.IMG")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QCOMPARE(m_recorder.CardFile("SYSTEM.IMG"), image);
}

void TestUsbCli::scanAndDiagnosticsOnTheCommandLine()
{
    CliRun run = RunCli({QStringLiteral("usb-scan")}, QString());
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QCOMPARE(run.strOut,
             QStringLiteral("1234:5678  bus 001  address 002  port 1-2  serial REC-A  Paperless recorder\n"));

    // No ids: the tool says how to configure them, on standard error, and fails as unreachable.
    run = RunCli({QStringLiteral("ls")}, QString());
    QCOMPARE(run.nExit, 69);
    QVERIFY2(run.strErr.contains(QLatin1String("ORVOCONNECT_USB_IDS")), qPrintable(run.strErr));
    QVERIFY(run.strErr.contains(QLatin1String("usb-scan")));

    // Another program holds the recorder: busy.
    m_pDevice->SetClaimBusy(true);
    run = RunCli({QStringLiteral("info")});
    m_pDevice->SetClaimBusy(false);
    QCOMPARE(run.nExit, 69);
    QVERIFY2(run.strErr.contains(QLatin1String("is busy: another program holds its interface")),
             qPrintable(run.strErr));
}

void TestUsbCli::deviceChoosesAmongRecorders()
{
    FakeRecorder recorderB({{"ONLY-B.DAT", "bee"}});
    EmulatedUsbDevice *pB = m_pBus->AddDevice({.nAddress = 3, .strSerial = QStringLiteral("REC-B")},
                                              std::make_unique<RecorderDevice>(recorderB));
    QVERIFY(pB);
    const auto removeB = qScopeGuard([&] { m_pBus->RemoveDevice(pB); });

    // By serial number, and by port path after the command name.
    CliRun run = RunCli({QStringLiteral("--device"), QStringLiteral("REC-B"), QStringLiteral("ls")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QVERIFY2(run.strOut.startsWith(QLatin1String("ONLY-B.DAT\t")) && run.strOut.count(QLatin1Char('\n')) == 1,
             qPrintable(run.strOut));
    run = RunCli({QStringLiteral("ls"), QStringLiteral("--device=1-2")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QVERIFY2(!run.strOut.contains(QLatin1String("ONLY-B.DAT")) &&
                 run.strOut.contains(QLatin1String("NOTES.TXT")),
             qPrintable(run.strOut));

    // Not attached: unreachable, with what is attached instead.
    run = RunCli({QStringLiteral("--device"), QStringLiteral("REC-C"), QStringLiteral("info")});
    QCOMPARE(run.nExit, 69);
    QVERIFY2(run.strErr.contains(QLatin1String("\"REC-C\" is not attached")) &&
                 run.strErr.contains(QLatin1String("1-2 (REC-A)")) &&
                 run.strErr.contains(QLatin1String("1-3 (REC-B)")),
             qPrintable(run.strErr));

    // Every recorder into a folder of its own, named by its serial number.
    const QString strArchive = m_recorder.OutPath("per-recorder");
    {
        WatchProcess watch({QStringLiteral("--to"), strArchive, QStringLiteral("--per-recorder")});
        QVERIFY2(watch.WaitFor(QStringLiteral("arrived: recorder REC-A at port 1-2")),
                 qPrintable(watch.Log()));
        QVERIFY2(watch.WaitFor(QStringLiteral(" downloaded, ")), qPrintable(watch.Log()));
        QVERIFY2(watch.WaitFor(QStringLiteral(" downloaded, ")), qPrintable(watch.Log()));
        QCOMPARE(watch.Terminate(), 0);
    }
    QCOMPARE(TestFiles::Read(strArchive + "/REC-B/ONLY-B.DAT"), QByteArray("bee"));
    QCOMPARE(TestFiles::Read(strArchive + "/REC-A/NOTES.TXT"), QByteArray("three"));
    QVERIFY(!QFile::exists(strArchive + "/REC-A/ONLY-B.DAT"));
}

void TestUsbCli::watchArchivesEachArrivalAndLeavesNothingPartial()
{
    const QString strArchive = m_recorder.OutPath("watched");
    const QByteArray big = TestFiles::Pattern(4 * 1024 * 1024 + 3, 11);
    for (const QString &strName : m_recorder.CardFiles())
        QVERIFY(QFile::remove(m_recorder.CardPath(strName)));
    QVERIFY(m_recorder.PutCardFile("BIG.DAT", big));
    const auto nothingPartial = [&strArchive](const QString &strName) {
        const QStringList entries = TestFiles::Listing(strArchive);
        return !entries.contains(strName) && entries.filter(QRegularExpression("^\\.orvo-")).isEmpty();
    };

    m_pDevice->ResetStats();
    WatchProcess watch({QStringLiteral("--to"), strArchive});
    // Attached at start: it arrives; unplugged in the middle of the file: nothing is left of it.
    QVERIFY2(watch.WaitFor(QStringLiteral("arrived: recorder REC-A at port 1-2")), qPrintable(watch.Log()));
    QVERIFY(WaitForBytesFromDevice(*m_pDevice, 1024 * 1024));
    m_pDevice->SetSilent(true);
    m_pDevice->Unplug();
    QVERIFY2(watch.WaitFor(QStringLiteral("removed: recorder REC-A")), qPrintable(watch.Log()));
    QVERIFY2(nothingPartial(QStringLiteral("BIG.DAT")),
             qPrintable(TestFiles::Listing(strArchive).join(u' ')));
    // The file is free for others between runs.
    QVERIFY(!m_pDevice->IsClaimed());

    // Plugged in again while another program holds it: tried again until it is free, and the
    // file is taken again, whole.
    m_pDevice->SetSilent(false);
    m_pDevice->SetClaimBusy(true);
    QVERIFY(m_pDevice->Plug());
    QVERIFY2(watch.WaitFor(QStringLiteral("busy: the recorder REC-A at port 1-2 cannot be opened now")),
             qPrintable(watch.Log()));
    m_pDevice->SetClaimBusy(false);
    QVERIFY2(watch.WaitFor(QStringLiteral("\"BIG.DAT\" downloaded")), qPrintable(watch.Log()));
    QCOMPARE(TestFiles::Read(strArchive + "/BIG.DAT"), big);
    // The journal names the recorder by its serial number.
    QVERIFY(TestFiles::Read(strArchive + "/.orvoconnect-archive.log").contains("\"recorder\":\"REC-A\""));
    QVERIFY2(watch.WaitFor(QStringLiteral("1 downloaded, ")), qPrintable(watch.Log()));
    QVERIFY(!m_pDevice->IsClaimed());

    // SIGTERM with a download in flight: it is abandoned, cleaned up, and the watch ends well.
    QVERIFY(m_recorder.PutCardFile("NEXT.DAT", big));
    m_pDevice->Unplug();
    QVERIFY2(watch.WaitFor(QStringLiteral("removed: recorder REC-A")), qPrintable(watch.Log()));
    m_pDevice->ResetStats();
    QVERIFY(m_pDevice->Plug());
    QVERIFY(WaitForBytesFromDevice(*m_pDevice, 1024 * 1024));
    m_pDevice->SetSilent(true);
    QCOMPARE(watch.Terminate(), 0);
    m_pDevice->SetSilent(false);
    QVERIFY2(nothingPartial(QStringLiteral("NEXT.DAT")),
             qPrintable(TestFiles::Listing(strArchive).join(u' ')));
    QVERIFY2(watch.Log().contains(QLatin1String(" stopped\n")), qPrintable(watch.Log()));
}

QTEST_GUILESS_MAIN(TestUsbCli)
#include "tst_UsbCli.moc"
