#include "core/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

std::unique_ptr<QSettings> OpenStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(SettingsStore::kOrganisation),
                                       SettingsStore::ApplicationName());
}

bool WriteValue(const QString &strKey, const QVariant &value)
{
    auto pStore = OpenStore();
    pStore->setValue(strKey, value);
    pStore->sync();
    return pStore->status() == QSettings::NoError;
}

} // namespace

QString SettingsStore::FilePath()
{
    return OpenStore()->fileName();
}

int SettingsStore::Read(SettingKey<int> key, int nDefault)
{
    const QVariant value = ReadValue(key.Name());
    if (!value.isValid())
        return nDefault;
    bool bOk = false;
    const int nValue = value.toString().trimmed().toInt(&bOk);
    return bOk ? nValue : nDefault;
}

QString SettingsStore::Read(SettingKey<QString> key, const QString &strDefault)
{
    const QVariant value = ReadValue(key.Name());
    // A hand-edited value can come back as a list or another type; that is unreadable here.
    if (value.typeId() != QMetaType::QString)
        return strDefault;
    return value.toString();
}

QVariant SettingsStore::ReadValue(const QString &strKey)
{
    auto pStore = OpenStore();
    if (pStore->status() != QSettings::NoError)
        return {};
    return pStore->value(strKey);
}

bool SettingsStore::Write(SettingKey<int> key, int nValue)
{
    return WriteValue(key.Name(), nValue);
}

bool SettingsStore::Write(SettingKey<QString> key, const QString &strValue)
{
    return WriteValue(key.Name(), strValue);
}

QString SettingsStore::DefaultPathSaveTo()
{
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (strFolder.isEmpty())
        strFolder = QDir::homePath();
    if (!strFolder.endsWith(u'/'))
        strFolder += u'/';
    return strFolder;
}

QString SettingsStore::DefaultArchiveFolder()
{
    return QDir::homePath() + QStringLiteral("/RecorderArchive");
}
