// The journal's hash chain: a line changed, removed or inserted is found at its line; lines of
// older versions are accepted before the first chained line only; the tail hash that the next
// line links to comes from the file's end, also past a long line, and a torn last line is found.

#include "archive/JournalChain.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray LineOf(QJsonObject object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray Action(const QString &strCardName, const QString &strPrev = QString())
{
    QJsonObject object{{"action", "downloaded"}, {"card_name", strCardName}, {"size", 70000}};
    if (!strPrev.isNull())
        object.insert("prev", strPrev);
    return LineOf(object);
}

bool Append(const QString &strPath, const QByteArray &bytes)
{
    QFile file(strPath);
    return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

// Appends a chained line as the writer does: linked to the journal's tail.
bool AppendChained(const QString &strPath, const QString &strCardName)
{
    QString strError;
    const QString strPrev = JournalChain::TailHash(strPath, &strError);
    return !strPrev.isEmpty() && Append(strPath, Action(strCardName, strPrev));
}

QList<QByteArray> Lines(const QString &strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    while (!file.atEnd())
        lines.append(file.readLine());
    return lines;
}

bool Rewrite(const QString &strPath, const QList<QByteArray> &lines)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(lines.join()) >= 0;
}

QString BreaksText(const QList<JournalChain::Break> &breaks)
{
    static const char *const NAMES[] = {"prev", "unchained", "not-json", "torn"};
    QStringList parts;
    for (const JournalChain::Break &item : breaks)
        parts.append(QStringLiteral("%1:%2").arg(item.nLine).arg(QLatin1String(NAMES[int(item.eFault)])));
    return parts.join(QLatin1Char(','));
}

} // namespace

class TestJournalChain final : public QObject
{
    Q_OBJECT

private slots:
    void changesAreFoundAtTheirLine_data()
    {
        QTest::addColumn<int>("nOlder"); // unchained lines of an older version first
        QTest::addColumn<QString>("strEdit");
        QTest::addColumn<int>("nAt"); // 1-based line the edit touches
        QTest::addColumn<QString>("strBreaks");

        QTest::newRow("intact") << 0 << "" << 0 << "";
        QTest::newRow("older lines before the first chained one") << 2 << "" << 0 << "";
        QTest::newRow("changed line") << 0 << "change" << 2 << "3:prev";
        QTest::newRow("changed first line") << 0 << "change" << 1 << "2:prev";
        // Older lines are not chained: only the last of them is covered, by the first chained line.
        QTest::newRow("changed last older line") << 2 << "change" << 2 << "3:prev";
        QTest::newRow("changed older line before it") << 2 << "change" << 1 << "";
        QTest::newRow("removed line") << 0 << "remove" << 3 << "3:prev";
        QTest::newRow("removed first line") << 0 << "remove" << 1 << "1:prev";
        QTest::newRow("inserted unchained line") << 0 << "insert" << 3 << "3:unchained,4:prev";
        QTest::newRow("inserted line with the right prev") << 0 << "insert-linked" << 3 << "4:prev";
        QTest::newRow("line that is not JSON") << 0 << "garble" << 2 << "2:not-json,3:prev";
        QTest::newRow("older line after a chained one") << 0 << "append-older" << 0 << "5:unchained";
        QTest::newRow("torn last line") << 0 << "tear" << 0 << "5:torn";
    }

    void changesAreFoundAtTheirLine()
    {
        QFETCH(int, nOlder);
        QFETCH(QString, strEdit);
        QFETCH(int, nAt);
        QFETCH(QString, strBreaks);

        QTemporaryDir dir;
        const QString strPath = dir.filePath(".orvoconnect-archive.log");
        for (int n = 0; n < nOlder; ++n)
            QVERIFY(Append(strPath, Action(QStringLiteral("OLD%1.DAT").arg(n))));
        for (int n = nOlder; n < 4; ++n)
            QVERIFY(AppendChained(strPath, QStringLiteral("TREND%1.DAT").arg(n)));
        QVERIFY(JournalChain::Verify(strPath).IsIntact());

        QList<QByteArray> lines = Lines(strPath);
        if (strEdit == "change")
            lines[nAt - 1].replace("70000", "70001");
        else if (strEdit == "remove")
            lines.removeAt(nAt - 1);
        else if (strEdit == "insert")
            lines.insert(nAt - 1, Action("FORGED.DAT"));
        else if (strEdit == "insert-linked")
            lines.insert(nAt - 1, Action("FORGED.DAT", JournalChain::LineHash(lines.at(nAt - 2))));
        else if (strEdit == "garble")
            lines[nAt - 1] = "{\"action\":\"downl\n";
        QVERIFY(Rewrite(strPath, lines));
        if (strEdit == "append-older") {
            // An older version wrote into the journal; the next chained line links to its line.
            QVERIFY(Append(strPath, Action("OLD.DAT")));
            QVERIFY(AppendChained(strPath, "TREND9.DAT"));
        } else if (strEdit == "tear") {
            QVERIFY(Append(strPath, "{\"action\":\"downl"));
        }

        const JournalChain::ChainCheck check = JournalChain::Verify(strPath);
        QVERIFY(check.strError.isEmpty());
        QCOMPARE(BreaksText(check.breaks), strBreaks);
        lines = Lines(strPath);
        QCOMPARE(check.nLines, lines.size());
        // The head is the last complete line's hash: what the next line links to.
        const QByteArray last = lines.last().endsWith('\n') ? lines.last() : lines.at(lines.size() - 2);
        QCOMPARE(check.strHeadHash, JournalChain::LineHash(last));
        QString strError;
        QCOMPARE(JournalChain::TailHash(strPath, &strError), check.strHeadHash);
    }

    void tailHashReadsOnlyCompleteLines_data()
    {
        QTest::addColumn<QByteArray>("content");  // "<missing>" for no file
        QTest::addColumn<QByteArray>("lastLine"); // empty: 64 zeros
        QTest::addColumn<bool>("bTorn");

        const QByteArray one = Action("A.DAT");
        // Longer than the first read of the file's end, so the window has to grow.
        const QByteArray longLine = Action(QString(40000, QLatin1Char('L')));
        QTest::newRow("missing") << QByteArray("<missing>") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << false;
        QTest::newRow("one line") << one << one << false;
        QTest::newRow("long last line") << one + longLine << longLine << false;
        QTest::newRow("long first line") << longLine + one << one << false;
        QTest::newRow("empty line last") << one + "\n" << QByteArray("\n") << false;
        QTest::newRow("torn last line") << one + longLine + "{\"act" << longLine << true;
        QTest::newRow("torn only line") << QByteArray("{\"act") << QByteArray() << true;
    }

    void tailHashReadsOnlyCompleteLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, lastLine);
        QFETCH(bool, bTorn);

        QTemporaryDir dir;
        const QString strPath = dir.filePath(".orvoconnect-archive.log");
        if (content != "<missing>")
            QVERIFY(Append(strPath, content));
        QString strError;
        JournalChain::Tail tail;
        tail.bTorn = !bTorn;
        const QString strHash = JournalChain::TailHash(strPath, &strError, &tail);
        QVERIFY2(strError.isEmpty(), qPrintable(strError));
        QCOMPARE(strHash, lastLine.isEmpty() ? QString(64, '0') : JournalChain::LineHash(lastLine));
        QCOMPARE(tail.bTorn, bTorn);
        // The writer cuts a torn line back to where the complete lines end.
        QCOMPARE(tail.nWholeSize, content == "<missing>" ? 0 : content.lastIndexOf('\n') + 1);
    }

    void lineHashIsSha256OfTheBytes()
    {
        QCOMPARE(JournalChain::LineHash("abc"),
                 QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    }
};

QTEST_GUILESS_MAIN(TestJournalChain)
#include "tst_JournalChain.moc"
