#include "DownloadWriter.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>

DownloadWriter::DownloadWriter(const QString &strTarget)
    : m_file(strTarget)
{
    m_file.setDirectWriteFallback(false);
}

DownloadWriter::~DownloadWriter()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool DownloadWriter::Open()
{
    if (!m_file.open(QIODevice::WriteOnly))
        return false;
    m_buffer.reserve(WRITE_CHUNK);
    return true;
}

bool DownloadWriter::Append(const quint8 *pData, qsizetype nLen)
{
    if (m_buffer.size() + nLen > WRITE_CHUNK && !Flush())
        return false;
    if (nLen >= WRITE_CHUNK)
        return WriteOut(reinterpret_cast<const char *>(pData), nLen);
    m_buffer.append(reinterpret_cast<const char *>(pData), nLen);
    return true;
}

bool DownloadWriter::Flush()
{
    if (m_buffer.isEmpty())
        return true;
    const bool bOk = WriteOut(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
    return bOk;
}

bool DownloadWriter::Commit()
{
    return Flush() && m_file.commit();
}

QString DownloadWriter::ErrorString() const
{
    return m_strWriteError.isEmpty() ? m_file.errorString() : m_strWriteError;
}

bool DownloadWriter::WriteOut(const char *pData, qsizetype nLen)
{
    errno = 0;
    if (m_file.write(pData, nLen) != nLen || !m_file.flush()) {
        // The save file reports a failed write as an unknown error; the system's reason (a
        // full disk, most often) is what the user needs.
        if (errno != 0)
            m_strWriteError = qt_error_string(errno);
        return false;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Start the write-back of this chunk now instead of all at once in the final sync.
    ::sync_file_range(m_file.handle(), m_nWritten, nLen, SYNC_FILE_RANGE_WRITE);
#endif
    m_nWritten += nLen;
    return true;
}
