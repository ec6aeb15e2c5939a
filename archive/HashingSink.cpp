#include "archive/HashingSink.h"

HashingSink::HashingSink(IDownloadSink &inner)
    : m_inner(inner)
{}

RecorderResult HashingSink::Open()
{
    m_hash.Reset();
    m_hex.clear();
    return m_inner.Open();
}

RecorderResult HashingSink::Write(const quint8 *pData, quint32 nLen)
{
    RecorderResult result = m_inner.Write(pData, nLen);
    if (result.IsOk())
        m_hash.Add(pData, nLen);
    return result;
}

RecorderResult HashingSink::Flush()
{
    return m_inner.Flush();
}

RecorderResult HashingSink::Commit()
{
    RecorderResult result = m_inner.Commit();
    if (result.IsOk())
        m_hex = m_hash.Hex();
    return result;
}

void HashingSink::Discard()
{
    m_inner.Discard();
    m_hash.Reset();
    m_hex.clear();
}
