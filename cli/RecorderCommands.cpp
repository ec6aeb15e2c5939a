// The commands that read the recorder or ask it to act, without local files: info, ls, save.

#include "archive/ArchiveRun.h"
#include "cli/CliArchiveReport.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"

namespace {

// Parses arguments for a command that takes the given flags and no operands, then opens the
// recorder. 0, or the status to leave with (the usage error or the reason already reported).
int ParseAndConnect(CliContext &context, const QStringList &args, const QStringList &flags,
                    CliArguments *pParsed)
{
    QString strError;
    if (!pParsed->Parse(args, flags, {}, &strError))
        return context.Usage(strError);
    if (!pParsed->Operands().isEmpty())
        return context.Usage(QStringLiteral("unexpected argument \"%1\"").arg(pParsed->Operands().first()));
    return context.Connect();
}

} // namespace

int RunInfo(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    if (const int nStatus = ParseAndConnect(context, args, {}, &parsed))
        return nStatus;

    // The same two exchanges, and the same reasons when one fails, as an archive run's.
    CliArchiveReport report(context, false);
    Archive::Session session{context.Protocol(), context.Stop(), report, context.LinkName()};
    ArchiveJournal::Context recorder;
    if (const int nStatus = Archive::ReadRecorder(session, &recorder))
        return nStatus;
    context.Print(ListingFormat::TerminalText(recorder.strIdentification));
    context.Print(ListingFormat::TerminalText(recorder.strCardInfo));
    return 0;
}

int RunList(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    if (const int nStatus =
            ParseAndConnect(context, args, {QStringLiteral("--json"), QStringLiteral("--iso")}, &parsed))
        return nStatus;

    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;

    if (parsed.Has(QStringLiteral("--json"))) {
        context.PrintRaw(ListingFormat::Json(entries));
    } else {
        for (const RecorderFileEntry &entry : entries)
            context.Print(ListingFormat::Line(entry, parsed.Has(QStringLiteral("--iso"))));
    }
    return 0;
}

int RunSave(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    if (const int nStatus = ParseAndConnect(context, args, {}, &parsed))
        return nStatus;

    // The recorder may take up to two minutes; it cannot be told to stop once asked.
    context.SetUninterruptible(true);
    const int nResult = context.Protocol().SaveArchiveData();
    context.SetUninterruptible(false);
    if (nResult != RESULT_OK)
        return context.Fail(nResult,
                            QStringLiteral("the archive data were not saved: ") + ResultText(nResult));
    return 0;
}

int ListCardFiles(CliContext &context, QList<RecorderFileEntry> *pEntries)
{
    CliArchiveReport report(context, false);
    Archive::Session session{context.Protocol(), context.Stop(), report, context.LinkName()};
    return Archive::ListCard(session, pEntries);
}
