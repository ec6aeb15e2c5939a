// orvoconnect-sim: the recorder emulator serving a folder as its card over TCP.

#include "core/OrvoBuildInfo.h"
#include "sim/RecorderEmulator.h"
#include "sim/SampleCard.h"
#include "sim/SimServer.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdio>

namespace {

constexpr int EXIT_USAGE = 64;
constexpr int EXIT_NO_INPUT = 66;
constexpr int EXIT_UNAVAILABLE = 69;
constexpr int EXIT_CANT_CREATE = 73;

void PrintUsage()
{
    const QString strUsage =
        QStringLiteral("usage: orvoconnect-sim --card DIR --listen HOST:PORT [--capacity-mb N] "
                       "[fault options]\n"
                       "       orvoconnect-sim --make-sample-card DIR\n"
                       "       orvoconnect-sim --version\n"
                       "fault options:\n") +
        EmulatorFaults::OptionsHelp();
    std::fputs(strUsage.toLocal8Bit().constData(), stderr);
}

int UsageError(const QString &strWhy)
{
    std::fprintf(stderr, "orvoconnect-sim: %s\n", strWhy.toLocal8Bit().constData());
    PrintUsage();
    return EXIT_USAGE;
}

bool ParseListen(const QString &strArgument, QString *pHost, quint16 *pPort)
{
    const qsizetype nColon = strArgument.lastIndexOf(QLatin1Char(':'));
    if (nColon < 0)
        return false;
    bool bOk = false;
    const uint nPort = strArgument.mid(nColon + 1).toUInt(&bOk);
    if (!bOk || nPort > 65535)
        return false;
    QString strHost = strArgument.left(nColon);
    if (strHost.startsWith(QLatin1Char('[')) && strHost.endsWith(QLatin1Char(']')))
        strHost = strHost.mid(1, strHost.size() - 2);
    *pHost = strHost;
    *pPort = quint16(nPort);
    return true;
}

void OnSignal(int)
{
    SimServer::RequestStop();
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

    QString strCard, strListen, strSampleCard;
    quint64 nCapacity = EmulatorCard::DEFAULT_CAPACITY;
    EmulatorFaults faults;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &strArg = args.at(i);
        if (strArg == QLatin1String("-h") || strArg == QLatin1String("--help")) {
            PrintUsage();
            return 0;
        }
        if (strArg == QLatin1String("--version")) {
            std::printf("orvoconnect-sim %s\n", kOrvoVersion);
            return 0;
        }
        if (!strArg.startsWith(QLatin1String("--")))
            return UsageError(QStringLiteral("unexpected argument \"%1\"").arg(strArg));
        QString strName = strArg.mid(2);
        QString strValue;
        bool bInline = false;
        if (const qsizetype nEquals = strName.indexOf(QLatin1Char('=')); nEquals >= 0) {
            strValue = strName.mid(nEquals + 1);
            strName.truncate(nEquals);
            bInline = true;
        }
        const bool bTakesValue = strName == QLatin1String("card") || strName == QLatin1String("listen") ||
                                 strName == QLatin1String("make-sample-card") ||
                                 strName == QLatin1String("capacity-mb") ||
                                 EmulatorFaults::OptionTakesValue(strName);
        if (bTakesValue && !bInline) {
            if (i + 1 >= args.size())
                return UsageError(QStringLiteral("option --%1 needs a value").arg(strName));
            strValue = args.at(++i);
        }
        if (strName == QLatin1String("card")) {
            strCard = strValue;
        } else if (strName == QLatin1String("listen")) {
            strListen = strValue;
        } else if (strName == QLatin1String("make-sample-card")) {
            strSampleCard = strValue;
        } else if (strName == QLatin1String("capacity-mb")) {
            bool bOk = false;
            nCapacity = strValue.toULongLong(&bOk) * 1024 * 1024;
            if (!bOk || nCapacity == 0)
                return UsageError(QStringLiteral("bad capacity \"%1\"").arg(strValue));
        } else {
            QString strError;
            if (!faults.SetOption(strName, strValue, &strError))
                return UsageError(strError);
        }
    }

    if (!strSampleCard.isEmpty()) {
        if (!strCard.isEmpty() || !strListen.isEmpty())
            return UsageError(QStringLiteral("--make-sample-card stands alone"));
        QString strError;
        if (!SampleCard::Make(strSampleCard, &strError)) {
            std::fprintf(stderr, "orvoconnect-sim: %s\n", strError.toLocal8Bit().constData());
            return EXIT_CANT_CREATE;
        }
        return 0;
    }
    if (strCard.isEmpty() || strListen.isEmpty())
        return UsageError(QStringLiteral("--card and --listen are required"));
    QString strHost;
    quint16 nPort = 0;
    if (!ParseListen(strListen, &strHost, &nPort))
        return UsageError(QStringLiteral("bad --listen \"%1\" (expected HOST:PORT)").arg(strListen));
    if (!QFileInfo(strCard).isDir()) {
        std::fprintf(stderr, "orvoconnect-sim: card folder %s does not exist\n",
                     strCard.toLocal8Bit().constData());
        return EXIT_NO_INPUT;
    }

    RecorderEmulator emulator(QFileInfo(strCard).absoluteFilePath(), faults);
    emulator.Card().SetCapacity(nCapacity);
    SimServer server(emulator);
    QString strError;
    if (!server.Listen(strHost, nPort, &strError)) {
        std::fprintf(stderr, "orvoconnect-sim: %s\n", strError.toLocal8Bit().constData());
        return EXIT_UNAVAILABLE;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    // Scripts wait for this line and read the port from it (useful with port 0).
    std::printf("orvoconnect-sim: serving %s on %s:%u\n", strCard.toLocal8Bit().constData(),
                strHost.toLocal8Bit().constData(), unsigned(server.Port()));
    std::fflush(stdout);
    return server.Run();
}
