#include "ui/dialogs/CDlgDelFiles.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

CDlgDelFiles::CDlgDelFiles(RecorderProtocol &protocol, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_DELFILES_CAPTION, 225, 182})
{
    m_pHourglass = AddControl<HourglassWidget>(9, 5, 35, 32);

    m_pNotice = AddControl<QLabel>(83, 16, 139, 15, LoadText(StringId::IDS_DLG_DELFILES_PLEASE_WAIT));

    m_pList = AddControl<QListWidget>(3, 43, 219, 117);
    m_pList->setSortingEnabled(false);

    // The only button is the dialog's OK command, though it reads Cancel: it asks for a stop.
    m_pButton = AddControl<QPushButton>(87, 165, 50, 14, LoadText(StringId::IDS_DLG_DELFILES_CANCEL));
    m_pButton->setDefault(true);
    connect(m_pButton, &QPushButton::clicked, this, &CDlgDelFiles::accept);
}

int CDlgDelFiles::Execute(const QStringList &fileNames)
{
    m_pFileNames = &fileNames;
    return exec();
}

void CDlgDelFiles::OnOpening()
{
    m_bFailed = false;
    m_bCancellable = true;
    m_pList->clear();
    m_pList->addItem(LoadText(StringId::IDS_DELETING));
    m_pHourglass->StartAnimation();
    // The button has the focus, as the default button of the dialog; the list only shows.
    m_pButton->setFocus();
    // The job works on its own copy of the names.
    m_job.m_fileNames = m_pFileNames ? *m_pFileNames : QStringList();
}

void CDlgDelFiles::OnJobText(const JobTextPost &post)
{
    m_pList->addItem(post.strText);
    m_pList->scrollToBottom();
    if (post.bFailure)
        m_bFailed = true;
}

void CDlgDelFiles::accept()
{
    if (!m_bCancellable)
        return;
    m_bCancellable = false;
    RequestJobStop(m_pButton);
}

void CDlgDelFiles::OnJobEnded()
{
    m_bCancellable = false;
    m_pButton->setText(LoadText(StringId::IDS_CLOSE));
    m_pButton->setEnabled(true);
    m_pHourglass->StopAnimation();
    m_pNotice->setText(LoadText(StringId::IDS_OPERATION_COMPLETED));
    EndAfterJob(m_bFailed ? IDCANCEL : IDOK);
}

bool CDlgDelFiles::OnCloseRequest()
{
    // A close request from the keyboard is the button's stop request: the file in progress is
    // finished, and the dialog ends with the job's own end.
    accept();
    return true;
}
