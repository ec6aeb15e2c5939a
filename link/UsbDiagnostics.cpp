#include "link/UsbDiagnostics.h"

#include "link/UsbIds.h"
#include "link/UsbSettingsProvider.h"

#include <libusb.h>

namespace {

LinkOpenFailure Failure(LinkOpenFailure::Kind kind, const QString &strDevice)
{
    LinkOpenFailure failure;
    failure.kind = kind;
    failure.strDevice = strDevice;
    return failure;
}

} // namespace

QString UsbDiagnostics::DeviceName(quint16 nVendor, quint16 nProduct, int nBus, int nAddress)
{
    return QStringLiteral("%1 (bus %2, address %3)")
        .arg(UsbIds::Format(nVendor, nProduct))
        .arg(nBus)
        .arg(nAddress);
}

LinkOpenFailure UsbDiagnostics::OpenFailure(int nLibusbError, const QString &strDevice, int nInterface)
{
    switch (nLibusbError) {
    case LIBUSB_ERROR_ACCESS:
        return Failure(LinkOpenFailure::Kind::AccessDenied, strDevice);
    case LIBUSB_ERROR_BUSY: {
        LinkOpenFailure failure = Failure(LinkOpenFailure::Kind::DeviceBusy, strDevice);
        failure.nInterface = nInterface;
        return failure;
    }
    case LIBUSB_ERROR_NO_DEVICE:
        return Failure(LinkOpenFailure::Kind::DeviceGone, strDevice);
    default: {
        LinkOpenFailure failure = Failure(LinkOpenFailure::Kind::OpenFailed, strDevice);
        failure.strDetail = QString::fromUtf8(libusb_strerror(nLibusbError));
        return failure;
    }
    }
}

LinkOpenFailure UsbDiagnostics::NoBulkInterface(const QString &strDevice)
{
    return Failure(LinkOpenFailure::Kind::NoBulkInterface, strDevice);
}

LinkOpenFailure UsbDiagnostics::NoConfiguredIds()
{
    LinkOpenFailure failure;
    failure.kind = LinkOpenFailure::Kind::NoUsbIds;
    failure.strSource = UsbSettingsProvider::Current().strIdsSource;
    return failure;
}

LinkOpenFailure UsbDiagnostics::UsbUnavailable(int nLibusbError)
{
    LinkOpenFailure failure;
    failure.kind = LinkOpenFailure::Kind::UsbUnavailable;
    failure.strDetail = QString::fromUtf8(libusb_strerror(nLibusbError));
    return failure;
}
