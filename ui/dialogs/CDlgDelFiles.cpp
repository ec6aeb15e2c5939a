#include "ui/dialogs/CDlgDelFiles.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

CDlgDelFiles::CDlgDelFiles(RecorderProtocol &protocol, QWidget *pParent)
    : OperationDialog(pParent, false)
    , m_job(&protocol)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_DELFILES_CAPTION));
    SetClientSize(225, 182);

    m_pHourglass = new HourglassWidget(this);
    m_pHourglass->setGeometry(Units().Rect(9, 5, 35, 32));

    m_pNotice = new QLabel(LoadText(StringId::IDS_DLG_DELFILES_PLEASE_WAIT), this);
    m_pNotice->setGeometry(Units().Rect(83, 16, 139, 15));

    m_pList = new QListWidget(this);
    m_pList->setGeometry(Units().Rect(3, 43, 219, 117));
    m_pList->setSortingEnabled(false);

    // The only button is the dialog's OK command, though it reads Cancel: it asks for a stop.
    m_pButton = new QPushButton(LoadText(StringId::IDS_DLG_DELFILES_CANCEL), this);
    m_pButton->setGeometry(Units().Rect(87, 165, 50, 14));
    m_pButton->setDefault(true);
    connect(m_pButton, &QPushButton::clicked, this, &CDlgDelFiles::accept);
}

CDlgDelFiles::~CDlgDelFiles()
{
    m_job.Stop();
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
    m_job.m_pFileNames = m_pFileNames;
    m_job.m_hNotifyWnd = Target();
    m_job.Launch();
}

void CDlgDelFiles::OnPosted(PostedMessage &message)
{
    switch (message.nMessage) {
    case WM_JOB_MESSAGE:
        m_pList->addItem(message.strText);
        m_pList->scrollToBottom();
        if (message.lParam != 0)
            m_bFailed = true;
        break;
    case WM_CLOSE:
        EndOfJob();
        break;
    default:
        break;
    }
}

void CDlgDelFiles::accept()
{
    if (!m_bCancellable)
        return;
    m_bCancellable = false;
    m_pButton->setEnabled(false);
    m_job.RequestStop();
}

void CDlgDelFiles::EndOfJob()
{
    m_bCancellable = false;
    m_pButton->setText(LoadText(StringId::IDS_CLOSE));
    m_pButton->setEnabled(true);
    m_pHourglass->StopAnimation();
    m_pNotice->setText(LoadText(StringId::IDS_OPERATION_COMPLETED));
    m_job.Stop();
    done(m_bFailed ? IDCANCEL : IDOK);
}

void CDlgDelFiles::closeEvent(QCloseEvent *pEvent)
{
    // A close request from the keyboard is the button's stop request: the file in progress is
    // finished, and the dialog ends with the job's own end, without blocking the window.
    pEvent->ignore();
    if (!isVisible() || IsCloseRequested())
        return;
    accept();
    AwaitJobEndAfterClose(m_job);
}
