// archive and sync: the command line of the archive run.

#include "cli/Archive.h"
#include "cli/ArchiveSelection.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "core/ArchiveLock.h"
#include "core/RecorderResult.h"

#include <QDir>
#include <QFileInfo>

namespace Archive {

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
    if (const QString strBad = Selection::InvalidPattern(options.includes + options.excludes);
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

// The archive folder, created when missing (except in a dry run, which changes nothing). 0, or
// the status after reporting why it cannot be used.
int PrepareFolder(CliContext &context, const Options &options)
{
    const QFileInfo info(options.strDir);
    if (!info.exists() && !options.bDryRun && !QDir().mkpath(options.strDir))
        return context.Fail(RESULT_HOST_IO_ERROR,
                            QStringLiteral("cannot create the archive folder %1").arg(options.strDir));
    if (info.exists() && !info.isDir())
        return context.Fail(RESULT_HOST_IO_ERROR, QStringLiteral("%1 is not a folder").arg(options.strDir));
    if (info.exists() && !info.isWritable() && !options.bDryRun)
        return context.Fail(RESULT_HOST_IO_ERROR, QStringLiteral("%1 is not writable").arg(options.strDir));
    return RESULT_OK;
}

int LockFolder(CliContext &context, const Options &options, ArchiveLock &lock)
{
    if (options.bDryRun)
        return RESULT_OK;
    const ArchiveLock::Outcome outcome = lock.Acquire(
        options.strDir, [&context] { return context.IsStopped(); },
        [&context, &options] {
            context.Report(
                QStringLiteral("waiting for another archive run into %1 to end").arg(options.strDir));
        });
    switch (outcome) {
    case ArchiveLock::Outcome::Held:
        return RESULT_OK;
    case ArchiveLock::Outcome::Stopped:
        return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
    case ArchiveLock::Outcome::Failed:
        break;
    }
    return context.Fail(RESULT_HOST_IO_ERROR, lock.Error());
}

int RecorderIdentity(CliContext &context, QString *pIdentity)
{
    *pIdentity = context.RecorderSerial();
    if (!pIdentity->isEmpty())
        return RESULT_OK;
    if (const int nStatus = ReadDeviceInfo(context, pIdentity))
        return nStatus;
    // A recorder that sends no identification at all is still told from others by its link.
    if (pIdentity->isEmpty())
        *pIdentity = QStringLiteral("recorder on ") + context.LinkName();
    return RESULT_OK;
}

} // namespace Archive

int RunArchive(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, Archive::Flags(), Archive::ValuedOptions(), &strError))
        return context.Usage(strError);
    Archive::Options options;
    int nStatus = 0;
    if (!Archive::Parse(context, parsed, &options, &nStatus))
        return nStatus;
    if (const int nFolder = Archive::PrepareFolder(context, options))
        return nFolder;
    ArchiveLock lock;
    if (const int nLock = Archive::LockFolder(context, options, lock))
        return nLock;
    if (const int nConnect = context.Connect())
        return nConnect;
    Archive::Summary summary;
    return Archive::Run(context, options, &summary);
}

int RunSync(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {}, {QStringLiteral("--to")}, &strError))
        return context.Usage(strError);
    return RunArchive(context, args);
}
