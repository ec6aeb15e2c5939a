#pragma once

#include "core/RecorderResult.h"
#include "jobs/ResultTexts.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class JobOutput;
class PostTarget;
struct RunProgressPost;

// The messages a job posts to its dialog, with the payloads of protocol/ReportMessages.h.
//
// WM_JOB_MESSAGE has two forms; which one a dialog receives is fixed by the dialog:
//  - text form (JobTextPost): a text, and whether it reports a failure that ends the job;
//  - result form (JobResultPost): the operation's result and the job that sent it.
// WM_JOB_FILE (TextPost) carries the name of the recorder file whose download starts now.
// WM_JOB_RUN (RunProgressPost) says which file of a run starts and how far the run has come.
// WM_JOB_OUTPUT (JobOutputPost) carries the job's own output, before its WM_CLOSE.
// WM_CLOSE from a job means: the job is over, close the dialog.

// The failure flag of the text form.
inline constexpr bool JOB_TEXT_NOTICE = false; // a step or outcome notice
inline constexpr bool JOB_TEXT_FAILURE = true; // a failure that ends the job

// The source of the result form; receivers ignore it.
inline constexpr quint32 JOB_RESULT_FROM_UPDATE_CF = 0;
inline constexpr quint32 JOB_RESULT_FROM_UPLOAD = 1;

// The text of nTextId from the active resource set, loaded now (on the calling thread).
void PostJobText(const PostTarget &target, quint32 nTextId, bool bFailure);
// A text already loaded (or composed of loaded texts).
void PostJobTextString(const PostTarget &target, const QString &strText, bool bFailure);
// The text that table gives the result, about the file strName, with the table's failure flag;
// nothing when the table shows nothing for it. Returns whether a failure was posted.
bool PostResultText(const PostTarget &target, ResultTable table, const RecorderResult &result,
                    const QString &strName = {});
void PostJobResult(const PostTarget &target, const RecorderResult &result, quint32 nSource);
void PostJobFile(const PostTarget &target, const QString &strName);
void PostJobRun(const PostTarget &target, const RunProgressPost &run);
void PostJobOutput(const PostTarget &target, std::shared_ptr<const JobOutput> pOutput);
void PostJobClose(const PostTarget &target);
