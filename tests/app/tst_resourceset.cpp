#include "app/LanguageChooser.h"
#include "app/LanguageCodes.h"
#include "app/LanguageFiles.h"
#include "app/ResourceSet.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "resources/BuiltInEnglish.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <thread>
#include <vector>

using namespace StringId;

namespace {

const QString kQmDir = QStringLiteral(ORVO_QM_DIR);
const QString kPartialQmDir = QStringLiteral(ORVO_PARTIAL_QM_DIR);

bool CopyLanguageFile(const QString &strFrom, const QString &strTo)
{
    QFile::remove(strTo);
    return QFile::copy(strFrom, strTo);
}

struct TsMessage
{
    QString strTranslation;
    QString strType; // "unfinished", "vanished", ... or empty when finished
};

// The messages of an id-based translation source, by identifier.
QHash<QString, TsMessage> ReadTsFile(const QString &strPath, QString &strError)
{
    QHash<QString, TsMessage> messages;
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        strError = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString strId;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("message")) {
            strId = xml.attributes().value("id").toString();
            if (strId.isEmpty() || messages.contains(strId))
                strError = QStringLiteral("message without id or repeated id '%1'").arg(strId);
        } else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
            TsMessage message;
            message.strType = xml.attributes().value("type").toString();
            message.strTranslation = xml.readElementText();
            messages.insert(strId, message);
        }
    }
    if (xml.hasError())
        strError = xml.errorString();
    return messages;
}

QStringList Placeholders(const QString &strText)
{
    QStringList found;
    for (qsizetype i = strText.indexOf(u'%'); i >= 0 && i + 1 < strText.size();
         i = strText.indexOf(u'%', i + 2))
        found << strText.mid(i, 2);
    return found;
}

} // namespace

class TestResourceSet final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void builtInSetHoldsTheEnglishTable();
    void languageSettingChoosesTheSet_data();
    void languageSettingChoosesTheSet();
    void explicitChoiceWithMissingFileFallsBackToEnglish();
    void programFolderIsSearchedBeforeTheInstalledFolder();
    void unreadableLanguageFileGivesEnglish();
    void filesAreNamedAfterTheProgram();
    void identifierMissingFromASetIsEmpty();

    void automaticCandidatesFollowTheOrder_data();
    void automaticCandidatesFollowTheOrder();
    void automaticChoiceTakesTheFirstFileThatLoads();
    void localeNamesFromTheEnvironmentAndSystemFiles();
    void windowsAbbreviations_data();
    void windowsAbbreviations();

    void activeSetIsReadableFromWorkerThreads();

    // Every language set is complete: the identifiers of the built-in English set, each translated,
    // with the same placeholders, line breaks (which split status prompts from tooltips) and
    // accelerator markers.
    void languageSetIsComplete_data();
    void languageSetIsComplete();

private:
    QTemporaryDir m_programDir; // stands for the program's own folder
    LanguageFiles Files() const
    {
        return LanguageFiles(QStringLiteral("orvoconnect"), {m_programDir.path(), kQmDir});
    }
};

void TestResourceSet::init()
{
    QVERIFY(m_programDir.isValid());
    const auto entries = QDir(m_programDir.path()).entryList(QDir::Files);
    for (const QString &strName : entries)
        QVERIFY(QFile::remove(m_programDir.filePath(strName)));
}

void TestResourceSet::builtInSetHoldsTheEnglishTable()
{
    const ResourceSet set;
    QVERIFY(set.IsBuiltIn());
    QCOMPARE(set.Text(IDS_APP_TITLE), QStringLiteral("OrvoConnect"));
    QCOMPARE(set.Text(IDS_COMM_FAILED), QStringLiteral("Error: Communication failed (error code: 103)"));
    QCOMPARE(
        set.Text(IDS_NO_FILES_SELECTED),
        QStringLiteral("No files has been selected on the list. \nYou have to check one file at least."));
    QCOMPARE(set.Text(IDS_FILE_DELETED), QStringLiteral("File %s deleted"));
    QCOMPARE(set.Text(IDS_TOOLBAR_FIRST + 5), QStringLiteral("$Separator"));
    QCOMPARE(set.Text(IDS_MENU_FILE_EXIT), QStringLiteral("E&xit"));
    QCOMPARE(set.Text(IDS_DLG_GETFILE_CAPTION), QStringLiteral("Downloading files from recorder"));
    QVERIFY(set.Text(100).isEmpty()); // the table has no string 100
    QVERIFY(set.Text(0xFFFFFFFFu).isEmpty());
}

void TestResourceSet::languageSettingChoosesTheSet_data()
{
    QTest::addColumn<int>("nLanguage");
    QTest::addColumn<QString>("strUserLocale");
    QTest::addColumn<QString>("strCode");  // empty: the built-in set
    QTest::addColumn<QString>("strClose"); // empty: the English text
    const struct
    {
        const char *pszRow;
        int nLanguage;
        const char *pszLocale, *pszCode, *pszClose;
    } rows[] = {{"0 on a US English system", 0, "en_US.UTF-8", "", ""},
                {"0 on a Polish system", 0, "pl_PL.UTF-8", "PLK", "Zamknij"},
                {"1 on a Polish system", 1, "pl_PL.UTF-8", "", ""},
                {"2", 2, "en_US", "FRA", "Fermer"},
                {"3", 3, "en_US", "PLK", "Zamknij"},
                {"4", 4, "en_US", "RUS", "Закрыть"},
                {"5", 5, "en_US", "ITA", "Chiudi"},
                {"9 on an Italian system", 9, "it_IT", "", ""},
                {"-1", -1, "en_US", "", ""}};
    for (const auto &row : rows)
        QTest::newRow(row.pszRow) << row.nLanguage << QString::fromLatin1(row.pszLocale)
                                  << QString::fromLatin1(row.pszCode) << QString::fromUtf8(row.pszClose);
}

void TestResourceSet::languageSettingChoosesTheSet()
{
    QFETCH(int, nLanguage);
    QFETCH(QString, strUserLocale);
    QFETCH(QString, strCode);
    QFETCH(QString, strClose);

    const LanguageChooser chooser(Files());
    auto pSet = chooser.ApplyLanguageSetting(nLanguage, chooser.ChooseAutomatic(strUserLocale, QString()));
    QVERIFY(pSet);
    QCOMPARE(pSet->LanguageCode(), strCode);
    QCOMPARE(pSet->Text(IDS_CLOSE), strClose.isEmpty() ? TestTexts().Text(IDS_CLOSE) : strClose);
}

void TestResourceSet::explicitChoiceWithMissingFileFallsBackToEnglish()
{
    // Polish chosen, its file absent, the user's language Polish: the automatic choice (which
    // found nothing either) must not come back, and with a Polish file elsewhere it is discarded.
    const LanguageChooser empty(LanguageFiles(QStringLiteral("orvoconnect"), {m_programDir.path()}));
    auto pSet = empty.ApplyLanguageSetting(3, empty.ChooseAutomatic(QStringLiteral("pl_PL"), QString()));
    QVERIFY(pSet->IsBuiltIn());

    const LanguageChooser full(Files());
    auto pAutomatic = full.ChooseAutomatic(QStringLiteral("pl_PL"), QString());
    QCOMPARE(pAutomatic->LanguageCode(), QStringLiteral("PLK"));
    QVERIFY(empty.ApplyLanguageSetting(3, std::move(pAutomatic))->IsBuiltIn());
}

void TestResourceSet::programFolderIsSearchedBeforeTheInstalledFolder()
{
    QVERIFY(
        CopyLanguageFile(kPartialQmDir + "/orvoconnectPLK.qm", m_programDir.filePath("orvoconnectPLK.qm")));
    auto pSet = ResourceSet::LoadLanguage(QStringLiteral("PLK"), Files());
    QVERIFY(pSet);
    QCOMPARE(pSet->FilePath(), m_programDir.filePath("orvoconnectPLK.qm"));
    QCOMPARE(pSet->Text(IDS_CLOSE), QStringLiteral("Zamknij (częściowy zestaw)"));

    // Not in the program's folder: the installed one.
    auto pFrench = ResourceSet::LoadLanguage(QStringLiteral("FRA"), Files());
    QVERIFY(pFrench);
    QCOMPARE(pFrench->FilePath(), QDir(kQmDir).absoluteFilePath("orvoconnectFRA.qm"));
}

void TestResourceSet::unreadableLanguageFileGivesEnglish()
{
    QVERIFY(TestFiles::Write(m_programDir.filePath("orvoconnectRUS.qm"), "this is not a translation file"));
    QVERIFY(!ResourceSet::LoadLanguage(QStringLiteral("RUS"), Files()));
    QVERIFY(TestFiles::Write(m_programDir.filePath("orvoconnectITA.qm"), QByteArray()));
    QVERIFY(!ResourceSet::LoadLanguage(QStringLiteral("ITA"), Files()));

    // A folder with the file's name is not a file.
    QVERIFY(QDir(m_programDir.path()).mkdir("orvoconnectFRA.qm"));
    auto pSet = ResourceSet::LoadLanguage(QStringLiteral("FRA"), Files());
    QVERIFY(pSet); // found in the installed folder instead
    QVERIFY(QDir(m_programDir.path()).rmdir("orvoconnectFRA.qm"));

    const LanguageChooser chooser(Files());
    QVERIFY(chooser.ApplyLanguageSetting(4, nullptr)->IsBuiltIn());
}

void TestResourceSet::filesAreNamedAfterTheProgram()
{
    QCOMPARE(LanguageFiles::BaseNameOf("/usr/bin/orvoconnect"), QStringLiteral("orvoconnect"));
    QCOMPARE(LanguageFiles::BaseNameOf("/opt/x/Recorder.Tool.bin"), QStringLiteral("Recorder.Tool"));

    QVERIFY(CopyLanguageFile(kQmDir + "/orvoconnectITA.qm", m_programDir.filePath("recorderITA.qm")));
    const LanguageChooser renamed(LanguageFiles(QStringLiteral("recorder"), {m_programDir.path()}));
    QCOMPARE(renamed.ApplyLanguageSetting(5, nullptr)->LanguageCode(), QStringLiteral("ITA"));
    QVERIFY(renamed.ApplyLanguageSetting(2, nullptr)->IsBuiltIn()); // orvoconnectFRA.qm is not its file

    // A moved installation looks in its own share folder before the one it was built for.
    const QStringList folders = LanguageFiles::FoldersForProgramIn(QStringLiteral("/opt/moved/bin"));
    QCOMPARE(folders.value(0), QStringLiteral("/opt/moved/bin"));
    QCOMPARE(folders.value(1), QStringLiteral("/opt/moved/share/orvoconnect/translations"));
}

void TestResourceSet::identifierMissingFromASetIsEmpty()
{
    auto pSet = ResourceSet::LoadFile(QStringLiteral("PLK"), kPartialQmDir + "/orvoconnectPLK.qm");
    QVERIFY(pSet);
    QCOMPARE(pSet->Text(IDS_APP_TITLE), QStringLiteral("OrvoConnect"));
    QVERIFY(pSet->Text(IDS_COMM_FAILED).isEmpty()); // not looked up in English
    QVERIFY(pSet->Text(IDS_MENU_FILE).isEmpty());

    SetActiveTextSource(pSet.get());
    QVERIFY(LoadText(IDS_READY).isEmpty());
    QCOMPARE(LoadText(IDS_CLOSE), QStringLiteral("Zamknij (częściowy zestaw)"));
    SetActiveTextSource(nullptr);
    QVERIFY(LoadText(IDS_CLOSE).isEmpty());
}

void TestResourceSet::automaticCandidatesFollowTheOrder_data()
{
    QTest::addColumn<QString>("strUser");
    QTest::addColumn<QString>("strSystem");
    QTest::addColumn<QStringList>("codes");

    const char *const rows[][4] = {
        {"variant then primary, user first", "fr_CA.UTF-8", "it_IT.UTF-8", "FRC FRA ITA ITA LOC"},
        {"British user on a German system", "en_GB", "de_AT.UTF-8@euro", "ENG ENU DEA DEU LOC"},
        {"language without territory", "pl", "ru", "PLK PLK RUS RUS LOC"},
        {"unknown variant keeps its primary", "fr_SN", "", "FRA LOC"},
        {"C and POSIX give nothing", "C.UTF-8", "POSIX", "LOC"},
        {"rubbish gives nothing", "../../etc", "x", "LOC"}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2])
                              << QString::fromLatin1(row[3]).split(u' ');
}

void TestResourceSet::automaticCandidatesFollowTheOrder()
{
    QFETCH(QString, strUser);
    QFETCH(QString, strSystem);
    QFETCH(QStringList, codes);
    QCOMPARE(LanguageChooser::AutomaticCandidates(strUser, strSystem), codes);
}

void TestResourceSet::automaticChoiceTakesTheFirstFileThatLoads()
{
    const LanguageChooser chooser(Files());
    // User language without a file: the system's.
    QCOMPARE(chooser.ChooseAutomatic("de_DE", "ru_RU.UTF-8")->LanguageCode(), QStringLiteral("RUS"));
    // A variant without a file falls to its primary language before the system's.
    QCOMPARE(chooser.ChooseAutomatic("fr_CA", "it_IT")->LanguageCode(), QStringLiteral("FRA"));
    // A variant with its own file wins over the primary language.
    QVERIFY(CopyLanguageFile(kQmDir + "/orvoconnectPLK.qm", m_programDir.filePath("orvoconnectFRC.qm")));
    QCOMPARE(chooser.ChooseAutomatic("fr_CA", "it_IT")->LanguageCode(), QStringLiteral("FRC"));
    // Nothing matches: "LOC" if present, else English.
    QVERIFY(chooser.ChooseAutomatic("en_US", "en_US")->IsBuiltIn());
    QVERIFY(CopyLanguageFile(kQmDir + "/orvoconnectITA.qm", m_programDir.filePath("orvoconnectLOC.qm")));
    auto pLoc = chooser.ChooseAutomatic("en_US", "");
    QCOMPARE(pLoc->LanguageCode(), QStringLiteral("LOC"));
    QCOMPARE(pLoc->Text(IDS_CLOSE), QStringLiteral("Chiudi"));
}

void TestResourceSet::localeNamesFromTheEnvironmentAndSystemFiles()
{
    QProcessEnvironment env;
    QCOMPARE(LanguageChooser::UserLocaleName(env), QString());
    // Each variable set in turn, and the name then in force: an empty one counts as unset.
    const char *const steps[][3] = {{"LANG", "fr_FR.UTF-8", "fr_FR.UTF-8"},
                                    {"LC_MESSAGES", "it_IT.UTF-8", "it_IT.UTF-8"},
                                    {"LC_ALL", "", "it_IT.UTF-8"},
                                    {"LC_ALL", "ru_RU.UTF-8", "ru_RU.UTF-8"},
                                    {"LANGUAGE", "pl:en_GB", "pl"}};
    for (const auto &step : steps) {
        env.insert(step[0], step[1]);
        QCOMPARE(LanguageChooser::UserLocaleName(env), QString::fromLatin1(step[2]));
    }

    const QString strDebian = m_programDir.filePath("locale");
    QVERIFY(TestFiles::Write(strDebian, "# written by the installer\nLANG=\"pl_PL.UTF-8\"\n"
                                        "LC_MESSAGES='it_IT.UTF-8'\ngarbage line\n=value\n"));
    const QString strMissing = m_programDir.filePath("missing");
    QCOMPARE(LanguageChooser::SystemLocaleName({strMissing, strDebian}), QStringLiteral("it_IT.UTF-8"));
    QCOMPARE(LanguageChooser::SystemLocaleName({strMissing}), QString());

    const auto locale = LanguageChooser::LocaleFromName("de_DE.UTF-8@euro");
    QVERIFY(locale);
    QCOMPARE(locale->language(), QLocale::German);
    QCOMPARE(locale->territory(), QLocale::Germany);
    QVERIFY(!LanguageChooser::LocaleFromName(""));
    QVERIFY(!LanguageChooser::LocaleFromName("C"));
    QVERIFY(!LanguageChooser::LocaleFromName("qq_QQ"));
}

void TestResourceSet::windowsAbbreviations_data()
{
    QTest::addColumn<QString>("strLocale");
    QTest::addColumn<QString>("strCode");
    QTest::addColumn<QString>("strPrimary");
    // Locale, its own abbreviation, its language's; ru_UA has no variant of its own.
    const char *const rows[][3] = {{"en_US", "ENU", "ENU"}, {"en_GB", "ENG", "ENU"}, {"fr_FR", "FRA", "FRA"},
                                   {"fr_CA", "FRC", "FRA"}, {"de_DE", "DEU", "DEU"}, {"de_CH", "DES", "DEU"},
                                   {"es_MX", "ESM", "ESP"}, {"pt_PT", "PTG", "PTB"}, {"pl", "PLK", "PLK"},
                                   {"ru", "RUS", "RUS"},    {"it_CH", "ITS", "ITA"}, {"zh_CN", "CHS", "CHT"},
                                   {"ru_UA", "", "RUS"}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1])
                              << QString::fromLatin1(row[2]);
}

void TestResourceSet::windowsAbbreviations()
{
    QFETCH(QString, strLocale);
    QFETCH(QString, strCode);
    QFETCH(QString, strPrimary);
    const QLocale locale(strLocale);
    QCOMPARE(LanguageCodes::Abbreviation(locale), strCode);
    QCOMPARE(LanguageCodes::PrimaryAbbreviation(locale), strPrimary);
}

void TestResourceSet::activeSetIsReadableFromWorkerThreads()
{
    auto pSet = ResourceSet::LoadLanguage(QStringLiteral("RUS"), Files());
    QVERIFY(pSet);
    SetActiveTextSource(pSet.get());
    const QString strExpected = pSet->Text(IDS_FILE_DELETED);
    QVERIFY(strExpected.contains(QStringLiteral("%s")));

    std::atomic<int> nWrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                if (LoadText(IDS_FILE_DELETED) != strExpected)
                    ++nWrong;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    SetActiveTextSource(nullptr);
    QCOMPARE(nWrong.load(), 0);
}

void TestResourceSet::languageSetIsComplete_data()
{
    QTest::addColumn<QString>("strCode");
    QTest::addColumn<QString>("strClose");
    for (const auto &[pszCode, pszClose] : {std::pair{"FRA", "Fermer"}, std::pair{"PLK", "Zamknij"},
                                            std::pair{"RUS", "Закрыть"}, std::pair{"ITA", "Chiudi"}})
        QTest::newRow(pszCode) << QString::fromLatin1(pszCode) << QString::fromUtf8(pszClose);
}

void TestResourceSet::languageSetIsComplete()
{
    QFETCH(QString, strCode);
    QFETCH(QString, strClose);

    QString strError;
    const auto messages = ReadTsFile(QStringLiteral(ORVO_TS_DIR "/orvoconnect") + strCode + ".ts", strError);
    QVERIFY2(strError.isEmpty(), qPrintable(strError));
    auto pSet = ResourceSet::LoadFile(strCode, QStringLiteral(ORVO_QM_DIR "/orvoconnect") + strCode + ".qm");
    QVERIFY(pSet);
    QCOMPARE(pSet->Text(IDS_CLOSE), strClose);

    const auto english = BuiltInEnglishTexts();
    QCOMPARE(qsizetype(messages.size()), qsizetype(english.size())); // nothing extra either
    int nUntranslated = 0;
    for (const BuiltInText &text : english) {
        const QString strEnglish = QString::fromUtf8(text.pszText);
        const QString strId = QString::number(text.nId);
        QVERIFY2(messages.contains(strId), qPrintable("missing id " + strId));
        const TsMessage &message = messages[strId];
        QVERIFY2(message.strType.isEmpty(), qPrintable(strId + " is " + message.strType));
        const QString strText = message.strTranslation;
        QVERIFY2(!strText.isEmpty(), qPrintable("empty " + strId));
        QCOMPARE(pSet->Text(text.nId), strText); // the compiled file says the same
        QCOMPARE(Placeholders(strText), Placeholders(strEnglish));
        QCOMPARE(strText.count(u'\n'), strEnglish.count(u'\n'));
        QCOMPARE(strText.count(u'&'), strEnglish.count(u'&'));
        QVERIFY2(strText == strText.trimmed(), qPrintable("stray spaces in " + strId));
        if (strText == strEnglish)
            ++nUntranslated;
    }
    // Names, markers and a few words that read the same; a copied English set would fail here.
    QVERIFY2(nUntranslated * 5 < int(english.size()),
             qPrintable(QString::number(nUntranslated) + " texts left in English"));
}

QTEST_GUILESS_MAIN(TestResourceSet)
#include "tst_resourceset.moc"
