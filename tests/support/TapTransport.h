#pragma once

// Wraps a transport and lets a test act between transfers: count them, fail a write, or set
// a stop event at an exact point of an exchange.

#include "link/ITransport.h"

#include <functional>
#include <memory>

class TapTransport final : public ITransport
{
public:
    explicit TapTransport(std::unique_ptr<ITransport> pInner)
        : m_pInner(std::move(pInner))
    {}

    // Called before each write with its number (from 1), the frame code it starts with and its
    // length; returning false fails the write without passing it on.
    std::function<bool(int nWrite, quint16 nCode, qsizetype nLen)> beforeWrite;
    // Called before each read with the number of writes so far.
    std::function<void(int nWrites)> beforeRead;

    bool Open(LinkOpenFailure *pFailure) override { return m_pInner->Open(pFailure); }
    void Close() override { m_pInner->Close(); }
    bool IsOpen() const override { return m_pInner->IsOpen(); }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override
    {
        ++m_nWrites;
        if (beforeWrite && !beforeWrite(m_nWrites, quint16(pData[8] | (pData[9] << 8)), nLen))
            return false;
        return m_pInner->Write(pData, nLen, nTimeoutMs);
    }
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override
    {
        if (beforeRead)
            beforeRead(m_nWrites);
        return m_pInner->Read(pData, nMax, nTimeoutMs);
    }
    bool IsGone() const override { return m_pInner->IsGone(); }

private:
    std::unique_ptr<ITransport> m_pInner;
    int m_nWrites = 0;
};
