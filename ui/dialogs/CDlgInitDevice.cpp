#include "ui/dialogs/CDlgInitDevice.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

CDlgInitDevice::CDlgInitDevice(RecorderProtocol &protocol, IRecorderContentSink &sink, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_INITDEVICE_CAPTION, 203, 105})
    , m_sink(sink)
{
    AddControl<QLabel>(82, 21, 114, 15, LoadText(StringId::IDS_DLG_INITDEVICE_PLEASE_WAIT));

    m_pMessage = AddControl<QLabel>(7, 52, 189, 24, LoadText(StringId::IDS_DLG_INITDEVICE_MSG));
    m_pMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_pMessage->setWordWrap(true);

    m_pHourglass = AddControl<HourglassWidget>(36, 11, 36, 30);

    m_pButton = AddControl<QPushButton>(80, 83, 45, 15, LoadText(StringId::IDS_DLG_INITDEVICE_CANCEL));
    // Enter must not press the button: only a click or the space bar does.
    m_pButton->setAutoDefault(false);
    connect(m_pButton, &QPushButton::clicked, this, &CDlgInitDevice::OnButton);
}

QString CDlgInitDevice::MessageText() const
{
    return m_pMessage->text();
}

void CDlgInitDevice::OnOpening()
{
    m_bFailed = false;
    m_sink.RemoveAll();
    m_job.m_hDataWnd = Target();
    m_pHourglass->StartAnimation();
}

void CDlgInitDevice::OnJobText(const JobTextPost &post)
{
    m_pMessage->setText(post.strText);
    if (!post.bFailure)
        return;
    m_bFailed = true;
    m_pButton->setText(LoadText(StringId::IDS_CLOSE));
    m_pButton->setEnabled(true);
    m_pHourglass->StopAnimation();
    // A close request that came first has already asked for Close.
    if (IsCloseRequested())
        OnButton();
}

void CDlgInitDevice::OnFileEntry(const FileEntryPost &post)
{
    m_sink.AddItem(int(post.nIndex), post.entry);
}

void CDlgInitDevice::OnDeviceInfo(const QString &strText)
{
    m_strInfo = strText;
    m_sink.SetIdentification(strText);
    m_sink.SetInfoText(m_strInfo);
}

void CDlgInitDevice::OnCardInfo(const QString &strText)
{
    m_strInfo += strText;
    m_sink.SetInfoText(m_strInfo);
}

void CDlgInitDevice::OnJobEnded()
{
    m_pHourglass->StopAnimation();
    EndAfterJob(IDOK);
}

void CDlgInitDevice::OnButton()
{
    if (m_bFailed)
        EndAfterJob(IDCANCEL);
    else
        RequestJobStop(m_pButton);
}

bool CDlgInitDevice::OnCloseRequest()
{
    // A close request from the keyboard is the button: Close after a failure, Cancel before it.
    // After Cancel the dialog waits for the job's end and then ends as Cancel and Close would
    // end it, so a connection cut short in its file list ends with IDCANCEL, never as a
    // completed one.
    const bool bCancels = !m_bFailed;
    OnButton();
    return bCancels;
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
        JobDialog::keyPressEvent(pEvent);
    }
}
