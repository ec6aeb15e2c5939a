// GLib's headers use "signals" as a name, which Qt's keyword macro would break: they come first.
#include <umockdev.h>

#include "EmulatedUsbDevice.h"

#include <QDebug>

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

void AppendString(QByteArray &answer, const QString &strText)
{
    answer.append(char(2 + 2 * strText.size()));
    answer.append(char(DESCRIPTOR_STRING));
    for (const QChar c : strText)
        answer.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
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
    // Unplugged, nothing is pending any more.
    for (Urb &urb : m_done) {
        g_object_unref(urb.pBuffer);
        g_object_unref(urb.pUrb);
    }
}

QByteArray EmulatedUsbDevice::Descriptors() const
{
    const auto hex = [](int nValue, int nBytes = 1) {
        QString strHex; // little-endian
        for (int i = 0; i < nBytes; ++i)
            strHex += QStringLiteral("%1").arg((nValue >> (8 * i)) & 0xff, 2, 16, QLatin1Char('0'));
        return strHex;
    };
    const QString strHex =
        // Device: USB 2.0, class per interface, ep0 64 bytes, the ids, version 1.00, the product
        // and serial strings, one configuration.
        QStringLiteral("1201 0002 000000 40 %1 %2 0001 00 %3 %4 01")
            .arg(hex(m_spec.nVendor, 2), hex(m_spec.nProduct, 2), hex(STRING_INDEX_PRODUCT),
                 hex(m_spec.strSerial.isEmpty() ? 0 : STRING_INDEX_SERIAL)) +
        // Configuration: total length 9 + 9 + 7 + 7, one interface, value 1, bus powered.
        QStringLiteral("0902 2000 01 01 00 80 32") +
        // Interface 0, alternate 0, two endpoints, of this class; then bulk OUT 0x01 and IN 0x81.
        QStringLiteral("0904 00 00 02 %1 000000 0705 01 02 %2 00 0705 81 02 %2 00")
            .arg(hex(m_spec.nInterfaceClass), hex(m_spec.nMaxPacket, 2));
    return QByteArray::fromHex(strHex.toLatin1());
}

QByteArray EmulatedUsbDevice::Record() const
{
    const QString strRecord =
        QStringLiteral("P: %1\nN: %2\nE: DEVNAME=%3\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n")
            .arg(m_strSysPath.mid(4), m_strDevNode.mid(5), m_strDevNode) +
        QStringLiteral("E: PRODUCT=%1/%2/100\nE: BUSNUM=%3\nE: DEVNUM=%4\nA: busnum=%5\nA: devnum=%6\n")
            .arg(m_spec.nVendor, 0, 16)
            .arg(m_spec.nProduct, 0, 16)
            .arg(m_strDevNode.section(QLatin1Char('/'), -2, -2), m_strDevNode.section(QLatin1Char('/'), -1))
            .arg(m_spec.nBus)
            .arg(m_spec.nAddress) +
        QStringLiteral("A: bConfigurationValue=1\nA: speed=480\nA: idVendor=%1\nA: idProduct=%2\n")
            .arg(m_spec.nVendor, 4, 16, QLatin1Char('0'))
            .arg(m_spec.nProduct, 4, 16, QLatin1Char('0')) +
        QStringLiteral("A: product=%1\nH: descriptors=%2\n")
            .arg(m_spec.strProduct, QString::fromLatin1(Descriptors().toHex()));
    return strRecord.toUtf8();
}

bool EmulatedUsbDevice::Plug(QString *pError)
{
    if (!m_pHandler) {
        m_pHandler = umockdev_ioctl_base_new();
        g_signal_connect(m_pHandler, "handle-ioctl",
                         G_CALLBACK(+[](UMockdevIoctlBase *, UMockdevIoctlClient *pClient, void *pSelf) {
                             static_cast<EmulatedUsbDevice *>(pSelf)->HandleIoctl(pClient);
                             return gboolean(TRUE);
                         }),
                         this);
        // A closed file gives up its claim, as when a process ends without releasing.
        g_signal_connect(m_pHandler, "client-vanished",
                         G_CALLBACK(+[](UMockdevIoctlBase *, UMockdevIoctlClient *pClient, void *pSelf) {
                             auto *pDevice = static_cast<EmulatedUsbDevice *>(pSelf);
                             std::lock_guard lock(pDevice->m_mutex);
                             pDevice->m_pClaimedBy.compare_exchange_strong(pClient, nullptr);
                         }),
                         this);
    }
    GError *pGError = nullptr;
    const auto failed = [&](const char *pszWhat) {
        const QString strError = QString::fromUtf8(pGError ? pGError->message : pszWhat);
        qWarning() << "cannot plug the emulated device:" << strError;
        if (pError)
            *pError = strError;
        g_clear_error(&pGError);
        std::lock_guard lock(m_mutex);
        m_bPlugged = false;
        return false;
    };
    if (!m_bAttached &&
        !umockdev_testbed_attach_ioctl(m_pTestbed, m_strDevNode.toUtf8().constData(), m_pHandler, &pGError))
        return failed("attach failed");
    m_bAttached = true;
    {
        std::lock_guard lock(m_mutex);
        m_bPlugged = true;
        m_fromDevice.clear();
        m_pModel->PowerUp();
    }
    return umockdev_testbed_add_from_string(m_pTestbed, Record().constData(), &pGError) ||
           failed("add failed");
}

void EmulatedUsbDevice::Unplug()
{
    {
        std::lock_guard lock(m_mutex);
        m_bPlugged = false;
        m_pClaimedBy = nullptr;
        for (const Urb &urb : m_pendingIn)
            Finish(urb, -ESHUTDOWN, 0);
        m_pendingIn.clear();
    }
    // The "remove" event must go out while the device still exists, or libusb never hears of it.
    const QByteArray path = m_strSysPath.toUtf8();
    umockdev_testbed_uevent(m_pTestbed, path.constData(), "remove");
    umockdev_testbed_remove_device(m_pTestbed, path.constData());
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
            CompleteIfPlugged(pClient);
        } else if (m_bClaimBusy || (m_pClaimedBy && m_pClaimedBy != pClient)) {
            umockdev_ioctl_client_complete(pClient, -1, EBUSY);
        } else {
            m_pClaimedBy = pClient;
            umockdev_ioctl_client_complete(pClient, 0, 0);
        }
        return;
    case USBDEVFS_RELEASEINTERFACE:
        if (m_pClaimedBy == pClient)
            m_pClaimedBy = nullptr;
        CompleteIfPlugged(pClient);
        return;
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
        CompleteIfPlugged(pClient);
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

void EmulatedUsbDevice::CompleteIfPlugged(UMockdevIoctlClient *pClient)
{
    umockdev_ioctl_client_complete(pClient, m_bPlugged ? 0 : -1, m_bPlugged ? 0 : ENODEV);
}

void EmulatedUsbDevice::Submit(UMockdevIoctlClient *pClient)
{
    if (!m_bPlugged) {
        CompleteIfPlugged(pClient);
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
        AnswerControl(urb);
    } else if (urb.nType != USBDEVFS_URB_TYPE_BULK) {
        Finish(urb, -EPIPE, 0);
    } else if (urb.nEndpoint & 0x80) {
        ++m_stats.nUrbsIn;
        m_pendingIn.push_back(urb);
        ServiceInUrbs();
    } else {
        ++m_stats.nUrbsOut;
        m_pModel->HostWrite(urb.pBuffer->data, urb.nLength);
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
        if (m_fromDevice.isEmpty())
            m_fromDevice = m_pModel->DeviceBytes();
        if (m_fromDevice.isEmpty())
            return;
        Urb urb = m_pendingIn.front();
        qsizetype nCount = qMin<qsizetype>(m_fromDevice.size(), urb.nLength);
        if (!m_inChunks.empty()) {
            nCount = qMin<qsizetype>(nCount, m_inChunks[m_nNextChunk]);
            m_nNextChunk = (m_nNextChunk + 1) % m_inChunks.size();
        }
        memcpy(urb.pBuffer->data, m_fromDevice.constData(), size_t(nCount));
        m_fromDevice.remove(0, nCount);
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
            Finish(urb, -ENOENT, 0);
            umockdev_ioctl_client_complete(pClient, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(pClient, -1, EINVAL);
}
