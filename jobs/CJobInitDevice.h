#pragma once

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

class RecorderProtocol;

// Reads what is on the recorder: its device information, its card information and the list of
// files. Posts step texts to m_hNotifyWnd, the reports themselves to m_hDataWnd, and WM_CLOSE
// when it ends without a failure.
class CJobInitDevice final : public CWorkerThread
{
public:
    explicit CJobInitDevice(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch.
    PostTarget m_hNotifyWnd;
    PostTarget m_hDataWnd; // receives WM_REC_FILE_ENTRY, WM_REC_DEVICE_INFO, WM_REC_CARD_INFO

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobInitDevice(const CJobInitDevice &) = default;

    RecorderProtocol *m_pProtocol;
};
