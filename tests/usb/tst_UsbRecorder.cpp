#include "EmulatorDevice.h"
#include "link/RecorderLink.h"
#include "link/UsbTransport.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "UsbBusHarness.h"
#include "UsbTestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <future>

using namespace UsbTestFiles;

// The recorder protocol over the libusb transport, with the project's emulator as the device.
class TestUsbRecorder final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void connectSequenceReadsInfoAndFileList();
    void multiBlockDownloadAndUpload();
    void removalDuringDownloadLeavesNoPartialFile();

private:
    struct Session
    {
        RecorderLink link;
        RecorderProtocol protocol{link};
        ManualResetEvent stop;
        QList<PostedMessage> messages;
        PostTarget target;
        Session()
            : link(std::make_unique<UsbTransport>(UsbIds({{0x1234, 0x5678}})))
            , target(PostTarget::ForFunction([this](PostedMessage &&message) { messages.append(message); }))
        {}
        QStringList Texts(quint32 nMessage) const
        {
            QStringList texts;
            for (const PostedMessage &message : messages)
                if (message.nMessage == nMessage)
                    texts.append(message.Get<TextPost>()->strText);
            return texts;
        }
    };

    // Prints and checks the URBs per frame since the last reset of the counters.
    void CheckUrbsPerFrame(const char *pWhat, qint64 nElapsedUs);

    std::unique_ptr<UsbBusHarness> m_pBus;
    std::unique_ptr<QTemporaryDir> m_pDir;
    QString m_strCard;
    QString m_strLocal;
    EmulatedUsbDevice *m_pDevice = nullptr;
    EmulatorDevice *m_pModel = nullptr;
};

void TestUsbRecorder::initTestCase()
{
    m_pBus = std::make_unique<UsbBusHarness>();
    QVERIFY2(UsbBusHarness::InMockEnvironment(), "not running under the umockdev preload library");
}

void TestUsbRecorder::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    m_strCard = m_pDir->filePath(QStringLiteral("card"));
    m_strLocal = m_pDir->filePath(QStringLiteral("local")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(m_strCard) && QDir().mkpath(m_strLocal));
    auto pModel = std::make_unique<EmulatorDevice>(m_strCard);
    m_pModel = pModel.get();
    QString strError;
    m_pDevice = m_pBus->AddDevice(UsbDeviceSpec(), std::move(pModel), &strError);
    QVERIFY2(m_pDevice, qPrintable(strError));
}

void TestUsbRecorder::cleanup()
{
    if (m_pDevice)
        m_pBus->RemoveDevice(m_pDevice);
    m_pDevice = nullptr;
    m_pModel = nullptr;
    m_pDir.reset();
}

void TestUsbRecorder::cleanupTestCase()
{
    m_pBus.reset();
}

void TestUsbRecorder::CheckUrbsPerFrame(const char *pWhat, qint64 nElapsedUs)
{
    const auto stats = m_pDevice->GetStats();
    qInfo("%s: %d frames out in %d URBs, %d frames in over %d URBs, %lld KiB in %lld ms (%.1f MB/s)", pWhat,
          stats.nFramesToDevice, stats.nUrbsOut, stats.nFramesFromDevice, stats.nUrbsIn,
          (stats.nBytesToDevice + stats.nBytesFromDevice) / 1024, nElapsedUs / 1000,
          double(stats.nBytesToDevice + stats.nBytesFromDevice) / double(qMax<qint64>(1, nElapsedUs)));
    QVERIFY(stats.nFramesToDevice > 0);
    QVERIFY(stats.nUrbsOut <= stats.nFramesToDevice);
    QVERIFY(stats.nUrbsIn <= 2 * stats.nFramesFromDevice);
}

void TestUsbRecorder::connectSequenceReadsInfoAndFileList()
{
    for (const QString &strName : {QStringLiteral("A.DAT"), QStringLiteral("B.DAT"), QStringLiteral("C.DAT")})
        QVERIFY(WriteFile(m_strCard + QLatin1Char('/') + strName, RandomBytes(5000, 1)));

    // Once with whole replies, once with every block arriving as 300 + 724 bytes.
    for (const bool bSplit : {false, true}) {
        m_pDevice->WithModel([&](IUsbDeviceModel &) {
            m_pModel->Emulator().Faults().bSplitReplies = bSplit;
            return 0;
        });
        m_pDevice->ResetStats();
        Session session;
        QVERIFY2(session.link.Open(), qPrintable(session.link.LastOpenFailure()));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(session.protocol.GetDeviceInfo(session.target));
        QVERIFY(session.protocol.GetCardInfo(session.target));
        QCOMPARE(session.protocol.ListFiles(session.stop, session.target), int(RESULT_OK));
        const qint64 nUs = timer.nsecsElapsed() / 1000;

        const QString strDeviceInfo =
            m_pDevice->WithModel([&](IUsbDeviceModel &) { return m_pModel->Emulator().DeviceInfoText(); });
        QCOMPARE(session.Texts(WM_REC_DEVICE_INFO), QStringList{strDeviceInfo});
        QCOMPARE(session.Texts(WM_REC_CARD_INFO).size(), 1);
        int nEntries = 0;
        for (const PostedMessage &message : session.messages)
            nEntries += message.nMessage == WM_REC_FILE_ENTRY ? 1 : 0;
        QCOMPARE(nEntries, 3);
        if (!bSplit)
            CheckUrbsPerFrame("connect sequence", nUs);
    }
}

void TestUsbRecorder::multiBlockDownloadAndUpload()
{
    const QByteArray download = RandomBytes(300 * 1024 + 17, 2);
    QVERIFY(WriteFile(m_strCard + QStringLiteral("/ARCHIVE.DAT"), download));
    Session session;
    QVERIFY(session.link.Open());

    m_pDevice->ResetStats();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(
        session.protocol.GetFile(session.stop, session.target, QStringLiteral("ARCHIVE.DAT"), m_strLocal),
        int(RESULT_OK));
    CheckUrbsPerFrame("download of 300 KiB", timer.nsecsElapsed() / 1000);
    QCOMPARE(ReadFile(m_strLocal + QStringLiteral("ARCHIVE.DAT")), download);

    const QByteArray upload = RandomBytes(200 * 1024 + 3, 3);
    const QString strLocal = m_strLocal + QStringLiteral("SYSTEM.IMG");
    QVERIFY(WriteFile(strLocal, upload));
    m_pDevice->ResetStats();
    timer.restart();
    QCOMPARE(session.protocol.PutFile(session.stop, session.target, strLocal, false), int(RESULT_OK));
    CheckUrbsPerFrame("upload of 200 KiB", timer.nsecsElapsed() / 1000);
    QCOMPARE(ReadFile(m_strCard + QStringLiteral("/SYSTEM.IMG")), upload);
}

void TestUsbRecorder::removalDuringDownloadLeavesNoPartialFile()
{
    const QByteArray old = QByteArrayLiteral("the copy downloaded yesterday");
    QVERIFY(WriteFile(m_strLocal + QStringLiteral("BIG.DAT"), old));
    QVERIFY(WriteFile(m_strCard + QStringLiteral("/BIG.DAT"), RandomBytes(8 * 1024 * 1024, 4)));
    auto pSession = std::make_unique<Session>();
    QVERIFY(pSession->link.Open());

    auto download = std::async(std::launch::async, [&] {
        return pSession->protocol.GetFile(pSession->stop, pSession->target, QStringLiteral("BIG.DAT"),
                                          m_strLocal);
    });
    // Pull the plug some blocks into the transfer.
    QTRY_VERIFY_WITH_TIMEOUT(m_pDevice->GetStats().nFramesFromDevice > 10, 10000);
    m_pDevice->Unplug();
    QCOMPARE(download.get(), int(RESULT_COMM_ERROR));
    QVERIFY(pSession->link.IsGone());
    // The earlier file is untouched, and nothing half-written is left beside it.
    QCOMPARE(ReadFile(m_strLocal + QStringLiteral("BIG.DAT")), old);
    QCOMPARE(QDir(m_strLocal).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("BIG.DAT")});

    // Plugged in again, the recorder answers a fresh connect sequence.
    QString strError;
    QVERIFY2(m_pDevice->Plug(&strError), qPrintable(strError));
    QVERIFY2(pSession->link.Open(), qPrintable(pSession->link.LastOpenFailure()));
    QVERIFY(pSession->protocol.GetDeviceInfo(pSession->target));
    QCOMPARE(pSession->protocol.ListFiles(pSession->stop, pSession->target), int(RESULT_OK));
}

QTEST_GUILESS_MAIN(TestUsbRecorder)
#include "tst_UsbRecorder.moc"
