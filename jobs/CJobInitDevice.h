#pragma once

#include "jobs/RecorderJob.h"

// Reads what is on the recorder: its device information, its card information and the list of
// files. Posts step texts to m_hNotifyWnd, the reports themselves to m_hDataWnd, and WM_CLOSE
// when it ends without a failure.
class CJobInitDevice final : public RecorderJobOf<CJobInitDevice>
{
public:
    using RecorderJobOf::RecorderJobOf;

    PostTarget m_hDataWnd; // receives WM_REC_FILE_ENTRY, WM_REC_DEVICE_INFO, WM_REC_CARD_INFO

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobInitDevice>;
    CJobInitDevice(const CJobInitDevice &) = default;
};
