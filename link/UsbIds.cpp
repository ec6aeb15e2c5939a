#include "link/UsbIds.h"

#include "core/SettingsStore.h"
#include "link/LinkOpenFailure.h"
#include "link/UsbSettingsProvider.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

namespace {

std::optional<quint16> ParseHex16(const QString &strPart)
{
    QString strDigits = strPart;
    if (strDigits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        strDigits = strDigits.mid(2);
    if (strDigits.isEmpty() || strDigits.size() > 4)
        return std::nullopt;
    bool bOk = false;
    const uint nValue = strDigits.toUInt(&bOk, 16);
    if (!bOk)
        return std::nullopt;
    return quint16(nValue);
}

} // namespace

std::optional<UsbIds> UsbIds::Parse(const QString &strText, QString *pError, QString *pBadEntry)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    QList<Pair> pairs;
    for (const QString &strEntry : strText.split(separators, Qt::SkipEmptyParts)) {
        const QStringList parts = strEntry.split(QLatin1Char(':'));
        const auto nVendor = parts.size() == 2 ? ParseHex16(parts[0]) : std::nullopt;
        const auto nProduct = parts.size() == 2 ? ParseHex16(parts[1]) : std::nullopt;
        if (!nVendor || !nProduct) {
            if (pError)
                *pError = QStringLiteral("\"%1\" is not a USB vendor:product pair (hexadecimal, "
                                         "for example 1234:5678)")
                              .arg(strEntry);
            if (pBadEntry)
                *pBadEntry = strEntry;
            return std::nullopt;
        }
        const Pair pair{*nVendor, *nProduct};
        if (!pairs.contains(pair))
            pairs.append(pair);
    }
    return UsbIds(std::move(pairs));
}

std::optional<UsbIds> UsbIds::ReadConfigured(LinkOpenFailure *pFailure)
{
    const UsbSettings settings = UsbSettingsProvider::Current();
    QString strBadEntry;
    auto ids = Parse(settings.strIds, nullptr, &strBadEntry);
    if (!ids && pFailure) {
        *pFailure = LinkOpenFailure();
        pFailure->kind = LinkOpenFailure::Kind::UnreadableUsbIds;
        pFailure->strSource = settings.strIdsSource;
        pFailure->strDetail = strBadEntry;
    }
    return ids;
}

std::optional<UsbIds> UsbIds::Configured(QString *pError)
{
    LinkOpenFailure failure;
    auto ids = ReadConfigured(&failure);
    if (!ids && pError)
        *pError = failure.EnglishText();
    return ids;
}

QString UsbIds::ConfiguredSource()
{
    const QString strSource = UsbSettingsProvider::Current().strIdsSource;
    if (strSource == QLatin1String(UsbSettings::ENV_IDS))
        return strSource;
    return QStringLiteral("the %1 setting (%2)").arg(SettingKeys::UsbIds.Name(), strSource);
}

bool UsbIds::Contains(quint16 nVendor, quint16 nProduct) const
{
    return m_pairs.contains(Pair{nVendor, nProduct});
}

QString UsbIds::Format(quint16 nVendor, quint16 nProduct)
{
    return QStringLiteral("%1:%2")
        .arg(nVendor, 4, 16, QLatin1Char('0'))
        .arg(nProduct, 4, 16, QLatin1Char('0'));
}

QString UsbIds::ToString() const
{
    QStringList parts;
    for (const Pair &pair : m_pairs)
        parts.append(Format(pair.nVendor, pair.nProduct));
    return parts.join(QLatin1Char(','));
}
