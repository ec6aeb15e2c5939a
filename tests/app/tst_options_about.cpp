#include "app/CDlgAbout.h"
#include "app/CDlgOptions.h"
#include "core/OrvoBuildInfo.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "resources/BuiltInEnglish.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class EnglishTexts final : public ITextSource
{
public:
    QString Text(quint32 nId) const override
    {
        for (const BuiltInText &text : BuiltInEnglishTexts())
            if (text.nId == nId)
                return QString::fromUtf8(text.pszText);
        return {};
    }
};

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
    void initTestCase()
    {
        static EnglishTexts texts;
        SetActiveTextSource(&texts);
    }

    void listsDefaultThenTheLanguagesInTheirOwnWords()
    {
        CDlgOptions dialog;
        dialog.m_nLanguage = 0;
        RunWith(dialog, [](CDlgOptions &d) {
            QComboBox *pBox = d.LanguageBox();
            QCOMPARE(pBox->count(), 6);
            QCOMPARE(pBox->itemText(0), QStringLiteral("Default"));
            QCOMPARE(pBox->itemText(2), QStringLiteral("Français"));
            QCOMPARE(pBox->itemText(4), QStringLiteral("Русский"));
            QCOMPARE(pBox->currentIndex(), 0);
            d.reject();
        });
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
    }

    void okStoresTheChosenIndexCancelKeepsIt()
    {
        CDlgOptions dialog;
        dialog.m_nLanguage = 1;
        QCOMPARE(RunWith(dialog,
                         [](CDlgOptions &d) {
                             d.LanguageBox()->setCurrentIndex(3);
                             d.accept();
                         }),
                 int(QDialog::Accepted));
        QCOMPARE(dialog.m_nLanguage, 3);

        CDlgOptions cancelled;
        cancelled.m_nLanguage = 2;
        QCOMPARE(RunWith(cancelled,
                         [](CDlgOptions &d) {
                             d.LanguageBox()->setCurrentIndex(5);
                             d.reject();
                         }),
                 int(QDialog::Rejected));
        QCOMPARE(cancelled.m_nLanguage, 2);
    }

    void unknownCodeSelectsNothingAndOkGivesMinusOne()
    {
        CDlgOptions dialog;
        dialog.m_nLanguage = 9;
        RunWith(dialog, [](CDlgOptions &d) {
            QCOMPARE(d.LanguageBox()->currentIndex(), -1);
            d.accept();
        });
        QCOMPARE(dialog.m_nLanguage, -1);
    }

    void aboutShowsVersionAndMaker()
    {
        CDlgAbout about;
        QStringList texts;
        for (QLabel *pLabel : about.findChildren<QLabel *>())
            texts << pLabel->text();
        QVERIFY(texts.contains(QStringLiteral("Orvo Connect Version 2.2")));
        // The number the programs report with --version is the one About shows.
        QVERIFY(texts.contains(
            QStringLiteral("Orvo Connect Version %1.%2").arg(kOrvoVersionMajor).arg(kOrvoVersionMinor)));
        QCOMPARE(about.windowTitle(), QStringLiteral("About OrvoConnect"));
        QCOMPARE(about.findChildren<QPushButton *>().size(), 1);
    }
};

QTEST_MAIN(TestOptionsAbout)
#include "tst_options_about.moc"
