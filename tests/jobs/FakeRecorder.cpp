#include "FakeRecorder.h"

#include "Frame.h"
#include "ProtocolCodes.h"
#include "RecorderFileEntry.h"

#include <cstring>

namespace {

QString NameAt(const QByteArray &frame, int nOffset)
{
    QString strName;
    for (int n = nOffset; n + 1 < frame.size(); n += 2) {
        const char16_t ch = char16_t(quint8(frame[n]) | (quint8(frame[n + 1]) << 8));
        if (ch == 0)
            break;
        strName.append(QChar(ch));
    }
    return strName;
}

QByteArray Utf16(const QString &strText)
{
    QByteArray bytes;
    for (QChar ch : strText) {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    bytes.append(2, '\0');
    return bytes;
}

QByteArray U32(quint32 n)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(n >> (8 * i));
    return bytes;
}

quint32 ReadU32(const QByteArray &frame, int nOffset)
{
    quint32 n = 0;
    for (int i = 0; i < 4; ++i)
        n |= quint32(quint8(frame[nOffset + i])) << (8 * i);
    return n;
}

} // namespace

FakeRecorder::FakeRecorder(State state)
    : m_state(std::move(state))
{}

bool FakeRecorder::Write(const quint8 *pData, qsizetype nLen, int)
{
    if (m_bGone || nLen < qsizetype(Frame::BLOCK_SIZE))
        return false;
    const QByteArray frame(reinterpret_cast<const char *>(pData), nLen);
    const quint16 nCode = quint16(quint8(frame[8]) | (quint8(frame[9]) << 8));
    m_codes.append(nCode);
    if (m_state.onCommand)
        m_state.onCommand(nCode, NameAt(frame, int(Frame::HEADER_SIZE)));
    if (m_state.nGoneOnCommand != 0 && nCode == m_state.nGoneOnCommand) {
        m_bGone = true;
        return true; // the request left, but no answer will come
    }
    Handle(nCode, frame);
    return true;
}

qsizetype FakeRecorder::Read(quint8 *pData, qsizetype nMax, int)
{
    if (m_bGone || m_toHost.isEmpty())
        return -1; // as a time-out: nothing is coming
    const qsizetype n = qMin<qsizetype>(nMax, m_toHost.size());
    std::memcpy(pData, m_toHost.constData(), size_t(n));
    m_toHost.remove(0, n);
    return n;
}

void FakeRecorder::Reply(quint16 nCode, const QByteArray &payload)
{
    QByteArray frame(int(Frame::LengthFor(quint32(payload.size()))), '\0');
    frame[0] = char(Frame::FRAME_MAGIC & 0xFF);
    frame[1] = char(Frame::FRAME_MAGIC >> 8);
    frame.replace(4, 4, U32(quint32(frame.size())));
    frame[8] = char(nCode & 0xFF);
    frame[9] = char(nCode >> 8);
    frame.replace(int(Frame::HEADER_SIZE), payload.size(), payload);
    m_toHost.append(frame);
}

void FakeRecorder::SendEntry(const QString &strName, quint32 nSize)
{
    RecorderFileEntry entry;
    entry.SetName(strName);
    entry.SetSizeLow(nSize);
    Reply(RSP_OK, QByteArray(reinterpret_cast<const char *>(entry.Bytes()), RecorderFileEntry::SIZE));
}

void FakeRecorder::SendNextDownloadBlock()
{
    if (m_state.nStopDownloadAfter >= 0 && m_nBlocksSent >= m_state.nStopDownloadAfter) {
        m_mode = Mode::Idle;
        Reply(RSP_OK);
        return;
    }
    const int nCount = qMin(m_state.nBlockData, int(m_download.size()) - m_nDownloadPos);
    QByteArray payload =
        U32(quint32(m_download.size())) + U32(quint32(m_nDownloadPos)) + U32(quint32(nCount));
    payload += m_download.mid(m_nDownloadPos, nCount);
    m_nDownloadPos += nCount;
    ++m_nBlocksSent;
    if (m_nDownloadPos >= m_download.size())
        m_mode = Mode::Idle;
    Reply(RSP_FILE_BLOCK, payload);
}

void FakeRecorder::Handle(quint16 nCode, const QByteArray &frame)
{
    const QString strName = NameAt(frame, int(Frame::HEADER_SIZE));
    switch (nCode) {
    case CMD_GET_DEVICE_INFO:
        Reply(RSP_OK, Utf16(m_state.strDeviceInfo));
        break;
    case CMD_GET_CARD_INFO:
        Reply(RSP_OK, QByteArray(12, '\0') + Utf16(m_state.strCardInfo));
        break;
    case CMD_LIST_FILES:
        m_mode = Mode::Listing;
        m_listing = m_state.files.keys();
        [[fallthrough]];
    case CMD_ACK:
        if (m_mode == Mode::Listing) {
            if (m_listing.isEmpty()) {
                m_mode = Mode::Idle;
                SendEntry(QString(), 0);
            } else {
                const QString strNext = m_listing.takeFirst();
                SendEntry(strNext, quint32(m_state.files.value(strNext).size()));
            }
        } else if (m_mode == Mode::Downloading) {
            SendNextDownloadBlock();
        }
        break;
    case CMD_ABORT:
        if (m_mode == Mode::Uploading)
            Reply(CMD_ACK);
        m_mode = Mode::Idle;
        break;
    case CMD_GET_FILE:
        m_mode = Mode::Downloading;
        m_download = m_state.files.value(strName);
        m_nDownloadPos = 0;
        m_nBlocksSent = 0;
        SendNextDownloadBlock();
        break;
    case CMD_DELETE_FILE:
        if (m_state.refuseDelete.contains(strName) || !m_state.files.remove(strName))
            Reply(RSP_REFUSED);
        else
            Reply(RSP_OK);
        break;
    case CMD_SAVE_ARCHIVE:
        Reply(m_state.bNoCard ? RSP_NO_CARD : RSP_OK);
        break;
    case CMD_PUT_FILE: {
        const RecorderFileEntry entry = RecorderFileEntry::FromBytes(
            reinterpret_cast<const quint8 *>(frame.constData()) + Frame::HEADER_SIZE);
        if (m_state.bNoCard) {
            Reply(RSP_NO_CARD);
        } else if (m_state.files.contains(entry.Name()) && entry.Attributes() == 0) {
            Reply(RSP_FILE_EXISTS);
        } else {
            m_mode = Mode::Uploading;
            m_strUploadName = entry.Name();
            m_upload.clear();
            Reply(RSP_OK);
        }
        break;
    }
    case CMD_PUT_BLOCK: {
        const quint32 nCount = ReadU32(frame, int(BLOCK_OFFSET_COUNT));
        m_upload += frame.mid(int(BLOCK_OFFSET_DATA), int(nCount));
        if (quint32(m_upload.size()) >= ReadU32(frame, int(BLOCK_OFFSET_TOTAL))) {
            m_state.files.insert(m_strUploadName, m_upload);
            m_mode = Mode::Idle;
        }
        Reply(CMD_ACK);
        break;
    }
    default:
        Reply(RSP_REFUSED);
        break;
    }
}
