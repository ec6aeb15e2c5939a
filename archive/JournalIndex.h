#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the archive folder's journal says each local file holds: which card files (recorder,
// card name, size, card date) were stored under which local name. A download, a kept-beside
// version or a replacement stores one card file under a name; an adoption adds a card file to
// what a name already holds (the same bytes came from it); a void line says the name holds no
// card file any more (its copy did not read back). The latest line of a name wins. A file is
// noted as being stored ("storing") before it takes its name: a note with no outcome after it
// is a pass that was killed in between.
class JournalIndex final
{
public:
    struct CardFile
    {
        QString strRecorder; // empty in lines of older versions: any recorder
        QString strCardName;
        qint64 nSize = 0;
        QString strCardDate; // as the journal writes it
        QString strTime;     // the time of the line that stored it, as the journal writes it
    };

    // Where a card file is kept: the local name that holds it and when that was written down.
    struct Stored
    {
        QString strLocalName; // empty: no line stores this card file
        QDateTime time;       // UTC
    };

    // A file noted as being stored whose outcome never followed.
    struct Intent
    {
        QString strLocalName;
        CardFile card;
        QString strSha256;
        QString strOutcome; // the outcome it was to have
    };

    // Reads the journal of strFolder; a missing journal, or a line that is not whole, says nothing.
    static JournalIndex Read(const QString &strFolder);

    // Takes one line's effect: an action of the journal, the local name and the card file.
    void Apply(const QString &strAction, const QString &strLocalName, const CardFile &file);

    // Whether any line stores something under strLocalName.
    bool Names(const QString &strLocalName) const;
    // The local names that hold this card file of this recorder.
    QStringList LocalNamesOf(const CardFile &file) const;
    // The latest local name that holds this card file of this recorder, with its line's time.
    Stored StoredAs(const CardFile &file) const;
    // Whether strLocalName holds some version of the card name, from any recorder.
    bool HoldsVersionOf(const QString &strLocalName, const QString &strCardName) const;
    // The local names that hold a card file.
    QStringList HoldingNames() const;
    QList<Intent> PendingIntents() const { return m_pending.values(); }

private:
    static bool Matches(const CardFile &recorded, const CardFile &file);

    QHash<QString, QString> m_localNames;       // case-folded local name -> as written
    QHash<QString, QList<CardFile>> m_holdings; // case-folded local name -> what it holds
    QHash<QString, QStringList> m_namesOfCard;  // card name -> case-folded local names
    QHash<QString, Intent> m_pending;           // case-folded local name -> its note, awaiting its outcome
};
