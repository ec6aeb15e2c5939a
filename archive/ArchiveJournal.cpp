#include "archive/ArchiveJournal.h"

#include "core/LocalFileName.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

ArchiveJournal::ArchiveJournal(const QString &strFolder, QString strRecorder)
    : m_strPath((strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/')) +
                QLatin1String(LocalNames::JOURNAL))
    , m_strRecorder(std::move(strRecorder))
{}

ArchiveJournal::~ArchiveJournal()
{
    if (m_nFd >= 0) {
        ::fdatasync(m_nFd);
        ::close(m_nFd);
    }
}

bool ArchiveJournal::Append(const QString &strAction, const QString &strCardName, const QString &strLocalName,
                            quint32 nSize, const QString &strCardDate)
{
    QJsonObject line;
    line.insert(QStringLiteral("card_name"), strCardName);
    line.insert(QStringLiteral("local_name"), strLocalName);
    line.insert(QStringLiteral("size"), qint64(nSize));
    line.insert(QStringLiteral("card_date"), strCardDate);
    return Write(strAction, line);
}

bool ArchiveJournal::AppendLocal(const QString &strAction, const QString &strLocalName)
{
    QJsonObject line;
    line.insert(QStringLiteral("local_name"), strLocalName);
    return Write(strAction, line);
}

bool ArchiveJournal::Write(const QString &strAction, QJsonObject line)
{
    if (m_nFd < 0) {
        // Never through a link: the journal is this folder's own file.
        m_nFd = ::open(QFile::encodeName(m_strPath).constData(),
                       O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_nFd < 0) {
            m_strError = qt_error_string(errno);
            return false;
        }
    }
    // UTC whatever the host's zone: lines of runs in other zones, or across a change of
    // daylight saving time, read in one order.
    line.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    line.insert(QStringLiteral("recorder"), m_strRecorder);
    line.insert(QStringLiteral("action"), strAction);
    const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    // One write a line: with O_APPEND the line lands whole at the end.
    const ssize_t n = ::write(m_nFd, bytes.constData(), size_t(bytes.size()));
    if (n != bytes.size()) {
        m_strError = n < 0 ? qt_error_string(errno) : QStringLiteral("the disk is full");
        return false;
    }
    return true;
}
