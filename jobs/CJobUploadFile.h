#pragma once

#include "jobs/RecorderJob.h"

#include <QString>

// Uploads one local file to the recorder's card and posts the result; the upload dialog
// interprets it, and may run the same job again with m_bOverwrite set.
class CJobUploadFile final : public RecorderJobOf<CJobUploadFile>
{
public:
    using RecorderJobOf::RecorderJobOf;

    bool m_bOverwrite = false;
    QString m_strFilePath; // full path of the local file

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobUploadFile>;
    CJobUploadFile(const CJobUploadFile &) = default;
};
