// GLib's headers use "signals" as a name, which Qt's keyword macro would break: they come first.
#include <umockdev.h>

#include "UsbBusHarness.h"

UsbBusHarness::UsbBusHarness()
    : m_pTestbed(umockdev_testbed_new())
{}

UsbBusHarness::~UsbBusHarness()
{
    m_devices.clear();
    g_object_unref(m_pTestbed);
}

bool UsbBusHarness::InMockEnvironment()
{
    return umockdev_in_mock_environment();
}

EmulatedUsbDevice *UsbBusHarness::AddDevice(const UsbDeviceSpec &spec,
                                            std::unique_ptr<IUsbDeviceModel> pModel, QString *pError)
{
    pModel->Identify(spec.strSerial);
    auto pDevice = std::make_unique<EmulatedUsbDevice>(m_pTestbed, spec, std::move(pModel));
    if (!pDevice->Plug(pError))
        return nullptr;
    m_devices.push_back(std::move(pDevice));
    return m_devices.back().get();
}

void UsbBusHarness::RemoveDevice(EmulatedUsbDevice *pDevice)
{
    std::erase_if(m_devices, [pDevice](const auto &pEach) { return pEach.get() == pDevice; });
}
