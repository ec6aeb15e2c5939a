// The transfers of the emulated recorder: a download sent block by block, an upload received
// block by block into a temporary file that replaces the card file only when complete.
#include "sim/RecorderEmulator.h"

#include "core/LittleEndian.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"
#include "sim/SimLog.h"

#include <QFile>
#include <QFileInfo>

void RecorderEmulator::StartDownload(const QString &strName)
{
    if (m_faults.bNoCard) {
        Reply(RSP_NO_CARD);
        return;
    }
    auto pFile = std::make_unique<QFile>(m_card.PathOf(strName));
    if (!m_card.HasFile(strName) || !pFile->open(QIODevice::ReadOnly) ||
        pFile->size() > qint64(MAX_FILE_SIZE)) {
        qCDebug(lcSim) << "download refused:" << strName;
        Reply(RSP_REFUSED);
        return;
    }
    m_pFile = std::move(pFile);
    m_strDownloadName = strName;
    m_nTotal = quint32(m_pFile->size());
    m_nPosition = 0;
    m_nBlocks = 0;
    m_state = State::Downloading;
    SendNextBlock();
}

void RecorderEmulator::SendNextBlock()
{
    if (m_faults.nStopDownloadAfter >= 0 && m_nBlocks >= m_faults.nStopDownloadAfter) {
        EndTransfer();
        Reply(m_faults.nStopDownloadCode);
        return;
    }
    // The file is read block by block straight into the reply: a download never holds more
    // than one block of it.
    const qint64 nWant = qMin<qint64>(BLOCK_MAX_DATA, qint64(m_nTotal) - m_nPosition);
    const qint64 nRead =
        nWant > 0 ? m_pFile->read(reinterpret_cast<char *>(m_reply.Data() + BLOCK_OFFSET_DATA), nWant) : 0;
    if (nRead < 0 || (nRead == 0 && nWant > 0)) {
        // The file shrank or failed under us: stop rather than send empty blocks forever.
        EndTransfer();
        Reply(CMD_ABORT);
        return;
    }
    m_reply.SetU32(BLOCK_OFFSET_TOTAL, m_nTotal);
    m_reply.SetU32(BLOCK_OFFSET_POSITION, m_nPosition);
    m_reply.SetU32(BLOCK_OFFSET_COUNT, quint32(nRead));
    Reply(RSP_FILE_BLOCK, quint32(nRead) + BLOCK_HEADER_SIZE);
    m_nPosition += quint32(nRead);
    ++m_nBlocks;
    if (!m_faults.strGrow.isEmpty() && m_faults.strGrow == m_strDownloadName)
        AppendRecord(m_strDownloadName);
    if (m_nPosition >= m_nTotal)
        EndTransfer();
}

void RecorderEmulator::AppendRecord(const QString &strName)
{
    // The recorder goes on writing its current file: one record more, and a new date.
    QFile file(m_card.PathOf(strName));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QByteArrayLiteral("grown record, written while the file was sent\r\n"));
}

void RecorderEmulator::StartUpload(const RecorderFileEntry &entry)
{
    const QString strName = entry.Name();
    const bool bOverwrite = entry.Attributes() != 0;
    const QString strPath = m_card.PathOf(strName);
    if (m_faults.bNoCard) {
        Reply(RSP_NO_CARD);
        return;
    }
    if (m_faults.bRefuseUpload || strPath.isEmpty()) {
        Reply(RSP_REFUSED);
        return;
    }
    const QFileInfo existing(strPath);
    const bool bExists = existing.exists() || existing.isSymLink();
    if (bExists && (!m_card.HasFile(strName) || !bOverwrite)) {
        // Only a plain file may be replaced, and only when the host asks for it.
        Reply(m_card.HasFile(strName) ? RSP_FILE_EXISTS : RSP_REFUSED);
        return;
    }
    const quint64 nFree = m_card.FreeBytes() + (bExists ? quint64(existing.size()) : 0);
    if (m_faults.bCardFull || entry.SizeLow() > nFree) {
        Reply(RSP_CARD_FULL);
        return;
    }
    auto pFile = std::make_unique<QFile>(m_card.TempPathOf(strName));
    if (!pFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCWarning(lcSim) << "cannot create" << pFile->fileName() << pFile->errorString();
        Reply(RSP_REFUSED);
        return;
    }
    m_pFile = std::move(pFile);
    m_strUploadName = strName;
    m_nTotal = entry.SizeLow();
    m_nPosition = 0;
    m_nBlocks = 0;
    m_state = State::Uploading;
    Reply(RSP_OK);
}

void RecorderEmulator::ReceiveBlock(const quint8 *pFrame, quint32 nLength)
{
    if (m_faults.nAbortUploadAfter >= 0 && m_nBlocks >= m_faults.nAbortUploadAfter) {
        EndTransfer();
        Reply(CMD_ABORT);
        return;
    }
    const quint32 nTotal = LittleEndian::U32(pFrame + BLOCK_OFFSET_TOTAL);
    const quint32 nPosition = LittleEndian::U32(pFrame + BLOCK_OFFSET_POSITION);
    const quint32 nCount = LittleEndian::U32(pFrame + BLOCK_OFFSET_COUNT);
    // Blocks must follow each other, fit their frame and stay within the announced size.
    if (nCount > nLength - BLOCK_OFFSET_DATA || nTotal != m_nTotal || nPosition != m_nPosition ||
        nCount > m_nTotal - m_nPosition ||
        m_pFile->write(reinterpret_cast<const char *>(pFrame + BLOCK_OFFSET_DATA), nCount) !=
            qint64(nCount)) {
        qCDebug(lcSim) << "upload block rejected at" << nPosition << "count" << nCount;
        EndTransfer();
        Reply(CMD_ABORT);
        return;
    }
    m_nPosition += nCount;
    ++m_nBlocks;
    if (m_nPosition < m_nTotal) {
        Reply(CMD_ACK);
        return;
    }
    const QString strTemp = m_pFile->fileName();
    const bool bFlushed = m_pFile->flush();
    m_pFile->close();
    m_pFile.reset();
    m_state = State::Idle;
    if (!bFlushed || !m_card.Commit(strTemp, m_strUploadName)) {
        qCWarning(lcSim) << "cannot store upload" << m_strUploadName;
        QFile::remove(strTemp);
        Reply(CMD_ABORT);
        return;
    }
    Reply(CMD_ACK);
}

void RecorderEmulator::EndTransfer()
{
    if (m_state == State::Uploading && m_pFile) {
        const QString strTemp = m_pFile->fileName();
        m_pFile->close();
        QFile::remove(strTemp);
    }
    m_pFile.reset();
    m_entries.clear();
    m_state = State::Idle;
}
