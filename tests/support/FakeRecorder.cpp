#include "support/FakeRecorder.h"

#include "core/LittleEndian.h"
#include "link/Frame.h"
#include "sim/SimTransport.h"
#include "support/TestFiles.h"

#include <QDir>

#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

PostTarget PostLog::Target(std::function<bool()> isFinished)
{
    return PostTarget::ForFunction([this, isFinished = std::move(isFinished)](PostedMessage &&message) {
        Entry entry;
        static_cast<PostedMessage &>(entry) = std::move(message);
        entry.bAfterFinished = isFinished && isFinished();
        std::lock_guard lock(m_mutex);
        m_posts.append(std::move(entry));
    });
}

QList<PostLog::Entry> PostLog::Posts() const
{
    std::lock_guard lock(m_mutex);
    return m_posts;
}

QList<PostLog::Entry> PostLog::Of(quint32 nMessage) const
{
    QList<Entry> found;
    for (const Entry &entry : Posts())
        if (entry.nMessage == nMessage)
            found.append(entry);
    return found;
}

QList<QPair<quint32, quint32>> PostLog::Progress() const
{
    QList<QPair<quint32, quint32>> reports;
    for (const Entry &entry : Of(WM_JOB_PROGRESS))
        reports.append({entry.Get<ProgressPost>()->nSoFar, entry.Get<ProgressPost>()->nTotal});
    return reports;
}

void PostLog::Clear()
{
    std::lock_guard lock(m_mutex);
    m_posts.clear();
}

namespace {

std::unique_ptr<ITransport> Intercepted(const std::shared_ptr<RecorderEmulator> &pEmulator,
                                        InterceptingTransport **ppWire)
{
    auto pWire = std::make_unique<InterceptingTransport>(std::make_unique<SimTransport>(pEmulator));
    *ppWire = pWire.get();
    return pWire;
}

QString MadePath(const QString &strPath)
{
    QDir().mkpath(strPath);
    return strPath;
}

} // namespace

FakeRecorder::FakeRecorder(const QMap<QString, QByteArray> &files, const EmulatorFaults &faults)
    : m_strCard(MadePath(m_root.filePath(QStringLiteral("card"))))
    , m_strOut(MadePath(m_root.filePath(QStringLiteral("out"))))
    , pEmulator(std::make_shared<RecorderEmulator>(m_strCard, faults))
    , link(Intercepted(pEmulator, &pWire))
    , protocol(link)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        PutCardFile(it.key(), it.value());
    target = posts.Target();
    link.SetTimeoutMs(LINK_TIMEOUT_MS);
    link.Open();
}

FakeRecorder::~FakeRecorder()
{
    m_bQuit = true;
    if (m_server.joinable())
        m_server.join();
    if (m_nListen >= 0)
        ::close(m_nListen);
}

bool FakeRecorder::PutCardFile(const QString &strName, const QByteArray &bytes, const QDateTime &modified)
{
    return TestFiles::Write(CardPath(strName), bytes, modified);
}

QByteArray FakeRecorder::CardFile(const QString &strName) const
{
    QFile file(CardPath(strName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList FakeRecorder::CardFiles() const
{
    return QDir(m_strCard).entryList(QDir::Files, QDir::Name);
}

QString FakeRecorder::ServeTcp()
{
    if (m_server.joinable())
        return QString();
    m_nListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLen = sizeof address;
    if (m_nListen < 0 || ::bind(m_nListen, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_nListen, 1) != 0 ||
        ::getsockname(m_nListen, reinterpret_cast<sockaddr *>(&address), &nLen) != 0)
        return QString();
    m_server = std::thread([this] { Serve(); });
    return QStringLiteral("tcp:127.0.0.1:%1").arg(ntohs(address.sin_port));
}

void FakeRecorder::Serve()
{
    while (!m_bQuit) {
        pollfd fd{m_nListen, POLLIN, 0};
        if (::poll(&fd, 1, 20) <= 0)
            continue;
        const int nClient = ::accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient < 0)
            continue;
        const int nOne = 1;
        ::setsockopt(nClient, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof nOne);
        // Each connection finds the recorder idle, as after plugging it in.
        Replug();
        while (!m_bQuit && ServeClient(nClient)) {
        }
        ::close(nClient);
    }
}

void FakeRecorder::FromHost(const quint8 *pData, qsizetype nLen)
{
    m_fromHost.append(reinterpret_cast<const char *>(pData), nLen);
    while (m_fromHost.size() >= qsizetype(Frame::HEADER_SIZE)) {
        const auto *pFrame = reinterpret_cast<const quint8 *>(m_fromHost.constData());
        const qsizetype nLength =
            qMax<qsizetype>(Frame::BLOCK_SIZE, LittleEndian::U32(pFrame + Frame::OFFSET_LENGTH));
        if (m_fromHost.size() < nLength)
            break;
        pWire->Write(pFrame, nLength, LINK_TIMEOUT_MS);
        m_fromHost.remove(0, nLength);
    }
}

void FakeRecorder::Replug()
{
    m_fromHost.clear();
    pWire->Close();
    pWire->Open(nullptr);
}

// One round: the host's whole frames go on through the wire one write each; whatever the
// recorder says comes back. False once the client has gone.
bool FakeRecorder::ServeClient(int nClient)
{
    pollfd fd{nClient, POLLIN, 0};
    if (::poll(&fd, 1, 1) > 0) {
        char buffer[64 * 1024];
        const ssize_t nGot = ::recv(nClient, buffer, sizeof buffer, 0);
        if (nGot == 0 || (nGot < 0 && errno != EINTR && errno != EAGAIN))
            return false;
        if (nGot > 0)
            FromHost(reinterpret_cast<const quint8 *>(buffer), nGot);
    }
    quint8 reply[64 * 1024];
    const qsizetype nRead = pWire->Read(reply, sizeof reply, 1);
    for (qsizetype nSent = 0; nRead > 0 && nSent < nRead;) {
        const ssize_t nRc = ::send(nClient, reply + nSent, size_t(nRead - nSent), MSG_NOSIGNAL);
        if (nRc <= 0 && errno != EINTR)
            return false;
        nSent += qMax<ssize_t>(nRc, 0);
    }
    // An unplugged recorder drops the connection, as a real one vanishing would.
    return !pWire->IsGone();
}
