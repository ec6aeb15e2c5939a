#include "link/UsbDeviceChoice.h"

#include "link/UsbSettingsProvider.h"

#include <QRegularExpression>
#include <QStringList>

UsbDeviceChoice::UsbDeviceChoice(const QString &strText)
    : m_strText(strText.trimmed())
    , m_bPortPath(IsPortPathText(m_strText))
{}

QString UsbDeviceChoice::Configured()
{
    return UsbSettingsProvider::Current().strDevice.trimmed();
}

bool UsbDeviceChoice::IsPortPathText(const QString &strText)
{
    static const QRegularExpression portPath(QStringLiteral("^[0-9]{1,3}-[0-9]{1,3}(\\.[0-9]{1,3}){0,6}$"));
    return portPath.match(strText).hasMatch();
}

bool UsbDeviceChoice::Matches(const QString &strSerial, const QString &strPortPath) const
{
    if (m_strText.isEmpty())
        return true;
    return m_bPortPath ? strPortPath == m_strText : strSerial == m_strText;
}

QString UsbDeviceChoice::ListText(const QList<UsbDeviceIdentity> &devices)
{
    QStringList parts;
    for (const UsbDeviceIdentity &device : devices)
        parts.append(device.strSerial.isEmpty()
                         ? device.strPortPath
                         : QStringLiteral("%1 (%2)").arg(device.strPortPath, device.strSerial));
    return parts.join(QStringLiteral(", "));
}
