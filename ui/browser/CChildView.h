#pragma once

#include "protocol/PostTarget.h"
#include "ui/browser/IOperationDialogs.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class FileListTableModel;
class DownloadPlan;
class QTableView;
class QTimer;
class RecorderFileEntry;
class RecorderLink;
class RecorderProtocol;

// The file browser: the list of files on the recorder's card with a check box on each row,
// the connection state, the reaction to device arrival and removal, and the file commands,
// which gather their input and run the operation dialogs in a fixed order.
class CChildView final : public QWidget, public IRecorderContentSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChildView)

public:
    static constexpr int NAME_COLUMN_BASE_WIDTH = 450; // less the vertical scroll bar's width
    static constexpr int DATE_COLUMN_WIDTH = 150;
    static constexpr int SIZE_COLUMN_WIDTH = 100;
    static constexpr int MIN_NAME_COLUMN_WIDTH = 24;

    // The view opens the protocol's link and hears its device notices. pDialogs runs the
    // operation dialogs; null means the program's own dialogs on that protocol.
    explicit CChildView(RecorderProtocol &protocol, std::unique_ptr<IOperationDialogs> pDialogs = {},
                        QWidget *pParent = nullptr);
    ~CChildView() override;

    // The rest of creation: registers for device notices (message 164 when that fails) and
    // makes the first connection attempt, which may run the connect dialog. The frame calls it
    // once, after the information pane exists and after it has connected CommandStatesChanged.
    void Initialize();

    // Opens the recorder link and, when it opened, runs the connect dialog. True when the link
    // opened.
    bool ConnectRecorder();
    bool IsConnected() const { return m_bConnected; }

    // Command routing for the frame: whether the command is one of the view's and enabled now,
    // and running it. OnCommand returns false for a command that is not the view's.
    static bool IsViewCommand(int nCommandId);
    bool IsCommandEnabled(int nCommandId) const;
    bool OnCommand(int nCommandId);

    void OnGetFiles();
    void OnUploadFile();
    void OnDeleteFiles();
    void OnUpdateData();
    void OnSelectAll();
    void OnDeselectAll();
    // Runs the connect dialog again; changes neither the connection state nor the status text.
    void RefreshView();
    // Runs the upload dialog for one local file (the Upload command and the drop target).
    void UploadLocalFile(const QString &strLocalPath);

    // What the connect dialog fills. Rows added at the end reach the screen in batches, at most
    // one per screen refresh.
    void RemoveAll() override;
    void AddItem(int nIndex, const RecorderFileEntry &entry) override;
    void SetInfoText(const QString &strText) override;

    // Column 0 takes the width the other columns and a vertical scroll bar leave.
    void FitNameColumn();

    QTableView *ListControl() const { return m_wndList; }
    FileListTableModel *Model() const { return m_pModel; }
    bool IsOpenAfterGetSet() const { return m_bOpenAfterGet; }
    bool IsArrivalHeld() const { return m_bArrivalHeld; }

signals:
    // The enabled state of the view's commands may have changed: ask IsCommandEnabled again.
    void CommandStatesChanged();

protected:
    bool event(QEvent *pEvent) override;
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;

private:
    // Marks the span of a command or connection: a device arrival that comes meanwhile is held
    // and handled once the outermost one has ended, so two recorder jobs never run together.
    class OperationScope;

    void OnDeviceChange(quint32 nEventType);
    // Connects for an arrival that was held, once no operation runs and no worker thread that
    // a dialog let go is still alive: reopening the link would cut into that thread's exchange.
    void HandleHeldArrival();
    void UpdateCommandStates();
    // The connection state in the information pane.
    void ShowStatus(const QString &strText);
    bool EnsureChecked();
    // The names the plan downloads over a file already in the destination, in its order.
    static QStringList FindExistingFiles(const DownloadPlan &plan);
    void OnListDoubleClicked();
    void OnHeaderClicked(int nColumn);
    int ShowMessage(quint32 nTextId, int nIcon, int nButtons);
    int ShowMessageText(const QString &strText, int nIcon, int nButtons);

    QTableView *m_wndList = nullptr;
    FileListTableModel *m_pModel = nullptr;
    bool m_bConnected = false;
    bool m_bOpenAfterGet = false;
    RecorderProtocol &m_protocol;
    RecorderLink &m_link;
    std::unique_ptr<IOperationDialogs> m_pDialogs;
    PostReceiver m_postReceiver;
    int m_nOperationDepth = 0;
    bool m_bArrivalHeld = false;
    // Looks again for the end of late worker threads while an arrival waits for it.
    QTimer *m_pLateJobTimer = nullptr;
};

// The one file browser of the program, set while it exists.
extern CChildView *s_pChildView;
