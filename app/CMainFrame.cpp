#include "app/CMainFrame.h"

#include "app/AppCommandIds.h"
#include "app/CFileDropTarget.h"
#include "app/CPaneSplitter.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/dialogs/VerifyArchiveDialog.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <array>

CMainFrame *s_pMainFrame = nullptr;

namespace {

using namespace StringId;

struct ToolbarPosition
{
    int nCommand; // 0 for a separator
    const char *pszImage;
};

// The ten toolbar positions; position p is labelled with string 339 + p.
constexpr std::array<ToolbarPosition, 10> kToolbar{{
    {CommandId::ID_GET_FILES, "get-files"},
    {CommandId::ID_UPLOAD_FILE, "upload"},
    {CommandId::ID_REFRESH_VIEW, "refresh"},
    {CommandId::ID_DELETE_FILES, "delete"},
    {CommandId::ID_UPDATE_DATA, "update-data"},
    {0, nullptr},
    {CommandId::ID_SELECT_ALL, "select-all"},
    {CommandId::ID_DESELECT_ALL, "deselect-all"},
    {0, nullptr},
    {AppCommandId::ID_APP_ABOUT, "about"},
}};

// A command's string is its status-bar prompt, a line break, and its tooltip.
void SplitPrompt(quint32 nCommandId, QString *pstrPrompt, QString *pstrTip)
{
    const QString strText = LoadText(nCommandId);
    const qsizetype nBreak = strText.indexOf(QLatin1Char('\n'));
    *pstrPrompt = nBreak < 0 ? strText : strText.left(nBreak);
    *pstrTip = nBreak < 0 ? QString() : strText.mid(nBreak + 1);
}

QIcon ToolbarIcon(const QString &strImage)
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/toolbar/%1.png").arg(strImage));
    icon.addFile(QStringLiteral(":/images/toolbar/%1-16.png").arg(strImage));
    return icon;
}

} // namespace

CMainFrame::CMainFrame(RecorderLink &link, RecorderProtocol &protocol, QWidget *pParent)
    : QMainWindow(pParent)
    , m_link(link)
    , m_protocol(protocol)
{
    s_pMainFrame = this;
    setWindowTitle(LoadText(IDR_MAINFRAME));
    setMinimumSize(MIN_WIDTH, MIN_HEIGHT);
    resize(DEFAULT_WIDTH, DEFAULT_HEIGHT);
}

CMainFrame::~CMainFrame()
{
    if (s_pMainFrame == this)
        s_pMainFrame = nullptr;
}

QAction *CMainFrame::MakeAction(int nCommandId, quint32 nMenuTextId, const QString &strImage)
{
    QAction *pAction = m_actions.value(nCommandId);
    if (!pAction) {
        pAction = new QAction(this);
        pAction->setData(nCommandId);
        QString strPrompt;
        QString strTip;
        SplitPrompt(quint32(nCommandId), &strPrompt, &strTip);
        pAction->setStatusTip(strPrompt);
        pAction->setToolTip(strTip.isEmpty() ? strPrompt : strTip);
        if (!strImage.isEmpty())
            pAction->setIcon(ToolbarIcon(strImage));
        connect(pAction, &QAction::triggered, this, [this, nCommandId] { OnCommand(nCommandId); });
        m_actions.insert(nCommandId, pAction);
    }
    if (nMenuTextId)
        pAction->setText(LoadText(nMenuTextId));
    return pAction;
}

void CMainFrame::CreateMenu()
{
    using namespace CommandId;
    using namespace AppCommandId;
    QMenu *pFile = menuBar()->addMenu(LoadText(IDS_MENU_FILE));
    pFile->addAction(MakeAction(ID_GET_FILES, IDS_MENU_FILE_GET_FILES, QStringLiteral("get-files")));
    pFile->addAction(MakeAction(ID_UPLOAD_FILE, IDS_MENU_FILE_UPLOAD, QStringLiteral("upload")));
    pFile->addAction(MakeAction(ID_DELETE_FILES, IDS_MENU_FILE_DELETE, QStringLiteral("delete")));
    pFile->addAction(MakeAction(ID_REFRESH_VIEW, IDS_MENU_FILE_REFRESH, QStringLiteral("refresh")));
    pFile->addAction(MakeAction(ID_UPDATE_DATA, IDS_MENU_FILE_UPDATE_DATA, QStringLiteral("update-data")));
    pFile->addAction(MakeAction(ID_ARCHIVE, IDS_MENU_FILE_ARCHIVE));
    // The archive folder's commands come after the recorder's.
    pFile->addAction(MakeAction(AppCommandId::ID_VERIFY_ARCHIVE, IDS_MENU_FILE_VERIFY_ARCHIVE));
    pFile->addSeparator();
    pFile->addAction(MakeAction(ID_APP_EXIT, IDS_MENU_FILE_EXIT));

    QMenu *pView = menuBar()->addMenu(LoadText(IDS_MENU_VIEW));
    QAction *pToolbar = MakeAction(ID_VIEW_TOOLBAR, IDS_MENU_VIEW_TOOLBAR);
    pToolbar->setCheckable(true);
    pView->addAction(pToolbar);
    QAction *pStatusBar = MakeAction(ID_VIEW_STATUS_BAR, IDS_MENU_VIEW_STATUS_BAR);
    pStatusBar->setCheckable(true);
    pView->addAction(pStatusBar);
    pView->addSeparator();
    pView->addAction(MakeAction(ID_SELECT_ALL, IDS_MENU_VIEW_SELECT_ALL, QStringLiteral("select-all")));
    pView->addAction(MakeAction(ID_DESELECT_ALL, IDS_MENU_VIEW_DESELECT_ALL, QStringLiteral("deselect-all")));

    QMenu *pOptions = menuBar()->addMenu(LoadText(IDS_MENU_OPTIONS));
    pOptions->addAction(MakeAction(ID_APP_SETTINGS, IDS_MENU_OPTIONS_SETTINGS));

    QMenu *pHelp = menuBar()->addMenu(LoadText(IDS_MENU_HELP));
    pHelp->addAction(MakeAction(ID_APP_ABOUT, IDS_MENU_HELP_ABOUT, QStringLiteral("about")));
    AddShortcuts();
}

void CMainFrame::AddShortcuts()
{
    using namespace CommandId;
    const std::pair<int, QKeySequence> keys[] = {
        {ID_REFRESH_VIEW, QKeySequence(Qt::Key_F5)},
        {ID_DELETE_FILES, QKeySequence(Qt::Key_Delete)},
        {ID_SELECT_ALL, QKeySequence(Qt::CTRL | Qt::Key_A)},
        {AppCommandId::ID_APP_EXIT, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto &[nCommand, key] : keys) {
        QAction *pAction = Action(nCommand);
        // The menus show the key beside the command.
        pAction->setShortcut(key);
        // Held by the frame too, the key works with the toolbar hidden.
        addAction(pAction);
    }
}

bool CMainFrame::CreateToolBar()
{
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_pToolBar->setIconSize(QSize(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE));
    m_pToolBar->setMovable(false);
    m_pToolBar->setFloatable(false);
    m_pToolBar->toggleViewAction()->setVisible(false);
    QList<QToolButton *> group;
    for (size_t p = 0; p < kToolbar.size(); ++p) {
        const ToolbarPosition &position = kToolbar[p];
        if (!position.nCommand) {
            SpaceToolBarLabels(group);
            group.clear();
            m_pToolBar->addSeparator();
            continue;
        }
        QAction *pAction = MakeAction(position.nCommand, 0, QString::fromLatin1(position.pszImage));
        // The button's label is its own string; the menu keeps the menu text.
        QToolButton *pButton = new QToolButton(m_pToolBar);
        pButton->setDefaultAction(pAction);
        pButton->setText(LoadText(IDS_TOOLBAR_FIRST + quint32(p)));
        pButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        pButton->setIconSize(QSize(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE));
        pButton->setAutoRaise(true);
        // Like the desktop's toolbars, the buttons are for the mouse: the keyboard starts and
        // stays in the file list.
        pButton->setFocusPolicy(Qt::NoFocus);
        // setDefaultAction copies the action's text; keep the label when the action changes.
        connect(pAction, &QAction::changed, pButton,
                [pButton, p] { pButton->setText(LoadText(IDS_TOOLBAR_FIRST + quint32(p))); });
        pButton->setFixedSize(ToolBarButtonWidth(*pButton), TOOLBAR_BUTTON_HEIGHT);
        m_pToolBar->addWidget(pButton);
        group.append(pButton);
    }
    SpaceToolBarLabels(group);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    // A new window is wide enough to show every button.
    if (const int nWidth = m_pToolBar->sizeHint().width(); nWidth > width())
        resize(nWidth, height());
    return true;
}

int CMainFrame::ToolBarButtonWidth(const QToolButton &button)
{
    // The label is drawn inside the button's frame and is cut short when it does not fit, so a
    // button with a long (translated) label grows wider than the standard width.
    const int nFrame = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
    const int nLabel = button.fontMetrics().horizontalAdvance(button.text());
    return std::max(int(TOOLBAR_BUTTON_WIDTH), nLabel + 2 * nFrame);
}

void CMainFrame::SpaceToolBarLabels(const QList<QToolButton *> &group)
{
    const auto labelWidth = [](const QToolButton *pButton) {
        return pButton->fontMetrics().horizontalAdvance(pButton->text());
    };
    // A label is centred in its button, so the room between two labels is half of what the
    // two buttons leave beside their labels. Widening only ever adds room to other pairs.
    for (qsizetype i = 1; i < group.size(); ++i) {
        QToolButton *pLeft = group[i - 1];
        QToolButton *pRight = group[i];
        const int nBeside = pLeft->width() - labelWidth(pLeft) + pRight->width() - labelWidth(pRight);
        const int nShort = 2 * TOOLBAR_LABEL_GAP - nBeside;
        if (nShort <= 0)
            continue;
        const int nEach = (nShort + 1) / 2;
        pLeft->setFixedWidth(pLeft->width() + nEach);
        pRight->setFixedWidth(pRight->width() + nEach);
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar *pStatus = statusBar();
    pStatus->setObjectName(QStringLiteral("statusbar"));
    // The idle text stays underneath: command prompts cover it while the pointer rests on a
    // command and it shows again when they clear.
    m_pIdleLabel = new QLabel(LoadText(IDS_READY), pStatus);
    pStatus->addWidget(m_pIdleLabel, 1);
}

bool CMainFrame::Create()
{
    CreateMenu();
    if (!CreateToolBar())
        return false;

    m_pSplitter = new CPaneSplitter(2, CPaneSplitter::STACKED, 50, 3, this);
    setCentralWidget(m_pSplitter);
    // Lay the hidden frame out at its first size, so that the weights are shared out over the
    // real client area rather than a new widget's placeholder size.
    layout()->activate();
    m_pSplitter->SetPaneWeights({40, 100});
    m_pPane = new CUpPane;
    m_pSplitter->CreatePane(0, m_pPane);
    m_pView = new CChildView(m_protocol);
    m_pSplitter->CreatePane(1, m_pView);
    setFocusProxy(m_pView);
    // Files dropped on the list are uploaded to the card.
    new CFileDropTarget(*m_pView);
    connect(m_pView, &CChildView::CommandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    m_pView->Initialize();

    CreateStatusBar();
    UpdateCommandStates();
    RestorePlacement();
    // The keyboard starts in the file list when the window is first activated.
    m_pView->setFocus();
    return true;
}

void CMainFrame::UpdateCommandStates()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        if (m_pView && CChildView::IsViewCommand(it.key()))
            it.value()->setEnabled(m_pView->IsCommandEnabled(it.key()));
    }
    // Verifying reads only the disk: it waits for no recorder, only for a folder to check.
    if (QAction *pVerify = Action(AppCommandId::ID_VERIFY_ARCHIVE))
        pVerify->setEnabled(!SettingsStore::ArchiveFolder().isEmpty());
    if (QAction *pToolbar = Action(AppCommandId::ID_VIEW_TOOLBAR))
        pToolbar->setChecked(m_pToolBar && !m_pToolBar->isHidden());
    if (QAction *pStatus = Action(AppCommandId::ID_VIEW_STATUS_BAR))
        pStatus->setChecked(!statusBar()->isHidden());
}

void CMainFrame::OnCommand(int nCommandId)
{
    if (m_pView && CChildView::IsViewCommand(nCommandId)) {
        if (m_pView->IsCommandEnabled(nCommandId))
            m_pView->OnCommand(nCommandId);
        return;
    }
    switch (nCommandId) {
    case AppCommandId::ID_VIEW_TOOLBAR:
        m_pToolBar->setVisible(m_pToolBar->isHidden());
        UpdateCommandStates();
        return;
    case AppCommandId::ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        UpdateCommandStates();
        return;
    case AppCommandId::ID_APP_EXIT:
        close();
        return;
    case AppCommandId::ID_VERIFY_ARCHIVE:
        if (const QString strFolder = SettingsStore::ArchiveFolder(); !strFolder.isEmpty())
            VerifyArchiveDialog::Run(this, strFolder);
        return;
    default:
        if (m_appHandler)
            m_appHandler(nCommandId);
        return;
    }
}

void CMainFrame::focusInEvent(QFocusEvent *pEvent)
{
    QMainWindow::focusInEvent(pEvent);
    if (m_pView)
        m_pView->setFocus();
}
