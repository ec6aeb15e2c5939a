#pragma once

#include <QString>
#include <QtGlobal>

class PostTarget;

// The messages a job posts to its dialog, and what their parameters mean.
//
// WM_JOB_MESSAGE has two forms; which one a dialog receives is fixed by the dialog:
//  - text form: strText the text, lParam JOB_TEXT_FAILURE or JOB_TEXT_NOTICE;
//  - result form: wParam an operation result code, lParam the job that sent it.
// WM_JOB_FILE carries the name of the recorder file whose download starts now in strText.
// WM_CLOSE from a job means: the job is over, close the dialog.

// lParam of the text form.
inline constexpr qintptr JOB_TEXT_NOTICE = 0;  // a step or outcome notice
inline constexpr qintptr JOB_TEXT_FAILURE = 1; // a failure that ends the job

// lParam of the result form; receivers ignore it.
inline constexpr qintptr JOB_RESULT_FROM_UPDATE_CF = 0;
inline constexpr qintptr JOB_RESULT_FROM_UPLOAD = 1;

// The text of nTextId from the active resource set, loaded now (on the calling thread).
void PostJobText(const PostTarget &target, quint32 nTextId, qintptr nFlag);
// The same with every "%s" of the text replaced by strValue.
void PostJobTextWith(const PostTarget &target, quint32 nTextId, const QString &strValue, qintptr nFlag);
// A text already loaded (or composed of loaded texts).
void PostJobTextString(const PostTarget &target, const QString &strText, qintptr nFlag);
void PostJobResult(const PostTarget &target, int nResult, qintptr nSource);
void PostJobFile(const PostTarget &target, const QString &strName);
void PostJobClose(const PostTarget &target);

// strTemplate with every "%s" replaced by strValue, literally: the text is never a printf format,
// so a name or a translation holding "%" or "%n" cannot do harm.
QString FillTextPlaceholder(QString strTemplate, const QString &strValue);
