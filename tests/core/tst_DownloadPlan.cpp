// The local side of every download: what the plan lets through before anything is sent, and
// a write that changes the folder only on commit, never through a link.

#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/LocalFileName.h"
#include "core/SafeFileWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

RecorderResult Append(SafeFileWriter &writer, const QByteArray &data)
{
    return writer.Append(reinterpret_cast<const quint8 *>(data.constData()), data.size());
}

// Writes data through a sink as a download would, committing when bCommit.
RecorderResult Download(const DownloadPlan &plan, const DownloadPlan::Item &item, const QByteArray &data)
{
    FileDownloadSink sink(plan, item);
    if (RecorderResult result = sink.Open(); !result.IsOk())
        return result;
    if (RecorderResult result =
            sink.Write(reinterpret_cast<const quint8 *>(data.constData()), quint32(data.size()));
        !result.IsOk())
        return result;
    return sink.Commit();
}

} // namespace

class TestDownloadPlan final : public QObject
{
    Q_OBJECT

private slots:
    void blocksOfEverySizeArriveInOrder()
    {
        QTemporaryDir dir;
        // Small blocks, an empty one, blocks that straddle a chunk, one larger than a chunk
        // written straight through, and a tail.
        const QList<qsizetype> sizes = {
            100,   0,     32744, SafeFileWriter::WRITE_CHUNK - 32844, 1, SafeFileWriter::WRITE_CHUNK + 5,
            32744, 32744, 4512};
        QByteArray expected;
        SafeFileWriter writer(dir.path());
        QVERIFY(writer.Open(QStringLiteral("out.dat")).IsOk());
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            const QByteArray block = TestFiles::Pattern(sizes.at(i), int(i));
            expected += block;
            QVERIFY(Append(writer, block).IsOk());
        }
        QVERIFY(TestFiles::Listing(dir.path()).isEmpty());
        QVERIFY(writer.Commit(false, QDateTime()).IsOk());
        QCOMPARE(TestFiles::Read(dir.filePath(QStringLiteral("out.dat"))), expected);
        QCOMPARE(TestFiles::Listing(dir.path()), QStringList{QStringLiteral("out.dat")});
    }

    void uncommittedDownloadLeavesTheOldFileAndNothingElse()
    {
        QTemporaryDir dir;
        const QString strTarget = dir.filePath(QStringLiteral("out.dat"));
        QVERIFY(TestFiles::Write(strTarget, "previous download"));
        {
            SafeFileWriter writer(dir.path());
            QVERIFY(writer.Open(QStringLiteral("out.dat")).IsOk());
            QVERIFY(Append(writer, TestFiles::Pattern(3 * SafeFileWriter::WRITE_CHUNK, 1)).IsOk());
            QVERIFY(writer.Flush().IsOk());
        }
        QCOMPARE(TestFiles::Read(strTarget), QByteArray("previous download"));
        QCOMPARE(TestFiles::Listing(dir.path()), QStringList{QStringLiteral("out.dat")});

        SafeFileWriter missing(QStringLiteral("/nonexistent-folder"));
        const RecorderResult result = missing.Open(QStringLiteral("out.dat"));
        QCOMPARE(result.Code(), RESULT_HOST_IO_ERROR);
        QVERIFY2(result.Detail().contains(QStringLiteral("/nonexistent-folder/out.dat")),
                 qPrintable(result.Detail()));
    }

    // The worst case: a link in the destination named like a card file must never lead the
    // download to a file elsewhere, whether it points somewhere or nowhere.
    void symbolicLinksAreNeverWrittenThrough()
    {
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString strOutside = outside.filePath(QStringLiteral("CONFIG.INI"));
        QVERIFY(TestFiles::Write(strOutside, "precious"));
        QVERIFY(QFile::link(strOutside, dir.filePath(QStringLiteral("CONFIG.INI"))));
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("NEW.DAT")),
                            dir.filePath(QStringLiteral("NEW.DAT"))));

        for (DownloadPlan::Existing existing :
             {DownloadPlan::Existing::Refuse, DownloadPlan::Existing::Replace}) {
            DownloadPlan plan(dir.path(), existing);
            QCOMPARE(plan.Add(QStringLiteral("CONFIG.INI")).refusal, LocalReason::SymbolicLink);
            QCOMPARE(plan.Add(QStringLiteral("NEW.DAT")).refusal, LocalReason::SymbolicLink);
            QVERIFY(plan.ToDownload().isEmpty());
        }
        DownloadPlan skipping(dir.path(), DownloadPlan::Existing::Skip);
        QVERIFY(skipping.Add(QStringLiteral("CONFIG.INI")).bSkipped);
        QVERIFY(!skipping.Add(QStringLiteral("CONFIG.INI")).IsRefused());

        // A link that appears after the plan was made is still not followed at the commit.
        DownloadPlan plan(dir.path(), DownloadPlan::Existing::Replace);
        const DownloadPlan::Item item = plan.Add(QStringLiteral("LATE.DAT"));
        QVERIFY(item.IsToDownload());
        QVERIFY(QFile::link(strOutside, dir.filePath(QStringLiteral("LATE.DAT"))));
        QCOMPARE(Download(plan, item, "intruder").Reason(), LocalReason::SymbolicLink);
        DownloadPlan refusing(dir.path(), DownloadPlan::Existing::Refuse);
        const DownloadPlan::Item newItem = refusing.Add(QStringLiteral("LATER.DAT"));
        QVERIFY(QFile::link(strOutside, dir.filePath(QStringLiteral("LATER.DAT"))));
        QCOMPARE(Download(refusing, newItem, "intruder").Reason(), LocalReason::SymbolicLink);

        QCOMPARE(TestFiles::Read(strOutside), QByteArray("precious"));
        QCOMPARE(TestFiles::Listing(outside.path()), QStringList{QStringLiteral("CONFIG.INI")});
        QCOMPARE(TestFiles::Listing(dir.path()),
                 (QStringList{"CONFIG.INI", "LATE.DAT", "LATER.DAT", "NEW.DAT"}));

        // The destination folder itself may be a link.
        const QString strLinkedFolder = outside.filePath(QStringLiteral("linked"));
        QVERIFY(QFile::link(dir.path(), strLinkedFolder));
        DownloadPlan viaLink(strLinkedFolder, DownloadPlan::Existing::Refuse);
        QVERIFY(Download(viaLink, viaLink.Add(QStringLiteral("A.DAT")), "a").IsOk());
        QCOMPARE(TestFiles::Read(dir.filePath(QStringLiteral("A.DAT"))), QByteArray("a"));
    }

    // Names the folder cannot take are refused before anything is sent; every name it can take
    // works, also at the longest length, also when it replaces a file.
    void namesAreDecidedBeforeTheTransfer()
    {
        QTemporaryDir dir;
        DownloadPlan plan(dir.path(), DownloadPlan::Existing::Replace);
        QCOMPARE(plan.NameMax(), 255);
        const QString strLongest = QString(251, QLatin1Char('L')) + QStringLiteral(".DAT");
        QVERIFY(TestFiles::Write(dir.filePath(strLongest), "old"));
        const DownloadPlan::Item longest = plan.Add(strLongest);
        QVERIFY(longest.bExists && longest.IsToDownload());
        QVERIFY(Download(plan, longest, "new").IsOk());
        QCOMPARE(TestFiles::Read(dir.filePath(strLongest)), QByteArray("new"));
        // 128 two-byte characters: 256 bytes on this disk.
        QCOMPARE(plan.Add(QString(128, QChar(0x00E9))).refusal, LocalReason::NameTooLong);

        QCOMPARE(plan.Add(QStringLiteral("..")).refusal, LocalReason::UnsafeName);
        QCOMPARE(plan.Add(QStringLiteral("a\\b")).refusal, LocalReason::UnsafeName);
        QCOMPARE(plan.Add(QStringLiteral("BAD") + QChar(0xD800) + QStringLiteral(".DAT")).refusal,
                 LocalReason::NotEncodable);
        QCOMPARE(plan.Add(QString::fromLatin1(LocalNames::JOURNAL)).refusal, LocalReason::ReservedName);
        QCOMPARE(plan.Add(QStringLiteral("sha256sums")).refusal, LocalReason::ReservedName);
        QCOMPARE(plan.Add(QStringLiteral(".ORVO-abc.TMP")).refusal, LocalReason::ReservedName);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("SUB")));
        QCOMPARE(plan.Add(QStringLiteral("SUB")).refusal, LocalReason::NotARegularFile);

        // Two card names for one local file: the second is refused, whatever the case; the same
        // card name twice is one file.
        QVERIFY(plan.Add(QStringLiteral("data.log")).IsToDownload());
        QCOMPARE(plan.Add(QStringLiteral("DATA.LOG")).refusal, LocalReason::NameCollision);
        const qsizetype nItems = plan.Items().size();
        QVERIFY(plan.Add(QStringLiteral("data.log")).IsToDownload());
        QCOMPARE(plan.Items().size(), nItems);

        DownloadPlan refusing(dir.path(), DownloadPlan::Existing::Refuse);
        QCOMPARE(refusing.Add(strLongest).refusal, LocalReason::AlreadyExists);
        DownloadPlan skipping(dir.path(), DownloadPlan::Existing::Skip);
        QVERIFY(skipping.Add(strLongest).bSkipped);
    }

    // The file gets the card's date; without replacing, a file that appeared meanwhile stays.
    void commitSetsTheDateAndReplacesOnlyWhenAsked()
    {
        QTemporaryDir dir;
        const QDateTime cardDate(QDate(2009, 3, 7), QTime(14, 5, 9), Qt::LocalTime);
        DownloadPlan plan(dir.path(), DownloadPlan::Existing::Refuse);
        QVERIFY(Download(plan, plan.Add(QStringLiteral("DATED.DAT"), cardDate), "x").IsOk());
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("DATED.DAT"))).lastModified(), cardDate);

        const DownloadPlan::Item item = plan.Add(QStringLiteral("RACE.DAT"));
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("RACE.DAT")), "first"));
        QCOMPARE(Download(plan, item, "second").Reason(), LocalReason::AlreadyExists);
        QCOMPARE(TestFiles::Read(dir.filePath(QStringLiteral("RACE.DAT"))), QByteArray("first"));
        QCOMPARE(TestFiles::Listing(dir.path()), (QStringList{"DATED.DAT", "RACE.DAT"}));
    }
};

QTEST_GUILESS_MAIN(TestDownloadPlan)
#include "tst_DownloadPlan.moc"
