#include "CliProcess.h"

#include <QProcess>

QString CliProcess::Program()
{
    return QStringLiteral(ORVO_CLI_PATH);
}

QProcessEnvironment CliProcess::BaseEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVOCONNECT_LINK"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    return env;
}

CliRun CliProcess::Run(const QStringList &args, const QString &strWorkDir, const QStringList &env,
                       int nTimeoutMs)
{
    QProcess process;
    QProcessEnvironment environment = BaseEnvironment();
    for (const QString &strEntry : env) {
        const qsizetype nEquals = strEntry.indexOf(QLatin1Char('='));
        environment.insert(strEntry.left(nEquals), strEntry.mid(nEquals + 1));
    }
    process.setProcessEnvironment(environment);
    if (!strWorkDir.isEmpty())
        process.setWorkingDirectory(strWorkDir);
    process.start(Program(), args);
    CliRun run;
    if (!process.waitForFinished(nTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.strErr = QStringLiteral("<timed out>");
        return run;
    }
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}
