#pragma once

#include <QtGlobal>

#include <optional>

struct libusb_device;

// An interface of a USB device that can carry the recorder's two channels: exactly one bulk
// IN endpoint (recorder to host) and one bulk OUT endpoint (host to recorder).
struct UsbBulkInterface final
{
    static constexpr quint8 CLASS_VENDOR_SPECIFIC = 0xff;
    static constexpr int DEFAULT_MAX_PACKET = 512;

    int nInterface = -1;
    int nAltSetting = 0;
    quint8 nClass = 0;
    quint8 nEndpointIn = 0;
    quint8 nEndpointOut = 0;
    int nMaxPacketIn = DEFAULT_MAX_PACKET;

    // The first such interface of the active configuration (or of the first one when the
    // active one cannot be read), looking at each interface's alternate settings in order.
    // With bVendorSpecificOnly, only interfaces of class 0xff count.
    static std::optional<UsbBulkInterface> Find(libusb_device *pDevice, bool bVendorSpecificOnly);
};
