#include "HookedTransport.h"

#include "link/Frame.h"

HookedTransport::HookedTransport(std::unique_ptr<ITransport> pInner)
    : m_pInner(std::move(pInner))
{}

bool HookedTransport::Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs)
{
    if (m_bGone || nLen < qsizetype(Frame::BLOCK_SIZE))
        return false;
    const quint16 nCode = quint16(pData[Frame::OFFSET_CODE] | (pData[Frame::OFFSET_CODE + 1] << 8));
    m_codes.append(nCode);
    if (onCommand) {
        QString strName;
        for (qsizetype n = Frame::HEADER_SIZE; n + 1 < nLen && (pData[n] || pData[n + 1]); n += 2)
            strName.append(QChar(char16_t(pData[n] | (pData[n + 1] << 8))));
        onCommand(nCode, strName);
    }
    if (nGoneOnCommand != 0 && nCode == nGoneOnCommand) {
        m_bGone = true;
        return true; // the request left, but no answer will come
    }
    return !m_bGone && m_pInner->Write(pData, nLen, nTimeoutMs);
}

qsizetype HookedTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    if (m_bGone)
        return -1;
    return m_pInner->Read(pData, nMax, nTimeoutMs);
}
