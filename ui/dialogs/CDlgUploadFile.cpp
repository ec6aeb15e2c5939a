#include "ui/dialogs/CDlgUploadFile.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ProgressPosition.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CDlgUploadFile::CDlgUploadFile(RecorderProtocol &protocol, QWidget *pParent)
    : OperationDialog(pParent, true)
    , m_job(&protocol)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_UPLOADFILE_CAPTION));
    SetClientSize(187, 78);

    auto *pLabel = new QLabel(LoadText(StringId::IDS_DLG_UPLOADFILE_UPLOADING), this);
    pLabel->setGeometry(Units().Rect(16, 8, 153, 12));

    m_pPath = new ElidedLabel(Qt::ElideMiddle, this);
    m_pPath->setText(LoadText(StringId::IDS_DLG_UPLOADFILE_FILE_NAME));
    m_pPath->setGeometry(Units().Rect(16, 21, 153, 12));

    m_pProgress = new QProgressBar(this);
    m_pProgress->setGeometry(Units().Rect(13, 36, 161, 16));
    m_pProgress->setTextVisible(false);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);

    m_pCancel = new QPushButton(LoadText(StringId::IDS_DLG_UPLOADFILE_CANCEL), this);
    m_pCancel->setGeometry(Units().Rect(68, 61, 50, 14));
    m_pCancel->setDefault(true);
    connect(m_pCancel, &QPushButton::clicked, this, &CDlgUploadFile::reject);
}

CDlgUploadFile::~CDlgUploadFile()
{
    m_job.Stop();
}

int CDlgUploadFile::Execute(const QString &strFilePath)
{
    m_strFilePath = strFilePath;
    return exec();
}

void CDlgUploadFile::OnOpening()
{
    m_pPath->setText(m_strFilePath);
    m_job.m_hNotifyWnd = Target();
    m_job.m_strFilePath = m_strFilePath;
    m_job.m_bOverwrite = false;
    m_job.Launch();
}

void CDlgUploadFile::OnPosted(PostedMessage &message)
{
    switch (message.nMessage) {
    case WM_JOB_PROGRESS:
        m_pProgress->setValue(ProgressPosition(message.wParam, message.lParam));
        break;
    case WM_JOB_MESSAGE:
        OnResult(int(message.wParam));
        break;
    default:
        break;
    }
}

void CDlgUploadFile::OnResult(int nResult)
{
    // The worker is joined before anyone is asked anything or the job runs again.
    m_job.Stop();

    quint32 nText = StringId::IDS_GENERAL_ERROR;
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (nResult) {
    case RESULT_OK:
        done(IDOK);
        return;
    case RESULT_FILE_EXISTS:
        if (ShowMessageBox(this, LoadText(StringId::IDS_OVERWRITE_ON_DEVICE), QMessageBox::Question,
                           QMessageBox::Ok | QMessageBox::Cancel) == IDOK) {
            // The second run is an upload like the first: a Cancel pressed before the refusal
            // was answered by the question, and the new run can be cancelled again.
            m_pProgress->setValue(0);
            m_pCancel->setEnabled(true);
            m_job.m_bOverwrite = true;
            m_job.Launch();
            return;
        }
        done(IDCANCEL);
        return;
    case RESULT_COMM_ERROR:
        nText = StringId::IDS_COMM_FAILED;
        break;
    case RESULT_CANCELLED:
        nText = StringId::IDS_USER_ABORTED;
        break;
    case RESULT_DEVICE_STOPPED:
        nText = StringId::IDS_DEVICE_STOPPED;
        break;
    case RESULT_HOST_IO_ERROR:
        nText = StringId::IDS_HOST_IO_ERROR;
        break;
    case RESULT_CARD_FULL:
        nText = StringId::IDS_CARD_FULL;
        icon = QMessageBox::Warning;
        break;
    case RESULT_NO_CARD:
        nText = StringId::IDS_NO_CARD;
        icon = QMessageBox::Warning;
        break;
    default:
        break;
    }
    ShowMessageBox(this, LoadText(nText), icon);
    done(IDCANCEL);
}

void CDlgUploadFile::reject()
{
    // Cancel, Escape and the close box ask the job to stop; only its result ends the dialog.
    m_job.RequestStop();
    m_pCancel->setEnabled(false);
}
