#include "link/LinkOpenFailure.h"

#include "core/SettingsStore.h"
#include "link/UsbDiagnostics.h"
#include "link/UsbIds.h"

LinkOpenFailure LinkOpenFailure::Described(const QString &strText)
{
    LinkOpenFailure failure;
    if (!strText.isEmpty()) {
        failure.kind = Kind::Described;
        failure.strDetail = strText;
    }
    return failure;
}

bool LinkOpenFailure::IsFromEnvironment() const
{
    return strSource == QLatin1String(UsbIds::ENV_NAME);
}

QString LinkOpenFailure::EnglishText() const
{
    const QString strInstall = QString::fromLatin1(UDEV_INSTALL_COMMAND);
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::Described:
        return strDetail;
    case Kind::UsbUnavailable:
        return QStringLiteral("USB is not available on this system: %1.").arg(strDetail);
    case Kind::NoUsbIds:
        return QStringLiteral("No USB ids are configured for the recorder. Set %1=VVVV:PPPP in the "
                              "environment or %2=VVVV:PPPP in %3; \"%4\" lists the devices that may be "
                              "the recorder, and \"%5\" grants access to it.")
            .arg(QString::fromLatin1(UsbIds::ENV_NAME), SettingKeys::UsbIds.Name(), strSource,
                 QString::fromLatin1(SCAN_COMMAND), strInstall);
    case Kind::UnreadableUsbIds: {
        const QString strWhere =
            IsFromEnvironment()
                ? strSource
                : QStringLiteral("the %1 setting (%2)").arg(SettingKeys::UsbIds.Name(), strSource);
        return QStringLiteral(
                   "%1: \"%2\" is not a USB vendor:product pair (hexadecimal, for example 1234:5678)")
            .arg(strWhere, strDetail);
    }
    case Kind::AccessDenied:
        return QStringLiteral("Permission denied on the USB device %1: the udev rule that grants access "
                              "is missing. Install it with \"%2\" (as root, with the device's ids), then "
                              "plug the recorder in again.")
            .arg(strDevice, strInstall);
    case Kind::DeviceBusy:
        return QStringLiteral("The USB device %1 is busy: another program holds its interface %2. "
                              "Close that program and try again.")
            .arg(strDevice)
            .arg(nInterface);
    case Kind::DeviceGone:
        return QStringLiteral("The USB device %1 went away while it was being opened.").arg(strDevice);
    case Kind::OpenFailed:
        return QStringLiteral("Cannot open the USB device %1: %2.").arg(strDevice, strDetail);
    case Kind::NoBulkInterface:
        return QStringLiteral(
                   "The USB device %1 has no interface with one bulk IN and one bulk OUT endpoint.")
            .arg(strDevice);
    case Kind::ChosenDeviceAbsent:
        if (attached.isEmpty())
            return QStringLiteral("The chosen recorder \"%1\" is not attached, nor is any other recorder of "
                                  "the configured ids.")
                .arg(strDevice);
        return QStringLiteral("The chosen recorder \"%1\" is not attached. Attached recorders of the "
                              "configured ids (port path and serial number): %2.")
            .arg(strDevice, UsbDeviceChoice::ListText(attached));
    }
    return strDetail;
}
