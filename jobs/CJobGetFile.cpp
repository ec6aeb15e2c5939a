#include "jobs/CJobGetFile.h"

#include "core/FileDownloadSink.h"
#include "jobs/JobMessages.h"
#include "jobs/RecorderAccess.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"

void CJobGetFile::ReportStartFailure()
{
    PostResultText(m_hNotifyWnd, ResultTable::Download, RESULT_COMM_ERROR);
    PostJobClose(m_hNotifyWnd);
}

DownloadPlan CJobGetFile::Plan() const
{
    if (m_plan)
        return *m_plan;
    DownloadPlan plan(m_strDestFolder, DownloadPlan::Existing::Replace);
    for (const QString &strName : m_fileNames)
        plan.Add(strName);
    return plan;
}

int CJobGetFile::Run()
{
    const auto recorder = RecorderAccess::Acquire();
    const DownloadPlan plan = Plan();
    // The run as the dialog counts it: the files the job asks the recorder for, and their sizes
    // as the list showed them (none when only names were given).
    RunProgressPost run;
    for (const DownloadPlan::Item &item : plan.Items()) {
        if (!item.bSkipped) {
            ++run.nFiles;
            run.nTotalBytes += item.nSize;
        }
    }
    for (const DownloadPlan::Item &item : plan.Items()) {
        if (IsStopRequested())
            break;
        // A name the plan refused reaches the job only when its caller did not show the
        // refusals first: it fails like any other local error, with its reason.
        if (item.bSkipped)
            continue;
        ++run.nFile;
        PostJobRun(m_hNotifyWnd, run);
        run.nDoneBytes += item.nSize;
        PostJobFile(m_hNotifyWnd, item.strCardName);
        RecorderResult result = RESULT_COMM_ERROR;
        if (m_pProtocol) {
            FileDownloadSink sink(plan, item);
            result = m_pProtocol->GetFile(StopEvent(), m_hNotifyWnd, item.strCardName, sink);
        }
        // The first failure ends the whole job; the remaining names are not attempted.
        if (PostResultText(m_hNotifyWnd, ResultTable::Download, result, item.strCardName))
            break;
    }
    SignalFinished();
    PostJobClose(m_hNotifyWnd);
    return 0;
}
