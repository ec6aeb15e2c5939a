#include "archive/ArchiveLock.h"

#include "core/LocalFileName.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often a wait for another run looks at the lock and at the stop request.
constexpr int LOCK_POLL_MS = 100;

QByteArray InFolder(const QString &strFolder, const QString &strName)
{
    return QFile::encodeName(strFolder.endsWith(QLatin1Char('/')) ? strFolder + strName
                                                                  : strFolder + QLatin1Char('/') + strName);
}

} // namespace

ArchiveLock::~ArchiveLock()
{
    Release();
}

ArchiveLock::Outcome ArchiveLock::Acquire(const QString &strFolder, const std::function<bool()> &isStopped,
                                          const std::function<void()> &onWait)
{
    Release();
    const QByteArray path = InFolder(strFolder, QLatin1String(LocalNames::LOCK));
    // Never through a link: the lock is this folder's own file.
    m_nFd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_nFd < 0) {
        m_strError = QStringLiteral("cannot create the lock file %1: %2")
                         .arg(QFile::decodeName(path), qt_error_string(errno));
        return Outcome::Failed;
    }
    bool bWaitSaid = false;
    for (;;) {
        if (::flock(m_nFd, LOCK_EX | LOCK_NB) == 0)
            return Outcome::Held;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_strError =
                QStringLiteral("cannot lock %1: %2").arg(QFile::decodeName(path), qt_error_string(errno));
            Release();
            return Outcome::Failed;
        }
        if (!bWaitSaid && onWait)
            onWait();
        bWaitSaid = true;
        if (isStopped && isStopped()) {
            Release();
            return Outcome::Stopped;
        }
        QThread::msleep(LOCK_POLL_MS);
    }
}

void ArchiveLock::Release()
{
    if (m_nFd >= 0)
        ::close(m_nFd); // the lock goes with the last descriptor
    m_nFd = -1;
}

QStringList ArchiveLock::RemoveStaleTemporaryFiles(const QString &strFolder)
{
    QStringList removed;
    const QStringList names =
        QDir(strFolder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &strName : names) {
        if (!LocalNames::IsTemporary(strName))
            continue;
        const QByteArray path = InFolder(strFolder, strName);
        const int nFd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (nFd < 0)
            continue;
        struct stat st = {};
        // A writer locks its file for as long as it writes it; a file this lock can take has
        // no writer any more. Only regular files, and only the one still under that name.
        struct stat named = {};
        if (::fstat(nFd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(nFd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(path.constData(), &named) == 0 && named.st_ino == st.st_ino &&
            named.st_dev == st.st_dev && ::unlink(path.constData()) == 0)
            removed.append(strName);
        ::close(nFd);
    }
    return removed;
}
