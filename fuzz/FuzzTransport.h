#pragma once

// The fuzzer's recorder: it says the input's bytes, a read at a time, and times out at once when
// they are used up, so a run never waits. After each write of the host it calls onWrite with
// the number of writes so far.

#include "link/ITransport.h"

#include <QByteArray>

#include <cstring>
#include <functional>

class FuzzTransport final : public ITransport
{
public:
    explicit FuzzTransport(QByteArray toHost)
        : m_toHost(std::move(toHost))
    {}

    std::function<void(int nWrites)> onWrite;

    bool Open(LinkOpenFailure *) override { return m_bOpen = true; }
    void Close() override { m_bOpen = false; }
    bool IsOpen() const override { return m_bOpen; }
    bool Write(const quint8 *, qsizetype, int) override
    {
        if (onWrite)
            onWrite(++m_nWrites);
        return true;
    }
    qsizetype Read(quint8 *pData, qsizetype nMax, int) override
    {
        if (m_toHost.isEmpty())
            return -1;
        const qsizetype nCount = qMin(nMax, m_toHost.size());
        std::memcpy(pData, m_toHost.constData(), size_t(nCount));
        m_toHost.remove(0, nCount);
        return nCount;
    }

private:
    QByteArray m_toHost;
    int m_nWrites = 0;
    bool m_bOpen = false;
};
