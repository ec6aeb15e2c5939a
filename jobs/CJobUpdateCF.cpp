#include "jobs/CJobUpdateCF.h"

#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"

CJobUpdateCF::CJobUpdateCF(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobUpdateCF::CopyForThread() const
{
    return std::unique_ptr<CWorkerThread>(new CJobUpdateCF(*this));
}

void CJobUpdateCF::ReportStartFailure()
{
    PostJobResult(m_hNotifyWnd, RESULT_COMM_ERROR, JOB_RESULT_FROM_UPDATE_CF);
}

int CJobUpdateCF::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    const int nResult = m_pProtocol ? m_pProtocol->SaveArchiveData() : RecorderResult(RESULT_COMM_ERROR);
    PostJobResult(m_hNotifyWnd, nResult, JOB_RESULT_FROM_UPDATE_CF);
    SignalFinished();
    return 0;
}
