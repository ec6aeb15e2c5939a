#include "cli/CliRunner.h"
#include "sim/SimTransport.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The tool prints its own messages, which carry the protocol's reasons; the layers' debug
    // chatter and the protocol's duplicate warnings stay off unless asked for.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false\norvo.protocol.warning=false"));
    RegisterSimTransport();
    CliRunner runner(stdout, stderr);
    return runner.Run(QCoreApplication::arguments().mid(1));
}
