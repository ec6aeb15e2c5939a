#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

class DownloadPlan;

// What an archive folder already holds of each card file: the file of the card's name and the
// versions kept beside it as "NAME (n).EXT", with their sizes and dates. The folder is read
// once; what a run writes is noted as it goes.
class ArchiveFolder final
{
public:
    // Dates closer than this count as the same: FAT stores two-second steps.
    static constexpr qint64 DATE_TOLERANCE_S = 2;

    struct Copy
    {
        QString strName;
        qint64 nSize = 0;
        qint64 nModifiedS = 0; // seconds since the epoch
        bool bPrimary = false; // the card's own name rather than a kept-beside version
    };

    explicit ArchiveFolder(const QString &strFolder);

    // The regular files that are copies of the card file, the one of its own name first.
    QList<Copy> CopiesOf(const QString &strCardName) const;
    // The regular file of that name (case-folded), or null.
    const Copy *Find(const QString &strName) const;
    // Whether the file of that name has the size and, within the tolerance, the date.
    bool Holds(const QString &strName, qint64 nSize, const QDateTime &modified) const;
    // "NAME (n).EXT" for the smallest n from 2 that neither the folder nor the plan's run uses.
    QString NextVersionName(const QString &strCardName, const DownloadPlan &plan) const;
    void Note(const QString &strName, qint64 nSize, const QDateTime &modified);

    // "A (2).DAT" for "A.DAT"; "A (2)" for a name without an extension. The name is shortened
    // to fit nNameMax bytes.
    static QString VersionName(const QString &strCardName, int nVersion, qint64 nNameMax = 255);
    static bool SameDate(qint64 nSecondsA, qint64 nSecondsB)
    {
        return qAbs(nSecondsA - nSecondsB) <= DATE_TOLERANCE_S;
    }

private:
    void Add(const Copy &copy);

    QHash<QString, Copy> m_byName;            // case-folded name -> file
    QHash<QString, QList<Copy>> m_versionsOf; // case-folded card name -> its kept-beside versions
};
