#include "archive/JournalIndex.h"

#include "core/LocalFileName.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

bool IsStored(const QString &strAction)
{
    return strAction == QLatin1String("downloaded") || strAction == QLatin1String("kept-beside") ||
           strAction == QLatin1String("replaced") || strAction == QLatin1String("adopted");
}

} // namespace

JournalIndex JournalIndex::Read(const QString &strFolder)
{
    JournalIndex index;
    QFile file((strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/')) +
               QLatin1String(LocalNames::JOURNAL));
    if (!file.open(QIODevice::ReadOnly))
        return index;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (!line.endsWith('\n'))
            break; // a line cut short by a crash
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const QString strAction = object.value(QLatin1String("action")).toString();
        if (!IsStored(strAction) && strAction != QLatin1String("storing") &&
            strAction != QLatin1String("void"))
            continue;
        CardFile card;
        card.strRecorder = object.value(QLatin1String("recorder")).toString();
        card.strCardName = object.value(QLatin1String("card_name")).toString();
        card.nSize = object.value(QLatin1String("size")).toInteger(-1);
        card.strCardDate = object.value(QLatin1String("card_date")).toString();
        card.strTime = object.value(QLatin1String("time")).toString();
        const QString strLocalName = object.value(QLatin1String("local_name")).toString();
        if (strLocalName.isEmpty() || card.strCardName.isEmpty())
            continue;
        if (strAction == QLatin1String("storing")) {
            index.m_pending.insert(strLocalName.toCaseFolded(),
                                   {strLocalName, card, object.value(QLatin1String("sha256")).toString(),
                                    object.value(QLatin1String("outcome")).toString()});
        } else {
            index.Apply(strAction, strLocalName, card);
        }
    }
    return index;
}

void JournalIndex::Apply(const QString &strAction, const QString &strLocalName, const CardFile &file)
{
    const QString strKey = strLocalName.toCaseFolded();
    m_pending.remove(strKey);
    QList<CardFile> &held = m_holdings[strKey];
    if (strAction != QLatin1String("adopted")) {
        // New bytes under the name, or bytes that do not read back: what it held before is gone.
        for (const CardFile &old : std::as_const(held))
            m_namesOfCard[old.strCardName].removeAll(strKey);
        held.clear();
    }
    m_localNames.insert(strKey, strLocalName);
    if (strAction == QLatin1String("void"))
        return;
    held.append(file);
    QStringList &names = m_namesOfCard[file.strCardName];
    if (!names.contains(strKey))
        names.append(strKey);
}

bool JournalIndex::Names(const QString &strLocalName) const
{
    return m_holdings.contains(strLocalName.toCaseFolded());
}

bool JournalIndex::Matches(const CardFile &recorded, const CardFile &file)
{
    return recorded.strCardName == file.strCardName && recorded.nSize == file.nSize &&
           recorded.strCardDate == file.strCardDate &&
           (recorded.strRecorder.isEmpty() || recorded.strRecorder == file.strRecorder);
}

QStringList JournalIndex::LocalNamesOf(const CardFile &file) const
{
    QStringList names;
    for (const QString &strKey : m_namesOfCard.value(file.strCardName)) {
        const QList<CardFile> held = m_holdings.value(strKey);
        if (std::any_of(held.cbegin(), held.cend(),
                        [&file](const CardFile &recorded) { return Matches(recorded, file); }))
            names.append(m_localNames.value(strKey));
    }
    return names;
}

JournalIndex::Stored JournalIndex::StoredAs(const CardFile &file) const
{
    Stored stored;
    for (const QString &strKey : m_namesOfCard.value(file.strCardName)) {
        for (const CardFile &recorded : m_holdings.value(strKey)) {
            if (!Matches(recorded, file))
                continue;
            const QDateTime time = QDateTime::fromString(recorded.strTime, Qt::ISODate);
            if (stored.strLocalName.isEmpty() || time > stored.time)
                stored = {m_localNames.value(strKey), time};
        }
    }
    return stored;
}

bool JournalIndex::HoldsVersionOf(const QString &strLocalName, const QString &strCardName) const
{
    const QList<CardFile> held = m_holdings.value(strLocalName.toCaseFolded());
    return std::any_of(held.cbegin(), held.cend(), [&strCardName](const CardFile &recorded) {
        return recorded.strCardName == strCardName;
    });
}

QStringList JournalIndex::HoldingNames() const
{
    QStringList names;
    for (auto it = m_holdings.cbegin(); it != m_holdings.cend(); ++it) {
        if (!it->isEmpty())
            names.append(m_localNames.value(it.key()));
    }
    return names;
}
