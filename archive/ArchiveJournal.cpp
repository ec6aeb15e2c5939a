#include "archive/ArchiveJournal.h"

#include "archive/JournalChain.h"
#include "core/LocalFileName.h"
#include "core/OrvoBuildInfo.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

ArchiveJournal::ArchiveJournal(const QString &strFolder, Context context)
    : m_strPath((strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/')) +
                QLatin1String(LocalNames::JOURNAL))
    , m_context(std::move(context))
    , m_strUser(UserName())
    , m_strHost(HostName())
{}

ArchiveJournal::~ArchiveJournal()
{
    if (m_nFd >= 0) {
        ::fdatasync(m_nFd);
        ::close(m_nFd);
    }
}

QString ArchiveJournal::UserName()
{
    // Not getlogin(): a service has no login session, but it runs as someone.
    const uid_t nUid = ::geteuid();
    if (const passwd *pEntry = ::getpwuid(nUid); pEntry && pEntry->pw_name)
        return QString::fromLocal8Bit(pEntry->pw_name);
    return QStringLiteral("uid %1").arg(nUid);
}

QString ArchiveJournal::HostName()
{
    return QSysInfo::machineHostName();
}

bool ArchiveJournal::Open()
{
    // A line cut short by a crash is cut off, so that the next line starts a line of its own
    // and the chain goes on from the last whole line.
    JournalChain::Tail tail;
    QString strError;
    m_strPrev = JournalChain::TailHash(m_strPath, &strError, &tail);
    if (m_strPrev.isEmpty()) {
        m_strError = strError;
        return false;
    }
    // Never through a link: the journal is this folder's own file.
    m_nFd = ::open(QFile::encodeName(m_strPath).constData(),
                   O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_nFd < 0) {
        m_strError = qt_error_string(errno);
        return false;
    }
    if (tail.bTorn && ::ftruncate(m_nFd, tail.nWholeSize) != 0) {
        m_strError = qt_error_string(errno);
        ::close(m_nFd);
        m_nFd = -1;
        return false;
    }
    return true;
}

bool ArchiveJournal::Append(const QString &strAction, QJsonObject fields, bool bSync)
{
    if (m_nFd < 0 && !Open())
        return false;
    fields.insert(QStringLiteral("action"), strAction);
    // UTC whatever the host's zone: lines of runs in other zones, or across a change of
    // daylight saving time, read in one order.
    fields.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    fields.insert(QStringLiteral("recorder"), m_context.strRecorder);
    fields.insert(QStringLiteral("identification"), m_context.strIdentification);
    fields.insert(QStringLiteral("card_info"), m_context.strCardInfo);
    fields.insert(QStringLiteral("user"), m_strUser);
    fields.insert(QStringLiteral("host"), m_strHost);
    fields.insert(QStringLiteral("version"), QLatin1String(kOrvoVersion));
    fields.insert(QStringLiteral("prev"), m_strPrev);
    const QByteArray bytes = QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n';
    // One write a line: with O_APPEND the line lands whole at the end.
    const ssize_t n = ::write(m_nFd, bytes.constData(), size_t(bytes.size()));
    if (n != bytes.size()) {
        m_strError = n < 0 ? qt_error_string(errno) : QStringLiteral("the disk is full");
        // A part of a line would break the chain: it goes, and the next line tries again.
        if (n > 0 && ::lseek(m_nFd, 0, SEEK_END) >= n)
            ::ftruncate(m_nFd, ::lseek(m_nFd, 0, SEEK_END) - n);
        return false;
    }
    m_strPrev = JournalChain::LineHash(bytes);
    if (bSync && ::fdatasync(m_nFd) != 0) {
        m_strError = qt_error_string(errno);
        return false;
    }
    return true;
}
