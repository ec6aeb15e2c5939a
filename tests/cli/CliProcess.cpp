#include "CliProcess.h"

void CliProcess::Start(QProcess &process, const QStringList &args, const QStringList &env)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ORVOCONNECT_LINK"));
    environment.remove(QStringLiteral("QT_LOGGING_RULES"));
    for (const QString &strEntry : env) {
        const qsizetype nEquals = strEntry.indexOf(QLatin1Char('='));
        environment.insert(strEntry.left(nEquals), strEntry.mid(nEquals + 1));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVO_CLI_PATH), args);
}

CliRun CliProcess::Run(const QStringList &args, const QString &strWorkDir, const QStringList &env,
                       int nTimeoutMs)
{
    QProcess process;
    if (!strWorkDir.isEmpty())
        process.setWorkingDirectory(strWorkDir);
    Start(process, args, env);
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
