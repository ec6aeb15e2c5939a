#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>

class CChildView;
class CPaneSplitter;
class CUpPane;
class QAction;
class QLabel;
class QToolBar;
class QToolButton;
class RecorderLink;
class RecorderProtocol;

// The program's only top-level window: menu, toolbar, status bar, and the splitter with the
// recorder information pane above the file list. Commands go to the file list first, then to
// the frame, then to the application.
class CMainFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    static constexpr int TOOLBAR_BUTTON_WIDTH = 76;
    static constexpr int TOOLBAR_BUTTON_HEIGHT = 58;
    static constexpr int TOOLBAR_IMAGE_SIZE = 36;
    // The least room between the labels of two neighbouring toolbar buttons.
    static constexpr int TOOLBAR_LABEL_GAP = 8;
    static constexpr int MIN_WIDTH = 320;
    static constexpr int MIN_HEIGHT = 240;
    // A new window's size: the list's three columns and a screenful of rows.
    static constexpr int DEFAULT_WIDTH = 760;
    static constexpr int DEFAULT_HEIGHT = 560;

    CMainFrame(RecorderLink &link, RecorderProtocol &protocol, QWidget *pParent = nullptr);
    ~CMainFrame() override;

    // Builds the bars and panes. The file list's first connection attempt runs here, before the
    // frame is shown. False when a bar could not be made.
    bool Create();

    // The size, maximised state, position, pane shares and column widths the window had when it
    // was last closed, fitted to the screen's available area; a new window's default size is
    // fitted the same way. Create calls it; the frame is not shown yet.
    void RestorePlacement();
    // Keeps them for the next start; closing the window does it.
    void SavePlacement() const;
    // Whether the program may place its windows: under Wayland the compositor does.
    static bool PlatformTakesPosition();

    // Brings the enabled and checked states of the menu and toolbar up to date at once.
    void UpdateCommandStates();

    // Commands the frame and the view decline go here (About, Settings).
    void SetApplicationCommandHandler(std::function<bool(int)> handler) { m_appHandler = std::move(handler); }

    // Routes a command as a click on its menu item or button would.
    void OnCommand(int nCommandId);

    QAction *Action(int nCommandId) const { return m_actions.value(nCommandId); }
    CChildView *View() const { return m_pView; }
    CUpPane *Pane() const { return m_pPane; }
    CPaneSplitter *Splitter() const { return m_pSplitter; }
    QToolBar *ToolBar() const { return m_pToolBar; }
    QLabel *IdleLabel() const { return m_pIdleLabel; }

    // A toolbar button's width: 76 pixels, or what its label needs when that is more.
    static int ToolBarButtonWidth(const QToolButton &button);
    // Widens neighbouring buttons of one group (no separator between them) where their
    // centred labels would come closer than TOOLBAR_LABEL_GAP.
    static void SpaceToolBarLabels(const QList<QToolButton *> &group);

protected:
    void focusInEvent(QFocusEvent *pEvent) override;
    void showEvent(QShowEvent *pEvent) override;
    void closeEvent(QCloseEvent *pEvent) override;
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    QAction *MakeAction(int nCommandId, quint32 nMenuTextId, const QString &strImage = {});
    void CreateMenu();
    bool CreateToolBar();
    void CreateStatusBar();
    void AddShortcuts();
    // Once the window is on the screen and its real frame known: moves and shrinks it where
    // that frame would stick out of the available area.
    void FitFrameToScreen();

    RecorderLink &m_link;
    RecorderProtocol &m_protocol;
    CPaneSplitter *m_pSplitter = nullptr;
    QToolBar *m_pToolBar = nullptr;
    QLabel *m_pIdleLabel = nullptr;
    CChildView *m_pView = nullptr;
    CUpPane *m_pPane = nullptr;
    QHash<int, QAction *> m_actions;
    std::function<bool(int)> m_appHandler;
    bool m_bWatchingFirstExpose = false;
};

// The one main frame, set while it exists.
extern CMainFrame *s_pMainFrame;
