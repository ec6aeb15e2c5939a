#include "link/RecorderLink.h"
#include "link/UsbTransport.h"
#include "protocol/RecorderProtocol.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "UsbBusHarness.h"

#include <QtTest>

#include <future>

// The recorder protocol over the libusb transport, with the shared fake recorder as the device.
class TestUsbRecorder final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void connectSequenceReadsInfoAndFileList_data();
    void connectSequenceReadsInfoAndFileList();
    void multiBlockDownloadAndUpload();
    void removalDuringDownloadLeavesNoPartialFile();

private:
    // The program's side: its own link over USB.
    struct Session
    {
        RecorderLink link{std::make_unique<UsbTransport>(UsbIds({{0x1234, 0x5678}}))};
        RecorderProtocol protocol{link};
    };

    // Plugs in a fake recorder with these card files; false (with a warning) when it cannot.
    bool Plug(const QMap<QString, QByteArray> &files, const EmulatorFaults &faults = {});
    // Each request (and its one reply) crosses in few URBs: one out, at most two in.
    void CheckUrbsPerFrame();

    std::unique_ptr<UsbBusHarness> m_pBus;
    std::unique_ptr<FakeRecorder> m_pRecorder;
    EmulatedUsbDevice *m_pDevice = nullptr;
};

void TestUsbRecorder::initTestCase()
{
    m_pBus = std::make_unique<UsbBusHarness>();
    QVERIFY2(UsbBusHarness::InMockEnvironment(), "not running under the umockdev preload library");
}

bool TestUsbRecorder::Plug(const QMap<QString, QByteArray> &files, const EmulatorFaults &faults)
{
    m_pRecorder = std::make_unique<FakeRecorder>(files, faults);
    m_pDevice = m_pBus->AddDevice(UsbDeviceSpec(), std::make_unique<RecorderDevice>(*m_pRecorder));
    return m_pDevice;
}

void TestUsbRecorder::cleanup()
{
    // The device goes first: it reaches the recorder until then.
    m_pBus->RemoveAll();
    m_pDevice = nullptr;
    m_pRecorder.reset();
}

void TestUsbRecorder::cleanupTestCase()
{
    m_pBus.reset();
}

void TestUsbRecorder::CheckUrbsPerFrame()
{
    const auto stats = m_pDevice->GetStats();
    const int nFrames = int(m_pRecorder->Wire().WrittenCodes().size());
    QVERIFY(nFrames > 0);
    QVERIFY2(stats.nUrbsOut <= nFrames && stats.nUrbsIn <= 2 * nFrames,
             qPrintable(QStringLiteral("%1 requests: %2 URBs out, %3 URBs in")
                            .arg(nFrames)
                            .arg(stats.nUrbsOut)
                            .arg(stats.nUrbsIn)));
}

void TestUsbRecorder::connectSequenceReadsInfoAndFileList_data()
{
    QTest::addColumn<bool>("bSplit");
    QTest::newRow("whole replies") << false;
    QTest::newRow("every block as 300 + 724 bytes") << true;
}

void TestUsbRecorder::connectSequenceReadsInfoAndFileList()
{
    QFETCH(bool, bSplit);
    EmulatorFaults faults;
    faults.bSplitReplies = bSplit;
    const QByteArray bytes = TestFiles::Pattern(5000);
    QVERIFY(Plug({{"A.DAT", bytes}, {"B.DAT", bytes}, {"C.DAT", bytes}}, faults));
    Session session;
    QVERIFY2(session.link.Open(), qPrintable(session.link.LastOpenFailure()));
    m_pDevice->ResetStats();
    m_pRecorder->Wire().ClearCounts();
    FakeRecorder &recorder = *m_pRecorder;
    QVERIFY(session.protocol.GetDeviceInfo(recorder.target));
    QVERIFY(session.protocol.GetCardInfo(recorder.target));
    QCOMPARE(session.protocol.ListFiles(recorder.stop, recorder.target), int(RESULT_OK));

    const auto deviceInfo = recorder.posts.Of(WM_REC_DEVICE_INFO);
    QCOMPARE(deviceInfo.size(), 1);
    QCOMPARE(deviceInfo.first().Get<TextPost>()->strText, recorder.pEmulator->DeviceInfoText());
    QCOMPARE(recorder.posts.Of(WM_REC_CARD_INFO).size(), 1);
    QCOMPARE(recorder.posts.Of(WM_REC_FILE_ENTRY).size(), 3);
    if (!bSplit)
        CheckUrbsPerFrame();
}

void TestUsbRecorder::multiBlockDownloadAndUpload()
{
    const QByteArray download = TestFiles::Pattern(300 * 1024 + 17, 2);
    QVERIFY(Plug({{"ARCHIVE.DAT", download}}));
    FakeRecorder &recorder = *m_pRecorder;
    Session session;
    QVERIFY(session.link.Open());

    m_pDevice->ResetStats();
    recorder.Wire().ClearCounts();
    QCOMPARE(session.protocol.GetFile(recorder.stop, recorder.target, "ARCHIVE.DAT", recorder.OutDir()),
             int(RESULT_OK));
    CheckUrbsPerFrame();
    QCOMPARE(TestFiles::Read(recorder.OutPath("ARCHIVE.DAT")), download);

    const QByteArray upload = TestFiles::Pattern(200 * 1024 + 3, 3);
    QVERIFY(TestFiles::Write(recorder.OutPath("SYSTEM.IMG"), upload));
    m_pDevice->ResetStats();
    recorder.Wire().ClearCounts();
    QCOMPARE(session.protocol.PutFile(recorder.stop, recorder.target, recorder.OutPath("SYSTEM.IMG"), false),
             int(RESULT_OK));
    CheckUrbsPerFrame();
    QCOMPARE(recorder.CardFile("SYSTEM.IMG"), upload);
}

void TestUsbRecorder::removalDuringDownloadLeavesNoPartialFile()
{
    QVERIFY(Plug({{"BIG.DAT", TestFiles::Pattern(8 * 1024 * 1024, 4)}}));
    FakeRecorder &recorder = *m_pRecorder;
    const QByteArray old = QByteArrayLiteral("the copy downloaded yesterday");
    QVERIFY(TestFiles::Write(recorder.OutPath("BIG.DAT"), old));
    Session session;
    QVERIFY(session.link.Open());

    auto download = std::async(std::launch::async, [&] {
        return session.protocol.GetFile(recorder.stop, recorder.target, "BIG.DAT", recorder.OutDir());
    });
    // Pull the plug some blocks into the transfer.
    QTRY_VERIFY_WITH_TIMEOUT(recorder.Wire().WrittenCodes().size() > 10, 10000);
    m_pDevice->Unplug();
    QCOMPARE(download.get(), int(RESULT_COMM_ERROR));
    QVERIFY(session.link.IsGone());
    // The earlier file is untouched, and nothing half-written is left beside it.
    QCOMPARE(TestFiles::Read(recorder.OutPath("BIG.DAT")), old);
    QCOMPARE(TestFiles::Listing(recorder.OutDir()), QStringList{"BIG.DAT"});

    // Plugged in again, the recorder answers a fresh connect sequence.
    QVERIFY(m_pDevice->Plug());
    QVERIFY2(session.link.Open(), qPrintable(session.link.LastOpenFailure()));
    QVERIFY(session.protocol.GetDeviceInfo(recorder.target));
    QCOMPARE(session.protocol.ListFiles(recorder.stop, recorder.target), int(RESULT_OK));
}

QTEST_GUILESS_MAIN(TestUsbRecorder)
#include "tst_UsbRecorder.moc"
