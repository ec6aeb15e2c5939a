// The check of an archive folder: a changed, a missing, an added and an unreadable file are each
// found with their mark beside a match, the folder's own files and subfolders are left out, a
// broken journal is found at its line, and the quick check finds a size change without reading.

#include "archive/ArchiveVerifier.h"
#include "archive/JournalChain.h"
#include "archive/Manifest.h"
#include "support/TestArchive.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using Mark = ArchiveVerifier::Mark;

const QDateTime CARD_DATE({2009, 3, 7}, {14, 5, 9});

QString Listed(const QList<ArchiveVerifier::Difference> &differences)
{
    QStringList lines;
    for (const ArchiveVerifier::Difference &difference : differences)
        lines.append(QString(ArchiveVerifier::MarkChar(difference.eMark)) + ' ' + difference.strName);
    return lines.join(", ");
}

QList<QByteArray> JournalLines(const QString &strDir)
{
    QList<QByteArray> lines;
    QFile file(TestArchive::JournalPath(strDir));
    if (file.open(QIODevice::ReadOnly))
        while (!file.atEnd())
            lines.append(file.readLine());
    return lines;
}

} // namespace

class TestArchiveVerifier : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString Folder(const QString &strName) const { return m_root.filePath(strName); }

private slots:
    void everyKindOfDifferenceIsFoundWithItsMark()
    {
        const QString strDir = Folder("all");
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", TestFiles::Pattern(3000, 1), CARD_DATE},
                                            {"B.DAT", TestFiles::Pattern(5000, 2), CARD_DATE},
                                            {"C.DAT", TestFiles::Pattern(100, 3), CARD_DATE},
                                            {"D.DAT", TestFiles::Pattern(100, 4), CARD_DATE},
                                            {"F.DAT", {}, CARD_DATE}}));
        // One byte changed in place, same size and date.
        QByteArray changed = TestFiles::Pattern(5000, 2);
        changed[4000] = char(changed[4000] ^ 1);
        QVERIFY(TestFiles::Write(strDir + "/B.DAT", changed, CARD_DATE));
        QVERIFY(QFile::remove(strDir + "/C.DAT"));
        // Root reads any file whatever its mode: a folder of the same name cannot be read.
        QVERIFY(QFile::remove(strDir + "/D.DAT"));
        QVERIFY(QDir().mkdir(strDir + "/D.DAT"));
        QVERIFY(::mkfifo(QFile::encodeName(strDir + "/G.DAT").constData(), 0600) == 0);
        QVERIFY(TestFiles::Write(strDir + "/E.DAT", "new"));
        // The program's own files and a recorder's subfolder are no difference.
        QVERIFY(TestFiles::Write(strDir + "/.orvoconnect-archive.lock", ""));
        QVERIFY(TestFiles::Write(strDir + "/.orvo-12345678.tmp", "part"));
        QVERIFY(QDir().mkdir(strDir + "/REC-B"));
        // A hostile line naming a file outside the folder is not followed there.
        QVERIFY(TestFiles::Write(m_root.filePath("OUT.DAT"), "out"));
        QVERIFY(Manifest(strDir).Append({{"../OUT.DAT", QByteArray(64, '0')}}).IsOk());

        // The second line changed: its change shows at the third.
        QList<QByteArray> lines = JournalLines(strDir);
        QCOMPARE(lines.size(), 5);
        lines[1].replace("\"size\":5000", "\"size\":5001");
        QVERIFY(TestFiles::Write(TestArchive::JournalPath(strDir), lines.join()));

        int nReports = 0;
        const ArchiveVerifier verifier(strDir, [&](const ArchiveVerifier::Step &) { return ++nReports > 0; });
        const ArchiveVerifier::Result result = verifier.Verify({});
        QCOMPARE(Listed(result.differences),
                 QString("! ../OUT.DAT, * B.DAT, - C.DAT, ! D.DAT, + E.DAT, + G.DAT"));
        QVERIFY(result.differences.at(1).strReason.contains("SHA-256"));
        QCOMPARE(result.counts.nChecked, 6);
        QCOMPARE(result.counts.nMatches, 2);
        QCOMPARE(result.counts.nAdded, 2);
        QCOMPARE(result.chain.breaks, (QList<JournalChain::Break>{{3, JournalChain::Fault::PrevMismatch}}));
        QCOMPARE(result.chain.strHeadHash, JournalChain::LineHash(lines.last()));
        QVERIFY(result.HasDifferences() && result.HasUnreadable());
        QVERIFY(nReports >= 3); // A, B and F read, each reported

        // With --all the matches are listed in their place.
        const ArchiveVerifier::Result all = ArchiveVerifier(strDir).Verify({.bListMatches = true});
        QCOMPARE(Listed(all.differences),
                 QString("! ../OUT.DAT, = A.DAT, * B.DAT, - C.DAT, ! D.DAT, + E.DAT, = F.DAT, + G.DAT"));
    }

    void quickComparesSizeAndDateWithoutReading()
    {
        const QString strDir = Folder("quick");
        QVERIFY(TestArchive::Write(strDir, {{"A.DAT", TestFiles::Pattern(3000, 1), CARD_DATE},
                                            {"B.DAT", TestFiles::Pattern(5000, 2), CARD_DATE},
                                            {"C.DAT", TestFiles::Pattern(700, 3), CARD_DATE},
                                            {"D.DAT", TestFiles::Pattern(800, 4), CARD_DATE}}));
        // A: another content of the same size and date, which only reading would see; B: a byte
        // longer; C: a second off (FAT's step), the same file; D: a minute off.
        QVERIFY(TestFiles::Write(strDir + "/A.DAT", TestFiles::Pattern(3000, 9), CARD_DATE));
        QVERIFY(TestFiles::Write(strDir + "/B.DAT", TestFiles::Pattern(5001, 2), CARD_DATE));
        QVERIFY(TestFiles::Write(strDir + "/C.DAT", TestFiles::Pattern(700, 3), CARD_DATE.addSecs(1)));
        QVERIFY(TestFiles::Write(strDir + "/D.DAT", TestFiles::Pattern(800, 4), CARD_DATE.addSecs(60)));

        QStringList read;
        const ArchiveVerifier verifier(strDir, [&](const ArchiveVerifier::Step &step) {
            read.append(step.strName);
            return true;
        });
        const ArchiveVerifier::Result result = verifier.Verify({.bQuick = true});
        QCOMPARE(Listed(result.differences), QString("* B.DAT, * D.DAT"));
        QVERIFY2(result.differences.at(0).strReason.contains("5001 bytes"),
                 qPrintable(result.differences.at(0).strReason));
        QVERIFY(read.isEmpty());
        QVERIFY(result.chain.IsIntact());
    }
};

QTEST_GUILESS_MAIN(TestArchiveVerifier)
#include "tst_ArchiveVerifier.moc"
