#pragma once

#include "archive/ArchiveJournal.h"
#include "archive/ArchiveRecord.h"
#include "archive/Manifest.h"
#include "core/RecorderResult.h"

#include <QByteArray>
#include <QMap>
#include <QString>

class DownloadPlan;
class JournalIndex;

namespace Archive {

struct Session;

// What an archive pass writes into the folder, in the order that survives a kill at any
// point: a file is noted in the journal (synced) before it takes its name, its manifest line
// follows, then its outcome. At a pass's start, under the folder's lock, Recover finishes what a
// killed pass left: a torn manifest line, a noted file that took its name without its outcome,
// a file of an older version's archive without a digest (hashed from the disk, once).
class ArchiveStore final
{
    Q_DISABLE_COPY_MOVE(ArchiveStore)

public:
    // Test hook: the step of a file's writes at which the program kills itself ("noted": the
    // journal's note written; "named": the file has its name; "listed": its manifest line
    // written; "journaled": its outcome written).
    static constexpr const char *ENV_KILL_AT = "ORVOCONNECT_KILL_AT";
    static void KillPoint(const char *pszStep);

    ArchiveStore(Session &session, const Options &options, ArchiveJournal::Context context);

    ArchiveJournal &Journal() { return m_journal; }
    // A line about a card file: its names, size, card date and digest.
    bool JournalFile(const QString &strAction, const FileRecord &record, QJsonObject extra = {});

    // Removes stale temporary files and finishes what a killed pass left. 0, or the status the
    // pass ends with; what it could not finish is reported.
    int Recover(const JournalIndex &index);

    // Downloads one card file (stored, kept beside, replaced or adopted by its bytes), hashing it
    // as it arrives; the record gets its outcome, size and digest. Returns the transfer's result.
    RecorderResult Transfer(FileRecord &record, const DownloadPlan &plan);

    // Whether the archived copy, read back from the disk past the cache where the system allows
    // it, has the digest of the bytes the recorder sent.
    bool ReadsBack(const FileRecord &record, QString *pWhy) const;

    // The first local failure met (a journal or manifest that cannot be written), or 0.
    int Status() const { return m_nStatus; }

private:
    bool RecordHash(const QString &strName, const QByteArray &hex);
    bool HashFromDisk(const QString &strName, const QString &strWhy);
    void Failed(const QString &strWhy);

    Session &m_session;
    const Options &m_options;
    ArchiveJournal m_journal;
    Manifest m_manifest;
    QMap<QString, QByteArray> m_hashes; // the manifest's lines
    int m_nStatus = 0;
};

} // namespace Archive
