#include "protocol/RecorderFileEntry.h"
#include "ui/browser/CFileListModel.h"
#include "ui/browser/FileListTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

namespace {

constexpr quint64 TICKS_PER_SECOND = 10000000ULL;
// 1601-01-01 to 1970-01-01 in seconds.
constexpr quint64 SECONDS_1601_TO_1970 = 11644473600ULL;

quint64 FileTimeOf(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMs = 0)
{
    const QDateTime when(QDate(nYear, nMonth, nDay), QTime(nHour, nMinute, nSecond, nMs), QTimeZone::utc());
    return (quint64(when.toSecsSinceEpoch()) + SECONDS_1601_TO_1970) * TICKS_PER_SECOND +
           quint64(nMs) * 10000ULL;
}

RecorderFileEntry Entry(const QString &strName, quint32 nSize = 0, quint64 ftModified = 0)
{
    RecorderFileEntry entry;
    entry.SetName(strName);
    entry.SetSizeLow(nSize);
    entry.SetSizeHigh(7); // the high half is never used
    entry.SetLastWriteTime(ftModified);
    return entry;
}

QStringList Names(const CFileListModel &model)
{
    QStringList names;
    for (int i = 0; i < model.GetItemCount(); ++i)
        names.append(model.Item(i).m_strName);
    return names;
}

} // namespace

class TestFileListModel final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        CFileListModel::s_bNameAscending = CFileListModel::s_bDateAscending =
            CFileListModel::s_bSizeAscending = true;
    }

    void sizeTexts_data()
    {
        QTest::addColumn<quint32>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0u << "0B";
        QTest::newRow("largest in bytes") << 1023u << "1023B";
        QTest::newRow("one k") << 1024u << "1k";
        QTest::newRow("rounded down") << 2047u << "1k";
        QTest::newRow("two k") << 2048u << "2k";
        QTest::newRow("no larger unit") << 1048576u << "1024k";
        QTest::newRow("largest") << 4294967295u << "4194303k";
    }
    void sizeTexts()
    {
        QFETCH(quint32, size);
        QFETCH(QString, text);
        QCOMPARE(CFileListModel::FormatSize(size), text);
    }

    void dateTexts_data()
    {
        QTest::addColumn<quint64>("fileTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("day before month") << FileTimeOf(2009, 3, 7, 14, 5, 9) << "07/03/09 (14:05:09)";
        QTest::newRow("year 2000") << FileTimeOf(2000, 1, 1, 0, 0, 0) << "01/01/00 (00:00:00)";
        QTest::newRow("fraction dropped")
            << FileTimeOf(1999, 12, 31, 23, 59, 59, 999) << "31/12/99 (23:59:59)";
        QTest::newRow("leap day") << FileTimeOf(2024, 2, 29, 12, 0, 0) << "29/02/24 (12:00:00)";
        QTest::newRow("zero is 1601") << quint64(0) << "01/01/01 (00:00:00)";
        // Beyond what calendar classes take; still a date, never garbage.
        QTest::newRow("largest value") << ~quint64(0) << "28/05/56 (05:36:10)";
    }
    void dateTexts()
    {
        QFETCH(quint64, fileTime);
        QFETCH(QString, text);
        QCOMPARE(CFileListModel::FormatDate(fileTime), text);
    }

    void cellsComeFromTheEntry()
    {
        CFileListModel model;
        RecorderFileEntry entry = Entry(QStringLiteral("LOG.DAT"), 5000, FileTimeOf(2009, 3, 7, 14, 5, 9));
        model.AddItem(0, entry);
        QCOMPARE(model.FormatCell(0, CFileListModel::COL_NAME), QStringLiteral("LOG.DAT"));
        QCOMPARE(model.FormatCell(0, CFileListModel::COL_DATE), QStringLiteral("07/03/09 (14:05:09)"));
        QCOMPARE(model.FormatCell(0, CFileListModel::COL_SIZE), QStringLiteral("4k")); // high half ignored
        QCOMPARE(model.FormatCell(1, CFileListModel::COL_NAME), QString());
        QCOMPARE(model.FormatCell(0, 3), QString());
    }

    void addItemPlacesRows()
    {
        CFileListModel model;
        model.AddItem(0, Entry("b"));
        model.AddItem(5, Entry("d")); // beyond the end appends
        model.AddItem(1, Entry("c"));
        model.AddItem(-1, Entry("e"));
        model.AddItem(0, Entry("a"));
        QCOMPARE(Names(model), QStringList({"a", "b", "c", "d", "e"}));
        for (int i = 0; i < model.GetItemCount(); ++i)
            QVERIFY(!model.GetCheck(i));
    }

    void nameComparisonFoldsOnlyAsciiLetters()
    {
        QCOMPARE(CFileListModel::CompareNames("abc", "ABC"), 0);
        QVERIFY(CFileListModel::CompareNames("a_b", "aB") < 0); // '_' (95) below 'b' (98)
        QVERIFY(CFileListModel::CompareNames("ab", "abc") < 0);
        QVERIFY(CFileListModel::CompareNames(QString::fromUtf8("\u00c9"), QString::fromUtf8("\u00e9")) != 0);
        FileListItem a{"ab", 1, 1};
        FileListItem b{"abc", 1, 1};
        QVERIFY(CFileListModel::CompareItems(a, b, CFileListModel::COL_NAME, true) < 0);
        QVERIFY(CFileListModel::CompareItems(a, b, CFileListModel::COL_NAME, false) > 0);
    }

    void eachColumnAlternatesOnItsOwn()
    {
        CFileListModel model;
        model.AddItem(0, Entry("mid", 5, FileTimeOf(2005, 1, 1, 0, 0, 0)));
        model.AddItem(1, Entry("old", 9, FileTimeOf(2001, 1, 1, 0, 0, 0)));
        model.AddItem(2, Entry("new", 1, FileTimeOf(2009, 1, 1, 0, 0, 0)));

        model.SortByColumn(CFileListModel::COL_DATE);
        QCOMPARE(Names(model), QStringList({"old", "mid", "new"}));
        QVERIFY(!CFileListModel::s_bDateAscending);
        model.SortByColumn(CFileListModel::COL_SIZE);
        QCOMPARE(Names(model), QStringList({"new", "mid", "old"}));
        model.SortByColumn(CFileListModel::COL_DATE); // the size sort in between changes nothing
        QCOMPARE(Names(model), QStringList({"new", "mid", "old"}));
        model.SortByColumn(CFileListModel::COL_SIZE);
        QCOMPARE(Names(model), QStringList({"old", "mid", "new"}));
    }

    void equalKeysKeepTheirOrderAcrossHeaderClicks()
    {
        // Enough rows that the sort is not a plain insertion sort, three sizes among them.
        CFileListModel model;
        for (int i = 0; i < 200; ++i)
            model.AddItem(model.GetItemCount(),
                          Entry(QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0')), quint32((i * 7) % 3)));
        model.SortByColumn(CFileListModel::COL_NAME); // ascending names: F000, F001, ...
        for (bool bAscending : {true, false, true}) {
            model.SortByColumn(CFileListModel::COL_SIZE);
            for (int i = 1; i < model.GetItemCount(); ++i) {
                const FileListItem &above = model.Item(i - 1);
                const FileListItem &below = model.Item(i);
                QVERIFY(bAscending ? above.m_nSize <= below.m_nSize : above.m_nSize >= below.m_nSize);
                if (above.m_nSize == below.m_nSize)
                    QVERIFY2(above.m_strName < below.m_strName,
                             qPrintable(above.m_strName + " above " + below.m_strName));
            }
        }
    }

    void flagsBelongToTheProcess()
    {
        CFileListModel empty;
        empty.SortByColumn(CFileListModel::COL_NAME); // nothing to move, still flips
        QVERIFY(!CFileListModel::s_bNameAscending);

        // A refilled model (or another instance) sorts by name descending next, from the
        // recorder's order.
        CFileListModel model;
        for (const char *pName : {"b", "c", "a"})
            model.AddItem(model.GetItemCount(), Entry(pName));
        model.SortByColumn(CFileListModel::COL_NAME);
        QCOMPARE(Names(model), QStringList({"c", "b", "a"}));
        model.RemoveAll();
        QCOMPARE(model.GetItemCount(), 0);
        QVERIFY(CFileListModel::s_bNameAscending);
    }

    void checksTravelWithTheirRows()
    {
        CFileListModel model;
        for (const char *pName : {"c", "a", "d", "b"})
            model.AddItem(model.GetItemCount(), Entry(pName));
        model.SetCheck(0, true); // c
        model.SetCheck(3, true); // b
        model.SetCheck(9, true); // out of range: ignored
        QStringList names{"stale"};
        model.CollectCheckedNames(names);
        QCOMPARE(names, QStringList({"c", "b"}));

        std::vector<int> order;
        model.SortByColumn(CFileListModel::COL_NAME, &order);
        QCOMPARE(order, std::vector<int>({1, 3, 0, 2}));
        model.CollectCheckedNames(names);
        QCOMPARE(names, QStringList({"b", "c"}));
        QCOMPARE(model.CheckedCount(), 2);

        model.SetAllChecks(true);
        model.SortByColumn(CFileListModel::COL_NAME);
        model.CollectCheckedNames(names);
        QCOMPARE(names, QStringList({"d", "c", "b", "a"}));
    }

    // The Qt adapter.

    void appendedRowsReachTheViewInBatches()
    {
        FileListTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < 500; ++i)
            model.AddItem(i, Entry(QStringLiteral("f%1").arg(i), quint32(i)));
        // Held back until the next screen refresh, but the rows themselves are there.
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.Rows().GetItemCount(), 500);
        QTRY_COMPARE(model.rowCount(), 500);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.FlushCount(), 1);
        QCOMPARE(model.data(model.index(499, 0)).toString(), QStringLiteral("f499"));

        // A change of the checks announces rows still pending first.
        model.AddItem(500, Entry("late"));
        model.SetAllChecks(true);
        QCOMPARE(model.rowCount(), 501);
        QCOMPARE(model.data(model.index(500, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));

        // An insertion among the rows is announced at once.
        model.AddItem(0, Entry("first"));
        QCOMPARE(model.rowCount(), 502);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("first"));

        model.AddItem(600, Entry("pending"));
        model.RemoveAll();
        QCOMPARE(model.rowCount(), 0);
        QTest::qWait(2 * FileListTableModel::FLUSH_INTERVAL_MS);
        QCOMPARE(model.rowCount(), 0); // no stale batch after emptying
    }

    void cellsChecksAndHeader()
    {
        FileListTableModel model;
        model.AddItem(0, Entry("A.IMG", 2048, FileTimeOf(2009, 3, 7, 14, 5, 9)));
        model.FlushPendingRows();
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("07/03/09 (14:05:09)"));
        QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("2k"));
        const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        for (int nColumn = 0; nColumn < 3; ++nColumn)
            QCOMPARE(model.data(model.index(0, nColumn), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                         Qt::AlignHorizontal_Mask,
                     alignments[nColumn]);
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(!model.data(model.index(0, 1), Qt::CheckStateRole).isValid());

        QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.Rows().GetCheck(0));
        QVERIFY(!model.setData(model.index(0, 2), Qt::Checked, Qt::CheckStateRole));
    }

    void sortKeepsTheCurrentRowOnItsItem()
    {
        FileListTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char *pName : {"c", "a", "b"})
            model.AddItem(model.Rows().GetItemCount(), Entry(pName));
        model.FlushPendingRows();
        QPersistentModelIndex current(model.index(0, 2)); // "c"
        model.SortByColumn(CFileListModel::COL_NAME);
        QCOMPARE(current.row(), 2);
        QCOMPARE(current.column(), 2);
        QCOMPARE(model.data(model.index(current.row(), 0)).toString(), QStringLiteral("c"));
    }
};

QTEST_MAIN(TestFileListModel)
#include "tst_filelistmodel.moc"
