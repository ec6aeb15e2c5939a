#include "CliRunner.h"

#include "CliCommand.h"
#include "CliContext.h"
#include "OrvoBuildInfo.h"
#include "ProtocolCodes.h"
#include "ResultText.h"
#include "SignalWatcher.h"
#include "TransportRegistry.h"

#include <cerrno>
#include <thread>

QString CliRunner::UsageText()
{
    QString strText = QStringLiteral("usage: orvoconnect-cli [--link LINK] COMMAND [ARGS]\n"
                                     "       orvoconnect-cli --version | --help\n\n"
                                     "LINK: usb, tcp:HOST:PORT or sim:DIR (default: $ORVOCONNECT_LINK, "
                                     "then usb)\n\ncommands:\n");
    for (const CliCommand &command : CliCommands()) {
        QString strLine =
            QStringLiteral("  %1 %2").arg(QLatin1String(command.pszName), QLatin1String(command.pszSynopsis));
        strText += strLine.trimmed().prepend(QStringLiteral("  ")) + QLatin1Char('\n');
        strText += QStringLiteral("      ") + QLatin1String(command.pszSummary) + QLatin1Char('\n');
    }
    strText += QStringLiteral("\nexit status: 0 done, 1 communication failed, 2 not deleted, 3 cancelled,\n"
                              "4 recorder stopped the transfer, 5 local file error, 7 file exists on the "
                              "card,\n8 card full, 9 no card, 64 usage error, 69 recorder unreachable\n");
    return strText;
}

int CliRunner::Run(const QStringList &args)
{
    QString strLink = TransportRegistry::DefaultLinkName();
    qsizetype i = 0;
    for (; i < args.size(); ++i) {
        const QString &strArg = args.at(i);
        if (strArg == QLatin1String("--help") || strArg == QLatin1String("-h")) {
            std::fputs(UsageText().toUtf8().constData(), m_pOut);
            return 0;
        }
        if (strArg == QLatin1String("--version")) {
            std::fprintf(m_pOut, "orvoconnect-cli %s\n", kOrvoVersion);
            return 0;
        }
        if (strArg == QLatin1String("--link")) {
            if (i + 1 >= args.size())
                return CliContext(strLink, m_pOut, m_pErr)
                    .Usage(QStringLiteral("option --link needs a value"));
            strLink = args.at(++i);
        } else if (strArg.startsWith(QLatin1String("--link="))) {
            strLink = strArg.mid(7);
        } else {
            break;
        }
    }

    CliContext context(strLink, m_pOut, m_pErr);
    if (i >= args.size())
        return context.Usage(QStringLiteral("no command given"));
    if (args.at(i).startsWith(QLatin1Char('-')))
        return context.Usage(QStringLiteral("unknown option %1").arg(args.at(i)));
    const CliCommand *pCommand = FindCliCommand(args.at(i));
    if (!pCommand)
        return context.Usage(QStringLiteral("unknown command \"%1\"").arg(args.at(i)));
    const QStringList commandArgs = args.mid(i + 1);

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
