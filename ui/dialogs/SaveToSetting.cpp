#include "SaveToSetting.h"

#include <QSettings>

namespace SaveToSetting {

QString Read(const QString &strDefault)
{
    QSettings settings(QString::fromLatin1(SETTINGS_ORGANIZATION), QString::fromLatin1(SETTINGS_APPLICATION));
    return settings.value(QString::fromLatin1(KEY_PATH_SAVE_TO), strDefault).toString();
}

void Write(const QString &strPath)
{
    QSettings settings(QString::fromLatin1(SETTINGS_ORGANIZATION), QString::fromLatin1(SETTINGS_APPLICATION));
    settings.setValue(QString::fromLatin1(KEY_PATH_SAVE_TO), strPath);
}

} // namespace SaveToSetting
