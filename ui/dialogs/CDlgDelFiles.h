#pragma once

#include "jobs/CJobDelFiles.h"
#include "ui/dialogs/OperationDialog.h"

#include <QStringList>

class HourglassWidget;
class QLabel;
class QListWidget;
class QPushButton;
class RecorderProtocol;

// "File manager": deletes the listed recorder files one by one, one list line per file, and
// closes by itself when the job is over. IDCANCEL tells of a communication failure; a file the
// recorder refused does not change the end code.
class CDlgDelFiles final : public JobDialog<CJobDelFiles>
{
    Q_OBJECT

public:
    explicit CDlgDelFiles(RecorderProtocol &protocol, QWidget *pParent = nullptr);

    // fileNames must stay unchanged until this returns.
    int Execute(const QStringList &fileNames);

    // For tests and screenshots.
    QListWidget *Lines() const { return m_pList; }
    QPushButton *Button() const { return m_pButton; }
    HourglassWidget *Hourglass() const { return m_pHourglass; }
    bool IsCancellable() const { return m_bCancellable; }

protected:
    void OnOpening() override;
    void OnJobText(const JobTextPost &post) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;
    // The only button, and Enter, ask for a stop; Escape does nothing.
    void accept() override;

private:
    bool m_bFailed = false;
    bool m_bCancellable = true;
    const QStringList *m_pFileNames = nullptr; // the caller's, until Execute returns
    HourglassWidget *m_pHourglass;
    QLabel *m_pNotice;
    QListWidget *m_pList;
    QPushButton *m_pButton;
};
