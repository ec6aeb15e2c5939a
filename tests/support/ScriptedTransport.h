#pragma once

// A transport that plays a recorder from a script: bytes queued for the host are handed out
// in reads (optionally cut to given sizes); every write is recorded. An empty queue times out
// at once, so failure paths cost no waiting.

#include "link/Frame.h"
#include "link/ITransport.h"

#include <QByteArray>
#include <QList>

#include <cstring>
#include <functional>
#include <memory>

class ScriptedTransport final : public ITransport
{
public:
    struct Script
    {
        QByteArray toHost;          // what the recorder will say
        QList<qsizetype> readSizes; // caps of successive reads; none: as much as asked
        QList<QByteArray> writes;   // what the host wrote, one entry per Write call
        QList<qsizetype> reads;     // the byte counts the host asked for, one per Read call
        bool bGone = false;
        // Called after each write, to queue an answer that depends on it.
        std::function<void(Script &, const QByteArray &)> onWrite;
    };

    ScriptedTransport()
        : m_pScript(std::make_shared<Script>())
    {}

    std::shared_ptr<Script> Shared() const { return m_pScript; }

    bool Open(LinkOpenFailure *) override { return m_bOpen = true; }
    void Close() override { m_bOpen = false; }
    bool IsOpen() const override { return m_bOpen; }
    bool Write(const quint8 *pData, qsizetype nLen, int) override
    {
        const QByteArray bytes(reinterpret_cast<const char *>(pData), nLen);
        m_pScript->writes.append(bytes);
        if (m_pScript->onWrite)
            m_pScript->onWrite(*m_pScript, bytes);
        return true;
    }
    qsizetype Read(quint8 *pData, qsizetype nMax, int) override
    {
        m_pScript->reads.append(nMax);
        if (m_pScript->toHost.isEmpty())
            return -1;
        qsizetype nCount = qMin(nMax, m_pScript->toHost.size());
        if (!m_pScript->readSizes.isEmpty())
            nCount = qMin(nCount, m_pScript->readSizes.takeFirst());
        std::memcpy(pData, m_pScript->toHost.constData(), size_t(nCount));
        m_pScript->toHost.remove(0, nCount);
        return nCount;
    }
    bool IsGone() const override { return m_pScript->bGone; }

    // A frame of nLength bytes (whole blocks, at least one) with the given header fields.
    static QByteArray FrameBytes(quint16 nMagic, quint32 nLengthField, quint16 nCode, qsizetype nLength = -1)
    {
        if (nLength < 0)
            nLength = qMax<qsizetype>(Frame::BLOCK_SIZE, nLengthField);
        QByteArray bytes(nLength, char(0));
        const auto put = [&](int nOffset, quint32 nValue, int nWidth) {
            for (int i = 0; i < nWidth; ++i)
                bytes[nOffset + i] = char(nValue >> (8 * i));
        };
        put(0, nMagic, 2);
        put(4, nLengthField, 4);
        put(8, nCode, 2);
        return bytes;
    }

private:
    std::shared_ptr<Script> m_pScript;
    bool m_bOpen = false;
};
