#include "protocol/RecorderProtocol.h"

#include "core/LittleEndian.h"
#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/ProtocolLog.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/ReportMessages.h"

#include <QElapsedTimer>

#include <chrono>
#include <cstring>
#include <thread>

Q_LOGGING_CATEGORY(lcProtocol, "orvo.protocol", QtInfoMsg)

RecorderProtocol::RecorderProtocol(RecorderLink &link)
    : m_link(link)
    , m_pause([](int nMs) { std::this_thread::sleep_for(std::chrono::milliseconds(nMs)); })
{}

RecorderProtocol::~RecorderProtocol() = default;

int RecorderProtocol::Exchange(quint16 nCode, quint32 nPayloadLength)
{
    m_request.Prepare(nCode, nPayloadLength);
    if (const int nResult = m_request.Send(m_link))
        return nResult;
    return m_response.Receive(m_link);
}

void RecorderProtocol::SendCode(quint16 nCode)
{
    m_request.Prepare(nCode, 0);
    m_request.Send(m_link);
}

RecorderResult RecorderProtocol::Broken(bool bTransferOpen)
{
    if (!m_link.IsInterrupted())
        return RESULT_COMM_ERROR;
    if (bTransferOpen)
        SendCode(CMD_ABORT);
    return RESULT_CANCELLED;
}

quint32 RecorderProtocol::WriteNamePayload(const QString &strName)
{
    const quint32 nBytes = quint32(strName.size() + 1) * 2;
    if (nBytes > Frame::MAX_PAYLOAD)
        return 0;
    LittleEndian::WriteUtf16Text(m_request.Payload(), strName);
    return nBytes;
}

QString RecorderProtocol::ResponseText(quint32 nOffset) const
{
    const quint32 nEnd = m_response.ReceivedBytes();
    if (nOffset >= nEnd)
        return QString();
    return LittleEndian::Utf16Text(m_response.Data() + nOffset, nEnd - nOffset);
}

bool RecorderProtocol::GetDeviceInfo(const PostTarget &target)
{
    if (Exchange(CMD_GET_DEVICE_INFO, 0))
        return false;
    target.Post(WM_REC_DEVICE_INFO, TextPost{ResponseText(Frame::HEADER_SIZE)});
    return true;
}

bool RecorderProtocol::GetCardInfo(const PostTarget &target)
{
    if (Exchange(CMD_GET_CARD_INFO, 0))
        return false;
    target.Post(WM_REC_CARD_INFO, TextPost{ResponseText(CARD_INFO_TEXT_OFFSET)});
    return true;
}

RecorderResult RecorderProtocol::ListFiles(const ManualResetEvent &stop, const PostTarget &target)
{
    m_request.Prepare(CMD_LIST_FILES, 0);
    if (m_request.Send(m_link))
        return Broken(false);

    m_request.Prepare(CMD_ACK, 0);
    std::memset(m_response.Payload(), 0, Frame::MAX_PAYLOAD);

    quint32 nIndex = 0;
    for (;;) {
        if (m_response.Receive(m_link))
            return Broken(true);
        const RecorderFileEntry entry = RecorderFileEntry::FromBytes(m_response.Payload());
        const bool bHasName = entry.HasName();
        if (bHasName && nIndex == MAX_LIST_ENTRIES) {
            SendCode(CMD_ABORT);
            const RecorderResult result(
                RESULT_COMM_ERROR,
                QStringLiteral("the recorder listed more than %1 files without ending its list")
                    .arg(MAX_LIST_ENTRIES));
            qCWarning(lcProtocol).noquote() << result.Detail();
            return result;
        }
        if (bHasName)
            target.Post(WM_REC_FILE_ENTRY, FileEntryPost{nIndex++, entry});
        if (stop.IsSet()) {
            SendCode(CMD_ABORT);
            return RESULT_CANCELLED;
        }
        if (m_request.Send(m_link))
            return Broken(true);
        if (!bHasName)
            return RESULT_OK;
    }
}

RecorderResult RecorderProtocol::DeleteCardFile(const QString &strName)
{
    const quint32 nNameBytes = WriteNamePayload(strName);
    if (nNameBytes == 0)
        return RESULT_NOT_DELETED;
    if (Exchange(CMD_DELETE_FILE, nNameBytes))
        return Broken(false);
    return m_response.Code() == RSP_OK ? RESULT_OK : RESULT_NOT_DELETED;
}

RecorderResult RecorderProtocol::SaveArchiveData()
{
    m_request.Prepare(CMD_SAVE_ARCHIVE, 0);
    if (m_request.Send(m_link))
        return RESULT_COMM_ERROR;

    // A monotonic clock: setting the wall clock back cannot stretch the wait.
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        QElapsedTimer attempt;
        attempt.start();
        if (m_response.Receive(m_link) == 0)
            break;
        if (m_link.IsInterrupted())
            return RESULT_CANCELLED;
        // A closed link fails every read at once: retrying it would only spin.
        if (m_link.IsGone() || !m_link.IsOpen()) {
            qCWarning(lcProtocol) << "recorder gone while saving its archive";
            return RESULT_COMM_ERROR;
        }
        const qint64 nLeft = m_nSaveArchiveTimeoutMs - elapsed.elapsed();
        if (nLeft <= 0)
            return RESULT_COMM_ERROR;
        // A read that fails at once without the recorder being gone (a transport error) would
        // otherwise be retried at full speed for the whole wait.
        if (attempt.elapsed() < SAVE_ARCHIVE_RETRY_PAUSE_MS && m_pause)
            m_pause(int(qMin<qint64>(SAVE_ARCHIVE_RETRY_PAUSE_MS, nLeft)));
    }
    switch (m_response.Code()) {
    case RSP_OK:
        return RESULT_OK;
    case RSP_NO_CARD:
        return RESULT_NO_CARD;
    default:
        return RESULT_COMM_ERROR;
    }
}
