// The commands that move or delete files: get, sync, put, rm.

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/LocalFileName.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>

namespace {

const QString OPT_TO = QStringLiteral("--to");
const QString OPT_ALL = QStringLiteral("--all");
const QString OPT_OVERWRITE = QStringLiteral("--overwrite");
const QString OPT_SKIP_EXISTING = QStringLiteral("--skip-existing");

using ListingFormat::Quoted;

// Why a transfer failed: the result's own words when it has them (they name the file and the
// system's reason: a full disk, a missing permission), else the result's text.
QString FailureText(CliContext &context, const RecorderResult &result)
{
    if (!result.Detail().isEmpty())
        return ListingFormat::PrintableName(result.Detail());
    // Refused before the first block: most often a name that is not on the card.
    if (result == RESULT_DEVICE_STOPPED && context.ProgressReports() <= 1)
        return QStringLiteral("the recorder refused the transfer");
    return ResultText(result);
}

// The destination folder, ending with "/", or an empty string (reported) when it is not a
// folder this user can write to.
QString DestinationFolder(CliContext &context, const CliArguments &parsed)
{
    const QString strDir = parsed.Has(OPT_TO) ? parsed.Value(OPT_TO) : QStringLiteral(".");
    const QFileInfo info(strDir);
    if (!info.isDir()) {
        context.Report(QStringLiteral("destination %1 is not a folder").arg(Quoted(strDir)));
        return QString();
    }
    if (!info.isWritable()) {
        context.Report(QStringLiteral("destination %1 is not writable").arg(Quoted(strDir)));
        return QString();
    }
    QString strFolder = QDir::cleanPath(info.absoluteFilePath());
    if (!strFolder.endsWith(QLatin1Char('/')))
        strFolder += QLatin1Char('/');
    return strFolder;
}

// Every name of the plan is decided before anything is downloaded: each refused name is
// reported with its reason and then nothing is downloaded at all (host I/O); skipped names are
// reported.
int CheckPlan(CliContext &context, const DownloadPlan &plan)
{
    const QList<DownloadPlan::Item> refused = plan.Refused();
    for (const DownloadPlan::Item &item : refused)
        context.Report(QStringLiteral("refusing %1: %2").arg(Quoted(item.strCardName), item.strWhy));
    if (!refused.isEmpty()) {
        const bool bExisting =
            std::any_of(refused.cbegin(), refused.cend(), [](const DownloadPlan::Item &item) {
                return item.refusal == LocalReason::AlreadyExists;
            });
        return context.Fail(RESULT_HOST_IO_ERROR,
                            bExisting
                                ? QStringLiteral("nothing was downloaded (use --overwrite or --skip-existing "
                                                 "for files that already exist)")
                                : QStringLiteral("nothing was downloaded"));
    }
    for (const DownloadPlan::Item &item : plan.Items())
        if (item.bSkipped)
            context.Report(QStringLiteral("skipping %1: %2").arg(Quoted(item.strCardName), item.strWhy));
    return RESULT_OK;
}

// Downloads what the plan keeps, in order, and stops at the first failure, like the download job.
int DownloadAll(CliContext &context, const DownloadPlan &plan, bool bPrintNames)
{
    const QList<DownloadPlan::Item> items = plan.ToDownload();
    quint64 nBytes = 0;
    for (const DownloadPlan::Item &item : items)
        nBytes += item.nSize;
    context.Progress().StartRun(int(items.size()), nBytes);
    const auto endRun = qScopeGuard([&context] { context.Progress().EndRun(); });
    for (const DownloadPlan::Item &item : items) {
        if (context.IsStopped())
            return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        const QString &strName = item.strCardName;
        context.Progress().Start(ListingFormat::PrintableName(strName));
        context.SetWritingLocalFile(true);
        FileDownloadSink sink(plan, item);
        const RecorderResult result =
            context.Protocol().GetFile(context.Stop(), context.ProgressTarget(), strName, sink);
        context.SetWritingLocalFile(false);
        context.Progress().Finish(result.IsOk());
        if (result == RESULT_DEVICE_STOPPED && context.ProgressReports() <= 1)
            return context.Fail(result, QStringLiteral("cannot download %1: the recorder refused to send it "
                                                       "(is it on the card? orvoconnect-cli ls lists them)")
                                            .arg(Quoted(strName)));
        if (!result.IsOk())
            return context.Fail(
                result,
                QStringLiteral("cannot download %1: %2").arg(Quoted(strName), FailureText(context, result)));
        if (bPrintNames)
            context.Print(ListingFormat::PrintableName(strName));
    }
    return RESULT_OK;
}

} // namespace

int RunGet(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {OPT_ALL, OPT_OVERWRITE, OPT_SKIP_EXISTING}, {OPT_TO}, &strError))
        return context.Usage(strError);
    const bool bAll = parsed.Has(OPT_ALL);
    const bool bOverwrite = parsed.Has(OPT_OVERWRITE);
    const bool bSkipExisting = parsed.Has(OPT_SKIP_EXISTING);
    if (bOverwrite && bSkipExisting)
        return context.Usage(QStringLiteral("--overwrite and --skip-existing exclude each other"));
    if (bAll == !parsed.Operands().isEmpty())
        return context.Usage(QStringLiteral("get needs either file names or --all"));
    // An empty name is no folder at all, not the current one.
    if (parsed.Has(OPT_TO) && parsed.Value(OPT_TO).isEmpty())
        return context.Usage(QStringLiteral("--to needs a folder"));

    const QString strFolder = DestinationFolder(context, parsed);
    if (strFolder.isEmpty())
        return RESULT_HOST_IO_ERROR;
    const DownloadPlan::Existing existing = bOverwrite      ? DownloadPlan::Existing::Replace
                                            : bSkipExisting ? DownloadPlan::Existing::Skip
                                                            : DownloadPlan::Existing::Refuse;
    // Named files are checked on this side before the recorder is even opened.
    if (!bAll) {
        DownloadPlan local(strFolder, existing);
        for (const QString &strName : parsed.Operands())
            local.Add(strName);
        if (const int nCheck = CheckPlan(context, local))
            return nCheck;
    }
    DownloadPlan plan(strFolder, existing);
    if (const int nConnect = context.Connect())
        return nConnect;
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;
    // Every name is looked up on the card first: the card's entry gives the date the file
    // takes, and a name the card does not have fails the run before anything is downloaded.
    QHash<QString, RecorderFileEntry> byName;
    for (const RecorderFileEntry &entry : std::as_const(entries))
        byName.insert(entry.Name(), entry);
    const QStringList names = bAll ? QStringList() : parsed.Operands();
    QStringList missing;
    for (const QString &strName : names)
        if (!byName.contains(strName) && !missing.contains(strName))
            missing.append(strName);
    for (const QString &strName : std::as_const(missing))
        context.Report(QStringLiteral("%1: not on the card").arg(Quoted(strName)));
    if (!missing.isEmpty())
        return context.Fail(
            RESULT_DEVICE_STOPPED,
            QStringLiteral("nothing was downloaded (orvoconnect-cli ls lists the card's files)"));
    for (const RecorderFileEntry &entry : bAll ? entries : QList<RecorderFileEntry>())
        plan.Add(entry.Name(), FileTime::ToLocalDateTime(entry.LastWriteTime()), entry.SizeLow());
    for (const QString &strName : names) {
        const RecorderFileEntry &entry = byName[strName];
        plan.Add(strName, FileTime::ToLocalDateTime(entry.LastWriteTime()), entry.SizeLow());
    }
    if (const int nCheck = CheckPlan(context, plan))
        return nCheck;
    return DownloadAll(context, plan, false);
}

int RunPut(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {OPT_OVERWRITE}, {}, &strError))
        return context.Usage(strError);
    if (parsed.Operands().size() != 1)
        return context.Usage(QStringLiteral("put needs exactly one file"));
    const QString strPath = parsed.Operands().first();
    const QFileInfo info(strPath);
    if (!info.isFile() || !info.isReadable())
        return context.Fail(RESULT_HOST_IO_ERROR,
                            QStringLiteral("cannot read %1: not a readable file").arg(Quoted(strPath)));
    // A name the recorder cannot take is refused before the recorder is opened.
    if (const RecorderResult named = RecorderProtocol::UploadName(strPath, nullptr); !named.IsOk())
        return context.Fail(
            named, QStringLiteral("cannot upload %1: %2").arg(Quoted(strPath), FailureText(context, named)));
    if (const int nConnect = context.Connect())
        return nConnect;

    context.Progress().Start(ListingFormat::PrintableName(info.fileName()));
    const RecorderResult result = context.Protocol().PutFile(context.Stop(), context.ProgressTarget(),
                                                             strPath, parsed.Has(OPT_OVERWRITE));
    context.Progress().Finish(result.IsOk());
    if (!result.IsOk())
        return context.Fail(
            result,
            QStringLiteral("cannot upload %1: %2").arg(Quoted(strPath), FailureText(context, result)));
    return 0;
}

int RunRemove(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {}, {}, &strError))
        return context.Usage(strError);
    if (parsed.Operands().isEmpty())
        return context.Usage(QStringLiteral("rm needs at least one file name"));
    if (const int nConnect = context.Connect())
        return nConnect;
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;
    QSet<QString> onCard;
    for (const RecorderFileEntry &entry : std::as_const(entries))
        onCard.insert(entry.Name());

    int nStatus = RESULT_OK;
    for (const QString &strName : parsed.Operands()) {
        if (context.IsStopped())
            return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        const QString strShown = ListingFormat::PrintableName(strName);
        if (!onCard.contains(strName)) {
            context.Print(QStringLiteral("File %1 NOT deleted").arg(strShown));
            context.Report(QStringLiteral("%1: not on the card").arg(Quoted(strName)));
            nStatus = RESULT_NOT_DELETED;
            continue;
        }
        const int nResult = context.Protocol().DeleteCardFile(strName);
        if (nResult == RESULT_OK) {
            context.Print(QStringLiteral("File %1 deleted").arg(strShown));
        } else if (nResult == RESULT_NOT_DELETED) {
            context.Print(QStringLiteral("File %1 NOT deleted").arg(strShown));
            nStatus = RESULT_NOT_DELETED;
        } else {
            // Whether the recorder deleted it is unknown; the rest is not attempted.
            return context.Fail(
                nResult, QStringLiteral("cannot delete %1: %2").arg(Quoted(strName), ResultText(nResult)));
        }
    }
    return nStatus;
}
