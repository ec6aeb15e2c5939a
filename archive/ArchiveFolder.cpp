#include "archive/ArchiveFolder.h"

#include "core/DownloadPlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// "BASE (n)EXT": the name of the card file BASE + EXT that version n was kept under.
const QRegularExpression &VersionPattern()
{
    // Card names may hold line breaks: "." must match them too.
    static const QRegularExpression pattern(QStringLiteral("^(.+) \\((\\d+)\\)((?:\\.[^.]*)?)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
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

const ArchiveFolder::Copy *ArchiveFolder::Find(const QString &strName) const
{
    const auto it = m_byName.constFind(strName.toCaseFolded());
    return it == m_byName.cend() ? nullptr : &*it;
}

bool ArchiveFolder::Holds(const QString &strName, qint64 nSize, const QDateTime &modified) const
{
    const Copy *pCopy = Find(strName);
    return pCopy && modified.isValid() && pCopy->nSize == nSize &&
           SameDate(pCopy->nModifiedS, modified.toSecsSinceEpoch());
}

QString ArchiveFolder::VersionName(const QString &strCardName, int nVersion, qint64 nNameMax)
{
    const qsizetype nExt = ExtensionStart(strCardName);
    QString strStem = strCardName.left(nExt);
    QString strExt = strCardName.mid(nExt);
    const QString strNumber = QStringLiteral(" (%1)").arg(nVersion);
    // A long card name leaves no room for the number: the stem gives way, a whole character at
    // a time, then the extension. The journal says which card file the name holds.
    const auto fits = [&] { return QFile::encodeName(strStem + strNumber + strExt).size() <= nNameMax; };
    const auto shorten = [](QString &str) {
        str.chop(str.size() >= 2 && str.back().isLowSurrogate() && str.at(str.size() - 2).isHighSurrogate()
                     ? 2
                     : 1);
    };
    while (!fits() && strStem.size() > 1)
        shorten(strStem);
    while (!fits() && !strExt.isEmpty())
        shorten(strExt);
    return strStem + strNumber + strExt;
}

QString ArchiveFolder::NextVersionName(const QString &strCardName, const DownloadPlan &plan) const
{
    for (int n = 2;; ++n) {
        const QString strName = VersionName(strCardName, n, plan.NameMax());
        // Anything at all of that name, a link included, keeps the number taken.
        if (!m_byName.contains(strName.toCaseFolded()) && !plan.IsTakenInRun(strName) &&
            !QFileInfo(plan.Folder() + strName).isSymLink() && !QFileInfo::exists(plan.Folder() + strName))
            return strName;
    }
}
