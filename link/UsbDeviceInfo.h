#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct libusb_device;
struct libusb_device_handle;

// What tells attached USB devices apart: where they are plugged in and their serial numbers.
namespace UsbDeviceInfo {

// "BUS-PORT[.PORT...]" as the kernel names the device (libusb_get_port_numbers); empty for a
// root hub or when the topology is unknown.
QString PortPath(libusb_device *pDevice);

// The serial number string of an open device, in ASCII with anything else shown as '?'; empty
// when it has none or it cannot be read. The device is a peer we do not control: the length
// comes from its descriptor and is bounded here.
QString ReadSerial(libusb_device_handle *pHandle, quint8 nSerialIndex);

// The same for a device that is not open here: opened for the string only. Null when it cannot
// be opened (access denied, gone).
std::optional<QString> ReadSerial(libusb_device *pDevice);

} // namespace UsbDeviceInfo
