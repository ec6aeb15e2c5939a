#include "jobs/JobMessages.h"

#include "core/TextSource.h"
#include "jobs/JobsLog.h"
#include "protocol/PostTarget.h"
#include "protocol/ReportMessages.h"

Q_LOGGING_CATEGORY(lcJobs, "orvo.jobs", QtInfoMsg)

void PostJobText(const PostTarget &target, quint32 nTextId, bool bFailure)
{
    PostJobTextString(target, LoadText(nTextId), bFailure);
}

void PostJobTextString(const PostTarget &target, const QString &strText, bool bFailure)
{
    target.Post(WM_JOB_MESSAGE, JobTextPost{strText, bFailure});
}

bool PostResultText(const PostTarget &target, ResultTable table, const RecorderResult &result,
                    const QString &strName)
{
    const ResultShown shown = ShownForResult(table, result.Code());
    if (!shown.IsShown())
        return false;
    PostJobTextString(target, ResultTextFor(table, result, strName), shown.bFailure);
    return shown.bFailure;
}

void PostJobResult(const PostTarget &target, const RecorderResult &result, quint32 nSource)
{
    target.Post(WM_JOB_MESSAGE, JobResultPost{result, nSource});
}

void PostJobFile(const PostTarget &target, const QString &strName)
{
    target.Post(WM_JOB_FILE, TextPost{strName});
}

void PostJobRun(const PostTarget &target, const RunProgressPost &run)
{
    target.Post(WM_JOB_RUN, run);
}

void PostJobOutput(const PostTarget &target, std::shared_ptr<const JobOutput> pOutput)
{
    target.Post(WM_JOB_OUTPUT, JobOutputPost{std::move(pOutput)});
}

void PostJobClose(const PostTarget &target)
{
    target.Post(WM_CLOSE);
}
