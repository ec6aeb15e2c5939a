#pragma once

#include <QProcess>
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
    // Starts it without waiting (for a test that signals it or redirects its output), with no
    // inherited link choice, quiet logs and the extra environment entries ("NAME=value").
    static void Start(QProcess &process, const QStringList &args, const QStringList &env = {});

    // Runs to completion (at most nTimeoutMs) in strWorkDir.
    static CliRun Run(const QStringList &args, const QString &strWorkDir = QString(),
                      const QStringList &env = {}, int nTimeoutMs = 60000);
};
