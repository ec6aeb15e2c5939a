// The five operation dialogs against the emulated recorder, driven as an operator would.

#include "core/TextSource.h"
#include "DialogTestSupport.h"
#include "jobs/CWorkerThread.h"
#include "link/RecorderLink.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"
#include "sim/RecorderEmulator.h"
#include "ui/dialogs/CDlgDelFiles.h"
#include "ui/dialogs/CDlgGetFile.h"
#include "ui/dialogs/CDlgInitDevice.h"
#include "ui/dialogs/CDlgUpdateCF.h"
#include "ui/dialogs/CDlgUploadFile.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/HourglassWidget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

namespace {

const QString COMM_FAILED = QStringLiteral("Error: Communication failed (error code: 103)");

// A recorder with a card folder, reached through a transport the test can hold and unplug.
struct Rig
{
    explicit Rig(EmulatorFaults faults = {})
        : emulator(card.path(), faults)
    {
        auto pOwned = std::make_unique<GatedTransport>(emulator);
        pTransport = pOwned.get();
        pLink = std::make_unique<RecorderLink>(std::move(pOwned));
        pLink->Open();
        pProtocol = std::make_unique<RecorderProtocol>(*pLink);
        emulator.SetDeviceInfo(QStringLiteral("Recorder 42\n"));
        emulator.SetCardInfo(QStringLiteral("Card 128 MB"));
    }
    QByteArray AddCardFile(const QString &strName, int nSize, int nSeed = 1)
    {
        return WriteTestFile(card.filePath(strName), nSize, nSeed);
    }
    int CountSent(quint16 nCode) const { return int(pTransport->SentCodes().count(nCode)); }

    QTemporaryDir card;
    RecorderEmulator emulator;
    GatedTransport *pTransport = nullptr;
    std::unique_ptr<RecorderLink> pLink;
    std::unique_ptr<RecorderProtocol> pProtocol;
};

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestOperationDialogs final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { SetActiveTextSource(&m_texts); }

    void connectReadsEverythingAndClosesByItself_data();
    void connectReadsEverythingAndClosesByItself();
    void connectCancelDuringDeviceInformation();
    void connectCancelDuringFileList();
    void connectRecorderGoneDuringFileList();

    void downloadFinishesQuietly();
    void downloadCancelledDuringSecondOfThree();

    void uploadOfAnExistingNameAsksFirst_data();
    void uploadOfAnExistingNameAsksFirst();
    void uploadOverwriteRunCanBeCancelledAgain();
    void uploadRefusals_data();
    void uploadRefusals();
    void uploadCancelledDuringTransfer();

    void deleteWithOneRefusalStillEndsOk();
    void deleteCommunicationFailureEndsCancel();
    void deleteCancelBetweenFiles();
    void deleteListFollowsTheNewestLine();

    void closeRequestEndsLikeCancelWithoutBlocking();
    void closeRequestWaitsNoLongerThanStopWould();

    void updateDataOutcomes_data();
    void updateDataOutcomes();
    void updateDataCentresOverTheMainWindow();

private:
    EnglishTextSource m_texts;
};

void TestOperationDialogs::connectReadsEverythingAndClosesByItself_data()
{
    QTest::addColumn<int>("files");
    QTest::newRow("card without files") << 0;
    QTest::newRow("three files") << 3;
}

void TestOperationDialogs::connectReadsEverythingAndClosesByItself()
{
    QFETCH(int, files);
    Rig rig;
    for (int i = 0; i < files; ++i)
        rig.AddCardFile(QStringLiteral("file%1.dat").arg(i), 100 + i);
    RecordingSink sink;
    sink.names = {QStringLiteral("stale row")};
    CDlgInitDevice dialog(*rig.pProtocol, sink);
    QCOMPARE(dialog.exec(), IDOK);

    QCOMPARE(sink.nRemoveAll, 1);
    QCOMPARE(sink.names.size(), files);
    QList<int> expectedIndexes;
    for (int i = 0; i < files; ++i)
        expectedIndexes.append(i);
    QCOMPARE(sink.indexes, expectedIndexes);
    // Device information alone first, then device and card information together.
    QCOMPARE(sink.infoTexts,
             QStringList({QStringLiteral("Recorder 42\n"), QStringLiteral("Recorder 42\nCard 128 MB")}));
    QCOMPARE(dialog.MessageText(), QStringLiteral("Receiving files list..."));
    QVERIFY(!dialog.Hourglass()->IsTurning());
}

void TestOperationDialogs::connectCancelDuringDeviceInformation()
{
    Rig rig;
    rig.AddCardFile(QStringLiteral("a.dat"), 10);
    rig.pTransport->HoldAt(CMD_GET_DEVICE_INFO, 1);
    RecordingSink sink;
    CDlgInitDevice dialog(*rig.pProtocol, sink);
    ModalDriver driver;
    bool bKeysIgnored = false;
    bool bGreyedOut = false;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    QTest::keyClick(dialog.Button(), Qt::Key_Return);
                    bKeysIgnored = dialog.isVisible() && dialog.Button()->isEnabled();
                    QCOMPARE(dialog.MessageText(), QStringLiteral("Receiving device info..."));
                    dialog.Button()->click();
                    bGreyedOut = !dialog.Button()->isEnabled();
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.exec(), IDOK);
    QVERIFY(bKeysIgnored);
    QVERIFY(bGreyedOut);
    QCOMPARE(sink.infoTexts, QStringList({QStringLiteral("Recorder 42\n")}));
    QVERIFY(sink.names.isEmpty());
    QCOMPARE(rig.CountSent(CMD_GET_CARD_INFO), 0);
    QCOMPARE(rig.CountSent(CMD_LIST_FILES), 0);
}

void TestOperationDialogs::connectCancelDuringFileList()
{
    Rig rig;
    for (const char *pszName : {"a.dat", "b.dat", "c.dat", "d.dat"})
        rig.AddCardFile(QString::fromLatin1(pszName), 10);
    rig.pTransport->HoldAt(CMD_ACK, 1); // the acknowledgement of the first entry
    RecordingSink sink;
    CDlgInitDevice dialog(*rig.pProtocol, sink);
    ModalDriver driver;
    QString strFailure;
    bool bStill = false;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    dialog.Button()->click();
                    rig.pTransport->Release();
                });
    driver.When([&] { return dialog.IsFailed(); },
                [&] {
                    strFailure = dialog.MessageText();
                    bStill = !dialog.Hourglass()->IsTurning() && dialog.Button()->isEnabled() &&
                             dialog.Button()->text() == QStringLiteral("Close");
                    dialog.Button()->click();
                });
    QCOMPARE(dialog.exec(), IDCANCEL);
    QCOMPARE(strFailure, QStringLiteral("Communication aborded"));
    QVERIFY(bStill);
    // The entries received before the stop stay in the list.
    QCOMPARE(sink.names.size(), 2);
    QCOMPARE(sink.infoTexts.size(), 2);
}

void TestOperationDialogs::connectRecorderGoneDuringFileList()
{
    Rig rig;
    for (const char *pszName : {"a.dat", "b.dat", "c.dat"})
        rig.AddCardFile(QString::fromLatin1(pszName), 10);
    rig.pTransport->HoldAt(CMD_ACK, 1);
    RecordingSink sink;
    CDlgInitDevice dialog(*rig.pProtocol, sink);
    ModalDriver driver;
    QString strFailure;
    bool bClosedOnlyByButton = false;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    rig.pTransport->Unplug();
                    rig.pTransport->Release();
                });
    driver.When([&] { return dialog.IsFailed(); },
                [&] {
                    strFailure = dialog.MessageText();
                    QVERIFY(!dialog.Hourglass()->IsTurning());
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    QTest::keyClick(&dialog, Qt::Key_Return);
                    bClosedOnlyByButton = dialog.isVisible();
                    dialog.close(); // after a failure a close request is the Close button
                });
    QCOMPARE(dialog.exec(), IDCANCEL);
    QCOMPARE(strFailure, COMM_FAILED);
    QVERIFY(bClosedOnlyByButton);
    QCOMPARE(sink.names.size(), 1);
}

void TestOperationDialogs::downloadFinishesQuietly()
{
    Rig rig;
    const QByteArray first = rig.AddCardFile(QStringLiteral("one.bin"), 70000, 1);
    const QByteArray second = rig.AddCardFile(QStringLiteral("two.bin"), 5, 2);
    QTemporaryDir dest;
    const QStringList names = {QStringLiteral("one.bin"), QStringLiteral("two.bin")};
    CDlgGetFile dialog(*rig.pProtocol);
    ModalDriver driver;
    QCOMPARE(dialog.Execute(dest.path() + QLatin1Char('/'), names), IDOK);
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(ReadAll(dest.filePath(QStringLiteral("one.bin"))), first);
    QCOMPARE(ReadAll(dest.filePath(QStringLiteral("two.bin"))), second);
    QCOMPARE(dialog.FileNameLabel()->text(), QStringLiteral("two.bin"));
    QCOMPARE(dialog.ProgressBar()->value(), 100);
}

void TestOperationDialogs::downloadCancelledDuringSecondOfThree()
{
    Rig rig;
    const QByteArray first = rig.AddCardFile(QStringLiteral("a.bin"), 100000, 1);
    rig.AddCardFile(QStringLiteral("b.bin"), 100000, 2);
    rig.AddCardFile(QStringLiteral("c.bin"), 100000, 3);
    rig.pTransport->HoldAt(CMD_GET_FILE, 2);
    QTemporaryDir dest;
    const QStringList names = {QStringLiteral("a.bin"), QStringLiteral("b.bin"), QStringLiteral("c.bin")};
    CDlgGetFile dialog(*rig.pProtocol);
    ModalDriver driver;
    QString strShownName;
    bool bGreyedOut = false;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    QTRY_COMPARE(dialog.FileNameLabel()->text(), QStringLiteral("b.bin"));
                    strShownName = dialog.FileNameLabel()->text();
                    QTest::keyClick(dialog.CancelButton(), Qt::Key_Return); // Enter acts on Cancel
                    bGreyedOut = !dialog.CancelButton()->isEnabled();
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.Execute(dest.path() + QLatin1Char('/'), names), IDCANCEL);
    QCOMPARE(strShownName, QStringLiteral("b.bin"));
    QVERIFY(bGreyedOut);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].strText, QStringLiteral("User aborded operation"));
    QCOMPARE(driver.boxes[0].strTitle, QStringLiteral("OrvoConnect"));
    QCOMPARE(driver.boxes[0].icon, QMessageBox::Critical);
    // The first file is complete, the second left no trace, the third was never asked for.
    QCOMPARE(ReadAll(dest.filePath(QStringLiteral("a.bin"))), first);
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("a.bin")}));
    QCOMPARE(rig.CountSent(CMD_GET_FILE), 2);
}

void TestOperationDialogs::uploadOfAnExistingNameAsksFirst_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("overwrite: second run, closes quietly") << true;
    QTest::newRow("keep: closes without another box") << false;
}

void TestOperationDialogs::uploadOfAnExistingNameAsksFirst()
{
    QFETCH(bool, overwrite);
    Rig rig;
    const QByteArray old = rig.AddCardFile(QStringLiteral("image.bin"), 3000, 1);
    QTemporaryDir local;
    const QString strPath = local.filePath(QStringLiteral("image.bin"));
    const QByteArray fresh = WriteTestFile(strPath, 70000, 2);

    CDlgUploadFile dialog(*rig.pProtocol);
    ModalDriver driver;
    // A second question (the overwrite flag lost) would be refused and show up as a second box.
    driver.AnswerNextBoxes({overwrite ? QMessageBox::Ok : QMessageBox::Cancel, QMessageBox::Cancel});
    QCOMPARE(dialog.Execute(strPath), overwrite ? IDOK : IDCANCEL);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].strText,
             QStringLiteral("The file exist on the device. Do you want to overwrite it?"));
    QCOMPARE(driver.boxes[0].icon, QMessageBox::Question);
    QCOMPARE(rig.CountSent(CMD_PUT_FILE), overwrite ? 2 : 1);
    QCOMPARE(ReadAll(rig.card.filePath(QStringLiteral("image.bin"))), overwrite ? fresh : old);
    QCOMPARE(dialog.PathLabel()->text(), strPath);
    if (overwrite)
        QCOMPARE(dialog.ProgressBar()->value(), 100);
}

void TestOperationDialogs::uploadOverwriteRunCanBeCancelledAgain()
{
    // Cancel pressed before the recorder refused the name, then OK to the overwrite question:
    // the second run is an upload like the first, with its Cancel button working again.
    Rig rig;
    rig.AddCardFile(QStringLiteral("image.bin"), 3000, 1);
    QTemporaryDir local;
    const QString strPath = local.filePath(QStringLiteral("image.bin"));
    WriteTestFile(strPath, 70000, 2);
    rig.pTransport->HoldAt(CMD_PUT_FILE, 1);
    CDlgUploadFile dialog(*rig.pProtocol);
    ModalDriver driver;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    dialog.CancelButton()->click();
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.Execute(strPath), IDOK);
    QCOMPARE(driver.boxes.size(), 1);
    QVERIFY(dialog.CancelButton()->isEnabled());
}

void TestOperationDialogs::uploadRefusals_data()
{
    QTest::addColumn<bool>("noCard");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("no card") << true << QStringLiteral("Device error: no CompactFlash card in the recorder!")
                             << int(QMessageBox::Warning);
    QTest::newRow("card full") << false
                               << QStringLiteral("Device error: no enough free space on the storage card")
                               << int(QMessageBox::Warning);
}

void TestOperationDialogs::uploadRefusals()
{
    QFETCH(bool, noCard);
    QFETCH(QString, text);
    QFETCH(int, icon);
    EmulatorFaults faults;
    faults.bNoCard = noCard;
    faults.bCardFull = !noCard;
    Rig rig(faults);
    QTemporaryDir local;
    const QString strPath = local.filePath(QStringLiteral("image.bin"));
    WriteTestFile(strPath, 1000);
    CDlgUploadFile dialog(*rig.pProtocol);
    ModalDriver driver;
    QCOMPARE(dialog.Execute(strPath), IDCANCEL);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].strText, text);
    QCOMPARE(int(driver.boxes[0].icon), icon);
    QVERIFY(!QFile::exists(rig.card.filePath(QStringLiteral("image.bin"))));
}

void TestOperationDialogs::uploadCancelledDuringTransfer()
{
    Rig rig;
    QTemporaryDir local;
    const QString strPath = local.filePath(QStringLiteral("big.bin"));
    WriteTestFile(strPath, 200000);
    rig.pTransport->HoldAt(CMD_PUT_BLOCK, 1);
    CDlgUploadFile dialog(*rig.pProtocol);
    ModalDriver driver;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    dialog.close(); // the close box acts as Cancel
                    QVERIFY(!dialog.CancelButton()->isEnabled());
                    QVERIFY(dialog.isVisible());
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.Execute(strPath), IDCANCEL);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].strText, QStringLiteral("User aborded operation"));
    QCOMPARE(driver.boxes[0].icon, QMessageBox::Information);
}

void TestOperationDialogs::deleteWithOneRefusalStillEndsOk()
{
    EmulatorFaults faults;
    faults.refuseDelete = {QStringLiteral("b.txt")};
    Rig rig(faults);
    const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    for (const QString &strName : names)
        rig.AddCardFile(strName, 10);
    CDlgDelFiles dialog(*rig.pProtocol);
    QCOMPARE(dialog.Execute(names), IDOK);
    QStringList lines;
    for (int i = 0; i < dialog.Lines()->count(); ++i)
        lines.append(dialog.Lines()->item(i)->text());
    QCOMPARE(lines,
             QStringList({QStringLiteral("Please wait, files deletion in progress..."),
                          QStringLiteral("File a.txt deleted"), QStringLiteral("File b.txt NOT deleted"),
                          QStringLiteral("File c.txt deleted"), QStringLiteral("Operation completed")}));
    QCOMPARE(QDir(rig.card.path()).entryList(QDir::Files), QStringList({QStringLiteral("b.txt")}));
    QVERIFY(!dialog.Hourglass()->IsTurning());
}

void TestOperationDialogs::deleteCommunicationFailureEndsCancel()
{
    Rig rig;
    const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    for (const QString &strName : names)
        rig.AddCardFile(strName, 10);
    rig.pTransport->HoldAt(CMD_DELETE_FILE, 2);
    CDlgDelFiles dialog(*rig.pProtocol);
    ModalDriver driver;
    bool bEscIgnored = false;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    bEscIgnored =
                        dialog.IsCancellable() && dialog.Button()->isEnabled() && dialog.isVisible();
                    rig.pTransport->Unplug();
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.Execute(names), IDCANCEL);
    QVERIFY(bEscIgnored);
    const int nCount = dialog.Lines()->count();
    QCOMPARE(nCount, 3);
    QCOMPARE(dialog.Lines()->item(1)->text(), QStringLiteral("File a.txt deleted"));
    QCOMPARE(dialog.Lines()->item(2)->text(), COMM_FAILED);
}

void TestOperationDialogs::deleteCancelBetweenFiles()
{
    Rig rig;
    const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    for (const QString &strName : names)
        rig.AddCardFile(strName, 10);
    rig.pTransport->HoldAt(CMD_DELETE_FILE, 2);
    CDlgDelFiles dialog(*rig.pProtocol);
    ModalDriver driver;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    QTest::keyClick(&dialog, Qt::Key_Return); // Enter presses the only button
                    QVERIFY(!dialog.IsCancellable());
                    QVERIFY(!dialog.Button()->isEnabled());
                    dialog.Button()->click(); // a second press does nothing
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.Execute(names), IDOK);
    // The deletion in progress completes; the next is not attempted.
    QCOMPARE(dialog.Lines()->count(), 4);
    QCOMPARE(dialog.Lines()->item(2)->text(), QStringLiteral("File b.txt deleted"));
    QCOMPARE(dialog.Lines()->item(3)->text(), QStringLiteral("Operation completed"));
    QCOMPARE(QDir(rig.card.path()).entryList(QDir::Files), QStringList({QStringLiteral("c.txt")}));
    QCOMPARE(dialog.Button()->text(), QStringLiteral("Close"));
}

void TestOperationDialogs::deleteListFollowsTheNewestLine()
{
    Rig rig;
    QStringList names;
    for (int i = 0; i < 40; ++i) {
        names.append(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')));
        rig.AddCardFile(names.last(), 1);
    }
    CDlgDelFiles dialog(*rig.pProtocol);
    QCOMPARE(dialog.Execute(names), IDOK);
    QCOMPARE(dialog.Lines()->count(), 42);
    const QScrollBar *pBar = dialog.Lines()->verticalScrollBar();
    QVERIFY(pBar->maximum() > 0);
    QCOMPARE(pBar->value(), pBar->maximum());
}

void TestOperationDialogs::closeRequestEndsLikeCancelWithoutBlocking()
{
    // A close request (Alt+F4) while the worker is held inside a request returns at once: the
    // dialog stays up until the job has ended, then ends as Cancel would have ended it.
    const auto closeWhileHeld = [](Rig &rig, QDialog &dialog, bool *pbStayedUp) {
        auto pDriver = std::make_unique<ModalDriver>();
        pDriver->When([&rig] { return rig.pTransport->IsHeld(); },
                      [&rig, &dialog, pbStayedUp] {
                          dialog.close();
                          dialog.close(); // a second request changes nothing
                          *pbStayedUp = dialog.isVisible();
                          rig.pTransport->Release();
                      });
        return pDriver;
    };

    {
        // Cut short inside the file list: not a completed connection.
        Rig rig;
        for (const char *pszName : {"a.dat", "b.dat", "c.dat"})
            rig.AddCardFile(QString::fromLatin1(pszName), 10);
        rig.pTransport->HoldAt(CMD_ACK, 1);
        RecordingSink sink;
        CDlgInitDevice dialog(*rig.pProtocol, sink);
        bool bStayedUp = false;
        const auto pDriver = closeWhileHeld(rig, dialog, &bStayedUp);
        QCOMPARE(dialog.exec(), IDCANCEL);
        QVERIFY(bStayedUp);
        QCOMPARE(dialog.MessageText(), QStringLiteral("Communication aborded"));
    }
    {
        // Stopped between two reads: Cancel ends quietly there.
        Rig rig;
        rig.AddCardFile(QStringLiteral("a.dat"), 10);
        rig.pTransport->HoldAt(CMD_GET_CARD_INFO, 1);
        RecordingSink sink;
        CDlgInitDevice dialog(*rig.pProtocol, sink);
        bool bStayedUp = false;
        const auto pDriver = closeWhileHeld(rig, dialog, &bStayedUp);
        QCOMPARE(dialog.exec(), IDOK);
        QVERIFY(bStayedUp);
        QCOMPARE(rig.CountSent(CMD_LIST_FILES), 0);
        QVERIFY(!dialog.Hourglass()->IsTurning());
    }
    {
        Rig rig;
        const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
        for (const QString &strName : names)
            rig.AddCardFile(strName, 10);
        rig.pTransport->HoldAt(CMD_DELETE_FILE, 2);
        CDlgDelFiles dialog(*rig.pProtocol);
        bool bStayedUp = false;
        const auto pDriver = closeWhileHeld(rig, dialog, &bStayedUp);
        QCOMPARE(dialog.Execute(names), IDOK);
        QVERIFY(bStayedUp);
        QCOMPARE(QDir(rig.card.path()).entryList(QDir::Files), QStringList({QStringLiteral("c.txt")}));
        QCOMPARE(rig.CountSent(CMD_DELETE_FILE), 2);
        QCOMPARE(dialog.Lines()->count(), 4); // both deletions and "Operation completed" listed
    }
    {
        // Cut short inside a transfer: reported as Cancel reports it, and not a completed run.
        Rig rig;
        rig.AddCardFile(QStringLiteral("a.bin"), 100000);
        rig.AddCardFile(QStringLiteral("b.bin"), 100000);
        rig.pTransport->HoldAt(CMD_ACK, 1);
        QTemporaryDir dest;
        const QStringList names = {QStringLiteral("a.bin"), QStringLiteral("b.bin")};
        CDlgGetFile dialog(*rig.pProtocol);
        bool bStayedUp = false;
        const auto pDriver = closeWhileHeld(rig, dialog, &bStayedUp);
        QCOMPARE(dialog.Execute(dest.path() + QLatin1Char('/'), names), IDCANCEL);
        QVERIFY(bStayedUp);
        QCOMPARE(pDriver->boxes.size(), 1);
        QCOMPARE(pDriver->boxes[0].strText, QStringLiteral("User aborded operation"));
        QCOMPARE(rig.CountSent(CMD_GET_FILE), 1);
        QVERIFY(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

void TestOperationDialogs::closeRequestWaitsNoLongerThanStopWould()
{
    // A job that does not end within the wait is let go; the dialog ends as not completed.
    Rig rig;
    rig.AddCardFile(QStringLiteral("a.bin"), 100000);
    rig.pTransport->HoldAt(CMD_ACK, 1);
    // Whatever fails below, the held thread is let go before the transport it waits in goes.
    const auto release = qScopeGuard([&rig] {
        rig.pTransport->Release();
        CWorkerThread::WaitForNoLiveThreads(10000);
    });
    QTemporaryDir dest;
    const QStringList names = {QStringLiteral("a.bin")};
    {
        CDlgGetFile dialog(*rig.pProtocol);
        dialog.SetCloseWaitMs(200);
        ModalDriver driver;
        QElapsedTimer elapsed;
        driver.When([&] { return rig.pTransport->IsHeld(); },
                    [&] {
                        elapsed.start();
                        dialog.close();
                    });
        QCOMPARE(dialog.Execute(dest.path() + QLatin1Char('/'), names), IDCANCEL);
        // A coarse timer may fire up to 5 % early.
        QVERIFY2(elapsed.elapsed() >= 150 && elapsed.elapsed() < 5000,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(CWorkerThread::LiveThreadCount(), 1);
    }
    // The late thread ends on its own copy of the job once the recorder answers.
    rig.pTransport->Release();
    QVERIFY(CWorkerThread::WaitForNoLiveThreads(10000));
    QVERIFY(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestOperationDialogs::updateDataOutcomes_data()
{
    QTest::addColumn<bool>("noCard");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("no card") << true << QStringLiteral("Device error: no CompactFlash card in the recorder!")
                             << int(QMessageBox::Warning);
    QTest::newRow("silent recorder") << false << QStringLiteral("The device stopped transmission")
                                     << int(QMessageBox::Information);
    QTest::newRow("saved") << false << QString() << 0;
}

void TestOperationDialogs::updateDataOutcomes()
{
    QFETCH(bool, noCard);
    QFETCH(QString, text);
    QFETCH(int, icon);
    EmulatorFaults faults;
    faults.bNoCard = noCard;
    faults.bSilent = !noCard && !text.isEmpty();
    Rig rig(faults);
    rig.pLink->SetTimeoutMs(100);
    rig.pProtocol->SetSaveArchiveTimeoutMs(600);
    CDlgUpdateCF dialog(*rig.pProtocol);
    ModalDriver driver;
    bool bNothingEndsIt = false;
    driver.When([&] { return dialog.isVisible(); },
                [&] {
                    if (!faults.bSilent)
                        return;
                    QVERIFY(dialog.Hourglass()->IsTurning());
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    QTest::keyClick(&dialog, Qt::Key_Return);
                    dialog.close();
                    bNothingEndsIt = dialog.isVisible();
                });
    QCOMPARE(dialog.exec(), IDOK);
    QVERIFY(!dialog.Hourglass()->IsTurning());
    QCOMPARE(rig.CountSent(CMD_SAVE_ARCHIVE), 1);
    if (text.isEmpty()) {
        QVERIFY(driver.boxes.isEmpty());
        return;
    }
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].strText, text);
    QCOMPARE(int(driver.boxes[0].icon), icon);
    if (faults.bSilent)
        QVERIFY(bNothingEndsIt);
}

void TestOperationDialogs::updateDataCentresOverTheMainWindow()
{
    // The dialog's parent is a pane inside the main window; it centres over that window.
    Rig rig;
    rig.pTransport->HoldAt(CMD_SAVE_ARCHIVE, 1);
    QWidget mainWindow;
    mainWindow.setGeometry(400, 300, 600, 400);
    auto *pPane = new QWidget(&mainWindow);
    pPane->setGeometry(0, 100, 600, 300);
    mainWindow.show();
    CDlgUpdateCF dialog(*rig.pProtocol, pPane);
    ModalDriver driver;
    QPoint centre;
    driver.When([&] { return rig.pTransport->IsHeld(); },
                [&] {
                    centre = dialog.frameGeometry().center();
                    rig.pTransport->Release();
                });
    QCOMPARE(dialog.exec(), IDOK);
    QVERIFY2((centre - mainWindow.frameGeometry().center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
}

QTEST_MAIN(TestOperationDialogs)
#include "tst_operation_dialogs.moc"
