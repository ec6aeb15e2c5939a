#include "CliRunner.h"
#include "SimTransport.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The tool prints its own messages; the layers' debug chatter stays off unless asked for.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false"));
    RegisterSimTransport();
    CliRunner runner(stdout, stderr);
    return runner.Run(QCoreApplication::arguments().mid(1));
}
