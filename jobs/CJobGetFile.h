#pragma once

#include "CWorkerThread.h"
#include "PostTarget.h"

#include <QString>
#include <QStringList>

class RecorderProtocol;

// Downloads recorder files, one after another, into a local folder. Posts the name of each file
// as its download starts, the first failure as a text (which ends the job), and WM_CLOSE at the
// end.
class CJobGetFile final : public CWorkerThread
{
public:
    explicit CJobGetFile(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch. The names are copied when the job is launched,
    // so the list need only live until Launch returns.
    PostTarget m_hNotifyWnd;
    const QStringList *m_pFileNames = nullptr; // not owned; null counts as an empty list
    QString m_strDestFolder;

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobGetFile(const CJobGetFile &) = default;

    RecorderProtocol *m_pProtocol;
    QStringList m_fileNames; // the thread's own copy of the names
};
