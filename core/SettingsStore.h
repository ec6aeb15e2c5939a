#pragma once

#include <QString>

class QVariant;

// A value of the settings store: its name and its type. The keys are listed once, here.
template <typename T> struct SettingKey
{
    const char *pszName;
    QString Name() const { return QString::fromLatin1(pszName); }
};

namespace SettingKeys {
// The interface language for the next start: 0 for the automatic choice, else a language code.
inline constexpr SettingKey<int> Language{"Language"};
// The last download folder, ending with "/".
inline constexpr SettingKey<QString> PathSaveTo{"PathSaveTo"};
// The recorder's vendor:product pairs, "1234:5678,1234:5679".
inline constexpr SettingKey<QString> UsbIds{"UsbIds"};
// Which recorder to open when several are attached: a USB serial number or port path.
inline constexpr SettingKey<QString> Device{"Device"};
// The main window as it was last closed. Its client area "x,y,width,height" (before it was
// maximised, when it was), 1 when it was maximised, the shares of the information pane and the
// file list ("upper,lower", out of 32768) and the list's column widths ("name,date,size").
inline constexpr SettingKey<QString> WindowRect{"WindowRect"};
inline constexpr SettingKey<int> WindowMaximized{"WindowMaximized"};
inline constexpr SettingKey<QString> PaneShares{"PaneShares"};
inline constexpr SettingKey<QString> ColumnWidths{"ColumnWidths"};
// The archive folder: where archiving copies the card's new files, and the folder checked by
// "Verify archive". Empty: none is set.
inline constexpr SettingKey<QString> ArchiveFolder{"ArchiveFolder"};
// Whether the window's archive runs delete the archived files from the card (1) or not (0).
inline constexpr SettingKey<int> ArchiveDeleteAfter{"ArchiveDeleteAfter"};
} // namespace SettingKeys

// The per-user settings of every part of the program: organisation "Haldrin", application
// "OrvoConnect", values at top level (~/.config/Haldrin/OrvoConnect.conf). A value that is
// absent or unreadable reads as its default.
class SettingsStore final
{
public:
    static constexpr const char *kOrganisation = "Haldrin";
    // The built-in application title, whatever language is active (a test holds the two equal).
    static constexpr const char *kApplication = "OrvoConnect";
    static constexpr int kDefaultLanguage = 0;

    static QString ApplicationName() { return QString::fromLatin1(kApplication); }
    // Where the values are kept.
    static QString FilePath();

    static int Read(SettingKey<int> key, int nDefault);
    // A value that is not a text (a hand-edited list, say) reads as the default.
    static QString Read(SettingKey<QString> key, const QString &strDefault = QString());
    // The stored value as it reads back, whatever its type; invalid when absent or unreadable.
    static QVariant ReadValue(const QString &strKey);
    // False when the store could not be written.
    static bool Write(SettingKey<int> key, int nValue);
    static bool Write(SettingKey<QString> key, const QString &strValue);

    static int Language() { return Read(SettingKeys::Language, kDefaultLanguage); }
    static QString PathSaveTo() { return Read(SettingKeys::PathSaveTo, DefaultPathSaveTo()); }
    // The user's download folder followed by "/".
    static QString DefaultPathSaveTo();
    static QString ArchiveFolder() { return Read(SettingKeys::ArchiveFolder, DefaultArchiveFolder()); }
    // ~/RecorderArchive.
    static QString DefaultArchiveFolder();
};
