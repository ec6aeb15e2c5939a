#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real orvoconnect-sim serving a card folder on a free local port, for as long as the
// object lives.
class SimProcess final
{
    Q_DISABLE_COPY_MOVE(SimProcess)

public:
    // Starts the emulator with fault options; IsRunning() tells whether it came up.
    explicit SimProcess(const QString &strCardDir, const QStringList &faults = {});
    ~SimProcess();

    bool IsRunning() const { return m_nPort > 0; }
    QString LinkName() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(m_nPort); }
    // What it printed so far, for failure messages.
    QString Output();

private:
    QProcess m_process;
    int m_nPort = 0;
    QString m_strOutput;
};
