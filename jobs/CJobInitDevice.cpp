#include "jobs/CJobInitDevice.h"

#include "core/StringIds.h"
#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/RecorderProtocol.h"

#include <functional>
#include <utility>

void CJobInitDevice::ReportStartFailure()
{
    PostResultText(m_hNotifyWnd, ResultTable::Connect, RESULT_COMM_ERROR);
}

int CJobInitDevice::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    const auto read = [](bool bRead) { return bRead ? RESULT_OK : RESULT_COMM_ERROR; };
    // The three reads in order, each announced by its step text.
    const std::pair<quint32, std::function<RecorderResult()>> steps[] = {
        {StringId::IDS_RECEIVING_DEVICE_INFO, [&] { return read(m_pProtocol->GetDeviceInfo(m_hDataWnd)); }},
        {StringId::IDS_RECEIVING_CF_INFO, [&] { return read(m_pProtocol->GetCardInfo(m_hDataWnd)); }},
        {StringId::IDS_RECEIVING_FILES_LIST, [&] { return m_pProtocol->ListFiles(StopEvent(), m_hDataWnd); }},
    };
    bool bFailed = false;
    // A stop seen by the check before each read ends the job quietly, as a success does; a stop
    // seen inside the file list ends it with a failure text.
    for (const auto &[nStepText, exchange] : steps) {
        if (IsStopRequested())
            break;
        PostJobText(m_hNotifyWnd, nStepText, JOB_TEXT_NOTICE);
        const RecorderResult result = m_pProtocol ? exchange() : RecorderResult(RESULT_COMM_ERROR);
        bFailed = PostResultText(m_hNotifyWnd, ResultTable::Connect, result);
        if (bFailed)
            break;
    }
    SignalFinished();
    if (!bFailed)
        PostJobClose(m_hNotifyWnd);
    return 0;
}
