#include "SaveToSetting.h"

#include <QSettings>

namespace SaveToSetting {

QString Read(const QString &strDefault)
{
    QSettings settings(QString::fromLatin1(SETTINGS_ORGANIZATION), QString::fromLatin1(SETTINGS_APPLICATION));
    // A hand-edited value of another type reads as absent, as the application's store reads it.
    const QVariant value = settings.value(QString::fromLatin1(KEY_PATH_SAVE_TO));
    return value.typeId() == QMetaType::QString ? value.toString() : strDefault;
}

void Write(const QString &strPath)
{
    QSettings settings(QString::fromLatin1(SETTINGS_ORGANIZATION), QString::fromLatin1(SETTINGS_APPLICATION));
    settings.setValue(QString::fromLatin1(KEY_PATH_SAVE_TO), strPath);
}

} // namespace SaveToSetting
