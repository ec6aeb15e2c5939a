#include "cli/WatchNotices.h"

#include <QDir>
#include <QStringList>

namespace {

// "1 file", "12 files".
QString Files(int nCount, const QString &strWhat)
{
    return QStringLiteral("%1 %2%3").arg(nCount).arg(strWhat, nCount == 1 ? QString() : QStringLiteral("s"));
}

int Archived(const Archive::Summary &summary)
{
    // A version kept beside an older one is a new file in the archive too.
    return summary.nDownloaded + summary.nKeptBeside;
}

} // namespace

void WatchNotices::Ready()
{
    m_service.Ready(QStringLiteral("waiting for the recorder"));
}

void WatchNotices::Archiving(const QString &strName)
{
    m_service.Status(QStringLiteral("archiving the %1").arg(strName));
}

void WatchNotices::Busy(const QString &strName)
{
    m_service.Status(QStringLiteral("the %1 is busy; trying again").arg(strName));
}

void WatchNotices::Waiting()
{
    m_service.Status(m_strLastPass.isEmpty() ? QStringLiteral("waiting for the recorder")
                                             : m_strLastPass + QStringLiteral("; waiting for the recorder"));
}

void WatchNotices::PassDone(const Archive::Summary &summary, const QString &strName, const QString &strDir)
{
    const QString strRecorder = RecorderName(summary, strName);
    m_strLastPass = PassStatus(summary, strRecorder, QTime::currentTime());
    m_service.Status(m_strLastPass + QStringLiteral("; waiting"));
    if (!m_bDesktop)
        return;
    const Notice notice = PassNotice(summary, strRecorder, ShownFolder(strDir, QDir::homePath()));
    if (!notice.strBody.isEmpty())
        m_desktop.Notify(notice.strSummary, notice.strBody);
}

void WatchNotices::Stopping()
{
    m_service.Stopping(QStringLiteral("stopping"));
}

QString WatchNotices::RecorderName(const Archive::Summary &summary, const QString &strName)
{
    const QString strIdentity = summary.strRecorder.trimmed();
    if (strIdentity.isEmpty() || strIdentity.contains(QLatin1Char('\n')) ||
        strIdentity.contains(QLatin1Char('\r')))
        return strName;
    return strIdentity;
}

QString WatchNotices::ShownFolder(const QString &strDir, const QString &strHome)
{
    const QString strPath = QDir::cleanPath(strDir);
    const QString strHomePath = QDir::cleanPath(strHome);
    if (strHomePath.isEmpty() || strHomePath == QStringLiteral("/"))
        return strPath;
    if (strPath == strHomePath)
        return QStringLiteral("~");
    if (strPath.startsWith(strHomePath + QLatin1Char('/')))
        return QLatin1Char('~') + strPath.mid(strHomePath.size());
    return strPath;
}

WatchNotices::Notice WatchNotices::PassNotice(const Archive::Summary &summary, const QString &strRecorder,
                                              const QString &strFolder)
{
    const int nArchived = Archived(summary);
    QStringList sentences;
    // A pass that could not list the card is tried again: the log says why.
    if (!summary.bDecided)
        return {};
    if (nArchived > 0)
        sentences << QStringLiteral("Archived %1 from %2 into %3.")
                         .arg(Files(nArchived, QStringLiteral("new file")), strRecorder, strFolder);
    if (summary.nFailed > 0 && nArchived > 0)
        sentences << QStringLiteral("%1 could not be archived.")
                         .arg(Files(summary.nFailed, QStringLiteral("file")));
    else if (summary.nFailed > 0)
        sentences << QStringLiteral("%1 of %2 could not be archived into %3.")
                         .arg(Files(summary.nFailed, QStringLiteral("file")), strRecorder, strFolder);
    if (summary.nDeleted > 0 && !sentences.isEmpty())
        sentences << QStringLiteral("%1 deleted from the recorder.")
                         .arg(Files(summary.nDeleted, QStringLiteral("archived file")));
    else if (summary.nDeleted > 0)
        sentences << QStringLiteral("Deleted %1 from %2, already archived in %3.")
                         .arg(Files(summary.nDeleted, QStringLiteral("file")), strRecorder, strFolder);
    if (sentences.isEmpty())
        return {};
    const QString strSummary = summary.nFailed > 0 ? QStringLiteral("Recorder files not archived")
                               : nArchived > 0     ? QStringLiteral("Recorder files archived")
                                               : QStringLiteral("Archived files deleted from the recorder");
    return {strSummary, sentences.join(QLatin1Char(' '))};
}

QString WatchNotices::PassStatus(const Archive::Summary &summary, const QString &strRecorder, QTime time)
{
    const QString strAt = QStringLiteral(" at ") + time.toString(QStringLiteral("HH:mm"));
    if (!summary.bDecided)
        return QStringLiteral("could not archive from %1").arg(strRecorder) + strAt;
    const int nArchived = Archived(summary);
    QStringList parts;
    if (nArchived > 0)
        parts << QStringLiteral("archived %1 from %2")
                     .arg(Files(nArchived, QStringLiteral("file")), strRecorder);
    if (summary.nFailed > 0)
        parts << (parts.isEmpty() ? QStringLiteral("%1 of %2 failed")
                                        .arg(Files(summary.nFailed, QStringLiteral("file")), strRecorder)
                                  : QStringLiteral("%1 failed").arg(summary.nFailed));
    if (summary.nDeleted > 0)
        parts << (parts.isEmpty()
                      ? QStringLiteral("deleted %1 from %2")
                            .arg(Files(summary.nDeleted, QStringLiteral("archived file")), strRecorder)
                      : QStringLiteral("%1 deleted").arg(summary.nDeleted));
    if (parts.isEmpty())
        parts << QStringLiteral("nothing new from %1").arg(strRecorder);
    return parts.join(QStringLiteral(", ")) + strAt;
}
