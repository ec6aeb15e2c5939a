#include "app/LanguageChooser.h"

#include "app/LanguageCodes.h"
#include "app/ResourceSet.h"

#include <QFile>
#include <QRegularExpression>

#include <utility>

namespace {

// A locale file is a few lines; anything far larger is not one.
constexpr qint64 kMaxLocaleFileBytes = 64 * 1024;

const char *const kLocaleVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

// The "Language" values 1 to 5: each language's name in its own words, and the code of its
// language file (none for the built-in English).
struct Language
{
    int nSetting;
    const char *pszName; // UTF-8
    const char *pszCode;
};
constexpr Language kLanguages[] = {
    {LanguageChooser::kLanguageEnglish, "English", nullptr},
    {LanguageChooser::kLanguageFrench, "Français", "FRA"},
    {LanguageChooser::kLanguagePolish, "Polski", "PLK"},
    {LanguageChooser::kLanguageRussian, "Русский", "RUS"},
    {LanguageChooser::kLanguageItalian, "Italiano", "ITA"},
};

QString Unquote(QString strValue)
{
    strValue = strValue.trimmed();
    if (strValue.size() >= 2 && (strValue.front() == u'"' || strValue.front() == u'\'') &&
        strValue.back() == strValue.front())
        strValue = strValue.mid(1, strValue.size() - 2);
    return strValue.trimmed();
}

QHash<QString, QString> ReadAssignments(const QString &strPath)
{
    QHash<QString, QString> values;
    QFile file(strPath);
    if (file.size() > kMaxLocaleFileBytes || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    const QStringList lines = QString::fromUtf8(file.read(kMaxLocaleFileBytes)).split(u'\n');
    for (QString strLine : lines) {
        strLine = strLine.trimmed();
        if (strLine.startsWith(u'#'))
            continue;
        if (strLine.startsWith(QLatin1String("export ")))
            strLine = strLine.mid(7).trimmed();
        const qsizetype nEq = strLine.indexOf(u'=');
        if (nEq <= 0)
            continue;
        values.insert(strLine.left(nEq).trimmed(), Unquote(strLine.mid(nEq + 1)));
    }
    return values;
}

void AddLocaleCandidates(const QString &strName, QStringList &codes)
{
    const std::optional<QLocale> locale = LanguageChooser::LocaleFromName(strName);
    if (!locale)
        return;
    const QString strCode = LanguageCodes::Abbreviation(*locale);
    if (!strCode.isEmpty())
        codes << strCode;
    const QString strPrimary = LanguageCodes::PrimaryAbbreviation(*locale);
    if (!strPrimary.isEmpty())
        codes << strPrimary;
}

} // namespace

LanguageChooser::LanguageChooser(LanguageFiles files)
    : m_files(std::move(files))
{}

QString LanguageChooser::UserLocaleName(const QProcessEnvironment &env)
{
    const QString strLanguage = env.value(QStringLiteral("LANGUAGE")).section(u':', 0, 0).trimmed();
    if (!strLanguage.isEmpty())
        return strLanguage;
    for (const char *pszName : kLocaleVariables) {
        const QString strValue = env.value(QString::fromLatin1(pszName)).trimmed();
        if (!strValue.isEmpty())
            return strValue;
    }
    return {};
}

QString LanguageChooser::SystemLocaleName(const QStringList &configFiles)
{
    for (const QString &strPath : configFiles) {
        const QHash<QString, QString> values = ReadAssignments(strPath);
        for (const char *pszName : kLocaleVariables) {
            const QString strValue = values.value(QString::fromLatin1(pszName));
            if (!strValue.isEmpty())
                return strValue;
        }
    }
    return {};
}

QStringList LanguageChooser::DefaultSystemLocaleFiles()
{
    return {QStringLiteral("/etc/default/locale"), QStringLiteral("/etc/locale.conf")};
}

std::optional<QLocale> LanguageChooser::LocaleFromName(const QString &strName)
{
    // Drop the code set and the modifier: "de_DE.UTF-8@euro" -> "de_DE".
    static const QRegularExpression kTail(QStringLiteral("[.@].*$"));
    QString strBare = strName.trimmed();
    strBare.remove(kTail);
    if (strBare.isEmpty() || strBare == QLatin1String("C") || strBare == QLatin1String("POSIX"))
        return std::nullopt;
    static const QRegularExpression kShape(QStringLiteral("^[A-Za-z]{2,3}([_-][A-Za-z0-9]{2,8})*$"));
    if (!kShape.match(strBare).hasMatch())
        return std::nullopt;
    const QLocale locale(strBare);
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return std::nullopt;
    return locale;
}

QStringList LanguageChooser::AutomaticCandidates(const QString &strUserLocale, const QString &strSystemLocale)
{
    QStringList codes;
    AddLocaleCandidates(strUserLocale, codes);
    AddLocaleCandidates(strSystemLocale, codes);
    codes << QString::fromLatin1(kFallbackCode);
    return codes;
}

QStringList LanguageChooser::LanguageNames()
{
    QStringList names;
    for (const Language &language : kLanguages)
        names << QString::fromUtf8(language.pszName);
    return names;
}

QString LanguageChooser::CodeForSetting(int nLanguage)
{
    for (const Language &language : kLanguages) {
        if (language.nSetting == nLanguage && language.pszCode)
            return QString::fromLatin1(language.pszCode);
    }
    return {};
}

std::unique_ptr<ResourceSet> LanguageChooser::ChooseAutomatic(const QString &strUserLocale,
                                                              const QString &strSystemLocale) const
{
    for (const QString &strCode : AutomaticCandidates(strUserLocale, strSystemLocale)) {
        if (auto pSet = ResourceSet::LoadLanguage(strCode, m_files))
            return pSet;
    }
    return std::make_unique<ResourceSet>();
}

std::unique_ptr<ResourceSet>
LanguageChooser::ApplyLanguageSetting(int nLanguage, std::unique_ptr<ResourceSet> pAutomatic) const
{
    if (nLanguage == kLanguageAutomatic && pAutomatic)
        return pAutomatic;
    // An explicit choice discards the automatic one, even when its own file is missing.
    pAutomatic.reset();
    const QString strCode = CodeForSetting(nLanguage);
    if (!strCode.isEmpty()) {
        if (auto pSet = ResourceSet::LoadLanguage(strCode, m_files))
            return pSet;
    }
    return std::make_unique<ResourceSet>();
}

std::unique_ptr<ResourceSet> LanguageChooser::ChooseForStartup(int nLanguage) const
{
    return ApplyLanguageSetting(nLanguage, ChooseAutomatic(UserLocaleName(), SystemLocaleName()));
}
