// The archive folder's SHA256SUMS checked by coreutils' sha256sum itself: hostile names, the
// digests of files of every size, a torn last line, and a rewrite that leaves nothing behind.

#include "archive/HashingSink.h"
#include "archive/Manifest.h"
#include "archive/Sha256.h"
#include "core/LocalFileName.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString MANIFEST = QString::fromLatin1(LocalNames::MANIFEST);

// The exit status of `sha256sum -c --strict SHA256SUMS` run in the folder.
int CheckWithSha256sum(const QString &strFolder)
{
    QProcess process;
    process.setWorkingDirectory(strFolder);
    process.start(QStringLiteral("/usr/bin/sha256sum"),
                  {QStringLiteral("-c"), QStringLiteral("--strict"), QStringLiteral("--quiet"), MANIFEST});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

// sha256sum's digest of a file.
QByteArray Sha256sumOf(const QString &strPath)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/sha256sum"), {QStringLiteral("--"), strPath});
    process.waitForFinished(60000);
    return process.readAllStandardOutput().left(64);
}

bool AppendBytes(const QString &strPath, const QByteArray &bytes)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size();
}

// The sink a download writes through: keeps what it is given.
class KeepingSink final : public IDownloadSink
{
public:
    RecorderResult Open() override { return RESULT_OK; }
    RecorderResult Write(const quint8 *pData, quint32 nLen) override
    {
        m_bytes.append(reinterpret_cast<const char *>(pData), nLen);
        return RESULT_OK;
    }
    RecorderResult Flush() override { return RESULT_OK; }
    RecorderResult Commit() override { return RESULT_OK; }
    void Discard() override { m_bytes.clear(); }

    QByteArray m_bytes;
};

} // namespace

class TestManifest final : public QObject
{
    Q_OBJECT

private slots:
    void hostileNamesVerifyWithSha256sum_data()
    {
        QTest::addColumn<QString>("strName");
        QTest::newRow("plain") << QStringLiteral("ARCH0001.DAT");
        QTest::newRow("space") << QStringLiteral("two words.DAT");
        QTest::newRow("leading space") << QStringLiteral("  lead.DAT");
        QTest::newRow("star first") << QStringLiteral("*star.DAT");
        QTest::newRow("backslash") << QStringLiteral("back\\slash.DAT");
        QTest::newRow("backslash n") << QStringLiteral("not\\na newline");
        QTest::newRow("newline") << QStringLiteral("new\nline.DAT");
        QTest::newRow("carriage return") << QStringLiteral("carriage\rreturn.DAT");
        QTest::newRow("ends in return") << QStringLiteral("return.DAT\r");
        QTest::newRow("tab") << QStringLiteral("tab\there.DAT");
        QTest::newRow("quotes") << QStringLiteral("it's \"quoted\".DAT");
        QTest::newRow("utf-8") << QStringLiteral("Messung-\u00E9t\u00E9-\u6E2C\u5B9A.DAT");
        QTest::newRow("255 bytes") << QString(251, QLatin1Char('L')) + QStringLiteral(".DAT");
        QTest::newRow("255 bytes escaped")
            << QStringLiteral("\n\\") + QString(249, QLatin1Char('L')) + QStringLiteral(".DAT");
    }

    void hostileNamesVerifyWithSha256sum()
    {
        QFETCH(QString, strName);
        QTemporaryDir dir;
        const QString strPlain = QStringLiteral("A.DAT");
        QVERIFY(TestFiles::Write(dir.filePath(strPlain), TestFiles::Pattern(1000, 1)));
        QVERIFY(TestFiles::Write(dir.filePath(strName), TestFiles::Pattern(3000, 2)));

        QList<Manifest::Entry> entries;
        for (const QString &strFile : {strPlain, strName}) {
            QString strError;
            entries.append({strFile, Sha256::FileHex(dir.filePath(strFile), {}, &strError)});
            QVERIFY2(entries.last().hex.size() == 64, qPrintable(strError));
        }
        const Manifest manifest(dir.path());
        QVERIFY(manifest.Append(entries).IsOk());
        QCOMPARE(CheckWithSha256sum(dir.path()), 0);

        Manifest::Contents contents;
        QVERIFY(manifest.Read(&contents).IsOk());
        QCOMPARE(contents.nBadLines, 0);
        QVERIFY(!contents.bTornTail);
        QCOMPARE(contents.hashes.size(), 2);
        QCOMPARE(contents.hashes.value(strName), entries.last().hex);

        QVERIFY(AppendBytes(dir.filePath(strName), "x"));
        QCOMPARE(CheckWithSha256sum(dir.path()), 1);
    }

    void digestsEqualSha256sums_data()
    {
        QTest::addColumn<qsizetype>("nSize");
        QTest::newRow("empty") << qsizetype(0);
        QTest::newRow("one byte") << qsizetype(1);
        QTest::newRow("one block less one") << qsizetype(63);
        QTest::newRow("one block") << qsizetype(64);
        QTest::newRow("one read") << Sha256::READ_CHUNK;
        QTest::newRow("one read and a byte") << Sha256::READ_CHUNK + 1;
        QTest::newRow("several MiB") << 5 * Sha256::READ_CHUNK + 4097;
    }

    void digestsEqualSha256sums()
    {
        QFETCH(qsizetype, nSize);
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("F.DAT"));
        const QByteArray bytes = TestFiles::Pattern(nSize, 3);
        QVERIFY(TestFiles::Write(strPath, bytes));
        const QByteArray expected = Sha256sumOf(strPath);
        QCOMPARE(expected.size(), 64);

        QCOMPARE(Sha256::FileHex(strPath), expected);

        // A download's blocks of 1000 bytes through the hashing sink: the digest appears with
        // the commit, and the bytes reach the wrapped sink unchanged.
        KeepingSink inner;
        HashingSink sink(inner);
        QVERIFY(sink.Open().IsOk());
        for (qsizetype i = 0; i < nSize; i += 1000) {
            const qsizetype nLen = qMin<qsizetype>(1000, nSize - i);
            QVERIFY(
                sink.Write(reinterpret_cast<const quint8 *>(bytes.constData() + i), quint32(nLen)).IsOk());
        }
        QVERIFY(sink.Flush().IsOk());
        QVERIFY(sink.Hex().isEmpty());
        QVERIFY(sink.Commit().IsOk());
        QCOMPARE(sink.Hex(), expected);
        QCOMPARE(inner.m_bytes, bytes);

        // Reading the digest on the way does not end it; Reset starts again.
        Sha256 hash;
        hash.Add("stale", 5);
        hash.Reset();
        hash.Add(bytes.constData(), nSize / 2);
        hash.Hex();
        hash.Add(bytes.constData() + nSize / 2, nSize - nSize / 2);
        QCOMPARE(hash.Hex(), expected);
    }

    void linesAreReadAsSha256sumReadsThem()
    {
        QTemporaryDir dir;
        const QByteArray a1(64, 'a'), a2(64, 'b'), c(64, 'c');
        QVERIFY(TestFiles::Write(dir.filePath(MANIFEST),
                                 a1 + "  A.DAT\n" + c.toUpper() + " *C.DAT\n" + "not a line\n" + a2 +
                                     "  A.DAT\n" + a1 + "  CRLF.DAT\r\n" + "\\" + c + "  bad\\escape\n"));
        Manifest::Contents contents;
        QVERIFY(Manifest(dir.path()).Read(&contents).IsOk());
        const QMap<QString, QByteArray> expected{{QStringLiteral("A.DAT"), a2}, {QStringLiteral("C.DAT"), c}};
        QCOMPARE(contents.hashes, expected);
        QCOMPARE(contents.nBadLines, 3);
        QVERIFY(!contents.bTornTail);
    }

    void tornTailIsCut_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("strName");
        const QByteArray hex(64, 'e');
        QTest::newRow("whole line without newline") << hex + "  B.DAT" << QStringLiteral("B.DAT");
        QTest::newRow("escaped name") << "\\" + hex + "  B\\nC.DAT" << QStringLiteral("B\nC.DAT");
        QTest::newRow("cut inside the name") << hex + "  B.D" << QString();
        QTest::newRow("cut inside the digest") << hex.left(20) << QString();
        QTest::newRow("zeros") << QByteArray(300, '\0') << QString();
    }

    void tornTailIsCut()
    {
        QFETCH(QByteArray, tail);
        QFETCH(QString, strName);
        QTemporaryDir dir;
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("A.DAT")), "a"));
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("B.DAT")), "b"));
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("B\nC.DAT")), "bc"));
        const Manifest manifest(dir.path());
        const QList<Manifest::Entry> a{{QStringLiteral("A.DAT"), Sha256::FileHex(dir.filePath("A.DAT"))}};
        QVERIFY(manifest.Append(a).IsOk());
        const QByteArray whole = TestFiles::Read(manifest.Path());
        QVERIFY(AppendBytes(manifest.Path(), tail));

        Manifest::Contents contents;
        QVERIFY(manifest.Read(&contents).IsOk());
        QVERIFY(contents.bTornTail);
        // Appending after a torn line would glue the new line to it.
        QCOMPARE(manifest.Append(a).Reason(), LocalReason::CannotWrite);

        QString strRepaired = QStringLiteral("unset");
        QVERIFY(manifest.RepairTornTail(&strRepaired).IsOk());
        QCOMPARE(strRepaired, strName);
        QCOMPARE(TestFiles::Read(manifest.Path()), whole);
        QCOMPARE(CheckWithSha256sum(dir.path()), 0);
        QVERIFY(manifest.Append(a).IsOk());
    }

    void rewriteReplacesTheFileInOneStep()
    {
        QTemporaryDir dir;
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("A.DAT")), "old"));
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("B\\.DAT")), "b"));
        const Manifest manifest(dir.path());
        QVERIFY(manifest
                    .Append({{QStringLiteral("A.DAT"), Sha256::FileHex(dir.filePath("A.DAT"))},
                             {QStringLiteral("B\\.DAT"), Sha256::FileHex(dir.filePath("B\\.DAT"))}})
                    .IsOk());
        QVERIFY(TestFiles::Write(dir.filePath(QStringLiteral("A.DAT")), "new"));
        QCOMPARE(CheckWithSha256sum(dir.path()), 1);

        Manifest::Contents contents;
        QVERIFY(manifest.Read(&contents).IsOk());
        contents.hashes[QStringLiteral("A.DAT")] = Sha256::FileHex(dir.filePath("A.DAT"));
        QVERIFY(manifest.Rewrite(contents.hashes).IsOk());
        QCOMPARE(CheckWithSha256sum(dir.path()), 0);
        QCOMPARE(TestFiles::Listing(dir.path()),
                 QStringList({QStringLiteral("A.DAT"), QStringLiteral("B\\.DAT"), MANIFEST}));
    }

    void symbolicLinkIsNeverFollowed()
    {
        QTemporaryDir dir;
        const QString strOutside = dir.filePath(QStringLiteral("outside"));
        QVERIFY(TestFiles::Write(strOutside, "keep"));
        QVERIFY(QFile::link(strOutside, dir.filePath(MANIFEST)));
        const Manifest manifest(dir.path());
        Manifest::Contents contents;
        QCOMPARE(manifest.Read(&contents).Reason(), LocalReason::SymbolicLink);
        QCOMPARE(manifest.Append({{QStringLiteral("A.DAT"), QByteArray(64, 'a')}}).Reason(),
                 LocalReason::SymbolicLink);
        QCOMPARE(manifest.Rewrite({{QStringLiteral("A.DAT"), QByteArray(64, 'a')}}).Reason(),
                 LocalReason::SymbolicLink);
        QCOMPARE(TestFiles::Read(strOutside), QByteArray("keep"));
        QVERIFY(Sha256::FileHex(dir.filePath(MANIFEST)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestManifest)
#include "tst_Manifest.moc"
