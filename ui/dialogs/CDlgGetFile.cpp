#include "ui/dialogs/CDlgGetFile.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ProgressPosition.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CDlgGetFile::CDlgGetFile(RecorderProtocol &protocol, QWidget *pParent)
    : OperationDialog(pParent, false)
    , m_job(&protocol)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_GETFILE_CAPTION));
    SetClientSize(187, 78);

    auto *pLabel = new QLabel(LoadText(StringId::IDS_DLG_GETFILE_RECEIVING), this);
    pLabel->setGeometry(Units().Rect(16, 8, 153, 12));

    m_pFileName = new ElidedLabel(Qt::ElideRight, this);
    m_pFileName->setText(LoadText(StringId::IDS_DLG_GETFILE_FILE_NAME));
    m_pFileName->setGeometry(Units().Rect(16, 21, 153, 12));

    m_pProgress = new QProgressBar(this);
    m_pProgress->setGeometry(Units().Rect(13, 36, 161, 16));
    m_pProgress->setTextVisible(false);

    m_pCancel = new QPushButton(LoadText(StringId::IDS_DLG_GETFILE_CANCEL), this);
    m_pCancel->setGeometry(Units().Rect(68, 61, 50, 14));
    m_pCancel->setDefault(true);
    connect(m_pCancel, &QPushButton::clicked, this, &CDlgGetFile::reject);
}

CDlgGetFile::~CDlgGetFile()
{
    m_job.Stop();
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
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_job.m_pFileNames = m_pFileNames;
    m_job.m_strDestFolder = m_strDestFolder;
    m_job.m_pPlan = m_pPlan;
    m_job.m_hNotifyWnd = Target();
    m_job.Launch();
}

void CDlgGetFile::OnPosted(PostedMessage &message)
{
    switch (message.nMessage) {
    case WM_JOB_FILE:
        m_pFileName->setText(message.strText);
        break;
    case WM_JOB_PROGRESS:
        m_pProgress->setValue(ProgressPosition(message.wParam, message.lParam));
        break;
    case WM_JOB_MESSAGE:
        // The flag is set before the box is shown: the box's own loop may deliver the job's
        // end while it is open, and the end code must already tell of the failure.
        if (message.lParam != 0)
            m_bFailed = true;
        ShowMessageBox(this, message.strText, QMessageBox::Critical);
        break;
    case WM_CLOSE:
        EndOfJob();
        break;
    default:
        break;
    }
}

void CDlgGetFile::reject()
{
    m_job.RequestStop();
    m_pCancel->setEnabled(false);
}

void CDlgGetFile::EndOfJob()
{
    m_job.Stop();
    done(m_bFailed ? IDCANCEL : IDOK);
}

void CDlgGetFile::closeEvent(QCloseEvent *pEvent)
{
    // A close request from the keyboard is Cancel: the dialog stays up until the job's end
    // arrives, without blocking the window, and ends as Cancel would, so a download cut short
    // is reported and ends with IDCANCEL.
    pEvent->ignore();
    if (!isVisible() || IsCloseRequested())
        return;
    reject();
    AwaitJobEndAfterClose(m_job);
}
