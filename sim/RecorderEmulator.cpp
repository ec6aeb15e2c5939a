#include "sim/RecorderEmulator.h"

#include "core/LittleEndian.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"
#include "sim/SampleCard.h"
#include "sim/SimLog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cstring>

Q_LOGGING_CATEGORY(lcSim, "orvo.sim", QtInfoMsg)

namespace {

// Multi-line texts ending with a line break, as a recorder sends them: the host shows the
// identification and the card information one after the other.
const char *const DEVICE_INFO = "Paperless recorder %1\r\nFirmware version %2\r\nSerial number %3\r\n";
const char *const DEFAULT_MODEL = "PR-8";
const char *const DEFAULT_FIRMWARE = "3.12";
const char *const DEFAULT_SERIAL = "0A1B2C";
constexpr quint16 GARBAGE_MAGIC = 0xBEEF;
constexpr quint16 FOREIGN_CODE = 0x8000;
// An archive save writes this many records (one hour at the sample interval).
constexpr int SAVED_ARCHIVE_RECORDS = 360;

QString Megabytes(quint64 nBytes)
{
    return QString::number(double(nBytes) / (1024.0 * 1024.0), 'f', 1);
}

} // namespace

RecorderEmulator::RecorderEmulator(QString strCardDir, EmulatorFaults faults)
    : m_card(std::move(strCardDir))
    , m_faults(std::move(faults))
{}

RecorderEmulator::~RecorderEmulator()
{
    EndTransfer();
}

QString RecorderEmulator::DeviceInfoText() const
{
    if (m_deviceInfo)
        return *m_deviceInfo;
    const auto orDefault = [](const QString &str, const char *pszDefault) {
        return str.isEmpty() ? QString::fromLatin1(pszDefault) : str;
    };
    return QString::fromLatin1(DEVICE_INFO)
        .arg(orDefault(m_faults.strModel, DEFAULT_MODEL), orDefault(m_faults.strFirmware, DEFAULT_FIRMWARE),
             orDefault(m_faults.strSerial, DEFAULT_SERIAL));
}

QString RecorderEmulator::CardInfoText() const
{
    if (m_cardInfo)
        return *m_cardInfo;
    if (m_faults.bNoCard)
        return QStringLiteral("No CompactFlash card in the recorder\r\n");
    return QStringLiteral("CompactFlash card %1 MB\r\n%2 MB free, %3 files\r\n")
        .arg(m_card.Capacity() / (1024 * 1024))
        .arg(Megabytes(m_card.FreeBytes()))
        .arg(m_card.Entries().size());
}

void RecorderEmulator::Reset()
{
    EndTransfer();
    m_input.clear();
    m_output.clear();
    m_nOutputPos = 0;
    m_nSplitPhase = 0;
    m_delayed.reset();
    m_late.reset();
}

void RecorderEmulator::HostWrite(const quint8 *pData, qsizetype nLen)
{
    if (nLen <= 0)
        return;
    m_input.append(reinterpret_cast<const char *>(pData), nLen);
    qsizetype nPos = 0;
    while (m_input.size() - nPos >= qsizetype(Frame::BLOCK_SIZE)) {
        const quint8 *pFrame = reinterpret_cast<const quint8 *>(m_input.constData()) + nPos;
        if (LittleEndian::U16(pFrame + Frame::OFFSET_MAGIC) != Frame::FRAME_MAGIC) {
            qCDebug(lcSim) << "host block without frame magic dropped";
            nPos += Frame::BLOCK_SIZE;
            continue;
        }
        quint32 nLength = LittleEndian::U32(pFrame + Frame::OFFSET_LENGTH);
        if (nLength == 0 || nLength > Frame::FRAME_CAPACITY || nLength % Frame::BLOCK_SIZE != 0)
            nLength = Frame::BLOCK_SIZE;
        if (m_input.size() - nPos < qsizetype(nLength))
            break;
        HandleFrame(pFrame, nLength);
        nPos += nLength;
    }
    m_input.remove(0, nPos);
}

qsizetype RecorderEmulator::Available()
{
    ReleaseDue();
    return (LateReplyDue() ? m_late->bytes.size() : 0) + m_output.size() - m_nOutputPos;
}

bool RecorderEmulator::LateReplyDue() const
{
    return m_late && Clock::now() >= m_late->due;
}

qsizetype RecorderEmulator::HostRead(quint8 *pData, qsizetype nMax)
{
    qsizetype nCount = qMin(nMax, Available());
    if (nCount <= 0)
        return 0;
    if (LateReplyDue()) {
        nCount = qMin(nCount, m_late->bytes.size());
        std::memcpy(pData, m_late->bytes.constData(), size_t(nCount));
        m_late->bytes.remove(0, nCount);
        if (m_late->bytes.isEmpty())
            m_late.reset();
        return nCount;
    }
    if (m_faults.bSplitReplies) {
        nCount = qMin<qsizetype>(nCount, m_nSplitPhase == 0 ? SPLIT_FIRST : SPLIT_SECOND);
        m_nSplitPhase ^= 1;
    }
    std::memcpy(pData, m_output.constData() + m_nOutputPos, size_t(nCount));
    m_nOutputPos += nCount;
    if (m_nOutputPos == m_output.size()) {
        m_output.resize(0);
        m_nOutputPos = 0;
    }
    return nCount;
}

std::optional<RecorderEmulator::Clock::time_point> RecorderEmulator::NextDue() const
{
    std::optional<Clock::time_point> due;
    if (m_delayed)
        due = m_delayed->due;
    if (m_late && (!due || m_late->due < *due))
        due = m_late->due;
    return due;
}

void RecorderEmulator::ReleaseDue()
{
    if (m_delayed && Clock::now() >= m_delayed->due) {
        m_output.append(m_delayed->bytes);
        m_delayed.reset();
    }
}

void RecorderEmulator::HandleFrame(const quint8 *pFrame, quint32 nLength)
{
    const quint16 nCode = LittleEndian::U16(pFrame + Frame::OFFSET_CODE);
    m_receivedCodes.append(nCode);
    if (m_faults.bSilent)
        return;
    switch (nCode) {
    case CMD_ACK:
        if (m_state == State::Listing)
            ListNext();
        else if (m_state == State::Downloading)
            SendNextBlock();
        return;
    case CMD_ABORT:
        // An aborted upload is answered with one frame; a list or download just ends.
        if (m_state == State::Uploading) {
            EndTransfer();
            Reply(CMD_ABORT);
        } else {
            EndTransfer();
        }
        return;
    case CMD_SOURCE_ERROR:
        EndTransfer();
        return;
    case CMD_PUT_BLOCK:
        if (m_state == State::Uploading)
            ReceiveBlock(pFrame, nLength);
        else
            Reply(CMD_ABORT);
        return;
    default:
        HandleRequest(nCode, pFrame, nLength);
    }
}

void RecorderEmulator::HandleRequest(quint16 nCode, const quint8 *pFrame, quint32 nLength)
{
    // A new request ends whatever was going on and drops what the host did not read of it.
    EndTransfer();
    m_output.resize(0);
    m_nOutputPos = 0;
    m_nSplitPhase = 0;
    m_delayed.reset();

    switch (nCode) {
    case CMD_GET_DEVICE_INFO:
        ReplyText(RSP_OK, Frame::HEADER_SIZE, DeviceInfoText());
        break;
    case CMD_GET_CARD_INFO:
        // The 12 bytes the host does not read: capacity and free space in KB, file count.
        m_reply.SetU32(CARD_INFO_OFFSET_CAPACITY_KB, quint32(m_card.Capacity() / 1024));
        m_reply.SetU32(CARD_INFO_OFFSET_FREE_KB, m_faults.bNoCard ? 0 : quint32(m_card.FreeBytes() / 1024));
        m_reply.SetU32(CARD_INFO_OFFSET_FILE_COUNT, m_faults.bNoCard ? 0 : quint32(m_card.Entries().size()));
        ReplyText(RSP_OK, CARD_INFO_TEXT_OFFSET, CardInfoText());
        break;
    case CMD_LIST_FILES:
        m_entries = m_faults.bNoCard ? QList<RecorderFileEntry>() : m_card.Entries();
        m_nNextEntry = 0;
        m_state = State::Listing;
        ListNext();
        break;
    case CMD_GET_FILE:
        StartDownload(NameOf(pFrame, nLength));
        break;
    case CMD_DELETE_FILE:
        Reply(DeleteFile(NameOf(pFrame, nLength)));
        break;
    case CMD_PUT_FILE:
        StartUpload(RecorderFileEntry::FromBytes(pFrame + Frame::HEADER_SIZE));
        break;
    case CMD_SAVE_ARCHIVE:
        SaveArchive();
        break;
    default:
        qCDebug(lcSim) << "unknown request" << ProtocolCodeName(nCode);
        Reply(RSP_REFUSED);
    }
    if (m_faults.nLateReplyMs > 0 && m_nOutputPos < m_output.size()) {
        // This one answer leaves only after the given time; the fault is then spent.
        m_late = Delayed{Clock::now() + std::chrono::milliseconds(m_faults.nLateReplyMs), QByteArray()};
        m_faults.nLateReplyMs = 0;
    }
    if (m_late) {
        // The answers that follow queue behind the late one and are sent as it is: a new
        // request no longer takes them back.
        m_late->bytes += m_output.mid(m_nOutputPos);
        m_output.resize(0);
        m_nOutputPos = 0;
    }
}

QString RecorderEmulator::NameOf(const quint8 *pFrame, quint32 nLength)
{
    QString strName;
    for (quint32 n = Frame::HEADER_SIZE; n + 1 < nLength; n += 2) {
        const char16_t ch = char16_t(LittleEndian::U16(pFrame + n));
        if (ch == 0)
            return strName;
        strName.append(QChar(ch));
    }
    return QString(); // no terminator inside the frame
}

void RecorderEmulator::ListNext()
{
    quint8 *pPayload = m_reply.Payload();
    if (m_nNextEntry < m_entries.size()) {
        std::memcpy(pPayload, m_entries.at(m_nNextEntry++).Bytes(), RecorderFileEntry::SIZE);
        Reply(RSP_OK, RecorderFileEntry::SIZE);
        return;
    }
    // The entry without a name ends the list; the host acknowledges it, and that ACK finds
    // the recorder idle.
    std::memset(pPayload, 0, RecorderFileEntry::SIZE);
    Reply(RSP_OK, RecorderFileEntry::SIZE);
    EndTransfer();
}

quint16 RecorderEmulator::DeleteFile(const QString &strName)
{
    if (m_faults.bNoCard)
        return RSP_NO_CARD;
    if (!m_card.HasFile(strName) || m_faults.RefusesDeletionOf(strName))
        return RSP_REFUSED;
    return m_card.Remove(strName) ? RSP_OK : RSP_REFUSED;
}

void RecorderEmulator::SaveArchive()
{
    if (m_faults.bNoCard) {
        Reply(RSP_NO_CARD);
        return;
    }
    // The archive from internal memory lands on the card as the next archive file.
    quint16 nCode = RSP_REFUSED;
    const QString strName = m_card.NextArchiveName();
    if (!strName.isEmpty()) {
        const QByteArray data =
            SampleCard::ArchiveData(SAVED_ARCHIVE_RECORDS, QDateTime::currentDateTime().toSecsSinceEpoch(),
                                    quint32(m_receivedCodes.size()));
        QFile file(m_card.PathOf(strName));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(data) == data.size())
            nCode = RSP_OK;
    }
    if (m_faults.nSaveArchiveDelayMs > 0) {
        m_delayed = Delayed{Clock::now() + std::chrono::milliseconds(m_faults.nSaveArchiveDelayMs),
                            ReplyBytes(nCode, 0)};
        return;
    }
    Reply(nCode);
}

QByteArray RecorderEmulator::ReplyBytes(quint16 nCode, quint32 nPayload)
{
    QByteArray bytes;
    if (m_faults.bGarbageBeforeReply) {
        // One block with a bad magic, one with a code outside both families: the host must
        // skip both.
        QByteArray garbage(Frame::BLOCK_SIZE, char(0x5A));
        garbage[0] = char(GARBAGE_MAGIC & 0xFF);
        garbage[1] = char(GARBAGE_MAGIC >> 8);
        bytes += garbage;
        garbage[0] = char(Frame::FRAME_MAGIC & 0xFF);
        garbage[1] = char(Frame::FRAME_MAGIC >> 8);
        garbage[4] = char(0x00);
        garbage[5] = char(0x04); // length 1024
        garbage[6] = garbage[7] = 0;
        garbage[8] = char(FOREIGN_CODE & 0xFF);
        garbage[9] = char(FOREIGN_CODE >> 8);
        bytes += garbage;
    }
    m_reply.Prepare(nCode, nPayload);
    bytes.append(reinterpret_cast<const char *>(m_reply.Data()), qsizetype(m_reply.Length()));
    return bytes;
}

void RecorderEmulator::Reply(quint16 nCode, quint32 nPayload)
{
    if (m_faults.bGarbageBeforeReply) {
        m_output.append(ReplyBytes(nCode, nPayload));
        return;
    }
    m_reply.Prepare(nCode, nPayload);
    m_output.append(reinterpret_cast<const char *>(m_reply.Data()), qsizetype(m_reply.Length()));
}

void RecorderEmulator::ReplyText(quint16 nCode, quint32 nOffset, const QString &strText)
{
    // Texts longer than the frame are cut, keeping room for the terminator.
    const qsizetype nMaxChars = (qsizetype(Frame::FRAME_CAPACITY) - nOffset) / 2 - 1;
    const qsizetype nChars = qMin(strText.size(), nMaxChars);
    LittleEndian::WriteUtf16Text(m_reply.Data() + nOffset, strText.left(nChars));
    Reply(nCode, nOffset - Frame::HEADER_SIZE + quint32(2 * (nChars + 1)));
}
