// The file transfers of RecorderProtocol: download and upload, block by block.
#include "protocol/RecorderProtocol.h"

#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/LocalFileName.h"
#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/ProtocolLog.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/ReportMessages.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstring>

namespace {

void PostProgress(const PostTarget &target, quint32 nSoFar, quint32 nTotal)
{
    target.Post(WM_JOB_PROGRESS, ProgressPost{nSoFar, nTotal});
}

// A local failure, in the log and in the result.
RecorderResult LocalError(LocalReason reason, const QString &strDetail)
{
    qCWarning(lcProtocol).noquote() << strDetail;
    return RecorderResult::Local(reason, strDetail);
}

} // namespace

RecorderResult RecorderProtocol::GetFile(const ManualResetEvent &stop, const PostTarget &target,
                                         const QString &strName, const QString &strFolder)
{
    DownloadPlan plan(strFolder, DownloadPlan::Existing::Replace);
    FileDownloadSink sink(plan, plan.Add(strName));
    return GetFile(stop, target, strName, sink);
}

RecorderResult RecorderProtocol::GetFile(const ManualResetEvent &stop, const PostTarget &target,
                                         const QString &strName, IDownloadSink &sink)
{
    const quint32 nNameBytes = WriteNamePayload(strName);
    if (nNameBytes == 0)
        return RecorderResult::Local(
            LocalReason::NameTooLong,
            QStringLiteral("the name \"%1\" is too long for the recorder").arg(strName));
    // The local side is ready before anything is asked of the recorder.
    if (RecorderResult opened = sink.Open(); !opened.IsOk())
        return opened;
    // Every way out but the commit throws the local side away.
    const auto fail = [&sink](RecorderResult result) {
        sink.Discard();
        return result;
    };
    const auto abort = [this, &fail](RecorderResult result) {
        SendCode(CMD_ABORT);
        qCWarning(lcProtocol).noquote() << result.Detail();
        return fail(std::move(result));
    };

    m_request.Prepare(CMD_GET_FILE, nNameBytes);
    if (m_request.Send(m_link))
        return fail(Broken(false));

    m_request.Prepare(CMD_ACK, 0);
    PostProgress(target, 0, 0);
    // The first block's total is the file's size: a recorder that changes it later, or sends
    // more than it announced, is out of step and the file it sends cannot be trusted.
    bool bFirst = true;
    quint32 nTotal = 0;
    quint64 nSoFar = 0;
    // Blocks without data while the file is incomplete make no progress; a recorder that
    // sends nothing else for a link time-out is treated like one that fell silent.
    QElapsedTimer sinceData;
    sinceData.start();
    for (;;) {
        if (m_response.Receive(m_link))
            return fail(Broken(true));
        if (m_response.Code() != RSP_FILE_BLOCK)
            return fail(RESULT_DEVICE_STOPPED);

        const quint32 nBlockTotal = m_response.U32(BLOCK_OFFSET_TOTAL);
        const quint32 nCount = m_response.U32(BLOCK_OFFSET_COUNT);
        // A count beyond what the frame carries would read past the data the recorder sent.
        if (nCount > m_response.ReceivedBytes() - BLOCK_OFFSET_DATA)
            return abort(
                RecorderResult(RESULT_COMM_ERROR,
                               QStringLiteral("the recorder announced %1 bytes in a block that carries %2")
                                   .arg(nCount)
                                   .arg(m_response.ReceivedBytes() - BLOCK_OFFSET_DATA)));
        if (bFirst) {
            nTotal = nBlockTotal;
            bFirst = false;
        } else if (nBlockTotal != nTotal) {
            return abort(RecorderResult(
                RESULT_COMM_ERROR, QStringLiteral("the recorder changed the size of %1 from %2 to %3 bytes "
                                                  "during the transfer")
                                       .arg(strName)
                                       .arg(nTotal)
                                       .arg(nBlockTotal)));
        }
        if (nSoFar + nCount > nTotal)
            return abort(
                RecorderResult(RESULT_COMM_ERROR,
                               QStringLiteral("the recorder sent more than the %1 bytes of %2 it announced")
                                   .arg(nTotal)
                                   .arg(strName)));
        if (nCount > 0) {
            sinceData.restart();
        } else if (nSoFar < nTotal && sinceData.hasExpired(m_link.TimeoutMs())) {
            return abort(RecorderResult(
                RESULT_COMM_ERROR,
                QStringLiteral("the recorder sent blocks without data for %1 ms").arg(sinceData.elapsed())));
        }
        const bool bLast = nSoFar + nCount == nTotal;
        // The last block is written out before it is acknowledged, so that a failing disk is
        // still reported to the recorder as an abort.
        RecorderResult written = sink.Write(m_response.Data() + BLOCK_OFFSET_DATA, nCount);
        if (written.IsOk() && bLast)
            written = sink.Flush();
        if (!written.IsOk())
            return abort(std::move(written));
        if (stop.IsSet()) {
            SendCode(CMD_ABORT);
            return fail(RESULT_CANCELLED);
        }
        if (m_request.Send(m_link))
            return fail(Broken(true));
        nSoFar += nCount;
        PostProgress(target, quint32(nSoFar), nTotal);
        if (bLast)
            break;
    }
    RecorderResult committed = sink.Commit();
    if (!committed.IsOk()) {
        qCWarning(lcProtocol).noquote() << committed.Detail();
        sink.Discard();
    }
    return committed;
}

RecorderResult RecorderProtocol::PutFile(const ManualResetEvent &stop, const PostTarget &target,
                                         const QString &strPath, bool bOverwrite)
{
    QString strName;
    if (RecorderResult named = UploadName(strPath, &strName); !named.IsOk()) {
        qCWarning(lcProtocol).noquote() << named.Detail();
        return named;
    }
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return LocalError(LocalReason::CannotRead,
                          QStringLiteral("cannot open %1: %2").arg(strPath, file.errorString()));
    // The protocol carries sizes in 32 bits: a larger file would be announced with a wrong
    // length and end up truncated on the card.
    if (file.size() > qint64(MAX_FILE_SIZE))
        return LocalError(LocalReason::TooLarge,
                          QStringLiteral("%1 is too large for the recorder (4 GB at most)").arg(strPath));
    const quint32 nLength = quint32(file.size());

    RecorderFileEntry announcement;
    announcement.SetAttributes(bOverwrite ? 1 : 0);
    announcement.SetSizeLow(nLength);
    announcement.SetName(strName);
    std::memcpy(m_request.Payload(), announcement.Bytes(), RecorderFileEntry::SIZE);
    if (Exchange(CMD_PUT_FILE, RecorderFileEntry::SIZE))
        return Broken(true);

    switch (m_response.Code()) {
    case RSP_OK:
        break;
    case RSP_FILE_EXISTS:
        return RESULT_FILE_EXISTS;
    case RSP_CARD_FULL:
        return RESULT_CARD_FULL;
    case RSP_NO_CARD:
        return RESULT_NO_CARD;
    default:
        return RESULT_DEVICE_STOPPED;
    }

    PostProgress(target, 0, 0);
    quint32 nPosition = 0;
    for (;;) {
        if (stop.IsSet()) {
            SendCode(CMD_ABORT);
            m_response.Receive(m_link);
            return RESULT_CANCELLED;
        }
        m_request.SetU32(BLOCK_OFFSET_TOTAL, nLength);
        m_request.SetU32(BLOCK_OFFSET_POSITION, nPosition);
        const qint64 nWant = qMin<qint64>(BLOCK_MAX_DATA, qint64(nLength) - nPosition);
        const qint64 nRead =
            nWant > 0 ? file.read(reinterpret_cast<char *>(m_request.Data() + BLOCK_OFFSET_DATA), nWant) : 0;
        if (nRead <= 0) {
            SendCode(CMD_SOURCE_ERROR);
            if (nLength == 0)
                return LocalError(
                    LocalReason::EmptyFile,
                    QStringLiteral("%1 is empty: the recorder takes no empty file").arg(strPath));
            return LocalError(
                LocalReason::CannotRead,
                QStringLiteral("cannot read %1: %2")
                    .arg(strPath, nRead == 0 ? QStringLiteral("the file got shorter") : file.errorString()));
        }
        m_request.SetU32(BLOCK_OFFSET_COUNT, quint32(nRead));
        if (Exchange(CMD_PUT_BLOCK, quint32(nRead) + BLOCK_HEADER_SIZE))
            return Broken(true);

        RecorderResultCode nResult = RESULT_OK;
        if (m_response.Code() == CMD_ABORT)
            nResult = RESULT_DEVICE_STOPPED;
        else if (m_response.Code() != CMD_ACK)
            nResult = RESULT_COMM_ERROR;
        nPosition += quint32(nRead);
        PostProgress(target, nPosition, nLength);
        if (nResult != RESULT_OK)
            return nResult;
        if (nPosition >= nLength)
            return RESULT_OK;
    }
}

RecorderResult RecorderProtocol::UploadName(const QString &strPath, QString *pName)
{
    // The recorder names files the Windows way: a backslash separates folders there too, and a
    // name with one would land somewhere else on the card.
    const qsizetype nCut =
        qMax(strPath.lastIndexOf(QLatin1Char('/')), strPath.lastIndexOf(QLatin1Char('\\')));
    const QString strName = strPath.mid(nCut + 1);
    if (strName.isEmpty())
        return RecorderResult::Local(
            LocalReason::UnsafeName,
            QStringLiteral("%1 names no file after its last \"/\" or \"\\\"").arg(strPath));
    if (!IsSafeLocalFileName(strName))
        return RecorderResult::Local(LocalReason::UnsafeName,
                                     QStringLiteral("\"%1\" is not a file name").arg(strName));
    if (strName.size() > MAX_CARD_NAME_CHARS)
        return RecorderResult::Local(LocalReason::NameTooLong,
                                     QStringLiteral("the name \"%1\" has %2 characters; the recorder takes "
                                                    "at most %3")
                                         .arg(strName)
                                         .arg(strName.size())
                                         .arg(MAX_CARD_NAME_CHARS));
    // An unpaired surrogate comes back as U+FFFD: the card would get another name than the file.
    if (QFile::decodeName(QFile::encodeName(strName)) != strName)
        return RecorderResult::Local(
            LocalReason::NotEncodable,
            QStringLiteral("the name \"%1\" is not valid in this system's encoding").arg(strName));
    if (pName)
        *pName = strName;
    return RESULT_OK;
}
