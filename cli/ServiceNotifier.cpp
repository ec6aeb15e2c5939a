#include "cli/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

void ServiceNotifier::Ready(const QString &strStatus)
{
    Send(QStringLiteral("READY=1"), strStatus);
}

void ServiceNotifier::Status(const QString &strStatus)
{
    Send(QString(), strStatus);
}

void ServiceNotifier::Stopping(const QString &strStatus)
{
    Send(QStringLiteral("STOPPING=1"), strStatus);
}

void ServiceNotifier::Send(const QString &strState, const QString &strStatus)
{
    // One assignment a line: a line break inside the status would start another.
    QString strStatusLine = strStatus;
    strStatusLine.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    QString strMessage = QStringLiteral("STATUS=") + strStatusLine;
    if (!strState.isEmpty())
        strMessage = strState + QLatin1Char('\n') + strMessage;
    // The watch goes on whether or not anyone listens: the result is of no use to it.
    sd_notify(0, strMessage.toUtf8().constData());
}
