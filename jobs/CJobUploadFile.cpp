#include "jobs/CJobUploadFile.h"

#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/RecorderProtocol.h"

void CJobUploadFile::ReportStartFailure()
{
    PostJobResult(m_hNotifyWnd, RESULT_COMM_ERROR, JOB_RESULT_FROM_UPLOAD);
}

int CJobUploadFile::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    PostJobResult(m_hNotifyWnd,
                  m_pProtocol ? m_pProtocol->PutFile(StopEvent(), m_hNotifyWnd, m_strFilePath, m_bOverwrite)
                              : RecorderResult(RESULT_COMM_ERROR),
                  JOB_RESULT_FROM_UPLOAD);
    SignalFinished();
    return 0;
}
