#include "ui/dialogs/CDlgGetFile.h"

#include "core/StringIds.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/MessageBoxes.h"

#include "ui/dialogs/RunProgressText.h"

#include <QProgressBar>

// The template's controls end at 75; the run's line lies below them, in a frame that much taller.
CDlgGetFile::CDlgGetFile(RecorderProtocol &protocol, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_GETFILE_CAPTION, 187, 78 + 14},
                TransferTexts{StringId::IDS_DLG_GETFILE_RECEIVING, StringId::IDS_DLG_GETFILE_FILE_NAME,
                              Qt::ElideRight, StringId::IDS_DLG_GETFILE_CANCEL})
{
    // Cut at its end, rather than at both, should a language need more than the width.
    m_pRun = AddControl<ElidedLabel>(4, 79, 179, 10, Qt::ElideRight);
    m_pRun->setAlignment(Qt::AlignCenter);
}

int CDlgGetFile::Execute(const QString &strDestFolder, const QStringList &fileNames)
{
    m_strDestFolder = strDestFolder;
    m_pFileNames = &fileNames;
    m_pPlan = nullptr;
    return exec();
}

int CDlgGetFile::Execute(const DownloadPlan &plan)
{
    m_pPlan = &plan;
    m_pFileNames = nullptr;
    return exec();
}

void CDlgGetFile::OnOpening()
{
    m_bFailed = false;
    m_run = RunProgressPost();
    m_runTime.invalidate();
    m_pRun->clear();
    ProgressBar()->setRange(0, 100);
    ProgressBar()->setValue(0);
    // The job works on its own copies of the names, the folder and the plan.
    m_job.m_fileNames = m_pFileNames ? *m_pFileNames : QStringList();
    m_job.m_strDestFolder = m_strDestFolder;
    m_job.m_plan.reset();
    if (m_pPlan)
        m_job.m_plan = *m_pPlan;
}

void CDlgGetFile::OnJobFile(const QString &strName)
{
    NameLabel()->setText(strName);
}

void CDlgGetFile::OnRunProgress(const RunProgressPost &post)
{
    if (!m_runTime.isValid())
        m_runTime.start();
    m_run = post;
    ShowRun(post.nDoneBytes);
}

void CDlgGetFile::OnProgress(const ProgressPost &post)
{
    TransferDialog::OnProgress(post);
    if (m_run.nFile > 0)
        ShowRun(m_run.nDoneBytes + post.nSoFar);
}

void CDlgGetFile::ShowRun(quint64 nDoneBytes)
{
    m_pRun->setText(RunProgressText::Line(m_run, nDoneBytes, m_runTime.elapsed()));
}

void CDlgGetFile::OnJobText(const JobTextPost &post)
{
    // The flag is set before the box is shown: the box's own loop may deliver the job's end
    // while it is open, and the end code must already tell of the failure.
    if (post.bFailure)
        m_bFailed = true;
    ShowMessageBox(this, post.strText, MessageBoxIcon(PostedTextIcon(ResultTable::Download)));
}

void CDlgGetFile::OnJobEnded()
{
    EndAfterJob(m_bFailed ? IDCANCEL : IDOK);
}

bool CDlgGetFile::OnCloseRequest()
{
    // A close request from the keyboard is Cancel, and the dialog waits for the job's end, so a
    // download cut short is reported and ends with IDCANCEL.
    reject();
    return true;
}
