// The commands that read the recorder or ask it to act, without local files: info, ls, save.

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"

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

    QString strText;
    const PostTarget target = PostTarget::ForFunction([&strText](PostedMessage &&message) {
        const TextPost *pText = message.Get<TextPost>();
        if (pText && (message.nMessage == WM_REC_DEVICE_INFO || message.nMessage == WM_REC_CARD_INFO))
            strText = pText->strText;
    });
    // A signal wakes the read that waits: that failure is the cancellation.
    const auto failure = [&context] { return context.IsStopped() ? RESULT_CANCELLED : RESULT_COMM_ERROR; };
    if (!context.Protocol().GetDeviceInfo(target))
        return context.Fail(failure(), QStringLiteral("cannot read the recorder's identification: ") +
                                           ResultText(failure()));
    const QString strDeviceInfo = strText;
    if (!context.Protocol().GetCardInfo(target))
        return context.Fail(failure(),
                            QStringLiteral("cannot read the card information: ") + ResultText(failure()));
    context.Print(ListingFormat::TerminalText(strDeviceInfo));
    context.Print(ListingFormat::TerminalText(strText));
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
    pEntries->clear();
    const PostTarget target = PostTarget::ForFunction([pEntries](PostedMessage &&message) {
        if (const FileEntryPost *pEntry = message.Get<FileEntryPost>())
            pEntries->append(pEntry->entry);
    });
    const RecorderResult result = context.Protocol().ListFiles(context.Stop(), target);
    if (!result.IsOk())
        return context.Fail(result, QStringLiteral("cannot list the card: ") +
                                        (result.Detail().isEmpty() ? ResultText(result) : result.Detail()));
    return RESULT_OK;
}
