#include "jobs/CJobVerifyArchive.h"

#include "archive/ArchiveVerifier.h"
#include "jobs/JobMessages.h"
#include "jobs/VerifyOutcome.h"
#include "protocol/ReportMessages.h"

#include <memory>

namespace {

// How finely the run's bytes are reported: each thousandth of the run, and each file's start.
constexpr quint64 STEPS = 1000;

} // namespace

void CJobVerifyArchive::ReportStartFailure()
{
    // Nothing was checked: the dialog ends without a result, as after Cancel.
    PostJobClose(m_hNotifyWnd);
}

int CJobVerifyArchive::Run()
{
    RunProgressPost run;
    quint64 nFileSize = 0;
    quint64 nLastStep = 0;
    const ArchiveVerifier verifier(m_strFolder, [&](const ArchiveVerifier::Step &step) {
        if (IsStopRequested())
            return false;
        if (quint32(step.nFile) != run.nFile) {
            // A file starts: the one before it is read whole.
            run.nDoneBytes += nFileSize;
            nFileSize = quint64(step.nSize);
            run.nFile = quint32(step.nFile);
            run.nFiles = quint32(step.nFiles);
            run.nTotalBytes = quint64(step.nTotalBytes);
            PostJobRun(m_hNotifyWnd, run);
            PostJobFile(m_hNotifyWnd, step.strName);
            return true;
        }
        RunProgressPost now = run;
        now.nDoneBytes += quint64(step.nDone);
        const quint64 nStep = now.nTotalBytes ? now.nDoneBytes * STEPS / now.nTotalBytes : 0;
        if (nStep != nLastStep) {
            nLastStep = nStep;
            PostJobRun(m_hNotifyWnd, now);
        }
        return true;
    });
    ArchiveVerifier::Result result = verifier.Verify(ArchiveVerifier::Options{});
    if (!result.bCancelled && !IsStopRequested())
        PostJobOutput(m_hNotifyWnd, std::make_shared<VerifyOutcome>(std::move(result)));
    SignalFinished();
    PostJobClose(m_hNotifyWnd);
    return 0;
}
