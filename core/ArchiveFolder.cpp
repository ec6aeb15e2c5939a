#include "core/ArchiveFolder.h"

#include "core/DownloadPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// "BASE (n)EXT": the name of the card file BASE + EXT that version n was kept under.
const QRegularExpression &VersionPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(.+) \\((\\d+)\\)((?:\\.[^.]*)?)$"));
    return pattern;
}

qsizetype ExtensionStart(const QString &strName)
{
    const qsizetype nDot = strName.lastIndexOf(QLatin1Char('.'));
    return nDot > 0 ? nDot : strName.size();
}

} // namespace

ArchiveFolder::ArchiveFolder(const QString &strFolder)
{
    const QFileInfoList entries = QDir(strFolder).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &info : entries)
        Add({info.fileName(), info.size(), info.lastModified().toSecsSinceEpoch(), false});
}

void ArchiveFolder::Add(const Copy &copy)
{
    m_byName.insert(copy.strName.toCaseFolded(), copy);
    const QRegularExpressionMatch match = VersionPattern().match(copy.strName);
    if (match.hasMatch())
        m_versionsOf[(match.captured(1) + match.captured(3)).toCaseFolded()].append(copy);
}

void ArchiveFolder::Note(const QString &strName, qint64 nSize, const QDateTime &modified)
{
    const QString strKey = strName.toCaseFolded();
    m_byName.remove(strKey);
    for (QList<Copy> &versions : m_versionsOf)
        versions.removeIf([&strKey](const Copy &copy) { return copy.strName.toCaseFolded() == strKey; });
    Add({strName, nSize, modified.isValid() ? modified.toSecsSinceEpoch() : 0, false});
}

QList<ArchiveFolder::Copy> ArchiveFolder::CopiesOf(const QString &strCardName) const
{
    QList<Copy> copies;
    const QString strKey = strCardName.toCaseFolded();
    if (const auto it = m_byName.constFind(strKey); it != m_byName.cend()) {
        copies.append(*it);
        copies.last().bPrimary = true;
    }
    copies += m_versionsOf.value(strKey);
    return copies;
}

const ArchiveFolder::Copy *ArchiveFolder::ArchivedCopy(const QString &strCardName, qint64 nSize,
                                                       const QDateTime &modified) const
{
    if (!modified.isValid())
        return nullptr;
    const qint64 nCardS = modified.toSecsSinceEpoch();
    const QString strKey = strCardName.toCaseFolded();
    if (const auto it = m_byName.constFind(strKey);
        it != m_byName.cend() && it->nSize == nSize && SameDate(it->nModifiedS, nCardS))
        return &*it;
    const auto versions = m_versionsOf.constFind(strKey);
    if (versions == m_versionsOf.cend())
        return nullptr;
    for (const Copy &copy : *versions)
        if (copy.nSize == nSize && SameDate(copy.nModifiedS, nCardS))
            return &copy;
    return nullptr;
}

QString ArchiveFolder::VersionName(const QString &strCardName, int nVersion)
{
    const qsizetype nExt = ExtensionStart(strCardName);
    return strCardName.left(nExt) + QStringLiteral(" (%1)").arg(nVersion) + strCardName.mid(nExt);
}

QString ArchiveFolder::NextVersionName(const QString &strCardName, const DownloadPlan &plan) const
{
    for (int n = 2;; ++n) {
        const QString strName = VersionName(strCardName, n);
        // Anything at all of that name, a link included, keeps the number taken.
        if (!m_byName.contains(strName.toCaseFolded()) && !plan.IsTakenInRun(strName) &&
            !QFileInfo(plan.Folder() + strName).isSymLink() && !QFileInfo::exists(plan.Folder() + strName))
            return strName;
    }
}
