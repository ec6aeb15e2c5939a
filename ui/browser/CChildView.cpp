#include "ui/browser/CChildView.h"

#include "core/DownloadPlan.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "jobs/LocalReasonText.h"
#include "link/RecorderLink.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/browser/OpenFailureText.h"
#include "ui/browser/OperationDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMessageBox>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <utility>

CChildView *s_pChildView = nullptr;

namespace {
constexpr int INITIAL_LIST_SIZE = 50;
// Space a cell's text leaves for the item's margins before it counts as cut off.
constexpr int CELL_TEXT_MARGIN = 8;
// How often a held arrival looks for the end of a late worker thread.
constexpr int LATE_JOB_POLL_MS = 200;
} // namespace

class CChildView::OperationScope final
{
public:
    explicit OperationScope(CChildView &view)
        : m_view(view)
    {
        ++m_view.m_nOperationDepth;
    }
    ~OperationScope()
    {
        if (--m_view.m_nOperationDepth == 0 && m_view.m_bArrivalHeld) {
            // Queued, so the command that just ended has returned before the connection starts.
            QMetaObject::invokeMethod(
                &m_view, [pView = &m_view] { pView->HandleHeldArrival(); }, Qt::QueuedConnection);
        }
    }

private:
    CChildView &m_view;
};

CChildView::CChildView(RecorderProtocol &protocol, std::unique_ptr<IOperationDialogs> pDialogs,
                       QWidget *pParent)
    : QWidget(pParent)
    , m_wndList(new QTableView(this))
    , m_pModel(new FileListTableModel(this))
    , m_protocol(protocol)
    , m_link(protocol.Link())
    , m_pDialogs(std::move(pDialogs))
    , m_postReceiver(this)
    , m_pLateJobTimer(new QTimer(this))
{
    if (!m_pDialogs)
        m_pDialogs = std::make_unique<OperationDialogs>(m_protocol, *this);

    m_wndList->setGeometry(0, 0, INITIAL_LIST_SIZE, INITIAL_LIST_SIZE);
    m_wndList->setModel(m_pModel);
    m_wndList->setShowGrid(true);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_wndList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_wndList->setWordWrap(false);
    m_wndList->setTextElideMode(Qt::ElideRight);
    m_wndList->setSortingEnabled(false); // the header click sorts through the model's own rules
    m_wndList->verticalHeader()->hide();
    // Fixed row heights keep a list of 100,000 rows cheap to lay out.
    m_wndList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_wndList->verticalHeader()->setDefaultSectionSize(m_wndList->fontMetrics().height() + 6);
    QHeaderView *pHeader = m_wndList->horizontalHeader();
    pHeader->setSectionsClickable(true);
    pHeader->setHighlightSections(false);
    pHeader->setSortIndicatorShown(false);
    pHeader->setStretchLastSection(false);
    pHeader->setSectionResizeMode(QHeaderView::Interactive);
    pHeader->setMinimumSectionSize(MIN_NAME_COLUMN_WIDTH);
    m_wndList->setColumnWidth(CFileListModel::COL_NAME,
                              NAME_COLUMN_BASE_WIDTH - style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_wndList->setColumnWidth(CFileListModel::COL_DATE, DATE_COLUMN_WIDTH);
    m_wndList->setColumnWidth(CFileListModel::COL_SIZE, SIZE_COLUMN_WIDTH);
    m_wndList->viewport()->installEventFilter(this);
    setFocusProxy(m_wndList);

    connect(pHeader, &QHeaderView::sectionClicked, this, &CChildView::OnHeaderClicked);
    connect(m_wndList, &QAbstractItemView::doubleClicked, this, &CChildView::OnListDoubleClicked);
    m_pLateJobTimer->setSingleShot(true);
    m_pLateJobTimer->setInterval(LATE_JOB_POLL_MS);
    connect(m_pLateJobTimer, &QTimer::timeout, this, &CChildView::HandleHeldArrival);

    s_pChildView = this;
}

CChildView::~CChildView()
{
    m_postReceiver.Detach();
    RemoveAll();
    if (s_pChildView == this)
        s_pChildView = nullptr;
}

void CChildView::Initialize()
{
    m_bConnected = false;
    // Notices arrive on the transport's own thread; they reach this window as posted messages.
    const PostTarget target = m_postReceiver.Target();
    const bool bRegistered = m_link.RegisterNotifications(
        [target](quint32 nNotice) { target.Post(WM_DEVICECHANGE, DeviceNoticePost{nNotice}); });
    if (!bRegistered)
        ShowMessage(StringId::IDS_NOTIFICATION_FAILED, QMessageBox::Critical, QMessageBox::Ok);
    ConnectRecorder();
}

bool CChildView::ConnectRecorder()
{
    OperationScope scope(*this);
    if (m_link.Open(true)) {
        ShowStatus(LoadText(StringId::IDS_RECORDER_CONNECTED));
        if (m_pDialogs->RunInitDevice() == IDOK) {
            m_bConnected = true;
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
    ShowStatus(strText);
    return false;
}

bool CChildView::event(QEvent *pEvent)
{
    if (PostEvent *pPosted = PostEvent::From(pEvent)) {
        if (const DeviceNoticePost *pNotice = pPosted->Message().Get<DeviceNoticePost>()) {
            OnDeviceChange(pNotice->nNotice);
            return true;
        }
    }
    return QWidget::event(pEvent);
}

void CChildView::OnDeviceChange(quint32 nEventType)
{
    if (nEventType == ITransport::NOTICE_ARRIVAL) {
        m_bArrivalHeld = true;
        HandleHeldArrival();
    } else if (nEventType == ITransport::NOTICE_REMOVE_COMPLETE) {
        // An arrival still waiting is stale once the recorder has left again.
        m_bArrivalHeld = false;
        m_pLateJobTimer->stop();
        ShowStatus(LoadText(StringId::IDS_RECORDER_DISCONNECTED));
        RemoveAll();
        m_bConnected = false;
        UpdateCommandStates();
    }
}

void CChildView::HandleHeldArrival()
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

void CChildView::UpdateCommandStates()
{
    emit CommandStatesChanged();
}

bool CChildView::IsViewCommand(int nCommandId)
{
    switch (nCommandId) {
    case CommandId::ID_GET_FILES:
    case CommandId::ID_UPLOAD_FILE:
    case CommandId::ID_DELETE_FILES:
    case CommandId::ID_REFRESH_VIEW:
    case CommandId::ID_UPDATE_DATA:
    case CommandId::ID_SELECT_ALL:
    case CommandId::ID_DESELECT_ALL:
        return true;
    default:
        return false;
    }
}

bool CChildView::IsCommandEnabled(int nCommandId) const
{
    if (nCommandId == CommandId::ID_SELECT_ALL || nCommandId == CommandId::ID_DESELECT_ALL)
        return true;
    return IsViewCommand(nCommandId) && m_bConnected;
}

bool CChildView::OnCommand(int nCommandId)
{
    if (!IsViewCommand(nCommandId))
        return false;
    if (!IsCommandEnabled(nCommandId))
        return true; // a disabled command that still got here is swallowed
    switch (nCommandId) {
    case CommandId::ID_GET_FILES:
        OnGetFiles();
        break;
    case CommandId::ID_UPLOAD_FILE:
        OnUploadFile();
        break;
    case CommandId::ID_DELETE_FILES:
        OnDeleteFiles();
        break;
    case CommandId::ID_REFRESH_VIEW:
        RefreshView();
        break;
    case CommandId::ID_UPDATE_DATA:
        OnUpdateData();
        break;
    case CommandId::ID_SELECT_ALL:
        OnSelectAll();
        break;
    case CommandId::ID_DESELECT_ALL:
        OnDeselectAll();
        break;
    default:
        break;
    }
    return true;
}

void CChildView::RemoveAll()
{
    m_pModel->RemoveAll();
}

void CChildView::AddItem(int nIndex, const RecorderFileEntry &entry)
{
    m_pModel->AddItem(nIndex, entry);
}

void CChildView::SetInfoText(const QString &strText)
{
    if (s_pUpPane)
        s_pUpPane->SetInfoText(strText);
}

void CChildView::ShowStatus(const QString &strText)
{
    if (s_pUpPane)
        s_pUpPane->SetStatusText(strText);
}

void CChildView::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    m_wndList->setGeometry(0, 0, width(), height());
    FitNameColumn();
}

void CChildView::FitNameColumn()
{
    // The scroll bar's width is left free whether or not it shows, so the name column never
    // pushes the others under it.
    const int nClientWidth = m_wndList->contentsRect().width();
    const int nWidth = nClientWidth - m_wndList->columnWidth(CFileListModel::COL_DATE) -
                       m_wndList->columnWidth(CFileListModel::COL_SIZE) -
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_wndList->setColumnWidth(CFileListModel::COL_NAME, qMax(MIN_NAME_COLUMN_WIDTH, nWidth));
}

bool CChildView::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    // A cell whose text is cut off shows its full text as a tooltip.
    if (pWatched == m_wndList->viewport() && pEvent->type() == QEvent::ToolTip) {
        auto *pHelp = static_cast<QHelpEvent *>(pEvent);
        const QModelIndex index = m_wndList->indexAt(pHelp->pos());
        const QString strText = index.data(Qt::DisplayRole).toString();
        const int nAvailable = m_wndList->visualRect(index).width() - CELL_TEXT_MARGIN;
        if (index.isValid() && m_wndList->fontMetrics().horizontalAdvance(strText) > nAvailable)
            QToolTip::showText(pHelp->globalPos(), strText, m_wndList->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

void CChildView::OnHeaderClicked(int nColumn)
{
    m_pModel->SortByColumn(nColumn);
    // The row with the selection mark is brought into view; partly visible is enough.
    const QModelIndex current = m_wndList->currentIndex();
    if (current.isValid() && !m_wndList->viewport()->rect().intersects(m_wndList->visualRect(current)))
        m_wndList->scrollTo(current, QAbstractItemView::EnsureVisible);
}

int CChildView::ShowMessage(quint32 nTextId, int nIcon, int nButtons)
{
    return ShowMessageText(LoadText(nTextId), nIcon, nButtons);
}

int CChildView::ShowMessageText(const QString &strText, int nIcon, int nButtons)
{
    QMessageBox box(QMessageBox::Icon(nIcon), LoadText(StringId::IDS_APP_TITLE), strText,
                    QMessageBox::StandardButtons(nButtons), this);
    return box.exec();
}

bool CChildView::EnsureChecked()
{
    if (m_pModel->Rows().CheckedCount() > 0)
        return true;
    ShowMessage(StringId::IDS_NO_FILES_SELECTED, QMessageBox::Warning, QMessageBox::Ok);
    return false;
}

QStringList CChildView::FindExistingFiles(const DownloadPlan &plan)
{
    QStringList existing;
    for (const DownloadPlan::Item &item : plan.ToDownload())
        if (item.bExists)
            existing.append(item.strCardName);
    return existing;
}

void CChildView::OnGetFiles()
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
        ShowMessageText(RefusedDownloadsText(refused), QMessageBox::Warning, QMessageBox::Ok);
    const QStringList existing = FindExistingFiles(plan);
    if (!existing.isEmpty() && m_pDialogs->RunOverwriteFiles(existing) == IDCANCEL)
        plan.Drop(existing);
    const QList<DownloadPlan::Item> toDownload = plan.ToDownload();
    if (!toDownload.isEmpty())
        m_pDialogs->RunGetFile(plan);
    m_pModel->SetAllChecks(false);
    if (bOpenAfterGet && !toDownload.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(plan.LocalPath(toDownload.first())));
}

void CChildView::OnListDoubleClicked()
{
    const int nRow = m_wndList->currentIndex().row();
    if (nRow < 0)
        return;
    m_pModel->SetCheck(nRow, true);
    m_bOpenAfterGet = true;
    OnGetFiles();
}

void CChildView::OnUploadFile()
{
    OperationScope scope(*this);
    // "*" rather than "*.*": on this platform a name need not have a dot to be a file.
    const QString strFilters = LoadText(StringId::IDS_FILTER_ALL) + QStringLiteral(" (*);;") +
                               LoadText(StringId::IDS_FILTER_SYSTEM_IMAGES) + QStringLiteral(" (*.img)");
    const QString strPath = QFileDialog::getOpenFileName(this, QString(), QString(), strFilters);
    if (strPath.isEmpty())
        return;
    UploadLocalFile(strPath);
    RefreshView();
}

void CChildView::UploadLocalFile(const QString &strLocalPath)
{
    OperationScope scope(*this);
    m_pDialogs->RunUploadFile(strLocalPath);
}

void CChildView::OnDeleteFiles()
{
    OperationScope scope(*this);
    if (!EnsureChecked())
        return;
    if (ShowMessage(StringId::IDS_CONFIRM_DELETE, QMessageBox::Question,
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    QStringList names;
    m_pModel->Rows().CollectCheckedNames(names);
    if (m_pDialogs->RunDelFiles(names) != IDOK)
        ShowMessage(StringId::IDS_DELETE_NOT_COMPLETED, QMessageBox::Warning, QMessageBox::Ok);
    RefreshView();
}

void CChildView::RefreshView()
{
    OperationScope scope(*this);
    m_pDialogs->RunInitDevice();
}

void CChildView::OnUpdateData()
{
    OperationScope scope(*this);
    m_pDialogs->RunUpdateCF(parentWidget());
    RefreshView();
}

void CChildView::OnSelectAll()
{
    m_pModel->SetAllChecks(true);
}

void CChildView::OnDeselectAll()
{
    m_pModel->SetAllChecks(false);
}
