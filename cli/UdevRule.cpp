#include "cli/UdevRule.h"

#include "core/OrvoBuildInfo.h"

#include <QProcess>
#include <QRegularExpression>

#include <grp.h>
#include <unistd.h>

namespace UdevRule {

namespace {

// Long enough for `udevadm trigger --settle` on a busy machine.
constexpr int kUdevadmTimeoutMs = 120000;

QString Hex4(quint16 nValue)
{
    return QStringLiteral("%1").arg(nValue, 4, 16, QLatin1Char('0'));
}

QString PairList(const UsbIds &ids)
{
    QStringList pairs;
    for (const UsbIds::Pair &pair : ids.Pairs())
        pairs.append(UsbIds::Format(pair.nVendor, pair.nProduct));
    return pairs.join(QLatin1Char(' '));
}

QString RunUdevadm(const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("udevadm"), args);
    if (!process.waitForStarted())
        return QStringLiteral("udevadm cannot be started (%1)").arg(process.errorString());
    if (!process.waitForFinished(kUdevadmTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("udevadm %1 did not finish").arg(args.join(QLatin1Char(' ')));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("udevadm %1 failed with status %2")
            .arg(args.join(QLatin1Char(' ')))
            .arg(process.exitCode());
    return {};
}

} // namespace

bool IsValidGroupName(const QString &strGroup)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_.][A-Za-z0-9_.-]{0,31}$"));
    return name.match(strGroup).hasMatch();
}

QString Text(const UsbIds &ids, const QString &strGroup)
{
    const QString strPairs = PairList(ids);
    QString strText = QStringLiteral("# %1: access to the OrvoConnect recorder on USB.\n")
                          .arg(QString::fromLatin1(kRulesFile));
    if (strGroup.isEmpty()) {
        strText +=
            QStringLiteral(
                "# Grants read and write access to the USB devices %1 to the user logged in at\n"
                "# the local seat (TAG+=\"uaccess\"), for as long as they are logged in there; other users\n"
                "# get none. The file must sort before 73-seat-late.rules, which turns the tag into the\n"
                "# access: keep its number below 73.\n")
                .arg(strPairs);
    } else {
        strText +=
            QStringLiteral("# Grants read and write access to the USB devices %1 to the members of the\n"
                           "# group \"%2\" (mode 0660), whether or not anyone is logged in at the seat.\n")
                .arg(strPairs, strGroup);
    }
    strText += QStringLiteral("# Written by orvoconnect-cli %1; to change it run\n"
                              "#   sudo orvoconnect-cli udev-rule --install%2 VVVV:PPPP...\n")
                   .arg(QString::fromLatin1(kOrvoVersion),
                        strGroup.isEmpty() ? QString() : QStringLiteral(" --group ") + strGroup);
    const QString strAccess = strGroup.isEmpty()
                                  ? QStringLiteral("TAG+=\"uaccess\"")
                                  : QStringLiteral("GROUP=\"%1\", MODE=\"0660\"").arg(strGroup);
    for (const UsbIds::Pair &pair : ids.Pairs()) {
        strText += QStringLiteral("SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"%1\", "
                                  "ATTR{idProduct}==\"%2\", %3\n")
                       .arg(Hex4(pair.nVendor), Hex4(pair.nProduct), strAccess);
    }
    return strText;
}

QList<QStringList> ApplyArguments(const UsbIds &ids)
{
    QList<QStringList> commands{{QStringLiteral("control"), QStringLiteral("--reload-rules")}};
    for (const UsbIds::Pair &pair : ids.Pairs()) {
        // Several --attr-match options must all hold: one command per pair.
        commands.append({QStringLiteral("trigger"), QStringLiteral("--action=change"),
                         QStringLiteral("--settle"), QStringLiteral("--subsystem-match=usb"),
                         QStringLiteral("--attr-match=idVendor=") + Hex4(pair.nVendor),
                         QStringLiteral("--attr-match=idProduct=") + Hex4(pair.nProduct)});
    }
    return commands;
}

System RealSystem()
{
    System system;
    system.isRoot = [] { return ::geteuid() == 0; };
    system.groupExists = [](const QString &strGroup) {
        return ::getgrnam(strGroup.toLocal8Bit().constData()) != nullptr;
    };
    system.strRulesFile = QString::fromLatin1(kRulesFile);
    system.udevadm = RunUdevadm;
    return system;
}

} // namespace UdevRule
