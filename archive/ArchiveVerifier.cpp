#include "archive/ArchiveVerifier.h"

#include "archive/ArchiveFolder.h"
#include "archive/JournalTrail.h"
#include "archive/Manifest.h"
#include "archive/Sha256.h"
#include "core/LocalFileName.h"
#include "protocol/RecorderFileEntry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the folder holds under a name, from lstat: links are never followed.
struct Found
{
    int nErrno = 0; // lstat's error, 0 when there is something
    struct stat st = {};

    bool IsMissing() const { return nErrno == ENOENT || nErrno == ENOTDIR; }
};

Found Look(const QString &strPath)
{
    Found found;
    if (::lstat(QFile::encodeName(strPath).constData(), &found.st) != 0)
        found.nErrno = errno;
    return found;
}

// Why a name that should be a file cannot be read as one; empty when it is a regular file.
QString NotAFileReason(const Found &found)
{
    if (found.nErrno != 0)
        return QStringLiteral("cannot look at it: %1").arg(qt_error_string(found.nErrno));
    const mode_t mode = found.st.st_mode;
    if (S_ISREG(mode))
        return QString();
    if (S_ISLNK(mode))
        return QStringLiteral("a symbolic link, which is never read through");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder stands where the file was");
    return QStringLiteral("not a regular file (a pipe, socket or device)");
}

QDateTime ModifiedOf(const struct stat &st)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
}

// The journal's last line about each local name that records the file's size; a note of a file
// about to be stored, or of a copy voided, says nothing of what the folder holds.
QHash<QString, JournalTrail::Row> LastRecords(const QList<JournalTrail::Row> &rows)
{
    QHash<QString, JournalTrail::Row> records;
    for (const JournalTrail::Row &row : rows) {
        if (!row.strLocalName.isEmpty() && row.nSize >= 0 && row.strAction != QLatin1String("storing") &&
            row.strAction != QLatin1String("void"))
            records.insert(row.strLocalName, row);
    }
    return records;
}

// A file compared with the journal's record of it: empty when its size and date agree.
QString QuickReason(const struct stat &st, const JournalTrail::Row &record)
{
    if (qint64(st.st_size) != record.nSize)
        return QStringLiteral("%1 bytes, the journal records %2 (line %3)")
            .arg(qint64(st.st_size))
            .arg(record.nSize)
            .arg(record.nLine);
    // The card's date is the recorder's calendar time: the instant the archive gave the file
    // comes from the same mapping (a time the host's clocks skip or show twice included).
    // Read as UTC: the fields stand as written, even those no local time has.
    const QDateTime fields = QDateTime::fromString(record.strCardDate + QLatin1Char('Z'), Qt::ISODate);
    const QDateTime cardDate =
        fields.isValid() ? FileTime::ToLocalDateTime(FileTime::FromDateTime(fields)) : QDateTime();
    const QDateTime modified = ModifiedOf(st);
    if (cardDate.isValid() &&
        !ArchiveFolder::SameDate(modified.toSecsSinceEpoch(), cardDate.toSecsSinceEpoch()))
        return QStringLiteral("dated %1, the journal records %2 (line %3)")
            .arg(modified.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")), record.strCardDate)
            .arg(record.nLine);
    return QString();
}

} // namespace

bool ArchiveVerifier::Result::HasDifferences() const
{
    return counts.nChanged > 0 || counts.nMissing > 0 || counts.nAdded > 0 || !chain.breaks.isEmpty() ||
           bJournalMissing || nManifestBadLines > 0 || bManifestTorn;
}

bool ArchiveVerifier::Result::HasUnreadable() const
{
    return counts.nUnreadable > 0 || !strManifestError.isEmpty() ||
           (!chain.strError.isEmpty() && !bJournalMissing);
}

ArchiveVerifier::ArchiveVerifier(QString strFolder, Progress progress)
    : m_strFolder(std::move(strFolder))
    , m_progress(std::move(progress))
{}

QChar ArchiveVerifier::MarkChar(Mark eMark)
{
    switch (eMark) {
    case Mark::Match:
        return QLatin1Char('=');
    case Mark::Changed:
        return QLatin1Char('*');
    case Mark::Missing:
        return QLatin1Char('-');
    case Mark::Added:
        return QLatin1Char('+');
    case Mark::Unreadable:
        return QLatin1Char('!');
    }
    return QLatin1Char('?');
}

ArchiveVerifier::Result ArchiveVerifier::Verify(const Options &options) const
{
    Result result;
    result.strFolder = m_strFolder;
    const QDir folder(m_strFolder);

    // The chain first: it is checked whatever the state of the files.
    const QString strJournal = folder.filePath(QLatin1String(LocalNames::JOURNAL));
    if (Look(strJournal).IsMissing()) {
        result.bJournalMissing = true;
        result.chain.strError = QStringLiteral("the folder holds no journal");
    } else {
        result.chain = JournalChain::Verify(strJournal);
    }

    const Manifest manifest(m_strFolder);
    Manifest::Contents contents;
    if (Look(manifest.Path()).IsMissing()) {
        result.strManifestError = QStringLiteral("the folder holds no %1").arg(LocalNames::MANIFEST);
        return result;
    }
    if (const RecorderResult read = manifest.Read(&contents); !read.IsOk()) {
        result.strManifestError = read.Detail();
        return result;
    }
    result.nManifestBadLines = contents.nBadLines;
    result.bManifestTorn = contents.bTornTail;

    QHash<QString, JournalTrail::Row> records;
    if (options.bQuick && result.chain.strError.isEmpty()) {
        QList<JournalTrail::Row> rows;
        QString strError;
        if (JournalTrail::Read(strJournal, QDate(), &rows, &strError))
            records = LastRecords(rows);
    }

    const auto add = [&](Mark eMark, const QString &strName, const QString &strReason) {
        switch (eMark) {
        case Mark::Match:
            ++result.counts.nMatches;
            if (!options.bListMatches)
                return;
            break;
        case Mark::Changed:
            ++result.counts.nChanged;
            break;
        case Mark::Missing:
            ++result.counts.nMissing;
            break;
        case Mark::Added:
            ++result.counts.nAdded;
            break;
        case Mark::Unreadable:
            ++result.counts.nUnreadable;
            break;
        }
        result.differences.append({eMark, strName, strReason});
    };

    // Every named file is looked at first, so that the reading knows its total.
    struct ToRead
    {
        QString strName;
        QByteArray hex;
        qint64 nSize = 0;
    };
    QList<ToRead> toRead;
    qint64 nTotalBytes = 0;
    for (auto it = contents.hashes.cbegin(); it != contents.hashes.cend(); ++it) {
        ++result.counts.nChecked;
        // A line naming a path elsewhere is never followed out of the folder.
        if (!IsSafeLocalFileName(it.key())) {
            add(Mark::Unreadable, it.key(), QStringLiteral("not a file name of this folder"));
            continue;
        }
        const Found found = Look(folder.filePath(it.key()));
        if (found.IsMissing()) {
            add(Mark::Missing, it.key(),
                QStringLiteral("named in %1, not in the folder").arg(LocalNames::MANIFEST));
            continue;
        }
        if (const QString strWhy = NotAFileReason(found); !strWhy.isEmpty()) {
            add(Mark::Unreadable, it.key(), strWhy);
            continue;
        }
        if (const auto record = records.constFind(it.key()); record != records.cend()) {
            const QString strWhy = QuickReason(found.st, *record);
            add(strWhy.isEmpty() ? Mark::Match : Mark::Changed, it.key(), strWhy);
            continue;
        }
        toRead.append({it.key(), it.value().toLower(), qint64(found.st.st_size)});
        nTotalBytes += qint64(found.st.st_size);
    }

    Step step;
    step.nFiles = int(toRead.size());
    step.nTotalBytes = nTotalBytes;
    for (const ToRead &file : toRead) {
        ++step.nFile;
        step.strName = file.strName;
        step.nSize = file.nSize;
        step.nDone = 0;
        if (m_progress && !m_progress(step)) {
            result.bCancelled = true;
            break;
        }
        const Sha256::Progress onRead = [this, &step, &result](qint64 nHashed) {
            step.nDone = nHashed;
            result.bCancelled = m_progress && !m_progress(step);
            return !result.bCancelled;
        };
        // O_NONBLOCK: a pipe put in the file's place since it was looked at must not wait for a
        // writer (it is refused as not a regular file).
        const QString strPath = folder.filePath(file.strName);
        const int nFd =
            ::open(QFile::encodeName(strPath).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (nFd < 0) {
            const int nErrno = errno;
            if (nErrno == ENOENT)
                add(Mark::Missing, file.strName, QStringLiteral("removed while the folder was checked"));
            else
                add(Mark::Unreadable, file.strName,
                    QStringLiteral("cannot open it: %1").arg(qt_error_string(nErrno)));
            continue;
        }
        QString strError;
        const QByteArray hex = Sha256::FileHex(nFd, onRead, &strError);
        ::close(nFd);
        if (result.bCancelled)
            break;
        if (hex.isEmpty())
            add(Mark::Unreadable, file.strName, QStringLiteral("cannot read it: %1").arg(strError));
        else if (hex != file.hex)
            add(Mark::Changed, file.strName,
                QStringLiteral("its SHA-256 is %1, %2 records %3")
                    .arg(QString::fromLatin1(hex), LocalNames::MANIFEST, QString::fromLatin1(file.hex)));
        else
            add(Mark::Match, file.strName, QString());
    }

    // What the folder holds beyond the manifest: this program's own files and the subfolders
    // (of watch --per-recorder, each an archive of its own) aside.
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &strName : entries) {
        if (contents.hashes.contains(strName) || LocalNames::IsReserved(strName))
            continue;
        const Found found = Look(folder.filePath(strName));
        if (found.nErrno == 0 && S_ISDIR(found.st.st_mode))
            continue;
        add(Mark::Added, strName,
            QStringLiteral("in the folder, in no line of %1").arg(LocalNames::MANIFEST));
    }

    std::stable_sort(result.differences.begin(), result.differences.end(),
                     [](const Difference &a, const Difference &b) { return a.strName < b.strName; });
    return result;
}
