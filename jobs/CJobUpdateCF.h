#pragma once

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

class RecorderProtocol;

// Makes the recorder save the archive data it holds in memory to its card, and posts the result
// code. The save cannot be cancelled.
class CJobUpdateCF final : public CWorkerThread
{
public:
    explicit CJobUpdateCF(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch.
    PostTarget m_hNotifyWnd;

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobUpdateCF(const CJobUpdateCF &) = default;

    RecorderProtocol *m_pProtocol;
};
