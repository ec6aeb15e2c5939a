#include "jobs/JobMessages.h"

#include "core/TextSource.h"
#include "jobs/JobsLog.h"
#include "protocol/PostTarget.h"
#include "protocol/ReportMessages.h"

Q_LOGGING_CATEGORY(lcJobs, "orvo.jobs", QtInfoMsg)

void PostJobText(const PostTarget &target, quint32 nTextId, qintptr nFlag)
{
    target.PostText(WM_JOB_MESSAGE, LoadText(nTextId), nFlag);
}

void PostJobTextWith(const PostTarget &target, quint32 nTextId, const QString &strValue, qintptr nFlag)
{
    target.PostText(WM_JOB_MESSAGE, FillTextPlaceholder(LoadText(nTextId), strValue), nFlag);
}

void PostJobTextString(const PostTarget &target, const QString &strText, qintptr nFlag)
{
    target.PostText(WM_JOB_MESSAGE, strText, nFlag);
}

void PostJobResult(const PostTarget &target, int nResult, qintptr nSource)
{
    target.Post(WM_JOB_MESSAGE, quintptr(nResult), nSource);
}

void PostJobFile(const PostTarget &target, const QString &strName)
{
    target.PostText(WM_JOB_FILE, strName, 0);
}

void PostJobClose(const PostTarget &target)
{
    target.Post(WM_CLOSE, 0, 0);
}

QString FillTextPlaceholder(QString strTemplate, const QString &strValue)
{
    return strTemplate.replace(QStringLiteral("%s"), strValue);
}
