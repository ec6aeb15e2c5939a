#include "UsbDiagnostics.h"

#include "CSettingsStore.h"
#include "UsbIds.h"

#include <libusb.h>

#ifndef ORVO_UDEV_RULES_DIR
#define ORVO_UDEV_RULES_DIR "/usr/local/lib/udev/rules.d"
#endif

QString UsbDiagnostics::InstalledRulePath()
{
    return QStringLiteral(ORVO_UDEV_RULES_DIR "/") + QString::fromLatin1(UDEV_RULE_NAME);
}

QString UsbDiagnostics::DeviceName(quint16 nVendor, quint16 nProduct, int nBus, int nAddress)
{
    return QStringLiteral("%1 (bus %2, address %3)")
        .arg(UsbIds::Format(nVendor, nProduct))
        .arg(nBus)
        .arg(nAddress);
}

QString UsbDiagnostics::OpenFailure(int nLibusbError, const QString &strDevice, int nInterface)
{
    switch (nLibusbError) {
    case LIBUSB_ERROR_ACCESS:
        return QStringLiteral("Permission denied on the USB device %1: the udev rule that grants access "
                              "is missing. Copy %2 to /etc/udev/rules.d/, put the recorder's ids in "
                              "it, run \"sudo %3\" and plug the recorder in again.")
            .arg(strDevice, InstalledRulePath(), QString::fromLatin1(UDEV_RELOAD_COMMAND));
    case LIBUSB_ERROR_BUSY:
        return QStringLiteral("The USB device %1 is busy: another program holds its interface %2. "
                              "Close that program and try again.")
            .arg(strDevice)
            .arg(nInterface);
    case LIBUSB_ERROR_NO_DEVICE:
        return QStringLiteral("The USB device %1 went away while it was being opened.").arg(strDevice);
    default:
        return QStringLiteral("Cannot open the USB device %1: %2.")
            .arg(strDevice, QString::fromUtf8(libusb_strerror(nLibusbError)));
    }
}

QString UsbDiagnostics::NoBulkInterface(const QString &strDevice)
{
    return QStringLiteral("The USB device %1 has no interface with one bulk IN and one bulk OUT endpoint.")
        .arg(strDevice);
}

QString UsbDiagnostics::NoConfiguredIds()
{
    return QStringLiteral("No USB ids are configured for the recorder. Set %1=VVVV:PPPP in the "
                          "environment or %2=VVVV:PPPP in ~/.config/%3/%4.conf; \"%5\" lists the "
                          "devices that may be the recorder.")
        .arg(QString::fromLatin1(UsbIds::ENV_NAME), QString::fromLatin1(CSettingsStore::kKeyUsbIds),
             QString::fromLatin1(CSettingsStore::kOrganisation),
             QString::fromLatin1(CSettingsStore::kApplication), QString::fromLatin1(SCAN_COMMAND));
}

QString UsbDiagnostics::UsbUnavailable(int nLibusbError)
{
    return QStringLiteral("USB is not available on this system: %1.")
        .arg(QString::fromUtf8(libusb_strerror(nLibusbError)));
}
