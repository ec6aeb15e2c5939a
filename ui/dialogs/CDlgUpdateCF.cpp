#include "ui/dialogs/CDlgUpdateCF.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"
#include "ui/dialogs/MessageBoxes.h"

#include <QCloseEvent>
#include <QLabel>

CDlgUpdateCF::CDlgUpdateCF(RecorderProtocol &protocol, QWidget *pParent)
    : OperationDialog(pParent, false)
    , m_job(&protocol)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_UPDATECF_CAPTION));
    SetClientSize(203, 59);

    auto *pNotice = new QLabel(LoadText(StringId::IDS_DLG_UPDATECF_PLEASE_WAIT), this);
    pNotice->setGeometry(Units().Rect(82, 21, 114, 15));

    m_pHourglass = new HourglassWidget(this);
    m_pHourglass->setGeometry(Units().Rect(36, 11, 36, 30));
}

CDlgUpdateCF::~CDlgUpdateCF()
{
    m_job.Stop();
}

void CDlgUpdateCF::OnOpening()
{
    // The parent is a pane inside the main window; the dialog centres over that window. A pane's
    // own geometry is relative to its parent, not to the screen.
    if (QWidget *pOwner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(pOwner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
    m_job.m_hNotifyWnd = Target();
    m_job.Launch();
    m_pHourglass->StartAnimation();
}

void CDlgUpdateCF::OnPosted(PostedMessage &message)
{
    if (message.nMessage != WM_JOB_MESSAGE)
        return;
    m_pHourglass->StopAnimation();
    m_job.Stop();
    switch (int(message.wParam)) {
    case RESULT_OK:
        break;
    case RESULT_NO_CARD:
        ShowMessageBox(this, LoadText(StringId::IDS_NO_CARD), QMessageBox::Warning);
        break;
    default:
        // A missing answer and every other failure read the same to the operator.
        ShowMessageBox(this, LoadText(StringId::IDS_DEVICE_STOPPED), QMessageBox::Information);
        break;
    }
    done(IDOK);
}

void CDlgUpdateCF::closeEvent(QCloseEvent *pEvent)
{
    // The archive save cannot be cancelled: only the job's result ends the dialog.
    pEvent->ignore();
}
