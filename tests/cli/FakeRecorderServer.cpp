#include "FakeRecorderServer.h"

#include "link/Frame.h"
#include "link/ITransport.h"
#include "link/RecorderLink.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The accepted socket seen from the recorder's side, so the fake can use Frame as the host does.
class SocketTransport final : public ITransport
{
public:
    explicit SocketTransport(int nSocket)
        : m_nSocket(nSocket)
    {}
    bool Open(LinkOpenFailure *) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Write(const quint8 *pData, qsizetype nLen, int) override
    {
        for (qsizetype nDone = 0; nDone < nLen;) {
            const ssize_t nRc = ::send(m_nSocket, pData + nDone, size_t(nLen - nDone), MSG_NOSIGNAL);
            if (nRc <= 0)
                return false;
            nDone += nRc;
        }
        return true;
    }
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override
    {
        pollfd fd{m_nSocket, POLLIN, 0};
        if (::poll(&fd, 1, nTimeoutMs) <= 0)
            return -1;
        const ssize_t nRc = ::recv(m_nSocket, pData, size_t(nMax), 0);
        return nRc > 0 ? nRc : -1;
    }

private:
    int m_nSocket;
};

void PutText(Frame &frame, quint32 nOffset, const QString &strText)
{
    for (qsizetype i = 0; i < strText.size(); ++i)
        frame.SetU16(nOffset + quint32(2 * i), strText.at(i).unicode());
    frame.SetU16(nOffset + quint32(2 * strText.size()), 0);
}

} // namespace

FakeRecorderServer::FakeRecorderServer(QList<File> files, int nBlockDelayMs)
    : m_files(std::move(files))
    , m_nBlockDelayMs(nBlockDelayMs)
{
    m_nListenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLen = sizeof(address);
    if (m_nListenSocket < 0 || ::bind(m_nListenSocket, reinterpret_cast<sockaddr *>(&address), nLen) != 0 ||
        ::listen(m_nListenSocket, 4) != 0 ||
        ::getsockname(m_nListenSocket, reinterpret_cast<sockaddr *>(&address), &nLen) != 0)
        return;
    m_nPort = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

FakeRecorderServer::~FakeRecorderServer()
{
    m_bQuit = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_nListenSocket >= 0)
        ::close(m_nListenSocket);
}

QList<quint16> FakeRecorderServer::ReceivedCodes() const
{
    std::lock_guard lock(m_mutex);
    return m_receivedCodes;
}

void FakeRecorderServer::Serve()
{
    while (!m_bQuit) {
        pollfd fd{m_nListenSocket, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0)
            continue;
        const int nSocket = ::accept4(m_nListenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (nSocket < 0)
            continue;
        HandleConnection(nSocket);
        ::close(nSocket);
    }
}

void FakeRecorderServer::HandleConnection(int nSocket)
{
    RecorderLink link(std::make_unique<SocketTransport>(nSocket));
    link.SetTimeoutMs(100);
    Frame request;
    Frame reply;
    auto receive = [&]() -> bool {
        while (!m_bQuit) {
            if (request.Receive(link) == 0) {
                std::lock_guard lock(m_mutex);
                m_receivedCodes.append(request.Code());
                return true;
            }
            if (link.IsGone())
                return false;
            // A time-out only means the host is quiet; a closed socket ends the session.
            char byte;
            if (::recv(nSocket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
                return false;
        }
        return false;
    };

    while (receive()) {
        switch (request.Code()) {
        case CMD_GET_DEVICE_INFO:
            PutText(reply, Frame::HEADER_SIZE, QStringLiteral("Fake recorder"));
            reply.Prepare(RSP_OK, 64);
            reply.Send(link);
            break;
        case CMD_GET_CARD_INFO:
            PutText(reply, CARD_INFO_TEXT_OFFSET, QStringLiteral("Fake card"));
            reply.Prepare(RSP_OK, 64);
            reply.Send(link);
            break;
        case CMD_LIST_FILES:
            for (qsizetype i = 0; i <= m_files.size() || m_bListWithoutEnd; ++i) {
                RecorderFileEntry entry;
                if (i < m_files.size()) {
                    entry.SetName(m_files.at(i).strName);
                    entry.SetSizeLow(m_files.at(i).nSize);
                } else if (m_bListWithoutEnd) {
                    entry.SetName(QStringLiteral("F%1.DAT").arg(i));
                }
                std::memcpy(reply.Payload(), entry.Bytes(), RecorderFileEntry::SIZE);
                reply.Prepare(RSP_OK, RecorderFileEntry::SIZE);
                if (reply.Send(link) || !receive() || request.Code() != CMD_ACK)
                    break;
            }
            break;
        case CMD_GET_FILE: {
            // Every file holds its size in 'x' bytes, sent in 1000-byte blocks.
            constexpr quint32 BLOCK = 1000;
            const QString strName = QString::fromUtf16(reinterpret_cast<const char16_t *>(request.Payload()));
            quint32 nSize = 0;
            for (const File &file : std::as_const(m_files)) {
                if (file.strName == strName)
                    nSize = file.nSize;
            }
            quint32 nSent = 0;
            do {
                const quint32 nCount = qMin(BLOCK, nSize - nSent);
                reply.SetU32(BLOCK_OFFSET_TOTAL, nSize);
                reply.SetU32(BLOCK_OFFSET_POSITION, nSent);
                reply.SetU32(BLOCK_OFFSET_COUNT, nCount);
                std::memset(reply.Data() + BLOCK_OFFSET_DATA, 'x', nCount);
                reply.Prepare(RSP_FILE_BLOCK, nCount + 12);
                if (m_nBlockDelayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(m_nBlockDelayMs));
                if (reply.Send(link) || !receive() || request.Code() != CMD_ACK)
                    break;
                nSent += nCount;
            } while (nSent < nSize);
            break;
        }
        default:
            reply.Prepare(RSP_OK, 0);
            reply.Send(link);
            break;
        }
    }
}
