#pragma once

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

#include <memory>

class RecorderProtocol;

// Base of the five jobs: the protocol they run on and the window that receives their posts.
// Every job holds its inputs by value, so the copy a worker thread runs on is its own.
class RecorderJob : public CWorkerThread
{
public:
    // Filled by the owning dialog before Launch, like the inputs of each job.
    PostTarget m_hNotifyWnd;

protected:
    explicit RecorderJob(RecorderProtocol *pProtocol)
        : CWorkerThread(0, 0)
        , m_pProtocol(pProtocol)
    {}
    RecorderJob(const RecorderJob &) = default;

    RecorderProtocol *m_pProtocol;
};

// Gives the job TJob the copy its thread runs on. TJob keeps its copy constructor private and
// befriends this class.
template <class TJob> class RecorderJobOf : public RecorderJob
{
public:
    // The jobs take this constructor over; without a protocol every exchange fails.
    explicit RecorderJobOf(RecorderProtocol *pProtocol = nullptr)
        : RecorderJob(pProtocol)
    {}

protected:
    std::unique_ptr<CWorkerThread> CopyForThread() const override
    {
        return std::unique_ptr<CWorkerThread>(new TJob(static_cast<const TJob &>(*this)));
    }
};
