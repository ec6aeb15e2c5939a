#include "app/LanguageChooser.h"
#include "app/LanguageCodes.h"
#include "app/LanguageFiles.h"
#include "app/ResourceSet.h"
#include "core/StringIds.h"
#include "core/TextSource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    QTest::addColumn<QString>("strCode"); // empty: the built-in set
    QTest::addColumn<QString>("strClose");

    QTest::newRow("0 on a US English system") << 0 << "en_US.UTF-8"
                                              << ""
                                              << "Close";
    QTest::newRow("0 on a Polish system") << 0 << "pl_PL.UTF-8"
                                          << "PLK"
                                          << "Zamknij";
    QTest::newRow("1 on a Polish system") << 1 << "pl_PL.UTF-8"
                                          << ""
                                          << "Close";
    QTest::newRow("2") << 2 << "en_US"
                       << "FRA"
                       << "Fermer";
    QTest::newRow("3") << 3 << "en_US"
                       << "PLK"
                       << "Zamknij";
    QTest::newRow("4") << 4 << "en_US"
                       << "RUS" << QStringLiteral("Закрыть");
    QTest::newRow("5") << 5 << "en_US"
                       << "ITA"
                       << "Chiudi";
    QTest::newRow("9 on an Italian system") << 9 << "it_IT"
                                            << ""
                                            << "Close";
    QTest::newRow("-1") << -1 << "en_US"
                        << ""
                        << "Close";
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
    QCOMPARE(pSet->Text(IDS_CLOSE), strClose);
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
    QFile garbage(m_programDir.filePath("orvoconnectRUS.qm"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a translation file");
    garbage.close();
    QVERIFY(!ResourceSet::LoadLanguage(QStringLiteral("RUS"), Files()));

    QFile empty(m_programDir.filePath("orvoconnectITA.qm"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
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

    QTest::newRow("variant then primary, user first")
        << "fr_CA.UTF-8"
        << "it_IT.UTF-8" << QStringList{"FRC", "FRA", "ITA", "ITA", "LOC"};
    QTest::newRow("British user on a German system")
        << "en_GB"
        << "de_AT.UTF-8@euro" << QStringList{"ENG", "ENU", "DEA", "DEU", "LOC"};
    QTest::newRow("language without territory") << "pl"
                                                << "ru" << QStringList{"PLK", "PLK", "RUS", "RUS", "LOC"};
    QTest::newRow("unknown variant keeps its primary") << "fr_SN"
                                                       << "" << QStringList{"FRA", "LOC"};
    QTest::newRow("C and POSIX give nothing") << "C.UTF-8"
                                              << "POSIX" << QStringList{"LOC"};
    QTest::newRow("rubbish gives nothing") << "../../etc"
                                           << "x" << QStringList{"LOC"};
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
    env.insert("LANG", "fr_FR.UTF-8");
    QCOMPARE(LanguageChooser::UserLocaleName(env), QStringLiteral("fr_FR.UTF-8"));
    env.insert("LC_MESSAGES", "it_IT.UTF-8");
    QCOMPARE(LanguageChooser::UserLocaleName(env), QStringLiteral("it_IT.UTF-8"));
    env.insert("LC_ALL", "");
    QCOMPARE(LanguageChooser::UserLocaleName(env), QStringLiteral("it_IT.UTF-8"));
    env.insert("LC_ALL", "ru_RU.UTF-8");
    QCOMPARE(LanguageChooser::UserLocaleName(env), QStringLiteral("ru_RU.UTF-8"));
    env.insert("LANGUAGE", "pl:en_GB");
    QCOMPARE(LanguageChooser::UserLocaleName(env), QStringLiteral("pl"));

    QTemporaryDir dir;
    QFile debian(dir.filePath("locale"));
    QVERIFY(debian.open(QIODevice::WriteOnly));
    debian.write("# written by the installer\nLANG=\"pl_PL.UTF-8\"\nLC_MESSAGES='it_IT.UTF-8'\n"
                 "garbage line\n=value\n");
    debian.close();
    const QString strMissing = dir.filePath("missing");
    QCOMPARE(LanguageChooser::SystemLocaleName({strMissing, debian.fileName()}),
             QStringLiteral("it_IT.UTF-8"));
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

    QTest::newRow("en_US") << "en_US"
                           << "ENU"
                           << "ENU";
    QTest::newRow("en_GB") << "en_GB"
                           << "ENG"
                           << "ENU";
    QTest::newRow("fr_FR") << "fr_FR"
                           << "FRA"
                           << "FRA";
    QTest::newRow("fr_CA") << "fr_CA"
                           << "FRC"
                           << "FRA";
    QTest::newRow("de_DE") << "de_DE"
                           << "DEU"
                           << "DEU";
    QTest::newRow("de_CH") << "de_CH"
                           << "DES"
                           << "DEU";
    QTest::newRow("es_MX") << "es_MX"
                           << "ESM"
                           << "ESP";
    QTest::newRow("pt_PT") << "pt_PT"
                           << "PTG"
                           << "PTB";
    QTest::newRow("pl") << "pl"
                        << "PLK"
                        << "PLK";
    QTest::newRow("ru") << "ru"
                        << "RUS"
                        << "RUS";
    QTest::newRow("it_CH") << "it_CH"
                           << "ITS"
                           << "ITA";
    QTest::newRow("zh_CN") << "zh_CN"
                           << "CHS"
                           << "CHT";
    QTest::newRow("ru_UA has no variant") << "ru_UA"
                                          << ""
                                          << "RUS";
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

QTEST_GUILESS_MAIN(TestResourceSet)
#include "tst_resourceset.moc"
