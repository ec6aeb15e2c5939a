#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the archive folder's journal says each local file holds: which card files (recorder,
// card name, size, card date) were stored under which local name. A download, a kept-beside
// version or a replacement stores one card file under a name; an adoption adds a card file to
// what a name already holds (the same bytes came from it). The latest line of a name wins.
class JournalIndex final
{
public:
    struct CardFile
    {
        QString strRecorder; // empty in lines of older versions: any recorder
        QString strCardName;
        qint64 nSize = 0;
        QString strCardDate; // as the journal writes it
    };

    // Reads the journal of strFolder; a missing journal, or a line that is not whole, says nothing.
    static JournalIndex Read(const QString &strFolder);

    // Takes one line's effect: an action of the journal, the local name and the card file.
    void Apply(const QString &strAction, const QString &strLocalName, const CardFile &file);

    // Whether any line stores something under strLocalName.
    bool Names(const QString &strLocalName) const;
    // The local names that hold this card file of this recorder.
    QStringList LocalNamesOf(const CardFile &file) const;
    // Whether strLocalName holds some version of the card name, from any recorder.
    bool HoldsVersionOf(const QString &strLocalName, const QString &strCardName) const;

private:
    static bool Matches(const CardFile &recorded, const CardFile &file);

    QHash<QString, QString> m_localNames;       // case-folded local name -> as written
    QHash<QString, QList<CardFile>> m_holdings; // case-folded local name -> what it holds
    QHash<QString, QStringList> m_namesOfCard;  // card name -> case-folded local names
};
