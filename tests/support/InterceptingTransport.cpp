#include "support/InterceptingTransport.h"

#include "core/LittleEndian.h"
#include "link/Frame.h"

#include <QElapsedTimer>

#include <cstring>
#include <thread>

InterceptingTransport::InterceptingTransport(std::unique_ptr<ITransport> pInner)
    : m_pInner(std::move(pInner))
{}

QByteArray InterceptingTransport::FrameBytes(quint16 nCode, const QByteArray &payload)
{
    Frame frame;
    std::memcpy(frame.Payload(), payload.constData(), size_t(payload.size()));
    frame.Prepare(nCode, quint32(payload.size()));
    return QByteArray(reinterpret_cast<const char *>(frame.Data()), frame.Length());
}

QList<quint16> InterceptingTransport::WrittenCodes() const
{
    std::lock_guard lock(m_mutex);
    return m_codes;
}

qsizetype InterceptingTransport::CountWritten(quint16 nCode) const
{
    return WrittenCodes().count(nCode);
}

void InterceptingTransport::ClearCounts()
{
    std::lock_guard lock(m_mutex);
    m_codes.clear();
}

void InterceptingTransport::HoldAt(quint16 nCode, int nOccurrence)
{
    std::lock_guard lock(m_mutex);
    m_nHoldCode = nCode;
    m_nHoldOccurrence = int(m_codes.count(nCode)) + nOccurrence;
    m_bReleased = false;
}

void InterceptingTransport::Release()
{
    {
        std::lock_guard lock(m_mutex);
        m_bReleased = true;
        m_nHoldCode = 0;
    }
    m_cond.notify_all();
}

void InterceptingTransport::Babble(const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    m_pending.prepend(bytes);
}

void InterceptingTransport::CutReads(QList<qsizetype> sizes)
{
    std::lock_guard lock(m_mutex);
    m_readCaps = std::move(sizes);
}

void InterceptingTransport::Notify(quint32 nNotice)
{
    NoticeCallback callback;
    {
        std::lock_guard lock(m_mutex);
        callback = m_notice;
    }
    if (callback)
        std::thread([&callback, nNotice] { callback(nNotice); }).join();
}

bool InterceptingTransport::RegisterNotifications(NoticeCallback callback)
{
    if (bNoNotices)
        return false;
    std::lock_guard lock(m_mutex);
    m_notice = std::move(callback);
    return true;
}

bool InterceptingTransport::Open(LinkOpenFailure *pFailure)
{
    if (beforeOpen && !beforeOpen(pFailure))
        return false;
    return !m_bGone && m_pInner->Open(pFailure);
}

bool InterceptingTransport::Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs)
{
    if (m_bGone || nLen < qsizetype(Frame::HEADER_SIZE))
        return false;
    // Every write carries one whole frame, so its code sits in the first block.
    Request request;
    request.nCode = LittleEndian::U16(pData + Frame::OFFSET_CODE);
    request.nLength = nLen;
    request.strName = LittleEndian::Utf16Text(pData + Frame::HEADER_SIZE, nLen - Frame::HEADER_SIZE);
    {
        std::unique_lock lock(m_mutex);
        m_codes.append(request.nCode);
        request.nNumber = ++m_nWrites;
        m_nLastCode = request.nCode;
        if (m_nHoldCode == request.nCode && m_codes.count(request.nCode) == m_nHoldOccurrence) {
            m_bHeld = true;
            m_cond.wait(lock, [this] { return m_bReleased; });
            m_bHeld = false;
        }
    }
    if (beforeWrite && !beforeWrite(request))
        return false;
    if (m_nUnplugAfter != 0 && request.nCode == m_nUnplugAfter) {
        m_bGone = true;
        return true; // the request left, but no answer will come
    }
    return !m_bGone && m_pInner->Write(pData, nLen, nTimeoutMs);
}

void InterceptingTransport::FetchReplyFrame(int nTimeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray frame;
    qsizetype nWanted = Frame::BLOCK_SIZE;
    while (frame.size() < nWanted) {
        const int nLeftMs = int(qMax<qint64>(0, nTimeoutMs - elapsed.elapsed()));
        QByteArray chunk(nWanted - frame.size(), Qt::Uninitialized);
        const qsizetype nGot = m_pInner->Read(reinterpret_cast<quint8 *>(chunk.data()), chunk.size(),
                                              frame.isEmpty() ? nTimeoutMs : nLeftMs);
        if (nGot <= 0)
            break;
        frame.append(chunk.constData(), nGot);
        if (nWanted == Frame::BLOCK_SIZE && frame.size() == nWanted) {
            const auto *pHeader = reinterpret_cast<const quint8 *>(frame.constData());
            const quint32 nLength = LittleEndian::U32(pHeader + Frame::OFFSET_LENGTH);
            // Only a frame that says sensibly how long it is is gathered whole; anything else
            // goes to the host a block at a time.
            if (LittleEndian::U16(pHeader + Frame::OFFSET_MAGIC) == Frame::FRAME_MAGIC &&
                nLength >= Frame::BLOCK_SIZE && nLength <= Frame::FRAME_CAPACITY &&
                nLength % Frame::BLOCK_SIZE == 0)
                nWanted = nLength;
        }
    }
    if (frame.isEmpty())
        return;
    lie(m_nLastCode, frame);
    std::lock_guard lock(m_mutex);
    m_pending.append(frame);
}

qsizetype InterceptingTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    if (beforeRead)
        beforeRead(m_nWrites);
    if (m_bGone)
        return -1;
    bool bEmpty;
    {
        std::lock_guard lock(m_mutex);
        bEmpty = m_pending.isEmpty();
        if (!m_readCaps.isEmpty())
            nMax = qMin(nMax, m_readCaps.takeFirst());
    }
    if (bEmpty && lie)
        FetchReplyFrame(nTimeoutMs);
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending.isEmpty()) {
            const qsizetype nCount = qMin(nMax, m_pending.size());
            std::memcpy(pData, m_pending.constData(), size_t(nCount));
            m_pending.remove(0, nCount);
            return nCount;
        }
    }
    return lie ? -1 : m_pInner->Read(pData, nMax, nTimeoutMs);
}
