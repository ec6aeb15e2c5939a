// The commands that move or delete files: get, sync, put, rm.

#include "CliArguments.h"
#include "CliCommand.h"
#include "CliContext.h"
#include "ListingFormat.h"
#include "LocalFileName.h"
#include "RecorderFileEntry.h"
#include "RecorderProtocol.h"
#include "ResultText.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString OPT_TO = QStringLiteral("--to");
const QString OPT_ALL = QStringLiteral("--all");
const QString OPT_OVERWRITE = QStringLiteral("--overwrite");
const QString OPT_SKIP_EXISTING = QStringLiteral("--skip-existing");

QString Quoted(const QString &strName)
{
    return QLatin1Char('"') + ListingFormat::PrintableName(strName) + QLatin1Char('"');
}

// Why a transfer failed: for a local failure the protocol's own words, which name the file
// and the system's reason (a full disk, a missing permission), else the result's text.
QString FailureText(CliContext &context, int nResult)
{
    const QString strLocal = context.Protocol().LastLocalError();
    if (nResult == RESULT_HOST_IO_ERROR && !strLocal.isEmpty())
        return ListingFormat::PrintableName(strLocal);
    // Refused before the first block: most often a name that is not on the card.
    if (nResult == RESULT_DEVICE_STOPPED && context.ProgressReports() <= 1)
        return QStringLiteral("the recorder refused the transfer");
    return ResultText(nResult);
}

// The destination folder, ending with "/", or an empty string (reported) when it is not a
// folder this user can write to.
QString DestinationFolder(CliContext &context, const CliArguments &parsed)
{
    const QString strDir = parsed.Has(OPT_TO) ? parsed.Value(OPT_TO) : QStringLiteral(".");
    const QFileInfo info(strDir);
    if (strDir.isEmpty() || !info.isDir()) {
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

bool LocalFileExists(const QString &strPath)
{
    const QFileInfo info(strPath);
    return info.exists() || info.isSymLink();
}

// Checks every name before anything is downloaded: a name that could leave the folder, or a
// file already there that the user did not say what to do with, ends the run (host I/O).
// Skipped names are dropped from *pNames.
int CheckDownloads(CliContext &context, const QString &strFolder, bool bOverwrite, bool bSkipExisting,
                   QStringList *pNames)
{
    QStringList kept;
    for (const QString &strName : std::as_const(*pNames)) {
        if (!IsSafeLocalFileName(strName))
            return context.Fail(
                RESULT_HOST_IO_ERROR,
                QStringLiteral("refusing the card file name %1: it is not a safe local file name")
                    .arg(Quoted(strName)));
        if (kept.contains(strName))
            continue;
        if (LocalFileExists(strFolder + strName)) {
            if (bSkipExisting) {
                context.Report(
                    QStringLiteral("skipping %1: it is already in %2").arg(Quoted(strName), strFolder));
                continue;
            }
            if (!bOverwrite)
                return context.Fail(
                    RESULT_HOST_IO_ERROR,
                    QStringLiteral("%1 already exists in %2 (use --overwrite or --skip-existing); "
                                   "nothing was downloaded")
                        .arg(Quoted(strName), strFolder));
        }
        kept.append(strName);
    }
    *pNames = kept;
    return RESULT_OK;
}

// Downloads the names in order and stops at the first failure, like the download job.
int DownloadAll(CliContext &context, const QString &strFolder, const QStringList &names, bool bPrintNames)
{
    for (const QString &strName : names) {
        if (context.IsStopped())
            return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        context.Progress().Start(ListingFormat::PrintableName(strName));
        context.SetWritingLocalFile(true);
        const int nResult =
            context.Protocol().GetFile(context.Stop(), context.ProgressTarget(), strName, strFolder);
        context.SetWritingLocalFile(false);
        context.Progress().Finish(nResult == RESULT_OK);
        if (nResult == RESULT_DEVICE_STOPPED && context.ProgressReports() <= 1)
            return context.Fail(nResult, QStringLiteral("cannot download %1: the recorder refused to send it "
                                                        "(is it on the card? orvoconnect-cli ls lists them)")
                                             .arg(Quoted(strName)));
        if (nResult != RESULT_OK)
            return context.Fail(
                nResult,
                QStringLiteral("cannot download %1: %2").arg(Quoted(strName), FailureText(context, nResult)));
        if (bPrintNames)
            context.Print(ListingFormat::PrintableName(strName));
    }
    return RESULT_OK;
}

QStringList NamesOf(const QList<RecorderFileEntry> &entries)
{
    QStringList names;
    for (const RecorderFileEntry &entry : entries)
        names.append(entry.Name());
    return names;
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

    const QString strFolder = DestinationFolder(context, parsed);
    if (strFolder.isEmpty())
        return RESULT_HOST_IO_ERROR;

    QStringList names = parsed.Operands();
    // Named files are checked before the recorder is even opened.
    if (!bAll) {
        if (const int nCheck = CheckDownloads(context, strFolder, bOverwrite, bSkipExisting, &names))
            return nCheck;
    }
    if (const int nConnect = context.Connect())
        return nConnect;
    if (bAll) {
        QList<RecorderFileEntry> entries;
        if (const int nResult = ListCardFiles(context, &entries))
            return nResult;
        names = NamesOf(entries);
        if (const int nCheck = CheckDownloads(context, strFolder, bOverwrite, bSkipExisting, &names))
            return nCheck;
    }
    return DownloadAll(context, strFolder, names, false);
}

int RunSync(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {}, {OPT_TO}, &strError))
        return context.Usage(strError);
    if (!parsed.Operands().isEmpty())
        return context.Usage(QStringLiteral("unexpected argument \"%1\"").arg(parsed.Operands().first()));
    const QString strFolder = DestinationFolder(context, parsed);
    if (strFolder.isEmpty())
        return RESULT_HOST_IO_ERROR;
    if (const int nConnect = context.Connect())
        return nConnect;

    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;

    QStringList names;
    for (const RecorderFileEntry &entry : std::as_const(entries)) {
        const QString strName = entry.Name();
        if (!IsSafeLocalFileName(strName))
            return context.Fail(
                RESULT_HOST_IO_ERROR,
                QStringLiteral("refusing the card file name %1: it is not a safe local file name")
                    .arg(Quoted(strName)));
        const QFileInfo local(strFolder + strName);
        if (local.isFile() && local.size() == qint64(entry.SizeLow()))
            continue;
        if (!names.contains(strName))
            names.append(strName);
    }
    return DownloadAll(context, strFolder, names, true);
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
    if (const int nConnect = context.Connect())
        return nConnect;

    context.Progress().Start(ListingFormat::PrintableName(info.fileName()));
    const int nResult = context.Protocol().PutFile(context.Stop(), context.ProgressTarget(), strPath,
                                                   parsed.Has(OPT_OVERWRITE));
    context.Progress().Finish(nResult == RESULT_OK);
    if (nResult != RESULT_OK)
        return context.Fail(
            nResult,
            QStringLiteral("cannot upload %1: %2").arg(Quoted(strPath), FailureText(context, nResult)));
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

    int nStatus = RESULT_OK;
    for (const QString &strName : parsed.Operands()) {
        if (context.IsStopped())
            return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        const int nResult = context.Protocol().DeleteCardFile(strName);
        const QString strShown = ListingFormat::PrintableName(strName);
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
