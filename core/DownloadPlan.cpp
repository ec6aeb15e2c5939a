#include "core/DownloadPlan.h"

#include "core/LocalFileName.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What POSIX promises when the folder does not say.
constexpr qint64 DEFAULT_NAME_MAX = 255;

QString Quoted(const QString &strName)
{
    return QLatin1Char('"') + strName + QLatin1Char('"');
}

} // namespace

DownloadPlan::DownloadPlan(const QString &strFolder, Existing existing)
    : m_strFolder(strFolder)
    , m_existing(existing)
{
    if (!m_strFolder.endsWith(QLatin1Char('/')))
        m_strFolder += QLatin1Char('/');
    const long nMax = ::pathconf(QFile::encodeName(m_strFolder).constData(), _PC_NAME_MAX);
    m_nNameMax = nMax > 0 ? nMax : DEFAULT_NAME_MAX;
}

const DownloadPlan::Item &DownloadPlan::Add(const QString &strCardName, const QDateTime &modified,
                                            quint32 nSize, const QString &strLocalName)
{
    if (m_cardNames.contains(strCardName)) {
        for (const Item &item : std::as_const(m_items))
            if (item.strCardName == strCardName)
                return item;
    }
    Item item;
    item.strCardName = strCardName;
    item.strLocalName = strLocalName.isEmpty() ? strCardName : strLocalName;
    item.modified = modified;
    item.nSize = nSize;
    // Case-folded: a FAT, exFAT or SMB destination takes "a.dat" and "A.DAT" for one file, and a
    // card's own FAT folder never holds both, so two such names cannot both be meant.
    if (IsTakenInRun(item.strLocalName)) {
        item.refusal = LocalReason::NameCollision;
        item.strWhy =
            QStringLiteral("another file of this run is written as %1").arg(Quoted(item.strLocalName));
    } else {
        Decide(item);
    }
    if (!item.IsRefused())
        m_foldedLocalNames.insert(item.strLocalName.toCaseFolded());
    m_cardNames.insert(strCardName);
    m_items.append(item);
    return m_items.last();
}

DownloadPlan::Item DownloadPlan::Check(const QString &strLocalName) const
{
    Item item;
    item.strCardName = strLocalName;
    item.strLocalName = strLocalName;
    Decide(item);
    return item;
}

bool DownloadPlan::IsTakenInRun(const QString &strLocalName) const
{
    return m_foldedLocalNames.contains(strLocalName.toCaseFolded());
}

void DownloadPlan::Decide(Item &item) const
{
    const QString &strName = item.strLocalName;
    const auto refuse = [&item](LocalReason reason, const QString &strWhy) {
        item.refusal = reason;
        item.strWhy = strWhy;
    };
    if (!IsSafeLocalFileName(strName))
        return refuse(
            LocalReason::UnsafeName,
            QStringLiteral("it is not a safe local file name: it could leave the destination folder"));
    const QByteArray encoded = QFile::encodeName(strName);
    // An unpaired surrogate comes back as U+FFFD: the file would get another name.
    if (QFile::decodeName(encoded) != strName)
        return refuse(LocalReason::NotEncodable,
                      QStringLiteral("it cannot be written in this system's encoding"));
    if (encoded.size() > m_nNameMax)
        return refuse(LocalReason::NameTooLong,
                      QStringLiteral("it is longer than the %1 bytes a name may have in %2")
                          .arg(m_nNameMax)
                          .arg(m_strFolder));
    if (LocalNames::IsReserved(strName))
        return refuse(LocalReason::ReservedName,
                      QStringLiteral("that name is kept for this program's own files"));

    struct stat st = {};
    if (::lstat(QFile::encodeName(m_strFolder + strName).constData(), &st) != 0)
        return; // nothing there (or nothing this user can see): the write itself will tell
    if (S_ISLNK(st.st_mode)) {
        if (m_existing == Existing::Skip) {
            item.bSkipped = true;
            item.strWhy = QStringLiteral("it is a symbolic link in %1").arg(m_strFolder);
            return;
        }
        return refuse(LocalReason::SymbolicLink,
                      QStringLiteral("%1 is a symbolic link, which is never written through")
                          .arg(m_strFolder + strName));
    }
    if (!S_ISREG(st.st_mode))
        return refuse(
            LocalReason::NotARegularFile,
            QStringLiteral("%1 is in the way and is not a regular file").arg(m_strFolder + strName));
    item.bExists = true;
    switch (m_existing) {
    case Existing::Refuse:
        return refuse(LocalReason::AlreadyExists, QStringLiteral("it already exists in %1").arg(m_strFolder));
    case Existing::Skip:
        item.bSkipped = true;
        item.strWhy = QStringLiteral("it is already in %1").arg(m_strFolder);
        return;
    case Existing::Replace:
        return;
    }
}

QList<DownloadPlan::Item> DownloadPlan::Refused() const
{
    QList<Item> refused;
    for (const Item &item : m_items)
        if (item.IsRefused())
            refused.append(item);
    return refused;
}

QList<DownloadPlan::Item> DownloadPlan::ToDownload() const
{
    QList<Item> kept;
    for (const Item &item : m_items)
        if (item.IsToDownload())
            kept.append(item);
    return kept;
}

void DownloadPlan::Drop(const QStringList &cardNames)
{
    for (Item &item : m_items)
        if (cardNames.contains(item.strCardName) && item.IsToDownload())
            item.bSkipped = true;
}
