#pragma once

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

#include <QString>

class RecorderProtocol;

// Uploads one local file to the recorder's card and posts the result code; the upload dialog
// interprets it, and may run the same job again with m_bOverwrite set.
class CJobUploadFile final : public CWorkerThread
{
public:
    explicit CJobUploadFile(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch.
    bool m_bOverwrite = false;
    PostTarget m_hNotifyWnd;
    QString m_strFilePath; // full path of the local file

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobUploadFile(const CJobUploadFile &) = default;

    RecorderProtocol *m_pProtocol;
};
