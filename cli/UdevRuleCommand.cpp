#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ResultText.h"
#include "cli/UdevRule.h"
#include "protocol/ProtocolCodes.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString PairText(const UsbIds &ids)
{
    return ids.ToString().replace(QLatin1Char(','), QStringLiteral(", "));
}

// The command that installs the same rule as root, with everything spelled out: root's settings
// and environment are not the user's.
QString SudoCommand(const UsbIds &ids, const QString &strGroup)
{
    QString strCommand = QStringLiteral("sudo orvoconnect-cli udev-rule --install");
    if (!strGroup.isEmpty())
        strCommand += QStringLiteral(" --group ") + strGroup;
    return strCommand + QLatin1Char(' ') + ids.ToString().replace(QLatin1Char(','), QLatin1Char(' '));
}

// The pairs of the run and where they came from: the operands, a usb:PAIRS link, else the ids
// the usb link of this user would read. 0, or the exit status with the reason printed.
int ChoosePairs(CliContext &context, const QStringList &operands, UsbIds *pIds, QString *pSource)
{
    QString strError;
    if (!operands.isEmpty()) {
        const auto ids = UsbIds::Parse(operands.join(QLatin1Char(',')), &strError);
        if (!ids)
            return context.Usage(strError);
        *pIds = *ids;
        *pSource = QStringLiteral("the command line");
        return 0;
    }
    const QString strLink = context.LinkName();
    if (strLink.startsWith(QLatin1String("usb:"))) {
        const auto ids = UsbIds::Parse(strLink.mid(4), &strError);
        if (!ids)
            return context.Usage(QStringLiteral("invalid link \"%1\": %2").arg(strLink, strError));
        *pIds = *ids;
        *pSource = QStringLiteral("the link %1").arg(strLink);
    } else {
        const auto ids = UsbIds::Configured(&strError);
        if (!ids)
            return context.Fail(EXIT_USAGE, strError);
        *pIds = *ids;
        *pSource = UsbIds::ConfiguredSource();
    }
    if (pIds->IsEmpty())
        return context.Fail(
            EXIT_USAGE, QStringLiteral("no USB ids are configured (%1); name the recorder's pairs: "
                                       "orvoconnect-cli udev-rule VVVV:PPPP (usb-scan lists the candidates)")
                            .arg(*pSource));
    return 0;
}

int Install(CliContext &context, const UdevRule::System &system, const UsbIds &ids, const QString &strGroup)
{
    const QString strFile = system.strRulesFile;
    if (!strGroup.isEmpty() && !system.groupExists(strGroup))
        return context.Fail(EXIT_USAGE,
                            QStringLiteral("there is no group \"%1\" on this machine").arg(strGroup));

    QString strWhy;
    QSaveFile file(strFile);
    if (!QDir().mkpath(QFileInfo(strFile).absolutePath()) || !file.open(QIODevice::WriteOnly)) {
        strWhy = file.errorString();
    } else {
        file.write(UdevRule::Text(ids, strGroup).toUtf8());
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::ReadOther);
        if (!file.commit())
            strWhy = file.errorString();
    }
    if (!strWhy.isEmpty())
        return context.Fail(RESULT_HOST_IO_ERROR, QStringLiteral("cannot write %1: %2").arg(strFile, strWhy));
    context.Print(QStringLiteral("written: %1").arg(strFile));

    for (const QStringList &args : UdevRule::ApplyArguments(ids)) {
        strWhy = system.udevadm(args);
        if (!strWhy.isEmpty())
            return context.Fail(RESULT_HOST_IO_ERROR,
                                QStringLiteral("the rule is written, but %1; plug the recorder in again, or "
                                               "restart, for it to take effect")
                                    .arg(strWhy));
    }
    context.Print(
        strGroup.isEmpty()
            ? QStringLiteral("udev applied it: the user at the seat may open %1").arg(PairText(ids))
            : QStringLiteral("udev applied it: the group %1 may open %2").arg(strGroup, PairText(ids)));
    return 0;
}

} // namespace

int RunUdevRuleOn(CliContext &context, const QStringList &args, const UdevRule::System &system)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {QStringLiteral("--install")}, {QStringLiteral("--group")}, &strError))
        return context.Usage(strError);
    const bool bInstall = parsed.Has(QStringLiteral("--install"));
    const QString strGroup = parsed.Value(QStringLiteral("--group"));
    if (parsed.Has(QStringLiteral("--group")) && !UdevRule::IsValidGroupName(strGroup))
        return context.Usage(QStringLiteral("\"%1\" is not a group name").arg(strGroup));
    if (bInstall && system.isRoot() && parsed.Operands().isEmpty())
        return context.Usage(QStringLiteral("as root, name the pairs: root's settings are not the user's "
                                            "(run orvoconnect-cli udev-rule --install as yourself to see "
                                            "the command for yours)"));

    UsbIds ids;
    QString strSource;
    if (const int nStatus = ChoosePairs(context, parsed.Operands(), &ids, &strSource))
        return nStatus;
    const QString strPairs = QStringLiteral("udev rule for %1 (from %2)").arg(PairText(ids), strSource);

    if (!bInstall) {
        // Standard output stays a rule file; the pairs go to standard error.
        context.Report(strPairs);
        context.PrintRaw(UdevRule::Text(ids, strGroup).toUtf8());
        return 0;
    }
    if (!system.isRoot())
        return context.Fail(RESULT_HOST_IO_ERROR,
                            QStringLiteral("%1: installing it needs root, nothing was changed; run\n  %2")
                                .arg(strPairs, SudoCommand(ids, strGroup)));
    context.Print(strPairs);
    return Install(context, system, ids, strGroup);
}

int RunUdevRule(CliContext &context, const QStringList &args)
{
    return RunUdevRuleOn(context, args, UdevRule::RealSystem());
}
