#include "jobs/ArchiveSummaryText.h"

#include "core/RecorderResult.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/LocalReasonText.h"

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

// Why a file was not archived, in the window's words; the English detail is for the log.
QString FailureText(const Archive::FileRecord &record)
{
    if (const QString strReason = LocalReasonText(record.reason); !strReason.isEmpty())
        return strReason;
    switch (record.failure) {
    case RESULT_HOST_IO_ERROR:
        return LoadText(StringId::IDS_ARCHIVE_FILE_NOT_WRITTEN);
    case RESULT_DEVICE_STOPPED:
        return LoadText(StringId::IDS_ARCHIVE_FILE_NOT_SENT);
    case RESULT_COMM_ERROR:
        return LoadText(StringId::IDS_ARCHIVE_FILE_NO_ANSWER);
    case RESULT_CANCELLED:
        return LoadText(StringId::IDS_ARCHIVE_FILE_CANCELLED);
    default:
        return LoadText(StringId::IDS_ARCHIVE_FILE_FAILED);
    }
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
        if (record.outcome == Archive::Outcome::Failed)
            failures
                << LoadText(StringId::IDS_ARCHIVE_FAILURE_LINE).arg(record.strCardName, FailureText(record));
    }
    if (!failures.isEmpty())
        lines << QString() << LoadText(StringId::IDS_ARCHIVE_SUMMARY_FAILURES) << failures;
    return lines.join(u'\n');
}
