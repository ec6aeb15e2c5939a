#include "sim/SimServer.h"

#include "sim/RecorderEmulator.h"
#include "sim/SimLog.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> g_bStop{false};

// Polls wake up this often to notice a stop request.
constexpr int STOP_POLL_MS = 200;
constexpr size_t IO_CHUNK = 64 * 1024;
// Pieces of a split reply leave with a pause, so the client really sees them apart.
constexpr auto SPLIT_PAUSE = std::chrono::milliseconds(1);

bool SendAll(int nSocket, const quint8 *pData, size_t nLen)
{
    while (nLen > 0) {
        const ssize_t nRc = ::send(nSocket, pData, nLen, MSG_NOSIGNAL);
        if (nRc < 0 && errno == EINTR)
            continue;
        if (nRc <= 0)
            return false;
        pData += nRc;
        nLen -= size_t(nRc);
    }
    return true;
}

} // namespace

SimServer::SimServer(RecorderEmulator &emulator)
    : m_emulator(emulator)
{}

SimServer::~SimServer()
{
    if (m_nListen >= 0)
        ::close(m_nListen);
}

void SimServer::RequestStop()
{
    g_bStop = true;
}

bool SimServer::Listen(const QString &strHost, quint16 nPort, QString *pError)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo *pList = nullptr;
    const QByteArray host = strHost.toUtf8();
    const QByteArray port = QByteArray::number(nPort);
    if (const int nRc =
            ::getaddrinfo(host.isEmpty() ? nullptr : host.constData(), port.constData(), &hints, &pList)) {
        if (pError)
            *pError =
                QStringLiteral("cannot resolve %1: %2").arg(strHost, QString::fromUtf8(gai_strerror(nRc)));
        return false;
    }
    int nErrno = 0;
    for (addrinfo *p = pList; p && m_nListen < 0; p = p->ai_next) {
        const int nSocket = ::socket(p->ai_family, p->ai_socktype | SOCK_CLOEXEC, p->ai_protocol);
        if (nSocket < 0) {
            nErrno = errno;
            continue;
        }
        const int nOne = 1;
        ::setsockopt(nSocket, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
        if (::bind(nSocket, p->ai_addr, p->ai_addrlen) == 0 && ::listen(nSocket, 1) == 0) {
            m_nListen = nSocket;
            sockaddr_storage address{};
            socklen_t nAddressLen = sizeof address;
            ::getsockname(nSocket, reinterpret_cast<sockaddr *>(&address), &nAddressLen);
            m_nPort = ntohs(address.ss_family == AF_INET6
                                ? reinterpret_cast<const sockaddr_in6 *>(&address)->sin6_port
                                : reinterpret_cast<const sockaddr_in *>(&address)->sin_port);
            break;
        }
        nErrno = errno;
        ::close(nSocket);
    }
    ::freeaddrinfo(pList);
    if (m_nListen < 0 && pError)
        *pError = QStringLiteral("cannot listen on %1:%2: %3")
                      .arg(strHost)
                      .arg(nPort)
                      .arg(QString::fromLocal8Bit(std::strerror(nErrno)));
    return m_nListen >= 0;
}

int SimServer::Run()
{
    while (!g_bStop) {
        pollfd fd{m_nListen, POLLIN, 0};
        const int nRc = ::poll(&fd, 1, STOP_POLL_MS);
        if (nRc < 0 && errno != EINTR)
            return 1;
        if (nRc <= 0)
            continue;
        const int nClient = ::accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient < 0)
            continue;
        const int nOne = 1;
        ::setsockopt(nClient, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof nOne);
        qCInfo(lcSim) << "client connected";
        ServeClient(nClient);
        ::close(nClient);
        qCInfo(lcSim) << "client disconnected";
    }
    return 0;
}

void SimServer::ServeClient(int nClient)
{
    m_emulator.Reset();
    m_emulator.ClearReceivedCodes();
    std::array<quint8, IO_CHUNK> buffer;
    while (!g_bStop) {
        int nWaitMs = STOP_POLL_MS;
        if (const auto due = m_emulator.NextDue()) {
            const auto nLeft =
                std::chrono::duration_cast<std::chrono::milliseconds>(*due - RecorderEmulator::Clock::now())
                    .count();
            nWaitMs = int(std::clamp<qint64>(qint64(nLeft) + 1, 0, STOP_POLL_MS));
        }
        pollfd fd{nClient, POLLIN, 0};
        const int nRc = ::poll(&fd, 1, nWaitMs);
        if (nRc < 0 && errno != EINTR)
            return;
        if (nRc > 0) {
            const ssize_t nGot = ::recv(nClient, buffer.data(), buffer.size(), 0);
            if (nGot == 0 || (nGot < 0 && errno != EINTR && errno != EAGAIN))
                return;
            if (nGot > 0)
                m_emulator.HostWrite(buffer.data(), nGot);
        }
        if (!Flush(nClient))
            return;
    }
}

bool SimServer::Flush(int nClient)
{
    std::array<quint8, IO_CHUNK> buffer;
    bool bFirst = true;
    while (m_emulator.Available() > 0) {
        if (!bFirst && m_emulator.Faults().bSplitReplies)
            std::this_thread::sleep_for(SPLIT_PAUSE);
        bFirst = false;
        const qsizetype nCount = m_emulator.HostRead(buffer.data(), qsizetype(buffer.size()));
        if (!SendAll(nClient, buffer.data(), size_t(nCount)))
            return false;
    }
    return true;
}
