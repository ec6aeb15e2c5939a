// CMainFrame's placement: what the window keeps from one run to the next (its client area, its
// maximised state, the panes' shares and the columns' widths) and how it is kept on the screen.

#include "app/CMainFrame.h"

#include "app/CPaneSplitter.h"
#include "app/FitWindowToArea.h"
#include "core/SettingsStore.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CFileListModel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QWindow>

#include <algorithm>

namespace {

// A list of nCount whole numbers kept as "a,b,c"; empty when the value is absent, has another
// count, or holds anything that is not a number (a hand-edited file, say).
QList<int> ReadNumbers(SettingKey<QString> key, qsizetype nCount)
{
    const QStringList fields = SettingsStore::Read(key).split(u',');
    if (fields.size() != nCount)
        return {};
    QList<int> numbers;
    for (const QString &strField : fields) {
        bool bOk = false;
        const int nValue = strField.trimmed().toInt(&bOk);
        if (!bOk)
            return {};
        numbers.append(nValue);
    }
    return numbers;
}

// False for an empty list: nothing was kept.
bool AllPositive(const QList<int> &numbers)
{
    return !numbers.isEmpty() && std::all_of(numbers.cbegin(), numbers.cend(), [](int n) { return n > 0; });
}

void WriteNumbers(SettingKey<QString> key, const QList<int> &numbers)
{
    QStringList fields;
    for (int nValue : numbers)
        fields.append(QString::number(nValue));
    SettingsStore::Write(key, fields.join(u','));
}

// The frame the window manager adds. Before the window is first shown it is not known yet, and
// the style's title bar and border stand for it; the window is fitted again to its real frame
// once it is on the screen.
QMargins FrameMargins(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    if (frame != client)
        return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom());
    const QStyle *pStyle = window.style();
    const int nBorder = pStyle->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int nTitle = pStyle->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return QMargins(nBorder, nTitle + nBorder, nBorder, nBorder);
}

// What is kept free around a client area so that its frame fits. Some window managers put the
// frame's corner, rather than the client area's, where the program asked: room for the frame's
// top and left is then kept below and to the right as well, so the window fits either way.
QMargins RoomForFrame(const QMargins &frame)
{
    return QMargins(frame.left(), frame.top(), frame.right() + frame.left(), frame.bottom() + frame.top());
}

} // namespace

bool CMainFrame::PlatformTakesPosition()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void CMainFrame::RestorePlacement()
{
    const QList<int> saved = ReadNumbers(SettingKeys::WindowRect, 4);
    const bool bSaved = saved.size() == 4 && saved[2] > 0 && saved[3] > 0;
    const bool bPlace = bSaved && PlatformTakesPosition();
    QRect client = bSaved ? QRect(saved[0], saved[1], saved[2], saved[3]) : geometry();
    client.setSize(client.size().expandedTo(minimumSize()));

    // The saved place on the screen it was on, if that screen is still there; a window without
    // a place of its own is only sized, and the window manager places it.
    QScreen *pScreen = bPlace ? QGuiApplication::screenAt(client.center()) : nullptr;
    if (!pScreen)
        pScreen = screen();
    const QRect area = pScreen->availableGeometry();
    if (!bPlace)
        client.moveTopLeft(area.topLeft());
    const QMargins room = RoomForFrame(FrameMargins(*this));
    const QRect fitted = FitWindowToArea(client.marginsAdded(room), area).marginsRemoved(room);
    if (bPlace)
        setGeometry(fitted);
    else
        resize(fitted.size());
    if (bSaved && SettingsStore::Read(SettingKeys::WindowMaximized, 0) == 1)
        setWindowState(windowState() | Qt::WindowMaximized);

    if (const QList<int> shares = ReadNumbers(SettingKeys::PaneShares, m_pSplitter->PaneCount());
        AllPositive(shares))
        m_pSplitter->SetPaneWeights(shares);

    const QList<int> widths = ReadNumbers(SettingKeys::ColumnWidths, CFileListModel::COLUMN_COUNT);
    if (AllPositive(widths)) {
        QTableView *pList = m_pView->ListControl();
        for (int nColumn = 0; nColumn < CFileListModel::COLUMN_COUNT; ++nColumn)
            pList->setColumnWidth(nColumn, std::max(int(CChildView::MIN_NAME_COLUMN_WIDTH), widths[nColumn]));
        // The name column takes what the others leave, as at every resize.
        m_pView->FitNameColumn();
    }
}

void CMainFrame::SavePlacement() const
{
    // A maximised window keeps the place it goes back to.
    const QRect client =
        windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen) ? normalGeometry() : geometry();
    if (client.isValid())
        WriteNumbers(SettingKeys::WindowRect, {client.x(), client.y(), client.width(), client.height()});
    SettingsStore::Write(SettingKeys::WindowMaximized, isMaximized() ? 1 : 0);
    if (m_pSplitter) {
        QList<int> shares;
        for (int nPane = 0; nPane < m_pSplitter->PaneCount(); ++nPane)
            shares.append(m_pSplitter->Proportion(nPane));
        WriteNumbers(SettingKeys::PaneShares, shares);
    }
    if (m_pView) {
        QList<int> widths;
        for (int nColumn = 0; nColumn < CFileListModel::COLUMN_COUNT; ++nColumn)
            widths.append(m_pView->ListControl()->columnWidth(nColumn));
        WriteNumbers(SettingKeys::ColumnWidths, widths);
    }
}

void CMainFrame::FitFrameToScreen()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    const QMargins room = RoomForFrame(FrameMargins(*this));
    const QRect frame = geometry().marginsAdded(room);
    const QRect fitted = FitWindowToArea(frame, screen()->availableGeometry());
    if (fitted == frame)
        return;
    const QRect client = fitted.marginsRemoved(room);
    if (PlatformTakesPosition())
        setGeometry(client);
    else
        resize(client.size());
}

void CMainFrame::showEvent(QShowEvent *pEvent)
{
    QMainWindow::showEvent(pEvent);
    // The window manager's frame is known when the window is first exposed.
    if (!m_bWatchingFirstExpose && windowHandle()) {
        m_bWatchingFirstExpose = true;
        windowHandle()->installEventFilter(this);
    }
}

bool CMainFrame::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pWatched == windowHandle() && pEvent->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        FitFrameToScreen();
    }
    return QMainWindow::eventFilter(pWatched, pEvent);
}

void CMainFrame::closeEvent(QCloseEvent *pEvent)
{
    SavePlacement();
    QMainWindow::closeEvent(pEvent);
}
