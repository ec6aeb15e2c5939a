#pragma once

#include "IUsbDeviceModel.h"
#include "sim/RecorderEmulator.h"

// The project's recorder emulator as the device side of an emulated USB device.
class EmulatorDevice final : public IUsbDeviceModel
{
public:
    explicit EmulatorDevice(const QString &strCardDir)
        : m_emulator(strCardDir)
    {}

    RecorderEmulator &Emulator() { return m_emulator; }

    void HostWrite(const quint8 *pData, qsizetype nLen) override { m_emulator.HostWrite(pData, nLen); }
    qsizetype Available() override { return m_emulator.Available(); }
    qsizetype HostRead(quint8 *pData, qsizetype nMax) override { return m_emulator.HostRead(pData, nMax); }
    void PowerUp() override { m_emulator.Reset(); }

private:
    RecorderEmulator m_emulator;
};
