#pragma once

#include <QString>

// What the configuration says about the recorder on USB, read afresh each time it is asked:
// the programs hand this to the USB link, which asks again at each open and each notice, so
// that ids or a device configured while a program runs are used from then on.
struct UsbSettings
{
    // Wins over the "UsbIds" setting.
    static constexpr const char *ENV_IDS = "ORVOCONNECT_USB_IDS";

    QString strIds;       // the vendor:product pairs as configured, or empty
    QString strIdsSource; // where they come from: ENV_IDS, or the settings file
    QString strDevice;    // the "Device" setting: a serial number or a port path, or empty

    // From ORVOCONNECT_USB_IDS or the "UsbIds" setting, and the "Device" setting.
    static UsbSettings Read();
};
