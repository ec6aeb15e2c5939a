// archive and sync: the command line of the archive run.

#include "cli/ArchiveCommand.h"

#include "archive/ArchiveLock.h"
#include "archive/ArchiveRun.h"
#include "archive/ArchiveSelection.h"
#include "cli/ArchiveReport.h"
#include "cli/CliArchiveReport.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ResultText.h"
#include "core/RecorderResult.h"
#include "protocol/RecorderProtocol.h"

#include <QDir>
#include <QFileInfo>

namespace ArchiveCommand {

using Archive::Options;

namespace {
const QString OPT_TO = QStringLiteral("--to");
const QString OPT_DRY_RUN = QStringLiteral("--dry-run");
const QString OPT_JSON = QStringLiteral("--json");
const QString OPT_SAVE_FIRST = QStringLiteral("--save-first");
const QString OPT_DELETE_AFTER = QStringLiteral("--delete-after");
const QString OPT_REPLACE_CHANGED = QStringLiteral("--replace-changed");
const QString OPT_INCLUDE = QStringLiteral("--include");
const QString OPT_EXCLUDE = QStringLiteral("--exclude");
const QString OPT_SINCE = QStringLiteral("--since");
} // namespace

QStringList Flags()
{
    return {OPT_DRY_RUN, OPT_JSON, OPT_SAVE_FIRST, OPT_DELETE_AFTER, OPT_REPLACE_CHANGED};
}

QStringList ValuedOptions()
{
    return {OPT_TO, OPT_INCLUDE, OPT_EXCLUDE, OPT_SINCE};
}

bool Parse(CliContext &context, const CliArguments &parsed, Options *pOptions, int *pStatus)
{
    Options &options = *pOptions;
    if (!parsed.Operands().isEmpty()) {
        *pStatus = context.Usage(QStringLiteral("unexpected argument \"%1\"").arg(parsed.Operands().first()));
        return false;
    }
    options.bDryRun = parsed.Has(OPT_DRY_RUN);
    options.bJson = parsed.Has(OPT_JSON);
    options.bSaveFirst = parsed.Has(OPT_SAVE_FIRST);
    options.bDeleteAfter = parsed.Has(OPT_DELETE_AFTER);
    options.bReplaceChanged = parsed.Has(OPT_REPLACE_CHANGED);
    options.includes = parsed.Values(OPT_INCLUDE);
    options.excludes = parsed.Values(OPT_EXCLUDE);
    // A pattern that matches nothing would archive, or delete, what it was meant to leave.
    if (const QString strBad = Archive::Selection::InvalidPattern(options.includes + options.excludes);
        !strBad.isEmpty()) {
        *pStatus = context.Usage(strBad);
        return false;
    }
    if (parsed.Has(OPT_SINCE)) {
        options.since = QDate::fromString(parsed.Value(OPT_SINCE), Qt::ISODate);
        if (!options.since.isValid()) {
            *pStatus = context.Usage(
                QStringLiteral("--since takes a day as YYYY-MM-DD, not \"%1\"").arg(parsed.Value(OPT_SINCE)));
            return false;
        }
    }
    const QString strDir = parsed.Has(OPT_TO) ? parsed.Value(OPT_TO) : QStringLiteral(".");
    if (strDir.isEmpty()) {
        *pStatus = context.Usage(QStringLiteral("--to needs a folder"));
        return false;
    }
    options.strDir = QDir::cleanPath(QFileInfo(strDir).absoluteFilePath()) + QLatin1Char('/');
    return true;
}

int PrepareFolder(CliContext &context, const Options &options)
{
    CliArchiveReport report(context, options.bJson);
    return Archive::PrepareFolder(report, options);
}

int LockFolder(CliContext &context, const Options &options, ArchiveLock &lock)
{
    CliArchiveReport report(context, options.bJson);
    return Archive::LockFolder(report, options, lock, [&context] { return context.IsStopped(); });
}

int Run(CliContext &context, const Options &options, Archive::Summary *pSummary)
{
    CliArchiveReport report(context, options.bJson);
    Archive::Session session{context.Protocol(), context.Stop(), report, context.LinkName()};
    const int nStatus = Archive::Run(session, options, pSummary);
    const Archive::Summary &summary = *pSummary;
    if (!summary.bDecided)
        return nStatus;
    // The plan of a dry run; after a real run the summary, however it ended.
    if (options.bJson)
        context.PrintRaw(Archive::SummaryJson(summary, options));
    else if (options.bDryRun)
        for (const Archive::FileRecord &record : summary.files)
            context.Print(Archive::PlanLine(record, options.bDeleteAfter));
    else if (summary.nDownloaded + summary.nKeptBeside + summary.nFailed + summary.nDeleted == 0)
        context.Say(
            QStringLiteral("nothing new to archive: %1 already archived").arg(summary.nAlreadyArchived));
    else
        context.Say(Archive::SummaryText(summary));
    // Written down elsewhere, the head proves later that no line before it changed.
    if (!options.bJson && !summary.strJournalHead.isEmpty())
        context.Say(QStringLiteral("journal head: %1").arg(summary.strJournalHead));
    return nStatus;
}

} // namespace ArchiveCommand

namespace {

int RunArchiveAs(CliContext &context, const QString &strCommand, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, ArchiveCommand::Flags(), ArchiveCommand::ValuedOptions(), &strError))
        return context.Usage(strError);
    Archive::Options options;
    int nStatus = 0;
    if (!ArchiveCommand::Parse(context, parsed, &options, &nStatus))
        return nStatus;
    options.strCommand = strCommand;
    options.arguments = args;
    if (const int nFolder = ArchiveCommand::PrepareFolder(context, options))
        return nFolder;
    ArchiveLock lock;
    if (const int nLock = ArchiveCommand::LockFolder(context, options, lock))
        return nLock;
    if (const int nConnect = context.Connect())
        return nConnect;
    Archive::Summary summary;
    return ArchiveCommand::Run(context, options, &summary);
}

} // namespace

int RunArchive(CliContext &context, const QStringList &args)
{
    return RunArchiveAs(context, QStringLiteral("archive"), args);
}

int RunSync(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {}, {QStringLiteral("--to")}, &strError))
        return context.Usage(strError);
    return RunArchiveAs(context, QStringLiteral("sync"), args);
}
