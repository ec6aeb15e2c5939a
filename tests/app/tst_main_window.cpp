#include "app/AppCommandIds.h"
#include "app/CDlgAbout.h"
#include "app/CDlgOptions.h"
#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "app/CPaneSplitter.h"
#include "app/FitWindowToArea.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "support/FakeRecorder.h"
#include "support/ModalDriver.h"
#include "support/TestArchive.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CFileListModel.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/VerifyResultDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

using namespace StringId;

namespace {

QTemporaryDir *g_pRoot = nullptr;
const TestTexts texts;

QString CardDir()
{
    return g_pRoot->filePath(QStringLiteral("card"));
}

// Counts the windows of one class that are shown while it is installed.
class ShowCounter final : public QObject
{
public:
    explicit ShowCounter(const char *pszClass)
        : m_pszClass(pszClass)
    {
        qApp->installEventFilter(this);
    }
    int nShown = 0;

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Show && pWatched->inherits(m_pszClass))
            ++nShown;
        return false;
    }

private:
    const char *m_pszClass;
};

QStringList ListedNames(CChildView *pView)
{
    QStringList names;
    FileListTableModel *pModel = pView->Model();
    for (int nRow = 0; nRow < pModel->rowCount(); ++nRow)
        names << pModel->index(nRow, 0).data().toString();
    return names;
}

// What a drag and drop over a widget of the window tells the program the data came from: the
// effect shown during the drag, and whether the drop was taken and with what action. The events
// go to the window, which hands them to the widget under the pointer that takes drops.
struct DropAnswer
{
    Qt::DropAction duringDrag = Qt::IgnoreAction;
    bool bTaken = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

DropAnswer DropOn(QWidget *pTarget, QMimeData *pData)
{
    QWindow *pWindow = pTarget->window()->windowHandle();
    const QPoint at = pTarget->mapTo(pTarget->window(), pTarget->rect().center());
    DropAnswer answer;
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, pData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWindow, &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, pData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWindow, &move);
    if (enter.isAccepted() && move.isAccepted() && enter.dropAction() == move.dropAction())
        answer.duringDrag = move.dropAction();
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, pData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWindow, &drop);
    answer.bTaken = drop.isAccepted();
    answer.action = drop.dropAction();
    return answer;
}

// Presses a key as the user would: the window active, the key going to the widget that has
// the keyboard there (the file list).
bool PressKey(QWidget *pWindow, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    pWindow->activateWindow();
    if (!QTest::qWaitForWindowActive(pWindow))
        return false;
    QTest::keyClick(pWindow->focusWidget() ? pWindow->focusWidget() : pWindow, key, modifiers);
    return true;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

public:
    explicit TestMainWindow(CMainApp &app)
        : m_app(app)
    {}

private slots:
    void opensInsideTheScreen()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        const QRect area = pFrame->screen()->availableGeometry();
        // The test's screen is smaller than a new window's default size.
        QVERIFY(area.width() < CMainFrame::DEFAULT_WIDTH && area.height() < CMainFrame::DEFAULT_HEIGHT);
        QVERIFY(QTest::qWaitForWindowExposed(pFrame));
        QVERIFY2(area.contains(pFrame->frameGeometry()),
                 qPrintable(QStringLiteral("frame %1x%2")
                                .arg(pFrame->frameGeometry().width())
                                .arg(pFrame->frameGeometry().height())));
    }

    void windowIsFittedToTheArea_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("fitted");
        const QRect screen(0, 0, 640, 512); // 1280x1024 at a scale factor of 2
        QTest::newRow("fits") << QRect(10, 20, 400, 300) << screen << QRect(10, 20, 400, 300);
        QTest::newRow("larger than the screen") << QRect(0, 0, 760, 590) << screen << screen;
        QTest::newRow("off the right and bottom")
            << QRect(500, 400, 300, 200) << screen << QRect(340, 312, 300, 200);
        QTest::newRow("off the left and top") << QRect(-50, -30, 300, 200) << screen << QRect(0, 0, 300, 200);
        QTest::newRow("wider, off the left") << QRect(-20, 50, 900, 200) << screen << QRect(0, 50, 640, 200);
        QTest::newRow("under a top panel")
            << QRect(100, 0, 300, 200) << QRect(0, 32, 1280, 992) << QRect(100, 32, 300, 200);
        QTest::newRow("second screen")
            << QRect(1300, 100, 2000, 400) << QRect(1280, 0, 1024, 768) << QRect(1280, 100, 1024, 400);
        QTest::newRow("no area known") << QRect(5, 5, 900, 700) << QRect() << QRect(5, 5, 900, 700);
    }

    void windowIsFittedToTheArea()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, area);
        QFETCH(QRect, fitted);
        QCOMPARE(FitWindowToArea(frame, area), fitted);
    }

    void placementIsKeptForTheNextStart_data()
    {
        QTest::addColumn<bool>("bMaximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }

    void placementIsKeptForTheNextStart()
    {
        QFETCH(bool, bMaximized);
        FakeRecorder recorder({{QStringLiteral("A.DAT"), QByteArray(10, 'a')}});
        const QRect placed(40, 60, 480, 360);
        int nShare = 0;
        {
            CMainFrame first(recorder.link, recorder.protocol);
            QVERIFY(first.Create());
            first.setGeometry(placed);
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.Splitter()->SetPaneWeights({1, 2});
            nShare = first.Splitter()->Proportion(0);
            first.View()->ListControl()->setColumnWidth(CFileListModel::COL_DATE, 120);
            first.View()->ListControl()->setColumnWidth(CFileListModel::COL_SIZE, 90);
            if (bMaximized)
                first.showMaximized();
            // Ctrl+Q closes the window, and closing it keeps its placement.
            QVERIFY(PressKey(&first, Qt::Key_Q, Qt::ControlModifier));
            QVERIFY(!first.isVisible());
        }
        // The next start.
        CMainFrame second(recorder.link, recorder.protocol);
        QVERIFY(second.Create());
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.isMaximized(), bMaximized);
        QCOMPARE(second.normalGeometry(), placed);
        QCOMPARE(second.Splitter()->Proportion(0), nShare);
        QCOMPARE(second.View()->ListControl()->columnWidth(CFileListModel::COL_DATE), 120);
        QCOMPARE(second.View()->ListControl()->columnWidth(CFileListModel::COL_SIZE), 90);
        second.hide();
    }

    void startsConnectedWithTheCardListed()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        QVERIFY(pFrame && pFrame->isVisible());
        QCOMPARE(pFrame->windowTitle(), texts.Text(IDS_APP_TITLE));
        QVERIFY(pFrame->View()->IsConnected());
        QTRY_COMPARE(ListedNames(pFrame->View()), QStringList({"A.DAT", "B.DAT"}));
        QVERIFY(pFrame->Pane()->InfoText().contains(QStringLiteral("Paperless recorder")));
        QVERIFY(pFrame->Action(CommandId::ID_GET_FILES)->isEnabled());
        QCOMPARE(pFrame->minimumSize(), QSize(320, 240));
    }

    void toolbarHasTenPositionsWithLabelsTipsAndPrompts()
    {
        QToolBar *pBar = m_app.MainFrame()->ToolBar();
        const QList<QAction *> actions = pBar->actions();
        QCOMPARE(actions.size(), 10);
        QVERIFY(actions.at(5)->isSeparator());
        QVERIFY(actions.at(8)->isSeparator());
        QStringList labels;
        QStringList expected;
        for (quint32 nId = IDS_TOOLBAR_FIRST; nId < IDS_TOOLBAR_FIRST + 10; ++nId)
            if (nId != IDS_TOOLBAR_SEPARATOR_1 && nId != IDS_TOOLBAR_SEPARATOR_2)
                expected << texts.Text(nId);
        for (QToolButton *pButton : pBar->findChildren<QToolButton *>()) {
            if (!pButton->defaultAction())
                continue;
            labels << pButton->text();
            QCOMPARE(pButton->size(), QSize(76, 58));
            QCOMPARE(pButton->iconSize(), QSize(36, 36));
            QVERIFY(!pButton->icon().isNull());
        }
        QCOMPARE(labels, expected);
        // The command's text holds the status prompt, then the tip.
        QAction *pGet = m_app.MainFrame()->Action(CommandId::ID_GET_FILES);
        QCOMPARE(texts.Text(IDS_CMD_GET_FILES).split(u'\n'),
                 QStringList({pGet->statusTip(), pGet->toolTip()}));
        QCOMPARE(m_app.MainFrame()->IdleLabel()->text(), texts.Text(IDS_READY));
    }

    void toolbarButtonsWidenForLongLabelsOnly()
    {
        QToolButton button;
        button.setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button.setIconSize(QSize(36, 36));
        button.setText(QStringLiteral("About"));
        QCOMPARE(CMainFrame::ToolBarButtonWidth(button), 76);

        // A long translated label is given the room to be shown whole.
        for (const char *pszLabel : {"Tout désélectionner", "Обновить данные"}) {
            button.setText(QString::fromUtf8(pszLabel));
            const int nFrame = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
            const int nWidth = CMainFrame::ToolBarButtonWidth(button);
            QVERIFY(nWidth > 76);
            QVERIFY(button.fontMetrics().horizontalAdvance(button.text()) + 2 * nFrame <= nWidth);
        }
    }

    void menuHasItsFourMenus()
    {
        QStringList titles;
        for (QAction *pMenu : m_app.MainFrame()->menuBar()->actions())
            titles << pMenu->text();
        QCOMPARE(titles, QStringList({texts.Text(IDS_MENU_FILE), texts.Text(IDS_MENU_VIEW),
                                      texts.Text(IDS_MENU_OPTIONS), texts.Text(IDS_MENU_HELP)}));
    }

    void verifyArchiveNeedsOnlyAFolder()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        QAction *pVerify = pFrame->Action(AppCommandId::ID_VERIFY_ARCHIVE);
        QVERIFY(pVerify);
        // Among the File menu's commands, just before the separator above Exit.
        const QList<QAction *> items = pFrame->menuBar()->actions().first()->menu()->actions();
        const qsizetype nAt = items.indexOf(pVerify);
        QVERIFY(nAt > 0 && nAt + 2 < items.size());
        QVERIFY(items[nAt + 1]->isSeparator());
        QCOMPARE(items[nAt + 2], pFrame->Action(AppCommandId::ID_APP_EXIT));

        const auto restore = qScopeGuard([] { QSettings().remove(SettingKeys::ArchiveFolder.Name()); });
        QVERIFY(SettingsStore::Write(SettingKeys::ArchiveFolder, QString()));
        pFrame->UpdateCommandStates();
        QVERIFY(!pVerify->isEnabled());

        const QString strDir = g_pRoot->filePath(QStringLiteral("archive"));
        QVERIFY(
            TestArchive::Write(strDir, {{"A.DAT", QByteArray(1000, 'a'), QDateTime({2026, 12, 1}, {9, 0})}}));
        QVERIFY(SettingsStore::Write(SettingKeys::ArchiveFolder, strDir));
        pFrame->UpdateCommandStates();
        QVERIFY(pVerify->isEnabled());
        ModalDriver driver;
        QString strSummary;
        driver.WhenModal<VerifyResultDialog>([&strSummary](VerifyResultDialog &result) {
            strSummary = result.SummaryLabel()->text();
            result.accept();
        });
        pVerify->trigger();
        QCOMPARE(strSummary, texts.Text(IDS_VERIFY_ALL_MATCH).arg(1));
    }

    void barsToggleWithCheckMarks_data()
    {
        QTest::addColumn<int>("nCommand");
        QTest::newRow("toolbar") << int(AppCommandId::ID_VIEW_TOOLBAR);
        QTest::newRow("status bar") << int(AppCommandId::ID_VIEW_STATUS_BAR);
    }

    void barsToggleWithCheckMarks()
    {
        QFETCH(int, nCommand);
        CMainFrame *pFrame = m_app.MainFrame();
        QWidget *pBar = nCommand == AppCommandId::ID_VIEW_TOOLBAR ? static_cast<QWidget *>(pFrame->ToolBar())
                                                                  : pFrame->statusBar();
        QAction *pAction = pFrame->Action(nCommand);
        QVERIFY(pAction->isChecked());
        for (const bool bShown : {false, true}) {
            pFrame->OnCommand(nCommand);
            QCOMPARE(pBar->isHidden(), !bShown);
            QCOMPARE(pAction->isChecked(), bShown);
        }
    }

    void aboutAndSettingsReachTheApplication()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        ModalDriver driver;
        bool bAboutShown = false;
        driver.WhenModal<CDlgAbout>([&](CDlgAbout &about) {
            bAboutShown = true;
            about.accept();
        });
        pFrame->Action(AppCommandId::ID_APP_ABOUT)->trigger();
        QVERIFY(bAboutShown);

        // OK stores the chosen language for the next start; Cancel stores nothing.
        for (const auto &[nShown, nChosen, bOk] : {std::tuple{0, 3, true}, std::tuple{3, 4, false}}) {
            driver.WhenModal<CDlgOptions>([nShown, nChosen, bOk](CDlgOptions &options) {
                QCOMPARE(options.LanguageBox()->currentIndex(), nShown);
                options.LanguageBox()->setCurrentIndex(nChosen);
                bOk ? options.accept() : options.reject();
            });
            pFrame->Action(AppCommandId::ID_APP_SETTINGS)->trigger();
            QCOMPARE(SettingsStore::Language(), 3);
        }
        // The running program keeps its language.
        QCOMPARE(pFrame->Action(AppCommandId::ID_APP_EXIT)->text(), texts.Text(IDS_MENU_FILE_EXIT));
    }

    void keysRunTheirCommands()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        CChildView *pView = pFrame->View();
        QTRY_COMPARE(pView->Model()->rowCount(), 2);

        // Ctrl+A ticks every row: the frame's command comes before the list's own select-all,
        // which only highlights them.
        pFrame->OnCommand(CommandId::ID_DESELECT_ALL);
        QVERIFY(PressKey(pFrame, Qt::Key_A, Qt::ControlModifier));
        QCOMPARE(pView->Model()->Rows().CheckedCount(), 2);

        // Delete asks first; Cancel keeps the files.
        ModalDriver driver;
        driver.AnswerNextBoxes({QMessageBox::Cancel});
        QVERIFY(PressKey(pFrame, Qt::Key_Delete));
        QTRY_COMPARE(driver.boxes.size(), 1);
        QCOMPARE(driver.boxes.at(0).strText, texts.Text(IDS_CONFIRM_DELETE));
        QVERIFY(QFile::exists(CardDir() + QStringLiteral("/A.DAT")));

        // F5 reads the card again.
        ShowCounter connects("CDlgInitDevice");
        QVERIFY(PressKey(pFrame, Qt::Key_F5));
        QTRY_COMPARE(connects.nShown, 1);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QTRY_COMPARE(pView->Model()->rowCount(), 2);
    }

    void droppedFilesAreUploadedInTurnThenListedAfterOneRefresh()
    {
        CChildView *pView = m_app.MainFrame()->View();
        QStringList paths;
        for (const char *pszName : {"ONE.IMG", "TWO.IMG", "THREE.IMG"}) {
            paths << g_pRoot->filePath(QString::fromLatin1(pszName));
            QVERIFY(TestFiles::Write(paths.last(), TestFiles::Pattern(40000)));
        }
        ShowCounter uploads("CDlgUploadFile");
        ShowCounter connects("CDlgInitDevice");
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &strPath : paths)
            urls << QUrl::fromLocalFile(strPath);
        data.setUrls(urls);
        const DropAnswer answer = DropOn(pView->ListControl()->viewport(), &data);
        QCOMPARE(answer.duringDrag, Qt::CopyAction);
        QVERIFY(answer.bTaken);
        QCOMPARE(answer.action, Qt::CopyAction);
        QTRY_COMPARE_WITH_TIMEOUT(connects.nShown, 1, 20000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(uploads.nShown, 3);
        for (const char *pszName : {"ONE.IMG", "TWO.IMG", "THREE.IMG"})
            QVERIFY(QFile::exists(CardDir() + QLatin1Char('/') + QLatin1String(pszName)));
        QTRY_VERIFY(ListedNames(pView).contains(QStringLiteral("THREE.IMG")));
    }

    // Data without a local file: the list shows the copy pointer during the drag whatever it
    // carries, then refuses the drop and says so, so that the program it came from does not
    // act on a copy (delete the original of a move, say).
    void dropsWithoutLocalFilesAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("text") << "just some text" << QString();
        QTest::newRow("web address") << QString() << "https://example.org/A.DAT";
    }

    void dropsWithoutLocalFilesAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, url);
        CChildView *pView = m_app.MainFrame()->View();
        QTRY_VERIFY(pView->Model()->rowCount() > 0);
        const int nRows = pView->Model()->rowCount();
        ShowCounter dialogs("QDialog");
        QMimeData data;
        if (!text.isEmpty())
            data.setText(text);
        if (!url.isEmpty())
            data.setUrls({QUrl(url)});
        const DropAnswer answer = DropOn(pView->ListControl()->viewport(), &data);
        QCOMPARE(answer.duringDrag, Qt::CopyAction);
        QVERIFY(!answer.bTaken);
        QCOMPARE(answer.action, Qt::IgnoreAction);
        QTest::qWait(100);
        QCOMPARE(dialogs.nShown, 0);
        QCOMPARE(pView->Model()->rowCount(), nRows);
    }

private:
    CMainApp &m_app;
};

int main(int argc, char *argv[])
{
    // The settings and the card live in a folder of the test's own, set up before the
    // application object first looks for them.
    QTemporaryDir root;
    g_pRoot = &root;
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    // A screen smaller than a new window's default size, as a large scale factor makes one.
    const QString strScreen = root.filePath(QStringLiteral("screen.json"));
    if (!TestFiles::Write(strScreen, R"({"screens": [{"name": "small", "width": 700, "height": 500}]})"))
        return 1;
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + strScreen).toUtf8());
    QDir().mkpath(CardDir());
    for (const char *pszName : {"A.DAT", "B.DAT"})
        if (!TestFiles::Write(CardDir() + QLatin1Char('/') + QLatin1String(pszName), QByteArray(1000, 'a')))
            return 1;
    qputenv("ORVOCONNECT_LINK", ("sim:" + CardDir()).toUtf8());
    qputenv("LANGUAGE", "en_US");

    CMainApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    TestMainWindow test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_main_window.moc"
