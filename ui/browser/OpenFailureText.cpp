#include "ui/browser/OpenFailureText.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "link/LinkOpenFailure.h"

QString OpenFailureText(const LinkOpenFailure &failure)
{
    using Kind = LinkOpenFailure::Kind;
    using namespace StringId;
    // One pass of arg() fills every placeholder, so a name holding "%2" stays as it is.
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::Described:
        // The emulator's and the TCP link's own words: links chosen by a developer.
        return failure.strDetail;
    case Kind::UsbUnavailable:
        return LoadText(IDS_LINK_USB_UNAVAILABLE).arg(failure.strDetail);
    case Kind::NoUsbIds:
        return LoadText(IDS_LINK_NO_USB_IDS).arg(failure.strSource);
    case Kind::UnreadableUsbIds:
        return LoadText(IDS_LINK_UNREADABLE_USB_IDS).arg(failure.strSource, failure.strDetail);
    case Kind::AccessDenied:
        return LoadText(IDS_LINK_ACCESS_DENIED).arg(failure.strDevice);
    case Kind::DeviceBusy:
        return LoadText(IDS_LINK_DEVICE_BUSY).arg(failure.strDevice, QString::number(failure.nInterface));
    case Kind::DeviceGone:
        return LoadText(IDS_LINK_DEVICE_GONE).arg(failure.strDevice);
    case Kind::OpenFailed:
        return LoadText(IDS_LINK_OPEN_FAILED).arg(failure.strDevice, failure.strDetail);
    case Kind::NoBulkInterface:
        return LoadText(IDS_LINK_NO_BULK_INTERFACE).arg(failure.strDevice);
    case Kind::ChosenDeviceAbsent:
        if (failure.attached.isEmpty())
            return LoadText(IDS_LINK_CHOSEN_DEVICE_ALONE_ABSENT).arg(failure.strDevice);
        return LoadText(IDS_LINK_CHOSEN_DEVICE_ABSENT)
            .arg(failure.strDevice, UsbDeviceChoice::ListText(failure.attached));
    }
    return {};
}
