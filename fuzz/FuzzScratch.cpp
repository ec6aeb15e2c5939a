// The fuzzer's scratch folders and the checks that nothing outside the destination changed.

#include "fuzz/FuzzScratch.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace {

// The names in a folder, hidden ones included, in the order the file system keeps them (which
// differs from one scratch folder to the next: compare them with SameNames, which does the same
// work in any order, so that runs stay repeatable).
QStringList Names(const QString &strDir)
{
    QStringList names;
    if (DIR *pDir = ::opendir(QFile::encodeName(strDir).constData())) {
        while (const dirent *pEntry = ::readdir(pDir)) {
            if (std::strcmp(pEntry->d_name, ".") != 0 && std::strcmp(pEntry->d_name, "..") != 0)
                names.append(QFile::decodeName(pEntry->d_name));
        }
        ::closedir(pDir);
    }
    return names;
}

bool SameNames(const QStringList &names, const QStringList &expected)
{
    if (names.size() != expected.size())
        return false;
    for (const QString &strName : names) {
        if (!expected.contains(strName))
            return false;
    }
    return true;
}

} // namespace

void FuzzFail(const char *pWhat, const QString &strMore)
{
    std::fprintf(stderr, "orvo_fuzz_protocol: check failed: %s %s\n", pWhat, qPrintable(strMore));
    std::abort();
}

FuzzScratch::Stamp::Stamp(const QString &strPath)
{
    struct stat st = {};
    if (strPath.isEmpty() || ::lstat(QFile::encodeName(strPath).constData(), &st) != 0)
        return;
    bPresent = true;
    nInode = st.st_ino;
    nMode = st.st_mode;
    nSize = st.st_size;
    modified = st.st_mtim;
    changed = st.st_ctim;
}

bool FuzzScratch::Stamp::operator==(const Stamp &other) const
{
    return bPresent == other.bPresent && nInode == other.nInode && nMode == other.nMode &&
           nSize == other.nSize && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec && changed.tv_sec == other.changed.tv_sec &&
           changed.tv_nsec == other.changed.tv_nsec;
}

void FuzzScratch::Make()
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/orvo-fuzz-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        FuzzFail("cannot make a scratch folder in", QDir::tempPath());
    strRoot = QFile::decodeName(pattern);
    strDest = strRoot + QStringLiteral("/dest/");
    strOutside = strRoot + QStringLiteral("/outside");
    strSources = strRoot + QStringLiteral("/sources");
    QDir().mkpath(strDest);
    QDir().mkpath(strOutside);
    QDir().mkpath(strSources);
    Write(strOutside + QStringLiteral("/VICTIM.DAT"), "must never change");
    Write(OldPath(), QByteArray(OLD_CONTENT));
    QFile::link(QStringLiteral("../outside/VICTIM.DAT"), strDest + QStringLiteral("LINK.DAT"));
    QFile::link(QStringLiteral("../outside/NEW.DAT"), strDest + QStringLiteral("DANGLE.DAT"));
    QStringList fixed = {strRoot,
                         strOutside,
                         strOutside + QStringLiteral("/VICTIM.DAT"),
                         strOutside + QStringLiteral("/NEW.DAT"),
                         strSources,
                         strDest + QStringLiteral("LINK.DAT"),
                         strDest + QStringLiteral("DANGLE.DAT")};
    for (const qint64 nSize : SOURCE_SIZES) {
        Write(SourcePath(nSize), QByteArray(nSize, 's'));
        fixed.append(SourcePath(nSize));
    }
    // Past the file system clock's tick: any later change gets another time.
    ::usleep(50000);
    for (const QString &strPath : std::as_const(fixed))
        fixedStamps.append({strPath, Stamp(strPath)});
    destNames = Names(strDest);
    oldStamp = Stamp(OldPath());
}

void FuzzScratch::Remove()
{
    QDir(strRoot).removeRecursively();
}

void FuzzScratch::Write(const QString &strPath, const QByteArray &data)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        FuzzFail("cannot write", strPath);
}

void FuzzScratch::CheckAndReset()
{
    for (const auto &[strPath, before] : std::as_const(fixedStamps))
        FUZZ_CHECK(Stamp(strPath) == before, strPath + QStringLiteral(" changed"));
    const QStringList names = Names(strDest);
    const Stamp stamp(OldPath());
    if (SameNames(names, destNames) && stamp == oldStamp)
        return;
    for (const QString &strName : names) {
        if (!destNames.contains(strName))
            ::unlink(QFile::encodeName(strDest + strName).constData());
    }
    Write(OldPath(), QByteArray(OLD_CONTENT));
    FUZZ_CHECK(SameNames(Names(strDest), destNames), QStringLiteral("the destination could not be reset"));
    oldStamp = Stamp(OldPath());
}

FuzzScratch &TheScratch()
{
    static FuzzScratch scratch;
    return scratch;
}
