#include "link/UsbBulkInterface.h"

#include <libusb.h>

namespace {

std::optional<UsbBulkInterface> FromAltSetting(const libusb_interface_descriptor &alt)
{
    UsbBulkInterface found;
    found.nInterface = alt.bInterfaceNumber;
    found.nAltSetting = alt.bAlternateSetting;
    found.nClass = alt.bInterfaceClass;
    int nIn = 0;
    int nOut = 0;
    for (int e = 0; e < alt.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor &ep = alt.endpoint[e];
        if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
            continue;
        if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
            ++nIn;
            found.nEndpointIn = ep.bEndpointAddress;
            // Bits 0-10 hold the packet size; the rest count extra transactions per microframe.
            const int nPacket = ep.wMaxPacketSize & 0x7ff;
            found.nMaxPacketIn = nPacket > 0 ? nPacket : UsbBulkInterface::DEFAULT_MAX_PACKET;
        } else {
            ++nOut;
            found.nEndpointOut = ep.bEndpointAddress;
        }
    }
    if (nIn != 1 || nOut != 1)
        return std::nullopt;
    return found;
}

} // namespace

std::optional<UsbBulkInterface> UsbBulkInterface::Find(libusb_device *pDevice, bool bVendorSpecificOnly)
{
    libusb_config_descriptor *pConfig = nullptr;
    if (libusb_get_active_config_descriptor(pDevice, &pConfig) != 0 &&
        libusb_get_config_descriptor(pDevice, 0, &pConfig) != 0)
        return std::nullopt;

    std::optional<UsbBulkInterface> result;
    for (int i = 0; i < pConfig->bNumInterfaces && !result; ++i) {
        const libusb_interface &iface = pConfig->interface[i];
        for (int a = 0; a < iface.num_altsetting && !result; ++a) {
            const libusb_interface_descriptor &alt = iface.altsetting[a];
            if (bVendorSpecificOnly && alt.bInterfaceClass != CLASS_VENDOR_SPECIFIC)
                continue;
            result = FromAltSetting(alt);
        }
    }
    libusb_free_config_descriptor(pConfig);
    return result;
}
