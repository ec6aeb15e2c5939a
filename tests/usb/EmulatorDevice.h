#pragma once

#include "sim/RecorderEmulator.h"
#include "UsbDeviceModels.h"

// The emulator over a card folder as the device, for the window test until it takes a
// RecorderDevice.
class EmulatorDevice final : public IUsbDeviceModel
{
public:
    explicit EmulatorDevice(const QString &strCardDir)
        : m_emulator(strCardDir)
    {}

    RecorderEmulator &Emulator() { return m_emulator; }

    void HostWrite(const quint8 *pData, qsizetype nLen) override { m_emulator.HostWrite(pData, nLen); }
    QByteArray DeviceBytes() override
    {
        QByteArray bytes(qMax<qsizetype>(0, m_emulator.Available()), Qt::Uninitialized);
        if (!bytes.isEmpty())
            bytes.resize(m_emulator.HostRead(reinterpret_cast<quint8 *>(bytes.data()), bytes.size()));
        return bytes;
    }
    void PowerUp() override { m_emulator.Reset(); }

private:
    RecorderEmulator m_emulator;
};
