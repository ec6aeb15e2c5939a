#pragma once

#include "link/ITransport.h"

#include <QDeadlineTimer>

#include <memory>

// A recorder reached over a TCP byte stream, such as the emulator's --listen socket.
class TcpTransport final : public ITransport
{
    Q_DISABLE_COPY_MOVE(TcpTransport)

public:
    // How long Open waits for a host to accept the connection.
    static constexpr int CONNECT_TIMEOUT_MS = 5000;

    TcpTransport(QString strHost, quint16 nPort);
    ~TcpTransport() override;

    // "HOST:PORT"; null with *pError set when it does not parse.
    static std::unique_ptr<TcpTransport> FromArgument(const QString &strArgument, QString *pError);

    bool Open(LinkOpenFailure *pFailure) override;
    void Close() override;
    bool IsOpen() const override { return m_nSocket >= 0; }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    // Through an event counter that every wait of the socket watches too.
    void Wake() override;
    bool IsGone() const override { return m_bGone; }
    // A stream has no plug events to announce; reconnecting is a Refresh.
    bool RegisterNotifications(NoticeCallback) override { return true; }

private:
    // Waits for the socket to become ready for the events; false on time-out, error or wake.
    bool WaitReady(short nEvents, const QDeadlineTimer &deadline);
    // Takes a pending wake; true when there was one.
    bool TakeWake();

    QString m_strHost;
    quint16 m_nPort;
    int m_nSocket = -1;
    bool m_bGone = false;
    int m_nWakeFd = -1; // an eventfd; lives as long as the transport
};
