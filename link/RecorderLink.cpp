#include "link/RecorderLink.h"

#include "link/LinkLog.h"
#include "link/StaleInput.h"
#include "link/TransportRegistry.h"

#include <QDeadlineTimer>

Q_LOGGING_CATEGORY(lcLink, "orvo.link", QtInfoMsg)

RecorderLink::RecorderLink()
{
    QString strError;
    m_pTransport = TransportRegistry::Create(TransportRegistry::DefaultLinkName(), &strError);
    if (!m_pTransport)
        m_openFailure = LinkOpenFailure::Described(strError);
}

RecorderLink::RecorderLink(std::unique_ptr<ITransport> pTransport)
    : m_pTransport(std::move(pTransport))
{}

RecorderLink::~RecorderLink()
{
    Close();
}

bool RecorderLink::Open(bool /*bOverlapped*/)
{
    Close();
    if (!m_pTransport)
        return false;
    m_openFailure = LinkOpenFailure();
    // A fresh connection starts in step; a transport whose channel may still hold old data
    // (USB) clears it itself when it opens.
    m_bOutOfStep = false;
    const bool bOpen = m_pTransport->Open(&m_openFailure);
    qCDebug(lcLink) << "open:" << bOpen << m_openFailure.EnglishText();
    return bOpen;
}

void RecorderLink::Close()
{
    if (m_pTransport)
        m_pTransport->Close();
}

bool RecorderLink::IsOpen() const
{
    return m_pTransport && m_pTransport->IsOpen();
}

void RecorderLink::Interrupt()
{
    m_bInterrupted = true;
    if (m_pTransport)
        m_pTransport->Wake();
}

int RecorderLink::TransferTimeoutMs() const
{
    return m_bInterrupted ? qMin(m_nTimeoutMs, STOPPING_TIMEOUT_MS) : m_nTimeoutMs;
}

void RecorderLink::Resynchronise()
{
    if (!m_bOutOfStep)
        return;
    m_bOutOfStep = false;
    // A program that is stopping only has an abort left to say; it does not wait for quiet.
    if (!m_bInterrupted)
        StaleInput::Discard(*m_pTransport);
}

int RecorderLink::ReadBlock(quint8 *pTarget, quint32 *pReceived)
{
    return ReadBlocks(pTarget, 1, pReceived);
}

int RecorderLink::WriteBlocks(const quint8 *pSource, int nBlocks, quint32 *pWritten)
{
    if (pWritten)
        *pWritten = 0;
    if (!m_pTransport || nBlocks <= 0)
        return 1;
    Resynchronise();
    const qsizetype nLen = qsizetype(nBlocks) * BLOCK_SIZE;
    if (!m_pTransport->Write(pSource, nLen, TransferTimeoutMs())) {
        qCDebug(lcLink) << "write of" << nLen << "bytes failed";
        m_bOutOfStep = true;
        return 1;
    }
    if (pWritten)
        *pWritten = quint32(nLen);
    m_nBlocksWritten += quint64(nBlocks);
    return 0;
}

int RecorderLink::ReadBlocks(quint8 *pTarget, int nBlocks, quint32 *pReceived)
{
    if (pReceived)
        *pReceived = 0;
    if (!m_pTransport || nBlocks <= 0)
        return 1;
    const qsizetype nWanted = qsizetype(nBlocks) * BLOCK_SIZE;
    qsizetype nTotal = 0;
    // The channel may deliver the recorder's data in any split; join until the blocks are whole.
    // The time-out bounds the whole call, not each piece: a recorder that dribbles its data a
    // few bytes at a time must not hold the read for a time-out per piece.
    const int nTimeoutMs = TransferTimeoutMs();
    const QDeadlineTimer deadline(nTimeoutMs);
    while (nTotal < nWanted) {
        const qint64 nLeft = deadline.remainingTime();
        const int nWaitMs = nLeft < 0 ? nTimeoutMs : int(qMax<qint64>(1, nLeft));
        const qsizetype nGot =
            nTotal > 0 && nLeft == 0 ? -1 : m_pTransport->Read(pTarget + nTotal, nWanted - nTotal, nWaitMs);
        if (nGot < 0) {
            qCDebug(lcLink) << "read failed after" << nTotal << "of" << nWanted << "bytes";
            m_bOutOfStep = true;
            return 1;
        }
        nTotal += nGot;
    }
    if (pReceived)
        *pReceived = quint32(nWanted);
    m_nBlocksRead += quint64(nBlocks);
    return 0;
}

bool RecorderLink::RegisterNotifications(ITransport::NoticeCallback callback)
{
    return m_pTransport && m_pTransport->RegisterNotifications(std::move(callback));
}

QString RecorderLink::Serial() const
{
    return m_pTransport ? m_pTransport->Serial() : QString();
}

bool RecorderLink::IsGone() const
{
    return m_pTransport && m_pTransport->IsGone();
}
