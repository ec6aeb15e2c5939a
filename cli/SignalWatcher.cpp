#include "cli/SignalWatcher.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe the handler writes to; -1 while no watcher exists.
std::atomic<int> s_nWakeFd{-1};

// Byte that tells the watcher thread to end; signal numbers are never 0.
constexpr unsigned char QUIT_BYTE = 0;

extern "C" void OnSignal(int nSignal)
{
    const int nSavedErrno = errno;
    const int nFd = s_nWakeFd.load();
    if (nFd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(nSignal);
        [[maybe_unused]] const ssize_t nRc = ::write(nFd, &byte, 1);
    }
    errno = nSavedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(Callback callback)
    : m_callback(std::move(callback))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    m_nReadFd = fds[0];
    m_nWriteFd = fds[1];
    // A full pipe must never block the handler; a dropped byte only repeats a signal.
    ::fcntl(m_nWriteFd, F_SETFL, ::fcntl(m_nWriteFd, F_GETFL) | O_NONBLOCK);
    s_nWakeFd.store(m_nWriteFd);

    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
    // A closed terminal or a service manager's reload ends the run cleanly too.
    ::sigaction(SIGHUP, &action, &m_oldHup);

    m_thread = std::thread([this] { Watch(); });
}

SignalWatcher::~SignalWatcher()
{
    if (m_nWriteFd < 0)
        return;
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    ::sigaction(SIGHUP, &m_oldHup, nullptr);
    s_nWakeFd.store(-1);
    if (m_thread.joinable()) {
        const unsigned char byte = QUIT_BYTE;
        while (::write(m_nWriteFd, &byte, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    ::close(m_nReadFd);
    ::close(m_nWriteFd);
}

void SignalWatcher::Watch()
{
    for (;;) {
        unsigned char byte = 0;
        const ssize_t nRc = ::read(m_nReadFd, &byte, 1);
        if (nRc < 0 && errno == EINTR)
            continue;
        if (nRc <= 0 || byte == QUIT_BYTE)
            return;
        m_callback(int(byte));
    }
}
