#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

SimProcess::SimProcess(const QString &strCardDir, const QStringList &faults)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Port 0: the emulator picks a free port and prints it.
    m_process.start(QStringLiteral(ORVO_SIM_PATH),
                    QStringList{QStringLiteral("--card"), strCardDir, QStringLiteral("--listen"),
                                QStringLiteral("127.0.0.1:0")} +
                        faults);
    const QRegularExpression serving(QStringLiteral("serving .* on 127\\.0\\.0\\.1:(\\d+)"));
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
        m_strOutput += QString::fromLocal8Bit(m_process.readAll());
        const QRegularExpressionMatch match = serving.match(m_strOutput);
        if (match.hasMatch()) {
            m_nPort = match.captured(1).toInt();
            return;
        }
    }
}

SimProcess::~SimProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString SimProcess::Output()
{
    m_strOutput += QString::fromLocal8Bit(m_process.readAll());
    return m_strOutput;
}
