#pragma once

#include <QString>

class QSettings;

// The per-user settings: organisation "Haldrin", application "OrvoConnect", values at top level
// (~/.config/Haldrin/OrvoConnect.conf). A value that is absent or unreadable reads as its default.
class CSettingsStore final
{
public:
    static constexpr const char *kOrganisation = "Haldrin";
    static constexpr const char *kKeyLanguage = "Language";
    static constexpr const char *kKeyPathSaveTo = "PathSaveTo";
    static constexpr int kDefaultLanguage = 0;

    // The application name: the built-in title, whatever language is active.
    static QString ApplicationName();
    // Where the values are kept.
    static QString FilePath();

    static int ReadInt(const QString &strKey, int nDefault);
    static QString ReadText(const QString &strKey, const QString &strDefault);
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
