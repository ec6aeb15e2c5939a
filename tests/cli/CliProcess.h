#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the real orvoconnect-cli binary and keeps what it printed.
struct CliRun
{
    int nExit = -1;
    QString strOut;
    QString strErr;
};

class CliProcess final
{
public:
    static QString Program();

    // Runs to completion (at most nTimeoutMs) in strWorkDir with extra environment entries.
    static CliRun Run(const QStringList &args, const QString &strWorkDir = QString(),
                      const QStringList &env = {}, int nTimeoutMs = 60000);

    // The environment every run starts from: no inherited link choice, quiet logs.
    static QProcessEnvironment BaseEnvironment();
};
