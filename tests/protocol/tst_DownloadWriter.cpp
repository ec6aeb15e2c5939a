// The local side of a download: gathered writes that keep every byte in order, and a target
// that changes only on commit.

#include "DownloadWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Bytes(qsizetype nLen, int nSeed)
{
    QByteArray data(nLen, Qt::Uninitialized);
    for (qsizetype i = 0; i < nLen; ++i)
        data[i] = char(nSeed * 31 + i * 13 + (i >> 9));
    return data;
}

bool Append(DownloadWriter &writer, const QByteArray &data)
{
    return writer.Append(reinterpret_cast<const quint8 *>(data.constData()), data.size());
}

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestDownloadWriter final : public QObject
{
    Q_OBJECT

private slots:
    void blocksOfEverySizeArriveInOrder()
    {
        QTemporaryDir dir;
        const QString strTarget = dir.filePath(QStringLiteral("out.dat"));
        // Small blocks, an empty one, blocks that straddle a chunk, one larger than a chunk
        // written straight through, and a tail.
        const QList<qsizetype> sizes = {
            100,   0,     32744, DownloadWriter::WRITE_CHUNK - 32844, 1, DownloadWriter::WRITE_CHUNK + 5,
            32744, 32744, 4512};
        QByteArray expected;
        DownloadWriter writer(strTarget);
        QVERIFY(writer.Open());
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            const QByteArray block = Bytes(sizes.at(i), int(i));
            expected += block;
            QVERIFY(Append(writer, block));
        }
        QVERIFY(!QFile::exists(strTarget));
        QVERIFY(writer.Commit());
        QCOMPARE(ReadAll(strTarget), expected);
    }

    void uncommittedDownloadLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString strTarget = dir.filePath(QStringLiteral("out.dat"));
        {
            QFile old(strTarget);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("previous download");
        }
        {
            DownloadWriter writer(strTarget);
            QVERIFY(writer.Open());
            QVERIFY(Append(writer, Bytes(3 * DownloadWriter::WRITE_CHUNK, 1)));
            QVERIFY(writer.Flush());
        }
        QCOMPARE(ReadAll(strTarget), QByteArray("previous download"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("out.dat")});
    }

    void unwritableFolderFailsToOpen()
    {
        DownloadWriter writer(QStringLiteral("/nonexistent-folder/out.dat"));
        QVERIFY(!writer.Open());
        QVERIFY(!writer.ErrorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDownloadWriter)
#include "tst_DownloadWriter.moc"
