#include "ui/dialogs/ArchiveRunDialog.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/RunProgressText.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

namespace {

// How often the run line is rewritten while a file's bytes arrive.
constexpr qint64 RUN_LINE_INTERVAL_MS = 250;
constexpr double BYTES_PER_MB = 1000.0 * 1000.0;

// The summary with OK and "Open folder", owned by pOwner; the folder opens in the file manager.
void ShowSummary(QWidget *pOwner, const QString &strSummary, const QString &strFolder)
{
    QMessageBox box(QMessageBox::Information, LoadText(StringId::IDS_APP_TITLE), strSummary, QMessageBox::Ok,
                    pOwner);
    box.button(QMessageBox::Ok)->setText(LoadText(StringId::IDS_MSGBOX_OK));
    QPushButton *pOpen = box.addButton(LoadText(StringId::IDS_ARCHIVE_OPEN_FOLDER), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == pOpen)
        QDesktopServices::openUrl(QUrl::fromLocalFile(strFolder));
}

} // namespace

ArchiveRunDialog::ArchiveRunDialog(RecorderProtocol &protocol, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_ARCHIVE_CAPTION, 267, 100},
                TransferTexts{StringId::IDS_DLG_ARCHIVE_RECEIVING, StringId::IDS_DLG_ARCHIVE_READING,
                              Qt::ElideRight, StringId::IDS_DLG_ARCHIVE_CANCEL})
{
    // The transfer dialog's controls, widened for the run line below the bar.
    NameLabel()->setGeometry(Units().Rect(16, 21, 235, 12));
    ProgressBar()->setGeometry(Units().Rect(13, 36, 241, 16));
    m_pRunLine = AddControl<QLabel>(16, 56, 235, 20);
    m_pRunLine->setWordWrap(true);
    m_pRunLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CancelButton()->setGeometry(Units().Rect(108, 80, 50, 14));
}

int ArchiveRunDialog::Execute(const QString &strFolder, bool bDeleteAfter)
{
    m_strFolder = strFolder;
    m_bDeleteAfter = bDeleteAfter;
    const int nResult = exec();
    if (!m_strSummary.isEmpty())
        ShowSummary(parentWidget(), m_strSummary, m_strFolder);
    return nResult;
}

QString ArchiveRunDialog::RunLineText(const RunProgressPost &run, quint64 nDoneBytes, qint64 nElapsedMs)
{
    const QString strSeparator = QStringLiteral(" \u00b7 ");
    QStringList parts{RunProgressText::FileOf(run.nFile, run.nFiles)};
    if (run.nTotalBytes == 0)
        return parts.join(strSeparator);
    const quint64 nDone = qMin(nDoneBytes, run.nTotalBytes);
    parts << RunProgressText::BytesOf(nDone, run.nTotalBytes);
    if (nElapsedMs >= RunProgressText::ESTIMATE_AFTER_MS && nDone > 0) {
        const double dMegabytesPerSecond = double(nDone) / BYTES_PER_MB / (double(nElapsedMs) / 1000.0);
        parts << LoadText(StringId::IDS_ARCHIVE_SPEED).arg(QLocale().toString(dMegabytesPerSecond, 'f', 1));
    }
    const QString strLeft = RunProgressText::TimeLeft(nDone, run.nTotalBytes, nElapsedMs);
    if (!strLeft.isEmpty())
        parts << strLeft;
    return parts.join(strSeparator);
}

void ArchiveRunDialog::OnOpening()
{
    m_bCancelled = false;
    m_strSummary.clear();
    m_run = RunProgressPost();
    m_nFileSoFar = 0;
    m_pRunLine->clear();
    m_job.m_options = Archive::Options();
    m_job.m_options.strDir = m_strFolder;
    m_job.m_options.bDeleteAfter = m_bDeleteAfter;
    m_job.m_options.strCommand = QStringLiteral("window");
    m_job.m_strLinkName = qEnvironmentVariable("ORVOCONNECT_LINK", QStringLiteral("usb"));
}

void ArchiveRunDialog::OnJobText(const JobTextPost &post)
{
    // The only text before the summary: another run holds the folder.
    m_pRunLine->setText(post.strText);
}

void ArchiveRunDialog::OnJobFile(const QString &strName)
{
    NameLabel()->setText(strName);
}

void ArchiveRunDialog::OnRunProgress(const RunProgressPost &run)
{
    // Each pass (hashing the folder's unhashed files, then the transfers) starts with file 0
    // and times itself; the wait for the folder, if there was one, is over.
    if (run.nFile == 0) {
        m_runClock.start();
        m_pRunLine->clear();
    }
    m_run = run;
    m_nFileSoFar = 0;
    ProgressBar()->setValue(0);
    ShowRunLine(true);
}

void ArchiveRunDialog::OnProgress(const ProgressPost &post)
{
    TransferDialog::OnProgress(post);
    m_nFileSoFar = post.nSoFar;
    ShowRunLine(false);
}

void ArchiveRunDialog::ShowRunLine(bool bNow)
{
    if (!bNow && m_shownClock.isValid() && m_shownClock.elapsed() < RUN_LINE_INTERVAL_MS)
        return;
    m_shownClock.start();
    if (m_run.nFile == 0)
        return;
    m_pRunLine->setText(RunLineText(m_run, m_run.nDoneBytes + m_nFileSoFar, m_runClock.elapsed()));
}

void ArchiveRunDialog::OnJobOutput(const JobOutputPost &post)
{
    if (const auto pOutput = std::dynamic_pointer_cast<const ArchiveRunOutput>(post.pOutput))
        m_strSummary = pOutput->m_strSummary;
}

void ArchiveRunDialog::OnJobEnded()
{
    EndAfterJob(m_bCancelled ? IDCANCEL : IDOK);
}

void ArchiveRunDialog::reject()
{
    m_bCancelled = true;
    TransferDialog::reject();
}

bool ArchiveRunDialog::OnCloseRequest()
{
    // The close box is Cancel: the dialog waits for the run's end and its summary.
    reject();
    return true;
}
