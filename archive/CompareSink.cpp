#include "archive/CompareSink.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads exactly nLen bytes unless the file ends first; the count read, or -1.
qsizetype ReadFully(int nFd, char *pData, qsizetype nLen)
{
    qsizetype nDone = 0;
    while (nDone < nLen) {
        const ssize_t n = ::read(nFd, pData + nDone, size_t(nLen - nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        nDone += n;
    }
    return nDone;
}

} // namespace

CompareSink::CompareSink(const QString &strFolder, QString strExisting, QString strNewName, bool bReplace,
                         QDateTime modified)
    : m_strFolder(strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/'))
    , m_strExisting(std::move(strExisting))
    , m_strNewName(std::move(strNewName))
    , m_bReplace(bReplace)
    , m_modified(std::move(modified))
    , m_writer(strFolder)
{}

CompareSink::~CompareSink()
{
    CloseExisting();
}

RecorderResult CompareSink::Open()
{
    m_outcome = Outcome::None;
    m_bSame = true;
    CloseExisting();
    // Never through a link: the file compared is the one the folder holds.
    m_nExistingFd =
        ::open(QFile::encodeName(m_strFolder + m_strExisting).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_nExistingFd < 0)
        return RecorderResult::Local(
            LocalReason::CannotRead,
            QStringLiteral("cannot read %1: %2").arg(m_strFolder + m_strExisting, qt_error_string(errno)));
    return m_writer.Open(m_strNewName);
}

RecorderResult CompareSink::Write(const quint8 *pData, quint32 nLen)
{
    if (m_bSame && nLen > 0) {
        m_compareBuffer.resize(nLen);
        const qsizetype nRead = ReadFully(m_nExistingFd, m_compareBuffer.data(), nLen);
        m_bSame = nRead == qsizetype(nLen) && std::memcmp(m_compareBuffer.constData(), pData, nLen) == 0;
    }
    return m_writer.Append(pData, nLen);
}

RecorderResult CompareSink::Flush()
{
    return m_writer.Flush();
}

RecorderResult CompareSink::Commit()
{
    char chExtra = 0;
    if (m_bSame && ReadFully(m_nExistingFd, &chExtra, 1) == 0) {
        m_writer.Discard();
        // The file kept is the card's file: it takes the card's date.
        SafeFileWriter::SetModified(m_nExistingFd, m_modified);
        CloseExisting();
        m_outcome = Outcome::Identical;
        return RESULT_OK;
    }
    CloseExisting();
    RecorderResult result = m_writer.Commit(m_bReplace, m_modified);
    if (result.IsOk())
        m_outcome = Outcome::Written;
    return result;
}

void CompareSink::Discard()
{
    m_writer.Discard();
    CloseExisting();
}

void CompareSink::CloseExisting()
{
    if (m_nExistingFd >= 0)
        ::close(m_nExistingFd);
    m_nExistingFd = -1;
}
