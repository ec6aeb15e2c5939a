#pragma once

#include <QLocale>
#include <QString>

// The three-letter abbreviated language names of the other desktop platform ("FRA", "ENU",
// "PLK"), which name the language files, for a locale.
class LanguageCodes final
{
public:
    // The abbreviation of the locale's language and territory; empty when it has none.
    static QString Abbreviation(const QLocale &locale);
    // The abbreviation of the locale's primary language in its default variant (fr_CA gives FRA,
    // en_GB gives ENU); empty when the language has none.
    static QString PrimaryAbbreviation(const QLocale &locale);
};
