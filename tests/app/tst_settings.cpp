#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "resources/BuiltInEnglish.h"

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
    void init();

    void absentValuesReadAsDefaults();
    void valuesAreKeptAtTopLevelOfTheOrganisationFile();
    void unreadableValuesReadAsDefaults();
    void failedWriteIsReported();

private:
    QString ConfigFile() const { return m_strConfigHome + "/Haldrin/OrvoConnect.conf"; }
    void WriteRawFile(const QByteArray &content) const;

    QString m_strConfigHome;
};

void TestSettings::init()
{
    QFile::remove(ConfigFile());
}

void TestSettings::WriteRawFile(const QByteArray &content) const
{
    QDir().mkpath(QFileInfo(ConfigFile()).path());
    QFile file(ConfigFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

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
    for (const BuiltInText &text : BuiltInEnglishTexts())
        if (text.nId == StringId::IDS_APP_TITLE)
            QCOMPARE(SettingsStore::ApplicationName(), QString::fromUtf8(text.pszText));
    QCOMPARE(QFileInfo(SettingsStore::FilePath()).absoluteFilePath(),
             QFileInfo(ConfigFile()).absoluteFilePath());

    QVERIFY(SettingsStore::Write(SettingKeys::Language, 3));
    QVERIFY(SettingsStore::Write(SettingKeys::PathSaveTo, "/srv/data, with comma"));
    QCOMPARE(SettingsStore::Language(), 3);
    QCOMPARE(SettingsStore::PathSaveTo(), QStringLiteral("/srv/data, with comma")); // stored as given

    QFile file(ConfigFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY2(content.startsWith("[General]\n"), content.constData());
    QVERIFY(content.contains("\nLanguage=3\n"));

    // "no entry selected" in Options is written as -1 and read back as such.
    QVERIFY(SettingsStore::Write(SettingKeys::Language, -1));
    QCOMPARE(SettingsStore::Language(), -1);
}

void TestSettings::unreadableValuesReadAsDefaults()
{
    WriteRawFile("[General]\nLanguage=abc\nPathSaveTo=/a, /b\n");
    QCOMPARE(SettingsStore::Language(), 0);
    QCOMPARE(SettingsStore::PathSaveTo(), SettingsStore::DefaultPathSaveTo());

    WriteRawFile("[General]\nLanguage=99999999999\n");
    QCOMPARE(SettingsStore::Language(), 0);

    WriteRawFile("[General]\nLanguage= 5 \nPathSaveTo=/home/user/records/\n");
    QCOMPARE(SettingsStore::Language(), 5);
    QCOMPARE(SettingsStore::PathSaveTo(), QStringLiteral("/home/user/records/"));

    WriteRawFile("\x01\x02not an ini file at all\xff");
    QCOMPARE(SettingsStore::Language(), 0);
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
