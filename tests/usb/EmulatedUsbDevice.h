#pragma once

#include "UsbDeviceModels.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// What the emulated device looks like on the bus.
struct UsbDeviceSpec
{
    quint16 nVendor = 0x1234;
    quint16 nProduct = 0x5678;
    int nBus = 1;
    int nAddress = 2;
    QString strProduct = QStringLiteral("Emulated recorder");
    QString strSerial = QString(); // empty: the device has no serial number string
    quint8 nInterfaceClass = 0xff;
    int nMaxPacket = 512;
    // Scatter-gather lets libusb move a whole transfer in one URB, as xHCI and EHCI hosts do.
    bool bScatterGather = true;
};

// One USB device on a umockdev testbed, answering the usbfs requests libusb makes: bulk URBs
// are fed to and filled from a device model. Requests arrive on umockdev's worker thread; the
// test thread plugs, unplugs and reads the counters. The handler never blocks: a bulk IN URB
// stays pending until the model has bytes, and every reap looks again.
class EmulatedUsbDevice final
{
    Q_DISABLE_COPY_MOVE(EmulatedUsbDevice)

public:
    struct Stats
    {
        int nUrbsOut = 0;
        int nUrbsIn = 0;
        qint64 nBytesToDevice = 0;
        qint64 nBytesFromDevice = 0;
    };

    EmulatedUsbDevice(UMockdevTestbed *pTestbed, UsbDeviceSpec spec, std::unique_ptr<IUsbDeviceModel> pModel);
    ~EmulatedUsbDevice();

    // Adds the device to the testbed (an "add" uevent) with its request handler attached; a
    // failure is also logged as a warning.
    bool Plug(QString *pError = nullptr);
    // Ends in-flight URBs as the kernel does on a disconnect, then removes the device with a
    // "remove" uevent.
    void Unplug();
    bool IsPlugged() const { return m_bPlugged; }

    // Faults.
    void SetSilent(bool bSilent) { m_bSilent = bSilent; }
    void SetClaimBusy(bool bBusy) { m_bClaimBusy = bBusy; }
    // Each IN URB completes with at most the next of these sizes (cycling); empty: no limit.
    void SetInChunks(std::vector<int> chunks)
    {
        Locked([&] {
            m_inChunks = std::move(chunks);
            m_nNextChunk = 0;
        });
    }

    Stats GetStats() const
    {
        return Locked([&] { return m_stats; });
    }
    void ResetStats()
    {
        Locked([&] { m_stats = Stats(); });
    }
    int PendingInUrbs() const
    {
        return Locked([&] { return int(m_pendingIn.size()); });
    }
    bool IsClaimed() const { return m_pClaimedBy != nullptr; }

    const UsbDeviceSpec &Spec() const { return m_spec; }
    QString DevNode() const { return m_strDevNode; }

private:
    template <typename F> auto Locked(F f) const -> decltype(f())
    {
        std::lock_guard lock(m_mutex);
        return f();
    }

    struct Urb
    {
        UMockdevIoctlData *pUrb = nullptr;
        UMockdevIoctlData *pBuffer = nullptr;
        quint8 nEndpoint = 0;
        quint8 nType = 0;
        int nLength = 0;
    };

    void HandleIoctl(UMockdevIoctlClient *pClient);
    void Submit(UMockdevIoctlClient *pClient);
    void Reap(UMockdevIoctlClient *pClient);
    void Discard(UMockdevIoctlClient *pClient);
    void AnswerControl(Urb &urb);
    void ServiceInUrbs();
    void Finish(Urb urb, int nStatus, int nActual);
    // Completes a request that only needs the device to be there.
    void CompleteIfPlugged(UMockdevIoctlClient *pClient);
    QByteArray Record() const;
    QByteArray Descriptors() const;

    UMockdevTestbed *m_pTestbed;
    UsbDeviceSpec m_spec;
    QString m_strSysPath;
    QString m_strDevNode;
    UMockdevIoctlBase *m_pHandler = nullptr;

    mutable std::mutex m_mutex;
    std::unique_ptr<IUsbDeviceModel> m_pModel;
    // Written under the lock; read without it too.
    std::atomic<bool> m_bPlugged{false};
    bool m_bAttached = false;
    std::atomic<bool> m_bSilent{false};
    std::atomic<bool> m_bClaimBusy{false};
    std::atomic<UMockdevIoctlClient *> m_pClaimedBy{nullptr};
    std::vector<int> m_inChunks;
    size_t m_nNextChunk = 0;
    std::deque<Urb> m_pendingIn;
    std::deque<Urb> m_done;
    QByteArray m_fromDevice; // what the model said that no IN URB has taken yet
    Stats m_stats;
};
