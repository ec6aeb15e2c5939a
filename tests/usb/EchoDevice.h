#pragma once

#include "IUsbDeviceModel.h"

#include <QByteArray>

// A device that sends back every byte it receives, in order.
class EchoDevice final : public IUsbDeviceModel
{
public:
    void HostWrite(const quint8 *pData, qsizetype nLen) override
    {
        m_pending.append(reinterpret_cast<const char *>(pData), nLen);
    }
    qsizetype Available() override { return m_pending.size(); }
    qsizetype HostRead(quint8 *pData, qsizetype nMax) override
    {
        const qsizetype n = qMin(nMax, m_pending.size());
        memcpy(pData, m_pending.constData(), size_t(n));
        m_pending.remove(0, n);
        return n;
    }

private:
    QByteArray m_pending;
};
