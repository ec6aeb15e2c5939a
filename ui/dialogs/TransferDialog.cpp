#include "ui/dialogs/TransferDialog.h"

#include "core/TextSource.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/ProgressPosition.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TransferDialog::TransferDialog(QWidget *pParent, const DialogFrame &frame, const TransferTexts &texts)
    : OperationDialog(pParent, frame)
{
    AddControl<QLabel>(16, 8, 153, 12, LoadText(texts.nLabelId));

    m_pName = AddControl<ElidedLabel>(16, 21, 153, 12, texts.elide);
    m_pName->setText(LoadText(texts.nNameId));

    m_pProgress = AddControl<QProgressBar>(13, 36, 161, 16);
    m_pProgress->setTextVisible(false);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);

    m_pCancel = AddControl<QPushButton>(68, 61, 50, 14, LoadText(texts.nCancelId));
    m_pCancel->setDefault(true);
    connect(m_pCancel, &QPushButton::clicked, this, &TransferDialog::reject);
}

void TransferDialog::OnProgress(const ProgressPost &post)
{
    m_pProgress->setValue(ProgressPosition(post.nSoFar, post.nTotal));
}

void TransferDialog::reject()
{
    RequestJobStop(m_pCancel);
}
