#pragma once

#include "link/ITransport.h"

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
    bool IsGone() const override { return m_bGone; }
    // A stream has no plug events to announce; reconnecting is a Refresh.
    bool RegisterNotifications(NoticeCallback) override { return true; }

private:
    QString m_strHost;
    quint16 m_nPort;
    int m_nSocket = -1;
    bool m_bGone = false;
};
