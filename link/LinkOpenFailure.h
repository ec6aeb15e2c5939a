#pragma once

#include "link/UsbDeviceChoice.h"

#include <QList>
#include <QString>

// Why the recorder link did not open: what went wrong and the facts a message about it names.
// The link puts no words in the window, which says it in the active language; the command
// line prints EnglishText().
struct LinkOpenFailure
{
    enum class Kind {
        None,               // nothing to add to "not connected": no matching device is attached
        Described,          // a transport's own words (emulator, TCP, link name): strDetail
        UsbUnavailable,     // libusb did not start or list the devices; strDetail: libusb's words
        NoUsbIds,           // no vendor:product pair is configured; strSource: the settings file
        UnreadableUsbIds,   // strSource: the variable's name or the settings file; strDetail: the entry
        AccessDenied,       // strDevice; the udev rule that grants access is missing
        DeviceBusy,         // strDevice, nInterface: another program holds the interface
        DeviceGone,         // strDevice went away while it was being opened
        OpenFailed,         // strDevice; strDetail: libusb's words
        NoBulkInterface,    // strDevice has no interface with one bulk IN and one bulk OUT endpoint
        ChosenDeviceAbsent, // strDevice: the chosen serial number or port path; attached: the others
    };

    // The command that installs the udev rule; the texts about access name it.
    static constexpr const char *UDEV_INSTALL_COMMAND = "orvoconnect-cli udev-rule --install";
    // The command that lists the devices that may be the recorder.
    static constexpr const char *SCAN_COMMAND = "orvoconnect-cli usb-scan";

    static LinkOpenFailure Described(const QString &strText);

    bool IsEmpty() const { return kind == Kind::None; }
    // True when the ids came from the environment rather than the settings file.
    bool IsFromEnvironment() const;
    QString EnglishText() const;

    Kind kind = Kind::None;
    QString strDevice; // "1234:5678 (bus 1, address 2)"
    QString strSource;
    QString strDetail;
    int nInterface = -1;
    QList<UsbDeviceIdentity> attached;
};
