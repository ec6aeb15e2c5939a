#include "jobs/CJobInitDevice.h"

#include "core/StringIds.h"
#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"

CJobInitDevice::CJobInitDevice(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobInitDevice::CopyForThread() const
{
    return std::unique_ptr<CWorkerThread>(new CJobInitDevice(*this));
}

void CJobInitDevice::ReportStartFailure()
{
    PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
}

int CJobInitDevice::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    bool bFailed = false;
    // A stop seen by one of the checks below ends the job quietly, as a success does; a stop
    // seen inside the file list ends it with a failure text.
    do {
        if (IsStopRequested())
            break;
        PostJobText(m_hNotifyWnd, StringId::IDS_RECEIVING_DEVICE_INFO, JOB_TEXT_NOTICE);
        if (!m_pProtocol || !m_pProtocol->GetDeviceInfo(m_hDataWnd)) {
            PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
            bFailed = true;
            break;
        }

        if (IsStopRequested())
            break;
        PostJobText(m_hNotifyWnd, StringId::IDS_RECEIVING_CF_INFO, JOB_TEXT_NOTICE);
        if (!m_pProtocol->GetCardInfo(m_hDataWnd)) {
            PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
            bFailed = true;
            break;
        }

        if (IsStopRequested())
            break;
        PostJobText(m_hNotifyWnd, StringId::IDS_RECEIVING_FILES_LIST, JOB_TEXT_NOTICE);
        const int nResult = m_pProtocol->ListFiles(StopEvent(), m_hDataWnd);
        if (nResult == RESULT_CANCELLED) {
            PostJobText(m_hNotifyWnd, StringId::IDS_COMM_ABORTED, JOB_TEXT_FAILURE);
            bFailed = true;
        } else if (nResult == RESULT_COMM_ERROR) {
            PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
            bFailed = true;
        }
    } while (false);

    SignalFinished();
    if (!bFailed)
        PostJobClose(m_hNotifyWnd);
    return 0;
}
