#include "app/CMainFrame.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "link/RecorderLink.h"
#include "link/UsbIds.h"
#include "link/UsbSettingsProvider.h"
#include "link/UsbTransport.h"
#include "protocol/RecorderProtocol.h"
#include "support/ModalDriver.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/CUpPane.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "UsbBusHarness.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr const char *RECORDER_IDS = "1234:5678";
// Short enough to end a hung exchange quickly, long enough for a loaded machine.
constexpr int LINK_TIMEOUT_MS = 3000;
constexpr int WAIT_MS = 10000;

constexpr int RECORDER_COMMANDS[] = {CommandId::ID_GET_FILES, CommandId::ID_UPLOAD_FILE,
                                     CommandId::ID_DELETE_FILES, CommandId::ID_REFRESH_VIEW,
                                     CommandId::ID_UPDATE_DATA};

} // namespace

// The whole main window on the usb link: the project's emulator is the device on an emulated
// bus, and every command goes through the frame's actions as a click would.
class TestUsbWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the programs do: the link reads the configuration through this.
        UsbSettingsProvider::Set(&UsbSettings::Read);
        // The bus first: libusb must find the testbed when the link first opens.
        m_pBus = std::make_unique<UsbBusHarness>();
        QVERIFY2(UsbBusHarness::InMockEnvironment(), "not running under the umockdev preload library");
        SetActiveTextSource(&m_texts);

        QVERIFY(m_recorder.PutCardFile("A.DAT", TestFiles::Pattern(5000, 1)));
        QVERIFY(m_recorder.PutCardFile("B.DAT", TestFiles::Pattern(70 * 1024 + 3, 2)));
        QVERIFY(m_recorder.PutCardFile("C.DAT", TestFiles::Pattern(1024, 3)));
        m_recorder.pEmulator->SetDeviceInfo(QStringLiteral("USB recorder 2\r\n"));
        m_recorder.pEmulator->SetCardInfo(QStringLiteral("Card: 128 MB"));
        QString strError;
        m_pDevice =
            m_pBus->AddDevice(UsbDeviceSpec(), std::make_unique<RecorderDevice>(m_recorder), &strError);
        QVERIFY2(m_pDevice, qPrintable(strError));

        // The transport reads the configured ids, as the program's does.
        qputenv(UsbIds::ENV_NAME, RECORDER_IDS);
        m_pLink = std::make_unique<RecorderLink>(std::make_unique<UsbTransport>());
        m_pLink->SetTimeoutMs(LINK_TIMEOUT_MS);
        m_pProtocol = std::make_unique<RecorderProtocol>(*m_pLink);
        // Any message box is answered (OK) and recorded, so a failure shows instead of hanging.
        m_pModals = std::make_unique<ModalDriver>();

        QElapsedTimer timer;
        timer.start();
        m_pFrame = std::make_unique<CMainFrame>(*m_pLink, *m_pProtocol);
        QVERIFY(m_pFrame->Create());
        m_nStartUpMs = timer.elapsed();
        m_pFrame->show();
    }

    void cleanupTestCase()
    {
        // Window, link (and its libusb context), then the bus.
        m_pFrame.reset();
        m_pModals.reset();
        m_pProtocol.reset();
        m_pLink.reset();
        m_pBus.reset();
        SetActiveTextSource(nullptr);
    }

    void startUpConnectsOverUsbAndListsTheCard()
    {
        qInfo("start-up over usb: %lld ms", m_nStartUpMs);
        QVERIFY(m_pModals->boxes.isEmpty());
        QVERIFY(View()->IsConnected());
        QCOMPARE(m_pFrame->Pane()->InfoText(), QStringLiteral("USB recorder 2\nCard: 128 MB"));
        QCOMPARE(ListedNames(), m_recorder.CardFiles());
        QCOMPARE(ListedNames().size(), 3);
        QVERIFY(RecorderCommandsEnabled(true));
        QVERIFY(m_pDevice->IsClaimed());
    }

    void commandsThroughTheFrameActions()
    {
        // Get files: two checked rows into the folder given in "Save files to...".
        Check(QStringLiteral("A.DAT"));
        Check(QStringLiteral("B.DAT"));
        bool bAskedForFolder = false;
        m_pModals->WhenModal<CDlgSaveTo>([&](CDlgSaveTo &dialog) {
            bAskedForFolder = true;
            dialog.PathEdit()->setText(m_recorder.OutDir());
            dialog.accept();
        });
        m_pDevice->ResetStats();
        QElapsedTimer timer;
        timer.start();
        m_pFrame->Action(CommandId::ID_GET_FILES)->trigger();
        qInfo("get files: %lld ms", timer.elapsed());
        // The contents crossed the emulated bus.
        QVERIFY(m_pDevice->GetStats().nBytesFromDevice >= 5000 + 70 * 1024);
        QVERIFY(bAskedForFolder);
        QVERIFY(m_pModals->boxes.isEmpty());
        QCOMPARE(TestFiles::Listing(m_recorder.OutDir()), QStringList({"A.DAT", "B.DAT"}));
        for (const QString &strName : {QStringLiteral("A.DAT"), QStringLiteral("B.DAT")})
            QCOMPARE(TestFiles::Read(m_recorder.OutPath(strName)), m_recorder.CardFile(strName));
        QCOMPARE(View()->Model()->Rows().CheckedCount(), 0);

        // Upload of a file of many blocks; listed after the refresh.
        const QByteArray image = TestFiles::Pattern(100 * 1024 + 5, 4);
        const QString strImage = m_recorder.OutPath(QStringLiteral("SYSTEM.IMG"));
        QVERIFY(TestFiles::Write(strImage, image));
        m_pDevice->ResetStats();
        timer.restart();
        View()->UploadLocalFile(strImage);
        m_pFrame->Action(CommandId::ID_REFRESH_VIEW)->trigger();
        qInfo("upload and refresh: %lld ms", timer.elapsed());
        QVERIFY(m_pModals->boxes.isEmpty());
        QCOMPARE(m_recorder.CardFile(QStringLiteral("SYSTEM.IMG")), image);
        QVERIFY(m_pDevice->GetStats().nBytesToDevice >= image.size());
        QVERIFY(ListedNames().contains(QStringLiteral("SYSTEM.IMG")));

        // Delete of a checked row, confirmed; the list is read again.
        Check(QStringLiteral("C.DAT"));
        m_pModals->AnswerNextBoxes({QMessageBox::Ok});
        m_pFrame->Action(CommandId::ID_DELETE_FILES)->trigger();
        QCOMPARE(m_pModals->boxes.size(), 1);
        QCOMPARE(m_pModals->boxes.first().strText, m_texts.Text(StringId::IDS_CONFIRM_DELETE));
        m_pModals->boxes.clear();
        QVERIFY(!QFile::exists(m_recorder.CardPath(QStringLiteral("C.DAT"))));
        QCOMPARE(ListedNames(), m_recorder.CardFiles());

        // Update data: the recorder saves its archive to the card as a new file, which the refresh
        // after the command lists.
        const QStringList before = m_recorder.CardFiles();
        m_pFrame->Action(CommandId::ID_UPDATE_DATA)->trigger();
        QVERIFY(m_pModals->boxes.isEmpty());
        QCOMPARE(m_recorder.CardFiles().size(), before.size() + 1);
        QCOMPARE(ListedNames(), m_recorder.CardFiles());
        QVERIFY(View()->IsConnected());
        QVERIFY(RecorderCommandsEnabled(true));
    }

    void unplugEmptiesTheWindowAndReplugReconnects()
    {
        QElapsedTimer timer;
        timer.start();
        m_pDevice->Unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!View()->IsConnected(), WAIT_MS);
        qInfo("removal noticed after %lld ms", timer.elapsed());
        QCOMPARE(View()->Model()->rowCount(), 0);
        QCOMPARE(m_pFrame->Pane()->InfoText(), m_texts.Text(StringId::IDS_RECORDER_DISCONNECTED));
        QVERIFY(RecorderCommandsEnabled(false));
        QVERIFY(m_pFrame->Action(CommandId::ID_SELECT_ALL)->isEnabled());

        timer.restart();
        QString strError;
        QVERIFY2(m_pDevice->Plug(&strError), qPrintable(strError));
        QTRY_VERIFY_WITH_TIMEOUT(View()->IsConnected(), WAIT_MS);
        qInfo("reconnected after %lld ms", timer.elapsed());
        QCOMPARE(ListedNames(), m_recorder.CardFiles());
        QCOMPARE(m_pFrame->Pane()->InfoText(), QStringLiteral("USB recorder 2\nCard: 128 MB"));
        QVERIFY(RecorderCommandsEnabled(true));
        QVERIFY(m_pModals->boxes.isEmpty());
    }

private:
    CChildView *View() const { return m_pFrame->View(); }
    QStringList ListedNames() const
    {
        View()->Model()->FlushPendingRows();
        QStringList names;
        for (int nRow = 0; nRow < View()->Model()->rowCount(); ++nRow)
            names << View()->Model()->index(nRow, 0).data().toString();
        names.sort();
        return names;
    }

    void Check(const QString &strName)
    {
        // As a click on the row's check box does it.
        FileListTableModel *pModel = View()->Model();
        pModel->FlushPendingRows();
        const QModelIndexList found =
            pModel->match(pModel->index(0, 0), Qt::DisplayRole, strName, 1, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(strName));
        QVERIFY(pModel->setData(found.first(), Qt::Checked, Qt::CheckStateRole));
    }

    bool RecorderCommandsEnabled(bool bEnabled) const
    {
        for (const int nCommand : RECORDER_COMMANDS)
            if (m_pFrame->Action(nCommand)->isEnabled() != bEnabled)
                return false;
        return true;
    }

    TestTexts m_texts;
    FakeRecorder m_recorder; // the device; outlives the bus
    std::unique_ptr<UsbBusHarness> m_pBus;
    EmulatedUsbDevice *m_pDevice = nullptr;
    std::unique_ptr<RecorderLink> m_pLink;
    std::unique_ptr<RecorderProtocol> m_pProtocol;
    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<ModalDriver> m_pModals;
    qint64 m_nStartUpMs = 0;
};

int main(int argc, char *argv[])
{
    // Settings (the remembered download folder) live in the test's own folder.
    QTemporaryDir root;
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    QApplication app(argc, argv);
    TestUsbWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_UsbWindow.moc"
