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
#include "protocol/RecorderReceiver.h"

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

// A signal wakes the read that waits: that failure is the cancellation.
int Failure(const CliContext &context)
{
    return context.IsStopped() ? RESULT_CANCELLED : RESULT_COMM_ERROR;
}

} // namespace

int RunInfo(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    if (const int nStatus = ParseAndConnect(context, args, {}, &parsed))
        return nStatus;

    QString strDeviceInfo;
    if (const int nStatus = ReadDeviceInfo(context, &strDeviceInfo))
        return nStatus;
    struct : RecorderReceiver
    {
        QString strText;
        void OnCardInfo(const QString &strInfo) override { strText = strInfo; }
    } cardInfo;
    if (!context.Protocol().GetCardInfo(cardInfo.Target())) {
        const int nFailure = Failure(context);
        return context.Fail(nFailure,
                            QStringLiteral("cannot read the card information: ") + ResultText(nFailure));
    }
    context.Print(ListingFormat::TerminalText(strDeviceInfo));
    context.Print(ListingFormat::TerminalText(cardInfo.strText));
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

int ReadDeviceInfo(CliContext &context, QString *pText)
{
    struct : RecorderReceiver
    {
        QString strText;
        void OnDeviceInfo(const QString &strInfo) override { strText = strInfo; }
    } deviceInfo;
    if (!context.Protocol().GetDeviceInfo(deviceInfo.Target())) {
        const int nFailure = Failure(context);
        return context.Fail(nFailure, QStringLiteral("cannot read the recorder's identification: ") +
                                          ResultText(nFailure));
    }
    *pText = deviceInfo.strText;
    return RESULT_OK;
}

int ListCardFiles(CliContext &context, QList<RecorderFileEntry> *pEntries)
{
    CliArchiveReport report(context, false);
    Archive::Session session{context.Protocol(), context.Stop(), report, context.LinkName()};
    return Archive::ListCard(session, pEntries);
}
