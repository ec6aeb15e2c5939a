#include "link/Frame.h"

#include "link/LinkLog.h"
#include "link/RecorderLink.h"

#include <QByteArray>
#include <QElapsedTimer>

namespace {

bool CodeIsAdmitted(quint16 nCode)
{
    return (nCode & Frame::REPLY_CODE_BITS) == Frame::REPLY_CODE_BITS ||
           (nCode & Frame::REQUEST_CODE_BITS) == Frame::REQUEST_CODE_BITS;
}

bool LengthIsValid(quint32 nLength)
{
    return nLength <= Frame::FRAME_CAPACITY && nLength % Frame::BLOCK_SIZE == 0;
}

void DumpFrame(const char *pWhat, const Frame &frame, quint32 nBytes)
{
    if (!lcLink().isDebugEnabled())
        return;
    const QByteArray head(reinterpret_cast<const char *>(frame.Data()), int(qMin<quint32>(nBytes, 64)));
    qCDebug(lcLink).nospace() << pWhat << " code=0x" << Qt::hex << frame.Code() << Qt::dec
                              << " length=" << frame.Length() << " " << head.toHex(' ');
}

} // namespace

Frame::Frame()
{
    SetU16(OFFSET_MAGIC, FRAME_MAGIC);
}

void Frame::Prepare(quint16 nCode, quint32 nPayloadLength)
{
    SetU16(OFFSET_MAGIC, FRAME_MAGIC);
    SetU16(OFFSET_CODE, nCode);
    SetU32(OFFSET_LENGTH, LengthFor(nPayloadLength));
}

bool Frame::IsValid() const
{
    return Magic() == FRAME_MAGIC && LengthIsValid(Length()) && CodeIsAdmitted(Code());
}

int Frame::Send(RecorderLink &link)
{
    // A length beyond the buffer can only come from a caller's mistake; never send past it.
    const quint32 nLength = qMin(Length(), FRAME_CAPACITY);
    const int nBlocks = int((nLength + BLOCK_SIZE - 1) / BLOCK_SIZE);
    if (nBlocks == 0)
        return 0;
    DumpFrame("send", *this, nLength);
    quint32 nWritten = 0;
    // The whole frame goes out in one call, so a bus transport can move it in one transfer.
    return link.WriteBlocks(m_buffer.data(), nBlocks, &nWritten);
}

int Frame::Receive(RecorderLink &link)
{
    // Each read is bounded by the link time-out, but a recorder that keeps sending blocks that
    // start no valid frame would keep this loop going for ever, deaf to any stop request. One
    // time-out after the first block discarded, the receive fails as a silent recorder's would.
    QElapsedTimer discarding;
    const auto discardedTooLong = [&] {
        if (!discarding.isValid())
            discarding.start();
        if (!discarding.hasExpired(link.TimeoutMs()))
            return false;
        link.NoteOutOfStep();
        return true;
    };
    for (;;) {
        m_nReceived = 0;
        SetLength(BLOCK_SIZE);
        quint32 nGot = 0;
        if (const int nResult = link.ReadBlock(m_buffer.data(), &nGot))
            return nResult;
        m_nReceived = BLOCK_SIZE;

        // Without the magic the block starts no frame, so its "length" is noise: trusting it
        // would swallow up to 31 good blocks behind it, a real reply among them.
        if (Magic() != FRAME_MAGIC) {
            qCDebug(lcLink) << "discarding a block without frame magic";
            DumpFrame("skip", *this, m_nReceived);
            if (discardedTooLong())
                return 1;
            continue;
        }

        // The rest of the frame, as the recorder announced it, in one call; never beyond the
        // buffer, whatever the length field says.
        const quint32 nAnnounced = qMin(Length(), FRAME_CAPACITY);
        if (nAnnounced > m_nReceived) {
            const int nMore = int((nAnnounced - m_nReceived + BLOCK_SIZE - 1) / BLOCK_SIZE);
            if (const int nResult = link.ReadBlocks(m_buffer.data() + m_nReceived, nMore, &nGot))
                return nResult;
            m_nReceived += quint32(nMore) * BLOCK_SIZE;
        }

        if (CodeIsAdmitted(Code())) {
            // A header whose length breaks the format is taken as a 1024-byte frame holding its
            // first block only, after the blocks it announced have been drained.
            if (!LengthIsValid(Length())) {
                SetLength(BLOCK_SIZE);
                m_nReceived = BLOCK_SIZE;
            }
            DumpFrame("recv", *this, m_nReceived);
            return 0;
        }
        qCDebug(lcLink) << "discarding a frame with a foreign code";
        DumpFrame("skip", *this, m_nReceived);
        if (discardedTooLong())
            return 1;
    }
}
