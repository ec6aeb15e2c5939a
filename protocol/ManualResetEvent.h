#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>

// An event that stays signalled until reset, like the desktop's manual-reset event objects.
class ManualResetEvent final
{
    Q_DISABLE_COPY_MOVE(ManualResetEvent)

public:
    explicit ManualResetEvent(bool bSignalled = false);

    void Set();
    void Reset();
    // True when signalled within nTimeoutMs; 0 only looks.
    bool Wait(int nTimeoutMs) const;
    bool IsSet() const { return Wait(0); }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cond;
    bool m_bSignalled;
};
