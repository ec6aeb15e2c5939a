#include "jobs/CJobDelFiles.h"

#include "core/StringIds.h"
#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/RecorderProtocol.h"

void CJobDelFiles::ReportStartFailure()
{
    PostResultText(m_hNotifyWnd, ResultTable::Delete, RESULT_COMM_ERROR);
    PostJobClose(m_hNotifyWnd);
}

int CJobDelFiles::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    bool bFailed = false;
    for (const QString &strName : std::as_const(m_fileNames)) {
        if (IsStopRequested())
            break;
        const RecorderResult result =
            m_pProtocol ? m_pProtocol->DeleteCardFile(strName) : RecorderResult(RESULT_COMM_ERROR);
        // One line per file; a communication failure ends the job.
        bFailed = PostResultText(m_hNotifyWnd, ResultTable::Delete, result, strName);
        if (bFailed)
            break;
    }
    SignalFinished();
    // Also after a stop request: the files handled so far are listed, the rest left alone.
    if (!bFailed)
        PostJobText(m_hNotifyWnd, StringId::IDS_OPERATION_COMPLETED, JOB_TEXT_NOTICE);
    PostJobClose(m_hNotifyWnd);
    return 0;
}
