#include "protocol/ManualResetEvent.h"

#include <chrono>

ManualResetEvent::ManualResetEvent(bool bSignalled)
    : m_bSignalled(bSignalled)
{}

void ManualResetEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_cond.notify_all();
}

void ManualResetEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_bSignalled = false;
}

bool ManualResetEvent::Wait(int nTimeoutMs) const
{
    std::unique_lock lock(m_mutex);
    if (nTimeoutMs <= 0)
        return m_bSignalled;
    return m_cond.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [this] { return m_bSignalled; });
}
