#pragma once

#include "EmulatedUsbDevice.h"

#include <QString>

#include <memory>
#include <vector>

// An emulated USB bus for one test process: the umockdev testbed and the devices on it. Build
// it before anything calls libusb_init, and destroy every libusb context before it goes.
class UsbBusHarness final
{
    Q_DISABLE_COPY_MOVE(UsbBusHarness)

public:
    UsbBusHarness();
    ~UsbBusHarness();

    // False when the process does not run with the umockdev preload library.
    static bool InMockEnvironment();

    // Creates a device and plugs it in; null (with *pError) on failure.
    EmulatedUsbDevice *AddDevice(const UsbDeviceSpec &spec, std::unique_ptr<IUsbDeviceModel> pModel,
                                 QString *pError = nullptr);
    // Unplugs (if plugged) and forgets the device.
    void RemoveDevice(EmulatedUsbDevice *pDevice);
    void RemoveAll() { m_devices.clear(); }

private:
    UMockdevTestbed *m_pTestbed = nullptr;
    std::vector<std::unique_ptr<EmulatedUsbDevice>> m_devices;
};
