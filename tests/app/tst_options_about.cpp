#include "app/CDlgAbout.h"
#include "app/CDlgOptions.h"
#include "core/OrvoBuildInfo.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "support/TestTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const TestTexts texts;

// Runs the dialog, doing something to it once it is up, and returns its end code.
int RunWith(CDlgOptions &dialog, std::function<void(CDlgOptions &)> action)
{
    QTimer::singleShot(0, &dialog, [&] { action(dialog); });
    return dialog.exec();
}

} // namespace

class TestOptionsAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetActiveTextSource(&texts); }

    void listsDefaultThenTheLanguagesInTheirOwnWords()
    {
        CDlgOptions dialog;
        dialog.m_nLanguage = 0;
        RunWith(dialog, [](CDlgOptions &d) {
            QComboBox *pBox = d.LanguageBox();
            QCOMPARE(pBox->count(), 6);
            QCOMPARE(pBox->itemText(0), texts.Text(StringId::IDS_LANGUAGE_DEFAULT));
            QCOMPARE(pBox->itemText(2), QStringLiteral("Français"));
            QCOMPARE(pBox->itemText(4), QStringLiteral("Русский"));
            QCOMPARE(pBox->currentIndex(), 0);
            d.reject();
        });
        QCOMPARE(dialog.windowTitle(), texts.Text(StringId::IDS_DLG_OPTIONS_CAPTION));
    }

    // OK stores the chosen index, Cancel keeps the old one; an unknown one selects nothing.
    void okStoresTheChosenIndexCancelKeepsIt_data()
    {
        QTest::addColumn<int>("nBefore");
        QTest::addColumn<int>("nShown");
        QTest::addColumn<int>("nChosen");
        QTest::addColumn<bool>("bOk");
        QTest::addColumn<int>("nAfter");
        QTest::newRow("OK") << 1 << 1 << 3 << true << 3;
        QTest::newRow("Cancel") << 2 << 2 << 5 << false << 2;
        QTest::newRow("unknown, OK") << 9 << -1 << -1 << true << -1;
    }

    void okStoresTheChosenIndexCancelKeepsIt()
    {
        QFETCH(int, nBefore);
        QFETCH(int, nShown);
        QFETCH(int, nChosen);
        QFETCH(bool, bOk);
        QFETCH(int, nAfter);
        CDlgOptions dialog;
        dialog.m_nLanguage = nBefore;
        const int nEnd = RunWith(dialog, [&](CDlgOptions &d) {
            QCOMPARE(d.LanguageBox()->currentIndex(), nShown);
            d.LanguageBox()->setCurrentIndex(nChosen);
            bOk ? d.accept() : d.reject();
        });
        QCOMPARE(nEnd, int(bOk ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.m_nLanguage, nAfter);
    }

    void aboutShowsVersionAndMaker()
    {
        CDlgAbout about;
        QStringList labels;
        for (QLabel *pLabel : about.findChildren<QLabel *>())
            labels << pLabel->text();
        QVERIFY(labels.contains(texts.Text(StringId::IDS_DLG_ABOUT_VERSION)));
        // The number the programs report with --version is the one About shows.
        QVERIFY(labels.contains(
            QStringLiteral("Orvo Connect Version %1.%2").arg(kOrvoVersionMajor).arg(kOrvoVersionMinor)));
        QCOMPARE(about.windowTitle(), texts.Text(StringId::IDS_DLG_ABOUT_CAPTION));
        QCOMPARE(about.findChildren<QPushButton *>().size(), 1);
    }

    // A fixed size, as a dialog made from a template has: no resize grip, no maximise button.
    void dialogsHaveAFixedSize_data()
    {
        QTest::addColumn<bool>("bAbout");
        QTest::newRow("About") << true;
        QTest::newRow("Options") << false;
    }

    void dialogsHaveAFixedSize()
    {
        QFETCH(bool, bAbout);
        CDlgAbout about;
        CDlgOptions options;
        QDialog &dialog = bAbout ? static_cast<QDialog &>(about) : options;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!dialog.isSizeGripEnabled());
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        // Nothing the layout needs is cut off.
        QVERIFY(dialog.width() >= dialog.minimumSizeHint().width());
        QVERIFY(dialog.height() >= dialog.minimumSizeHint().height());
        dialog.hide();
    }
};

QTEST_MAIN(TestOptionsAbout)
#include "tst_options_about.moc"
