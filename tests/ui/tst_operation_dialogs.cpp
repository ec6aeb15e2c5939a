// The five operation dialogs against the fake recorder, driven as an operator would; the two
// download prompts; and the pieces the dialogs share.

#include "core/DownloadPlan.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "protocol/ProtocolCodes.h"
#include "RecordingSink.h"
#include "support/FakeRecorder.h"
#include "support/ModalDriver.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/dialogs/CDlgDelFiles.h"
#include "ui/dialogs/CDlgGetFile.h"
#include "ui/dialogs/CDlgInitDevice.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "ui/dialogs/CDlgUpdateCF.h"
#include "ui/dialogs/CDlgUploadFile.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/HourglassWidget.h"
#include "ui/dialogs/ProgressPosition.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace StringId;

namespace {

const TestTexts g_texts;
const QStringList NAMES = {"a.dat", "b.dat", "c.dat"};

QString T(quint32 nId)
{
    return g_texts.Text(nId);
}

// Card files with these names, each of nSize bytes and contents of its own.
QMap<QString, QByteArray> Files(const QStringList &names, qsizetype nSize = 10)
{
    QMap<QString, QByteArray> files;
    for (int i = 0; i < names.size(); ++i)
        files.insert(names[i], TestFiles::Pattern(nSize, i + 1));
    return files;
}

// A file of nSize bytes on the host's side, to upload; its path.
QString HostFile(const FakeRecorder &recorder, const QString &strName, qsizetype nSize)
{
    const QString strPath = recorder.OutPath(strName);
    TestFiles::Write(strPath, TestFiles::Pattern(nSize, 9));
    return strPath;
}

// Runs action while the worker is held inside a request, then lets it go on.
void WhileHeld(ModalDriver &driver, FakeRecorder &recorder, std::function<void()> action)
{
    driver.When([&recorder] { return recorder.Wire().IsHeld(); },
                [&recorder, action] {
                    action();
                    recorder.Wire().Release();
                });
}

// A message box as "title [icon] text", so a list of them compares in one line.
QString Box(QMessageBox::Icon icon, const QString &strText)
{
    return QStringLiteral("%1 [%2] %3").arg(T(IDS_APP_TITLE)).arg(int(icon)).arg(strText);
}

QStringList Seen(const ModalDriver &driver)
{
    QStringList seen;
    for (const ModalDriver::SeenBox &box : driver.boxes)
        seen << QStringLiteral("%1 [%2] %3").arg(box.strTitle).arg(int(box.icon)).arg(box.strText);
    return seen;
}

QStringList Lines(const CDlgDelFiles &dialog)
{
    QStringList lines;
    for (int i = 0; i < dialog.Lines()->count(); ++i)
        lines << dialog.Lines()->item(i)->text();
    return lines;
}

} // namespace

class TestOperationDialogs final : public QObject
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
        QSettings(QString::fromLatin1(SettingsStore::kOrganisation),
                  QString::fromLatin1(SettingsStore::kApplication))
            .remove(SettingKeys::PathSaveTo.Name());
    }

    void progressPosition_data()
    {
        QTest::addColumn<quintptr>("done");
        QTest::addColumn<qintptr>("total");
        QTest::addColumn<int>("position");

        QTest::newRow("first post of a transfer, no division") << quintptr(0) << qintptr(0) << 0;
        QTest::newRow("half") << quintptr(500) << qintptr(1000) << 50;
        QTest::newRow("truncated, not rounded") << quintptr(999) << qintptr(1000) << 99;
        QTest::newRow("last post is exactly full") << quintptr(123457) << qintptr(123457) << 100;
        QTest::newRow("more than the total is clamped") << quintptr(3000) << qintptr(1000) << 100;
        QTest::newRow("done read as unsigned 32-bit") << quintptr(0xFFFFFFFFu) << qintptr(0x7FFFFFFF) << 100;
        QTest::newRow("total of 3 GiB, posted as a negative 32-bit number, is read unsigned")
            << quintptr(0x60000000u) << qintptr(qint32(0xC0000000u)) << 50;
    }

    void progressPosition()
    {
        QFETCH(quintptr, done);
        QFETCH(qintptr, total);
        QFETCH(int, position);
        QCOMPARE(ProgressPosition(done, total), position);
    }

    void dialogUnitsFollowTheFont()
    {
        QFont font = QApplication::font();
        for (int nPoints : {8, 16}) {
            font.setPointSize(nPoints);
            const QFontMetricsF metrics(font);
            const DialogUnits units(font);
            QCOMPARE(units.X(4), qRound(metrics.averageCharWidth()));
            QCOMPARE(units.Y(8), qRound(metrics.height()));
            // Adjacent controls share their edge whatever the rounding.
            QCOMPARE(units.Rect(7, 3, 45, 15).right() + 1, units.Rect(52, 3, 45, 15).left());
        }
        QFont big = font;
        big.setPointSize(20);
        QVERIFY(DialogUnits(big).Size(187, 78).width() > DialogUnits(font).Size(187, 78).width() / 2);
    }

    void longNamesAreCutWithAnEllipsis()
    {
        const QString strName = "a_very_long_recorder_file_name_that_cannot_fit_anywhere_at_all.dat";
        ElidedLabel tail(Qt::ElideRight);
        tail.setFixedWidth(120);
        tail.setText(strName);
        QCOMPARE(tail.text(), strName);
        QVERIFY(tail.ShownText().endsWith(QChar(0x2026)));
        QVERIFY(strName.startsWith(tail.ShownText().chopped(1)));

        ElidedLabel middle(Qt::ElideMiddle);
        middle.setFixedWidth(150);
        middle.setText("/home/operator/images/archive/2024/system-update-final.img");
        const QString strShown = middle.ShownText();
        QVERIFY(strShown.contains(QChar(0x2026)));
        QVERIFY(strShown.startsWith("/ho"));
        QVERIFY(strShown.endsWith(".img"));
        middle.setText("/tmp/a.img");
        QCOMPARE(middle.ShownText(), "/tmp/a.img");
    }

    void hourglassTurnsAndStandsStill()
    {
        HourglassWidget hourglass;
        hourglass.resize(54, 49);
        QCOMPARE(hourglass.Frame(), 0);
        hourglass.StartAnimation();
        QVERIFY(hourglass.IsTurning());
        // Six frames at 400 ms: after 1 s the glass has moved on two or three frames.
        QTest::qWait(1000);
        QVERIFY(hourglass.Frame() >= 2 && hourglass.Frame() <= 3);
        hourglass.StopAnimation();
        hourglass.StopAnimation(); // a second stop is harmless
        const int nStill = hourglass.Frame();
        QTest::qWait(500);
        QCOMPARE(hourglass.Frame(), nStill);
        QVERIFY(!hourglass.IsTurning());
        // Wraps after the sixth frame.
        hourglass.StartAnimation();
        QTRY_COMPARE_WITH_TIMEOUT(hourglass.Frame(), 0, 3000);
    }

    void saveToRefusesWhatIsNotAnExistingFolder()
    {
        QTemporaryDir dir;
        const QString strFile = dir.filePath("plain.txt");
        QVERIFY(TestFiles::Write(strFile, "plain"));

        CDlgSaveTo dialog;
        ModalDriver driver;
        int nAttempt = 0;
        bool bStayedOpen = true;
        driver.When([&] { return dialog.isVisible(); },
                    [&] {
                        for (const QString &strAttempt : {dir.filePath("missing"), QString(), strFile}) {
                            dialog.PathEdit()->setText(strAttempt);
                            dialog.accept(); // the box is answered from inside its own loop
                            ++nAttempt;
                            bStayedOpen =
                                bStayedOpen && dialog.isVisible() && dialog.PathEdit()->text() == strAttempt;
                        }
                        dialog.PathEdit()->setText(dir.path());
                        dialog.accept();
                    });
        QCOMPARE(dialog.exec(), IDOK);
        QCOMPARE(nAttempt, 3);
        QVERIFY(bStayedOpen);
        QCOMPARE(Seen(driver), QStringList(3, Box(QMessageBox::Warning, T(IDS_PATH_NOT_EXIST))));
        QCOMPARE(dialog.m_strPath, dir.path() + u'/');
    }

    void saveToRemembersThePathAsTyped_data()
    {
        QTest::addColumn<bool>("trailingSlash");
        QTest::newRow("typed without a trailing slash") << false;
        QTest::newRow("typed with a trailing slash") << true;
    }

    void saveToRemembersThePathAsTyped()
    {
        QFETCH(bool, trailingSlash);
        QTemporaryDir dir;
        const QString strTyped = dir.path() + (trailingSlash ? "/" : "");
        {
            CDlgSaveTo dialog;
            ModalDriver driver;
            driver.When([&] { return dialog.isVisible(); },
                        [&] {
                            dialog.PathEdit()->setText(strTyped);
                            QTest::keyClick(dialog.PathEdit(), Qt::Key_Return);
                        });
            QCOMPARE(dialog.exec(), IDOK);
            QCOMPARE(dialog.m_strPath, dir.path() + u'/');
            QVERIFY(driver.boxes.isEmpty());
        }
        QCOMPARE(SettingsStore::Read(SettingKeys::PathSaveTo), strTyped);
        QCOMPARE(CDlgSaveTo().PathEdit()->text(), strTyped);

        // A remembered folder that has since gone is still shown, and refused.
        dir.remove();
        CDlgSaveTo afterRemoval;
        QCOMPARE(afterRemoval.PathEdit()->text(), strTyped);
        ModalDriver driver;
        driver.When([&] { return afterRemoval.isVisible(); },
                    [&] {
                        afterRemoval.accept();
                        afterRemoval.reject();
                    });
        QCOMPARE(afterRemoval.exec(), IDCANCEL);
        QCOMPARE(driver.boxes.size(), 1);
    }

    void saveToProposesTheDownloadFolderAndCancelWritesNothing()
    {
        QTemporaryDir dir;
        CDlgSaveTo dialog;
        QCOMPARE(dialog.PathEdit()->text(), SettingsStore::DefaultPathSaveTo());
        ModalDriver driver;
        driver.When([&] { return dialog.isVisible(); },
                    [&] {
                        dialog.PathEdit()->setText(dir.path());
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                    });
        QCOMPARE(dialog.exec(), IDCANCEL);
        QVERIFY(SettingsStore::Read(SettingKeys::PathSaveTo).isEmpty());
    }

    void overwriteListsTheNamesInOrder()
    {
        const QStringList names = {"zeta.dat", "alpha.dat", "mid.dat"};
        for (const auto &[key, nExpected] :
             {std::pair{Qt::Key_Return, IDOK}, std::pair{Qt::Key_Escape, IDCANCEL}}) {
            CDlgOverwriteFiles dialog;
            QStringList shown;
            ModalDriver driver;
            driver.When([&] { return dialog.isVisible(); },
                        [&, key = key] {
                            for (int i = 0; i < dialog.Names()->count(); ++i)
                                shown.append(dialog.Names()->item(i)->text());
                            QTest::keyClick(&dialog, key);
                        });
            QCOMPARE(dialog.ShowModal(names), nExpected);
            QCOMPARE(shown, names);
        }
    }

    void overwriteQuestionGetsTheLinesItNeeds()
    {
        // The English question and a translation that needs a third line in the same width.
        class LongQuestion final : public ITextSource
        {
        public:
            QString Text(quint32 nId) const override
            {
                if (nId == IDS_DLG_OVERWRITE_TEXT)
                    return QString::fromUtf8(
                        "Les fichiers suivants existent déjà dans le dossier de destination. "
                        "Voulez-vous les remplacer ?");
                return g_texts.Text(nId);
            }
        } longQuestion;
        QSize englishSize;
        for (const ITextSource *pTexts :
             {static_cast<const ITextSource *>(&g_texts), static_cast<const ITextSource *>(&longQuestion)}) {
            SetActiveTextSource(pTexts);
            CDlgOverwriteFiles dialog;
            const QLabel *pText = dialog.findChild<QLabel *>();
            QVERIFY(pText);
            QVERIFY(pText->height() >= pText->heightForWidth(pText->width()));
            QVERIFY(pText->geometry().bottom() < dialog.Names()->geometry().top());
            for (const QPushButton *pButton : dialog.findChildren<QPushButton *>()) {
                QVERIFY(dialog.Names()->geometry().bottom() < pButton->geometry().top());
                QVERIFY(pButton->geometry().bottom() < dialog.height());
            }
            if (pTexts == &g_texts)
                englishSize = dialog.size();
            else
                QVERIFY(dialog.height() > englishSize.height());
        }
        SetActiveTextSource(&g_texts);
        CDlgOverwriteFiles english;
        QCOMPARE(english.size(), DialogUnits(english.font()).Size(194, 132)); // the layout's own size
    }

    void connectReadsEverythingAndClosesByItself_data()
    {
        QTest::addColumn<int>("files");
        QTest::newRow("card without files") << 0;
        QTest::newRow("three files") << 3;
    }

    void connectReadsEverythingAndClosesByItself()
    {
        QFETCH(int, files);
        FakeRecorder recorder(Files(NAMES.mid(0, files)));
        recorder.pEmulator->SetDeviceInfo("Recorder 42\n");
        recorder.pEmulator->SetCardInfo("Card 128 MB");
        RecordingSink sink;
        sink.names = {"stale row"};
        CDlgInitDevice dialog(recorder.protocol, sink);
        QCOMPARE(dialog.exec(), IDOK);

        QCOMPARE(sink.nRemoveAll, 1);
        QCOMPARE(sink.names.size(), files);
        QCOMPARE(sink.indexes, files ? QList<int>({0, 1, 2}) : QList<int>());
        // Device information alone first, then device and card information together.
        QCOMPARE(sink.infoTexts, QStringList({"Recorder 42\n", "Recorder 42\nCard 128 MB"}));
        QCOMPARE(dialog.MessageText(), T(IDS_RECEIVING_FILES_LIST));
        QVERIFY(!dialog.Hourglass()->IsTurning());
    }

    void connectCancelDuringDeviceInformation()
    {
        FakeRecorder recorder(Files({"a.dat"}));
        recorder.pEmulator->SetDeviceInfo("Recorder 42\n");
        recorder.Wire().HoldAt(CMD_GET_DEVICE_INFO);
        RecordingSink sink;
        CDlgInitDevice dialog(recorder.protocol, sink);
        ModalDriver driver;
        bool bKeysIgnored = false;
        bool bGreyedOut = false;
        WhileHeld(driver, recorder, [&] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QTest::keyClick(dialog.Button(), Qt::Key_Return);
            bKeysIgnored = dialog.isVisible() && dialog.Button()->isEnabled() &&
                           dialog.MessageText() == T(IDS_RECEIVING_DEVICE_INFO);
            dialog.Button()->click();
            bGreyedOut = !dialog.Button()->isEnabled();
        });
        QCOMPARE(dialog.exec(), IDOK);
        QVERIFY(bKeysIgnored);
        QVERIFY(bGreyedOut);
        QCOMPARE(sink.infoTexts, QStringList({"Recorder 42\n"}));
        QVERIFY(sink.names.isEmpty());
        QCOMPARE(recorder.Wire().CountWritten(CMD_GET_CARD_INFO), 0);
        QCOMPARE(recorder.Wire().CountWritten(CMD_LIST_FILES), 0);
    }

    void connectFailureDuringFileList_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("listed");
        // The entries received before the failure stay in the list.
        QTest::newRow("Cancel") << false << T(IDS_COMM_ABORTED) << 2;
        QTest::newRow("recorder gone") << true << T(IDS_COMM_FAILED) << 1;
    }

    void connectFailureDuringFileList()
    {
        QFETCH(bool, unplug);
        QFETCH(QString, failure);
        QFETCH(int, listed);
        FakeRecorder recorder(Files(NAMES + QStringList{"d.dat"}));
        recorder.Wire().HoldAt(CMD_ACK); // the acknowledgement of the first entry
        RecordingSink sink;
        CDlgInitDevice dialog(recorder.protocol, sink);
        ModalDriver driver;
        QString strFailure;
        bool bOnlyTheButtonCloses = false;
        WhileHeld(driver, recorder, [&] {
            if (unplug)
                recorder.Wire().Unplug();
            else
                dialog.Button()->click();
        });
        driver.When([&] { return dialog.IsFailed(); },
                    [&] {
                        strFailure = dialog.MessageText();
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                        QTest::keyClick(&dialog, Qt::Key_Return);
                        bOnlyTheButtonCloses = dialog.isVisible() && !dialog.Hourglass()->IsTurning() &&
                                               dialog.Button()->isEnabled() &&
                                               dialog.Button()->text() == T(IDS_CLOSE);
                        if (unplug)
                            dialog.close(); // after a failure a close request is the Close button
                        else
                            dialog.Button()->click();
                    });
        QCOMPARE(dialog.exec(), IDCANCEL);
        QCOMPARE(strFailure, failure);
        QVERIFY(bOnlyTheButtonCloses);
        QCOMPARE(sink.names.size(), listed);
        QCOMPARE(sink.infoTexts.size(), 2);
    }

    void downloadFinishesQuietly()
    {
        FakeRecorder recorder(
            {{"one.bin", TestFiles::Pattern(70000, 1)}, {"two.bin", TestFiles::Pattern(5, 2)}});
        CDlgGetFile dialog(recorder.protocol);
        ModalDriver driver;
        QCOMPARE(dialog.Execute(recorder.OutDir() + u'/', {"one.bin", "two.bin"}), IDOK);
        QVERIFY(driver.boxes.isEmpty());
        for (const QString &strName : QStringList{"one.bin", "two.bin"})
            QCOMPARE(TestFiles::Read(recorder.OutPath(strName)), recorder.CardFile(strName));
        QCOMPARE(dialog.FileNameLabel()->text(), "two.bin");
        QCOMPARE(dialog.ProgressBar()->value(), 100);
    }

    void downloadShowsWhereTheRunStands_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("kB") << QLocale(QLocale::English) << qsizetype(100000)
                            << T(IDS_RUN_KB_OF).arg("100", "300");
        // Figures as the interface's language writes them.
        QTest::newRow("MB, French") << QLocale(QLocale::French) << qsizetype(700000)
                                    << T(IDS_RUN_MB_OF).arg("0,7", "2,1");
    }

    void downloadShowsWhereTheRunStands()
    {
        QFETCH(QLocale, locale);
        QFETCH(qsizetype, size);
        QFETCH(QString, bytes);
        QLocale::setDefault(locale);
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        FakeRecorder recorder(Files(NAMES, size));
        recorder.Wire().HoldAt(CMD_GET_FILE, 2);
        DownloadPlan plan(recorder.OutDir() + u'/');
        for (const QString &strName : NAMES)
            plan.Add(strName, {}, quint32(size));
        CDlgGetFile dialog(recorder.protocol);
        ModalDriver driver;
        QString strWhileSecond;
        WhileHeld(driver, recorder, [&] {
            QTRY_COMPARE(dialog.FileNameLabel()->text(), "b.dat");
            strWhileSecond = dialog.RunLabel()->text();
        });
        QCOMPARE(dialog.Execute(plan), IDOK);
        // The time left, when the run has taken long enough to tell it, comes after these two.
        const QString strSeparator = QStringLiteral(" \u00b7 ");
        QCOMPARE(strWhileSecond.section(strSeparator, 0, 1),
                 T(IDS_RUN_FILE_OF).arg("2", "3") + strSeparator + bytes);
        QVERIFY(dialog.RunLabel()->text().startsWith(T(IDS_RUN_FILE_OF).arg("3", "3")));
    }

    void downloadCancelledDuringSecondOfThree()
    {
        FakeRecorder recorder(Files(NAMES, 100000));
        recorder.Wire().HoldAt(CMD_GET_FILE, 2);
        CDlgGetFile dialog(recorder.protocol);
        ModalDriver driver;
        bool bGreyedOut = false;
        WhileHeld(driver, recorder, [&] {
            QTRY_COMPARE(dialog.FileNameLabel()->text(), "b.dat");
            QTest::keyClick(dialog.CancelButton(), Qt::Key_Return); // Enter acts on Cancel
            bGreyedOut = !dialog.CancelButton()->isEnabled();
        });
        QCOMPARE(dialog.Execute(recorder.OutDir() + u'/', NAMES), IDCANCEL);
        QCOMPARE(dialog.FileNameLabel()->text(), "b.dat");
        QVERIFY(bGreyedOut);
        QCOMPARE(Seen(driver), QStringList{Box(QMessageBox::Critical, T(IDS_USER_ABORTED))});
        // The first file is complete, the second left no trace, the third was never asked for.
        QCOMPARE(TestFiles::Read(recorder.OutPath("a.dat")), recorder.CardFile("a.dat"));
        QCOMPARE(TestFiles::Listing(recorder.OutDir()), QStringList{"a.dat"});
        QCOMPARE(recorder.Wire().CountWritten(CMD_GET_FILE), 2);
    }

    void uploadOfAnExistingNameAsksFirst_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("cancelFirst");
        QTest::newRow("overwrite: second run, closes quietly") << true << false;
        QTest::newRow("keep: closes without another box") << false << false;
        // The second run is an upload like the first, with its Cancel button working again.
        QTest::newRow("Cancel pressed before the recorder refused the name, then overwrite") << true << true;
    }

    void uploadOfAnExistingNameAsksFirst()
    {
        QFETCH(bool, overwrite);
        QFETCH(bool, cancelFirst);
        FakeRecorder recorder(Files({"image.bin"}, 3000));
        const QByteArray old = recorder.CardFile("image.bin");
        const QString strPath = HostFile(recorder, "image.bin", 70000);
        CDlgUploadFile dialog(recorder.protocol);
        ModalDriver driver;
        if (cancelFirst) {
            recorder.Wire().HoldAt(CMD_PUT_FILE);
            WhileHeld(driver, recorder, [&] { dialog.CancelButton()->click(); });
        }
        // A second question (the overwrite flag lost) would be refused and show up as a second box.
        driver.AnswerNextBoxes({overwrite ? QMessageBox::Ok : QMessageBox::Cancel, QMessageBox::Cancel});
        QCOMPARE(dialog.Execute(strPath), overwrite ? IDOK : IDCANCEL);
        QCOMPARE(Seen(driver), QStringList{Box(QMessageBox::Question, T(IDS_OVERWRITE_ON_DEVICE))});
        QCOMPARE(recorder.Wire().CountWritten(CMD_PUT_FILE), overwrite ? 2 : 1);
        QCOMPARE(recorder.CardFile("image.bin"), overwrite ? TestFiles::Read(strPath) : old);
        QCOMPARE(dialog.PathLabel()->text(), strPath);
        if (overwrite)
            QCOMPARE(dialog.ProgressBar()->value(), 100);
        if (cancelFirst)
            QVERIFY(dialog.CancelButton()->isEnabled());
    }

    void uploadRefusals_data()
    {
        QTest::addColumn<bool>("noCard");
        QTest::addColumn<quint32>("text");
        QTest::newRow("no card") << true << IDS_NO_CARD;
        QTest::newRow("card full") << false << IDS_CARD_FULL;
    }

    void uploadRefusals()
    {
        QFETCH(bool, noCard);
        QFETCH(quint32, text);
        EmulatorFaults faults;
        faults.bNoCard = noCard;
        faults.bCardFull = !noCard;
        FakeRecorder recorder({}, faults);
        CDlgUploadFile dialog(recorder.protocol);
        ModalDriver driver;
        QCOMPARE(dialog.Execute(HostFile(recorder, "image.bin", 1000)), IDCANCEL);
        QCOMPARE(Seen(driver), QStringList{Box(QMessageBox::Warning, T(text))});
        QVERIFY(recorder.CardFiles().isEmpty());
    }

    void uploadCancelledDuringTransfer()
    {
        FakeRecorder recorder;
        recorder.Wire().HoldAt(CMD_PUT_BLOCK);
        CDlgUploadFile dialog(recorder.protocol);
        ModalDriver driver;
        bool bStillUp = false;
        WhileHeld(driver, recorder, [&] {
            dialog.close(); // the close box acts as Cancel
            bStillUp = !dialog.CancelButton()->isEnabled() && dialog.isVisible();
        });
        QCOMPARE(dialog.Execute(HostFile(recorder, "big.bin", 200000)), IDCANCEL);
        QVERIFY(bStillUp);
        QCOMPARE(Seen(driver), QStringList{Box(QMessageBox::Information, T(IDS_USER_ABORTED))});
    }

    void deleteWithOneRefusalStillEndsOk()
    {
        EmulatorFaults faults;
        faults.refuseDelete = {"b.dat"};
        FakeRecorder recorder(Files(NAMES), faults);
        CDlgDelFiles dialog(recorder.protocol);
        QCOMPARE(dialog.Execute(NAMES), IDOK);
        QCOMPARE(Lines(dialog), QStringList({T(IDS_DELETING), "File a.dat deleted", "File b.dat NOT deleted",
                                             "File c.dat deleted", T(IDS_OPERATION_COMPLETED)}));
        QCOMPARE(recorder.CardFiles(), QStringList{"b.dat"});
        QVERIFY(!dialog.Hourglass()->IsTurning());
    }

    void deleteInterruptedAtTheSecondFile_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("left");
        // Esc is ignored, then the recorder goes: the failure is listed.
        QTest::newRow("recorder gone")
            << true << IDCANCEL << QStringList({"File a.dat deleted", T(IDS_COMM_FAILED)})
            << QStringList({"b.dat", "c.dat"});
        // Enter presses the only button: the deletion in progress completes, the next is not tried.
        QTest::newRow("Cancel") << false << IDOK
                                << QStringList({"File a.dat deleted", "File b.dat deleted",
                                                T(IDS_OPERATION_COMPLETED)})
                                << QStringList({"c.dat"});
    }

    void deleteInterruptedAtTheSecondFile()
    {
        QFETCH(bool, unplug);
        QFETCH(int, result);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, left);
        FakeRecorder recorder(Files(NAMES));
        recorder.Wire().HoldAt(CMD_DELETE_FILE, 2);
        CDlgDelFiles dialog(recorder.protocol);
        ModalDriver driver;
        bool bButtonAsExpected = false;
        WhileHeld(driver, recorder, [&] {
            QTest::keyClick(&dialog, unplug ? Qt::Key_Escape : Qt::Key_Return);
            bButtonAsExpected = dialog.IsCancellable() == unplug && dialog.Button()->isEnabled() == unplug &&
                                dialog.isVisible();
            if (unplug)
                recorder.Wire().Unplug();
            else
                dialog.Button()->click(); // a second press does nothing
        });
        QCOMPARE(dialog.Execute(NAMES), result);
        QVERIFY(bButtonAsExpected);
        QCOMPARE(Lines(dialog).mid(1), lines);
        QCOMPARE(recorder.CardFiles(), left);
        QCOMPARE(dialog.Button()->text(), T(IDS_CLOSE));
    }

    void deleteListFollowsTheNewestLine()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names.append(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')));
        FakeRecorder recorder(Files(names, 1));
        CDlgDelFiles dialog(recorder.protocol);
        QCOMPARE(dialog.Execute(names), IDOK);
        QCOMPARE(dialog.Lines()->count(), 42);
        const QScrollBar *pBar = dialog.Lines()->verticalScrollBar();
        QVERIFY(pBar->maximum() > 0);
        QCOMPARE(pBar->value(), pBar->maximum());
    }

    void closeRequestEndsLikeCancelWithoutBlocking()
    {
        // A close request (Alt+F4) while the worker is held inside a request returns at once: the
        // dialog stays up until the job has ended, then ends as Cancel would have ended it.
        const auto closeWhileHeld = [](ModalDriver &driver, FakeRecorder &recorder, QDialog &dialog,
                                       bool &bStayedUp) {
            WhileHeld(driver, recorder, [&dialog, &bStayedUp] {
                dialog.close();
                dialog.close(); // a second request changes nothing
                bStayedUp = dialog.isVisible();
            });
        };
        for (const quint16 nHeld : {CMD_ACK, CMD_GET_CARD_INFO}) {
            // Cut short inside the file list: not a completed connection; stopped between two
            // reads: Cancel ends quietly there.
            FakeRecorder recorder(Files(NAMES));
            recorder.Wire().HoldAt(nHeld);
            RecordingSink sink;
            CDlgInitDevice dialog(recorder.protocol, sink);
            bool bStayedUp = false;
            ModalDriver driver;
            closeWhileHeld(driver, recorder, dialog, bStayedUp);
            QCOMPARE(dialog.exec(), nHeld == CMD_ACK ? IDCANCEL : IDOK);
            QVERIFY(bStayedUp);
            if (nHeld == CMD_ACK)
                QCOMPARE(dialog.MessageText(), T(IDS_COMM_ABORTED));
            else
                QCOMPARE(recorder.Wire().CountWritten(CMD_LIST_FILES), 0);
            QVERIFY(!dialog.Hourglass()->IsTurning());
        }
        {
            FakeRecorder recorder(Files(NAMES));
            recorder.Wire().HoldAt(CMD_DELETE_FILE, 2);
            CDlgDelFiles dialog(recorder.protocol);
            bool bStayedUp = false;
            ModalDriver driver;
            closeWhileHeld(driver, recorder, dialog, bStayedUp);
            QCOMPARE(dialog.Execute(NAMES), IDOK);
            QVERIFY(bStayedUp);
            QCOMPARE(recorder.CardFiles(), QStringList{"c.dat"});
            QCOMPARE(recorder.Wire().CountWritten(CMD_DELETE_FILE), 2);
            QCOMPARE(dialog.Lines()->count(), 4); // both deletions and "Operation completed" listed
        }
        {
            // Cut short inside a transfer: reported as Cancel reports it, and not a completed run.
            FakeRecorder recorder(Files({"a.bin", "b.bin"}, 100000));
            recorder.Wire().HoldAt(CMD_ACK);
            CDlgGetFile dialog(recorder.protocol);
            bool bStayedUp = false;
            ModalDriver driver;
            closeWhileHeld(driver, recorder, dialog, bStayedUp);
            QCOMPARE(dialog.Execute(recorder.OutDir() + u'/', {"a.bin", "b.bin"}), IDCANCEL);
            QVERIFY(bStayedUp);
            QCOMPARE(Seen(driver), QStringList{Box(QMessageBox::Critical, T(IDS_USER_ABORTED))});
            QCOMPARE(recorder.Wire().CountWritten(CMD_GET_FILE), 1);
            QVERIFY(TestFiles::Listing(recorder.OutDir()).isEmpty());
        }
    }

    void closeRequestWaitsNoLongerThanStopWould()
    {
        // A job that does not end within the wait is let go; the dialog ends as not completed.
        FakeRecorder recorder(Files({"a.bin"}, 100000));
        recorder.Wire().HoldAt(CMD_ACK);
        // Whatever fails below, the held thread is let go before the transport it waits in goes.
        const auto release = qScopeGuard([&recorder] {
            recorder.Wire().Release();
            CWorkerThread::WaitForNoLiveThreads(10000);
        });
        {
            CDlgGetFile dialog(recorder.protocol);
            dialog.SetCloseWaitMs(200);
            ModalDriver driver;
            QElapsedTimer elapsed;
            driver.When([&] { return recorder.Wire().IsHeld(); },
                        [&] {
                            elapsed.start();
                            dialog.close();
                        });
            QCOMPARE(dialog.Execute(recorder.OutDir() + u'/', {"a.bin"}), IDCANCEL);
            // A coarse timer may fire up to 5 % early.
            QVERIFY2(elapsed.elapsed() >= 150 && elapsed.elapsed() < 5000,
                     qPrintable(QString::number(elapsed.elapsed())));
            QCOMPARE(CWorkerThread::LiveThreadCount(), 1);
        }
        // The late thread ends on its own copy of the job once the recorder answers.
        recorder.Wire().Release();
        QVERIFY(CWorkerThread::WaitForNoLiveThreads(10000));
        QVERIFY(TestFiles::Listing(recorder.OutDir()).isEmpty());
    }

    void updateDataOutcomes_data()
    {
        QTest::addColumn<bool>("noCard");
        QTest::addColumn<quint32>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("no card") << true << IDS_NO_CARD << int(QMessageBox::Warning);
        QTest::newRow("silent recorder") << false << IDS_DEVICE_STOPPED << int(QMessageBox::Information);
        QTest::newRow("saved") << false << quint32(0) << 0;
    }

    void updateDataOutcomes()
    {
        QFETCH(bool, noCard);
        QFETCH(quint32, text);
        QFETCH(int, icon);
        EmulatorFaults faults;
        faults.bNoCard = noCard;
        faults.bSilent = !noCard && text != 0;
        FakeRecorder recorder({}, faults);
        recorder.link.SetTimeoutMs(100);
        recorder.protocol.SetSaveArchiveTimeoutMs(600);
        CDlgUpdateCF dialog(recorder.protocol);
        ModalDriver driver;
        bool bNothingEndsIt = !faults.bSilent;
        driver.When([&] { return faults.bSilent && dialog.isVisible(); },
                    [&] {
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                        QTest::keyClick(&dialog, Qt::Key_Return);
                        dialog.close();
                        bNothingEndsIt = dialog.isVisible() && dialog.Hourglass()->IsTurning();
                    });
        QCOMPARE(dialog.exec(), IDOK);
        QVERIFY(bNothingEndsIt);
        QVERIFY(!dialog.Hourglass()->IsTurning());
        QCOMPARE(recorder.Wire().CountWritten(CMD_SAVE_ARCHIVE), 1);
        QCOMPARE(Seen(driver), text ? QStringList{Box(QMessageBox::Icon(icon), T(text))} : QStringList());
    }

    void updateDataCentresOverTheMainWindow()
    {
        // The dialog's parent is a pane inside the main window; it centres over that window.
        FakeRecorder recorder;
        recorder.Wire().HoldAt(CMD_SAVE_ARCHIVE);
        QWidget mainWindow;
        mainWindow.setGeometry(400, 300, 600, 400);
        auto *pPane = new QWidget(&mainWindow);
        pPane->setGeometry(0, 100, 600, 300);
        mainWindow.show();
        CDlgUpdateCF dialog(recorder.protocol, pPane);
        ModalDriver driver;
        QPoint centre;
        WhileHeld(driver, recorder, [&] { centre = dialog.frameGeometry().center(); });
        QCOMPARE(dialog.exec(), IDOK);
        QVERIFY2((centre - mainWindow.frameGeometry().center()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    }

    void connectAtStartCentresOnTheScreen()
    {
        // At start-up the connect dialog runs before the main window is shown; centred over that
        // hidden window it would open in the screen's corner.
        FakeRecorder recorder(Files({"a.dat"}));
        recorder.Wire().HoldAt(CMD_GET_DEVICE_INFO);
        QWidget mainWindow;
        mainWindow.setGeometry(0, 0, 300, 200);
        RecordingSink sink;
        CDlgInitDevice dialog(recorder.protocol, sink, &mainWindow);
        ModalDriver driver;
        QPoint centre;
        WhileHeld(driver, recorder, [&] { centre = dialog.frameGeometry().center(); });
        QCOMPARE(dialog.exec(), IDOK);
        const QPoint screenCentre = dialog.screen()->availableGeometry().center();
        QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    }

    // Sized by their templates: the window manager offers neither resizing nor maximising.
    void dialogsKeepTheirTemplateSize_data()
    {
        QTest::addColumn<int>("nDialog");
        const char *const names[] = {"connect", "download", "upload", "delete", "update data"};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(names[i]) << i;
    }

    void dialogsKeepTheirTemplateSize()
    {
        QFETCH(int, nDialog);
        FakeRecorder recorder;
        RecordingSink sink;
        std::unique_ptr<QDialog> pDialog;
        switch (nDialog) {
        case 0:
            pDialog = std::make_unique<CDlgInitDevice>(recorder.protocol, sink);
            break;
        case 1:
            pDialog = std::make_unique<CDlgGetFile>(recorder.protocol);
            break;
        case 2:
            pDialog = std::make_unique<CDlgUploadFile>(recorder.protocol);
            break;
        case 3:
            pDialog = std::make_unique<CDlgDelFiles>(recorder.protocol);
            break;
        default:
            pDialog = std::make_unique<CDlgUpdateCF>(recorder.protocol);
            break;
        }
        QVERIFY(!pDialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(pDialog->minimumSize(), pDialog->maximumSize());
        QVERIFY(!pDialog->isSizeGripEnabled());
    }
};

QTEST_MAIN(TestOperationDialogs)
#include "tst_operation_dialogs.moc"
