#pragma once

#include <QString>
#include <QtGlobal>

class RecorderEmulator;

// Serves the emulator over TCP, one connection at a time: bytes from the client go to the
// emulator, its replies go back as soon as they are due. Each connection starts with the
// recorder idle.
class SimServer final
{
    Q_DISABLE_COPY_MOVE(SimServer)

public:
    explicit SimServer(RecorderEmulator &emulator);
    ~SimServer();

    // Binds and listens; port 0 picks a free port. False with *pError set on failure.
    bool Listen(const QString &strHost, quint16 nPort, QString *pError);
    // The bound port (the chosen one when 0 was asked for).
    quint16 Port() const { return m_nPort; }

    // Serves until RequestStop (safe from a signal handler) or a socket error; returns 0, or
    // 1 on an error.
    int Run();
    static void RequestStop();

private:
    // Serves one client until it disconnects.
    void ServeClient(int nClient);
    bool Flush(int nClient);

    RecorderEmulator &m_emulator;
    int m_nListen = -1;
    quint16 m_nPort = 0;
};
