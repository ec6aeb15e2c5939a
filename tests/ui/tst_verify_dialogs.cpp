// "Verify archive" as the operator sees it: the check on its worker thread under its progress
// dialog, then the result dialog, on archive folders written as the archive writes them.

#include "archive/JournalChain.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "support/ModalDriver.h"
#include "support/TestArchive.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/VerifyArchiveDialog.h"
#include "ui/dialogs/VerifyResultDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace StringId;

namespace {

const TestTexts g_texts;
const QDateTime CARD_DATE({2026, 12, 1}, {9, 30, 0});

QString T(quint32 nId)
{
    return g_texts.Text(nId);
}

// What the result dialog showed, read before it is closed.
struct Shown
{
    QString strSummary;
    QStringList differences;
    bool bListShown = false;
    QString strChain;
    QString strHead;
    bool bHeadEditable = true;
    bool bFixedSize = false;
};

// Runs the check of strDir as the menu command does and reads the result dialog.
Shown RunVerify(const QString &strDir, int *pnEnd)
{
    Shown shown;
    ModalDriver driver;
    driver.WhenModal<VerifyResultDialog>([&shown](VerifyResultDialog &dialog) {
        shown.strSummary = dialog.SummaryLabel()->text();
        for (int i = 0; i < dialog.DifferenceList()->count(); ++i)
            shown.differences << dialog.DifferenceList()->item(i)->text();
        shown.bListShown = dialog.DifferenceList()->isVisible();
        shown.strChain = dialog.ChainLabel()->text();
        shown.strHead = dialog.HeadHash()->text();
        shown.bHeadEditable = !dialog.HeadHash()->isReadOnly();
        shown.bFixedSize = dialog.minimumSize() == dialog.maximumSize();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    *pnEnd = VerifyArchiveDialog::Run(nullptr, strDir);
    return shown;
}

} // namespace

class TestVerifyDialogs final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void initTestCase() { SetActiveTextSource(&g_texts); }

    void aChangedFileIsListedWithItsMark()
    {
        const QString strDir = m_root.filePath("changed");
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", TestFiles::Pattern(3000, 1), CARD_DATE},
                                            {"B.DAT", TestFiles::Pattern(5000, 2), CARD_DATE},
                                            {"C.DAT", TestFiles::Pattern(100, 3), CARD_DATE}}));
        // Same size and date, other bytes: only reading it finds the change.
        QVERIFY(TestFiles::Write(strDir + "/B.DAT", TestFiles::Pattern(5000, 7), CARD_DATE));
        int nEnd = 0;
        const Shown shown = RunVerify(strDir, &nEnd);
        QCOMPARE(nEnd, IDOK);
        QCOMPARE(shown.strSummary, T(IDS_VERIFY_SOME_DIFFER).arg("2", "3"));
        QCOMPARE(shown.differences, QStringList{"*  B.DAT  \u2014  " + T(IDS_VERIFY_CHANGED)});
        QVERIFY(shown.bListShown);
        QCOMPARE(shown.strChain, T(IDS_VERIFY_CHAIN_INTACT).arg("3"));
        QVERIFY(shown.bFixedSize);
    }

    void aCleanArchiveShowsTheMatchAndTheHead()
    {
        const QString strDir = m_root.filePath("clean");
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", TestFiles::Pattern(3000, 1), CARD_DATE},
                                            {"B.DAT", TestFiles::Pattern(5000, 2), CARD_DATE}}));
        QString strError;
        const QString strHead = JournalChain::TailHash(TestArchive::JournalPath(strDir), &strError);
        QVERIFY2(strError.isEmpty(), qPrintable(strError));
        int nEnd = 0;
        const Shown shown = RunVerify(strDir, &nEnd);
        QCOMPARE(nEnd, IDOK);
        QCOMPARE(shown.strSummary, T(IDS_VERIFY_ALL_MATCH).arg("2"));
        QVERIFY(!shown.bListShown);
        QCOMPARE(shown.strChain, T(IDS_VERIFY_CHAIN_INTACT).arg("2"));
        // The head as the journal's next line will link to it, to be copied, not edited.
        QCOMPARE(shown.strHead, strHead);
        QVERIFY(!shown.bHeadEditable);
    }

    void aBrokenChainNamesItsLine()
    {
        const QString strDir = m_root.filePath("broken");
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", TestFiles::Pattern(3000, 1), CARD_DATE},
                                            {"B.DAT", TestFiles::Pattern(5000, 2), CARD_DATE},
                                            {"C.DAT", TestFiles::Pattern(100, 3), CARD_DATE}}));
        // The second line edited: the third no longer links to it.
        QByteArray journal = TestFiles::Read(TestArchive::JournalPath(strDir));
        const qsizetype nSecond = journal.indexOf('\n') + 1;
        const qsizetype nAt = journal.indexOf("B.DAT", nSecond);
        QVERIFY(nAt > 0);
        journal[nAt] = 'X';
        QVERIFY(TestFiles::Write(TestArchive::JournalPath(strDir), journal));
        int nEnd = 0;
        const Shown shown = RunVerify(strDir, &nEnd);
        QCOMPARE(nEnd, IDOK);
        QCOMPARE(shown.strChain, T(IDS_VERIFY_CHAIN_BROKEN).arg("3"));
    }

    void aFolderThatIsNotThereIsSaidSo()
    {
        int nEnd = 0;
        const Shown shown = RunVerify(m_root.filePath("not-there"), &nEnd);
        QCOMPARE(nEnd, IDOK);
        QCOMPARE(shown.strSummary, T(IDS_VERIFY_NO_FOLDER));
        QVERIFY(!shown.bListShown);
    }
};

QTEST_MAIN(TestVerifyDialogs)
#include "tst_verify_dialogs.moc"
