#pragma once

#include "jobs/RecorderJob.h"

#include <QString>

// Checks an archive folder against its manifest and its journal's chain (ArchiveVerifier). It
// reads only the disk: it never takes the recorder and runs without a protocol. Posts where the
// check stands (WM_JOB_RUN, and the name of each file as its reading starts), then what it found
// as a VerifyOutcome unless it was stopped, and WM_CLOSE at the end.
class CJobVerifyArchive final : public RecorderJobOf<CJobVerifyArchive>
{
public:
    using RecorderJobOf::RecorderJobOf;

    QString m_strFolder;

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobVerifyArchive>;
    CJobVerifyArchive(const CJobVerifyArchive &) = default;
};
