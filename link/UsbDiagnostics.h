#pragma once

#include <QString>
#include <QtGlobal>

// Texts that tell an operator why the recorder on USB could not be opened and what to do
// about it. The command-line tool prints them; the window may add them to its status text.
class UsbDiagnostics final
{
public:
    static constexpr const char *UDEV_RULE_NAME = "70-orvoconnect.rules";
    static constexpr const char *UDEV_RELOAD_COMMAND = "udevadm control --reload && udevadm trigger";
    static constexpr const char *SCAN_COMMAND = "orvoconnect-cli usb-scan";

    // Where the install target puts the rule template.
    static QString InstalledRulePath();

    // "1234:5678 (bus 1, address 2)".
    static QString DeviceName(quint16 nVendor, quint16 nProduct, int nBus, int nAddress);

    // Why opening or claiming a matching device failed, from the libusb error code.
    static QString OpenFailure(int nLibusbError, const QString &strDevice, int nInterface);
    static QString NoBulkInterface(const QString &strDevice);
    static QString NoConfiguredIds();
    static QString UsbUnavailable(int nLibusbError);
};
