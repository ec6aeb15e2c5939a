#include "jobs/ArchiveSummaryText.h"

#include "core/RecorderResult.h"
#include "core/StringIds.h"
#include "core/TextSource.h"

#include <QDir>
#include <QLocale>
#include <QStringList>

namespace {

QString Headline(const Archive::Summary &summary, int nStatus)
{
    switch (nStatus) {
    case RESULT_OK:
    case RESULT_NOT_DELETED: // the files the recorder kept are counted as not deleted
        return LoadText(StringId::IDS_ARCHIVE_DONE);
    case RESULT_CANCELLED:
        return LoadText(StringId::IDS_ARCHIVE_CANCELLED);
    default:
        break;
    }
    QString strText = LoadText(StringId::IDS_ARCHIVE_INCOMPLETE);
    // Before the card was decided nothing was archived: the reason is the folder or the link.
    if (!summary.bDecided)
        strText += u'\n' + LoadText(nStatus == RESULT_HOST_IO_ERROR ? StringId::IDS_ARCHIVE_FOLDER_FAILED
                                                                    : StringId::IDS_ARCHIVE_CONNECTION_LOST);
    return strText;
}

QString Figure(quint32 nTextId, int nCount)
{
    return LoadText(nTextId).arg(QLocale().toString(nCount));
}

} // namespace

QString ArchiveSummaryText(const Archive::Summary &summary, int nStatus, const QString &strDir)
{
    QStringList lines{Headline(summary, nStatus), QString(),
                      LoadText(StringId::IDS_ARCHIVE_SUMMARY_FOLDER)
                          .arg(QDir::toNativeSeparators(QDir::cleanPath(strDir)))};
    if (!summary.bDecided)
        return lines.join(u'\n');
    lines << Figure(StringId::IDS_ARCHIVE_SUMMARY_DOWNLOADED, summary.nDownloaded)
          << Figure(StringId::IDS_ARCHIVE_SUMMARY_KEPT_BESIDE, summary.nKeptBeside)
          << Figure(StringId::IDS_ARCHIVE_SUMMARY_ALREADY, summary.nAlreadyArchived)
          << Figure(StringId::IDS_ARCHIVE_SUMMARY_FAILED, summary.nFailed)
          << Figure(StringId::IDS_ARCHIVE_SUMMARY_DELETED, summary.nDeleted);
    QStringList failures;
    for (const Archive::FileRecord &record : summary.files) {
        // The English detail is for the log; the window has no words of its own for the reason.
        if (record.outcome == Archive::Outcome::Failed)
            failures << LoadText(StringId::IDS_ARCHIVE_FAILURE_LINE)
                            .arg(record.strCardName, LoadText(StringId::IDS_ARCHIVE_FILE_FAILED));
    }
    if (!failures.isEmpty())
        lines << QString() << LoadText(StringId::IDS_ARCHIVE_SUMMARY_FAILURES) << failures;
    return lines.join(u'\n');
}
