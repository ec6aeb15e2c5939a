#pragma once

#include <QtGlobal>

// The device side behind an emulated USB device: what the host writes goes in, what the
// device has to say comes out. Called with the device's lock held, never concurrently.
class IUsbDeviceModel
{
public:
    virtual ~IUsbDeviceModel() = default;
    virtual void HostWrite(const quint8 *pData, qsizetype nLen) = 0;
    virtual qsizetype Available() = 0;
    virtual qsizetype HostRead(quint8 *pData, qsizetype nMax) = 0;
    // The device is plugged in (again): it starts from power-up.
    virtual void PowerUp() {}
};
