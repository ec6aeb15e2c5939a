#pragma once

#include "jobs/CJobArchive.h"
#include "ui/dialogs/TransferDialog.h"

#include <QElapsedTimer>
#include <QString>

class QLabel;
class RecorderProtocol;

// "Archiving new files": archives the card into a folder, showing the file in progress with its
// bar and, below, where the run stands (file k of n, megabytes, speed, time left), or that it
// waits for another run into the folder. Cancel stops the run; the file in flight leaves
// nothing behind. Once it has ended, the run's summary comes up, with a button that opens the
// folder.
class ArchiveRunDialog final : public JobDialog<CJobArchive, TransferDialog>
{
    Q_OBJECT

public:
    explicit ArchiveRunDialog(RecorderProtocol &protocol, QWidget *pParent = nullptr);

    // strFolder is absolute and ends with "/". Shows the summary before it returns; IDOK, or
    // IDCANCEL when the run was cancelled.
    int Execute(const QString &strFolder, bool bDeleteAfter);

    // For tests and screenshots.
    QLabel *RunLine() const { return m_pRunLine; }
    QString SummaryText() const { return m_strSummary; }
    // The download dialog's run line with the speed after the bytes: "File 2 of 4 · 4.1 of
    // 14.0 MB · 1.1 MB/s · 10 s left", in the language of the interface. Speed and time left
    // show once the run has gone on long enough to tell.
    static QString RunLineText(const RunProgressPost &run, quint64 nDoneBytes, qint64 nElapsedMs);

protected:
    void OnOpening() override;
    void OnJobText(const JobTextPost &post) override;
    void OnJobFile(const QString &strName) override;
    void OnRunProgress(const RunProgressPost &run) override;
    void OnProgress(const ProgressPost &post) override;
    void OnJobOutput(const JobOutputPost &post) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;
    void reject() override;

private:
    void ShowRunLine(bool bNow);

    QLabel *m_pRunLine;
    QString m_strFolder;
    bool m_bDeleteAfter = false;
    bool m_bCancelled = false;
    QString m_strSummary;
    RunProgressPost m_run;
    quint64 m_nFileSoFar = 0;
    QElapsedTimer m_runClock;
    QElapsedTimer m_shownClock;
};
