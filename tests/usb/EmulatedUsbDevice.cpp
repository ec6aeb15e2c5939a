// GLib's headers use "signals" as a name, which Qt's keyword macro would break: they come first.
#include <umockdev.h>

#include "EmulatedUsbDevice.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>

#include <cerrno>
#include <cstring>

namespace {

constexpr quint8 DESCRIPTOR_STRING = 3;
constexpr quint8 REQUEST_GET_DESCRIPTOR = 6;
constexpr int SETUP_SIZE = 8;
constexpr quint8 STRING_INDEX_PRODUCT = 2;
constexpr quint8 STRING_INDEX_SERIAL = 3;

void AppendU16(QByteArray &bytes, quint16 nValue)
{
    bytes.append(char(nValue & 0xff));
    bytes.append(char(nValue >> 8));
}

void AppendString(QByteArray &answer, const QString &strText)
{
    answer.append(char(2 + 2 * strText.size()));
    answer.append(char(DESCRIPTOR_STRING));
    for (const QChar c : strText)
        AppendU16(answer, c.unicode());
}

usbdevfs_urb *UrbOf(UMockdevIoctlData *pData)
{
    return reinterpret_cast<usbdevfs_urb *>(pData->data);
}

} // namespace

EmulatedUsbDevice::EmulatedUsbDevice(UMockdevTestbed *pTestbed, UsbDeviceSpec spec,
                                     std::unique_ptr<IUsbDeviceModel> pModel)
    : m_pTestbed(pTestbed)
    , m_spec(std::move(spec))
    , m_pModel(std::move(pModel))
{
    m_strSysPath = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb%1/%1-%2")
                       .arg(m_spec.nBus)
                       .arg(m_spec.nAddress);
    m_strDevNode = QStringLiteral("/dev/bus/usb/%1/%2")
                       .arg(m_spec.nBus, 3, 10, QLatin1Char('0'))
                       .arg(m_spec.nAddress, 3, 10, QLatin1Char('0'));
}

EmulatedUsbDevice::~EmulatedUsbDevice()
{
    if (IsPlugged())
        Unplug();
    if (m_bAttached)
        umockdev_testbed_detach_ioctl(m_pTestbed, m_strDevNode.toUtf8().constData(), nullptr);
    if (m_pHandler)
        g_object_unref(m_pHandler);
    std::lock_guard lock(m_mutex);
    for (Urb &urb : m_pendingIn)
        Finish(urb, -ESHUTDOWN, 0);
    for (Urb &urb : m_done) {
        g_object_unref(urb.pBuffer);
        g_object_unref(urb.pUrb);
    }
    m_done.clear();
}

QByteArray EmulatedUsbDevice::Descriptors() const
{
    QByteArray d;
    // Device descriptor: USB 2.0, class per interface, ep0 64 bytes, one configuration.
    d.append("\x12\x01\x00\x02\x00\x00\x00\x40", 8);
    AppendU16(d, m_spec.nVendor);
    AppendU16(d, m_spec.nProduct);
    d.append("\x00\x01\x00", 3);
    d.append(char(STRING_INDEX_PRODUCT));
    d.append(char(m_spec.strSerial.isEmpty() ? 0 : STRING_INDEX_SERIAL));
    d.append(char(1));
    // Configuration: total length 9 + 9 + 7 + 7, one interface, value 1, bus powered.
    d.append("\x09\x02\x20\x00\x01\x01\x00\x80\x32", 9);
    // Interface 0, alternate 0, two endpoints.
    d.append("\x09\x04\x00\x00\x02", 5);
    d.append(char(m_spec.nInterfaceClass));
    d.append("\x00\x00\x00", 3);
    for (const quint8 nEndpoint : {quint8(0x01), quint8(0x81)}) {
        d.append("\x07\x05", 2);
        d.append(char(nEndpoint));
        d.append(char(0x02)); // bulk
        AppendU16(d, quint16(m_spec.nMaxPacket));
        d.append(char(0));
    }
    return d;
}

QByteArray EmulatedUsbDevice::Record() const
{
    const QString strBus = QStringLiteral("%1").arg(m_spec.nBus, 3, 10, QLatin1Char('0'));
    const QString strDev = QStringLiteral("%1").arg(m_spec.nAddress, 3, 10, QLatin1Char('0'));
    QString strRecord;
    strRecord += QStringLiteral("P: %1\n").arg(m_strSysPath.mid(4));
    strRecord += QStringLiteral("N: %1\n").arg(m_strDevNode.mid(5));
    strRecord += QStringLiteral("E: DEVNAME=%1\n").arg(m_strDevNode);
    strRecord += QStringLiteral("E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n");
    strRecord +=
        QStringLiteral("E: PRODUCT=%1/%2/100\n").arg(m_spec.nVendor, 0, 16).arg(m_spec.nProduct, 0, 16);
    strRecord += QStringLiteral("E: BUSNUM=%1\nE: DEVNUM=%2\n").arg(strBus, strDev);
    strRecord += QStringLiteral("A: busnum=%1\nA: devnum=%2\n").arg(m_spec.nBus).arg(m_spec.nAddress);
    strRecord += QStringLiteral("A: bConfigurationValue=1\nA: speed=480\n");
    strRecord += QStringLiteral("A: idVendor=%1\n").arg(m_spec.nVendor, 4, 16, QLatin1Char('0'));
    strRecord += QStringLiteral("A: idProduct=%1\n").arg(m_spec.nProduct, 4, 16, QLatin1Char('0'));
    strRecord += QStringLiteral("A: product=%1\n").arg(m_spec.strProduct);
    strRecord += QStringLiteral("H: descriptors=%1\n").arg(QString::fromLatin1(Descriptors().toHex()));
    return strRecord.toUtf8();
}

bool EmulatedUsbDevice::Plug(QString *pError)
{
    if (!m_pHandler) {
        m_pHandler = umockdev_ioctl_base_new();
        g_signal_connect(m_pHandler, "handle-ioctl", G_CALLBACK(&EmulatedUsbDevice::OnIoctl), this);
        g_signal_connect(m_pHandler, "client-vanished", G_CALLBACK(&EmulatedUsbDevice::OnClientVanished),
                         this);
    }
    GError *pGError = nullptr;
    if (!m_bAttached) {
        if (!umockdev_testbed_attach_ioctl(m_pTestbed, m_strDevNode.toUtf8().constData(), m_pHandler,
                                           &pGError)) {
            if (pError)
                *pError = QString::fromUtf8(pGError ? pGError->message : "attach failed");
            g_clear_error(&pGError);
            return false;
        }
        m_bAttached = true;
    }
    {
        std::lock_guard lock(m_mutex);
        m_bPlugged = true;
        m_pModel->PowerUp();
    }
    if (!umockdev_testbed_add_from_string(m_pTestbed, Record().constData(), &pGError)) {
        if (pError)
            *pError = QString::fromUtf8(pGError ? pGError->message : "add failed");
        g_clear_error(&pGError);
        std::lock_guard lock(m_mutex);
        m_bPlugged = false;
        return false;
    }
    return true;
}

void EmulatedUsbDevice::Unplug()
{
    {
        std::lock_guard lock(m_mutex);
        m_bPlugged = false;
        m_pClaimedBy = nullptr;
        while (!m_pendingIn.empty()) {
            Urb urb = m_pendingIn.front();
            m_pendingIn.pop_front();
            Finish(urb, -ESHUTDOWN, 0);
        }
    }
    // The "remove" event must go out while the device still exists, or libusb never hears of it.
    const QByteArray path = m_strSysPath.toUtf8();
    umockdev_testbed_uevent(m_pTestbed, path.constData(), "remove");
    umockdev_testbed_remove_device(m_pTestbed, path.constData());
}

bool EmulatedUsbDevice::IsPlugged() const
{
    std::lock_guard lock(m_mutex);
    return m_bPlugged;
}

void EmulatedUsbDevice::SetSilent(bool bSilent)
{
    std::lock_guard lock(m_mutex);
    m_bSilent = bSilent;
}

void EmulatedUsbDevice::SetClaimBusy(bool bBusy)
{
    std::lock_guard lock(m_mutex);
    m_bClaimBusy = bBusy;
}

void EmulatedUsbDevice::SetInChunks(std::vector<int> chunks)
{
    std::lock_guard lock(m_mutex);
    m_inChunks = std::move(chunks);
    m_nNextChunk = 0;
}

EmulatedUsbDevice::Stats EmulatedUsbDevice::GetStats() const
{
    std::lock_guard lock(m_mutex);
    Stats stats = m_stats;
    stats.nFramesToDevice = m_toDevice.Frames();
    stats.nFramesFromDevice = m_fromDevice.Frames();
    return stats;
}

void EmulatedUsbDevice::ResetStats()
{
    std::lock_guard lock(m_mutex);
    m_stats = Stats();
    m_toDevice = FrameTally();
    m_fromDevice = FrameTally();
}

int EmulatedUsbDevice::PendingInUrbs() const
{
    std::lock_guard lock(m_mutex);
    return int(m_pendingIn.size());
}

void EmulatedUsbDevice::OnClientVanished(UMockdevIoctlBase *, UMockdevIoctlClient *pClient, void *pSelf)
{
    // A closed file gives up its claim, as when a process ends without releasing.
    auto *pDevice = static_cast<EmulatedUsbDevice *>(pSelf);
    std::lock_guard lock(pDevice->m_mutex);
    if (pDevice->m_pClaimedBy == pClient)
        pDevice->m_pClaimedBy = nullptr;
}

bool EmulatedUsbDevice::IsClaimed() const
{
    std::lock_guard lock(m_mutex);
    return m_pClaimedBy != nullptr;
}

int EmulatedUsbDevice::OnIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *pClient, void *pSelf)
{
    static_cast<EmulatedUsbDevice *>(pSelf)->HandleIoctl(pClient);
    return TRUE;
}

void EmulatedUsbDevice::HandleIoctl(UMockdevIoctlClient *pClient)
{
    const gulong nRequest = umockdev_ioctl_client_get_request(pClient);
    UMockdevIoctlData *pArg = umockdev_ioctl_client_get_arg(pClient);
    std::unique_lock lock(m_mutex);
    switch (nRequest) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *pCaps = umockdev_ioctl_data_resolve(pArg, 0, sizeof(quint32), nullptr);
        quint32 nCaps = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        if (m_spec.bScatterGather)
            nCaps |= USBDEVFS_CAP_BULK_SCATTER_GATHER;
        if (pCaps) {
            memcpy(pCaps->data, &nCaps, sizeof(nCaps));
            g_object_unref(pCaps);
        }
        umockdev_ioctl_client_complete(pClient, 0, 0);
        return;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM:
        // One holder at a time, as the kernel keeps it: a second claim is refused as busy.
        if (!m_bPlugged) {
            umockdev_ioctl_client_complete(pClient, -1, ENODEV);
        } else if (m_bClaimBusy || (m_pClaimedBy && m_pClaimedBy != pClient)) {
            umockdev_ioctl_client_complete(pClient, -1, EBUSY);
        } else {
            m_pClaimedBy = pClient;
            ++m_stats.nClaims;
            umockdev_ioctl_client_complete(pClient, 0, 0);
        }
        return;
    case USBDEVFS_RELEASEINTERFACE:
        if (m_pClaimedBy == pClient)
            m_pClaimedBy = nullptr;
        umockdev_ioctl_client_complete(pClient, m_bPlugged ? 0 : -1, m_bPlugged ? 0 : ENODEV);
        return;
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
        umockdev_ioctl_client_complete(pClient, m_bPlugged ? 0 : -1, m_bPlugged ? 0 : ENODEV);
        return;
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        // No kernel driver is bound to the emulated interface.
        umockdev_ioctl_client_complete(pClient, -1, ENODATA);
        return;
    case USBDEVFS_SUBMITURB:
        Submit(pClient);
        return;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        Reap(pClient);
        return;
    case USBDEVFS_DISCARDURB:
        Discard(pClient);
        return;
    default:
        umockdev_ioctl_client_complete(pClient, -1, ENOTTY);
        return;
    }
}

void EmulatedUsbDevice::Submit(UMockdevIoctlClient *pClient)
{
    if (!m_bPlugged) {
        umockdev_ioctl_client_complete(pClient, -1, ENODEV);
        return;
    }
    UMockdevIoctlData *pArg = umockdev_ioctl_client_get_arg(pClient);
    UMockdevIoctlData *pUrbData = umockdev_ioctl_data_resolve(pArg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!pUrbData) {
        umockdev_ioctl_client_complete(pClient, -1, EFAULT);
        return;
    }
    const usbdevfs_urb *pUrb = UrbOf(pUrbData);
    Urb urb;
    urb.pUrb = pUrbData;
    urb.nEndpoint = pUrb->endpoint;
    urb.nType = pUrb->type;
    urb.nLength = pUrb->buffer_length;
    urb.pBuffer =
        umockdev_ioctl_data_resolve(pUrbData, offsetof(usbdevfs_urb, buffer), size_t(urb.nLength), nullptr);
    if (!urb.pBuffer) {
        g_object_unref(pUrbData);
        umockdev_ioctl_client_complete(pClient, -1, EFAULT);
        return;
    }

    if (urb.nType == USBDEVFS_URB_TYPE_CONTROL) {
        ++m_stats.nUrbsControl;
        AnswerControl(urb);
    } else if (urb.nType != USBDEVFS_URB_TYPE_BULK) {
        Finish(urb, -EPIPE, 0);
    } else if (urb.nEndpoint & 0x80) {
        ++m_stats.nUrbsIn;
        m_pendingIn.push_back(urb);
        ServiceInUrbs();
    } else {
        ++m_stats.nUrbsOut;
        const quint8 *pBytes = urb.pBuffer->data;
        m_pModel->HostWrite(pBytes, urb.nLength);
        m_toDevice.Feed(pBytes, urb.nLength);
        m_stats.nBytesToDevice += urb.nLength;
        Finish(urb, 0, urb.nLength);
    }
    umockdev_ioctl_client_complete(pClient, 0, 0);
}

void EmulatedUsbDevice::AnswerControl(Urb &urb)
{
    const quint8 *pSetup = urb.pBuffer->data;
    QByteArray answer;
    if (urb.nLength >= SETUP_SIZE && pSetup[0] == 0x80 && pSetup[1] == REQUEST_GET_DESCRIPTOR &&
        pSetup[3] == DESCRIPTOR_STRING) {
        if (pSetup[2] == 0) {
            answer = QByteArray("\x04\x03\x09\x04", 4); // English (United States)
        } else if (pSetup[2] == STRING_INDEX_PRODUCT) {
            AppendString(answer, m_spec.strProduct);
        } else if (pSetup[2] == STRING_INDEX_SERIAL && !m_spec.strSerial.isEmpty()) {
            AppendString(answer, m_spec.strSerial);
        }
    }
    if (answer.isEmpty()) {
        Finish(urb, -EPIPE, 0); // stall: request not supported
        return;
    }
    const int nWanted = pSetup[6] | (pSetup[7] << 8);
    const int nCount = std::min({int(answer.size()), nWanted, urb.nLength - SETUP_SIZE});
    memcpy(urb.pBuffer->data + SETUP_SIZE, answer.constData(), size_t(nCount));
    Finish(urb, 0, nCount);
}

void EmulatedUsbDevice::ServiceInUrbs()
{
    while (!m_pendingIn.empty() && !m_bSilent) {
        const qsizetype nAvailable = m_pModel->Available();
        if (nAvailable <= 0)
            return;
        Urb urb = m_pendingIn.front();
        qsizetype nCount = qMin<qsizetype>(nAvailable, urb.nLength);
        if (!m_inChunks.empty()) {
            nCount = qMin<qsizetype>(nCount, m_inChunks[m_nNextChunk]);
            m_nNextChunk = (m_nNextChunk + 1) % m_inChunks.size();
        }
        nCount = m_pModel->HostRead(urb.pBuffer->data, nCount);
        m_fromDevice.Feed(urb.pBuffer->data, nCount);
        m_stats.nBytesFromDevice += nCount;
        m_pendingIn.pop_front();
        Finish(urb, 0, int(nCount));
    }
}

void EmulatedUsbDevice::Finish(Urb urb, int nStatus, int nActual)
{
    usbdevfs_urb *pUrb = UrbOf(urb.pUrb);
    pUrb->status = nStatus;
    pUrb->actual_length = nActual;
    m_done.push_back(urb);
}

void EmulatedUsbDevice::Reap(UMockdevIoctlClient *pClient)
{
    ServiceInUrbs();
    if (m_done.empty()) {
        umockdev_ioctl_client_complete(pClient, -1, m_bPlugged ? EAGAIN : ENODEV);
        return;
    }
    Urb urb = m_done.front();
    m_done.pop_front();
    UMockdevIoctlData *pSlot =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(pClient), 0, sizeof(void *), nullptr);
    if (pSlot) {
        umockdev_ioctl_data_set_ptr(pSlot, 0, urb.pUrb);
        g_object_unref(pSlot);
    }
    g_object_unref(urb.pBuffer);
    g_object_unref(urb.pUrb);
    umockdev_ioctl_client_complete(pClient, pSlot ? 0 : -1, pSlot ? 0 : EFAULT);
}

void EmulatedUsbDevice::Discard(UMockdevIoctlClient *pClient)
{
    UMockdevIoctlData *pArg = umockdev_ioctl_client_get_arg(pClient);
    gulong nAddress = 0;
    memcpy(&nAddress, pArg->data, sizeof(nAddress));
    for (auto it = m_pendingIn.begin(); it != m_pendingIn.end(); ++it) {
        if (it->pUrb->client_addr == nAddress) {
            Urb urb = *it;
            m_pendingIn.erase(it);
            ++m_stats.nDiscarded;
            Finish(urb, -ENOENT, 0);
            umockdev_ioctl_client_complete(pClient, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(pClient, -1, EINVAL);
}
