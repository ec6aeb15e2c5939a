#include "link/UsbDeviceInfo.h"

#include <libusb.h>

namespace {

// A string descriptor holds at most 126 UTF-16 units; the ASCII form is no longer.
constexpr int STRING_MAX = 256;
// USB allows at most 7 tiers below the root hub.
constexpr int PORT_DEPTH_MAX = 7;

} // namespace

namespace UsbDeviceInfo {

QString PortPath(libusb_device *pDevice)
{
    uint8_t ports[PORT_DEPTH_MAX] = {};
    const int nPorts = libusb_get_port_numbers(pDevice, ports, PORT_DEPTH_MAX);
    if (nPorts <= 0)
        return QString();
    QString strPath = QStringLiteral("%1-").arg(libusb_get_bus_number(pDevice));
    for (int i = 0; i < nPorts; ++i) {
        if (i > 0)
            strPath += QLatin1Char('.');
        strPath += QString::number(ports[i]);
    }
    return strPath;
}

QString ReadSerial(libusb_device_handle *pHandle, quint8 nSerialIndex)
{
    if (nSerialIndex == 0)
        return QString();
    unsigned char text[STRING_MAX] = {};
    const int nLen = libusb_get_string_descriptor_ascii(pHandle, nSerialIndex, text, sizeof(text) - 1);
    if (nLen <= 0)
        return QString();
    QString strSerial;
    for (int i = 0; i < nLen && i < STRING_MAX - 1; ++i) {
        const unsigned char c = text[i];
        // Control characters would upset a terminal, a log or a folder name.
        strSerial += c < 0x20 || c >= 0x7f ? QLatin1Char('?') : QLatin1Char(char(c));
    }
    return strSerial;
}

std::optional<QString> ReadSerial(libusb_device *pDevice)
{
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(pDevice, &desc) != LIBUSB_SUCCESS)
        return std::nullopt;
    if (desc.iSerialNumber == 0)
        return QString();
    libusb_device_handle *pHandle = nullptr;
    if (libusb_open(pDevice, &pHandle) != LIBUSB_SUCCESS)
        return std::nullopt;
    const QString strSerial = ReadSerial(pHandle, desc.iSerialNumber);
    libusb_close(pHandle);
    return strSerial;
}

} // namespace UsbDeviceInfo
