#include "core/SettingsStore.h"
#include "link/UsbIds.h"
#include "link/UsbSettingsProvider.h"

#include <QSettings>
#include <QtTest>

// Which vendor:product pairs count as the recorder, and where they come from.
class TestUsbIds final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parsesPairLists_data();
    void parsesPairLists();
    void environmentWinsOverTheSetting();
};

void TestUsbIds::initTestCase()
{
    // As the programs do: the link reads the configuration through this.
    UsbSettingsProvider::Set(&UsbSettings::Read);
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QString::fromLatin1(SettingsStore::kOrganisation),
              QString::fromLatin1(SettingsStore::kApplication))
        .clear();
}

void TestUsbIds::parsesPairLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QString>("bad"); // the entry named in the refusal; empty: accepted
    const char *const rows[][4] = {
        {"empty", "", "", ""},
        {"blank", "  ", "", ""},
        {"one", "1234:5678", "1234:5678", ""},
        {"two with comma", "1234:5678,1234:5679", "1234:5678,1234:5679", ""},
        {"spaces and semicolons", " 1234:5678 ;  abcd:EF01 ", "1234:5678,abcd:ef01", ""},
        {"short and 0x", "1:0x2", "0001:0002", ""},
        {"duplicates once, first order kept", "2:2,1:1,2:2", "0002:0002,0001:0001", ""},
        {"no colon", "12345678", "", "12345678"},
        {"five digits", "1234:56789", "", "1234:56789"},
        {"not hex", "1234:5678,12g4:1", "", "12g4:1"},
        {"three parts", "1:2:3", "", "1:2:3"},
        {"empty half", "1234:", "", "1234:"}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2])
                              << QString::fromLatin1(row[3]);
}

void TestUsbIds::parsesPairLists()
{
    QFETCH(QString, text);
    QFETCH(QString, pairs);
    QFETCH(QString, bad);
    QString strError;
    const auto ids = UsbIds::Parse(text, &strError);
    if (!bad.isEmpty()) {
        QVERIFY(!ids);
        QVERIFY2(strError.contains(QLatin1Char('"') + bad + QLatin1Char('"')), qPrintable(strError));
        return;
    }
    QVERIFY2(ids, qPrintable(strError));
    QCOMPARE(ids->ToString(), pairs);
}

void TestUsbIds::environmentWinsOverTheSetting()
{
    QSettings settings(QString::fromLatin1(SettingsStore::kOrganisation),
                       QString::fromLatin1(SettingsStore::kApplication));
    // Written unquoted in the file, "a,b" comes back as a string list.
    settings.setValue(SettingKeys::UsbIds.Name(), QStringList{"1111:2222", "3333:4444"});
    settings.sync();

    qputenv(UsbIds::ENV_NAME, "");
    QString strError;
    auto ids = UsbIds::Configured(&strError);
    QVERIFY2(ids, qPrintable(strError));
    QCOMPARE(ids->ToString(), QStringLiteral("1111:2222,3333:4444"));

    qputenv(UsbIds::ENV_NAME, "5555:6666");
    ids = UsbIds::Configured(&strError);
    QVERIFY(ids);
    QCOMPARE(ids->ToString(), QStringLiteral("5555:6666"));
    QVERIFY(ids->Contains(0x5555, 0x6666));
    QVERIFY(!ids->Contains(0x1111, 0x2222));

    // A bad setting is reported with its source.
    qputenv(UsbIds::ENV_NAME, "");
    settings.setValue(SettingKeys::UsbIds.Name(), QStringLiteral("zz"));
    settings.sync();
    QVERIFY(!UsbIds::Configured(&strError));
    QVERIFY2(strError.startsWith(QLatin1String("the UsbIds setting")), qPrintable(strError));
    settings.clear();
}

QTEST_GUILESS_MAIN(TestUsbIds)
#include "tst_UsbIds.moc"
