#include "sim/EmulatorFaults.h"

#include <functional>

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

// One option: its name, its value's placeholder (null for a flag), its help, and what it sets.
// An empty return is success, else why the value is bad.
struct FaultOption
{
    const char *pszName;
    const char *pszValue;
    const char *pszHelp;
    std::function<QString(EmulatorFaults &, const QString &)> set;
};

// A setter for a count or a delay: "bad WHAT \"VALUE\"" when it is not a number from 0.
std::function<QString(EmulatorFaults &, const QString &)> Count(int EmulatorFaults::*pMember,
                                                                const char *pszWhat)
{
    return [pMember, pszWhat](EmulatorFaults &faults, const QString &strValue) {
        return ParseCount(strValue, &(faults.*pMember))
                   ? QString()
                   : QStringLiteral("bad %1 \"%2\"").arg(QLatin1String(pszWhat), strValue);
    };
}

template <class T> std::function<QString(EmulatorFaults &, const QString &)> Text(T EmulatorFaults::*pMember)
{
    return [pMember](EmulatorFaults &faults, const QString &strValue) {
        faults.*pMember = strValue;
        return QString();
    };
}

std::function<QString(EmulatorFaults &, const QString &)> Flag(bool EmulatorFaults::*pMember)
{
    return [pMember](EmulatorFaults &faults, const QString &) {
        faults.*pMember = true;
        return QString();
    };
}

const QList<FaultOption> &Options()
{
    static const QList<FaultOption> options = {
        {"no-card", nullptr, "the recorder has no card", Flag(&EmulatorFaults::bNoCard)},
        {"card-full", nullptr, "uploads are refused for lack of space", Flag(&EmulatorFaults::bCardFull)},
        {"refuse-delete", "NAME|*", "deleting NAME (or any file) is refused",
         [](EmulatorFaults &faults, const QString &strValue) {
             faults.refuseDelete.append(strValue);
             return QString();
         }},
        {"refuse-upload", nullptr, "uploads are refused", Flag(&EmulatorFaults::bRefuseUpload)},
        {"stop-download-after", "N", "a download stops after N blocks",
         Count(&EmulatorFaults::nStopDownloadAfter, "block count")},
        {"stop-code", "ok|abort", "what the stopped download sends (default ok)",
         [](EmulatorFaults &faults, const QString &strValue) {
             if (strValue == QLatin1String("ok"))
                 faults.nStopDownloadCode = RSP_OK;
             else if (strValue == QLatin1String("abort"))
                 faults.nStopDownloadCode = CMD_ABORT;
             else
                 return QStringLiteral("bad stop code \"%1\" (ok or abort)").arg(strValue);
             return QString();
         }},
        {"abort-upload-after", "N", "the block after N upload blocks is aborted",
         Count(&EmulatorFaults::nAbortUploadAfter, "block count")},
        {"silent", nullptr, "requests are read but never answered", Flag(&EmulatorFaults::bSilent)},
        {"garbage", nullptr, "two invalid blocks precede every reply",
         Flag(&EmulatorFaults::bGarbageBeforeReply)},
        {"split", nullptr, "replies arrive in pieces of 300 and 724 bytes",
         Flag(&EmulatorFaults::bSplitReplies)},
        {"save-delay-ms", "N", "an archive save is answered after N ms",
         Count(&EmulatorFaults::nSaveArchiveDelayMs, "delay")},
        {"late-reply-ms", "N", "the next request is answered after N ms, once",
         Count(&EmulatorFaults::nLateReplyMs, "delay")},
        {"grow", "NAME", "NAME grows by a record with each block sent of it", Text(&EmulatorFaults::strGrow)},
        {"serial", "TEXT", "the serial number the recorder gives", Text(&EmulatorFaults::strSerial)},
        {"model", "TEXT", "the model the recorder gives", Text(&EmulatorFaults::strModel)},
        {"firmware", "TEXT", "the firmware version the recorder gives", Text(&EmulatorFaults::strFirmware)},
    };
    return options;
}

const FaultOption *Find(const QString &strName)
{
    for (const FaultOption &option : Options()) {
        if (strName == QLatin1String(option.pszName))
            return &option;
    }
    return nullptr;
}

} // namespace

bool EmulatorFaults::RefusesDeletionOf(const QString &strName) const
{
    return refuseDelete.contains(QStringLiteral("*")) || refuseDelete.contains(strName);
}

bool EmulatorFaults::OptionTakesValue(const QString &strName)
{
    const FaultOption *pOption = Find(strName);
    return pOption && pOption->pszValue;
}

QString EmulatorFaults::OptionsHelp()
{
    QString strHelp;
    for (const FaultOption &option : Options()) {
        const QString strSpelling = QStringLiteral("--%1 %2")
                                        .arg(QLatin1String(option.pszName), QLatin1String(option.pszValue))
                                        .trimmed();
        strHelp += QStringLiteral("  %1 %2\n").arg(strSpelling, -24).arg(QLatin1String(option.pszHelp));
    }
    return strHelp;
}

bool EmulatorFaults::SetOption(const QString &strName, const QString &strValue, QString *pError)
{
    const auto fail = [&](const QString &strWhy) {
        if (pError)
            *pError = strWhy;
        return false;
    };
    const FaultOption *pOption = Find(strName);
    if (!pOption)
        return fail(QStringLiteral("unknown fault option \"%1\"").arg(strName));
    if (pOption->pszValue && strValue.isEmpty())
        return fail(QStringLiteral("option %1 needs a value").arg(strName));
    if (!pOption->pszValue && !strValue.isEmpty())
        return fail(QStringLiteral("option %1 takes no value").arg(strName));
    const QString strWhy = pOption->set(*this, strValue);
    return strWhy.isEmpty() || fail(strWhy);
}
