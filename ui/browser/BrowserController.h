#pragma once

#include "protocol/PostTarget.h"
#include "ui/browser/IBrowserShell.h"
#include "ui/browser/IOperationDialogs.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QObject>
#include <QStringList>

#include <memory>

class DownloadPlan;
class FileListTableModel;
class QTimer;
class RecorderFileEntry;
class RecorderLink;
class RecorderProtocol;

// The file browser without its widgets: the rows of the file list, the connection state, the
// reaction to device arrival and removal, and the file commands, which gather their input and
// run the operation dialogs and prompts in a fixed order. CChildView shows it.
class BrowserController final : public QObject, public IRecorderContentSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserController)

public:
    // The controller opens the protocol's link and hears its device notices; the shell and the
    // dialogs are how it reaches the user.
    BrowserController(RecorderProtocol &protocol, IBrowserShell &shell,
                      std::unique_ptr<IOperationDialogs> pDialogs, QObject *pParent = nullptr);
    ~BrowserController() override;

    // Registers for device notices (message 164 when that fails) and makes the first
    // connection attempt, which may run the connect dialog.
    void Initialize();

    // Opens the recorder link and, when it opened, runs the connect dialog. True when the link
    // opened.
    bool ConnectRecorder();
    bool IsConnected() const { return m_bConnected; }

    // Command routing: whether the command is one of the browser's and enabled now, and running
    // it. OnCommand returns false for a command that is not the browser's.
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
    // A double-click on the list: nRow is the row that holds the selection mark, negative for
    // none (then nothing happens).
    void OnListDoubleClicked(int nRow);

    // True when at least one row is checked; otherwise message 168 and false.
    bool EnsureChecked();
    // The names the plan downloads over a file already in the destination, in its order.
    static QStringList FindExistingFiles(const DownloadPlan &plan);
    // Asks the toolbar and the menu to read the commands' enabled state now.
    void UpdateCommandStates();

    // What the connect dialog fills. Rows added at the end reach the views in batches, at most
    // one per screen refresh.
    void RemoveAll() override;
    void AddItem(int nIndex, const RecorderFileEntry &entry) override;
    void SetInfoText(const QString &strText) override;
    void SetIdentification(const QString &strText) override { m_strIdentification = strText; }

    // Runs the archive start dialog, then the run, then reads the card again.
    void OnArchive();
    // The list's archive marks, from the journal of the archive folder setting.
    void UpdateArchiveMarks();
    // The recorder as the archive journal names it: its USB serial number, else its
    // identification text.
    QString RecorderIdentity() const;

    FileListTableModel *Model() const { return m_pModel; }
    bool IsOpenAfterGetSet() const { return m_bOpenAfterGet; }
    bool IsArrivalHeld() const { return m_bArrivalHeld; }

signals:
    // The enabled state of the commands may have changed: ask IsCommandEnabled again.
    void CommandStatesChanged();

protected:
    bool event(QEvent *pEvent) override;

private:
    // Marks the span of a command or connection: a device arrival that comes meanwhile is held
    // and handled once the outermost one has ended, so two recorder jobs never run together.
    class OperationScope;

    void OnDeviceChange(quint32 nEventType);
    // Connects for an arrival that was held, once no operation runs and no worker thread that
    // a dialog let go is still alive: reopening the link would cut into that thread's exchange.
    void HandleHeldArrival();
    int ShowMessage(quint32 nTextId, IBrowserShell::Icon icon,
                    IBrowserShell::Buttons buttons = IBrowserShell::Buttons::Ok);

    FileListTableModel *m_pModel = nullptr;
    // True after a connect exchange ended with IDOK; the recorder commands are enabled only then.
    bool m_bConnected = false;
    // Set by a double-click: the download run that follows opens its first file.
    bool m_bOpenAfterGet = false;
    RecorderLink &m_link;
    IBrowserShell &m_shell;
    std::unique_ptr<IOperationDialogs> m_pDialogs;
    PostReceiver m_postReceiver;
    int m_nOperationDepth = 0;
    bool m_bArrivalHeld = false;
    // Looks again for the end of late worker threads while an arrival waits for it.
    QTimer *m_pLateJobTimer = nullptr;
    QString m_strIdentification;
};
