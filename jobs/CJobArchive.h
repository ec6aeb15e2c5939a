#pragma once

#include "archive/ArchiveRecord.h"
#include "jobs/RecorderJob.h"
#include "protocol/ReportMessages.h"

#include <QString>

// What the archive job hands its dialog at its end: the run's summary in the active language.
class ArchiveRunOutput final : public JobOutput
{
public:
    explicit ArchiveRunOutput(QString strSummary)
        : m_strSummary(std::move(strSummary))
    {}

    QString m_strSummary;
};

// Archives the card's new files into an archive folder: takes the folder's lock (saying so while
// another run holds it), then runs the archive run of every front end. Posts the start of each
// pass (file 0) and of each file with the run's figures (WM_JOB_RUN), the file's name (WM_JOB_FILE) and
// progress, the waiting notice as a text, the run's summary (WM_JOB_OUTPUT, an ArchiveRunOutput) and WM_CLOSE
// at the end.
class CJobArchive final : public RecorderJobOf<CJobArchive>
{
public:
    using RecorderJobOf::RecorderJobOf;

    Archive::Options m_options; // strDir ends with "/"
    QString m_strLinkName;      // names a recorder that sends no identification

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobArchive>;
    CJobArchive(const CJobArchive &) = default;

    int LockAndRun(Archive::Summary *pSummary);
};
