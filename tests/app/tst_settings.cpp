#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The settings file lives under a private XDG_CONFIG_HOME, set in main() before Qt caches it.
class TestSettings final : public QObject
{
    Q_OBJECT

public:
    explicit TestSettings(QString strConfigHome)
        : m_strConfigHome(std::move(strConfigHome))
    {}

private slots:
    void init() { QFile::remove(ConfigFile()); }

    void absentValuesReadAsDefaults();
    void valuesAreKeptAtTopLevelOfTheOrganisationFile();
    void unreadableValuesReadAsDefaults_data();
    void unreadableValuesReadAsDefaults();
    void failedWriteIsReported();

private:
    QString ConfigFile() const { return m_strConfigHome + "/Haldrin/OrvoConnect.conf"; }
    bool WriteRawFile(const QByteArray &content) const
    {
        return QDir().mkpath(QFileInfo(ConfigFile()).path()) && TestFiles::Write(ConfigFile(), content);
    }

    QString m_strConfigHome;
};

void TestSettings::absentValuesReadAsDefaults()
{
    QCOMPARE(SettingsStore::Language(), 0);
    const QString strDefault = SettingsStore::PathSaveTo();
    QCOMPARE(strDefault, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) + "/");
    QCOMPARE(SettingsStore::DefaultPathSaveTo(), strDefault);
    QCOMPARE(SettingsStore::Read(SettingKey<int>{"NoSuchValue"}, 42), 42);
}

void TestSettings::valuesAreKeptAtTopLevelOfTheOrganisationFile()
{
    // The store is named after the built-in title, whatever language is active.
    QCOMPARE(SettingsStore::ApplicationName(), TestTexts().Text(StringId::IDS_APP_TITLE));
    QCOMPARE(QFileInfo(SettingsStore::FilePath()).absoluteFilePath(),
             QFileInfo(ConfigFile()).absoluteFilePath());

    QVERIFY(SettingsStore::Write(SettingKeys::Language, 3));
    QVERIFY(SettingsStore::Write(SettingKeys::PathSaveTo, "/srv/data, with comma"));
    QCOMPARE(SettingsStore::Language(), 3);
    QCOMPARE(SettingsStore::PathSaveTo(), QStringLiteral("/srv/data, with comma")); // stored as given

    const QByteArray content = TestFiles::Read(ConfigFile());
    QVERIFY2(content.startsWith("[General]\n"), content.constData());
    QVERIFY(content.contains("\nLanguage=3\n"));

    // "no entry selected" in Options is written as -1 and read back as such.
    QVERIFY(SettingsStore::Write(SettingKeys::Language, -1));
    QCOMPARE(SettingsStore::Language(), -1);
}

void TestSettings::unreadableValuesReadAsDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("nLanguage");
    QTest::addColumn<QString>("strPath"); // empty: the default
    QTest::newRow("not numbers, a list")
        << QByteArray("[General]\nLanguage=abc\nPathSaveTo=/a, /b\n") << 0 << "";
    QTest::newRow("too large") << QByteArray("[General]\nLanguage=99999999999\n") << 0 << "";
    QTest::newRow("spaces around") << QByteArray("[General]\nLanguage= 5 \nPathSaveTo=/home/user/records/\n")
                                   << 5 << "/home/user/records/";
    QTest::newRow("not an ini file") << QByteArray("\x01\x02not an ini file at all\xff") << 0 << "";
}

void TestSettings::unreadableValuesReadAsDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(int, nLanguage);
    QFETCH(QString, strPath);
    QVERIFY(WriteRawFile(content));
    QCOMPARE(SettingsStore::Language(), nLanguage);
    QCOMPARE(SettingsStore::PathSaveTo(), strPath.isEmpty() ? SettingsStore::DefaultPathSaveTo() : strPath);
}

void TestSettings::failedWriteIsReported()
{
    // A folder where the file should be: no write can succeed, even for the superuser.
    QVERIFY(QDir().mkpath(ConfigFile()));
    const bool bWritten = SettingsStore::Write(SettingKeys::Language, 2);
    const int nRead = SettingsStore::Language();
    QVERIFY(QDir().rmdir(ConfigFile()));
    QVERIFY(!bWritten);
    QCOMPARE(nRead, 0);
}

int main(int argc, char *argv[])
{
    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    TestSettings test(configHome.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
