#pragma once

#include "jobs/CJobInitDevice.h"
#include "ui/dialogs/OperationDialog.h"

class HourglassWidget;
class IRecorderContentSink;
class QLabel;
class QPushButton;
class RecorderProtocol;

// "Communicating with a device": reads the recorder's information, card information and file
// list on a worker, relays them to the view through IRecorderContentSink as they arrive, and
// closes by itself on success. Ends with IDOK unless a failure was shown and the user closed it
// (IDCANCEL), or a close request found the job still running past its join time-out.
class CDlgInitDevice final : public JobDialog<CJobInitDevice>
{
    Q_OBJECT

public:
    CDlgInitDevice(RecorderProtocol &protocol, IRecorderContentSink &sink, QWidget *pParent = nullptr);

    // For tests and screenshots.
    QString MessageText() const;
    QPushButton *Button() const { return m_pButton; }
    HourglassWidget *Hourglass() const { return m_pHourglass; }
    bool IsFailed() const { return m_bFailed; }

protected:
    void OnOpening() override;
    void OnJobText(const JobTextPost &post) override;
    void OnFileEntry(const FileEntryPost &post) override;
    void OnDeviceInfo(const QString &strText) override;
    void OnCardInfo(const QString &strText) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;
    void keyPressEvent(QKeyEvent *pEvent) override;

private:
    // The button: Cancel until a failure is shown, then Close.
    void OnButton();

    bool m_bFailed = false;
    IRecorderContentSink &m_sink;
    QString m_strInfo;
    HourglassWidget *m_pHourglass;
    QLabel *m_pMessage;
    QPushButton *m_pButton;
};
