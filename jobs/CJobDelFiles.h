#pragma once

#include "jobs/RecorderJob.h"

#include <QStringList>

// Deletes recorder files one by one. Posts one line per file, then either "Operation completed"
// or the communication failure that ended it, and WM_CLOSE at the end. A file the recorder
// refuses to delete does not end the job.
class CJobDelFiles final : public RecorderJobOf<CJobDelFiles>
{
public:
    using RecorderJobOf::RecorderJobOf;

    QStringList m_fileNames; // recorder file names, in order

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobDelFiles>;
    CJobDelFiles(const CJobDelFiles &) = default;
};
