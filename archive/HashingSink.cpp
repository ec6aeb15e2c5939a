#include "archive/HashingSink.h"

HashingSink::HashingSink(IDownloadSink &inner, BeforeCommit beforeCommit)
    : m_inner(inner)
    , m_beforeCommit(std::move(beforeCommit))
{}

RecorderResult HashingSink::Open()
{
    m_hash.Reset();
    m_hex.clear();
    m_nBytes = 0;
    return m_inner.Open();
}

RecorderResult HashingSink::Write(const quint8 *pData, quint32 nLen)
{
    RecorderResult result = m_inner.Write(pData, nLen);
    if (result.IsOk()) {
        m_hash.Add(pData, nLen);
        m_nBytes += nLen;
    }
    return result;
}

RecorderResult HashingSink::Flush()
{
    return m_inner.Flush();
}

RecorderResult HashingSink::Commit()
{
    const QByteArray hex = m_hash.Hex();
    if (m_beforeCommit) {
        if (RecorderResult before = m_beforeCommit(hex, m_nBytes); !before.IsOk()) {
            m_inner.Discard();
            return before;
        }
    }
    RecorderResult result = m_inner.Commit();
    if (result.IsOk())
        m_hex = hex;
    return result;
}

void HashingSink::Discard()
{
    m_inner.Discard();
    m_hash.Reset();
    m_hex.clear();
    m_nBytes = 0;
}
