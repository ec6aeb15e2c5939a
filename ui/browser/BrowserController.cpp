#include "ui/browser/BrowserController.h"

#include "core/DownloadPlan.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "jobs/LocalReasonText.h"
#include "link/RecorderLink.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "ui/browser/ArchiveMarks.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/browser/OpenFailureText.h"

#include <QTimer>

#include <utility>

namespace {
// How often a held arrival looks for the end of a late worker thread.
constexpr int LATE_JOB_POLL_MS = 200;

// The browser's commands: the handler of each, and whether it needs a connected recorder.
struct BrowserCommand
{
    int nId;
    void (BrowserController::*pRun)();
    bool bNeedsRecorder;
};

constexpr BrowserCommand COMMANDS[] = {
    {CommandId::ID_GET_FILES, &BrowserController::OnGetFiles, true},
    {CommandId::ID_UPLOAD_FILE, &BrowserController::OnUploadFile, true},
    {CommandId::ID_DELETE_FILES, &BrowserController::OnDeleteFiles, true},
    {CommandId::ID_REFRESH_VIEW, &BrowserController::RefreshView, true},
    {CommandId::ID_UPDATE_DATA, &BrowserController::OnUpdateData, true},
    {CommandId::ID_ARCHIVE, &BrowserController::OnArchive, true},
    {CommandId::ID_SELECT_ALL, &BrowserController::OnSelectAll, false},
    {CommandId::ID_DESELECT_ALL, &BrowserController::OnDeselectAll, false},
};

const BrowserCommand *FindCommand(int nCommandId)
{
    for (const BrowserCommand &command : COMMANDS)
        if (command.nId == nCommandId)
            return &command;
    return nullptr;
}
} // namespace

class BrowserController::OperationScope final
{
public:
    explicit OperationScope(BrowserController &controller)
        : m_controller(controller)
    {
        ++m_controller.m_nOperationDepth;
    }
    ~OperationScope()
    {
        if (--m_controller.m_nOperationDepth == 0 && m_controller.m_bArrivalHeld) {
            // Queued, so the command that just ended has returned before the connection starts.
            QMetaObject::invokeMethod(
                &m_controller, [pController = &m_controller] { pController->HandleHeldArrival(); },
                Qt::QueuedConnection);
        }
    }

private:
    BrowserController &m_controller;
};

BrowserController::BrowserController(RecorderProtocol &protocol, IBrowserShell &shell,
                                     std::unique_ptr<IOperationDialogs> pDialogs, QObject *pParent)
    : QObject(pParent)
    , m_pModel(new FileListTableModel(this))
    , m_link(protocol.Link())
    , m_shell(shell)
    , m_pDialogs(std::move(pDialogs))
    , m_postReceiver(this)
    , m_pLateJobTimer(new QTimer(this))
{
    m_pLateJobTimer->setSingleShot(true);
    m_pLateJobTimer->setInterval(LATE_JOB_POLL_MS);
    connect(m_pLateJobTimer, &QTimer::timeout, this, &BrowserController::HandleHeldArrival);
}

BrowserController::~BrowserController()
{
    m_postReceiver.Detach();
}

void BrowserController::Initialize()
{
    m_bConnected = false;
    // Notices arrive on the transport's own thread; they reach this object as posted messages.
    const PostTarget target = m_postReceiver.Target();
    const bool bRegistered = m_link.RegisterNotifications(
        [target](quint32 nNotice) { target.Post(WM_DEVICECHANGE, DeviceNoticePost{nNotice}); });
    if (!bRegistered)
        ShowMessage(StringId::IDS_NOTIFICATION_FAILED, IBrowserShell::Icon::Critical);
    ConnectRecorder();
}

bool BrowserController::ConnectRecorder()
{
    OperationScope scope(*this);
    if (m_link.Open(true)) {
        m_shell.ShowStatusText(LoadText(StringId::IDS_RECORDER_CONNECTED));
        m_strIdentification.clear();
        if (m_pDialogs->RunInitDevice() == IDOK) {
            m_bConnected = true;
            UpdateArchiveMarks();
            UpdateCommandStates();
        }
        return true;
    }
    m_bConnected = false;
    UpdateCommandStates();
    QString strText = LoadText(StringId::IDS_RECORDER_NOT_CONNECTED);
    const QString strReason = OpenFailureText(m_link.OpenFailureReason());
    if (!strReason.isEmpty())
        strText += u'\n' + strReason;
    m_shell.ShowStatusText(strText);
    return false;
}

bool BrowserController::event(QEvent *pEvent)
{
    if (PostEvent *pPosted = PostEvent::From(pEvent)) {
        if (const DeviceNoticePost *pNotice = pPosted->Message().Get<DeviceNoticePost>()) {
            OnDeviceChange(pNotice->nNotice);
            return true;
        }
    }
    return QObject::event(pEvent);
}

void BrowserController::OnDeviceChange(quint32 nEventType)
{
    if (nEventType == ITransport::NOTICE_ARRIVAL) {
        m_bArrivalHeld = true;
        HandleHeldArrival();
    } else if (nEventType == ITransport::NOTICE_REMOVE_COMPLETE) {
        // An arrival still waiting is stale once the recorder has left again.
        m_bArrivalHeld = false;
        m_pLateJobTimer->stop();
        m_shell.ShowStatusText(LoadText(StringId::IDS_RECORDER_DISCONNECTED));
        RemoveAll();
        m_bConnected = false;
        UpdateCommandStates();
    }
}

void BrowserController::HandleHeldArrival()
{
    if (m_nOperationDepth > 0 || !m_bArrivalHeld)
        return; // still busy: the operation's end posts this again
    if (CWorkerThread::LiveThreadCount() > 0) {
        m_pLateJobTimer->start();
        return;
    }
    m_bArrivalHeld = false;
    ConnectRecorder();
}

void BrowserController::UpdateCommandStates()
{
    emit CommandStatesChanged();
}

bool BrowserController::IsViewCommand(int nCommandId)
{
    return FindCommand(nCommandId) != nullptr;
}

bool BrowserController::IsCommandEnabled(int nCommandId) const
{
    const BrowserCommand *pCommand = FindCommand(nCommandId);
    return pCommand && (!pCommand->bNeedsRecorder || m_bConnected);
}

bool BrowserController::OnCommand(int nCommandId)
{
    const BrowserCommand *pCommand = FindCommand(nCommandId);
    if (!pCommand)
        return false;
    // A disabled command that still got here is swallowed.
    if (IsCommandEnabled(nCommandId))
        (this->*pCommand->pRun)();
    return true;
}

void BrowserController::RemoveAll()
{
    m_pModel->RemoveAll();
}

void BrowserController::AddItem(int nIndex, const RecorderFileEntry &entry)
{
    m_pModel->AddItem(nIndex, entry);
}

void BrowserController::SetInfoText(const QString &strText)
{
    m_shell.ShowInfoText(strText);
}

int BrowserController::ShowMessage(quint32 nTextId, IBrowserShell::Icon icon, IBrowserShell::Buttons buttons)
{
    return m_shell.ShowMessage(LoadText(nTextId), icon, buttons);
}

bool BrowserController::EnsureChecked()
{
    if (m_pModel->Rows().CheckedCount() > 0)
        return true;
    ShowMessage(StringId::IDS_NO_FILES_SELECTED, IBrowserShell::Icon::Warning);
    return false;
}

QStringList BrowserController::FindExistingFiles(const DownloadPlan &plan)
{
    QStringList existing;
    for (const DownloadPlan::Item &item : plan.ToDownload())
        if (item.bExists)
            existing.append(item.strCardName);
    return existing;
}

void BrowserController::OnGetFiles()
{
    OperationScope scope(*this);
    // Every run consumes the open-after-download request, also one that ends early, so a later
    // run from the menu never opens a file nobody asked to open.
    const bool bOpenAfterGet = std::exchange(m_bOpenAfterGet, false);
    if (!EnsureChecked())
        return;
    QString strFolder;
    if (m_pDialogs->RunSaveTo(&strFolder) != IDOK)
        return;
    // Every name is decided before anything is asked of the recorder: the names this folder
    // cannot take are shown together, and the others are downloaded.
    DownloadPlan plan(strFolder, DownloadPlan::Existing::Replace);
    for (const FileListItem &item : m_pModel->Rows().CheckedItems())
        plan.Add(item.m_strName, FileTime::ToLocalDateTime(item.m_ftModified), item.m_nSize);
    const QList<DownloadPlan::Item> refused = plan.Refused();
    if (!refused.isEmpty())
        m_shell.ShowMessage(RefusedDownloadsText(refused), IBrowserShell::Icon::Warning,
                            IBrowserShell::Buttons::Ok);
    const QStringList existing = FindExistingFiles(plan);
    if (!existing.isEmpty() && m_pDialogs->RunOverwriteFiles(existing) == IDCANCEL)
        plan.Drop(existing);
    const QList<DownloadPlan::Item> toDownload = plan.ToDownload();
    if (!toDownload.isEmpty())
        m_pDialogs->RunGetFile(plan);
    m_pModel->SetAllChecks(false);
    if (bOpenAfterGet && !toDownload.isEmpty())
        m_shell.OpenWithDesktop(plan.LocalPath(toDownload.first()));
}

void BrowserController::OnListDoubleClicked(int nRow)
{
    if (nRow < 0)
        return;
    m_pModel->SetCheck(nRow, true);
    m_bOpenAfterGet = true;
    OnGetFiles();
}

void BrowserController::OnUploadFile()
{
    OperationScope scope(*this);
    const QString strPath = m_shell.ChooseFileToUpload();
    if (strPath.isEmpty())
        return;
    UploadLocalFile(strPath);
    RefreshView();
}

void BrowserController::UploadLocalFile(const QString &strLocalPath)
{
    OperationScope scope(*this);
    m_pDialogs->RunUploadFile(strLocalPath);
}

void BrowserController::OnDeleteFiles()
{
    OperationScope scope(*this);
    if (!EnsureChecked())
        return;
    if (ShowMessage(StringId::IDS_CONFIRM_DELETE, IBrowserShell::Icon::Question,
                    IBrowserShell::Buttons::OkCancel) != IDOK)
        return;
    QStringList names;
    m_pModel->Rows().CollectCheckedNames(names);
    if (m_pDialogs->RunDelFiles(names) != IDOK)
        ShowMessage(StringId::IDS_DELETE_NOT_COMPLETED, IBrowserShell::Icon::Warning);
    RefreshView();
}

void BrowserController::RefreshView()
{
    OperationScope scope(*this);
    if (m_pDialogs->RunInitDevice() == IDOK)
        UpdateArchiveMarks();
}

void BrowserController::OnArchive()
{
    OperationScope scope(*this);
    QString strFolder;
    bool bDeleteAfter = false;
    if (m_pDialogs->RunArchiveStart(&strFolder, &bDeleteAfter) != IDOK)
        return;
    m_pDialogs->RunArchive(strFolder, bDeleteAfter);
    // The card may have lost files and the folder gained some: both are read again.
    RefreshView();
}

QString BrowserController::RecorderIdentity() const
{
    const QString strSerial = m_link.Serial();
    return strSerial.isEmpty() ? m_strIdentification : strSerial;
}

void BrowserController::UpdateArchiveMarks()
{
    m_pModel->SetArchiveMarks(
        ArchiveMarks::Compute(SettingsStore::ArchiveFolder(), RecorderIdentity(), m_pModel->Rows()));
}

void BrowserController::OnUpdateData()
{
    OperationScope scope(*this);
    m_pDialogs->RunUpdateCF();
    RefreshView();
}

void BrowserController::OnSelectAll()
{
    m_pModel->SetAllChecks(true);
}

void BrowserController::OnDeselectAll()
{
    m_pModel->SetAllChecks(false);
}
