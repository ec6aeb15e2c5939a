#pragma once

#include "support/FakeRecorder.h"

#include <QByteArray>

#include <utility>

// The device side behind an emulated USB device: what the host writes goes in, what the
// device has to say comes out. Called with the device's lock held, never concurrently.
class IUsbDeviceModel
{
public:
    virtual ~IUsbDeviceModel() = default;
    virtual void HostWrite(const quint8 *pData, qsizetype nLen) = 0;
    // What the device has to say now; empty when nothing.
    virtual QByteArray DeviceBytes() = 0;
    // The device is plugged in (again): it starts from power-up.
    virtual void PowerUp() {}
    // The serial number of the device's descriptor, for a model that also says it in words.
    virtual void Identify(const QString & /*strSerial*/) {}
};

// A device that sends back every byte it receives, in order.
class EchoDevice final : public IUsbDeviceModel
{
public:
    void HostWrite(const quint8 *pData, qsizetype nLen) override
    {
        m_echo.append(reinterpret_cast<const char *>(pData), nLen);
    }
    QByteArray DeviceBytes() override { return std::exchange(m_echo, QByteArray()); }

private:
    QByteArray m_echo;
};

// A fake recorder as the device: the host's bytes reach it through its wire as whole frames,
// so the wire's hooks and counts see the USB traffic. The recorder outlives the device.
class RecorderDevice final : public IUsbDeviceModel
{
public:
    explicit RecorderDevice(FakeRecorder &recorder)
        : m_recorder(recorder)
    {}
    void HostWrite(const quint8 *pData, qsizetype nLen) override { m_recorder.FromHost(pData, nLen); }
    QByteArray DeviceBytes() override
    {
        m_buffer.resize(64 * 1024);
        const qsizetype nGot =
            m_recorder.Wire().Read(reinterpret_cast<quint8 *>(m_buffer.data()), m_buffer.size(), 0);
        return nGot > 0 ? m_buffer.left(nGot) : QByteArray();
    }
    void PowerUp() override { m_recorder.Replug(); }
    // The recorder's identification carries the serial number its descriptor gives.
    void Identify(const QString &strSerial) override
    {
        if (!strSerial.isEmpty())
            m_recorder.Faults().strSerial = strSerial;
    }

private:
    FakeRecorder &m_recorder;
    QByteArray m_buffer;
};
