// The pieces of orvoconnect-cli that do not need a recorder: listing texts, argument parsing,
// the progress line, the signal watcher, the udev rule, the texts of watch's notices, and the
// completion and manual page against the command table.

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ProgressBar.h"
#include "cli/ResultText.h"
#include "cli/SignalWatcher.h"
#include "cli/UdevRule.h"
#include "cli/WatchNotices.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <atomic>
#include <csignal>
#include <ctime>
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

QByteArray ReadBack(FILE *pFile)
{
    std::fflush(pFile);
    std::rewind(pFile);
    QByteArray data;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pFile)) > 0;)
        data.append(buffer, qsizetype(n));
    return data;
}

// udev-rule on a machine made up for the test: whether we are root, and the udevadm runs it asks for.
struct UdevRun
{
    bool bRoot = false;
    QStringList calls;
    QString strUdevadmFailure;
    QTemporaryDir dir;
    int nStatus = -1;
    QByteArray out, err;

    QString RulesFile() const { return dir.filePath(QStringLiteral("rules.d/70-orvoconnect.rules")); }

    void Run(const QStringList &args)
    {
        UdevRule::System system;
        system.isRoot = [this] { return bRoot; };
        system.groupExists = [](const QString &strGroup) { return strGroup == QLatin1String("plugdev"); };
        system.strRulesFile = RulesFile();
        system.udevadm = [this](const QStringList &udevadmArgs) {
            calls.append(udevadmArgs.join(QLatin1Char(' ')));
            return strUdevadmFailure;
        };
        FILE *pOut = std::tmpfile();
        FILE *pErr = std::tmpfile();
        {
            CliContext context(QStringLiteral("usb"), pOut, pErr);
            nStatus = RunUdevRuleOn(context, args, system);
        }
        out = ReadBack(pOut);
        err = ReadBack(pErr);
        std::fclose(pOut);
        std::fclose(pErr);
    }
};

QStringList RuleLines(const QString &strText)
{
    QStringList lines;
    for (const QString &strLine : strText.split(u'\n', Qt::SkipEmptyParts)) {
        if (!strLine.startsWith(u'#'))
            lines.append(strLine);
    }
    return lines;
}

// The options a command's row names in its synopsis and help ("--to", "--dry-run"), in order.
QStringList OptionsOf(const CliCommand &command)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--[a-z][a-z-]*[a-z]"));
    const QString strText = QLatin1String(command.pszSynopsis) + u'\n' + QLatin1String(command.pszHelp);
    QStringList options;
    for (const QRegularExpressionMatch &match : option.globalMatch(strText)) {
        if (!options.contains(match.captured()))
            options.append(match.captured());
    }
    return options;
}

QString SourceText(const char *pszPath)
{
    QFile file(QStringLiteral(ORVO_SOURCE_DIR "/") + QLatin1String(pszPath));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// What the bash completion offers for the words typed, the last being the one completed. The
// script runs in a plain bash; the helpers of bash-completion it calls are reduced to what the
// offers need, so the test needs no bash-completion installed.
QStringList Completions(const QStringList &words)
{
    static const QString strScript = QStringLiteral(
        "_init_completion() { words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD; cur=${words[cword]};"
        " prev=${words[cword - 1]}; }\n"
        "_filedir() { :; }\n"
        "__ltrim_colon_completions() { :; }\n"
        "compopt() { :; }\n"
        "source \"$1\" || exit 1\n"
        "shift\n"
        "COMP_WORDS=(\"$@\")\n"
        "COMP_CWORD=$(($# - 1))\n"
        "_orvoconnect_cli\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
    QProcess bash;
    bash.start(QStringLiteral("bash"),
               QStringList{QStringLiteral("-c"), strScript, QStringLiteral("bash"),
                           QStringLiteral(ORVO_SOURCE_DIR "/resources/bash-completion/orvoconnect-cli")} +
                   words);
    if (!bash.waitForFinished(10000) || bash.exitCode() != 0)
        return {QStringLiteral("(bash failed: %1)").arg(QString::fromUtf8(bash.readAllStandardError()))};
    return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Each command's entry in the manual page's COMMANDS section, from the item whose heading starts
// with its name to the next such item, with dashes and font changes plain ("\fB\-\-to" reads
// "--to"). The option items inside an entry (archive's) stay part of it.
QMap<QString, QString> ManualEntries(const QString &strPage, const QStringList &names)
{
    QString strPlain = strPage;
    strPlain.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    strPlain.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    static const QRegularExpression heading(QStringLiteral("^\\.B[IR]? +\"?([\\w-]+)"));
    const QStringList lines = strPlain.split(u'\n');
    QMap<QString, QString> entries;
    QString strCurrent;
    for (qsizetype i = lines.indexOf(QStringLiteral(".SH COMMANDS")) + 1; i > 0 && i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String(".SH ")))
            break;
        if (lines[i] == QLatin1String(".TP") && i + 1 < lines.size()) {
            const QString strName = heading.match(lines[i + 1]).captured(1);
            if (names.contains(strName))
                strCurrent = strName;
        }
        if (!strCurrent.isEmpty())
            entries[strCurrent] += lines[i] + u'\n';
    }
    return entries;
}

bool NamesOption(const QString &strText, const QString &strOption)
{
    return strText.contains(QRegularExpression(
        QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(QRegularExpression::escape(strOption))));
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

    // A card date is one instant of this computer's zone, the same whether a file is written or
    // an archived one is compared: a time the clocks skip moves forward by the skip, a time they
    // show twice is the later one, and a time before or after a change is itself.
    void cardDatesAreOneInstantOfTheHostZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("card");
        QTest::addColumn<QDateTime>("instant");
        QTest::addColumn<QString>("local");
        const auto utc = [](int nMonth, int nDay, int nHour, int nMinute, int nSecond = 0) {
            return QDateTime(QDate(2026, nMonth, nDay), QTime(nHour, nMinute, nSecond), QTimeZone::utc());
        };
        QTest::newRow("before the gap") << QByteArray("Europe/Berlin") << utc(3, 29, 1, 59, 59)
                                        << utc(3, 29, 0, 59, 59) << "2026-03-29 01:59:59";
        QTest::newRow("gap starts") << QByteArray("Europe/Berlin") << utc(3, 29, 2, 0) << utc(3, 29, 1, 0)
                                    << "2026-03-29 03:00:00";
        QTest::newRow("in the gap") << QByteArray("Europe/Berlin") << utc(3, 29, 2, 30) << utc(3, 29, 1, 30)
                                    << "2026-03-29 03:30:00";
        QTest::newRow("gap ends") << QByteArray("Europe/Berlin") << utc(3, 29, 2, 59, 59)
                                  << utc(3, 29, 1, 59, 59) << "2026-03-29 03:59:59";
        QTest::newRow("after the gap")
            << QByteArray("Europe/Berlin") << utc(3, 29, 3, 0) << utc(3, 29, 1, 0) << "2026-03-29 03:00:00";
        QTest::newRow("shown twice") << QByteArray("Europe/Berlin") << utc(10, 25, 2, 30)
                                     << utc(10, 25, 1, 30) << "2026-10-25 02:30:00";
        QTest::newRow("west of UTC") << QByteArray("America/New_York") << utc(3, 8, 2, 30) << utc(3, 8, 7, 30)
                                     << "2026-03-08 03:30:00";
        QTest::newRow("shown twice, west of UTC") << QByteArray("America/New_York") << utc(11, 1, 1, 30)
                                                  << utc(11, 1, 6, 30) << "2026-11-01 01:30:00";
        QTest::newRow("half-hour gap") << QByteArray("Australia/Lord_Howe") << utc(10, 4, 2, 10)
                                       << utc(10, 3, 15, 40) << "2026-10-04 02:40:00";
    }

    void cardDatesAreOneInstantOfTheHostZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, card);
        QFETCH(QDateTime, instant);
        QFETCH(QString, local);
        const QByteArray oldZone = qgetenv("TZ");
        const bool bHadZone = qEnvironmentVariableIsSet("TZ");
        const auto restore = qScopeGuard([&] {
            if (bHadZone)
                qputenv("TZ", oldZone);
            else
                qunsetenv("TZ");
            ::tzset();
        });
        qputenv("TZ", zone);
        ::tzset();

        const QDateTime mapped = FileTime::ToLocalDateTime(FileTime::FromDateTime(card));
        QVERIFY(mapped.isValid());
        QCOMPARE(mapped.toSecsSinceEpoch(), instant.toSecsSinceEpoch());
        QCOMPARE(mapped.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), local);
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

    void progressLineShowsShareOfTheTotalAndFitsTheTerminal()
    {
        QCOMPARE(ProgressBar::Render(QStringLiteral("f"), 0, 0),
                 QStringLiteral("f [                              ]   0% 0.0/0.0 kB"));
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 1048576, 2097152)
                    .startsWith(QStringLiteral("f [###############               ]  50% 1.0/2.0 MB")));
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 4294967295u, 4294967295u)
                    .contains(QStringLiteral("100%")));
        // A recorder that reports more than the total does not overflow the bar.
        QVERIFY(ProgressBar::Render(QStringLiteral("f"), 200, 100).contains(QStringLiteral("100%")));
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

    void udevRuleGrantsTheSeatOrAGroupOneLinePerPair()
    {
        const UsbIds ids({{0x1234, 0xabcd}, {0x0001, 0x0002}});
        QCOMPARE(RuleLines(UdevRule::Text(ids, {})),
                 QStringList({"SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"1234\", "
                              "ATTR{idProduct}==\"abcd\", TAG+=\"uaccess\"",
                              "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"0001\", "
                              "ATTR{idProduct}==\"0002\", TAG+=\"uaccess\""}));
        const QStringList group = RuleLines(UdevRule::Text(ids, QStringLiteral("plugdev")));
        QCOMPARE(group.size(), 2);
        for (const QString &strLine : group) {
            QVERIFY2(strLine.endsWith(QStringLiteral(", GROUP=\"plugdev\", MODE=\"0660\"")),
                     qPrintable(strLine));
            QVERIFY(!strLine.contains(QStringLiteral("uaccess")));
        }
        // The name goes into the rule between quotes as it is.
        QVERIFY(UdevRule::IsValidGroupName(QStringLiteral("plugdev")));
        for (const char *pszBad : {"", "a\"b", "-x", "a b", "a,b", "abcdefghijklmnopqrstuvwxyz0123456"})
            QVERIFY2(!UdevRule::IsValidGroupName(QString::fromLatin1(pszBad)), pszBad);
    }

    void udevRuleInstallRefusesWithoutRootOrPairs()
    {
        // Not root: says how, with the pairs, and changes nothing.
        UdevRun user;
        user.Run({"--install", "1234:5678"});
        QCOMPARE(user.nStatus, int(RESULT_HOST_IO_ERROR));
        QVERIFY2(user.err.contains("sudo orvoconnect-cli udev-rule --install 1234:5678"), user.err);
        QVERIFY(!QFile::exists(user.RulesFile()));
        QVERIFY(user.calls.isEmpty());

        // Root with no pairs named would use root's settings, which are not the user's.
        UdevRun root;
        root.bRoot = true;
        root.Run({"--install"});
        QCOMPARE(root.nStatus, EXIT_USAGE);
        root.Run({"--install", "--group", "nosuchgroup", "1234:5678"});
        QCOMPARE(root.nStatus, EXIT_USAGE);
        root.Run({"--install", "1234:zz"});
        QCOMPARE(root.nStatus, EXIT_USAGE);
        QVERIFY(!QFile::exists(root.RulesFile()));
        QVERIFY(root.calls.isEmpty());
    }

    void udevRuleInstallWritesTheFileAndAppliesIt()
    {
        UdevRun root;
        root.bRoot = true;
        root.Run({"--install", "--group", "plugdev", "1234:5678", "1234:5679"});
        QCOMPARE(root.nStatus, 0);
        QVERIFY2(root.out.contains("1234:5678, 1234:5679"), root.out);
        QFile file(root.RulesFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 UdevRule::Text(UsbIds({{0x1234, 0x5678}, {0x1234, 0x5679}}), QStringLiteral("plugdev")));
        QCOMPARE(root.calls, QStringList({"control --reload-rules",
                                          "trigger --action=change --settle --subsystem-match=usb "
                                          "--attr-match=idVendor=1234 --attr-match=idProduct=5678",
                                          "trigger --action=change --settle --subsystem-match=usb "
                                          "--attr-match=idVendor=1234 --attr-match=idProduct=5679"}));

        // udev not answering is a failure, though the file stays for the next plug-in.
        root.calls.clear();
        root.strUdevadmFailure = QStringLiteral("udevadm cannot be started");
        root.Run({"--install", "1234:5678"});
        QCOMPARE(root.nStatus, int(RESULT_HOST_IO_ERROR));
        QCOMPARE(root.calls.size(), 1);
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("TAG+=\"uaccess\""));
    }

    // A command or an option in the table that the completion does not offer or the manual page
    // does not describe is one a user cannot find.
    void completionAndManualNameEveryCommandAndOption()
    {
        QStringList names;
        for (const CliCommand &command : CliCommands())
            names.append(QLatin1String(command.pszName));
        const QMap<QString, QString> entries = ManualEntries(SourceText("docs/man/orvoconnect-cli.1"), names);
        QVERIFY(!entries.isEmpty());
        const QStringList offered = Completions({QStringLiteral("orvoconnect-cli"), QString()});
        QStringList missing;
        for (const CliCommand &command : CliCommands()) {
            const QString strName = QLatin1String(command.pszName);
            if (!offered.contains(strName))
                missing.append(QStringLiteral("completion: ") + strName);
            if (!entries.contains(strName))
                missing.append(QStringLiteral("manual: ") + strName);
            const QStringList options =
                Completions({QStringLiteral("orvoconnect-cli"), strName, QStringLiteral("--")});
            for (const QString &strOption : OptionsOf(command)) {
                if (!options.contains(strOption))
                    missing.append(QStringLiteral("completion: %1 %2").arg(strName, strOption));
                if (!NamesOption(entries.value(strName), strOption))
                    missing.append(QStringLiteral("manual: %1 %2").arg(strName, strOption));
            }
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("not named: ") + missing.join(QStringLiteral(", "))));
    }

    void watchFolderShowsTheHomeFolderAsTilde_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("shown");
        QTest::newRow("inside") << "/home/al/RecorderArchive/"
                                << "~/RecorderArchive";
        QTest::newRow("home itself") << "/home/al/"
                                     << "~";
        QTest::newRow("a longer name") << "/home/alice/RecorderArchive"
                                       << "/home/alice/RecorderArchive";
        QTest::newRow("elsewhere") << "/srv/archive/"
                                   << "/srv/archive";
    }

    void watchFolderShowsTheHomeFolderAsTilde()
    {
        QFETCH(QString, dir);
        QFETCH(QString, shown);
        QCOMPARE(WatchNotices::ShownFolder(dir, QStringLiteral("/home/al")), shown);
    }

    void watchNoticeSaysWhatFailedAndWhatWasDeleted_data()
    {
        QTest::addColumn<int>("downloaded");
        QTest::addColumn<int>("keptBeside");
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("status");
        QTest::newRow("nothing new") << 0 << 0 << 0 << 0 << QString() << QString()
                                     << "nothing new from SN-4711 at 14:02";
        QTest::newRow("kept beside counts") << 11 << 1 << 0 << 0 << "Recorder files archived"
                                            << "Archived 12 new files from SN-4711 into ~/RecorderArchive."
                                            << "archived 12 files from SN-4711 at 14:02";
        QTest::newRow("failed only") << 0 << 0 << 2 << 0 << "Recorder files not archived"
                                     << "2 files of SN-4711 could not be archived into ~/RecorderArchive."
                                     << "2 files of SN-4711 failed at 14:02";
        QTest::newRow("all three")
            << 3 << 0 << 1 << 3 << "Recorder files not archived"
            << "Archived 3 new files from SN-4711 into ~/RecorderArchive. 1 file could not be archived. "
               "3 archived files deleted from the recorder."
            << "archived 3 files from SN-4711, 1 failed, 3 deleted at 14:02";
        QTest::newRow("deleted only") << 0 << 0 << 0 << 1 << "Archived files deleted from the recorder"
                                      << "Deleted 1 file from SN-4711, already archived in ~/RecorderArchive."
                                      << "deleted 1 archived file from SN-4711 at 14:02";
    }

    void watchNoticeSaysWhatFailedAndWhatWasDeleted()
    {
        QFETCH(int, downloaded);
        QFETCH(int, keptBeside);
        QFETCH(int, failed);
        QFETCH(int, deleted);
        Archive::Summary summary;
        summary.bDecided = true;
        summary.nDownloaded = downloaded;
        summary.nKeptBeside = keptBeside;
        summary.nFailed = failed;
        summary.nDeleted = deleted;
        summary.nAlreadyArchived = 5;
        const QString strName = WatchNotices::RecorderName(summary, QStringLiteral("fallback"));
        QCOMPARE(strName, QStringLiteral("fallback"));
        summary.strRecorder = QStringLiteral("SN-4711");
        const QString strRecorder = WatchNotices::RecorderName(summary, QStringLiteral("fallback"));
        const WatchNotices::Notice notice =
            WatchNotices::PassNotice(summary, strRecorder, QStringLiteral("~/RecorderArchive"));
        QTEST(notice.strSummary, "summary");
        QTEST(notice.strBody, "body");
        QTEST(WatchNotices::PassStatus(summary, strRecorder, QTime(14, 2)), "status");
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
