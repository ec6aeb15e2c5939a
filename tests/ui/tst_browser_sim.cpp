#include "core/StringIds.h"
#include "core/TextSource.h"
#include "link/RecorderLink.h"
#include "protocol/RecorderProtocol.h"
#include "sim/RecorderEmulator.h"
#include "sim/SimTransport.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <functional>
#include <thread>

namespace {

class IdTexts final : public ITextSource
{
public:
    QString Text(quint32 nId) const override { return QStringLiteral("<%1>").arg(nId); }
};

// The emulated recorder on a bus where it can be plugged in and pulled out, with the notices
// a real bus sends.
class PluggableSim final : public ITransport
{
public:
    explicit PluggableSim(std::shared_ptr<RecorderEmulator> pEmulator)
        : m_sim(std::move(pEmulator))
    {}
    std::atomic<bool> bPlugged{false};
    NoticeCallback callback;

    bool Open(LinkOpenFailure *pFailure) override
    {
        if (!bPlugged) {
            *pFailure = LinkOpenFailure::Described(QStringLiteral("unplugged"));
            return false;
        }
        return m_sim.Open(pFailure);
    }
    void Close() override { m_sim.Close(); }
    bool IsOpen() const override { return m_sim.IsOpen(); }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override
    {
        return bPlugged && m_sim.Write(pData, nLen, nTimeoutMs);
    }
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override
    {
        return bPlugged ? m_sim.Read(pData, nMax, nTimeoutMs) : -1;
    }
    bool IsGone() const override { return !bPlugged; }
    bool RegisterNotifications(NoticeCallback notice) override
    {
        callback = std::move(notice);
        return true;
    }

private:
    SimTransport m_sim;
};

// Answers the modal windows that appear, by class name, and records which appeared.
class ModalAnswerer final : public QObject
{
public:
    QStringList seen;
    QMap<QString, std::function<void(QWidget *)>> answers;

    ModalAnswerer()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *pModal = QApplication::activeModalWidget();
            if (!pModal || pModal == m_pLast)
                return;
            m_pLast = pModal;
            const QString strClass = QString::fromLatin1(pModal->metaObject()->className());
            seen << strClass;
            if (answers.contains(strClass))
                answers[strClass](pModal);
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
    QWidget *m_pLast = nullptr;
};

class UrlCatcher final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

// The file browser with the program's own dialogs on the in-process emulator.
class TestBrowserOnEmulator final : public QObject
{
    Q_OBJECT

    IdTexts m_texts;
    QTemporaryDir m_root;
    std::shared_ptr<RecorderEmulator> m_pEmulator;
    PluggableSim *m_pBus = nullptr;
    std::unique_ptr<RecorderLink> m_pLink;
    std::unique_ptr<RecorderProtocol> m_pProtocol;
    std::unique_ptr<CUpPane> m_pPane;
    std::unique_ptr<CChildView> m_pView;
    UrlCatcher m_urls;

    QString CardDir() const { return m_root.filePath("card"); }

    void Notify(quint32 nNotice)
    {
        std::thread bus([this, nNotice] { m_pBus->callback(nNotice); });
        bus.join();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetActiveTextSource(&m_texts);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
        QVERIFY(QDir().mkpath(CardDir()));
        for (const char *pName : {"B.DAT", "A.DAT", "C.IMG"}) {
            QFile file(QDir(CardDir()).filePath(pName));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, 'x'));
        }
        m_pEmulator = std::make_shared<RecorderEmulator>(CardDir());
        m_pEmulator->SetDeviceInfo(QStringLiteral("Recorder 7\r\n"));
        m_pEmulator->SetCardInfo(QStringLiteral("Card: 64 MB"));
        auto pBus = std::make_unique<PluggableSim>(m_pEmulator);
        m_pBus = pBus.get();
        m_pLink = std::make_unique<RecorderLink>(std::move(pBus));
        m_pLink->SetTimeoutMs(2000);
        m_pProtocol = std::make_unique<RecorderProtocol>(*m_pLink);
        m_pPane = std::make_unique<CUpPane>();
        m_pView = std::make_unique<CChildView>(*m_pProtocol);
    }
    void cleanupTestCase()
    {
        m_pView.reset();
        m_pPane.reset();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // The cases below follow one another like an operator's session.

    void startUpWithoutRecorder()
    {
        ModalAnswerer modals;
        m_pView->Initialize();
        QVERIFY(modals.seen.isEmpty());
        QVERIFY(!m_pView->IsConnected());
        QCOMPARE(m_pPane->InfoText(), LoadText(StringId::IDS_RECORDER_NOT_CONNECTED) + "\nunplugged");
        QVERIFY(!m_pView->IsCommandEnabled(StringId::IDS_CMD_GET_FILES));
        QVERIFY(m_pView->IsCommandEnabled(StringId::IDS_CMD_SELECT_ALL));
    }

    void arrivalReadsTheCard()
    {
        m_pBus->bPlugged = true;
        Notify(ITransport::NOTICE_ARRIVAL);
        QTRY_VERIFY_WITH_TIMEOUT(m_pView->IsConnected(), 10000);
        QTRY_COMPARE(m_pView->Model()->rowCount(), 3);
        QCOMPARE(m_pPane->InfoText(), QStringLiteral("Recorder 7\nCard: 64 MB"));
        QVERIFY(m_pView->IsCommandEnabled(StringId::IDS_CMD_GET_FILES));
    }

    void refreshKeepsTheState()
    {
        m_pView->OnSelectAll();
        m_pView->RefreshView();
        QVERIFY(m_pView->IsConnected());
        m_pView->Model()->FlushPendingRows();
        QCOMPARE(m_pView->Model()->rowCount(), 3);
        QCOMPARE(m_pView->Model()->Rows().CheckedCount(), 0); // a refill starts unchecked
    }

    void getFilesAllPresentOverwriteCancelled()
    {
        QTemporaryDir dest;
        for (const char *pName : {"A.DAT", "B.DAT", "C.IMG"}) {
            QFile file(dest.filePath(pName));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine");
        }
        ModalAnswerer modals;
        QList<QWidget *> owners; // each prompt opens over the view's window
        modals.answers[QStringLiteral("CDlgSaveTo")] = [&](QWidget *pModal) {
            owners << pModal->parentWidget();
            auto *pDialog = static_cast<CDlgSaveTo *>(pModal);
            pDialog->PathEdit()->setText(dest.path());
            pDialog->accept();
        };
        modals.answers[QStringLiteral("CDlgOverwriteFiles")] = [&](QWidget *pModal) {
            owners << pModal->parentWidget();
            static_cast<CDlgOverwriteFiles *>(pModal)->reject();
        };
        m_pView->OnSelectAll();
        m_pView->OnGetFiles();
        QCOMPARE(modals.seen, QStringList({"CDlgSaveTo", "CDlgOverwriteFiles"})); // no download dialog
        QCOMPARE(owners, QList<QWidget *>({m_pView->window(), m_pView->window()}));
        QCOMPARE(m_pView->Model()->Rows().CheckedCount(), 0);
        QVERIFY(m_urls.opened.isEmpty());
        QFile kept(dest.filePath("A.DAT"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine"));
    }

    void uploadLocalFileWithoutDrop()
    {
        QTemporaryDir local;
        QFile file(local.filePath("NEW.IMG"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'n'));
        file.close();
        ModalAnswerer modals; // a successful upload closes quietly
        m_pView->UploadLocalFile(file.fileName());
        QVERIFY(!modals.seen.contains(QStringLiteral("QMessageBox")));
        QTRY_VERIFY(QFile::exists(QDir(CardDir()).filePath("NEW.IMG")));
        QCOMPARE(QFileInfo(QDir(CardDir()).filePath("NEW.IMG")).size(), 5000);

        m_pView->RefreshView();
        m_pView->Model()->FlushPendingRows();
        QCOMPARE(m_pView->Model()->rowCount(), 4);
    }

    // The update-data dialog's parent is the view's own parent (the splitter), not the window.
    void updateDataOpensOverTheViewsParent()
    {
        QWidget window;
        QWidget parent(&window);
        m_pView->setParent(&parent);
        m_pEmulator->Faults().nSaveArchiveDelayMs = 300; // long enough to be seen
        ModalAnswerer modals;
        QWidget *pUpdateParent = nullptr;
        modals.answers[QStringLiteral("CDlgUpdateCF")] = [&](QWidget *pModal) {
            pUpdateParent = pModal->parentWidget();
        };
        m_pView->OnUpdateData();
        m_pView->setParent(nullptr);
        m_pEmulator->Faults().nSaveArchiveDelayMs = 0;
        QCOMPARE(pUpdateParent, &parent);
    }

    void removalEmptiesTheList()
    {
        m_pBus->bPlugged = false;
        Notify(ITransport::NOTICE_REMOVE_COMPLETE);
        QTRY_VERIFY(!m_pView->IsConnected());
        QCOMPARE(m_pView->Model()->rowCount(), 0);
        QCOMPARE(m_pPane->InfoText(), LoadText(StringId::IDS_RECORDER_DISCONNECTED));
    }
};

QTEST_MAIN(TestBrowserOnEmulator)
#include "tst_browser_sim.moc"
