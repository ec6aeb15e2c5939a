#include "CliRunner.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#ifdef ORVO_HAVE_SIM
#include "SimTransport.h"
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The tool prints its own messages; the layers' debug chatter stays off unless asked for.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false"));
#ifdef ORVO_HAVE_SIM
    RegisterSimTransport();
#endif
    CliRunner runner(stdout, stderr);
    return runner.Run(QCoreApplication::arguments().mid(1));
}
