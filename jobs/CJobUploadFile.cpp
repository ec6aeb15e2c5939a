#include "jobs/CJobUploadFile.h"

#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"

CJobUploadFile::CJobUploadFile(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobUploadFile::CopyForThread() const
{
    return std::unique_ptr<CWorkerThread>(new CJobUploadFile(*this));
}

void CJobUploadFile::ReportStartFailure()
{
    PostJobResult(m_hNotifyWnd, RESULT_COMM_ERROR, JOB_RESULT_FROM_UPLOAD);
}

int CJobUploadFile::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    const int nResult = m_pProtocol
                            ? m_pProtocol->PutFile(StopEvent(), m_hNotifyWnd, m_strFilePath, m_bOverwrite)
                            : RecorderResult(RESULT_COMM_ERROR);
    PostJobResult(m_hNotifyWnd, nResult, JOB_RESULT_FROM_UPLOAD);
    SignalFinished();
    return 0;
}
