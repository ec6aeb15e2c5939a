// The journal read for people: CSV cells a spreadsheet cannot take for formulas and whose quotes
// and line breaks keep the rows apart, and the rows a journal's lines make.

#include "archive/JournalTrail.h"
#include "archive/TrailCsv.h"

#include <QTest>

class TestJournalTrail final : public QObject
{
    Q_OBJECT

private slots:
    void csvCells_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<QString>("strCell");

        QTest::newRow("plain") << "TREND01.DAT"
                               << "TREND01.DAT";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "A,B.DAT"
                               << "\"A,B.DAT\"";
        QTest::newRow("quote") << "say \"hi\".DAT"
                               << "\"say \"\"hi\"\".DAT\"";
        QTest::newRow("line feed") << "A\nB"
                                   << "\"A\nB\"";
        QTest::newRow("carriage return") << "A\rB"
                                         << "\"A\rB\"";
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("plus") << "+1"
                              << "'+1";
        QTest::newRow("minus") << "-2+3"
                               << "'-2+3";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("formula with comma") << "=1,2"
                                            << "\"'=1,2\"";
        QTest::newRow("equals inside") << "A=B"
                                       << "A=B";
    }

    void csvCells()
    {
        QFETCH(QString, strText);
        QFETCH(QString, strCell);
        QCOMPARE(TrailCsv::Cell(strText), strCell);
    }

    void csvDocumentHasOneRecordPerLine()
    {
        const QList<JournalTrail::Row> rows = {
            JournalTrail::RowOf(R"({"action":"downloaded","card_name":"A\nB.DAT","local_name":"A_B.DAT",)"
                                R"("size":12,"time":"2026-12-07T10:00:00Z","user":"op"})",
                                1),
            JournalTrail::RowOf(
                R"({"action":"run-end","downloaded":1,"failed":0,"time":"2026-12-07T10:00:01Z"})", 2),
            JournalTrail::RowOf("{\"action\":\"downl", 3)};
        QCOMPARE(rows.at(2).strAction, QStringLiteral("unreadable"));
        QCOMPARE(QString::fromUtf8(TrailCsv::Document(rows)),
                 QStringLiteral("time,user,host,recorder,action,card_name,local_name,size,card_date,sha256,"
                                "detail\r\n"
                                "2026-12-07T10:00:00Z,op,,,downloaded,\"A\nB.DAT\",A_B.DAT,12,,,\r\n"
                                "2026-12-07T10:00:01Z,,,,run-end,,,,,,\"downloaded 1, failed 0\"\r\n"
                                ",,,,unreadable,,,,,,line 3\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestJournalTrail)
#include "tst_JournalTrail.moc"
