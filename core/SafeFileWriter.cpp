#include "core/SafeFileWriter.h"

#include "core/LocalFileName.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tries before giving up on finding a free temporary name.
constexpr int TEMP_NAME_TRIES = 16;
// A modification time read back further than this from the one set was not stored (FAT keeps
// two-second steps and nothing before 1980).
constexpr qint64 STORED_TIME_TOLERANCE_S = 2;

QByteArray RandomTempName()
{
    static constexpr char ALPHABET[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name(LocalNames::TEMP_PREFIX);
    for (int i = 0; i < 8; ++i)
        name += ALPHABET[QRandomGenerator::global()->bounded(int(sizeof(ALPHABET) - 1))];
    name += LocalNames::TEMP_SUFFIX;
    return name;
}

bool IsUnsupported(int nErrno)
{
    return nErrno == EINVAL || nErrno == ENOSYS || nErrno == EOPNOTSUPP || nErrno == ENOTSUP;
}

} // namespace

SafeFileWriter::SafeFileWriter(QString strFolder)
    : m_strFolder(std::move(strFolder))
{
    if (m_strFolder.endsWith(QLatin1Char('/')) && m_strFolder.size() > 1)
        m_strFolder.chop(1);
}

SafeFileWriter::~SafeFileWriter()
{
    Discard();
}

RecorderResult SafeFileWriter::Failure(LocalReason reason, const QString &strWhat, int nErrno) const
{
    const QString strPath = m_strFolder + QLatin1Char('/') + m_strName;
    QString strDetail = strWhat.arg(strPath);
    if (nErrno != 0)
        strDetail += QStringLiteral(": ") + qt_error_string(nErrno);
    return RecorderResult::Local(reason, strDetail);
}

RecorderResult SafeFileWriter::Open(const QString &strName)
{
    Discard();
    m_strName = strName;
    m_encodedName = QFile::encodeName(strName);
    m_nFolderFd = ::open(QFile::encodeName(m_strFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_nFolderFd < 0)
        return Failure(LocalReason::CannotCreate, QStringLiteral("cannot create %1"), errno);

    // An unnamed file needs no cleaning up whatever happens to this process.
    // It gets its name through /proc/self/fd; without /proc it could not be named, so a
    // temporary name is used from the start.
    static const bool bCanNameUnnamed = ::access("/proc/self/fd", X_OK) == 0;
    // The file is locked for as long as it is written: an archive run removes the temporary
    // files it can lock, which are those a killed run left.
    m_nFd = bCanNameUnnamed ? ::openat(m_nFolderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    if (m_nFd >= 0)
        ::flock(m_nFd, LOCK_EX | LOCK_NB);
    if (m_nFd < 0 && (!bCanNameUnnamed || IsUnsupported(errno) || errno == EISDIR)) {
        for (int i = 0; i < TEMP_NAME_TRIES && m_nFd < 0; ++i) {
            const QByteArray temp = RandomTempName();
            m_nFd = ::openat(m_nFolderFd, temp.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (m_nFd >= 0 && ::flock(m_nFd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                // A clean-up took the new file for a stale one before the lock: it removes it.
                ::close(m_nFd);
                m_nFd = -1;
                errno = EEXIST;
            }
            if (m_nFd >= 0)
                m_tempName = temp;
            else if (errno != EEXIST)
                break;
        }
    }
    if (m_nFd < 0) {
        const int nErrno = errno;
        CloseAll();
        return Failure(LocalReason::CannotCreate, QStringLiteral("cannot create %1"), nErrno);
    }
    m_buffer.reserve(WRITE_CHUNK);
    return RESULT_OK;
}

RecorderResult SafeFileWriter::Append(const quint8 *pData, qsizetype nLen)
{
    if (m_buffer.size() + nLen > WRITE_CHUNK) {
        if (RecorderResult result = Flush(); !result.IsOk())
            return result;
    }
    if (nLen >= WRITE_CHUNK)
        return WriteOut(reinterpret_cast<const char *>(pData), nLen);
    m_buffer.append(reinterpret_cast<const char *>(pData), nLen);
    return RESULT_OK;
}

RecorderResult SafeFileWriter::Flush()
{
    if (m_buffer.isEmpty())
        return RESULT_OK;
    RecorderResult result = WriteOut(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
    return result;
}

RecorderResult SafeFileWriter::WriteOut(const char *pData, qsizetype nLen)
{
    if (m_nFd < 0)
        return Failure(LocalReason::CannotWrite, QStringLiteral("cannot write %1"), EBADF);
    const qint64 nStart = m_nWritten;
    qsizetype nDone = 0;
    while (nDone < nLen) {
        const ssize_t n = ::write(m_nFd, pData + nDone, size_t(nLen - nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failure(LocalReason::CannotWrite, QStringLiteral("cannot write %1"),
                           n < 0 ? errno : ENOSPC);
        nDone += n;
    }
    m_nWritten += nLen;
#ifdef SYNC_FILE_RANGE_WRITE
    // Start the write-back of this chunk now instead of all at once in the final sync.
    ::sync_file_range(m_nFd, nStart, nLen, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(nStart);
#endif
    return RESULT_OK;
}

RecorderResult SafeFileWriter::Commit(bool bReplace, const QDateTime &modified)
{
    if (RecorderResult result = Flush(); !result.IsOk())
        return result;
    if (::fdatasync(m_nFd) != 0)
        return Failure(LocalReason::CannotWrite, QStringLiteral("cannot write %1"), errno);
    SetModified(m_nFd, modified);
    if (RecorderResult result = Link(bReplace); !result.IsOk())
        return result;
    // The new name is durable only once the folder is.
    const int nSync = ::fsync(m_nFolderFd);
    const int nErrno = errno;
    CloseAll();
    if (nSync != 0 && !IsUnsupported(nErrno) && nErrno != EROFS)
        return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), nErrno);
    return RESULT_OK;
}

void SafeFileWriter::SetModified(int nFd, const QDateTime &modified)
{
    if (!modified.isValid())
        return;
    struct stat before = {};
    if (::fstat(nFd, &before) != 0)
        return;
    const qint64 nWanted = modified.toSecsSinceEpoch();
    const struct timespec times[2] = {{time_t(nWanted), 0}, {time_t(nWanted), 0}};
    if (::futimens(nFd, times) != 0)
        return;
    struct stat after = {};
    // A date the file system cannot store comes back changed: the times the file had are the
    // better answer than a date that is neither.
    if (::fstat(nFd, &after) == 0 &&
        std::llabs(qint64(after.st_mtim.tv_sec) - nWanted) > STORED_TIME_TOLERANCE_S) {
        const struct timespec restore[2] = {before.st_atim, before.st_mtim};
        ::futimens(nFd, restore);
    }
}

RecorderResult SafeFileWriter::CheckReplaceable() const
{
    struct stat st = {};
    if (::fstatat(m_nFolderFd, m_encodedName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT
                   ? RecorderResult()
                   : Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), errno);
    if (S_ISLNK(st.st_mode))
        return Failure(LocalReason::SymbolicLink,
                       QStringLiteral("%1 is a symbolic link, which is never written through"), 0);
    if (!S_ISREG(st.st_mode))
        return Failure(LocalReason::NotARegularFile, QStringLiteral("%1 is not a regular file"), 0);
    // The replacement keeps the permissions of the file it replaces.
    ::fchmod(m_nFd, st.st_mode & 07777);
    return RESULT_OK;
}

RecorderResult SafeFileWriter::RefuseExisting() const
{
    if (RecorderResult result = CheckReplaceable(); !result.IsOk())
        return result;
    return Failure(LocalReason::AlreadyExists, QStringLiteral("%1 already exists"), 0);
}

RecorderResult SafeFileWriter::Link(bool bReplace)
{
    const char *pszName = m_encodedName.constData();
    // The unnamed file, named through /proc.
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(m_nFd);
    const auto linkUnnamed = [&](const char *pszTo) {
        return ::linkat(AT_FDCWD, procPath.constData(), m_nFolderFd, pszTo, AT_SYMLINK_FOLLOW) == 0;
    };
    if (m_tempName.isEmpty() && !bReplace) {
        // linkat refuses an existing name, link or not: nothing is ever replaced here.
        if (linkUnnamed(pszName))
            return RESULT_OK;
        if (errno != EEXIST)
            return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), errno);
        return RefuseExisting();
    }
    if (m_tempName.isEmpty()) {
        // Replacing: the unnamed file gets a short name first, which is then renamed over the
        // old file in one step.
        for (int i = 0; i < TEMP_NAME_TRIES && m_tempName.isEmpty(); ++i) {
            const QByteArray temp = RandomTempName();
            if (linkUnnamed(temp.constData()))
                m_tempName = temp;
            else if (errno != EEXIST)
                return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), errno);
        }
        if (m_tempName.isEmpty())
            return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), EEXIST);
    }
    if (!bReplace) {
        if (::renameat2(m_nFolderFd, m_tempName.constData(), m_nFolderFd, pszName, RENAME_NOREPLACE) == 0) {
            m_tempName.clear();
            return RESULT_OK;
        }
        if (errno == EEXIST)
            return RefuseExisting();
        if (!IsUnsupported(errno))
            return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), errno);
        // A file system without a no-replace rename: look first. Should a link appear in
        // between, the rename replaces the link itself, never what it points to.
        struct stat st = {};
        if (::fstatat(m_nFolderFd, pszName, &st, AT_SYMLINK_NOFOLLOW) == 0)
            return RefuseExisting();
    } else if (RecorderResult result = CheckReplaceable(); !result.IsOk()) {
        return result;
    }
    if (::renameat(m_nFolderFd, m_tempName.constData(), m_nFolderFd, pszName) != 0)
        return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), errno);
    m_tempName.clear();
    return RESULT_OK;
}

void SafeFileWriter::Discard()
{
    if (!m_tempName.isEmpty() && m_nFolderFd >= 0)
        ::unlinkat(m_nFolderFd, m_tempName.constData(), 0);
    m_tempName.clear();
    m_buffer.clear();
    m_nWritten = 0;
    CloseAll();
}

void SafeFileWriter::CloseAll()
{
    if (m_nFd >= 0)
        ::close(m_nFd);
    if (m_nFolderFd >= 0)
        ::close(m_nFolderFd);
    m_nFd = -1;
    m_nFolderFd = -1;
}
