#include "link/TcpTransport.h"

#include "link/LinkLog.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

TcpTransport::TcpTransport(QString strHost, quint16 nPort)
    : m_strHost(std::move(strHost))
    , m_nPort(nPort)
    , m_nWakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{}

TcpTransport::~TcpTransport()
{
    Close();
    if (m_nWakeFd >= 0)
        ::close(m_nWakeFd);
}

void TcpTransport::Wake()
{
    const eventfd_t nOne = 1;
    [[maybe_unused]] const int nRc = ::eventfd_write(m_nWakeFd, nOne);
}

bool TcpTransport::TakeWake()
{
    eventfd_t nCount = 0;
    // Non-blocking: fails with EAGAIN when no wake is pending.
    return m_nWakeFd >= 0 && ::eventfd_read(m_nWakeFd, &nCount) == 0 && nCount > 0;
}

bool TcpTransport::WaitReady(short nEvents, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd fds[2] = {{m_nSocket, nEvents, 0}, {m_nWakeFd, POLLIN, 0}};
        const qint64 nLeft = deadline.remainingTime();
        const int nRc =
            ::poll(fds, m_nWakeFd >= 0 ? 2 : 1, nLeft < 0 ? -1 : int(qMin<qint64>(nLeft, INT_MAX)));
        if (nRc > 0 && (fds[1].revents & POLLIN) && TakeWake()) {
            qCDebug(lcLink) << "tcp wait woken";
            return false;
        }
        if (nRc > 0 && fds[0].revents)
            return true;
        if (nRc == 0)
            return false;
        if (nRc < 0 && errno != EINTR)
            return false;
    }
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
            m_nSocket = nSocket; // for the wait
            const bool bReady = WaitReady(POLLOUT, QDeadlineTimer(CONNECT_TIMEOUT_MS));
            m_nSocket = -1;
            if (bReady) {
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
    if (m_nSocket < 0 || TakeWake())
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
            if (!WaitReady(POLLOUT, deadline))
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
    if (m_nSocket < 0 || nMax <= 0 || TakeWake())
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
            if (!WaitReady(POLLIN, deadline))
                return -1;
            continue;
        }
        m_bGone = true;
        return -1;
    }
}
