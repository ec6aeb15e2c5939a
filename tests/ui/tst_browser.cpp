#include "core/DownloadPlan.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "link/ITransport.h"
#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "ui/browser/BrowserController.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <thread>

namespace {

// Every text is its identifier, so a test can tell which text was shown.
class IdTexts final : public ITextSource
{
public:
    QString Text(quint32 nId) const override { return QStringLiteral("<%1>").arg(nId); }
};

QString T(quint32 nId)
{
    return LoadText(nId);
}

// A recorder that is plugged in or not, as the test says.
struct FakeBus
{
    bool bPresent = false;
    LinkOpenFailure absentReason;
    bool bNotices = true;
    ITransport::NoticeCallback callback;
    int nOpens = 0;
};

class FakeTransport final : public ITransport
{
public:
    explicit FakeTransport(FakeBus &bus)
        : m_bus(bus)
    {}
    bool Open(LinkOpenFailure *pFailure) override
    {
        ++m_bus.nOpens;
        m_bOpen = m_bus.bPresent;
        if (!m_bOpen && pFailure)
            *pFailure = m_bus.absentReason;
        return m_bOpen;
    }
    void Close() override { m_bOpen = false; }
    bool IsOpen() const override { return m_bOpen; }
    bool Write(const quint8 *, qsizetype, int) override { return false; }
    qsizetype Read(quint8 *, qsizetype, int) override { return -1; }
    bool RegisterNotifications(NoticeCallback callback) override
    {
        if (!m_bus.bNotices)
            return false;
        m_bus.callback = std::move(callback);
        return true;
    }

private:
    FakeBus &m_bus;
    bool m_bOpen = false;
};

// Operation dialogs that answer as the test says and log what was asked of them.
class FakeDialogs final : public IOperationDialogs
{
public:
    QStringList log;
    int nInitDeviceResult = IDOK;
    std::function<void()> onInitDevice; // runs "inside" the connect dialog
    QString strSaveToFolder;
    int nSaveToResult = IDOK;
    int nOverwriteResult = IDOK;
    int nDelFilesResult = IDOK;
    std::function<void()> onGetFile;

    int RunInitDevice() override
    {
        log << QStringLiteral("init");
        if (onInitDevice)
            onInitDevice();
        return nInitDeviceResult;
    }
    int RunSaveTo(QString *pstrFolder) override
    {
        log << QStringLiteral("saveto");
        *pstrFolder = strSaveToFolder;
        return nSaveToResult;
    }
    int RunOverwriteFiles(const QStringList &existing) override
    {
        log << QStringLiteral("overwrite:") + existing.join(u',');
        return nOverwriteResult;
    }
    int RunGetFile(const DownloadPlan &plan) override
    {
        QStringList names;
        for (const DownloadPlan::Item &item : plan.ToDownload())
            names.append(item.strCardName);
        log << QStringLiteral("get:") + (plan.Folder() == strSaveToFolder ? QString() : plan.Folder()) +
                   names.join(u',');
        if (onGetFile)
            onGetFile();
        return IDOK;
    }
    int RunUploadFile(const QString &strLocalPath) override
    {
        log << QStringLiteral("upload:") + strLocalPath;
        return IDCANCEL;
    }
    int RunDelFiles(const QStringList &names) override
    {
        log << QStringLiteral("delete:") + names.join(u',');
        return nDelFilesResult;
    }
    int RunUpdateCF() override
    {
        log << QStringLiteral("update");
        return IDOK;
    }
};

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

// Answers the next message box with the given button and records its text.
void AnswerNextMessageBox(QMessageBox::StandardButton button, QStringList *pTexts)
{
    auto *pTimer = new QTimer;
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, button, pTexts] {
        if (auto *pBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            pTimer->stop();
            pTimer->deleteLater();
            *pTexts << pBox->text();
            pBox->button(button)->click();
        }
    });
    pTimer->start();
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

    IdTexts m_texts;
    FakeBus m_bus;
    std::unique_ptr<RecorderLink> m_pLink;
    std::unique_ptr<RecorderProtocol> m_pProtocol;
    std::unique_ptr<CUpPane> m_pPane;
    std::unique_ptr<CChildView> m_pView;
    FakeDialogs *m_pDialogs = nullptr;
    UrlCatcher m_urls;
    FakeShell m_shell;
    std::unique_ptr<BrowserController> m_pController;

    std::unique_ptr<IOperationDialogs> NewDialogs()
    {
        auto pDialogs = std::make_unique<FakeDialogs>();
        m_pDialogs = pDialogs.get();
        return pDialogs;
    }

    CChildView &MakeView()
    {
        m_pView = std::make_unique<CChildView>(*m_pProtocol, NewDialogs());
        return *m_pView;
    }

    // The commands and the connection state without a window.
    BrowserController &MakeController()
    {
        m_pController = std::make_unique<BrowserController>(*m_pProtocol, m_shell, NewDialogs());
        return *m_pController;
    }

    // The view or the controller, connected to a recorder with the given rows.
    template <typename Browser> Browser &ConnectedWith(Browser &browser, const QStringList &names)
    {
        m_bus.bPresent = true;
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
    CChildView &ConnectedViewWith(const QStringList &names) { return ConnectedWith(MakeView(), names); }
    BrowserController &ConnectedControllerWith(const QStringList &names)
    {
        return ConnectedWith(MakeController(), names);
    }

    void Notify(quint32 nNotice)
    {
        // Notices come from the transport's own thread.
        std::thread worker([this, nNotice] { m_bus.callback(nNotice); });
        worker.join();
    }

private slots:
    void initTestCase()
    {
        SetActiveTextSource(&m_texts);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void init()
    {
        m_bus = FakeBus{};
        m_pLink = std::make_unique<RecorderLink>(std::make_unique<FakeTransport>(m_bus));
        m_pProtocol = std::make_unique<RecorderProtocol>(*m_pLink);
        m_pPane = std::make_unique<CUpPane>();
        m_urls.opened.clear();
        m_shell = FakeShell{};
    }
    void cleanup()
    {
        m_pController.reset();
        m_pView.reset();
        m_pPane.reset();
        m_pProtocol.reset();
        m_pLink.reset();
    }

    void paneLaysOutLabelOverTextBox()
    {
        CUpPane &pane = *m_pPane;
        QCOMPARE(s_pUpPane, &pane);
        QCOMPARE(pane.Label()->text(), T(StringId::IDS_RECORDER_INFORMATION));
        QVERIFY(pane.InfoBox()->isReadOnly());
        QCOMPARE(pane.InfoBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
        pane.resize(300, 100);
        pane.show(); // a hidden window hears of its size when it is shown
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QCOMPARE(pane.Label()->geometry(), QRect(0, 0, 300, CUpPane::LABEL_HEIGHT));
        QCOMPARE(pane.InfoBox()->geometry(), QRect(0, 25, 300, 75));
        pane.resize(300, 20);
        QCOMPARE(pane.InfoBox()->height(), 0);

        pane.SetInfoText(QStringLiteral("Device A\r\n"));
        pane.SetInfoText(QStringLiteral("Device A\r\nCard 1"));
        QCOMPARE(pane.InfoText(), QStringLiteral("Device A\nCard 1")); // replaced, not appended
    }

    void startUpWithoutRecorder()
    {
        // The reason comes from the active set, filled with the device, and wraps in the box.
        struct ReasonTexts final : ITextSource
        {
            QString Text(quint32 nId) const override
            {
                return nId == StringId::IDS_LINK_ACCESS_DENIED ? QStringLiteral("denied on %1")
                                                               : QStringLiteral("<%1>").arg(nId);
            }
        } texts;
        SetActiveTextSource(&texts);
        m_bus.absentReason.kind = LinkOpenFailure::Kind::AccessDenied;
        m_bus.absentReason.strDevice = QStringLiteral("1234:5678 (bus 1, address 4)");
        CChildView &view = MakeView();
        QCOMPARE(s_pChildView, &view);
        QSignalSpy states(&view, &CChildView::CommandStatesChanged);
        view.Initialize();
        SetActiveTextSource(&m_texts);

        QVERIFY(m_pDialogs->log.isEmpty()); // no dialog
        QCOMPARE(m_pPane->InfoText(),
                 T(StringId::IDS_RECORDER_NOT_CONNECTED) + "\ndenied on 1234:5678 (bus 1, address 4)");
        QCOMPARE(m_pPane->InfoBox()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!view.IsConnected());
        QVERIFY(states.count() >= 1);
        for (int nId : {CommandId::ID_GET_FILES, CommandId::ID_UPLOAD_FILE, CommandId::ID_DELETE_FILES,
                        CommandId::ID_REFRESH_VIEW, CommandId::ID_UPDATE_DATA})
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

        m_bus.bPresent = true;
        QStringList paneDuringDialog;
        m_pDialogs->onInitDevice = [&] {
            paneDuringDialog << m_shell.strPane;
            controller.RemoveAll();
            controller.AddItem(0, Entry("A.DAT"));
            controller.SetInfoText(QStringLiteral("Device\nCard"));
        };
        Notify(ITransport::NOTICE_ARRIVAL);
        QTRY_VERIFY(controller.IsConnected());
        QCOMPARE(paneDuringDialog, QStringList{T(StringId::IDS_RECORDER_CONNECTED)});
        QCOMPARE(m_shell.strPane, QStringLiteral("Device\nCard"));
        QVERIFY(controller.IsCommandEnabled(CommandId::ID_GET_FILES));
        QVERIFY(states.count() >= 1);
        QTRY_COMPARE(controller.Model()->rowCount(), 1);

        Notify(0x8003); // other event types change nothing
        QTest::qWait(20);
        QVERIFY(controller.IsConnected());

        states.clear();
        m_bus.bPresent = false;
        Notify(ITransport::NOTICE_REMOVE_COMPLETE);
        QTRY_VERIFY(!controller.IsConnected());
        QCOMPARE(m_shell.strPane, T(StringId::IDS_RECORDER_DISCONNECTED));
        QCOMPARE(controller.Model()->Rows().GetItemCount(), 0);
        QCOMPARE(states.count(), 1);
        QVERIFY(!controller.IsCommandEnabled(CommandId::ID_DELETE_FILES));

        // A second removal while not connected still writes the pane and empties the list.
        m_shell.strPane = QStringLiteral("x");
        Notify(ITransport::NOTICE_REMOVE_COMPLETE);
        QTRY_COMPARE(m_shell.strPane, T(StringId::IDS_RECORDER_DISCONNECTED));
    }

    void connectDialogFailureKeepsTheState()
    {
        m_bus.bPresent = true;
        BrowserController &controller = MakeController();
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        controller.Initialize();
        QVERIFY(!controller.IsConnected());
        QCOMPARE(m_shell.strPane, T(StringId::IDS_RECORDER_CONNECTED));

        m_pDialogs->nInitDeviceResult = IDOK;
        QVERIFY(controller.ConnectRecorder());
        QVERIFY(controller.IsConnected());
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        QVERIFY(controller.ConnectRecorder()); // a failed exchange after an arrival stays connected
        QVERIFY(controller.IsConnected());
    }

    void refreshKeepsTheState()
    {
        BrowserController &controller = ConnectedControllerWith({"A"});
        m_pDialogs->nInitDeviceResult = IDCANCEL;
        m_shell.strPane = QStringLiteral("info");
        QVERIFY(controller.OnCommand(CommandId::ID_REFRESH_VIEW));
        QCOMPARE(m_pDialogs->log, QStringList{"init"});
        QVERIFY(controller.IsConnected());
        QCOMPARE(m_shell.strPane, QStringLiteral("info"));
        QCOMPARE(m_bus.nOpens, 1); // refresh does not reopen the link

        m_bus.bPresent = false;
        controller.ConnectRecorder();
        m_pDialogs->nInitDeviceResult = IDOK;
        controller.RefreshView();
        QVERIFY(!controller.IsConnected());
    }

    void arrivalDuringAnOperationWaitsForItsEnd()
    {
        BrowserController &controller = ConnectedControllerWith({"A", "B"});
        QTemporaryDir dir;
        m_pDialogs->strSaveToFolder = dir.path() + u'/';
        int nInitDuringDownload = -1;
        m_pDialogs->onGetFile = [&] {
            // The download dialog's own event loop delivers the notice.
            Notify(ITransport::NOTICE_ARRIVAL);
            QTest::qWait(30);
            nInitDuringDownload = int(m_pDialogs->log.count(QStringLiteral("init")));
        };
        controller.OnSelectAll();
        controller.OnCommand(CommandId::ID_GET_FILES);
        QCOMPARE(nInitDuringDownload, 0); // never a second job beside the first
        QVERIFY(controller.IsArrivalHeld());
        QTRY_COMPARE(m_pDialogs->log.count(QStringLiteral("init")), 1);
        QVERIFY(!controller.IsArrivalHeld());
        QCOMPARE(m_bus.nOpens, 2);

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
        QCOMPARE(m_pDialogs->log.count(QStringLiteral("init")), 0);
        QCOMPARE(m_shell.strPane, T(StringId::IDS_RECORDER_DISCONNECTED));
    }

    void arrivalWaitsForALateWorkerThread()
    {
        // A dialog's Stop gave up on its thread: that thread may still be inside an exchange,
        // so an arrival must not reopen the link under it.
        BrowserController &controller = ConnectedControllerWith({"A"});
        const int nOpens = m_bus.nOpens;
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
        QCOMPARE(m_bus.nOpens, nOpens);
        QVERIFY(controller.IsArrivalHeld());
        QVERIFY(m_pDialogs->log.isEmpty());

        // Once it has ended, the held arrival connects.
        pRelease->Set();
        QTRY_COMPARE(m_bus.nOpens, nOpens + 1);
        QCOMPARE(m_pDialogs->log, QStringList{"init"});
        QVERIFY(!controller.IsArrivalHeld());
    }

    void getFilesWithEveryFileAlreadyPresentAndOverwriteCancelled()
    {
        CChildView &view = ConnectedViewWith({"A.DAT", "B.DAT", "C.DAT"});
        view.resize(700, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTemporaryDir dir;
        for (const char *pName : {"A.DAT", "C.DAT"}) {
            QFile file(dir.filePath(pName));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_pDialogs->strSaveToFolder = dir.path() + u'/';
        m_pDialogs->nOverwriteResult = IDCANCEL;
        view.Model()->SetCheck(0, true);

        // Double-click on C: A (checked above it) and C are wanted, both exist.
        QTableView *pList = view.ListControl();
        const QRect cell = pList->visualRect(view.Model()->index(2, 1));
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, cell.center());

        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "overwrite:A.DAT,C.DAT"})); // no download dialog
        QCOMPARE(view.Model()->Rows().CheckedCount(), 0);
        QVERIFY(m_urls.opened.isEmpty());
        QVERIFY(!view.IsOpenAfterGetSet());
    }

    void getFilesOrderAndOpeningTheFirstFile()
    {
        BrowserController &controller = ConnectedControllerWith({"A.DAT", "B.DAT", "C.DAT", "D.DAT"});
        QTemporaryDir dir;
        QFile existing(dir.filePath("C.DAT"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        m_pDialogs->strSaveToFolder = dir.path() + u'/';

        // Overwrite cancelled: only the existing name drops out, order kept.
        controller.Model()->SetCheck(1, true);
        controller.Model()->SetCheck(2, true);
        controller.Model()->SetCheck(3, true);
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
        QCOMPARE(m_shell.opened, QStringList{dir.filePath("B.DAT")});

        // Overwrite confirmed: everything checked is downloaded.
        m_pDialogs->log.clear();
        m_pDialogs->nOverwriteResult = IDOK;
        controller.OnSelectAll();
        controller.OnGetFiles();
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "overwrite:C.DAT", "get:A.DAT,B.DAT,C.DAT,D.DAT"}));
    }

    void getFilesThatEndsEarlyClearsTheOpenRequest()
    {
        BrowserController &controller = ConnectedControllerWith({"A.DAT", "B.DAT"});
        QTemporaryDir dir;
        m_pDialogs->strSaveToFolder = dir.path() + u'/';

        // Nothing checked: message 168, no destination prompt.
        controller.OnGetFiles();
        QCOMPARE(m_shell.messages, QStringList{T(StringId::IDS_NO_FILES_SELECTED)});
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
        BrowserController &controller = ConnectedControllerWith({"../outside.txt", "B", "b", "C"});
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("dest"));
        QFile outside(dir.filePath("outside.txt"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(dir.filePath("outside.txt"), dir.filePath("dest/C")));
        m_pDialogs->strSaveToFolder = dir.path() + "/dest/";
        controller.OnSelectAll();
        controller.OnCommand(CommandId::ID_GET_FILES);
        QCOMPARE(m_shell.messages.size(), 1);
        const QStringList lines = m_shell.messages.first().split(u'\n');
        QCOMPARE(lines, QStringList({T(StringId::IDS_DOWNLOADS_REFUSED),
                                     "../outside.txt: " + T(StringId::IDS_REASON_UNSAFE_NAME),
                                     "b: " + T(StringId::IDS_REASON_NAME_COLLISION),
                                     "C: " + T(StringId::IDS_REASON_SYMBOLIC_LINK)}));
        QCOMPARE(m_pDialogs->log, QStringList({"saveto", "get:B"}));

        m_pDialogs->log.clear();
        controller.OnListDoubleClicked(0);
        QCOMPARE(m_pDialogs->log, QStringList({"saveto"}));
        QVERIFY(m_shell.opened.isEmpty());
    }

    void deleteConfirmationAndFailure()
    {
        BrowserController &controller = ConnectedControllerWith({"A", "B"});
        controller.Model()->SetCheck(1, true);

        m_shell.answers = {IDCANCEL};
        controller.OnCommand(CommandId::ID_DELETE_FILES);
        QCOMPARE(m_shell.messages, QStringList{T(StringId::IDS_CONFIRM_DELETE)});
        QVERIFY(m_pDialogs->log.isEmpty());
        QVERIFY(controller.Model()->Rows().GetCheck(1));

        m_shell.messages.clear();
        m_pDialogs->nDelFilesResult = IDCANCEL;
        controller.OnCommand(CommandId::ID_DELETE_FILES);
        QCOMPARE(m_shell.messages,
                 QStringList({T(StringId::IDS_CONFIRM_DELETE), T(StringId::IDS_DELETE_NOT_COMPLETED)}));
        QCOMPARE(m_pDialogs->log, QStringList({"delete:B", "init"}));
    }

    void uploadUpdateAndSelection()
    {
        BrowserController &controller = ConnectedControllerWith({"A", "B", "C"});
        controller.UploadLocalFile(QStringLiteral("/tmp/system.img"));
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
        m_bus.bNotices = false;
        CChildView &view = MakeView();
        QStringList texts;
        AnswerNextMessageBox(QMessageBox::Ok, &texts);
        view.Initialize();
        QCOMPARE(texts, QStringList{T(StringId::IDS_NOTIFICATION_FAILED)});
        QCOMPARE(m_bus.nOpens, 1); // the first connection attempt still happens
    }

    void columnsAndResizing()
    {
        CChildView &view = MakeView();
        QTableView *pList = view.ListControl();
        QHeaderView *pHeader = pList->horizontalHeader();
        QCOMPARE(pHeader->count(), 3);
        QCOMPARE(view.Model()->headerData(0, Qt::Horizontal).toString(), T(StringId::IDS_COL_FILE_NAME));
        QCOMPARE(view.Model()->headerData(2, Qt::Horizontal).toString(), T(StringId::IDS_COL_SIZE));
        QCOMPARE(pList->columnWidth(1), CChildView::DATE_COLUMN_WIDTH);
        QCOMPARE(pList->columnWidth(2), CChildView::SIZE_COLUMN_WIDTH);

        const int nScroll = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(pList->geometry(), QRect(0, 0, 800, 400));
        QCOMPARE(pList->columnWidth(0), pList->contentsRect().width() - 250 - nScroll);

        pList->setColumnWidth(1, 200); // a dragged border does not refit column 0
        const int nBefore = pList->columnWidth(0);
        QCOMPARE(pList->columnWidth(0), nBefore);
        view.resize(100, 400); // narrower than the others: they keep their widths
        QCOMPARE(pList->columnWidth(1), 200);
        QCOMPARE(pList->columnWidth(2), 100);
        QCOMPARE(pList->columnWidth(0), CChildView::MIN_NAME_COLUMN_WIDTH);
    }

    void headerClickSortsAndKeepsTheCurrentRowInView()
    {
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names << QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0'));
        CChildView &view = ConnectedViewWith(names);
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
        QCOMPARE(view.Model()->data(view.Model()->index(0, 0)).toString(), QStringLiteral("F299"));
        QCOMPARE(pList->currentIndex().row(), 299);
        QVERIFY(pList->viewport()->rect().intersects(pList->visualRect(pList->currentIndex())));
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
