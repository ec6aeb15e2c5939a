#include "CJobGetFile.h"

#include "JobMessages.h"
#include "ProtocolCodes.h"
#include "RecorderAccess.h"
#include "RecorderProtocol.h"
#include "StringIds.h"

CJobGetFile::CJobGetFile(RecorderProtocol *pProtocol)
    : CWorkerThread(0, 0)
    , m_pProtocol(pProtocol)
{}

std::unique_ptr<CWorkerThread> CJobGetFile::CopyForThread() const
{
    std::unique_ptr<CJobGetFile> pCopy(new CJobGetFile(*this));
    pCopy->m_fileNames = m_pFileNames ? *m_pFileNames : QStringList();
    pCopy->m_pFileNames = nullptr;
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
    for (const QString &strName : std::as_const(m_fileNames)) {
        if (IsStopRequested())
            break;
        PostJobFile(m_hNotifyWnd, strName);
        const int nResult = m_pProtocol
                                ? m_pProtocol->GetFile(StopEvent(), m_hNotifyWnd, strName, m_strDestFolder)
                                : RESULT_COMM_ERROR;
        quint32 nFailureText = 0;
        switch (nResult) {
        case RESULT_COMM_ERROR:
            nFailureText = StringId::IDS_COMM_FAILED;
            break;
        case RESULT_HOST_IO_ERROR:
            nFailureText = StringId::IDS_HOST_IO_ERROR;
            break;
        case RESULT_DEVICE_STOPPED:
            nFailureText = StringId::IDS_DEVICE_STOPPED;
            break;
        case RESULT_CANCELLED:
            nFailureText = StringId::IDS_USER_ABORTED;
            break;
        default:
            break;
        }
        if (nFailureText != 0) {
            // The first failure ends the whole job; the remaining names are not attempted.
            PostJobText(m_hNotifyWnd, nFailureText, JOB_TEXT_FAILURE);
            break;
        }
    }
    SignalFinished();
    PostJobClose(m_hNotifyWnd);
    return 0;
}
