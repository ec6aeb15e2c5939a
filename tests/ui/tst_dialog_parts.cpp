// The pieces the operation dialogs share, and the two download prompts.

#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "DialogTestSupport.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/ElidedLabel.h"
#include "ui/dialogs/HourglassWidget.h"
#include "ui/dialogs/ProgressPosition.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestDialogParts final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void progressPosition_data();
    void progressPosition();
    void dialogUnitsFollowTheFont();
    void longNamesAreCutWithAnEllipsis();
    void hourglassTurnsAndStandsStill();

    void saveToProposesTheDownloadFolderFirst();
    void saveToRefusesWhatIsNotAnExistingFolder();
    void saveToRemembersThePathAsTyped_data();
    void saveToRemembersThePathAsTyped();
    void saveToCancelWritesNothing();
    void overwriteListsTheNamesInOrder();
    void overwriteQuestionGetsTheLinesItNeeds();

private:
    static QString StoredPath()
    {
        QSettings settings(QString::fromLatin1(SettingsStore::kOrganisation),
                           QString::fromLatin1(SettingsStore::kApplication));
        return settings.value(SettingKeys::PathSaveTo.Name()).toString();
    }

    EnglishTextSource m_texts;
};

void TestDialogParts::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    SetActiveTextSource(&m_texts);
}

void TestDialogParts::init()
{
    QSettings settings(QString::fromLatin1(SettingsStore::kOrganisation),
                       QString::fromLatin1(SettingsStore::kApplication));
    settings.remove(SettingKeys::PathSaveTo.Name());
}

void TestDialogParts::progressPosition_data()
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

void TestDialogParts::progressPosition()
{
    QFETCH(quintptr, done);
    QFETCH(qintptr, total);
    QFETCH(int, position);
    QCOMPARE(ProgressPosition(done, total), position);
}

void TestDialogParts::dialogUnitsFollowTheFont()
{
    QFont font = QApplication::font();
    for (int nPoints : {8, 16}) {
        font.setPointSize(nPoints);
        const QFontMetricsF metrics(font);
        const DialogUnits units(font);
        QCOMPARE(units.X(4), qRound(metrics.averageCharWidth()));
        QCOMPARE(units.Y(8), qRound(metrics.height()));
        // Adjacent controls share their edge whatever the rounding.
        const QRect left = units.Rect(7, 3, 45, 15);
        const QRect right = units.Rect(52, 3, 45, 15);
        QCOMPARE(left.right() + 1, right.left());
    }
    QFont big = font;
    big.setPointSize(20);
    QVERIFY(DialogUnits(big).Size(187, 78).width() > DialogUnits(font).Size(187, 78).width() / 2);
}

void TestDialogParts::longNamesAreCutWithAnEllipsis()
{
    const QString strName =
        QStringLiteral("a_very_long_recorder_file_name_that_cannot_fit_anywhere_at_all.dat");
    ElidedLabel tail(Qt::ElideRight);
    tail.setFixedWidth(120);
    tail.setText(strName);
    QCOMPARE(tail.text(), strName);
    QVERIFY(tail.ShownText().endsWith(QChar(0x2026)));
    QVERIFY(strName.startsWith(tail.ShownText().chopped(1)));

    const QString strPath = QStringLiteral("/home/operator/images/archive/2024/system-update-final.img");
    ElidedLabel middle(Qt::ElideMiddle);
    middle.setFixedWidth(150);
    middle.setText(strPath);
    const QString strShown = middle.ShownText();
    QVERIFY(strShown.contains(QChar(0x2026)));
    QVERIFY(strShown.startsWith(QStringLiteral("/ho")));
    QVERIFY(strShown.endsWith(QStringLiteral(".img")));

    middle.setText(QStringLiteral("/tmp/a.img"));
    QCOMPARE(middle.ShownText(), QStringLiteral("/tmp/a.img"));
}

void TestDialogParts::hourglassTurnsAndStandsStill()
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

void TestDialogParts::saveToProposesTheDownloadFolderFirst()
{
    CDlgSaveTo dialog;
    QCOMPARE(dialog.PathEdit()->text(), SettingsStore::DefaultPathSaveTo());
    QVERIFY(SettingsStore::DefaultPathSaveTo().endsWith(QLatin1Char('/')));
}

void TestDialogParts::saveToRefusesWhatIsNotAnExistingFolder()
{
    QTemporaryDir dir;
    const QString strFile = dir.filePath(QStringLiteral("plain.txt"));
    WriteTestFile(strFile, 10);
    const QString strValid = dir.path();

    CDlgSaveTo dialog;
    ModalDriver driver;
    QStringList refused;
    const QStringList attempts = {dir.filePath(QStringLiteral("missing")), QString(), strFile};
    int nAttempt = 0;
    bool bStayedOpen = true;
    driver.When([&] { return dialog.isVisible(); },
                [&] {
                    for (const QString &strAttempt : attempts) {
                        dialog.PathEdit()->setText(strAttempt);
                        dialog.accept(); // the box is answered from inside its own loop
                        ++nAttempt;
                        bStayedOpen =
                            bStayedOpen && dialog.isVisible() && dialog.PathEdit()->text() == strAttempt;
                    }
                    dialog.PathEdit()->setText(strValid);
                    dialog.accept();
                });
    QCOMPARE(dialog.exec(), IDOK);
    QCOMPARE(nAttempt, 3);
    QVERIFY(bStayedOpen);
    QCOMPARE(driver.boxes.size(), 3);
    for (const SeenBox &box : driver.boxes) {
        QCOMPARE(box.strText, QStringLiteral("The specified path does not exist"));
        QCOMPARE(box.strTitle, QStringLiteral("OrvoConnect"));
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QCOMPARE(dialog.m_strPath, strValid + QLatin1Char('/'));
}

void TestDialogParts::saveToRemembersThePathAsTyped_data()
{
    QTest::addColumn<bool>("trailingSlash");
    QTest::newRow("typed without a trailing slash") << false;
    QTest::newRow("typed with a trailing slash") << true;
}

void TestDialogParts::saveToRemembersThePathAsTyped()
{
    QFETCH(bool, trailingSlash);
    QTemporaryDir dir;
    const QString strTyped = dir.path() + (trailingSlash ? QStringLiteral("/") : QString());

    {
        CDlgSaveTo dialog;
        ModalDriver driver;
        driver.When([&] { return dialog.isVisible(); },
                    [&] {
                        dialog.PathEdit()->setText(strTyped);
                        QTest::keyClick(dialog.PathEdit(), Qt::Key_Return);
                    });
        QCOMPARE(dialog.exec(), IDOK);
        QCOMPARE(dialog.m_strPath, dir.path() + QLatin1Char('/'));
        QVERIFY(driver.boxes.isEmpty());
    }
    QCOMPARE(StoredPath(), strTyped);
    CDlgSaveTo next;
    QCOMPARE(next.PathEdit()->text(), strTyped);

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

void TestDialogParts::saveToCancelWritesNothing()
{
    QTemporaryDir dir;
    CDlgSaveTo dialog;
    ModalDriver driver;
    driver.When([&] { return dialog.isVisible(); },
                [&] {
                    dialog.PathEdit()->setText(dir.path());
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                });
    QCOMPARE(dialog.exec(), IDCANCEL);
    QVERIFY(StoredPath().isEmpty());
}

void TestDialogParts::overwriteListsTheNamesInOrder()
{
    const QStringList names = {QStringLiteral("zeta.dat"), QStringLiteral("alpha.dat"),
                               QStringLiteral("mid.dat")};
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

void TestDialogParts::overwriteQuestionGetsTheLinesItNeeds()
{
    // The English question and a translation that needs a third line in the same width.
    class LongQuestion final : public ITextSource
    {
    public:
        explicit LongQuestion(const ITextSource &base)
            : m_base(base)
        {}
        QString Text(quint32 nId) const override
        {
            if (nId == StringId::IDS_DLG_OVERWRITE_TEXT)
                return QString::fromUtf8(
                    "Les fichiers suivants existent déjà dans le dossier de destination. "
                    "Voulez-vous les remplacer ?");
            return m_base.Text(nId);
        }

    private:
        const ITextSource &m_base;
    };
    const LongQuestion longQuestion(m_texts);
    QSize englishSize;
    for (const ITextSource *pTexts :
         {static_cast<const ITextSource *>(&m_texts), static_cast<const ITextSource *>(&longQuestion)}) {
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
        if (pTexts == &m_texts)
            englishSize = dialog.size();
        else
            QVERIFY(dialog.height() > englishSize.height());
    }
    SetActiveTextSource(&m_texts);
    CDlgOverwriteFiles english;
    QCOMPARE(english.size(), DialogUnits(english.font()).Size(194, 132)); // the layout's own size
}

QTEST_MAIN(TestDialogParts)
#include "tst_dialog_parts.moc"
