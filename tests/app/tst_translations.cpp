#include "app/ResourceSet.h"
#include "resources/BuiltInEnglish.h"

#include <QFile>
#include <QHash>
#include <QTest>
#include <QXmlStreamReader>

namespace {

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

// Every language set is complete: the identifiers of the built-in English set, each translated,
// with the same placeholders, line breaks (which split status prompts from tooltips) and
// accelerator markers.
class TestTranslations final : public QObject
{
    Q_OBJECT

private slots:
    void languageSetIsComplete_data();
    void languageSetIsComplete();
};

void TestTranslations::languageSetIsComplete_data()
{
    QTest::addColumn<QString>("strCode");
    QTest::addColumn<QString>("strClose");
    for (const auto &[pszCode, pszClose] : {std::pair{"FRA", "Fermer"}, std::pair{"PLK", "Zamknij"},
                                            std::pair{"RUS", "Закрыть"}, std::pair{"ITA", "Chiudi"}})
        QTest::newRow(pszCode) << QString::fromLatin1(pszCode) << QString::fromUtf8(pszClose);
}

void TestTranslations::languageSetIsComplete()
{
    QFETCH(QString, strCode);
    QFETCH(QString, strClose);

    QString strError;
    const auto messages = ReadTsFile(QStringLiteral(ORVO_TS_DIR "/orvoconnect") + strCode + ".ts", strError);
    QVERIFY2(strError.isEmpty(), qPrintable(strError));
    auto pSet = ResourceSet::LoadFile(strCode, QStringLiteral(ORVO_QM_DIR "/orvoconnect") + strCode + ".qm");
    QVERIFY(pSet);
    QCOMPARE(pSet->Text(171), strClose);

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

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
