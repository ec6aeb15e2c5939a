#include "link/UsbScan.h"

#include "link/UsbBulkInterface.h"
#include "link/UsbDeviceInfo.h"
#include "link/UsbDiagnostics.h"
#include "link/UsbIds.h"

#include <libusb.h>

namespace {

constexpr int PRODUCT_STRING_MAX = 256;

void ReadStrings(libusb_device *pDevice, const libusb_device_descriptor &desc, UsbScan::Entry *pEntry)
{
    if (desc.iProduct == 0 && desc.iSerialNumber == 0)
        return;
    libusb_device_handle *pHandle = nullptr;
    const int nResult = libusb_open(pDevice, &pHandle);
    if (nResult != LIBUSB_SUCCESS) {
        pEntry->bReadable = nResult != LIBUSB_ERROR_ACCESS;
        return;
    }
    unsigned char text[PRODUCT_STRING_MAX] = {};
    const int nLen = desc.iProduct == 0
                         ? 0
                         : libusb_get_string_descriptor_ascii(pHandle, desc.iProduct, text, sizeof(text));
    if (nLen > 0)
        pEntry->strProduct = QString::fromLatin1(reinterpret_cast<const char *>(text), nLen);
    pEntry->strSerial = UsbDeviceInfo::ReadSerial(pHandle, desc.iSerialNumber);
    libusb_close(pHandle);
}

} // namespace

std::optional<QList<UsbScan::Entry>> UsbScan::Scan(QString *pError)
{
    libusb_context *pContext = nullptr;
    int nResult = libusb_init(&pContext);
    if (nResult != LIBUSB_SUCCESS) {
        if (pError)
            *pError = UsbDiagnostics::UsbUnavailable(nResult).EnglishText();
        return std::nullopt;
    }
    libusb_device **ppList = nullptr;
    const ssize_t nCount = libusb_get_device_list(pContext, &ppList);
    if (nCount < 0) {
        if (pError)
            *pError = UsbDiagnostics::UsbUnavailable(int(nCount)).EnglishText();
        libusb_exit(pContext);
        return std::nullopt;
    }

    const UsbIds configured = UsbIds::Configured(nullptr).value_or(UsbIds());
    QList<Entry> entries;
    for (ssize_t i = 0; i < nCount; ++i) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(ppList[i], &desc) != LIBUSB_SUCCESS)
            continue;
        const auto iface = UsbBulkInterface::Find(ppList[i], true);
        if (!iface)
            continue;
        Entry entry;
        entry.nVendor = desc.idVendor;
        entry.nProduct = desc.idProduct;
        entry.nBus = libusb_get_bus_number(ppList[i]);
        entry.nAddress = libusb_get_device_address(ppList[i]);
        entry.nInterface = iface->nInterface;
        entry.strPortPath = UsbDeviceInfo::PortPath(ppList[i]);
        entry.bConfigured = configured.Contains(desc.idVendor, desc.idProduct);
        ReadStrings(ppList[i], desc, &entry);
        entries.append(entry);
    }
    libusb_free_device_list(ppList, 1);
    libusb_exit(pContext);
    return entries;
}

QString UsbScan::FormatEntry(const Entry &entry)
{
    const auto orDash = [](const QString &strText) {
        return strText.isEmpty() ? QStringLiteral("-") : strText;
    };
    QString strLine = QStringLiteral("%1  bus %2  address %3  port %4  serial %5  %6")
                          .arg(UsbIds::Format(entry.nVendor, entry.nProduct))
                          .arg(entry.nBus, 3, 10, QLatin1Char('0'))
                          .arg(entry.nAddress, 3, 10, QLatin1Char('0'))
                          .arg(orDash(entry.strPortPath), orDash(entry.strSerial), orDash(entry.strProduct));
    if (!entry.bReadable)
        strLine += QStringLiteral("  (no access: udev rule missing?)");
    if (entry.bConfigured)
        strLine += QStringLiteral("  (configured)");
    return strLine;
}
