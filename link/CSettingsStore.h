#pragma once

#include <QString>

class QSettings;
class QVariant;

// The per-user settings of every part of the program: organisation "Haldrin", application
// "OrvoConnect", values at top level (~/.config/Haldrin/OrvoConnect.conf). A value that is
// absent or unreadable reads as its default.
class CSettingsStore final
{
public:
    static constexpr const char *kOrganisation = "Haldrin";
    // The built-in application title, whatever language is active (a test holds the two equal).
    static constexpr const char *kApplication = "OrvoConnect";
    static constexpr const char *kKeyLanguage = "Language";
    static constexpr const char *kKeyPathSaveTo = "PathSaveTo";
    static constexpr const char *kKeyUsbIds = "UsbIds";
    // Which recorder to open when several are attached: a USB serial number or port path.
    static constexpr const char *kKeyDevice = "Device";
    static constexpr int kDefaultLanguage = 0;

    static QString ApplicationName() { return QString::fromLatin1(kApplication); }
    // Where the values are kept.
    static QString FilePath();

    static int ReadInt(const QString &strKey, int nDefault);
    static QString ReadText(const QString &strKey, const QString &strDefault);
    // The stored value as it reads back, whatever its type; invalid when absent or unreadable.
    static QVariant ReadValue(const QString &strKey);
    // False when the store could not be written.
    static bool WriteInt(const QString &strKey, int nValue);
    static bool WriteText(const QString &strKey, const QString &strValue);

    static int Language();
    static bool SetLanguage(int nLanguage);
    static QString PathSaveTo();
    static bool SetPathSaveTo(const QString &strPath);
    // The user's download folder followed by "/".
    static QString DefaultPathSaveTo();
};
