#include "DownloadWriter.h"

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

bool DownloadWriter::WriteOut(const char *pData, qsizetype nLen)
{
    if (m_file.write(pData, nLen) != nLen || !m_file.flush())
        return false;
#ifdef SYNC_FILE_RANGE_WRITE
    // Start the write-back of this chunk now instead of all at once in the final sync.
    ::sync_file_range(m_file.handle(), m_nWritten, nLen, SYNC_FILE_RANGE_WRITE);
#endif
    m_nWritten += nLen;
    return true;
}
