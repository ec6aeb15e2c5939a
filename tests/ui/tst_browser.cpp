// The file browser on the fake recorder: its controller and view with operation dialogs that
// answer as a test says, and the view with the program's own dialogs.

#include "core/DownloadPlan.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "support/FakeOperationDialogs.h"
#include "support/FakeRecorder.h"
#include "support/ModalDriver.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/browser/BrowserController.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/CDlgInitDevice.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "ui/dialogs/CDlgUpdateCF.h"
#include "ui/dialogs/HourglassWidget.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <functional>

using namespace StringId;

namespace {

const TestTexts g_texts;

QString T(quint32 nId)
{
    return g_texts.Text(nId);
}

// The window around the controller: answers its message boxes as the test says and records
// what it showed and opened.
class FakeShell final : public IBrowserShell
{
public:
    QStringList messages;
    QList<int> answers; // IDOK once they run out
    QStringList opened;
    QString strPane;

    int ShowMessage(const QString &strText, Icon, Buttons) override
    {
        messages << strText;
        return answers.isEmpty() ? IDOK : answers.takeFirst();
    }
    QString ChooseFileToUpload() override { return {}; }
    void OpenWithDesktop(const QString &strPath) override { opened << strPath; }
    void ShowInfoText(const QString &strText) override { strPane = strText; }
    void ShowStatusText(const QString &strText) override { strPane = strText; }
};

RecorderFileEntry Entry(const QString &strName)
{
    RecorderFileEntry entry;
    entry.SetName(strName);
    entry.SetSizeLow(100);
    return entry;
}

// A job whose thread stays inside its work until released, whatever Stop asks.
class StubbornJob final : public CWorkerThread
{
public:
    explicit StubbornJob(std::shared_ptr<ManualResetEvent> pRelease)
        : CWorkerThread(0, 0)
        , m_pRelease(std::move(pRelease))
    {}

protected:
    int Run() override
    {
        m_pRelease->Wait(30000);
        SignalFinished();
        return 0;
    }
    std::unique_ptr<CWorkerThread> CopyForThread() const override
    {
        return std::unique_ptr<CWorkerThread>(new StubbornJob(*this));
    }

private:
    StubbornJob(const StubbornJob &) = default;
    std::shared_ptr<ManualResetEvent> m_pRelease;
};

// Receives what the view hands to the desktop to open.
class UrlCatcher final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

class TestBrowser final : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeRecorder> m_pRecorder;
    // Whether the recorder is plugged in, why it does not open while it is not, and how often
    // the link was opened.
    bool m_bPresent = false;
    LinkOpenFailure m_absent;
    int m_nOpens = 0;
    std::unique_ptr<CUpPane> m_pPane;
    std::unique_ptr<CChildView> m_pView;
    FakeOperationDialogs *m_pDialogs = nullptr;
    UrlCatcher m_urls;
    FakeShell m_shell;
    std::unique_ptr<BrowserController> m_pController;

    std::unique_ptr<IOperationDialogs> NewDialogs()
    {
        auto pDialogs = std::make_unique<FakeOperationDialogs>();
        m_pDialogs = pDialogs.get();
        return pDialogs;
    }

    CChildView &MakeView()
    {
        m_pView = std::make_unique<CChildView>(m_pRecorder->protocol, NewDialogs());
        return *m_pView;
    }

    // The commands and the connection state without a window.
    BrowserController &MakeController()
    {
        m_pController = std::make_unique<BrowserController>(m_pRecorder->protocol, m_shell, NewDialogs());
        return *m_pController;
    }

    // The view or the controller, connected to a recorder with the given rows.
    template <typename Browser> Browser &ConnectedWith(Browser &browser, const QStringList &names)
    {
        m_bPresent = true;
        m_pDialogs->onInitDevice = [&browser, names] {
            browser.RemoveAll();
            for (int i = 0; i < names.size(); ++i)
                browser.AddItem(i, Entry(names[i]));
        };
        browser.Initialize();
        browser.Model()->FlushPendingRows();
        m_pDialogs->log.clear();
        return browser;
    }

    // The view with the program's own dialogs, started with the recorder plugged in or not.
    CChildView &ProgramView(bool bPresent)
    {
        m_bPresent = bPresent;
        m_pView = std::make_unique<CChildView>(m_pRecorder->protocol);
        m_pView->Initialize();
        m_pView->Model()->FlushPendingRows();
        return *m_pView;
    }

    void Notify(quint32 nNotice) { m_pRecorder->Wire().Notify(nNotice); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetActiveTextSource(&g_texts);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void init()
    {
        const QByteArray bytes(3000, 'x');
        m_pRecorder = std::make_unique<FakeRecorder>(
            QMap<QString, QByteArray>{{"B.DAT", bytes}, {"A.DAT", bytes}, {"C.IMG", bytes}});
        m_pRecorder->pEmulator->SetDeviceInfo("Recorder 7\r\n");
        m_pRecorder->pEmulator->SetCardInfo("Card: 64 MB");
        m_pRecorder->link.SetTimeoutMs(2000); // the program's dialogs on a loaded machine
        m_bPresent = false;
        m_absent = LinkOpenFailure();
        m_nOpens = 0;
        m_pRecorder->Wire().beforeOpen = [this](LinkOpenFailure *pFailure) {
            ++m_nOpens;
            if (!m_bPresent && pFailure)
                *pFailure = m_absent;
            return m_bPresent;
        };
        m_pPane = std::make_unique<CUpPane>();
        m_urls.opened.clear();
        m_shell = FakeShell{};
    }
    void cleanup()
    {
        m_pController.reset();
        m_pView.reset();
        m_pPane.reset();
        m_pRecorder.reset();
    }

    void paneLaysOutLabelOverTextBox()
    {
        CUpPane &pane = *m_pPane;
        QCOMPARE(s_pUpPane, &pane);
        QCOMPARE(pane.Label()->text(), T(IDS_RECORDER_INFORMATION));
        QVERIFY(pane.InfoBox()->isReadOnly());
        QCOMPARE(pane.InfoBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
        pane.resize(300, 100);
        pane.show(); // a hidden window hears of its size when it is shown
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QCOMPARE(pane.Label()->geometry(), QRect(0, 0, 300, CUpPane::LABEL_HEIGHT));
        QCOMPARE(pane.InfoBox()->geometry(), QRect(0, 25, 300, 75));
        pane.resize(300, 20);
        QCOMPARE(pane.InfoBox()->height(), 0);

        pane.SetInfoText("Device A\r\n");
        pane.SetInfoText("Device A\r\nCard 1");
        QCOMPARE(pane.InfoText(), "Device A\nCard 1"); // replaced, not appended
    }

    void startUpWithoutRecorder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("reason");
        // The reason comes from the active set, filled with the device, or is the link's own.
        const QString strDevice = "1234:5678 (bus 1, address 4)";
        QTest::newRow("access denied") << int(LinkOpenFailure::Kind::AccessDenied) << strDevice
                                       << T(IDS_LINK_ACCESS_DENIED).arg(strDevice);
        QTest::newRow("the link's own words") << int(LinkOpenFailure::Kind::Described) << "unplugged"
                                              << "unplugged";
    }
    void startUpWithoutRecorder()
    {
        QFETCH(int, kind);
        QFETCH(QString, detail);
        QFETCH(QString, reason);
        m_absent.kind = LinkOpenFailure::Kind(kind);
        m_absent.strDevice = m_absent.strDetail = detail;
        CChildView &view = MakeView();
        QCOMPARE(s_pChildView, &view);
        QSignalSpy states(&view, &CChildView::CommandStatesChanged);
        ModalDriver modals;
        view.Initialize();

        QVERIFY(m_pDialogs->log.isEmpty()); // no dialog
        QVERIFY(modals.modals.isEmpty());
        QCOMPARE(m_pPane->InfoText(), T(IDS_RECORDER_NOT_CONNECTED) + "\n" + reason);
        QCOMPARE(m_pPane->InfoBox()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!view.IsConnected());
        QVERIFY(states.count() >= 1);
        for (int nId : {CommandId::ID_GET_FILES, CommandId::ID_UPLOAD_FILE, CommandId::ID_DELETE_FILES,
                        CommandId::ID_REFRESH_VIEW, CommandId::ID_UPDATE_DATA, CommandId::ID_ARCHIVE})
            QVERIFY2(!view.IsCommandEnabled(nId), qPrintable(QString::number(nId)));
        QVERIFY(view.IsCommandEnabled(CommandId::ID_SELECT_ALL));
        QVERIFY(view.IsCommandEnabled(CommandId::ID_DESELECT_ALL));
        QVERIFY(!view.IsCommandEnabled(57664)); // not the view's
        QVERIFY(!view.OnCommand(57664));
        QVERIFY(view.OnCommand(CommandId::ID_REFRESH_VIEW)); // swallowed while disabled
        QVERIFY(m_pDialogs->log.isEmpty());
    }

    void arrivalConnectsAndRemovalDisconnects()
    {
        BrowserController &controller = MakeController();
        controller.Initialize();
        QSignalSpy states(&controller, &BrowserController::CommandStatesChanged);

        m_bPresent = true;
        QStringList paneDuringDialog;
        m_pDialogs->onInitDevice = [&] {
            paneDuringDialog << m_shell.strPane;
            controller.RemoveAll();
            controller.AddItem(0, Entry("A.DAT"));
            controller.SetInfoText("Device\nCard");
        };
        Notify(ITransport::NOTICE_ARRIVAL);
        QTRY_VERIFY(controller.IsConnected());
        QCOMPARE(paneDuringDialog, QStringList{T(IDS_RECORDER_CONNECTED)});
        QCOMPARE(m_shell.strPane, "Device\nCard");
        QVERIFY(controller.IsCommandEnabled(CommandId::ID_GET_FILES));
        QVERIFY(states.count() >= 1);
        QTRY_COMPARE(controller.Model()->rowCount(), 1);

        Notify(0x8003); // other event types change nothing
        QTest::qWait(20);
        QVERIFY(controller.IsConnected());

        states.clear();
        m_bPresent = false;
        Notify(ITransport::NOTICE_REMOVE_COMPLETE);
        QTRY_VERIFY(!controller.IsConnected());
        QCOMPARE(m_shell.strPane, T(IDS_RECORDER_DISCONNECTED));
        QCOMPARE(controller.Model()->Rows().GetItemCount(), 0);
        QCOMPARE(states.count(), 1);
        QVERIFY(!controller.IsCommandEnabled(CommandId::ID_DELETE_FILES));

        // A second removal while not connected still writes the pane and empties the list.
        m_shell.strPane = "x";
        Notify(ITransport::NOTICE_REMOVE_COMPLETE);
        QTRY_COMPARE(m_shell.strPane, T(IDS_RECORDER_DISCONNECTED));
    }

    void connectDialogFailureKeepsTheState()
    {
        m_bPresent = true;
        BrowserController &controller = MakeController();
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        controller.Initialize();
        QVERIFY(!controller.IsConnected());
        QCOMPARE(m_shell.strPane, T(IDS_RECORDER_CONNECTED));

        m_pDialogs->nInitDeviceResult = IDOK;
        QVERIFY(controller.ConnectRecorder());
        QVERIFY(controller.IsConnected());
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        QVERIFY(controller.ConnectRecorder()); // a failed exchange after an arrival stays connected
        QVERIFY(controller.IsConnected());
    }

    void refreshKeepsTheState()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A"});
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        m_shell.strPane = "info";
        QVERIFY(controller.OnCommand(CommandId::ID_REFRESH_VIEW));
        QCOMPARE(m_pDialogs->log, QStringList{"init"});
        QVERIFY(controller.IsConnected());
        QCOMPARE(m_shell.strPane, "info");
        QCOMPARE(m_nOpens, 1); // refresh does not reopen the link

        m_bPresent = false;
        controller.ConnectRecorder();
        m_pDialogs->nInitDeviceResult = IDOK;
        controller.RefreshView();
        QVERIFY(!controller.IsConnected());
    }

    void arrivalDuringAnOperationWaitsForItsEnd()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A", "B"});
        m_pDialogs->strSaveToFolder = m_pRecorder->OutDir() + u'/';
        int nInitDuringDownload = -1;
        m_pDialogs->onGetFile = [&] {
            // The download dialog's own event loop delivers the notice.
            Notify(ITransport::NOTICE_ARRIVAL);
            QTest::qWait(30);
            nInitDuringDownload = int(m_pDialogs->log.count("init"));
        };
        controller.OnSelectAll();
        controller.OnCommand(CommandId::ID_GET_FILES);
        QCOMPARE(nInitDuringDownload, 0); // never a second job beside the first
        QVERIFY(controller.IsArrivalHeld());
        QTRY_COMPARE(m_pDialogs->log.count("init"), 1);
        QVERIFY(!controller.IsArrivalHeld());
        QCOMPARE(m_nOpens, 2);

        // A removal while the arrival is held drops the arrival.
        m_pDialogs->onGetFile = [&] {
            Notify(ITransport::NOTICE_ARRIVAL);
            Notify(ITransport::NOTICE_REMOVE_COMPLETE);
            QTest::qWait(30);
        };
        m_pDialogs->log.clear();
        controller.OnSelectAll();
        controller.OnGetFiles();
        QTest::qWait(30);
        QCOMPARE(m_pDialogs->log.count("init"), 0);
        QCOMPARE(m_shell.strPane, T(IDS_RECORDER_DISCONNECTED));
    }

    void arrivalWaitsForALateWorkerThread()
    {
        // A dialog's Stop gave up on its thread: that thread may still be inside an exchange,
        // so an arrival must not reopen the link under it.
        BrowserController &controller = ConnectedWith(MakeController(), {"A"});
        const int nOpens = m_nOpens;
        auto pRelease = std::make_shared<ManualResetEvent>(false);
        {
            StubbornJob job(pRelease);
            job.SetJoinTimeoutMs(10);
            job.Launch();
            job.Stop();
        }
        QCOMPARE(CWorkerThread::LiveThreadCount(), 1);

        Notify(ITransport::NOTICE_ARRIVAL);
        QTest::qWait(300);
        QCOMPARE(m_nOpens, nOpens);
        QVERIFY(controller.IsArrivalHeld());
        QVERIFY(m_pDialogs->log.isEmpty());

        // Once it has ended, the held arrival connects.
        pRelease->Set();
        QTRY_COMPARE(m_nOpens, nOpens + 1);
        QCOMPARE(m_pDialogs->log, QStringList{"init"});
        QVERIFY(!controller.IsArrivalHeld());
    }

    void getFilesOrderAndOpeningTheFirstFile()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A.DAT", "B.DAT", "C.DAT", "D.DAT"});
        QVERIFY(TestFiles::Write(m_pRecorder->OutPath("C.DAT"), {}));
        m_pDialogs->strSaveToFolder = m_pRecorder->OutDir() + u'/';

        // Overwrite cancelled: only the existing name drops out, order kept.
        for (int nRow : {1, 2, 3})
            controller.Model()->SetCheck(nRow, true);
        m_pDialogs->nOverwriteResult = IDCANCEL;
        controller.OnGetFiles();
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "overwrite:C.DAT", "get:B.DAT,D.DAT"}));
        QVERIFY(m_shell.opened.isEmpty()); // not started by a double-click

        // Double-click on D with B checked above it: both downloaded, existing C kept out of it,
        // and B, the topmost, opened.
        m_pDialogs->log.clear();
        controller.Model()->SetCheck(1, true);
        controller.OnListDoubleClicked(3);
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "get:B.DAT,D.DAT"}));
        QCOMPARE(m_shell.opened, QStringList{m_pRecorder->OutPath("B.DAT")});

        // Overwrite confirmed: everything checked is downloaded.
        m_pDialogs->log.clear();
        m_pDialogs->nOverwriteResult = IDOK;
        controller.OnSelectAll();
        controller.OnGetFiles();
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "overwrite:C.DAT", "get:A.DAT,B.DAT,C.DAT,D.DAT"}));
    }

    void getFilesThatEndsEarlyClearsTheOpenRequest()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A.DAT", "B.DAT"});
        m_pDialogs->strSaveToFolder = m_pRecorder->OutDir() + u'/';

        // Nothing checked: message 168, no destination prompt.
        controller.OnGetFiles();
        QCOMPARE(m_shell.messages, QStringList{T(IDS_NO_FILES_SELECTED)});
        QVERIFY(m_pDialogs->log.isEmpty());

        // A double-click whose destination prompt is cancelled leaves the checks as they were
        // and does not make the next run open anything.
        m_pDialogs->nSaveToResult = IDCANCEL;
        controller.OnListDoubleClicked(1);
        QVERIFY(controller.Model()->Rows().GetCheck(1));
        QVERIFY(!controller.IsOpenAfterGetSet());
        m_pDialogs->nSaveToResult = IDOK;
        controller.OnGetFiles();
        QVERIFY(m_pDialogs->log.contains("get:B.DAT"));
        QVERIFY(m_shell.opened.isEmpty());

        // No row holds the selection mark: the double-click does nothing at all.
        m_pDialogs->log.clear();
        controller.OnListDoubleClicked(-1);
        QVERIFY(m_pDialogs->log.isEmpty());
        QCOMPARE(controller.Model()->Rows().CheckedCount(), 0);
    }

    // Names the destination cannot take are shown together, with their reasons, before the
    // download starts; the others are downloaded, and a refused name is never opened.
    void refusedNamesAreShownAndTheOthersDownloaded()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"../outside.txt", "B", "b", "C"});
        const QString strOut = m_pRecorder->OutDir();
        QVERIFY(QDir(strOut).mkdir("dest"));
        QVERIFY(TestFiles::Write(strOut + "/outside.txt", {}));
        QVERIFY(QFile::link(strOut + "/outside.txt", strOut + "/dest/C"));
        m_pDialogs->strSaveToFolder = strOut + "/dest/";
        controller.OnSelectAll();
        controller.OnCommand(CommandId::ID_GET_FILES);
        QCOMPARE(m_shell.messages.size(), 1);
        QCOMPARE(m_shell.messages.first().split(u'\n'),
                 QStringList({T(IDS_DOWNLOADS_REFUSED), "../outside.txt: " + T(IDS_REASON_UNSAFE_NAME),
                              "b: " + T(IDS_REASON_NAME_COLLISION), "C: " + T(IDS_REASON_SYMBOLIC_LINK)}));
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "get:B"}));

        m_pDialogs->log.clear();
        controller.OnListDoubleClicked(0);
        QCOMPARE(m_pDialogs->log, QStringList({"saveto"}));
        QVERIFY(m_shell.opened.isEmpty());
    }

    void deleteConfirmationAndFailure()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A", "B"});
        controller.Model()->SetCheck(1, true);

        m_shell.answers = {IDCANCEL};
        controller.OnCommand(CommandId::ID_DELETE_FILES);
        QCOMPARE(m_shell.messages, QStringList{T(IDS_CONFIRM_DELETE)});
        QVERIFY(m_pDialogs->log.isEmpty());
        QVERIFY(controller.Model()->Rows().GetCheck(1));

        m_shell.messages.clear();
        m_pDialogs->nDelFilesResult = IDCANCEL;
        controller.OnCommand(CommandId::ID_DELETE_FILES);
        QCOMPARE(m_shell.messages, QStringList({T(IDS_CONFIRM_DELETE), T(IDS_DELETE_NOT_COMPLETED)}));
        QCOMPARE(m_pDialogs->log, QStringList({"delete:B", "init"}));
    }

    void uploadUpdateAndSelection()
    {
        BrowserController &controller = ConnectedWith(MakeController(), {"A", "B", "C"});
        controller.UploadLocalFile("/tmp/system.img");
        QCOMPARE(m_pDialogs->log, QStringList{"upload:/tmp/system.img"}); // the caller refreshes

        m_pDialogs->log.clear();
        controller.OnCommand(CommandId::ID_UPDATE_DATA);
        QCOMPARE(m_pDialogs->log, QStringList({"update", "init"}));

        controller.OnCommand(CommandId::ID_SELECT_ALL);
        QCOMPARE(controller.Model()->Rows().CheckedCount(), 3);
        controller.OnCommand(CommandId::ID_DESELECT_ALL);
        QCOMPARE(controller.Model()->Rows().CheckedCount(), 0);
    }

    void notificationFailureIsReportedOnce()
    {
        m_pRecorder->Wire().bNoNotices = true;
        CChildView &view = MakeView();
        ModalDriver modals;
        view.Initialize();
        QCOMPARE(modals.boxes.size(), 1);
        QCOMPARE(modals.boxes[0].strText, T(IDS_NOTIFICATION_FAILED));
        QCOMPARE(m_nOpens, 1); // the first connection attempt still happens
    }

    void columnsAndResizing()
    {
        CChildView &view = MakeView();
        QTableView *pList = view.ListControl();
        QCOMPARE(pList->horizontalHeader()->count(), 3);
        QCOMPARE(view.Model()->headerData(0, Qt::Horizontal).toString(), T(IDS_COL_FILE_NAME));
        QCOMPARE(view.Model()->headerData(2, Qt::Horizontal).toString(), T(IDS_COL_SIZE));
        QCOMPARE(pList->columnWidth(1), CChildView::DATE_COLUMN_WIDTH);
        QCOMPARE(pList->columnWidth(2), CChildView::SIZE_COLUMN_WIDTH);

        const int nScroll = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(pList->geometry(), QRect(0, 0, 800, 400));
        QCOMPARE(pList->columnWidth(0), pList->contentsRect().width() - 250 - nScroll);

        pList->setColumnWidth(1, 200); // a dragged border does not refit column 0
        view.resize(100, 400);         // narrower than the others: they keep their widths
        QCOMPARE(pList->columnWidth(1), 200);
        QCOMPARE(pList->columnWidth(2), 100);
        QCOMPARE(pList->columnWidth(0), CChildView::MIN_NAME_COLUMN_WIDTH);
    }

    void headerClickSortsAndKeepsTheCurrentRowInView()
    {
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names << QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0'));
        CChildView &view = ConnectedWith(MakeView(), names);
        view.resize(600, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTableView *pList = view.ListControl();
        pList->setCurrentIndex(view.Model()->index(0, 0)); // F000, at the top
        CFileListModel::s_bNameAscending = true;

        const QHeaderView *pHeader = pList->horizontalHeader();
        const QPoint nameHeader(pHeader->sectionViewportPosition(0) + 10, pHeader->height() / 2);
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, nameHeader);
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, nameHeader); // descending
        QCOMPARE(view.Model()->data(view.Model()->index(0, 0)).toString(), "F299");
        QCOMPARE(pList->currentIndex().row(), 299);
        QVERIFY(pList->viewport()->rect().intersects(pList->visualRect(pList->currentIndex())));
    }

    // The view with the program's own dialogs.

    void programDialogsArrivalRefreshUploadAndUpdateData()
    {
        CChildView &view = ProgramView(false);
        m_bPresent = true;
        Notify(ITransport::NOTICE_ARRIVAL);
        QTRY_VERIFY_WITH_TIMEOUT(view.IsConnected(), 10000);
        QTRY_COMPARE(view.Model()->rowCount(), 3);
        QCOMPARE(m_pPane->InfoText(), "Recorder 7\nCard: 64 MB");
        QVERIFY(view.IsCommandEnabled(CommandId::ID_GET_FILES));

        view.OnSelectAll();
        view.RefreshView();
        QVERIFY(view.IsConnected());
        view.Model()->FlushPendingRows();
        QCOMPARE(view.Model()->rowCount(), 3);
        QCOMPARE(view.Model()->Rows().CheckedCount(), 0); // a refill starts unchecked

        const QString strImage = m_pRecorder->OutPath("NEW.IMG");
        QVERIFY(TestFiles::Write(strImage, TestFiles::Pattern(5000)));
        ModalDriver modals; // a successful upload closes quietly
        view.UploadLocalFile(strImage);
        QVERIFY(modals.boxes.isEmpty());
        QCOMPARE(m_pRecorder->CardFile("NEW.IMG"), TestFiles::Read(strImage));
        view.RefreshView();
        view.Model()->FlushPendingRows();
        QCOMPARE(view.Model()->rowCount(), 4);

        // The update-data dialog's parent is the view's own parent (the splitter), not the window.
        QWidget window;
        QWidget parent(&window);
        view.setParent(&parent);
        m_pRecorder->Faults().nSaveArchiveDelayMs = 300; // long enough to be seen
        QWidget *pUpdateParent = nullptr;
        modals.WhenModal<CDlgUpdateCF>([&](CDlgUpdateCF &dialog) { pUpdateParent = dialog.parentWidget(); });
        view.OnUpdateData();
        view.setParent(nullptr);
        QCOMPARE(pUpdateParent, &parent);
    }

    // The recorder answers the identification only after the link gave up; the next Refresh,
    // on the same open link, must show the true texts and list, not the late answer shifted
    // onto the next request.
    void refreshAfterALateReplyShowsTheTrueRecorder()
    {
        CChildView &view = ProgramView(true);
        QCOMPARE(view.Model()->rowCount(), 3);
        m_pRecorder->link.SetTimeoutMs(FakeRecorder::LINK_TIMEOUT_MS);
        m_pRecorder->Faults().nLateReplyMs = 2 * FakeRecorder::LINK_TIMEOUT_MS;
        {
            // The connect dialog says the communication failed and waits for Close.
            ModalDriver modals;
            bool bFailed = false;
            modals.When(
                [] {
                    auto *pDialog = qobject_cast<CDlgInitDevice *>(QApplication::activeModalWidget());
                    return pDialog && !pDialog->Hourglass()->IsTurning();
                },
                [&bFailed] {
                    bFailed = true;
                    QApplication::activeModalWidget()->close();
                });
            view.RefreshView();
            QVERIFY(bFailed);
        }
        QTest::qWait(2 * FakeRecorder::LINK_TIMEOUT_MS); // the late answer is on the link now
        ModalDriver modals;
        view.RefreshView();
        QVERIFY(modals.boxes.isEmpty());
        QVERIFY(view.IsConnected());
        view.Model()->FlushPendingRows();
        QCOMPARE(m_pPane->InfoText(), "Recorder 7\nCard: 64 MB");
        QStringList names;
        for (int i = 0; i < view.Model()->rowCount(); ++i)
            names << view.Model()->index(i, 0).data().toString();
        names.sort();
        QCOMPARE(names, (QStringList{"A.DAT", "B.DAT", "C.IMG"}));
    }

    // A double-click on C with A checked above it wants A and C; both are already in the
    // destination and the overwrite prompt is cancelled: no download, the files kept, the checks
    // cleared and nothing opened. Each prompt opens over the view's window.
    void getFilesWithEveryFileAlreadyPresentAndOverwriteCancelled()
    {
        CChildView &view = ProgramView(true);
        view.resize(700, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (const QString &strName : QStringList{"A.DAT", "B.DAT", "C.IMG"})
            QVERIFY(TestFiles::Write(m_pRecorder->OutPath(strName), "mine"));
        ModalDriver modals;
        QList<QWidget *> owners;
        QStringList existing;
        modals.WhenModal<CDlgSaveTo>([&](CDlgSaveTo &dialog) {
            owners << dialog.parentWidget();
            dialog.PathEdit()->setText(m_pRecorder->OutDir());
            dialog.accept();
        });
        modals.WhenModal<CDlgOverwriteFiles>([&](CDlgOverwriteFiles &dialog) {
            owners << dialog.parentWidget();
            for (int i = 0; i < dialog.Names()->count(); ++i)
                existing << dialog.Names()->item(i)->text();
            dialog.reject();
        });
        view.Model()->SetCheck(0, true); // A: the recorder's order is kept until a sort
        QTableView *pList = view.ListControl();
        const QRect cell = pList->visualRect(view.Model()->index(2, 1));
        QCOMPARE(view.Model()->index(2, 0).data().toString(), "C.IMG");
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, cell.center());

        QCOMPARE(modals.modals, QStringList({"CDlgSaveTo", "CDlgOverwriteFiles"})); // no download dialog
        QCOMPARE(existing, QStringList({"A.DAT", "C.IMG"}));
        QCOMPARE(owners, QList<QWidget *>({view.window(), view.window()}));
        QCOMPARE(view.Model()->Rows().CheckedCount(), 0);
        QVERIFY(m_urls.opened.isEmpty());
        QVERIFY(!view.IsOpenAfterGetSet());
        QCOMPARE(TestFiles::Read(m_pRecorder->OutPath("A.DAT")), "mine");
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
