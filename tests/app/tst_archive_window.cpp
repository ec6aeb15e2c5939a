// "Archive new files..." from the window on the emulator, started the way the program starts.

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "core/LocalFileName.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "support/ModalDriver.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/ArchiveRunDialog.h"
#include "ui/dialogs/ArchiveStartDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace StringId;

namespace {

QTemporaryDir *g_pRoot = nullptr;
const TestTexts texts;

QString CardDir()
{
    return g_pRoot->filePath(QStringLiteral("card"));
}

QString ArchiveDir()
{
    return g_pRoot->filePath(QStringLiteral("archive"));
}

// The mark of the row that shows strName: its tooltip, empty without a mark.
QString MarkOf(FileListTableModel *pModel, const QString &strName)
{
    for (int nRow = 0; nRow < pModel->rowCount(); ++nRow) {
        const QModelIndex index = pModel->index(nRow, 0);
        if (index.data().toString() == strName)
            return index.data(Qt::DecorationRole).isNull() ? QString()
                                                           : index.data(Qt::ToolTipRole).toString();
    }
    return QStringLiteral("<not listed>");
}

} // namespace

class TestArchiveWindow : public QObject
{
    Q_OBJECT

public:
    explicit TestArchiveWindow(CMainApp &app)
        : m_app(app)
    {}

private slots:
    void menuItemComesBeforeExitAndFollowsTheConnection()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        QAction *pArchive = pFrame->Action(CommandId::ID_ARCHIVE);
        QVERIFY(pArchive);
        QCOMPARE(pArchive->text(), texts.Text(IDS_MENU_FILE_ARCHIVE));
        const QList<QAction *> items = pFrame->menuBar()->actions().first()->menu()->actions();
        const qsizetype nAt = items.indexOf(pArchive);
        QCOMPARE(items.at(nAt - 1), pFrame->Action(CommandId::ID_UPDATE_DATA));
        QVERIFY(nAt < items.size() - 2); // before the separator and Exit
        QVERIFY(items.at(items.size() - 2)->isSeparator());
        QTRY_VERIFY(pArchive->isEnabled());
    }

    // A run from the menu: the start dialog shows the folder setting, the run archives the card,
    // the summary gives the figures, and the list marks what the folder now holds. A second run
    // finds everything archived.
    void archiveRunFromTheWindowMarksTheList()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        FileListTableModel *pModel = pFrame->View()->Model();
        QTRY_COMPARE(pModel->rowCount(), 2);
        QCOMPARE(MarkOf(pModel, QStringLiteral("A.DAT")), QString());

        {
            ModalDriver driver;
            QString strShownFolder;
            driver.WhenModal<ArchiveStartDialog>([&](ArchiveStartDialog &dialog) {
                strShownFolder = dialog.FolderEdit()->text();
                dialog.StartButton()->click();
            });
            pFrame->Action(CommandId::ID_ARCHIVE)->trigger();
            QTRY_VERIFY(!QApplication::activeModalWidget());
            QCOMPARE(strShownFolder, ArchiveDir());
            QCOMPARE(driver.boxes.size(), 1);
            const QString strSummary = driver.boxes.at(0).strText;
            QVERIFY2(strSummary.startsWith(texts.Text(IDS_ARCHIVE_DONE)), qPrintable(strSummary));
            for (const auto &[nId, nCount] : {std::pair{IDS_ARCHIVE_SUMMARY_DOWNLOADED, 2},
                                              {IDS_ARCHIVE_SUMMARY_KEPT_BESIDE, 0},
                                              {IDS_ARCHIVE_SUMMARY_ALREADY, 0},
                                              {IDS_ARCHIVE_SUMMARY_FAILED, 0},
                                              {IDS_ARCHIVE_SUMMARY_DELETED, 0}})
                QVERIFY2(strSummary.contains(texts.Text(nId).arg(nCount)), qPrintable(strSummary));
        }

        for (const char *pszName : {"A.DAT", "B.DAT"})
            QCOMPARE(TestFiles::Read(ArchiveDir() + u'/' + QLatin1String(pszName)),
                     TestFiles::Read(CardDir() + u'/' + QLatin1String(pszName)));
        const QByteArray manifest =
            TestFiles::Read(ArchiveDir() + u'/' + QLatin1String(LocalNames::MANIFEST));
        QVERIFY(manifest.contains("  A.DAT\n") && manifest.contains("  B.DAT\n"));
        QVERIFY(TestFiles::Read(ArchiveDir() + u'/' + QLatin1String(LocalNames::JOURNAL))
                    .contains("\"downloaded\""));

        // The list is read again after the run, and marks both files.
        QTRY_VERIFY(
            MarkOf(pModel, QStringLiteral("A.DAT")).startsWith(QStringLiteral("Archived as A.DAT on ")));
        QVERIFY(MarkOf(pModel, QStringLiteral("B.DAT")).startsWith(QStringLiteral("Archived as B.DAT on ")));
        QCOMPARE(pModel->index(0, 0).data().toString(), QStringLiteral("A.DAT"));

        ModalDriver again;
        again.WhenModal<ArchiveStartDialog>(
            [](ArchiveStartDialog &dialog) { dialog.StartButton()->click(); });
        pFrame->Action(CommandId::ID_ARCHIVE)->trigger();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(again.boxes.size(), 1);
        QVERIFY(again.boxes.at(0).strText.contains(texts.Text(IDS_ARCHIVE_SUMMARY_ALREADY).arg(2)));
        QVERIFY(again.boxes.at(0).strText.contains(texts.Text(IDS_ARCHIVE_SUMMARY_DOWNLOADED).arg(0)));
    }

    // A card file changed since it was archived is no longer marked.
    void changedFileLosesItsMark()
    {
        CMainFrame *pFrame = m_app.MainFrame();
        FileListTableModel *pModel = pFrame->View()->Model();
        QVERIFY(TestFiles::Write(CardDir() + QStringLiteral("/B.DAT"), QByteArray(1500, 'b')));
        ModalDriver driver;
        pFrame->OnCommand(CommandId::ID_REFRESH_VIEW);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QTRY_COMPARE(MarkOf(pModel, QStringLiteral("B.DAT")), QString());
        QVERIFY(!MarkOf(pModel, QStringLiteral("A.DAT")).isEmpty());
    }

private:
    CMainApp &m_app;
};

int main(int argc, char *argv[])
{
    // The settings, the card and the archive live in a folder of the test's own, set up before
    // the application object first looks for them.
    QTemporaryDir root;
    g_pRoot = &root;
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(CardDir());
    for (const char *pszName : {"A.DAT", "B.DAT"})
        if (!TestFiles::Write(CardDir() + QLatin1Char('/') + QLatin1String(pszName), QByteArray(1000, 'a')))
            return 1;
    qputenv("ORVOCONNECT_LINK", ("sim:" + CardDir()).toUtf8());
    qputenv("LANGUAGE", "en_US");
    SettingsStore::Write(SettingKeys::ArchiveFolder, ArchiveDir());

    CMainApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    TestArchiveWindow test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_archive_window.moc"
