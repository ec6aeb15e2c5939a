#include "jobs/CJobArchive.h"

#include "archive/ArchiveLock.h"
#include "archive/ArchiveRun.h"
#include "archive/IArchiveReport.h"
#include "core/StringIds.h"
#include "jobs/ArchiveSummaryText.h"
#include "jobs/JobMessages.h"
#include "jobs/JobsLog.h"
#include "jobs/RecorderAccess.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderProtocol.h"

namespace {

// The run's reports as posts to the dialog; its English lines go to the log only.
class PostingReport final : public IArchiveReport
{
public:
    explicit PostingReport(const PostTarget &target)
        : m_target(target)
    {}

    void Line(const QString &strLine) override { qCInfo(lcJobs).noquote() << "archive:" << strLine; }
    void Problem(const QString &strLine) override { qCWarning(lcJobs).noquote() << "archive:" << strLine; }
    void FileDone(const Archive::FileRecord &) override {}
    void WaitingForFolder(const QString &) override
    {
        PostJobText(m_target, StringId::IDS_ARCHIVE_WAITING, JOB_TEXT_NOTICE);
    }

    // A pass that hashes files the folder holds unhashed comes before the transfers: each pass
    // counts its own files.
    void RunStarted(int nFiles, quint64 nBytes) override
    {
        m_run = RunProgressPost{0, quint32(qMax(nFiles, 0)), 0, nBytes};
        PostJobRun(m_target, m_run);
    }
    void FileStarted(const Archive::FileRecord &record) override
    {
        ++m_run.nFile;
        PostJobRun(m_target, m_run);
        PostJobFile(m_target, record.strCardName);
        m_nCurrentSize = record.nSize;
    }
    void FileProgress(quint32 nSoFar, quint32 nTotal) override
    {
        m_target.Post(WM_JOB_PROGRESS, ProgressPost{nSoFar, nTotal});
    }
    void FileFinished(bool) override { m_run.nDoneBytes += m_nCurrentSize; }

private:
    PostTarget m_target;
    RunProgressPost m_run;
    quint64 m_nCurrentSize = 0;
};

} // namespace

void CJobArchive::ReportStartFailure()
{
    PostJobOutput(m_hNotifyWnd, std::make_shared<ArchiveRunOutput>(ArchiveSummaryText(
                                    Archive::Summary(), RESULT_COMM_ERROR, m_options.strDir)));
    PostJobClose(m_hNotifyWnd);
}

int CJobArchive::LockAndRun(Archive::Summary *pSummary)
{
    const auto recorder = RecorderAccess::Acquire();
    PostingReport report(m_hNotifyWnd);
    if (const int nFolder = Archive::PrepareFolder(report, m_options))
        return nFolder;
    // Another run into the folder (the unattended watch, say) is waited for; Cancel ends the wait.
    ArchiveLock lock;
    if (const int nLock = Archive::LockFolder(report, m_options, lock, [this] { return IsStopRequested(); }))
        return nLock;
    if (!m_pProtocol)
        return RESULT_COMM_ERROR;
    Archive::Session session{*m_pProtocol, StopEvent(), report, m_strLinkName};
    return Archive::Run(session, m_options, pSummary);
}

int CJobArchive::Run()
{
    Archive::Summary summary;
    int nStatus = LockAndRun(&summary);
    // A stop request that ended the run reads as such, whatever step it cut short.
    if (nStatus != RESULT_OK && IsStopRequested())
        nStatus = RESULT_CANCELLED;
    SignalFinished();
    PostJobOutput(m_hNotifyWnd,
                  std::make_shared<ArchiveRunOutput>(ArchiveSummaryText(summary, nStatus, m_options.strDir)));
    PostJobClose(m_hNotifyWnd);
    return 0;
}
