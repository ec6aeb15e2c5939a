#include "CSettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

std::unique_ptr<QSettings> OpenStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(CSettingsStore::kOrganisation),
                                       CSettingsStore::ApplicationName());
}

bool Write(const QString &strKey, const QVariant &value)
{
    auto pStore = OpenStore();
    pStore->setValue(strKey, value);
    pStore->sync();
    return pStore->status() == QSettings::NoError;
}

} // namespace

QString CSettingsStore::FilePath()
{
    return OpenStore()->fileName();
}

int CSettingsStore::ReadInt(const QString &strKey, int nDefault)
{
    auto pStore = OpenStore();
    if (pStore->status() != QSettings::NoError)
        return nDefault;
    const QVariant value = pStore->value(strKey);
    if (!value.isValid())
        return nDefault;
    bool bOk = false;
    const int nValue = value.toString().trimmed().toInt(&bOk);
    return bOk ? nValue : nDefault;
}

QVariant CSettingsStore::ReadValue(const QString &strKey)
{
    auto pStore = OpenStore();
    if (pStore->status() != QSettings::NoError)
        return {};
    return pStore->value(strKey);
}

QString CSettingsStore::ReadText(const QString &strKey, const QString &strDefault)
{
    auto pStore = OpenStore();
    if (pStore->status() != QSettings::NoError)
        return strDefault;
    const QVariant value = pStore->value(strKey);
    // A hand-edited value can come back as a list or another type; that is unreadable here.
    if (value.typeId() != QMetaType::QString)
        return strDefault;
    return value.toString();
}

bool CSettingsStore::WriteInt(const QString &strKey, int nValue)
{
    return Write(strKey, nValue);
}

bool CSettingsStore::WriteText(const QString &strKey, const QString &strValue)
{
    return Write(strKey, strValue);
}

int CSettingsStore::Language()
{
    return ReadInt(QString::fromLatin1(kKeyLanguage), kDefaultLanguage);
}

bool CSettingsStore::SetLanguage(int nLanguage)
{
    return WriteInt(QString::fromLatin1(kKeyLanguage), nLanguage);
}

QString CSettingsStore::PathSaveTo()
{
    return ReadText(QString::fromLatin1(kKeyPathSaveTo), DefaultPathSaveTo());
}

bool CSettingsStore::SetPathSaveTo(const QString &strPath)
{
    return WriteText(QString::fromLatin1(kKeyPathSaveTo), strPath);
}

QString CSettingsStore::DefaultPathSaveTo()
{
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (strFolder.isEmpty())
        strFolder = QDir::homePath();
    if (!strFolder.endsWith(u'/'))
        strFolder += u'/';
    return strFolder;
}
