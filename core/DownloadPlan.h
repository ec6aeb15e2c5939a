#pragma once

#include "core/RecorderResult.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Decides, before anything is sent to the recorder, what each card file of a download run
// becomes in the destination folder: its local name, whether it may be written there, and
// what happens to a file already there. The window, the command line and the archive all plan
// through it, so they cannot disagree about a name.
class DownloadPlan final
{
public:
    // What to do with a regular file already in the folder under the local name.
    enum class Existing {
        Refuse,  // the name is refused (the command line without --overwrite)
        Replace, // it is replaced once the download is complete
        Skip,    // the name is left out of the run
    };

    struct Item
    {
        QString strCardName;
        QString strLocalName; // the card name, unless the caller chose another one
        QDateTime modified;   // the card's date as local time; invalid: the time of writing
        quint32 nSize = 0;
        bool bExists = false;  // a regular file of the local name is in the folder
        bool bSkipped = false; // left out: it exists (or is a link) and Skip was asked
        LocalReason refusal = LocalReason::None;
        QString strWhy; // English, when refused or skipped

        bool IsRefused() const { return refusal != LocalReason::None; }
        bool IsToDownload() const { return !IsRefused() && !bSkipped; }
    };

    // strFolder is the destination folder (it may be a symbolic link to one).
    explicit DownloadPlan(const QString &strFolder, Existing existing = Existing::Replace);

    // Decides for one card file and keeps the decision. A card name already in the plan is
    // not added again. strLocalName, when given, is the name to write instead of the card's.
    const Item &Add(const QString &strCardName, const QDateTime &modified = {}, quint32 nSize = 0,
                    const QString &strLocalName = {});
    // Decides for a local name without keeping it (the archive tries names with it).
    Item Check(const QString &strLocalName) const;
    // Whether a local name is already taken by an item of this run (case-folded).
    bool IsTakenInRun(const QString &strLocalName) const;
    // Marks a local name as taken by this run without adding an item (a second name the
    // archive keeps ready for a card file).
    void Reserve(const QString &strLocalName) { m_foldedLocalNames.insert(strLocalName.toCaseFolded()); }

    QString Folder() const { return m_strFolder; } // ends with "/"
    QString LocalPath(const Item &item) const { return m_strFolder + item.strLocalName; }
    const QList<Item> &Items() const { return m_items; }
    QList<Item> Refused() const;
    QList<Item> ToDownload() const;
    bool ReplacesExisting() const { return m_existing == Existing::Replace; }
    // Leaves out the names listed (the window's overwrite prompt answered No to them).
    void Drop(const QStringList &cardNames);

    // The longest name in bytes that the folder can hold.
    qint64 NameMax() const { return m_nNameMax; }

private:
    void Decide(Item &item) const;

    QString m_strFolder;
    Existing m_existing;
    qint64 m_nNameMax;
    QList<Item> m_items;
    QSet<QString> m_cardNames;
    QSet<QString> m_foldedLocalNames;
};
