#include "BuiltInEnglish.h"
#include "CSettingsStore.h"
#include "StringIds.h"

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
    QCOMPARE(CSettingsStore::Language(), 0);
    const QString strDefault = CSettingsStore::PathSaveTo();
    QCOMPARE(strDefault, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) + "/");
    QCOMPARE(CSettingsStore::DefaultPathSaveTo(), strDefault);
    QCOMPARE(CSettingsStore::ReadInt("NoSuchValue", 42), 42);
}

void TestSettings::valuesAreKeptAtTopLevelOfTheOrganisationFile()
{
    // The store is named after the built-in title, whatever language is active.
    for (const BuiltInText &text : BuiltInEnglishTexts())
        if (text.nId == StringId::IDS_APP_TITLE)
            QCOMPARE(CSettingsStore::ApplicationName(), QString::fromUtf8(text.pszText));
    QCOMPARE(QFileInfo(CSettingsStore::FilePath()).absoluteFilePath(),
             QFileInfo(ConfigFile()).absoluteFilePath());

    QVERIFY(CSettingsStore::SetLanguage(3));
    QVERIFY(CSettingsStore::SetPathSaveTo("/srv/data, with comma"));
    QCOMPARE(CSettingsStore::Language(), 3);
    QCOMPARE(CSettingsStore::PathSaveTo(), QStringLiteral("/srv/data, with comma")); // stored as given

    QFile file(ConfigFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY2(content.startsWith("[General]\n"), content.constData());
    QVERIFY(content.contains("\nLanguage=3\n"));

    // "no entry selected" in Options is written as -1 and read back as such.
    QVERIFY(CSettingsStore::SetLanguage(-1));
    QCOMPARE(CSettingsStore::Language(), -1);
}

void TestSettings::unreadableValuesReadAsDefaults()
{
    WriteRawFile("[General]\nLanguage=abc\nPathSaveTo=/a, /b\n");
    QCOMPARE(CSettingsStore::Language(), 0);
    QCOMPARE(CSettingsStore::PathSaveTo(), CSettingsStore::DefaultPathSaveTo());

    WriteRawFile("[General]\nLanguage=99999999999\n");
    QCOMPARE(CSettingsStore::Language(), 0);

    WriteRawFile("[General]\nLanguage= 5 \nPathSaveTo=/home/user/records/\n");
    QCOMPARE(CSettingsStore::Language(), 5);
    QCOMPARE(CSettingsStore::PathSaveTo(), QStringLiteral("/home/user/records/"));

    WriteRawFile("\x01\x02not an ini file at all\xff");
    QCOMPARE(CSettingsStore::Language(), 0);
}

void TestSettings::failedWriteIsReported()
{
    // A folder where the file should be: no write can succeed, even for the superuser.
    QVERIFY(QDir().mkpath(ConfigFile()));
    const bool bWritten = CSettingsStore::SetLanguage(2);
    const int nRead = CSettingsStore::Language();
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
