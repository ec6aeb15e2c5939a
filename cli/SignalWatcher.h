#pragma once

#include <QtGlobal>

#include <csignal>
#include <functional>
#include <thread>

// Turns SIGINT, SIGTERM and SIGHUP into calls on an ordinary thread. The handler only writes the
// signal number into a pipe (all a handler may safely do); a watcher thread reads it and
// runs the callback, which is then free to lock, print and set events. One watcher at a time.
class SignalWatcher final
{
    Q_DISABLE_COPY_MOVE(SignalWatcher)

public:
    using Callback = std::function<void(int nSignal)>;

    explicit SignalWatcher(Callback callback);
    // Restores the previous handlers and stops the watcher thread.
    ~SignalWatcher();

    bool IsActive() const { return m_thread.joinable(); }

private:
    void Watch();

    Callback m_callback;
    int m_nReadFd = -1;
    int m_nWriteFd = -1;
    struct sigaction m_oldInt
    {
    };
    struct sigaction m_oldTerm
    {
    };
    struct sigaction m_oldHup
    {
    };
    std::thread m_thread;
};
