#pragma once

#include "core/DownloadPlan.h"
#include "jobs/RecorderJob.h"

#include <QString>
#include <QStringList>

#include <optional>

// Downloads recorder files, one after another, into a local folder. Posts where the run stands
// and the name of each file as its download starts, the first failure as a text (which ends the
// job), and WM_CLOSE at the end.
class CJobGetFile final : public RecorderJobOf<CJobGetFile>
{
public:
    using RecorderJobOf::RecorderJobOf;

    // A plan, when set, decides the local names and dates; otherwise the names are planned into
    // m_strDestFolder, replacing files of the same name.
    QStringList m_fileNames; // recorder file names, in order
    QString m_strDestFolder; // ends with "/"
    std::optional<DownloadPlan> m_plan;

protected:
    int Run() override;
    void ReportStartFailure() override;

private:
    friend class RecorderJobOf<CJobGetFile>;
    CJobGetFile(const CJobGetFile &) = default;

    DownloadPlan Plan() const;
};
