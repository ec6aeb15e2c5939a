#pragma once

#include "app/LanguageFiles.h"

#include <QLocale>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ResourceSet;

// Chooses the resource set of a run: the automatic choice by interface language, then the
// "Language" setting, which replaces the automatic choice unless it is 0.
//
// Start-up:
//     LanguageChooser chooser(LanguageFiles::ForRunningProgram());
//     std::unique_ptr<ResourceSet> pSet = chooser.ChooseAutomatic(LanguageChooser::UserLocaleName(),
//                                                                  LanguageChooser::SystemLocaleName());
//     pSet = chooser.ApplyLanguageSetting(SettingsStore::Language(), std::move(pSet));
//     SetActiveTextSource(pSet.get()); // keep pSet alive until every window and job is gone
// or simply ChooseForStartup(nLanguage), which does the same.
class LanguageChooser final
{
public:
    // "Language" values.
    static constexpr int kLanguageAutomatic = 0;
    static constexpr int kLanguageEnglish = 1;
    static constexpr int kLanguageFrench = 2;
    static constexpr int kLanguagePolish = 3;
    static constexpr int kLanguageRussian = 4;
    static constexpr int kLanguageItalian = 5;
    // The last candidate of the automatic choice, tried whatever the locales.
    static constexpr const char *kFallbackCode = "LOC";

    explicit LanguageChooser(LanguageFiles files);

    // The user's interface locale name, from LANGUAGE (its first entry), LC_ALL, LC_MESSAGES or
    // LANG, the first that is set and not empty.
    static QString UserLocaleName(const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    // The system's locale name, from the first of the files that names one (LC_ALL, LC_MESSAGES
    // or LANG assignments, as in /etc/default/locale).
    static QString SystemLocaleName(const QStringList &configFiles = DefaultSystemLocaleFiles());
    static QStringList DefaultSystemLocaleFiles();
    // "fr_FR.UTF-8@euro" as a locale; none for an empty, "C", "POSIX" or unknown name.
    static std::optional<QLocale> LocaleFromName(const QString &strName);

    // The codes tried by the automatic choice, in order: the user's language, its primary
    // language, the system's language, its primary language, then "LOC". Codes that cannot be
    // found for a locale are left out.
    static QStringList AutomaticCandidates(const QString &strUserLocale, const QString &strSystemLocale);
    // The names of the languages 1 to 5, each in its own language and the same in every set
    // (the Options list shows string 191 for 0, then these).
    static QStringList LanguageNames();
    // The code of a "Language" value 2 to 5; empty for any other value.
    static QString CodeForSetting(int nLanguage);

    // The first candidate whose language file loads, or the built-in set. Never null.
    std::unique_ptr<ResourceSet> ChooseAutomatic(const QString &strUserLocale,
                                                 const QString &strSystemLocale) const;
    // The set of the run for a "Language" value, given the automatic choice. Never null.
    std::unique_ptr<ResourceSet> ApplyLanguageSetting(int nLanguage,
                                                      std::unique_ptr<ResourceSet> pAutomatic) const;
    // Both steps with this process's locales.
    std::unique_ptr<ResourceSet> ChooseForStartup(int nLanguage) const;

    const LanguageFiles &Files() const { return m_files; }

private:
    LanguageFiles m_files;
};
