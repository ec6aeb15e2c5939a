#pragma once

#include "ui/dialogs/OperationDialog.h"

class ElidedLabel;
class QProgressBar;
class QPushButton;

// The texts of a transfer dialog's controls.
struct TransferTexts
{
    quint32 nLabelId = 0;                     // the fixed label above the name
    quint32 nNameId = 0;                      // the name's placeholder until the dialog opens
    Qt::TextElideMode elide = Qt::ElideRight; // where a name too long for one line is cut
    quint32 nCancelId = 0;
};

// What the download and upload dialogs share: a fixed label, the name of the file on one line
// cut with an ellipsis, the file's progress bar and a Cancel button. Cancel (the default
// button, so also Enter) and Escape ask the job to stop and grey the button out; only the job's
// end ends the dialog.
class TransferDialog : public OperationDialog
{
    Q_OBJECT

public:
    // For tests and screenshots.
    ElidedLabel *NameLabel() const { return m_pName; }
    QProgressBar *ProgressBar() const { return m_pProgress; }
    QPushButton *CancelButton() const { return m_pCancel; }

protected:
    TransferDialog(QWidget *pParent, const DialogFrame &frame, const TransferTexts &texts);

    void OnProgress(const ProgressPost &post) override;
    void reject() override;

private:
    ElidedLabel *m_pName;
    QProgressBar *m_pProgress;
    QPushButton *m_pCancel;
};
