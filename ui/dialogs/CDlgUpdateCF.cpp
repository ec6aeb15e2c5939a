#include "ui/dialogs/CDlgUpdateCF.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/HourglassWidget.h"

#include <QLabel>

CDlgUpdateCF::CDlgUpdateCF(RecorderProtocol &protocol, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_UPDATECF_CAPTION, 203, 59})
{
    AddControl<QLabel>(82, 21, 114, 15, LoadText(StringId::IDS_DLG_UPDATECF_PLEASE_WAIT));
    m_pHourglass = AddControl<HourglassWidget>(36, 11, 36, 30);
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
    m_pHourglass->StartAnimation();
}

void CDlgUpdateCF::OnJobResult(const JobResultPost &post)
{
    m_pHourglass->StopAnimation();
    m_job.Stop();
    ShowResultBox(ResultTable::UpdateData, post.result);
    done(IDOK);
}

bool CDlgUpdateCF::OnCloseRequest()
{
    // The archive save cannot be cancelled: only the job's result ends the dialog.
    return false;
}
