#include "DeniedOpen.h"
#include "link/Frame.h"
#include "link/RecorderLink.h"
#include "link/UsbDiagnostics.h"
#include "link/UsbScan.h"
#include "link/UsbSettingsProvider.h"
#include "link/UsbTransport.h"
#include "protocol/RecorderProtocol.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "UsbBusHarness.h"

#include <QElapsedTimer>
#include <QtTest>

#include <future>

namespace {

const UsbIds RECORDER_IDS({{0x1234, 0x5678}});

std::unique_ptr<RecorderLink> MakeLink(const UsbIds &ids = RECORDER_IDS)
{
    return std::make_unique<RecorderLink>(std::make_unique<UsbTransport>(ids));
}

// Sends a frame with a payload of nPayload patterned bytes and checks that the echo device
// hands the very same frame back.
bool EchoFrame(RecorderLink &link, quint32 nPayload, quint8 nSeed)
{
    Frame out;
    out.Prepare(0x8101, nPayload);
    for (quint32 i = 0; i < nPayload; ++i)
        out.Payload()[i] = quint8(i * 7 + nSeed);
    if (out.Send(link) != 0)
        return false;
    Frame in;
    if (in.Receive(link) != 0)
        return false;
    return in.Length() == out.Length() && memcmp(in.Data(), out.Data(), out.Length()) == 0;
}

// The link's notices, delivered on this thread as the window gets them on its own.
struct NoticeLog
{
    QObject receiver;
    QList<quint32> notices;

    bool Register(RecorderLink &link)
    {
        return link.RegisterNotifications([this](quint32 nNotice) {
            QMetaObject::invokeMethod(
                &receiver, [this, nNotice] { notices.append(nNotice); }, Qt::QueuedConnection);
        });
    }
};

} // namespace

// The libusb transport against devices on an emulated bus: echo devices for the transport
// itself, the shared fake recorder for the recorder protocol over it.
class TestUsbTransport final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void openClaimsTheBulkInterfaceAndMovesWholeFrames_data();
    void openClaimsTheBulkInterfaceAndMovesWholeFrames();
    void openAlwaysClosesFirst();
    void splitCompletionsAreJoined();
    void silentRecorderTimesOutAndLosesNothing();
    void interruptEndsAPendingReadAtOnce();
    void openDiscardsWhatTheRecorderStillSends();
    void removalWithTransferInFlightFailsCleanlyAndReplugReopens();
    void candidateThatCannotBeOpenedIsSkipped();
    void openFailuresSayWhatToDo();
    void hotplugNoticesReachTheReceiver();
    void hotplugHearsIdsConfiguredAfterStart();
    void chosenRecorderIsOpenedAndFollowedAlone();
    void scanListsVendorSpecificBulkDevices();

    void connectSequenceReadsInfoAndFileList_data();
    void connectSequenceReadsInfoAndFileList();
    void multiBlockDownloadAndUpload();
    void removalDuringDownloadLeavesNoPartialFile();

private:
    EmulatedUsbDevice *AddEcho(UsbDeviceSpec spec = UsbDeviceSpec());
    // Plugs in a fake recorder with these card files as the device at address 2.
    FakeRecorder *AddRecorder(const QMap<QString, QByteArray> &files, const EmulatorFaults &faults = {});
    // Each request (and its one reply) crossed in few URBs: one out, at most two in.
    void CheckUrbsPerFrame();

    std::unique_ptr<UsbBusHarness> m_pBus;
    std::unique_ptr<FakeRecorder> m_pRecorder;
    EmulatedUsbDevice *m_pDevice = nullptr; // the recorder's
};

void TestUsbTransport::initTestCase()
{
    // As the programs do: the link reads the configuration through this.
    UsbSettingsProvider::Set(&UsbSettings::Read);
    // The testbed must exist before any libusb context does.
    m_pBus = std::make_unique<UsbBusHarness>();
    QVERIFY2(UsbBusHarness::InMockEnvironment(), "not running under the umockdev preload library");
}

void TestUsbTransport::cleanup()
{
    // The devices go first: the recorder's reaches it until then.
    m_pBus->RemoveAll();
    m_pDevice = nullptr;
    m_pRecorder.reset();
}

void TestUsbTransport::cleanupTestCase()
{
    m_pBus.reset();
}

EmulatedUsbDevice *TestUsbTransport::AddEcho(UsbDeviceSpec spec)
{
    return m_pBus->AddDevice(spec, std::make_unique<EchoDevice>());
}

FakeRecorder *TestUsbTransport::AddRecorder(const QMap<QString, QByteArray> &files,
                                            const EmulatorFaults &faults)
{
    m_pRecorder = std::make_unique<FakeRecorder>(files, faults);
    m_pDevice = m_pBus->AddDevice(UsbDeviceSpec(), std::make_unique<RecorderDevice>(*m_pRecorder));
    return m_pDevice ? m_pRecorder.get() : nullptr;
}

void TestUsbTransport::CheckUrbsPerFrame()
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

void TestUsbTransport::openClaimsTheBulkInterfaceAndMovesWholeFrames_data()
{
    QTest::addColumn<bool>("bScatterGather");
    QTest::addColumn<quint32>("nPayload");
    QTest::addColumn<int>("nUrbsOut"); // at most, per frame
    QTest::addColumn<int>("nUrbsIn");
    // Each frame crosses in one URB out and at most two in (the first block, then the rest).
    QTest::newRow("1 block") << true << 100u << 1 << 2;
    QTest::newRow("3 blocks") << true << 3000u << 1 << 2;
    QTest::newRow("32 blocks") << true << quint32(Frame::MAX_PAYLOAD) << 1 << 2;
    // Without scatter-gather libusb cuts a bulk transfer into URBs of 16 KiB: the largest
    // frame then takes two URBs each way. Data still arrives whole.
    QTest::newRow("32 blocks without scatter-gather") << false << quint32(Frame::MAX_PAYLOAD) << 2 << 3;
}

void TestUsbTransport::openClaimsTheBulkInterfaceAndMovesWholeFrames()
{
    QFETCH(bool, bScatterGather);
    QFETCH(quint32, nPayload);
    QFETCH(int, nUrbsOut);
    QFETCH(int, nUrbsIn);
    EmulatedUsbDevice *pDevice = AddEcho({.bScatterGather = bScatterGather});
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(pDevice->IsClaimed());
    pDevice->ResetStats();
    const int nFrames = 20;
    for (int i = 0; i < nFrames; ++i)
        QVERIFY(EchoFrame(*pLink, nPayload, quint8(i)));
    const auto stats = pDevice->GetStats();
    QCOMPARE(stats.nBytesToDevice,
             qint64(nFrames) * Frame::LengthFor(nPayload)); // nothing more, nothing less
    QVERIFY(stats.nUrbsOut <= nUrbsOut * nFrames);
    QVERIFY(stats.nUrbsIn <= nUrbsIn * nFrames);
    pLink->Close();
    QVERIFY(!pDevice->IsClaimed());
}

void TestUsbTransport::openAlwaysClosesFirst()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY(pLink->Open());
    // The device admits one claim at a time: a second Open succeeds only because it gave up
    // the first handle before searching again.
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(EchoFrame(*pLink, 10, 1));

    // A second program holding the recorder keeps it busy for everyone else.
    auto pOther = MakeLink();
    QVERIFY(!pOther->Open());
    QVERIFY2(pOther->LastOpenFailure().contains(QLatin1String("busy")),
             qPrintable(pOther->LastOpenFailure()));
}

void TestUsbTransport::splitCompletionsAreJoined()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY(pLink->Open());
    // 300 + 724 bytes per block: the 724-byte remainder is not a whole number of 512-byte
    // packets, so the transport must read whole packets and keep the surplus for later.
    pDevice->SetInChunks({300, 724});
    for (int i = 0; i < 4; ++i) {
        QVERIFY(EchoFrame(*pLink, 100, quint8(i)));
        QVERIFY(EchoFrame(*pLink, 5000, quint8(i)));
    }
    // Odd pieces that straddle block and frame boundaries.
    pDevice->SetInChunks({1, 1023, 513, 7, 2000});
    for (int i = 0; i < 4; ++i)
        QVERIFY(EchoFrame(*pLink, 3000 + i * 1024, quint8(i)));
    pDevice->SetInChunks({});
    QVERIFY(EchoFrame(*pLink, Frame::MAX_PAYLOAD, 9));
}

void TestUsbTransport::silentRecorderTimesOutAndLosesNothing()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY(pLink->Open());
    pLink->SetTimeoutMs(300);

    pDevice->SetSilent(true);
    Frame out;
    out.Prepare(0x8101, 2000);
    out.Payload()[0] = 0x5a;
    QCOMPARE(out.Send(*pLink), 0);
    Frame in;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(in.Receive(*pLink), 1);
    const qint64 nMs = timer.elapsed();
    QVERIFY(nMs >= 290);
    QVERIFY(nMs < 3000);
    // Silence is no removal: the link stays open.
    QVERIFY(pLink->IsOpen());
    QVERIFY(!pLink->IsGone());

    // The frame the recorder had not sent yet is still the next thing read, whole.
    pDevice->SetSilent(false);
    QCOMPARE(in.Receive(*pLink), 0);
    QCOMPARE(in.Length(), out.Length());
    QVERIFY(memcmp(in.Data(), out.Data(), out.Length()) == 0);
    QVERIFY(EchoFrame(*pLink, 50, 3));
}

void TestUsbTransport::interruptEndsAPendingReadAtOnce()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink(); // the production time-out
    QVERIFY(pLink->Open());
    pDevice->SetSilent(true);
    auto read = std::async(std::launch::async, [&] {
        Frame in;
        return in.Receive(*pLink);
    });
    QTRY_COMPARE_WITH_TIMEOUT(pDevice->PendingInUrbs(), 1, 5000);
    QElapsedTimer timer;
    timer.start();
    pLink->Interrupt();
    QCOMPARE(read.get(), 1);
    const qint64 nMs = timer.elapsed();
    qInfo("read ended %lld ms after the interrupt", nMs);
    QVERIFY2(nMs < 1000, qPrintable(QString::number(nMs)));
    // The transfer was cancelled on the bus, not left behind; the link is still usable, each
    // transfer now bounded by the short time-out.
    QTRY_COMPARE(pDevice->PendingInUrbs(), 0);
    QVERIFY(pLink->IsOpen() && !pLink->IsGone());
    pDevice->SetSilent(false);
    QVERIFY(EchoFrame(*pLink, 50, 4));
}

void TestUsbTransport::openDiscardsWhatTheRecorderStillSends()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY(pLink->Open());
    // A program asks and leaves before the answer; the next one must not take it for its own.
    Frame out;
    out.Prepare(0x8101, 3000);
    QCOMPARE(out.Send(*pLink), 0);
    pLink->Close();
    QVERIFY(pLink->Open());
    QVERIFY(EchoFrame(*pLink, 100, 6));
}

void TestUsbTransport::removalWithTransferInFlightFailsCleanlyAndReplugReopens()
{
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    auto pLink = MakeLink();
    QVERIFY(pLink->Open());
    pDevice->SetSilent(true);

    // A read waits on the production time-out; the removal must end it long before.
    QElapsedTimer timer;
    timer.start();
    auto read = std::async(std::launch::async, [&] {
        Frame in;
        return in.Receive(*pLink);
    });
    QTRY_COMPARE_WITH_TIMEOUT(pDevice->PendingInUrbs(), 1, 5000);
    pDevice->Unplug();
    QCOMPARE(read.get(), 1);
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(pLink->IsGone());

    // Stale handle: transfers fail, closing does no harm.
    Frame out;
    out.Prepare(0x8101, 10);
    QCOMPARE(out.Send(*pLink), 1);
    Frame in;
    QCOMPARE(in.Receive(*pLink), 1);
    QVERIFY(!pLink->Open());
    QVERIFY(pLink->LastOpenFailure().isEmpty());

    // Plugged in again: another Open finds it.
    pDevice->SetSilent(false);
    QVERIFY(pDevice->Plug());
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(!pLink->IsGone());
    QVERIFY(EchoFrame(*pLink, 4000, 5));
}

void TestUsbTransport::candidateThatCannotBeOpenedIsSkipped()
{
    EmulatedUsbDevice *pA = AddEcho({.nAddress = 2});
    EmulatedUsbDevice *pB = AddEcho({.nProduct = 0x5679, .nAddress = 3});
    QVERIFY(pA && pB);
    // libusb decides the order; the scan lists devices in the same order.
    const auto entries = UsbScan::Scan(nullptr);
    QVERIFY(entries && entries->size() == 2);
    const bool bAFirst = entries->first().nAddress == pA->Spec().nAddress;
    EmulatedUsbDevice *pFirst = bAFirst ? pA : pB;
    EmulatedUsbDevice *pSecond = bAFirst ? pB : pA;
    pFirst->SetClaimBusy(true);

    const UsbIds both({{0x1234, 0x5678}, {0x1234, 0x5679}});
    auto pLink = MakeLink(both);
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(EchoFrame(*pLink, 10, 1));
    QCOMPARE(pFirst->GetStats().nUrbsOut, 0);
    QCOMPARE(pSecond->GetStats().nUrbsOut, 1);

    // When no candidate opens, the first failure says why.
    pLink->Close();
    pSecond->SetClaimBusy(true);
    QVERIFY(!pLink->Open());
    const QString strReason = pLink->LastOpenFailure();
    const QString strFirst = UsbDiagnostics::DeviceName(pFirst->Spec().nVendor, pFirst->Spec().nProduct, 1,
                                                        pFirst->Spec().nAddress);
    QVERIFY2(strReason.contains(strFirst + QLatin1String(" is busy")), qPrintable(strReason));
    QVERIFY(strReason.contains(QLatin1String("another program")));

    // A pair that is not configured is never a candidate.
    pFirst->SetClaimBusy(false);
    pSecond->SetClaimBusy(false);
    auto pOnlySecond = MakeLink(UsbIds({{pSecond->Spec().nVendor, pSecond->Spec().nProduct}}));
    QVERIFY(pOnlySecond->Open());
    QVERIFY(pSecond->IsClaimed());
    QVERIFY(!pFirst->IsClaimed());
}

void TestUsbTransport::openFailuresSayWhatToDo()
{
    // Nothing attached: plain "not connected", nothing to add. No ids configured: how to
    // configure them, and where to find them. Ids that do not parse: the bad entry and its source.
    const QList<std::pair<const char *, QStringList>> cases = {
        {"1234:5678", {}},
        {"", {"ORVOCONNECT_USB_IDS", "UsbIds", "orvoconnect-cli usb-scan"}},
        {"1234:5678,12345:1", {"ORVOCONNECT_USB_IDS: \"12345:1\""}}};
    for (const auto &[pszIds, expected] : cases) {
        qputenv(UsbIds::ENV_NAME, pszIds);
        RecorderLink link(std::make_unique<UsbTransport>());
        QVERIFY(!link.Open());
        const QString strReason = link.LastOpenFailure();
        QVERIFY2(expected.isEmpty() == strReason.isEmpty(), qPrintable(strReason));
        for (const QString &strPart : expected)
            QVERIFY2(strReason.contains(strPart), qPrintable(strReason));
    }
    qputenv(UsbIds::ENV_NAME, "");
    // Permission denied on the device node: the udev rule is missing.
    {
        EmulatedUsbDevice *pDevice = AddEcho();
        QVERIFY(pDevice);
        auto pLink = MakeLink();
        DeniedOpen::Deny(pDevice->DevNode());
        const bool bOpened = pLink->Open();
        DeniedOpen::Deny(QString());
        QVERIFY(!bOpened);
        const QString strReason = pLink->LastOpenFailure();
        QVERIFY2(strReason.startsWith(
                     QLatin1String("Permission denied on the USB device 1234:5678 (bus 1, address 2)")),
                 qPrintable(strReason));
        QVERIFY(strReason.contains(QLatin1String("orvoconnect-cli udev-rule --install")));
        QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    }
    // A device with the pair but no bulk pipe pair cannot be the recorder.
    QCOMPARE(
        UsbDiagnostics::NoBulkInterface(QStringLiteral("1234:5678 (bus 1, address 2)")).EnglishText(),
        QStringLiteral("The USB device 1234:5678 (bus 1, address 2) has no interface with one bulk IN and "
                       "one bulk OUT endpoint."));
}

void TestUsbTransport::hotplugNoticesReachTheReceiver()
{
    NoticeLog log;
    auto pLink = MakeLink();
    QVERIFY(log.Register(*pLink));

    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    QTRY_COMPARE_WITH_TIMEOUT(log.notices, QList<quint32>{ITransport::NOTICE_ARRIVAL}, 5000);

    // A device whose pair is not configured gives no notice.
    EmulatedUsbDevice *pForeign = AddEcho({.nVendor = 0x4321, .nAddress = 7});
    QVERIFY(pForeign);

    QVERIFY(pLink->Open());
    pDevice->Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(log.notices.size(), 2, 5000);
    QCOMPARE(log.notices.last(), ITransport::NOTICE_REMOVE_COMPLETE);
    // The removal notice alone tells the link its device is gone.
    QVERIFY(pLink->IsGone());

    QVERIFY(pDevice->Plug());
    QTRY_COMPARE_WITH_TIMEOUT(log.notices.size(), 3, 5000);
    QCOMPARE(log.notices.last(), ITransport::NOTICE_ARRIVAL);
    QVERIFY(pLink->Open());
    QVERIFY(!pLink->IsGone());
    QVERIFY(EchoFrame(*pLink, 10, 1));
    pForeign->Unplug();
    QTest::qWait(300);
    QCOMPARE(log.notices.size(), 3);

    // Devices present before registration are not announced: start-up opens by itself.
    auto pLate = MakeLink();
    QList<quint32> lateNotices;
    QVERIFY(pLate->RegisterNotifications([&lateNotices](quint32 nNotice) { lateNotices.append(nNotice); }));
    QTest::qWait(300);
    QVERIFY(lateNotices.isEmpty());
    // Destruction stops the event thread cleanly with callbacks registered.
    pLate.reset();
    pLink.reset();
}

void TestUsbTransport::hotplugHearsIdsConfiguredAfterStart()
{
    // Registered while no ids are configured, as on a first start: ids configured later count
    // from the next plug-in.
    qputenv(UsbIds::ENV_NAME, "");
    NoticeLog log;
    RecorderLink link(std::make_unique<UsbTransport>());
    QVERIFY(log.Register(link));
    EmulatedUsbDevice *pDevice = AddEcho();
    QVERIFY(pDevice);
    pDevice->Unplug();
    QTest::qWait(300);
    QVERIFY(log.notices.isEmpty()); // not configured: not the recorder

    qputenv(UsbIds::ENV_NAME, "1234:5678");
    QVERIFY(pDevice->Plug());
    QTRY_COMPARE_WITH_TIMEOUT(log.notices, QList<quint32>{ITransport::NOTICE_ARRIVAL}, 5000);
    QVERIFY2(link.Open(), qPrintable(link.LastOpenFailure()));
    pDevice->Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(log.notices.size(), 2, 5000);
    QCOMPARE(log.notices.last(), ITransport::NOTICE_REMOVE_COMPLETE);
    qputenv(UsbIds::ENV_NAME, "");
}

void TestUsbTransport::chosenRecorderIsOpenedAndFollowedAlone()
{
    EmulatedUsbDevice *pA = AddEcho({.strSerial = QStringLiteral("REC-A")});
    EmulatedUsbDevice *pB = AddEcho({.nAddress = 3, .strSerial = QStringLiteral("REC-B")});
    QVERIFY(pA && pB);

    // The choice is asked at each open and each notice, as a setting changed meanwhile would be.
    QString strChoice = QStringLiteral("REC-B");
    NoticeLog log;
    auto pLink = MakeLink();
    QVERIFY(
        static_cast<UsbTransport *>(pLink->Transport())->SetDeviceChoice([&strChoice] { return strChoice; }));
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(pB->IsClaimed() && !pA->IsClaimed());
    QCOMPARE(pLink->Serial(), QStringLiteral("REC-B"));
    strChoice = QStringLiteral("1-2");
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(pA->IsClaimed() && !pB->IsClaimed());
    QCOMPARE(pLink->Serial(), QStringLiteral("REC-A"));

    // A choice that is not attached says what is.
    strChoice = QStringLiteral("REC-C");
    QVERIFY(!pLink->Open());
    QCOMPARE(pLink->OpenFailureReason().kind, LinkOpenFailure::Kind::ChosenDeviceAbsent);
    const QString strReason = pLink->LastOpenFailure();
    QVERIFY2(strReason.contains(QLatin1String("\"REC-C\" is not attached")) &&
                 strReason.contains(QLatin1String("1-2 (REC-A)")) &&
                 strReason.contains(QLatin1String("1-3 (REC-B)")),
             qPrintable(strReason));

    // Open on the chosen recorder, the link hears nothing of the other one, and its own removal.
    strChoice = QStringLiteral("REC-A");
    QVERIFY(log.Register(*pLink));
    QVERIFY(pLink->Open());
    pB->Unplug();
    QVERIFY(pB->Plug());
    QTest::qWait(300);
    QVERIFY(log.notices.isEmpty());
    pA->Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(log.notices, QList<quint32>{ITransport::NOTICE_REMOVE_COMPLETE}, 5000);
    pLink->Close();
    // Closed: the other one still says nothing; the chosen one's arrival is told by its number.
    pB->Unplug();
    QVERIFY(pB->Plug());
    QTest::qWait(300);
    QCOMPARE(log.notices.size(), 1);
    QVERIFY(pA->Plug());
    QTRY_COMPARE_WITH_TIMEOUT(log.notices.size(), 2, 5000);
    QCOMPARE(log.notices.last(), ITransport::NOTICE_ARRIVAL);
    QVERIFY(pLink->Open());
    QVERIFY(pA->IsClaimed());
    pLink.reset();
}

void TestUsbTransport::scanListsVendorSpecificBulkDevices()
{
    QVERIFY(AddEcho({.strProduct = QStringLiteral("Paperless recorder")}));
    // Mass storage: not vendor-specific.
    QVERIFY(AddEcho({.nVendor = 0x0781, .nProduct = 0x5567, .nAddress = 4, .nInterfaceClass = 0x08}));

    qputenv(UsbIds::ENV_NAME, "1234:5678");
    QString strError;
    const auto entries = UsbScan::Scan(&strError);
    qputenv(UsbIds::ENV_NAME, "");
    QVERIFY2(entries, qPrintable(strError));
    QCOMPARE(entries->size(), 1);
    const UsbScan::Entry &entry = entries->first();
    QCOMPARE(entry.nVendor, quint16(0x1234));
    QCOMPARE(entry.nProduct, quint16(0x5678));
    QCOMPARE(entry.nBus, 1);
    QCOMPARE(entry.nAddress, 2);
    QCOMPARE(entry.strProduct, QStringLiteral("Paperless recorder"));
    QVERIFY(entry.bConfigured);
    QCOMPARE(UsbScan::FormatEntry(entry),
             QStringLiteral(
                 "1234:5678  bus 001  address 002  port 1-2  serial -  Paperless recorder  (configured)"));
}

void TestUsbTransport::connectSequenceReadsInfoAndFileList_data()
{
    QTest::addColumn<bool>("bSplit");
    QTest::newRow("whole replies") << false;
    QTest::newRow("every block as 300 + 724 bytes") << true;
}

void TestUsbTransport::connectSequenceReadsInfoAndFileList()
{
    QFETCH(bool, bSplit);
    EmulatorFaults faults;
    faults.bSplitReplies = bSplit;
    const QByteArray bytes = TestFiles::Pattern(5000);
    FakeRecorder *pRecorder = AddRecorder({{"A.DAT", bytes}, {"B.DAT", bytes}, {"C.DAT", bytes}}, faults);
    QVERIFY(pRecorder);
    FakeRecorder &recorder = *pRecorder;
    auto pLink = MakeLink();
    RecorderProtocol protocol(*pLink);
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    m_pDevice->ResetStats();
    recorder.Wire().ClearCounts();
    QVERIFY(protocol.GetDeviceInfo(recorder.target));
    QVERIFY(protocol.GetCardInfo(recorder.target));
    QCOMPARE(protocol.ListFiles(recorder.stop, recorder.target), int(RESULT_OK));

    const auto deviceInfo = recorder.posts.Of(WM_REC_DEVICE_INFO);
    QCOMPARE(deviceInfo.size(), 1);
    QCOMPARE(deviceInfo.first().Get<TextPost>()->strText, recorder.pEmulator->DeviceInfoText());
    QCOMPARE(recorder.posts.Of(WM_REC_CARD_INFO).size(), 1);
    QCOMPARE(recorder.posts.Of(WM_REC_FILE_ENTRY).size(), 3);
    if (!bSplit)
        CheckUrbsPerFrame();
}

void TestUsbTransport::multiBlockDownloadAndUpload()
{
    const QByteArray download = TestFiles::Pattern(300 * 1024 + 17, 2);
    FakeRecorder *pRecorder = AddRecorder({{"ARCHIVE.DAT", download}});
    QVERIFY(pRecorder);
    FakeRecorder &recorder = *pRecorder;
    auto pLink = MakeLink();
    RecorderProtocol protocol(*pLink);
    QVERIFY(pLink->Open());

    m_pDevice->ResetStats();
    recorder.Wire().ClearCounts();
    QCOMPARE(protocol.GetFile(recorder.stop, recorder.target, "ARCHIVE.DAT", recorder.OutDir()),
             int(RESULT_OK));
    CheckUrbsPerFrame();
    QCOMPARE(TestFiles::Read(recorder.OutPath("ARCHIVE.DAT")), download);

    const QByteArray upload = TestFiles::Pattern(200 * 1024 + 3, 3);
    QVERIFY(TestFiles::Write(recorder.OutPath("SYSTEM.IMG"), upload));
    m_pDevice->ResetStats();
    recorder.Wire().ClearCounts();
    QCOMPARE(protocol.PutFile(recorder.stop, recorder.target, recorder.OutPath("SYSTEM.IMG"), false),
             int(RESULT_OK));
    CheckUrbsPerFrame();
    QCOMPARE(recorder.CardFile("SYSTEM.IMG"), upload);
}

void TestUsbTransport::removalDuringDownloadLeavesNoPartialFile()
{
    FakeRecorder *pRecorder = AddRecorder({{"BIG.DAT", TestFiles::Pattern(8 * 1024 * 1024, 4)}});
    QVERIFY(pRecorder);
    FakeRecorder &recorder = *pRecorder;
    const QByteArray old = QByteArrayLiteral("the copy downloaded yesterday");
    QVERIFY(TestFiles::Write(recorder.OutPath("BIG.DAT"), old));
    auto pLink = MakeLink();
    RecorderProtocol protocol(*pLink);
    QVERIFY(pLink->Open());

    auto download = std::async(std::launch::async, [&] {
        return protocol.GetFile(recorder.stop, recorder.target, "BIG.DAT", recorder.OutDir());
    });
    // Pull the plug some blocks into the transfer.
    QTRY_VERIFY_WITH_TIMEOUT(recorder.Wire().WrittenCodes().size() > 10, 10000);
    m_pDevice->Unplug();
    QCOMPARE(download.get(), int(RESULT_COMM_ERROR));
    QVERIFY(pLink->IsGone());
    // The earlier file is untouched, and nothing half-written is left beside it.
    QCOMPARE(TestFiles::Read(recorder.OutPath("BIG.DAT")), old);
    QCOMPARE(TestFiles::Listing(recorder.OutDir()), QStringList{"BIG.DAT"});

    // Plugged in again, the recorder answers a fresh connect sequence.
    QVERIFY(m_pDevice->Plug());
    QVERIFY2(pLink->Open(), qPrintable(pLink->LastOpenFailure()));
    QVERIFY(protocol.GetDeviceInfo(recorder.target));
    QCOMPARE(protocol.ListFiles(recorder.stop, recorder.target), int(RESULT_OK));
}

QTEST_GUILESS_MAIN(TestUsbTransport)
#include "tst_UsbTransport.moc"
