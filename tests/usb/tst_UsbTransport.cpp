#include "EchoDevice.h"
#include "UsbBusHarness.h"

#include "Frame.h"
#include "RecorderLink.h"
#include "UsbTransport.h"

#include <QtTest>

class TestUsbTransport final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void smoke();

private:
    std::unique_ptr<UsbBusHarness> m_pBus;
};

void TestUsbTransport::initTestCase()
{
    m_pBus = std::make_unique<UsbBusHarness>();
    QVERIFY2(UsbBusHarness::InMockEnvironment(), "not running under the umockdev preload library");
}

void TestUsbTransport::cleanupTestCase()
{
    m_pBus.reset();
}

void TestUsbTransport::smoke()
{
    QString strError;
    EmulatedUsbDevice *pDevice = m_pBus->AddDevice(UsbDeviceSpec(), std::make_unique<EchoDevice>(), &strError);
    QVERIFY2(pDevice, qPrintable(strError));
    {
        RecorderLink link(std::make_unique<UsbTransport>(UsbIds({{0x1234, 0x5678}})));
        QVERIFY2(link.Open(), qPrintable(link.LastOpenFailure()));
        Frame out;
        out.Prepare(0x8101, 3000);
        for (int i = 0; i < 3000; ++i)
            out.Payload()[i] = quint8(i * 7);
        QCOMPARE(out.Send(link), 0);
        Frame in;
        QCOMPARE(in.Receive(link), 0);
        QCOMPARE(in.Length(), out.Length());
        QVERIFY(memcmp(in.Data(), out.Data(), out.Length()) == 0);
        const auto stats = pDevice->GetStats();
        qInfo() << "urbs out" << stats.nUrbsOut << "in" << stats.nUrbsIn << "control" << stats.nUrbsControl;
    }
    m_pBus->RemoveDevice(pDevice);
}

QTEST_GUILESS_MAIN(TestUsbTransport)
#include "tst_UsbTransport.moc"
