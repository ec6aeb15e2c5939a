#include "jobs/LocalReasonText.h"

#include "core/StringIds.h"
#include "core/TextSource.h"

#include <utility>

namespace {

// The reasons that refuse a name; the others are failures of the disk.
constexpr std::pair<LocalReason, quint32> REASON_TEXTS[] = {
    {LocalReason::UnsafeName, StringId::IDS_REASON_UNSAFE_NAME},
    {LocalReason::NotEncodable, StringId::IDS_REASON_NOT_ENCODABLE},
    {LocalReason::NameCollision, StringId::IDS_REASON_NAME_COLLISION},
    {LocalReason::NameTooLong, StringId::IDS_REASON_NAME_TOO_LONG},
    {LocalReason::SymbolicLink, StringId::IDS_REASON_SYMBOLIC_LINK},
    {LocalReason::NotARegularFile, StringId::IDS_REASON_NOT_A_FILE},
    {LocalReason::ReservedName, StringId::IDS_REASON_RESERVED_NAME},
    {LocalReason::AlreadyExists, StringId::IDS_REASON_ALREADY_EXISTS},
};

QString RefusalLine(const QString &strName, const QString &strReason)
{
    return QLatin1Char('\n') + strName + QStringLiteral(": ") + strReason;
}

} // namespace

QString LocalReasonText(LocalReason reason)
{
    for (const auto &[known, nTextId] : REASON_TEXTS) {
        if (known == reason)
            return LoadText(nTextId);
    }
    return QString();
}

QString RefusedDownloadsText(const QList<DownloadPlan::Item> &refused)
{
    QString strText = LoadText(StringId::IDS_DOWNLOADS_REFUSED);
    for (const DownloadPlan::Item &item : refused)
        strText += RefusalLine(item.strCardName, LocalReasonText(item.refusal));
    return strText;
}

QString RefusedNameText(const QString &strName, const QString &strReason)
{
    return LoadText(StringId::IDS_DOWNLOADS_REFUSED) + RefusalLine(strName, strReason);
}
