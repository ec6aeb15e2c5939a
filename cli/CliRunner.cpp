#include "cli/CliRunner.h"

#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ResultText.h"
#include "cli/SignalWatcher.h"
#include "core/OrvoBuildInfo.h"
#include "link/TransportRegistry.h"
#include "link/UsbSettingsProvider.h"
#include "protocol/ProtocolCodes.h"

#include <cerrno>
#include <thread>

namespace {

struct GlobalOptions
{
    QString strLink = TransportRegistry::DefaultLinkName();
    QString strDevice;
    bool bDeviceGiven = false;
    int nProgress = -1; // -1: on a terminal; 0: never; 1: always
    bool bHelp = false;
    bool bVersion = false;
};

// Takes the options that belong to the program rather than to a command out of args, before
// the command name or after it, up to "--" (after which every word is an operand).
bool TakeGlobalOptions(QStringList &args, GlobalOptions *pOptions, QString *pError)
{
    QStringList kept;
    bool bEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &strArg = args.at(i);
        if (bEnded) {
            kept.append(strArg);
            continue;
        }
        if (strArg == QLatin1String("--")) {
            bEnded = true;
            kept.append(strArg);
            continue;
        }
        const auto valued = [&](const QString &strName, QString *pValue) {
            if (strArg == strName) {
                if (i + 1 >= args.size()) {
                    *pError = QStringLiteral("option %1 needs a value").arg(strName);
                    return false;
                }
                *pValue = args.at(++i);
                return true;
            }
            *pValue = strArg.mid(strName.size() + 1);
            return true;
        };
        if (strArg == QLatin1String("--link") || strArg.startsWith(QLatin1String("--link="))) {
            if (!valued(QStringLiteral("--link"), &pOptions->strLink))
                return false;
        } else if (strArg == QLatin1String("--device") || strArg.startsWith(QLatin1String("--device="))) {
            if (!valued(QStringLiteral("--device"), &pOptions->strDevice))
                return false;
            pOptions->bDeviceGiven = true;
        } else if (strArg == QLatin1String("--progress")) {
            pOptions->nProgress = 1;
        } else if (strArg == QLatin1String("--no-progress")) {
            pOptions->nProgress = 0;
        } else if (strArg == QLatin1String("--help") || strArg == QLatin1String("-h")) {
            pOptions->bHelp = true;
        } else if (strArg == QLatin1String("--version")) {
            pOptions->bVersion = true;
        } else {
            kept.append(strArg);
        }
    }
    args = kept;
    return true;
}

} // namespace

QString CliRunner::UsageText()
{
    QString strText = QStringLiteral(
        "usage: orvoconnect-cli [--link LINK] [--device DEVICE] [--progress | --no-progress] COMMAND [ARGS]\n"
        "       orvoconnect-cli help [COMMAND] | --version\n\n"
        "LINK: usb, usb:VVVV:PPPP[,...], tcp:HOST:PORT or sim:DIR (default: $ORVOCONNECT_LINK, then usb)\n"
        "DEVICE: the recorder's USB serial number or port path BUS-PORT.PORT (default: the \"Device\"\n"
        "        setting, then the first recorder attached)\n\ncommands:\n");
    for (const CliCommand &command : CliCommands()) {
        QString strLine =
            QStringLiteral("  %1 %2").arg(QLatin1String(command.pszName), QLatin1String(command.pszSynopsis));
        strText += strLine.trimmed().prepend(QStringLiteral("  ")) + QLatin1Char('\n');
        strText += QStringLiteral("      ") + QLatin1String(command.pszSummary) + QLatin1Char('\n');
    }
    strText +=
        QStringLiteral("\nexit status: 0 done, 1 communication failed, 2 not deleted, 3 cancelled,\n"
                       "4 recorder stopped the transfer or a file is not on the card, 5 local file error,\n"
                       "7 file exists on the card, 8 card full, 9 no card, 64 usage error,\n"
                       "69 recorder unreachable\n");
    return strText;
}

QString CliRunner::CommandHelpText(const CliCommand &command)
{
    return QStringLiteral("usage: orvoconnect-cli [--link LINK] [--device DEVICE] %1 %2\n\n%3.\n\n%4\n")
        .arg(QLatin1String(command.pszName), QLatin1String(command.pszSynopsis),
             QLatin1String(command.pszSummary), QLatin1String(command.pszHelp));
}

int CliRunner::Run(const QStringList &allArgs)
{
    // The USB link asks for the configured ids and device at each open and each notice.
    UsbSettingsProvider::Set(&UsbSettings::Read);
    QStringList args = allArgs;
    GlobalOptions global;
    QString strError;
    if (!TakeGlobalOptions(args, &global, &strError))
        return CliContext(global.strLink, m_pOut, m_pErr).Usage(strError);
    CliContext context(global.strLink, m_pOut, m_pErr);
    const auto print = [this](const QString &strText) { std::fputs(strText.toUtf8().constData(), m_pOut); };
    if (global.bVersion) {
        std::fprintf(m_pOut, "orvoconnect-cli %s\n", kOrvoVersion);
        return 0;
    }

    if (args.isEmpty()) {
        if (global.bHelp) {
            print(UsageText());
            return 0;
        }
        return context.Usage(QStringLiteral("no command given"));
    }
    if (args.first() == QLatin1String("help")) {
        if (args.size() == 1) {
            print(UsageText());
            return 0;
        }
        const CliCommand *pCommand = FindCliCommand(args.at(1));
        if (!pCommand || args.size() > 2)
            return context.Usage(QStringLiteral("help takes one command name"));
        print(CommandHelpText(*pCommand));
        return 0;
    }
    if (args.first().startsWith(QLatin1Char('-')))
        return context.Usage(QStringLiteral("unknown option %1").arg(args.first()));
    const CliCommand *pCommand = FindCliCommand(args.first());
    if (!pCommand)
        return context.Usage(QStringLiteral("unknown command \"%1\"").arg(args.first()));
    if (global.bHelp) {
        print(CommandHelpText(*pCommand));
        return 0;
    }
    const QStringList commandArgs = args.mid(1);
    if (global.nProgress >= 0)
        context.Progress().SetEnabled(global.nProgress == 1);
    if (global.bDeviceGiven)
        context.SetDevice(global.strDevice);

    // The command runs on a worker thread, so that this process can turn a signal into the
    // stop event while the worker is blocked in a transfer.
    int nStatus = 0;
    {
        SignalWatcher watcher([&context](int nSignal) { context.OnSignal(nSignal); });
        std::thread worker([&] { nStatus = pCommand->pRun(context, commandArgs); });
        worker.join();
    }
    // Output that could not be written (a full disk, a closed pipe with SIGPIPE ignored) must
    // not pass for success: a script would go on with a cut listing.
    errno = 0;
    if (std::fflush(m_pOut) != 0 || std::ferror(m_pOut)) {
        const QString strWhy = errno != 0 ? qt_error_string(errno) : QStringLiteral("write error");
        context.Report(QStringLiteral("cannot write the output: ") + strWhy);
        if (nStatus == RESULT_OK)
            nStatus = RESULT_HOST_IO_ERROR;
    }
    return nStatus;
}
