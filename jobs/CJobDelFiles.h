#pragma once

#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

#include <QStringList>

class RecorderProtocol;

// Deletes recorder files one by one. Posts one line per file, then either "Operation completed"
// or the communication failure that ended it, and WM_CLOSE at the end. A file the recorder
// refuses to delete does not end the job.
class CJobDelFiles final : public CWorkerThread
{
public:
    explicit CJobDelFiles(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch. The names are copied when the job is launched,
    // so the list need only live until Launch returns.
    PostTarget m_hNotifyWnd;
    const QStringList *m_pFileNames = nullptr; // not owned; null counts as an empty list

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobDelFiles(const CJobDelFiles &) = default;

    RecorderProtocol *m_pProtocol;
    QStringList m_fileNames; // the thread's own copy of the names
};
