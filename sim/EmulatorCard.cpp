#include "sim/EmulatorCard.h"

#include "core/LocalFileName.h"
#include "protocol/RecorderFileEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// FILE_ATTRIBUTE_ARCHIVE: what a card file written by the recorder carries.
constexpr quint32 ATTRIBUTE_ARCHIVE = 0x20;
constexpr int MAX_ARCHIVE_NUMBER = 9999;

QFileInfoList CardFiles(const QString &strDir)
{
    // Without QDir::Hidden, partial uploads (dot names) stay out of the list.
    return QDir(strDir).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase);
}

} // namespace

EmulatorCard::EmulatorCard(QString strDir)
    : m_strDir(std::move(strDir))
{}

quint64 EmulatorCard::UsedBytes() const
{
    quint64 nUsed = 0;
    for (const QFileInfo &info : CardFiles(m_strDir))
        nUsed += quint64(info.size());
    return nUsed;
}

quint64 EmulatorCard::FreeBytes() const
{
    const quint64 nUsed = UsedBytes();
    return nUsed < m_nCapacity ? m_nCapacity - nUsed : 0;
}

QList<RecorderFileEntry> EmulatorCard::Entries() const
{
    QList<RecorderFileEntry> entries;
    for (const QFileInfo &info : CardFiles(m_strDir)) {
        const QString strName = info.fileName();
        if (!IsCardName(strName))
            continue;
        RecorderFileEntry entry;
        entry.SetAttributes(ATTRIBUTE_ARCHIVE);
        const quint64 nSize = quint64(info.size());
        entry.SetSizeLow(quint32(nSize));
        entry.SetSizeHigh(quint32(nSize >> 32));
        // The recorder keeps local calendar time: the file's time as this machine shows it.
        const quint64 nWrite = FileTime::FromDateTime(info.lastModified());
        entry.SetLastWriteTime(nWrite);
        const QDateTime birth = info.birthTime();
        const quint64 nCreation = birth.isValid() ? FileTime::FromDateTime(birth) : nWrite;
        for (int i = 0; i < 8; ++i) {
            entry.Bytes()[RecorderFileEntry::OFFSET_CREATION_TIME + i] = quint8(nCreation >> (8 * i));
            entry.Bytes()[RecorderFileEntry::OFFSET_ACCESS_TIME + i] = quint8(nWrite >> (8 * i));
        }
        entry.SetName(strName);
        entries.append(entry);
    }
    return entries;
}

bool EmulatorCard::IsCardName(const QString &strName)
{
    return IsSafeLocalFileName(strName) && strName.size() < qsizetype(RecorderFileEntry::NAME_CHARS) &&
           !strName.startsWith(QLatin1Char('.'));
}

QString EmulatorCard::PathOf(const QString &strName) const
{
    if (!IsCardName(strName))
        return QString();
    return m_strDir + QLatin1Char('/') + strName;
}

bool EmulatorCard::HasFile(const QString &strName) const
{
    const QString strPath = PathOf(strName);
    if (strPath.isEmpty())
        return false;
    const QFileInfo info(strPath);
    return info.isFile() && !info.isSymLink();
}

bool EmulatorCard::Remove(const QString &strName)
{
    return HasFile(strName) && QFile::remove(PathOf(strName));
}

QString EmulatorCard::TempPathOf(const QString &strName) const
{
    if (!IsCardName(strName))
        return QString();
    return m_strDir + QLatin1Char('/') + QLatin1String(UPLOAD_PREFIX) + strName;
}

bool EmulatorCard::Commit(const QString &strTempPath, const QString &strName)
{
    const QString strPath = PathOf(strName);
    if (strPath.isEmpty() || QFileInfo(strPath).isDir())
        return false;
    // rename(2) replaces the old file in one step: a reader sees the old or the new file.
    return std::rename(QFile::encodeName(strTempPath).constData(), QFile::encodeName(strPath).constData()) ==
           0;
}

QString EmulatorCard::NextArchiveName() const
{
    for (int n = 1; n <= MAX_ARCHIVE_NUMBER; ++n) {
        const QString strName = QStringLiteral("ARCH%1.DAT").arg(n, 4, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(m_strDir + QLatin1Char('/') + strName))
            return strName;
    }
    return QString();
}
