// The archive start dialog and the archive run dialog on the fake recorder, offscreen.

#include "archive/ArchiveLock.h"
#include "core/LocalFileName.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ProtocolCodes.h"
#include "support/FakeRecorder.h"
#include "support/ModalDriver.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/dialogs/ArchiveRunDialog.h"
#include "ui/dialogs/ArchiveStartDialog.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace StringId;

namespace {

const TestTexts g_texts;

QString T(quint32 nId)
{
    return g_texts.Text(nId);
}

// The archive's files as the operator sees them: without the folder's own bookkeeping.
QStringList ArchivedFiles(const QString &strDir)
{
    QStringList names = TestFiles::Listing(strDir);
    names.removeAll(QString::fromLatin1(LocalNames::JOURNAL));
    names.removeAll(QString::fromLatin1(LocalNames::LOCK));
    names.removeAll(QString::fromLatin1(LocalNames::MANIFEST));
    return names;
}

} // namespace

class TestArchiveDialogs final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetActiveTextSource(&g_texts);
    }

    void init()
    {
        QSettings settings(QString::fromLatin1(SettingsStore::kOrganisation),
                           QString::fromLatin1(SettingsStore::kApplication));
        settings.remove(SettingKeys::ArchiveFolder.Name());
        settings.remove(SettingKeys::ArchiveDeleteAfter.Name());
    }

    // Deleting is asked for first; No leaves the dialog up and remembers nothing, Yes starts and
    // remembers both choices for the next time.
    void startDialogAsksBeforeDeletingAndRemembersItsChoices()
    {
        QTemporaryDir root;
        const QString strFolder = root.filePath(QStringLiteral("new/archive"));
        {
            ArchiveStartDialog dialog;
            QCOMPARE(dialog.FolderEdit()->text(), QDir::homePath() + QStringLiteral("/RecorderArchive"));
            QVERIFY(!dialog.DeleteCheck()->isChecked());
            dialog.FolderEdit()->setText(strFolder);
            dialog.DeleteCheck()->setChecked(true);
            ModalDriver driver;
            driver.AnswerNextBoxes({QMessageBox::No, QMessageBox::Yes});
            bool bStayedUp = false;
            driver.When(
                [&] { return driver.boxes.size() == 1 && QApplication::activeModalWidget() == &dialog; },
                [&] {
                    bStayedUp = dialog.isVisible();
                    QCOMPARE(SettingsStore::Read(SettingKeys::ArchiveDeleteAfter, 0), 0);
                    dialog.StartButton()->click();
                });
            driver.When([&] { return dialog.isVisible(); }, [&] { dialog.StartButton()->click(); });
            QCOMPARE(dialog.exec(), IDOK);
            QVERIFY(bStayedUp);
            QCOMPARE(driver.boxes.size(), 2);
            QCOMPARE(driver.boxes.at(0).strText, T(IDS_ARCHIVE_CONFIRM_DELETE));
            QCOMPARE(dialog.m_strFolder, strFolder + u'/');
            QVERIFY(dialog.m_bDeleteAfter);
        }
        ArchiveStartDialog again;
        QCOMPARE(again.FolderEdit()->text(), strFolder);
        QVERIFY(again.DeleteCheck()->isChecked());
        // Without deleting, Start asks nothing.
        again.DeleteCheck()->setChecked(false);
        ModalDriver driver;
        driver.When([&] { return again.isVisible(); }, [&] { again.StartButton()->click(); });
        QCOMPARE(again.exec(), IDOK);
        QVERIFY(driver.boxes.isEmpty());
        QCOMPARE(SettingsStore::Read(SettingKeys::ArchiveDeleteAfter, 1), 0);
    }

    // The run line adds the speed to the download dialog's, its figures written as the language
    // of the interface writes them; speed and time left wait until they can be told.
    void runLineWritesFiguresInTheInterfacesLanguage()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        const RunProgressPost run{2, 4, 3000000, 8000000};
        QCOMPARE(ArchiveRunDialog::RunLineText(run, 4000000, 4000),
                 QStringLiteral("File 2 of 4 \u00b7 4,0 of 8,0 MB \u00b7 1,0 MB/s \u00b7 5 s left"));
        QCOMPARE(ArchiveRunDialog::RunLineText(run, 3500000, 500),
                 QStringLiteral("File 2 of 4 \u00b7 3,5 of 8,0 MB"));
    }

    // Cancel in the middle of the second file: the first is archived, the second leaves neither
    // its name nor a temporary file, and the summary says the run was cancelled.
    void cancelInTheMiddleOfAFileLeavesNothingOfIt()
    {
        FakeRecorder recorder({{"a.dat", TestFiles::Pattern(300000, 1)},
                               {"b.dat", TestFiles::Pattern(300000, 2)},
                               {"c.dat", TestFiles::Pattern(300000, 3)}});
        const QString strDir = recorder.OutDir() + QStringLiteral("/archive/");
        // The worker waits a few blocks into the second file's bytes until Cancel has been
        // pressed.
        std::atomic<int> nGetFiles{0};
        std::atomic<int> nAcks{0};
        std::atomic<bool> bInside{false};
        std::atomic<bool> bPressed{false};
        recorder.Wire().beforeWrite = [&](const InterceptingTransport::Request &request) {
            if (request.nCode == CMD_GET_FILE)
                ++nGetFiles;
            else if (request.nCode == CMD_ACK && nGetFiles == 2 && ++nAcks == 5) {
                bInside = true;
                while (!bPressed)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        };
        ArchiveRunDialog dialog(recorder.protocol);
        ModalDriver driver;
        bool bGreyedOut = false;
        driver.When([&] { return bInside.load(); },
                    [&] {
                        dialog.CancelButton()->click();
                        bGreyedOut = !dialog.CancelButton()->isEnabled();
                        bPressed = true;
                    });
        QCOMPARE(dialog.Execute(strDir, false), IDCANCEL);
        QVERIFY(bGreyedOut);
        QCOMPARE(dialog.NameLabel()->text(), QStringLiteral("b.dat"));
        QCOMPARE(ArchivedFiles(strDir), QStringList{"a.dat"});
        QCOMPARE(TestFiles::Read(strDir + QStringLiteral("a.dat")), recorder.CardFile("a.dat"));
        QCOMPARE(recorder.Wire().CountWritten(CMD_GET_FILE), 2);
        QCOMPARE(driver.boxes.size(), 1);
        QVERIFY(driver.boxes.at(0).strText.startsWith(T(IDS_ARCHIVE_CANCELLED)));
        QVERIFY(driver.boxes.at(0).strText.contains(T(IDS_ARCHIVE_SUMMARY_DOWNLOADED).arg(1)));
        QVERIFY(recorder.CardFiles().contains(QStringLiteral("b.dat")));
        recorder.Wire().beforeWrite = nullptr;
    }

    // Asked to delete, the run removes from the card what it archived and read back.
    void deleteAfterEmptiesTheCardOfWhatIsArchived()
    {
        FakeRecorder recorder(
            {{"a.dat", TestFiles::Pattern(5000, 1)}, {"b.dat", TestFiles::Pattern(7000, 2)}});
        const QString strDir = recorder.OutDir() + QStringLiteral("/archive/");
        ArchiveRunDialog dialog(recorder.protocol);
        ModalDriver driver;
        QCOMPARE(dialog.Execute(strDir, true), IDOK);
        QVERIFY(recorder.CardFiles().isEmpty());
        QCOMPARE(ArchivedFiles(strDir), QStringList({"a.dat", "b.dat"}));
        QCOMPARE(driver.boxes.size(), 1);
        QVERIFY(driver.boxes.at(0).strText.contains(T(IDS_ARCHIVE_SUMMARY_DELETED).arg(2)));
    }

    // A card name the folder cannot take is listed with the window's words for why; the run
    // archives the others and ends as done.
    void refusedNameIsListedWithItsReason()
    {
        FakeRecorder recorder(
            {{"a.dat", TestFiles::Pattern(1000, 1)}, {"SHA256SUMS", TestFiles::Pattern(10, 2)}});
        const QString strDir = recorder.OutDir() + QStringLiteral("/archive/");
        ArchiveRunDialog dialog(recorder.protocol);
        ModalDriver driver;
        QCOMPARE(dialog.Execute(strDir, false), IDOK);
        QCOMPARE(driver.boxes.size(), 1);
        const QString strSummary = driver.boxes.at(0).strText;
        QVERIFY2(strSummary.contains(T(IDS_ARCHIVE_SUMMARY_DOWNLOADED).arg(1)), qPrintable(strSummary));
        QVERIFY2(strSummary.contains(T(IDS_ARCHIVE_SUMMARY_FAILED).arg(1)), qPrintable(strSummary));
        QVERIFY2(
            strSummary.endsWith(T(IDS_ARCHIVE_SUMMARY_FAILURES) + u'\n' +
                                T(IDS_ARCHIVE_FAILURE_LINE).arg("SHA256SUMS", T(IDS_REASON_RESERVED_NAME))),
            qPrintable(strSummary));
    }

    // While another run holds the folder the dialog says it waits; Cancel ends the wait.
    void waitsForAnotherRunAndCancelEndsTheWait()
    {
        FakeRecorder recorder({{"a.dat", TestFiles::Pattern(1000, 1)}});
        const QString strDir = recorder.OutDir() + QStringLiteral("/archive/");
        QVERIFY(QDir().mkpath(strDir));
        ArchiveLock other;
        QCOMPARE(other.Acquire(
                     strDir, [] { return false; }, [] {}),
                 ArchiveLock::Outcome::Held);
        ArchiveRunDialog dialog(recorder.protocol);
        ModalDriver driver;
        driver.When([&] { return dialog.RunLine()->text() == T(IDS_ARCHIVE_WAITING); },
                    [&] { dialog.CancelButton()->click(); });
        QCOMPARE(dialog.Execute(strDir, false), IDCANCEL);
        QCOMPARE(driver.boxes.size(), 1);
        QVERIFY(driver.boxes.at(0).strText.startsWith(T(IDS_ARCHIVE_CANCELLED)));
        QVERIFY(ArchivedFiles(strDir).isEmpty());
        QCOMPARE(recorder.Wire().CountWritten(CMD_GET_FILE), 0);
    }
};

QTEST_MAIN(TestArchiveDialogs)
#include "tst_archive_dialogs.moc"
