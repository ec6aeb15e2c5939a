#include "link/TcpTransport.h"

#include "link/LinkLog.h"

#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits for the socket to become ready for the given events; false on time-out or error.
bool WaitReady(int nSocket, short nEvents, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd fd{nSocket, nEvents, 0};
        const qint64 nLeft = deadline.remainingTime();
        const int nRc = ::poll(&fd, 1, nLeft < 0 ? -1 : int(qMin<qint64>(nLeft, INT_MAX)));
        if (nRc > 0)
            return true;
        if (nRc == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

TcpTransport::TcpTransport(QString strHost, quint16 nPort)
    : m_strHost(std::move(strHost))
    , m_nPort(nPort)
{}

TcpTransport::~TcpTransport()
{
    Close();
}

std::unique_ptr<TcpTransport> TcpTransport::FromArgument(const QString &strArgument, QString *pError)
{
    const qsizetype nColon = strArgument.lastIndexOf(QLatin1Char(':'));
    bool bOk = false;
    const uint nPort = nColon > 0 ? strArgument.mid(nColon + 1).toUInt(&bOk) : 0;
    if (!bOk || nPort == 0 || nPort > 65535) {
        if (pError)
            *pError = QStringLiteral("invalid link \"tcp:%1\" (expected tcp:HOST:PORT)").arg(strArgument);
        return nullptr;
    }
    QString strHost = strArgument.left(nColon);
    if (strHost.startsWith(QLatin1Char('[')) && strHost.endsWith(QLatin1Char(']')))
        strHost = strHost.mid(1, strHost.size() - 2);
    return std::make_unique<TcpTransport>(strHost, quint16(nPort));
}

bool TcpTransport::Open(LinkOpenFailure *pFailure)
{
    Close();
    m_bGone = false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *pList = nullptr;
    const QByteArray host = m_strHost.toUtf8();
    const QByteArray port = QByteArray::number(m_nPort);
    if (const int nRc = ::getaddrinfo(host.constData(), port.constData(), &hints, &pList)) {
        if (pFailure)
            *pFailure = LinkOpenFailure::Described(
                QStringLiteral("cannot resolve %1: %2").arg(m_strHost, QString::fromUtf8(gai_strerror(nRc))));
        return false;
    }
    int nLastErrno = 0;
    for (addrinfo *p = pList; p; p = p->ai_next) {
        const int nSocket = ::socket(p->ai_family, p->ai_socktype | SOCK_CLOEXEC, p->ai_protocol);
        if (nSocket < 0) {
            nLastErrno = errno;
            continue;
        }
        // Connect without blocking, so an unreachable host costs one time-out, not the
        // system's minutes of SYN retries on the thread that opens the link.
        ::fcntl(nSocket, F_SETFL, ::fcntl(nSocket, F_GETFL) | O_NONBLOCK);
        int nRc = ::connect(nSocket, p->ai_addr, p->ai_addrlen);
        if (nRc < 0 && errno == EINPROGRESS) {
            if (WaitReady(nSocket, POLLOUT, QDeadlineTimer(CONNECT_TIMEOUT_MS))) {
                int nError = 0;
                socklen_t nSize = sizeof nError;
                ::getsockopt(nSocket, SOL_SOCKET, SO_ERROR, &nError, &nSize);
                nRc = nError == 0 ? 0 : -1;
                errno = nError;
            } else {
                errno = ETIMEDOUT;
            }
        }
        if (nRc == 0) {
            const int nOne = 1;
            ::setsockopt(nSocket, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof nOne);
            m_nSocket = nSocket;
            break;
        }
        nLastErrno = errno;
        ::close(nSocket);
    }
    ::freeaddrinfo(pList);
    if (m_nSocket < 0 && pFailure)
        *pFailure = LinkOpenFailure::Described(QStringLiteral("cannot connect to %1:%2: %3")
                                                   .arg(m_strHost)
                                                   .arg(m_nPort)
                                                   .arg(QString::fromLocal8Bit(std::strerror(nLastErrno))));
    return m_nSocket >= 0;
}

void TcpTransport::Close()
{
    if (m_nSocket >= 0) {
        ::close(m_nSocket);
        m_nSocket = -1;
    }
}

bool TcpTransport::Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs)
{
    if (m_nSocket < 0)
        return false;
    const QDeadlineTimer deadline(nTimeoutMs);
    qsizetype nDone = 0;
    while (nDone < nLen) {
        const ssize_t nRc = ::send(m_nSocket, pData + nDone, size_t(nLen - nDone), MSG_NOSIGNAL);
        if (nRc > 0) {
            nDone += nRc;
            continue;
        }
        if (nRc < 0 && errno == EINTR)
            continue;
        if (nRc < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitReady(m_nSocket, POLLOUT, deadline))
                return false;
            continue;
        }
        m_bGone = true;
        qCDebug(lcLink) << "tcp send failed:" << std::strerror(errno);
        return false;
    }
    return true;
}

qsizetype TcpTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    if (m_nSocket < 0 || nMax <= 0)
        return -1;
    const QDeadlineTimer deadline(nTimeoutMs);
    for (;;) {
        const ssize_t nRc = ::recv(m_nSocket, pData, size_t(nMax), 0);
        if (nRc > 0)
            return nRc;
        if (nRc == 0) {
            m_bGone = true;
            qCDebug(lcLink) << "tcp peer closed the connection";
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!WaitReady(m_nSocket, POLLIN, deadline))
                return -1;
            continue;
        }
        m_bGone = true;
        return -1;
    }
}
