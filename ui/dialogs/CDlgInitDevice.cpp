#include "ui/dialogs/CDlgInitDevice.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

CDlgInitDevice::CDlgInitDevice(RecorderProtocol &protocol, IRecorderContentSink &sink, QWidget *pParent)
    : OperationDialog(pParent, false)
    , m_job(&protocol)
    , m_sink(sink)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_INITDEVICE_CAPTION));
    SetClientSize(203, 105);

    auto *pNotice = new QLabel(LoadText(StringId::IDS_DLG_INITDEVICE_PLEASE_WAIT), this);
    pNotice->setGeometry(Units().Rect(82, 21, 114, 15));

    m_pMessage = new QLabel(LoadText(StringId::IDS_DLG_INITDEVICE_MSG), this);
    m_pMessage->setGeometry(Units().Rect(7, 52, 189, 24));
    m_pMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_pMessage->setWordWrap(true);

    m_pHourglass = new HourglassWidget(this);
    m_pHourglass->setGeometry(Units().Rect(36, 11, 36, 30));

    m_pButton = new QPushButton(LoadText(StringId::IDS_DLG_INITDEVICE_CANCEL), this);
    m_pButton->setGeometry(Units().Rect(80, 83, 45, 15));
    // Enter must not press the button: only a click or the space bar does.
    m_pButton->setAutoDefault(false);
    connect(m_pButton, &QPushButton::clicked, this, &CDlgInitDevice::OnButton);
}

CDlgInitDevice::~CDlgInitDevice()
{
    m_job.Stop();
}

QString CDlgInitDevice::MessageText() const
{
    return m_pMessage->text();
}

void CDlgInitDevice::OnOpening()
{
    m_bFailed = false;
    m_sink.RemoveAll();
    m_job.m_hNotifyWnd = Target();
    m_job.m_hDataWnd = Target();
    m_job.Launch();
    m_pHourglass->StartAnimation();
}

void CDlgInitDevice::OnPosted(PostedMessage &message)
{
    switch (message.nMessage) {
    case WM_JOB_MESSAGE:
        m_pMessage->setText(message.strText);
        if (message.lParam != 0) {
            m_bFailed = true;
            m_pButton->setText(LoadText(StringId::IDS_CLOSE));
            m_pButton->setEnabled(true);
            m_pHourglass->StopAnimation();
            // A close request that came first has already asked for Close.
            if (IsCloseRequested())
                OnButton();
        }
        break;
    case WM_REC_FILE_ENTRY:
        if (message.pEntry)
            m_sink.AddItem(int(message.wParam), *message.pEntry);
        break;
    case WM_REC_DEVICE_INFO:
        m_strInfo = message.strText;
        m_sink.SetInfoText(m_strInfo);
        break;
    case WM_REC_CARD_INFO:
        m_strInfo += message.strText;
        m_sink.SetInfoText(m_strInfo);
        break;
    case WM_CLOSE:
        EndOfJob();
        break;
    default:
        break;
    }
}

void CDlgInitDevice::OnButton()
{
    if (m_bFailed) {
        m_job.Stop();
        done(IDCANCEL);
        return;
    }
    m_pButton->setEnabled(false);
    m_job.RequestStop();
}

void CDlgInitDevice::EndOfJob()
{
    m_job.Stop();
    m_pHourglass->StopAnimation();
    done(IDOK);
}

void CDlgInitDevice::keyPressEvent(QKeyEvent *pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        pEvent->accept();
        return;
    default:
        OperationDialog::keyPressEvent(pEvent);
    }
}

void CDlgInitDevice::closeEvent(QCloseEvent *pEvent)
{
    // A close request from the keyboard is the button: Close after a failure, Cancel before
    // it. After Cancel the dialog waits for the job's end without blocking the window and then
    // ends as Cancel and Close would end it, so a connection cut short in its file list ends
    // with IDCANCEL, never as a completed one.
    pEvent->ignore();
    if (!isVisible() || IsCloseRequested())
        return;
    if (m_bFailed) {
        OnButton();
        return;
    }
    m_pButton->setEnabled(false);
    m_job.RequestStop();
    AwaitJobEndAfterClose(m_job);
}
