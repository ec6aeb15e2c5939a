#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <thread>

// A scripted recorder on a local TCP port, for what the emulator cannot be made to do: list
// names that no folder can hold ("..", "a/b") and send a download slowly enough to interrupt
// it. It answers one connection at a time and records the codes the host sent.
class FakeRecorderServer final
{
    Q_DISABLE_COPY_MOVE(FakeRecorderServer)

public:
    struct File
    {
        QString strName;
        quint32 nSize = 0;
    };

    FakeRecorderServer(QList<File> files, int nBlockDelayMs = 0);
    ~FakeRecorderServer();

    bool IsListening() const { return m_nPort > 0; }
    // From now on the file list goes on after the files, with made-up names, and never ends.
    void ListWithoutEnd() { m_bListWithoutEnd = true; }
    QString LinkName() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(m_nPort); }
    QList<quint16> ReceivedCodes() const;

private:
    void Serve();
    void HandleConnection(int nSocket);

    QList<File> m_files;
    int m_nBlockDelayMs;
    int m_nListenSocket = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bQuit{false};
    std::atomic<bool> m_bListWithoutEnd{false};
    mutable std::mutex m_mutex;
    QList<quint16> m_receivedCodes;
    std::thread m_thread;
};
