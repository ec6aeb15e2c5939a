#include "jobs/CJobGetFile.h"

#include "core/FileDownloadSink.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/JobMessages.h"
#include "jobs/LocalReasonText.h"
#include "jobs/RecorderAccess.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"

CJobGetFile::CJobGetFile(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobGetFile::CopyForThread() const
{
    std::unique_ptr<CJobGetFile> pCopy(new CJobGetFile(*this));
    if (m_pPlan) {
        pCopy->m_plan = *m_pPlan;
    } else {
        pCopy->m_plan.emplace(m_strDestFolder, DownloadPlan::Existing::Replace);
        if (m_pFileNames)
            for (const QString &strName : *m_pFileNames)
                pCopy->m_plan->Add(strName);
    }
    pCopy->m_pFileNames = nullptr;
    pCopy->m_pPlan = nullptr;
    return pCopy;
}

void CJobGetFile::ReportStartFailure()
{
    PostJobText(m_hNotifyWnd, StringId::IDS_COMM_FAILED, JOB_TEXT_FAILURE);
    PostJobClose(m_hNotifyWnd);
}

int CJobGetFile::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    const DownloadPlan &plan = *m_plan;
    for (const DownloadPlan::Item &item : plan.Items()) {
        if (IsStopRequested())
            break;
        // A name the plan refused reaches the job only when its caller did not show the
        // refusals first: it fails like any other local error, with its reason.
        if (item.bSkipped)
            continue;
        PostJobFile(m_hNotifyWnd, item.strCardName);
        RecorderResult result = RESULT_COMM_ERROR;
        if (m_pProtocol) {
            FileDownloadSink sink(plan, item);
            result = m_pProtocol->GetFile(StopEvent(), m_hNotifyWnd, item.strCardName, sink);
        }
        QString strFailure;
        switch (result.Code()) {
        case RESULT_OK:
            break;
        case RESULT_HOST_IO_ERROR:
            strFailure = LocalFailureText(item.strCardName, result.Reason());
            break;
        case RESULT_DEVICE_STOPPED:
            strFailure = LoadText(StringId::IDS_DEVICE_STOPPED);
            break;
        case RESULT_CANCELLED:
            strFailure = LoadText(StringId::IDS_USER_ABORTED);
            break;
        default:
            strFailure = LoadText(StringId::IDS_COMM_FAILED);
            break;
        }
        if (!strFailure.isEmpty()) {
            // The first failure ends the whole job; the remaining names are not attempted.
            PostJobTextString(m_hNotifyWnd, strFailure, JOB_TEXT_FAILURE);
            break;
        }
    }
    SignalFinished();
    PostJobClose(m_hNotifyWnd);
    return 0;
}
