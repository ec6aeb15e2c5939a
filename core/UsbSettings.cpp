#include "core/UsbSettings.h"

#include "core/SettingsStore.h"

#include <QStringList>
#include <QVariant>

UsbSettings UsbSettings::Read()
{
    UsbSettings settings;
    const QString strEnv = qEnvironmentVariable(ENV_IDS).trimmed();
    if (!strEnv.isEmpty()) {
        settings.strIds = strEnv;
        settings.strIdsSource = QString::fromLatin1(ENV_IDS);
    } else {
        const QVariant value = SettingsStore::ReadValue(SettingKeys::UsbIds.Name());
        // QSettings reads an unquoted "a,b" as a list.
        settings.strIds = value.typeId() == QMetaType::QStringList
                              ? value.toStringList().join(QLatin1Char(','))
                              : value.toString();
        settings.strIdsSource = SettingsStore::FilePath();
    }
    settings.strDevice = SettingsStore::Read(SettingKeys::Device).trimmed();
    return settings;
}
