#include "jobs/LocalReasonText.h"

#include "core/StringIds.h"
#include "core/TextSource.h"

QString LocalReasonText(LocalReason reason)
{
    switch (reason) {
    case LocalReason::UnsafeName:
        return LoadText(StringId::IDS_REASON_UNSAFE_NAME);
    case LocalReason::NotEncodable:
        return LoadText(StringId::IDS_REASON_NOT_ENCODABLE);
    case LocalReason::NameCollision:
        return LoadText(StringId::IDS_REASON_NAME_COLLISION);
    case LocalReason::NameTooLong:
        return LoadText(StringId::IDS_REASON_NAME_TOO_LONG);
    case LocalReason::SymbolicLink:
        return LoadText(StringId::IDS_REASON_SYMBOLIC_LINK);
    case LocalReason::NotARegularFile:
        return LoadText(StringId::IDS_REASON_NOT_A_FILE);
    case LocalReason::ReservedName:
        return LoadText(StringId::IDS_REASON_RESERVED_NAME);
    case LocalReason::AlreadyExists:
        return LoadText(StringId::IDS_REASON_ALREADY_EXISTS);
    case LocalReason::None:
    case LocalReason::CannotCreate:
    case LocalReason::CannotWrite:
    case LocalReason::CannotFinish:
    case LocalReason::CannotRead:
    case LocalReason::EmptyFile:
    case LocalReason::TooLarge:
        break;
    }
    return QString();
}

QString RefusedDownloadsText(const QList<DownloadPlan::Item> &refused)
{
    QString strText = LoadText(StringId::IDS_DOWNLOADS_REFUSED);
    for (const DownloadPlan::Item &item : refused)
        strText +=
            QLatin1Char('\n') + item.strCardName + QStringLiteral(": ") + LocalReasonText(item.refusal);
    return strText;
}

QString LocalFailureText(const QString &strName, LocalReason reason)
{
    const QString strReason = LocalReasonText(reason);
    if (strReason.isEmpty())
        return LoadText(StringId::IDS_HOST_IO_ERROR);
    return LoadText(StringId::IDS_DOWNLOADS_REFUSED) + QLatin1Char('\n') + strName + QStringLiteral(": ") +
           strReason;
}
