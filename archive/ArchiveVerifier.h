#pragma once

#include "archive/JournalChain.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

// Checks an archive folder against its own records: every file SHA256SUMS names is read and
// its digest compared (or, quickly, its size and date compared with the journal's last record
// of it), the folder's other files are listed, and the journal's hash chain is followed from its
// first line to its head. Nothing in the folder is changed, and its lock is not taken: a check
// beside a running archive may see a file that the manifest does not name yet.
class ArchiveVerifier final
{
public:
    enum class Mark {
        Match,      // '=' the file is as recorded
        Changed,    // '*' its digest (or size or date) differs
        Missing,    // '-' named in the manifest, not in the folder
        Added,      // '+' in the folder, named in no manifest line
        Unreadable, // '!' there, but cannot be read (a folder or special file, a read error)
    };

    struct Difference
    {
        Mark eMark = Mark::Match;
        QString strName;
        QString strReason; // English, empty for a match

        bool operator==(const Difference &other) const = default;
    };

    struct Counts
    {
        int nChecked = 0; // files the manifest names
        int nMatches = 0;
        int nChanged = 0;
        int nMissing = 0;
        int nAdded = 0;
        int nUnreadable = 0;
    };

    struct Options
    {
        // Size and date against the journal instead of reading; a file the journal does not
        // describe is read all the same.
        bool bQuick = false;
        // Matches are listed too.
        bool bListMatches = false;
    };

    // Where the check stands, reported when a file starts (nDone 0) and after each read.
    struct Step
    {
        int nFile = 0; // from 1
        int nFiles = 0;
        QString strName;
        qint64 nDone = 0;
        qint64 nSize = 0;
        qint64 nTotalBytes = 0; // of all the files to read
    };
    // False stops the check: the result is then marked cancelled.
    using Progress = std::function<bool(const Step &step)>;

    struct Result
    {
        QString strFolder;
        // In name order; the matches only with Options::bListMatches.
        QList<Difference> differences;
        Counts counts;
        // Set when SHA256SUMS cannot be read (or is missing): nothing was checked then.
        QString strManifestError;
        // Lines of the manifest that sha256sum --strict refuses, and a last line cut short.
        int nManifestBadLines = 0;
        bool bManifestTorn = false;
        // The journal's chain; strError says when it is missing or cannot be read.
        JournalChain::ChainCheck chain;
        bool bJournalMissing = false;
        bool bCancelled = false;

        // A file changed, missing or added, a chain break, a missing journal or a malformed
        // manifest: the archive is not as it was written.
        bool HasDifferences() const;
        // Something could not be read (a file, the manifest or the journal).
        bool HasUnreadable() const;
    };

    explicit ArchiveVerifier(QString strFolder, Progress progress = {});

    Result Verify(const Options &options) const;

    // The one-character mark of the combined listing.
    static QChar MarkChar(Mark eMark);

private:
    QString m_strFolder;
    Progress m_progress;
};
