#pragma once

#include "link/LinkOpenFailure.h"

#include <QString>
#include <QtGlobal>

// Why the recorder on USB could not be opened, from libusb's codes, as a reason the window
// words in its own language and the command-line tool prints in English.
class UsbDiagnostics final
{
public:
    static constexpr const char *SCAN_COMMAND = LinkOpenFailure::SCAN_COMMAND;

    // "1234:5678 (bus 1, address 2)".
    static QString DeviceName(quint16 nVendor, quint16 nProduct, int nBus, int nAddress);

    // Why opening or claiming a matching device failed, from the libusb error code.
    static LinkOpenFailure OpenFailure(int nLibusbError, const QString &strDevice, int nInterface);
    static LinkOpenFailure NoBulkInterface(const QString &strDevice);
    static LinkOpenFailure NoConfiguredIds();
    static LinkOpenFailure UsbUnavailable(int nLibusbError);
};
