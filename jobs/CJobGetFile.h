#pragma once

#include "core/DownloadPlan.h"
#include "jobs/CWorkerThread.h"
#include "protocol/PostTarget.h"

#include <QString>
#include <QStringList>

#include <optional>

class RecorderProtocol;

// Downloads recorder files, one after another, into a local folder. Posts the name of each file
// as its download starts, the first failure as a text (which ends the job), and WM_CLOSE at the
// end.
class CJobGetFile final : public CWorkerThread
{
public:
    explicit CJobGetFile(RecorderProtocol *pProtocol = nullptr);

    void SetProtocol(RecorderProtocol *pProtocol) { m_pProtocol = pProtocol; }

    // Filled by the owning dialog before Launch and copied when the job is launched, so they
    // need only live until Launch returns. A plan, when set, decides the local names and dates;
    // otherwise the names are planned into m_strDestFolder, replacing files of the same name.
    PostTarget m_hNotifyWnd;
    const QStringList *m_pFileNames = nullptr; // not owned; null counts as an empty list
    QString m_strDestFolder;
    const DownloadPlan *m_pPlan = nullptr; // not owned

protected:
    int Run() override;
    std::unique_ptr<CWorkerThread> CopyForThread() const override;
    void ReportStartFailure() override;

private:
    CJobGetFile(const CJobGetFile &) = default;

    RecorderProtocol *m_pProtocol;
    std::optional<DownloadPlan> m_plan; // the thread's own copy
};
