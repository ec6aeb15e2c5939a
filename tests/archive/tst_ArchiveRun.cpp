// The archive's decision on a folder and its journal, without a recorder; and a run on the fake
// recorder whose archived copy does not read back.

#include "archive/ArchiveDecision.h"
#include "archive/ArchiveFolder.h"
#include "archive/ArchiveRun.h"
#include "archive/IArchiveReport.h"
#include "archive/JournalIndex.h"
#include "core/DownloadPlan.h"
#include "protocol/RecorderFileEntry.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Archive;
using TestFiles::Pattern;

namespace {

const QDateTime DATE({2026, 3, 2}, {10, 0, 0});

RecorderFileEntry Entry(const QString &strName, quint32 nSize, const QDateTime &date = DATE)
{
    RecorderFileEntry entry;
    entry.SetName(strName);
    entry.SetSizeLow(nSize);
    entry.SetLastWriteTime(FileTime::FromDateTime(date));
    return entry;
}

JournalIndex::CardFile Card(const QString &strRecorder, const QString &strName, qint64 nSize)
{
    return {strRecorder, strName, nSize, FileTime::IsoText(FileTime::FromDateTime(DATE)), {}};
}

// What the run says, kept; FileDone can change the disk under the run.
struct Report final : IArchiveReport
{
    QStringList lines;
    std::function<void(const FileRecord &)> onDone;
    void Line(const QString &strLine) override { lines << strLine; }
    void Problem(const QString &strLine) override { lines << "! " + strLine; }
    void FileDone(const FileRecord &record) override
    {
        if (onDone)
            onDone(record);
    }
};

} // namespace

class TestArchiveRun final : public QObject
{
    Q_OBJECT

private slots:
    // The folder holds A.DAT (4000 bytes, the card's date) and A (2).DAT; the journal lines
    // given say what they hold. What becomes of the card's A.DAT of 4000 bytes from SN-1?
    void decisionFollowsTheJournal_data()
    {
        QTest::addColumn<QStringList>("lines"); // action|local|recorder|card name|size
        QTest::addColumn<QString>("expected");  // action:local name
        QTest::newRow("no journal: same name, size and date") << QStringList() << "skip:A.DAT";
        QTest::newRow("recorded for this recorder")
            << QStringList{"downloaded|A.DAT|SN-1|A.DAT|4000"} << "skip:A.DAT";
        QTest::newRow("recorded by an older version")
            << QStringList{"downloaded|A.DAT||A.DAT|4000"} << "skip:A.DAT";
        QTest::newRow("recorded for another recorder")
            << QStringList{"downloaded|A.DAT|SN-2|A.DAT|4000"} << "compare:A.DAT";
        QTest::newRow("adopted for this recorder too")
            << QStringList{"downloaded|A.DAT|SN-2|A.DAT|4000", "adopted|A.DAT|SN-1|A.DAT|4000"}
            << "skip:A.DAT";
        QTest::newRow("a kept-beside version of another card name")
            << QStringList{"downloaded|A (2).DAT|SN-1|A (2).DAT|4000", "downloaded|A.DAT|SN-2|A.DAT|4000"}
            << "compare:A.DAT";
        QTest::newRow("its copy did not read back")
            << QStringList{"downloaded|A.DAT|SN-1|A.DAT|4000", "void|A.DAT|SN-1|A.DAT|4000"}
            << "compare:A.DAT";
        QTest::newRow("kept beside for this recorder")
            << QStringList{"downloaded|A.DAT|SN-2|A.DAT|4000", "kept-beside|A (2).DAT|SN-1|A.DAT|4000"}
            << "skip:A (2).DAT";
    }
    void decisionFollowsTheJournal()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(TestFiles::Write(dir.filePath("A.DAT"), Pattern(4000, 1), DATE));
        QVERIFY(TestFiles::Write(dir.filePath("A (2).DAT"), Pattern(4000, 2), DATE));
        JournalIndex journal;
        for (const QString &strLine : lines) {
            const QStringList f = strLine.split('|');
            journal.Apply(f[0], f[1], Card(f[2], f[3], f[4].toLongLong()));
        }
        DownloadPlan plan(dir.path());
        const ArchiveFolder folder(dir.path());
        const QList<FileRecord> records =
            Decide({Entry("A.DAT", 4000)}, Options(), plan, folder, journal, "SN-1");
        QCOMPARE(records.size(), 1);
        const QString strAction = records[0].action == Action::Skip      ? "skip"
                                  : records[0].action == Action::Compare ? "compare"
                                                                         : "other";
        QCOMPARE(strAction + ':' + records[0].strLocalName, expected);
    }

    // A folder of an older version (a journal without digests, no manifest) and a manifest whose
    // last line a crash cut: the first pass hashes what has no digest from the disk, once.
    void olderArchiveIsHashedFromDiskOnce()
    {
        FakeRecorder recorder({{"A.DAT", Pattern(9000, 1)}}, {});
        QVERIFY(recorder.PutCardFile("A.DAT", Pattern(9000, 1), DATE));
        const QString strDir = recorder.OutDir() + '/';
        QVERIFY(TestFiles::Write(strDir + "A.DAT", Pattern(9000, 1), DATE));
        QVERIFY(TestFiles::Write(strDir + "B.DAT", Pattern(100, 2), DATE));
        QByteArray journal;
        for (const char *pszName : {"A.DAT", "B.DAT"})
            journal +=
                QJsonDocument(QJsonObject{{"action", "downloaded"},
                                          {"card_name", pszName},
                                          {"local_name", pszName},
                                          {"size", QFileInfo(strDir + pszName).size()},
                                          {"card_date", FileTime::IsoText(FileTime::FromDateTime(DATE))}})
                    .toJson(QJsonDocument::Compact) +
                '\n';
        QVERIFY(TestFiles::Write(strDir + ".orvoconnect-archive.log", journal));
        QVERIFY(TestFiles::Write(strDir + "SHA256SUMS", "0123"));
        Options options;
        options.strDir = strDir;
        Report report;
        Session session{recorder.protocol, recorder.stop, report, "fake"};
        Summary summary;
        QCOMPARE(Run(session, options, &summary), int(RESULT_OK));
        QCOMPARE(summary.nAlreadyArchived, 1);
        QProcess check;
        check.setWorkingDirectory(strDir);
        check.start("sha256sum", {"-c", "--strict", "--quiet", "SHA256SUMS"});
        QVERIFY(check.waitForFinished());
        QCOMPARE(check.exitCode(), 0);
        QCOMPARE(TestFiles::Read(strDir + "SHA256SUMS").count('\n'), 2);
        const QByteArray lines = TestFiles::Read(strDir + ".orvoconnect-archive.log");
        QCOMPARE(lines.count("\"action\":\"hashed-from-disk\""), 2);
        // Once: the next pass hashes nothing again.
        QCOMPARE(Run(session, options, &summary), int(RESULT_OK));
        QCOMPARE(
            TestFiles::Read(strDir + ".orvoconnect-archive.log").count("\"action\":\"hashed-from-disk\""), 2);
    }

    // The archived copy changes on the disk before the card is freed: the card keeps the file,
    // the run fails, and the journal voids the record so that the next pass takes it again.
    void copyThatDoesNotReadBackStaysOnTheCard()
    {
        FakeRecorder recorder({{"A.DAT", Pattern(9000, 1)}, {"B.DAT", Pattern(3000, 2)}});
        Options options;
        options.strDir = recorder.OutDir() + '/';
        options.bDeleteAfter = true;
        Report report;
        report.onDone = [&options](const FileRecord &record) {
            if (record.strCardName == "A.DAT")
                QVERIFY(TestFiles::Write(options.strDir + "A.DAT", Pattern(9000, 7), record.modified));
        };
        Session session{recorder.protocol, recorder.stop, report, "fake"};
        Summary summary;
        QCOMPARE(Run(session, options, &summary), int(RESULT_HOST_IO_ERROR));
        QCOMPARE(recorder.CardFiles(), QStringList{"A.DAT"});
        QVERIFY(report.lines.join('\n').contains("the archived copy does not read back; kept on the card"));
        QVERIFY(TestFiles::Read(options.strDir + ".orvoconnect-archive.log").contains("\"action\":\"void\""));
        // The next pass compares and keeps the recorder's bytes beside the bad copy.
        report.onDone = {};
        QCOMPARE(Run(session, options, &summary), int(RESULT_OK));
        QCOMPARE(TestFiles::Read(options.strDir + "A (2).DAT"), Pattern(9000, 1));
    }
};

QTEST_GUILESS_MAIN(TestArchiveRun)
#include "tst_ArchiveRun.moc"
