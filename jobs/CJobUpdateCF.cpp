#include "jobs/CJobUpdateCF.h"

#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/RecorderProtocol.h"

void CJobUpdateCF::ReportStartFailure()
{
    PostJobResult(m_hNotifyWnd, RESULT_COMM_ERROR, JOB_RESULT_FROM_UPDATE_CF);
}

int CJobUpdateCF::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    PostJobResult(m_hNotifyWnd,
                  m_pProtocol ? m_pProtocol->SaveArchiveData() : RecorderResult(RESULT_COMM_ERROR),
                  JOB_RESULT_FROM_UPDATE_CF);
    SignalFinished();
    return 0;
}
