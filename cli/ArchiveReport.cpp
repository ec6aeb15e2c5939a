// What an archive run prints: the plan of a dry run, each file's outcome and the summary, as
// lines or as one JSON object.

#include "cli/ArchiveReport.h"

#include "cli/ListingFormat.h"
#include "protocol/RecorderFileEntry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Archive {
namespace {

using ListingFormat::Quoted;

constexpr double MEGABYTE = 1024.0 * 1024.0;

QString ActionWord(Action action)
{
    switch (action) {
    case Action::Download:
        return QStringLiteral("download");
    case Action::KeepBeside:
        return QStringLiteral("keep-beside");
    case Action::Replace:
        return QStringLiteral("replace");
    case Action::Compare:
        return QStringLiteral("compare");
    case Action::Skip:
        return QStringLiteral("skip");
    case Action::Refuse:
        return QStringLiteral("refuse");
    }
    return QString();
}

QJsonObject RecordJson(const FileRecord &record, bool bDryRun, bool bDelete)
{
    QJsonObject object;
    object.insert(QStringLiteral("name"), record.strCardName);
    object.insert(QStringLiteral("size"), qint64(record.nSize));
    object.insert(QStringLiteral("modified"), FileTime::IsoText(record.nFileTime));
    object.insert(QStringLiteral("action"), ActionWord(record.action));
    object.insert(QStringLiteral("local_name"), record.strLocalName);
    if (!record.strNewName.isEmpty())
        object.insert(QStringLiteral("new_version_name"), record.strNewName);
    if (!record.strWhy.isEmpty())
        object.insert(QStringLiteral("reason"), record.strWhy);
    if (bDryRun) {
        object.insert(QStringLiteral("delete"),
                      bDelete && record.action != Action::Skip && record.action != Action::Refuse);
    } else {
        object.insert(QStringLiteral("outcome"), OutcomeWord(record.outcome));
        object.insert(QStringLiteral("deleted"), record.bDeleted);
        if (!record.strError.isEmpty())
            object.insert(QStringLiteral("error"), record.strError);
        if (!record.strKeptOnCard.isEmpty())
            object.insert(QStringLiteral("kept_on_card"), record.strKeptOnCard);
    }
    return object;
}

} // namespace

QString PlanLine(const FileRecord &record, bool bDelete)
{
    const QString strName = Quoted(record.strCardName);
    QString strLine;
    switch (record.action) {
    case Action::Download:
        strLine = QStringLiteral("download %1").arg(strName);
        break;
    case Action::KeepBeside:
        strLine = QStringLiteral("keep beside %1 as %2").arg(strName, Quoted(record.strLocalName));
        break;
    case Action::Replace:
        strLine = QStringLiteral("replace %1").arg(strName);
        break;
    case Action::Compare:
        strLine = QStringLiteral("compare %1 with %2").arg(strName, Quoted(record.strLocalName));
        break;
    case Action::Skip:
        return QStringLiteral("skip %1: already archived as %2").arg(strName, Quoted(record.strLocalName));
    case Action::Refuse:
        return QStringLiteral("refuse %1: %2").arg(strName, record.strWhy);
    }
    if (bDelete)
        strLine += QStringLiteral(", then delete it from the card");
    return strLine;
}

QString OutcomeLine(const FileRecord &record)
{
    const QString strName = Quoted(record.strCardName);
    switch (record.outcome) {
    case Outcome::Adopted:
        return QStringLiteral("%1 is already archived as %2 (same content; its date is set)")
            .arg(strName, Quoted(record.strLocalName));
    case Outcome::KeptBeside:
        return QStringLiteral("%1 changed: new version kept as %2").arg(strName, Quoted(record.strLocalName));
    case Outcome::Replaced:
        return QStringLiteral("%1 changed: replaced").arg(strName);
    default:
        return QStringLiteral("%1 downloaded").arg(strName);
    }
}

QByteArray SummaryJson(const Summary &summary, const Options &options)
{
    QJsonObject object;
    object.insert(QStringLiteral("dry_run"), options.bDryRun);
    object.insert(QStringLiteral("folder"), options.strDir);
    if (!options.bDryRun) {
        object.insert(QStringLiteral("downloaded"), summary.nDownloaded);
        object.insert(QStringLiteral("kept_beside"), summary.nKeptBeside);
        object.insert(QStringLiteral("already_archived"), summary.nAlreadyArchived);
        object.insert(QStringLiteral("failed"), summary.nFailed);
        object.insert(QStringLiteral("deleted"), summary.nDeleted);
        object.insert(QStringLiteral("bytes"), qint64(summary.nBytes));
        object.insert(QStringLiteral("seconds"), summary.dSeconds);
        if (!summary.strJournalHead.isEmpty())
            object.insert(QStringLiteral("journal_head"), summary.strJournalHead);
        object.insert(QStringLiteral("mb_per_s"),
                      summary.dSeconds > 0 ? double(summary.nBytes) / MEGABYTE / summary.dSeconds : 0.0);
    }
    QJsonArray files;
    for (const FileRecord &record : summary.files)
        files.append(RecordJson(record, options.bDryRun, options.bDeleteAfter));
    object.insert(QStringLiteral("files"), files);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QString SummaryText(const Summary &summary)
{
    const double dMb = double(summary.nBytes) / MEGABYTE;
    return QStringLiteral("%1 downloaded, %2 kept beside, %3 already archived, %4 failed, %5 deleted; "
                          "%6 MB in %7 s (%8 MB/s)")
        .arg(summary.nDownloaded)
        .arg(summary.nKeptBeside)
        .arg(summary.nAlreadyArchived)
        .arg(summary.nFailed)
        .arg(summary.nDeleted)
        .arg(QString::number(dMb, 'f', 1), QString::number(summary.dSeconds, 'f', 1),
             QString::number(summary.dSeconds > 0 ? dMb / summary.dSeconds : 0.0, 'f', 1));
}

} // namespace Archive
