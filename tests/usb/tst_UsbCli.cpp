#include "EmulatorDevice.h"
#include "UsbBusHarness.h"
#include "UsbTestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int nExit = -1;
    QString strOut;
    QString strErr;
    qint64 nMs = 0;
};

// Runs the real orvoconnect-cli on the usb link. The child reaches the emulated bus through
// the umockdev preload library and the UMOCKDEV_DIR of this process's testbed.
Run RunCli(const QStringList &args, const QString &strIds = QStringLiteral("1234:5678"))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral("libumockdev-preload.so.0"));
    // A sanitizer build wants its runtime first; the preload library takes that place here.
    const QString strAsan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (strAsan.isEmpty() ? QString() : strAsan + QLatin1Char(':')) +
                                                   QStringLiteral("verify_asan_link_order=0"));
    env.insert(QStringLiteral("ORVOCONNECT_USB_IDS"), strIds);
    env.remove(QStringLiteral("ORVOCONNECT_LINK"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false"));
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(ORVO_CLI_PATH),
                  QStringList{QStringLiteral("--link"), QStringLiteral("usb")} + args);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    run.nMs = timer.elapsed();
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

using namespace UsbTestFiles;

// The real command-line tool over the usb link, end to end, on the emulated bus.
class TestUsbCli final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listDownloadAndUploadOverUsb();
    void scanAndDiagnosticsOnTheCommandLine();

private:
    std::unique_ptr<UsbBusHarness> m_pBus;
    QTemporaryDir m_dir;
    EmulatedUsbDevice *m_pDevice = nullptr;
};

void TestUsbCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("card"))));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("local"))));
    m_pBus = std::make_unique<UsbBusHarness>();
    UsbDeviceSpec spec;
    spec.strProduct = QStringLiteral("Paperless recorder");
    spec.strSerial = QStringLiteral("REC-A");
    QString strError;
    m_pDevice = m_pBus->AddDevice(
        spec, std::make_unique<EmulatorDevice>(m_dir.filePath(QStringLiteral("card"))), &strError);
    QVERIFY2(m_pDevice, qPrintable(strError));
}

void TestUsbCli::cleanupTestCase()
{
    m_pBus.reset();
}

void TestUsbCli::listDownloadAndUploadOverUsb()
{
    const QString strCard = m_dir.filePath(QStringLiteral("card"));
    const QString strLocal = m_dir.filePath(QStringLiteral("local"));
    const QByteArray archive = RandomBytes(200 * 1024 + 5, 7);
    QVERIFY(WriteFile(strCard + QStringLiteral("/ARCHIVE.DAT"), archive));
    QVERIFY(WriteFile(strCard + QStringLiteral("/NOTES.TXT"), "three"));

    Run run = RunCli({QStringLiteral("ls")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QVERIFY2(run.strOut.contains(QLatin1String("ARCHIVE.DAT")) &&
                 run.strOut.contains(QLatin1String("NOTES.TXT")),
             qPrintable(run.strOut));
    qInfo("ls over usb: %lld ms for the whole process", run.nMs);

    m_pDevice->ResetStats();
    run = RunCli({QStringLiteral("get"), QStringLiteral("--to"), strLocal, QStringLiteral("ARCHIVE.DAT")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QCOMPARE(ReadFile(strLocal + QStringLiteral("/ARCHIVE.DAT")), archive);
    auto stats = m_pDevice->GetStats();
    qInfo("get of 200 KiB over usb: %lld ms for the whole process; %d frames in over %d URBs", run.nMs,
          stats.nFramesFromDevice, stats.nUrbsIn);
    QVERIFY(stats.nUrbsIn <= 2 * stats.nFramesFromDevice);
    QVERIFY(stats.nUrbsOut <= stats.nFramesToDevice);

    const QByteArray image = RandomBytes(100 * 1024, 8);
    QVERIFY(WriteFile(strLocal + QStringLiteral("/SYSTEM.IMG"), image));
    run = RunCli({QStringLiteral("put"), strLocal + QStringLiteral("/SYSTEM.IMG")});
    QVERIFY2(run.nExit == 0, qPrintable(run.strErr));
    QCOMPARE(ReadFile(strCard + QStringLiteral("/SYSTEM.IMG")), image);
}

void TestUsbCli::scanAndDiagnosticsOnTheCommandLine()
{
    Run run = RunCli({QStringLiteral("usb-scan")}, QString());
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

QTEST_GUILESS_MAIN(TestUsbCli)
#include "tst_UsbCli.moc"
