#include "sim/EmulatorFaults.h"

namespace {

bool ParseCount(const QString &strValue, int *pValue)
{
    bool bOk = false;
    const int nValue = strValue.toInt(&bOk);
    if (!bOk || nValue < 0)
        return false;
    *pValue = nValue;
    return true;
}

const char *const OPTIONS_HELP = "  --no-card                the recorder has no card\n"
                                 "  --card-full              uploads are refused for lack of space\n"
                                 "  --refuse-delete NAME|*   deleting NAME (or any file) is refused\n"
                                 "  --refuse-upload          uploads are refused\n"
                                 "  --stop-download-after N  a download stops after N blocks\n"
                                 "  --stop-code ok|abort     what the stopped download sends (default ok)\n"
                                 "  --abort-upload-after N   the block after N upload blocks is aborted\n"
                                 "  --silent                 requests are read but never answered\n"
                                 "  --garbage                two invalid blocks precede every reply\n"
                                 "  --split                  replies arrive in pieces of 300 and 724 bytes\n"
                                 "  --save-delay-ms N        an archive save is answered after N ms\n"
                                 "  --late-reply-ms N        the next request is answered after N ms, once\n";

} // namespace

bool EmulatorFaults::RefusesDeletionOf(const QString &strName) const
{
    return refuseDelete.contains(QStringLiteral("*")) || refuseDelete.contains(strName);
}

bool EmulatorFaults::OptionTakesValue(const QString &strName)
{
    static const QStringList valued = {QStringLiteral("refuse-delete"), QStringLiteral("stop-download-after"),
                                       QStringLiteral("stop-code"),     QStringLiteral("abort-upload-after"),
                                       QStringLiteral("save-delay-ms"), QStringLiteral("late-reply-ms")};
    return valued.contains(strName);
}

QString EmulatorFaults::OptionsHelp()
{
    return QString::fromLatin1(OPTIONS_HELP);
}

bool EmulatorFaults::SetOption(const QString &strName, const QString &strValue, QString *pError)
{
    const auto fail = [&](const QString &strWhy) {
        if (pError)
            *pError = strWhy;
        return false;
    };
    if (OptionTakesValue(strName) && strValue.isEmpty())
        return fail(QStringLiteral("option %1 needs a value").arg(strName));
    if (!OptionTakesValue(strName) && !strValue.isEmpty())
        return fail(QStringLiteral("option %1 takes no value").arg(strName));

    if (strName == QLatin1String("no-card"))
        bNoCard = true;
    else if (strName == QLatin1String("card-full"))
        bCardFull = true;
    else if (strName == QLatin1String("refuse-delete"))
        refuseDelete.append(strValue);
    else if (strName == QLatin1String("refuse-upload"))
        bRefuseUpload = true;
    else if (strName == QLatin1String("silent"))
        bSilent = true;
    else if (strName == QLatin1String("garbage"))
        bGarbageBeforeReply = true;
    else if (strName == QLatin1String("split"))
        bSplitReplies = true;
    else if (strName == QLatin1String("stop-download-after")) {
        if (!ParseCount(strValue, &nStopDownloadAfter))
            return fail(QStringLiteral("bad block count \"%1\"").arg(strValue));
    } else if (strName == QLatin1String("abort-upload-after")) {
        if (!ParseCount(strValue, &nAbortUploadAfter))
            return fail(QStringLiteral("bad block count \"%1\"").arg(strValue));
    } else if (strName == QLatin1String("save-delay-ms")) {
        if (!ParseCount(strValue, &nSaveArchiveDelayMs))
            return fail(QStringLiteral("bad delay \"%1\"").arg(strValue));
    } else if (strName == QLatin1String("late-reply-ms")) {
        if (!ParseCount(strValue, &nLateReplyMs))
            return fail(QStringLiteral("bad delay \"%1\"").arg(strValue));
    } else if (strName == QLatin1String("stop-code")) {
        if (strValue == QLatin1String("ok"))
            nStopDownloadCode = RSP_OK;
        else if (strValue == QLatin1String("abort"))
            nStopDownloadCode = CMD_ABORT;
        else
            return fail(QStringLiteral("bad stop code \"%1\" (ok or abort)").arg(strValue));
    } else {
        return fail(QStringLiteral("unknown fault option \"%1\"").arg(strName));
    }
    return true;
}
