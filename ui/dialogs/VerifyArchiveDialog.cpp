#include "ui/dialogs/VerifyArchiveDialog.h"

#include "core/StringIds.h"
#include "jobs/VerifyOutcome.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/RunProgressText.h"
#include "ui/dialogs/VerifyResultDialog.h"

#include <QProgressBar>

namespace {

// The bar counts thousandths of the bytes to read.
constexpr int BAR_STEPS = 1000;

} // namespace

// Laid out as the download dialog, with its line for the run.
VerifyArchiveDialog::VerifyArchiveDialog(QWidget *pParent)
    : TransferDialog(pParent, DialogFrame{StringId::IDS_DLG_VERIFY_CAPTION, 187, 92},
                     TransferTexts{StringId::IDS_DLG_VERIFY_READING, StringId::IDS_DLG_VERIFY_FILE_NAME,
                                   Qt::ElideMiddle, StringId::IDS_DLG_VERIFY_CANCEL})
{
    // Cut at its end, rather than at both, should a language need more than the width.
    m_pRun = AddControl<ElidedLabel>(4, 79, 179, 10, Qt::ElideRight);
    m_pRun->setAlignment(Qt::AlignCenter);
}

VerifyArchiveDialog::~VerifyArchiveDialog()
{
    m_job.Stop();
}

int VerifyArchiveDialog::Run(QWidget *pOwner, const QString &strFolder)
{
    VerifyArchiveDialog progress(pOwner);
    if (progress.Execute(strFolder) != IDOK || !progress.Result())
        return IDCANCEL;
    VerifyResultDialog result(*progress.Result(), pOwner);
    return result.exec() == IDOK ? IDOK : IDCANCEL;
}

int VerifyArchiveDialog::Execute(const QString &strFolder)
{
    m_strFolder = strFolder;
    return exec();
}

const ArchiveVerifier::Result *VerifyArchiveDialog::Result() const
{
    return m_pOutcome ? &m_pOutcome->m_result : nullptr;
}

void VerifyArchiveDialog::OnOpening()
{
    m_pOutcome.reset();
    m_runTime.start();
    m_pRun->clear();
    ProgressBar()->setRange(0, BAR_STEPS);
    ProgressBar()->setValue(0);
    m_job.m_strFolder = m_strFolder;
}

void VerifyArchiveDialog::OnJobFile(const QString &strName)
{
    NameLabel()->setText(strName);
}

void VerifyArchiveDialog::OnRunProgress(const RunProgressPost &post)
{
    if (post.nTotalBytes > 0)
        ProgressBar()->setValue(int(post.nDoneBytes * BAR_STEPS / post.nTotalBytes));
    else
        ProgressBar()->setValue(
            post.nFile > 0 && post.nFiles > 0 ? int(quint64(post.nFile - 1) * BAR_STEPS / post.nFiles) : 0);
    m_pRun->setText(RunProgressText::Line(post, post.nDoneBytes, m_runTime.elapsed()));
}

void VerifyArchiveDialog::OnJobOutput(const JobOutputPost &post)
{
    m_pOutcome = std::dynamic_pointer_cast<const VerifyOutcome>(post.pOutput);
}

void VerifyArchiveDialog::OnJobEnded()
{
    EndAfterJob(m_pOutcome ? IDOK : IDCANCEL);
}

bool VerifyArchiveDialog::OnCloseRequest()
{
    reject();
    return true;
}
