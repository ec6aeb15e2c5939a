#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// Ends the run with a finding: the check that failed on standard error, then abort().
[[noreturn]] void FuzzFail(const char *pWhat, const QString &strMore = QString());

#define FUZZ_CHECK(condition, more)     \
    do {                                \
        if (!(condition))               \
            FuzzFail(#condition, more); \
    } while (false)

// The scratch folders of the fuzzer, made once: the destination of downloads with an older
// file and two symbolic links in it, a folder beside it that must never change, and the
// sources of uploads.
struct FuzzScratch
{
    // Local files an upload reads, by size.
    static constexpr qint64 SOURCE_SIZES[] = {0, 1, 32744, 70000};
    static constexpr char OLD_CONTENT[] = "the older copy, which a failed download must leave alone";

    // What lstat says of an entry, with nanosecond times and the inode: an entry created,
    // removed, replaced or written shows up as a difference (the scratch is made well before
    // the first input, so even a coarse file system clock has moved on by then).
    struct Stamp
    {
        bool bPresent = false;
        ino_t nInode = 0;
        mode_t nMode = 0;
        off_t nSize = 0;
        timespec modified = {};
        timespec changed = {};

        explicit Stamp(const QString &strPath = QString());
        bool operator==(const Stamp &other) const;
    };

    QString strRoot;
    QString strDest;    // ends with "/"
    QString strOutside; // the sentinel folder beside the destination
    QString strSources;
    QList<QPair<QString, Stamp>> fixedStamps; // entries that never change, whatever is received
    QStringList destNames;                    // what the destination holds between inputs
    Stamp oldStamp;                           // of OLD.DAT, which a download may replace

    void Make();
    void Remove();

    QString OldPath() const { return strDest + QStringLiteral("OLD.DAT"); }
    QString SourcePath(qint64 nSize) const { return strSources + QStringLiteral("/SRC%1.BIN").arg(nSize); }

    static void Write(const QString &strPath, const QByteArray &data);

    // Nothing outside the destination changed, no link in it was replaced or written through;
    // the destination is put back as it was.
    void CheckAndReset();
};

// The one scratch of the process.
FuzzScratch &TheScratch();
