#pragma once

#include "jobs/CJobUpdateCF.h"
#include "ui/dialogs/OperationDialog.h"

class HourglassWidget;
class RecorderProtocol;

// "Carrying out the command": makes the recorder save its archive to the card. No buttons and
// no way out but the job's result; a failure is shown in a message box. Always ends with IDOK.
class CDlgUpdateCF final : public JobDialog<CJobUpdateCF>
{
    Q_OBJECT

public:
    // pParent is the main window; the dialog is centred over it.
    explicit CDlgUpdateCF(RecorderProtocol &protocol, QWidget *pParent = nullptr);

    // For tests and screenshots.
    HourglassWidget *Hourglass() const { return m_pHourglass; }

protected:
    void OnOpening() override;
    void OnJobResult(const JobResultPost &post) override;
    bool OnCloseRequest() override;

private:
    HourglassWidget *m_pHourglass;
};
