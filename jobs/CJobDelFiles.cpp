#include "jobs/CJobDelFiles.h"

#include "core/StringIds.h"
#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"

CJobDelFiles::CJobDelFiles(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobDelFiles::CopyForThread() const
{
    std::unique_ptr<CJobDelFiles> pCopy(new CJobDelFiles(*this));
    pCopy->m_fileNames = m_pFileNames ? *m_pFileNames : QStringList();
    pCopy->m_pFileNames = nullptr;
    return pCopy;
}

void CJobDelFiles::ReportStartFailure()
{
    PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
    PostJobClose(m_hNotifyWnd);
}

int CJobDelFiles::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    bool bFailed = false;
    for (const QString &strName : std::as_const(m_fileNames)) {
        if (IsStopRequested())
            break;
        const int nResult =
            m_pProtocol ? m_pProtocol->DeleteCardFile(strName) : RecorderResult(RESULT_COMM_ERROR);
        if (nResult == RESULT_COMM_ERROR) {
            PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
            bFailed = true;
            break;
        }
        const quint32 nLine =
            nResult == RESULT_NOT_DELETED ? StringId::IDS_FILE_NOT_DELETED : StringId::IDS_FILE_DELETED;
        PostJobTextWith(m_hNotifyWnd, nLine, strName, JOB_TEXT_NOTICE);
    }
    SignalFinished();
    // Also after a stop request: the files handled so far are listed, the rest left alone.
    if (!bFailed)
        PostJobText(m_hNotifyWnd, StringId::IDS_OPERATION_COMPLETED, JOB_TEXT_NOTICE);
    PostJobClose(m_hNotifyWnd);
    return 0;
}
