#include "app/LanguageCodes.h"

namespace {

struct Abbreviation
{
    QLocale::Language language;
    QLocale::Territory territory;
    const char *pszCode;
};

// For each language the first row is its default variant.
// clang-format off
constexpr Abbreviation kAbbreviations[] = {
    {QLocale::English, QLocale::UnitedStates, "ENU"},
    {QLocale::English, QLocale::UnitedKingdom, "ENG"},
    {QLocale::English, QLocale::Australia, "ENA"},
    {QLocale::English, QLocale::Canada, "ENC"},
    {QLocale::English, QLocale::NewZealand, "ENZ"},
    {QLocale::English, QLocale::Ireland, "ENI"},
    {QLocale::English, QLocale::SouthAfrica, "ENS"},
    {QLocale::English, QLocale::Jamaica, "ENJ"},
    {QLocale::English, QLocale::Belize, "ENL"},
    {QLocale::English, QLocale::TrinidadAndTobago, "ENT"},
    {QLocale::English, QLocale::Zimbabwe, "ENW"},
    {QLocale::English, QLocale::Philippines, "ENP"},
    {QLocale::English, QLocale::India, "ENN"},
    {QLocale::English, QLocale::Malaysia, "ENM"},
    {QLocale::English, QLocale::Singapore, "ENE"},
    {QLocale::French, QLocale::France, "FRA"},
    {QLocale::French, QLocale::Belgium, "FRB"},
    {QLocale::French, QLocale::Canada, "FRC"},
    {QLocale::French, QLocale::Switzerland, "FRS"},
    {QLocale::French, QLocale::Luxembourg, "FRL"},
    {QLocale::French, QLocale::Monaco, "FRM"},
    {QLocale::German, QLocale::Germany, "DEU"},
    {QLocale::German, QLocale::Switzerland, "DES"},
    {QLocale::German, QLocale::Austria, "DEA"},
    {QLocale::German, QLocale::Luxembourg, "DEL"},
    {QLocale::German, QLocale::Liechtenstein, "DEC"},
    {QLocale::Italian, QLocale::Italy, "ITA"},
    {QLocale::Italian, QLocale::Switzerland, "ITS"},
    {QLocale::Polish, QLocale::Poland, "PLK"},
    {QLocale::Russian, QLocale::Russia, "RUS"},
    {QLocale::Spanish, QLocale::Spain, "ESP"},
    {QLocale::Spanish, QLocale::Mexico, "ESM"},
    {QLocale::Spanish, QLocale::Argentina, "ESS"},
    {QLocale::Spanish, QLocale::Colombia, "ESO"},
    {QLocale::Spanish, QLocale::Chile, "ESL"},
    {QLocale::Spanish, QLocale::Peru, "ESR"},
    {QLocale::Spanish, QLocale::Venezuela, "ESV"},
    {QLocale::Portuguese, QLocale::Brazil, "PTB"},
    {QLocale::Portuguese, QLocale::Portugal, "PTG"},
    {QLocale::Dutch, QLocale::Netherlands, "NLD"},
    {QLocale::Dutch, QLocale::Belgium, "NLB"},
    {QLocale::Swedish, QLocale::Sweden, "SVE"},
    {QLocale::Swedish, QLocale::Finland, "SVF"},
    {QLocale::Danish, QLocale::Denmark, "DAN"},
    {QLocale::NorwegianBokmal, QLocale::Norway, "NOR"},
    {QLocale::NorwegianNynorsk, QLocale::Norway, "NON"},
    {QLocale::Finnish, QLocale::Finland, "FIN"},
    {QLocale::Icelandic, QLocale::Iceland, "ISL"},
    {QLocale::Czech, QLocale::CzechRepublic, "CSY"},
    {QLocale::Slovak, QLocale::Slovakia, "SKY"},
    {QLocale::Hungarian, QLocale::Hungary, "HUN"},
    {QLocale::Romanian, QLocale::Romania, "ROM"},
    {QLocale::Bulgarian, QLocale::Bulgaria, "BGR"},
    {QLocale::Croatian, QLocale::Croatia, "HRV"},
    {QLocale::Slovenian, QLocale::Slovenia, "SLV"},
    {QLocale::Ukrainian, QLocale::Ukraine, "UKR"},
    {QLocale::Belarusian, QLocale::Belarus, "BEL"},
    {QLocale::Lithuanian, QLocale::Lithuania, "LTH"},
    {QLocale::Latvian, QLocale::Latvia, "LVI"},
    {QLocale::Estonian, QLocale::Estonia, "ETI"},
    {QLocale::Greek, QLocale::Greece, "ELL"},
    {QLocale::Turkish, QLocale::Turkey, "TRK"},
    {QLocale::Hebrew, QLocale::Israel, "HEB"},
    {QLocale::Arabic, QLocale::SaudiArabia, "ARA"},
    {QLocale::Persian, QLocale::Iran, "FAR"},
    {QLocale::Hindi, QLocale::India, "HIN"},
    {QLocale::Thai, QLocale::Thailand, "THA"},
    {QLocale::Vietnamese, QLocale::Vietnam, "VIT"},
    {QLocale::Indonesian, QLocale::Indonesia, "IND"},
    {QLocale::Japanese, QLocale::Japan, "JPN"},
    {QLocale::Korean, QLocale::SouthKorea, "KOR"},
    {QLocale::Chinese, QLocale::Taiwan, "CHT"},
    {QLocale::Chinese, QLocale::China, "CHS"},
    {QLocale::Chinese, QLocale::HongKong, "ZHH"},
    {QLocale::Chinese, QLocale::Singapore, "ZHI"},
    {QLocale::Catalan, QLocale::Spain, "CAT"},
    {QLocale::Basque, QLocale::Spain, "EUQ"},
};
// clang-format on

} // namespace

QString LanguageCodes::Abbreviation(const QLocale &locale)
{
    for (const auto &row : kAbbreviations) {
        if (row.language == locale.language() && row.territory == locale.territory())
            return QString::fromLatin1(row.pszCode);
    }
    return {};
}

QString LanguageCodes::PrimaryAbbreviation(const QLocale &locale)
{
    for (const auto &row : kAbbreviations) {
        if (row.language == locale.language())
            return QString::fromLatin1(row.pszCode);
    }
    return {};
}
