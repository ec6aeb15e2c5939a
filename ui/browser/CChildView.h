#pragma once

#include "ui/browser/BrowserController.h"
#include "ui/browser/BrowserShell.h"
#include "ui/browser/IOperationDialogs.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class DownloadPlan;
class FileListTableModel;
class QTableView;
class RecorderFileEntry;
class RecorderProtocol;

// The file browser's window: the list of files on the recorder's card with a check box on each
// row, its columns, tooltips and header clicks. The connection state and the commands belong
// to its BrowserController; the view forwards to it.
class CChildView final : public QWidget, public IRecorderContentSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChildView)

public:
    static constexpr int NAME_COLUMN_BASE_WIDTH = 450; // less the vertical scroll bar's width
    static constexpr int DATE_COLUMN_WIDTH = 150;
    static constexpr int SIZE_COLUMN_WIDTH = 100;
    static constexpr int MIN_NAME_COLUMN_WIDTH = 24;

    // Through its controller the view opens the protocol's link and hears its device notices.
    // pDialogs runs the operation dialogs; null means the program's own dialogs on that protocol.
    explicit CChildView(RecorderProtocol &protocol, std::unique_ptr<IOperationDialogs> pDialogs = {},
                        QWidget *pParent = nullptr);
    ~CChildView() override;

    // The rest of creation: registers for device notices (message 164 when that fails) and
    // makes the first connection attempt, which may run the connect dialog. The frame calls it
    // once, after the information pane exists and after it has connected CommandStatesChanged.
    void Initialize() { m_pController->Initialize(); }

    bool ConnectRecorder() { return m_pController->ConnectRecorder(); }
    bool IsConnected() const { return m_pController->IsConnected(); }

    // Command routing for the frame: whether the command is one of the view's and enabled now,
    // and running it. OnCommand returns false for a command that is not the view's.
    static bool IsViewCommand(int nCommandId) { return BrowserController::IsViewCommand(nCommandId); }
    bool IsCommandEnabled(int nCommandId) const { return m_pController->IsCommandEnabled(nCommandId); }
    bool OnCommand(int nCommandId) { return m_pController->OnCommand(nCommandId); }

    void OnGetFiles() { m_pController->OnGetFiles(); }
    void OnUploadFile() { m_pController->OnUploadFile(); }
    void OnDeleteFiles() { m_pController->OnDeleteFiles(); }
    void OnUpdateData() { m_pController->OnUpdateData(); }
    void OnSelectAll() { m_pController->OnSelectAll(); }
    void OnDeselectAll() { m_pController->OnDeselectAll(); }
    void RefreshView() { m_pController->RefreshView(); }
    void UploadLocalFile(const QString &strLocalPath) { m_pController->UploadLocalFile(strLocalPath); }
    bool EnsureChecked() { return m_pController->EnsureChecked(); }
    static QStringList FindExistingFiles(const DownloadPlan &plan)
    {
        return BrowserController::FindExistingFiles(plan);
    }
    void UpdateCommandStates() { m_pController->UpdateCommandStates(); }

    // What the connect dialog fills.
    void RemoveAll() override { m_pController->RemoveAll(); }
    void AddItem(int nIndex, const RecorderFileEntry &entry) override
    {
        m_pController->AddItem(nIndex, entry);
    }
    void SetInfoText(const QString &strText) override { m_pController->SetInfoText(strText); }
    void SetIdentification(const QString &strText) override { m_pController->SetIdentification(strText); }

    // Column 0 takes the width the other columns and a vertical scroll bar leave.
    void FitNameColumn();

    QTableView *ListControl() const { return m_wndList; }
    FileListTableModel *Model() const { return m_pController->Model(); }
    bool IsOpenAfterGetSet() const { return m_pController->IsOpenAfterGetSet(); }

signals:
    // The enabled state of the view's commands may have changed: ask IsCommandEnabled again.
    void CommandStatesChanged();

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;

private:
    void OnHeaderClicked(int nColumn);

    QTableView *m_wndList = nullptr;
    BrowserShell m_shell;
    std::unique_ptr<BrowserController> m_pController;
};

// The one file browser of the program, set while it exists.
extern CChildView *s_pChildView;
