// The pieces of orvoconnect-cli that do not need a recorder: listing texts, argument parsing,
// the progress line and the signal watcher.

#include "CliArguments.h"
#include "ListingFormat.h"
#include "ProgressBar.h"
#include "RecorderFileEntry.h"
#include "SignalWatcher.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

#include <atomic>
#include <csignal>
#include <thread>

namespace {

quint64 FileTimeOf(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMs = 0)
{
    return FileTime::FromDateTime(
        QDateTime(QDate(nYear, nMonth, nDay), QTime(nHour, nMinute, nSecond, nMs), QTimeZone::utc()));
}

RecorderFileEntry Entry(const QString &strName, quint32 nSize, quint64 nFileTime)
{
    RecorderFileEntry entry;
    entry.SetName(strName);
    entry.SetSizeLow(nSize);
    entry.SetLastWriteTime(nFileTime);
    return entry;
}

} // namespace

class TestCliParts final : public QObject
{
    Q_OBJECT

private slots:
    void dateTextsShowTheRecorderClockDayFirst()
    {
        QCOMPARE(ListingFormat::DateText(FileTimeOf(2009, 3, 7, 14, 5, 9)),
                 QStringLiteral("07/03/09 (14:05:09)"));
        QCOMPARE(ListingFormat::DateText(FileTimeOf(2000, 1, 1, 0, 0, 0)),
                 QStringLiteral("01/01/00 (00:00:00)"));
        // Fractions of a second are dropped, never rounded up into the next day.
        QCOMPARE(ListingFormat::DateText(FileTimeOf(1999, 12, 31, 23, 59, 59, 999)),
                 QStringLiteral("31/12/99 (23:59:59)"));
        QCOMPARE(ListingFormat::IsoDateText(FileTimeOf(1999, 12, 31, 23, 59, 59, 999)),
                 QStringLiteral("1999-12-31T23:59:59"));
        QCOMPARE(ListingFormat::IsoDateText(0), QStringLiteral("1601-01-01T00:00:00"));
        // FILETIMEs from 2^63 on lie past year 9999, where Qt's ISO writer gives up.
        QCOMPARE(ListingFormat::IsoDateText(quint64(1) << 63), QStringLiteral("30828-09-14T02:48:05"));
        QVERIFY(!ListingFormat::DateText(~quint64(0)).isEmpty());
    }

    void listingLinesAreTabSeparatedAndCannotBeForged()
    {
        const quint64 nTime = FileTimeOf(2009, 3, 7, 14, 5, 9);
        QCOMPARE(ListingFormat::Line(Entry(QStringLiteral("TREND01.DAT"), 4294967295u, nTime)),
                 QStringLiteral("TREND01.DAT\t07/03/09 (14:05:09)\t4294967295"));
        // A name with a line break or an escape sequence must not forge a line or drive
        // the terminal.
        QCOMPARE(ListingFormat::Line(Entry(QStringLiteral("a\nb\tc\x1b[2J"), 1, nTime)),
                 QStringLiteral("a?b?c?[2J\t07/03/09 (14:05:09)\t1"));
        QCOMPARE(ListingFormat::PrintableName(QStringLiteral("Ünïcode name.txt")),
                 QStringLiteral("Ünïcode name.txt"));
    }

    void recorderTextsCannotDriveTheTerminal()
    {
        QCOMPARE(ListingFormat::TerminalText(QStringLiteral("PR-8\r\nFirmware\t3.12\r\n")),
                 QStringLiteral("PR-8\nFirmware\t3.12"));
        QCOMPARE(ListingFormat::TerminalText(QStringLiteral("\x1b[2J\x1b]0;x\x07id")),
                 QStringLiteral("?[2J?]0;x?id"));
    }

    void jsonListingKeepsOrderAndExactNames()
    {
        const QList<RecorderFileEntry> entries = {
            Entry(QStringLiteral("z \"quoted\"\n.dat"), 70000, FileTimeOf(2009, 3, 7, 14, 5, 9)),
            Entry(QStringLiteral("a.dat"), 0, FileTimeOf(2021, 12, 1, 8, 0, 0)),
        };
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(ListingFormat::Json(entries), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray array = document.array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(array.at(0).toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("z \"quoted\"\n.dat"));
        QCOMPARE(array.at(0).toObject().value(QStringLiteral("modified")).toString(),
                 QStringLiteral("2009-03-07T14:05:09"));
        QCOMPARE(array.at(0).toObject().value(QStringLiteral("size")).toInteger(), 70000);
        QCOMPARE(array.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("a.dat"));
        QCOMPARE(ListingFormat::Json({}).trimmed(), QByteArray("[\n]"));
    }

    void argumentsSplitIntoOptionsAndOperands()
    {
        const QStringList flags = {QStringLiteral("--all"), QStringLiteral("--overwrite")};
        const QStringList valued = {QStringLiteral("--to")};
        CliArguments parsed;
        QString strError;
        QVERIFY(parsed.Parse({"a", "--to", "dir", "--overwrite", "b", "--", "--all", "-"}, flags, valued,
                             &strError));
        QCOMPARE(parsed.Value(QStringLiteral("--to")), QStringLiteral("dir"));
        QVERIFY(parsed.Has(QStringLiteral("--overwrite")));
        QVERIFY(!parsed.Has(QStringLiteral("--all")));
        QCOMPARE(parsed.Operands(), QStringList({"a", "b", "--all", "-"}));

        QVERIFY(parsed.Parse({"--to=x=y"}, flags, valued, &strError));
        QCOMPARE(parsed.Value(QStringLiteral("--to")), QStringLiteral("x=y"));

        QVERIFY(!parsed.Parse({"--to"}, flags, valued, &strError));
        QVERIFY(strError.contains(QStringLiteral("needs a value")));
        QVERIFY(!parsed.Parse({"--bogus"}, flags, valued, &strError));
        QVERIFY(strError.contains(QStringLiteral("--bogus")));
        QVERIFY(!parsed.Parse({"--all=1"}, flags, valued, &strError));
    }

    void progressLineShowsShareOfTheTotal()
    {
        QCOMPARE(ProgressBar::Render(QStringLiteral("f"), 0, 0),
                 QStringLiteral("f [                              ]   0% 0.0/0.0 kB"));
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 1048576, 2097152)
                    .startsWith(QStringLiteral("f [###############               ]  50% 1.0/2.0 MB")));
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 4294967295u, 4294967295u)
                    .contains(QStringLiteral("100%")));
        // A recorder that reports more than the total does not overflow the bar.
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 200, 100).contains(QStringLiteral("100%")));
    }

    void progressLineEndsFullAndFitsTheTerminal()
    {
        // A finished transfer of an empty file is complete, not at 0%; small files in kB.
        QCOMPARE(ProgressBar::Render(QStringLiteral("e"), 0, 0, 0, true),
                 QStringLiteral("e [##############################] 100% 0.0/0.0 kB"));
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 1536, 1536).endsWith(QStringLiteral("1.5/1.5 kB")));

        // A name wider than the terminal is cut in its middle, keeping its start and its
        // extension, so the line never reaches the last column (where it would wrap).
        const QString strLong =
            QStringLiteral("Very long archive name ").repeated(8) + QStringLiteral(".BIN");
        for (int nColumns : {80, 120}) {
            const QString strLine = ProgressBar::Render(strLong, 10, 100, nColumns);
            QCOMPARE(strLine.size(), nColumns - 1);
            QVERIFY2(strLine.startsWith(QStringLiteral("Very long")), qPrintable(strLine));
            QVERIFY2(strLine.contains(QStringLiteral("...")), qPrintable(strLine));
            QVERIFY2(strLine.contains(QStringLiteral(".BIN [##")), qPrintable(strLine));
        }
        // A short name is left alone; a terminal too narrow for the bar still gets one line.
        QCOMPARE(ProgressBar::Render(QStringLiteral("A.DAT"), 0, 0, 80),
                 ProgressBar::Render(QStringLiteral("A.DAT"), 0, 0));
        QCOMPARE(ProgressBar::Render(strLong, 10, 100, 40).size(), 39);
    }

    void signalReachesCallbackOnAnotherThread()
    {
        struct sigaction before
        {
        };
        ::sigaction(SIGINT, nullptr, &before);
        std::atomic<int> nSignal{0};
        std::atomic<bool> bOtherThread{false};
        const std::thread::id mainId = std::this_thread::get_id();
        {
            SignalWatcher watcher([&](int n) {
                bOtherThread = std::this_thread::get_id() != mainId;
                nSignal = n;
            });
            QVERIFY(watcher.IsActive());
            std::raise(SIGTERM);
            QTRY_COMPARE(nSignal.load(), SIGTERM);
            QVERIFY(bOtherThread.load());
            nSignal = 0;
            std::raise(SIGINT);
            QTRY_COMPARE(nSignal.load(), SIGINT);
        }
        // Once the watcher is gone the previous handler is back.
        struct sigaction current
        {
        };
        ::sigaction(SIGINT, nullptr, &current);
        QVERIFY(current.sa_handler == before.sa_handler);
    }
};

QTEST_GUILESS_MAIN(TestCliParts)
#include "tst_CliParts.moc"
