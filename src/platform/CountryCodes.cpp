#include "CountryCodes.h"

#include <QString>

#include <array>
#include <charconv>
#include <cstddef>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <utility>

namespace clavora {

namespace {

using T = QLocale::Territory;

// Every territory Qt knows with its calling code; 0 where none applies.
constexpr std::array<std::pair<T, int>, 262> kCallingCodes {{
    {T::AnyTerritory, 0},
    {T::Afghanistan, 93},
    {T::AlandIslands, 358},
    {T::Albania, 355},
    {T::Algeria, 213},
    {T::AmericanSamoa, 1},
    {T::Andorra, 376},
    {T::Angola, 244},
    {T::Anguilla, 1},
    {T::Antarctica, 672},
    {T::AntiguaAndBarbuda, 1},
    {T::Argentina, 54},
    {T::Armenia, 374},
    {T::Aruba, 297},
    {T::AscensionIsland, 247},
    {T::Australia, 61},
    {T::Austria, 43},
    {T::Azerbaijan, 994},
    {T::Bahamas, 1},
    {T::Bahrain, 973},
    {T::Bangladesh, 880},
    {T::Barbados, 1},
    {T::Belarus, 375},
    {T::Belgium, 32},
    {T::Belize, 501},
    {T::Benin, 229},
    {T::Bermuda, 1},
    {T::Bhutan, 975},
    {T::Bolivia, 591},
    {T::BosniaAndHerzegovina, 387},
    {T::Botswana, 267},
    {T::BouvetIsland, 0},
    {T::Brazil, 55},
    {T::BritishIndianOceanTerritory, 246},
    {T::BritishVirginIslands, 1},
    {T::Brunei, 673},
    {T::Bulgaria, 359},
    {T::BurkinaFaso, 226},
    {T::Burundi, 257},
    {T::Cambodia, 855},
    {T::Cameroon, 237},
    {T::Canada, 1},
    {T::CanaryIslands, 34},
    {T::CapeVerde, 238},
    {T::CaribbeanNetherlands, 599},
    {T::CaymanIslands, 1},
    {T::CentralAfricanRepublic, 236},
    {T::CeutaAndMelilla, 34},
    {T::Chad, 235},
    {T::Chile, 56},
    {T::China, 86},
    {T::ChristmasIsland, 61},
    {T::ClippertonIsland, 0},
    {T::CocosIslands, 61},
    {T::Colombia, 57},
    {T::Comoros, 269},
    {T::CongoBrazzaville, 242},
    {T::CongoKinshasa, 243},
    {T::CookIslands, 682},
    {T::CostaRica, 506},
    {T::Croatia, 385},
    {T::Cuba, 53},
    {T::Curacao, 599},
    {T::Cyprus, 357},
    {T::Czechia, 420},
    {T::Denmark, 45},
    {T::DiegoGarcia, 246},
    {T::Djibouti, 253},
    {T::Dominica, 1},
    {T::DominicanRepublic, 1809},
    {T::Ecuador, 593},
    {T::Egypt, 20},
    {T::ElSalvador, 503},
    {T::EquatorialGuinea, 240},
    {T::Eritrea, 291},
    {T::Estonia, 372},
    {T::Eswatini, 268},
    {T::Ethiopia, 251},
    {T::Europe, 0},
    {T::EuropeanUnion, 0},
    {T::FalklandIslands, 500},
    {T::FaroeIslands, 298},
    {T::Fiji, 679},
    {T::Finland, 358},
    {T::France, 33},
    {T::FrenchGuiana, 594},
    {T::FrenchPolynesia, 689},
    {T::FrenchSouthernTerritories, 262},
    {T::Gabon, 241},
    {T::Gambia, 220},
    {T::Georgia, 995},
    {T::Germany, 49},
    {T::Ghana, 233},
    {T::Gibraltar, 350},
    {T::Greece, 30},
    {T::Greenland, 299},
    {T::Grenada, 1},
    {T::Guadeloupe, 590},
    {T::Guam, 1},
    {T::Guatemala, 502},
    {T::Guernsey, 44},
    {T::GuineaBissau, 245},
    {T::Guinea, 224},
    {T::Guyana, 592},
    {T::Haiti, 509},
    {T::HeardAndMcDonaldIslands, 0},
    {T::Honduras, 504},
    {T::HongKong, 852},
    {T::Hungary, 36},
    {T::Iceland, 354},
    {T::India, 91},
    {T::Indonesia, 62},
    {T::Iran, 98},
    {T::Iraq, 964},
    {T::Ireland, 353},
    {T::IsleOfMan, 44},
    {T::Israel, 972},
    {T::Italy, 39},
    {T::IvoryCoast, 225},
    {T::Jamaica, 1},
    {T::Japan, 81},
    {T::Jersey, 44},
    {T::Jordan, 962},
    {T::Kazakhstan, 7},
    {T::Kenya, 254},
    {T::Kiribati, 686},
    {T::Kosovo, 383},
    {T::Kuwait, 965},
    {T::Kyrgyzstan, 996},
    {T::Laos, 856},
    {T::LatinAmerica, 0},
    {T::Latvia, 371},
    {T::Lebanon, 961},
    {T::Lesotho, 266},
    {T::Liberia, 231},
    {T::Libya, 218},
    {T::Liechtenstein, 423},
    {T::Lithuania, 370},
    {T::Luxembourg, 352},
    {T::Macao, 853},
    {T::Macedonia, 389},
    {T::Madagascar, 261},
    {T::Malawi, 265},
    {T::Malaysia, 60},
    {T::Maldives, 960},
    {T::Mali, 223},
    {T::Malta, 356},
    {T::MarshallIslands, 692},
    {T::Martinique, 596},
    {T::Mauritania, 222},
    {T::Mauritius, 230},
    {T::Mayotte, 262},
    {T::Mexico, 52},
    {T::Micronesia, 691},
    {T::Moldova, 373},
    {T::Monaco, 377},
    {T::Mongolia, 976},
    {T::Montenegro, 382},
    {T::Montserrat, 1},
    {T::Morocco, 212},
    {T::Mozambique, 258},
    {T::Myanmar, 95},
    {T::Namibia, 264},
    {T::NauruTerritory, 674},
    {T::Nepal, 977},
    {T::Netherlands, 31},
    {T::NewCaledonia, 687},
    {T::NewZealand, 64},
    {T::Nicaragua, 505},
    {T::Nigeria, 234},
    {T::Niger, 227},
    {T::Niue, 683},
    {T::NorfolkIsland, 672},
    {T::NorthernMarianaIslands, 1},
    {T::NorthKorea, 850},
    {T::Norway, 47},
    {T::Oman, 968},
    {T::OutlyingOceania, 0},
    {T::Pakistan, 92},
    {T::Palau, 680},
    {T::PalestinianTerritories, 970},
    {T::Panama, 507},
    {T::PapuaNewGuinea, 675},
    {T::Paraguay, 595},
    {T::Peru, 51},
    {T::Philippines, 63},
    {T::Pitcairn, 64},
    {T::Poland, 48},
    {T::Portugal, 351},
    {T::PuertoRico, 1787},
    {T::Qatar, 974},
    {T::Reunion, 262},
    {T::Romania, 40},
    {T::Russia, 7},
    {T::Rwanda, 250},
    {T::SaintBarthelemy, 590},
    {T::SaintHelena, 290},
    {T::SaintKittsAndNevis, 1},
    {T::SaintLucia, 1},
    {T::SaintMartin, 590},
    {T::SaintPierreAndMiquelon, 508},
    {T::SaintVincentAndGrenadines, 1},
    {T::Samoa, 685},
    {T::SanMarino, 378},
    {T::SaoTomeAndPrincipe, 239},
    {T::SaudiArabia, 966},
    {T::Senegal, 221},
    {T::Serbia, 381},
    {T::Seychelles, 248},
    {T::SierraLeone, 232},
    {T::Singapore, 65},
    {T::SintMaarten, 1},
    {T::Slovakia, 421},
    {T::Slovenia, 386},
    {T::SolomonIslands, 677},
    {T::Somalia, 252},
    {T::SouthAfrica, 27},
    {T::SouthGeorgiaAndSouthSandwichIslands, 500},
    {T::SouthKorea, 82},
    {T::SouthSudan, 211},
    {T::Spain, 34},
    {T::SriLanka, 94},
    {T::Sudan, 249},
    {T::Suriname, 597},
    {T::SvalbardAndJanMayen, 47},
    {T::Sweden, 46},
    {T::Switzerland, 41},
    {T::Syria, 963},
    {T::Taiwan, 886},
    {T::Tajikistan, 992},
    {T::Tanzania, 255},
    {T::Thailand, 66},
    {T::TimorLeste, 670},
    {T::Togo, 228},
    {T::TokelauTerritory, 690},
    {T::Tonga, 676},
    {T::TrinidadAndTobago, 1},
    {T::TristanDaCunha, 290},
    {T::Tunisia, 216},
    {T::Turkey, 90},
    {T::Turkmenistan, 993},
    {T::TurksAndCaicosIslands, 1},
    {T::TuvaluTerritory, 688},
    {T::Uganda, 256},
    {T::Ukraine, 380},
    {T::UnitedArabEmirates, 971},
    {T::UnitedKingdom, 44},
    {T::UnitedStatesOutlyingIslands, 1},
    {T::UnitedStates, 1},
    {T::UnitedStatesVirginIslands, 1},
    {T::Uruguay, 598},
    {T::Uzbekistan, 998},
    {T::Vanuatu, 678},
    {T::VaticanCity, 39},
    {T::Venezuela, 58},
    {T::Vietnam, 84},
    {T::WallisAndFutuna, 681},
    {T::WesternSahara, 212},
    {T::World, 0},
    {T::Yemen, 967},
    {T::Zambia, 260},
    {T::Zimbabwe, 263},
}};

// The table lists the territories in the order of their enumeration values,
// so a territory's value is its row.
constexpr bool inTerritoryOrder()
{
    for (std::size_t row = 0; row < kCallingCodes.size(); ++row) {
        if (static_cast<std::size_t>(kCallingCodes[row].first) != row)
            return false;
    }
    return kCallingCodes.size() == static_cast<std::size_t>(QLocale::LastTerritory) + 1;
}
static_assert(inTerritoryOrder(), "one row per territory, in enumeration order");

} // namespace

int countryCodeForTerritory(QLocale::Territory territory)
{
    const auto row = static_cast<std::size_t>(territory);
    return row < kCallingCodes.size() ? kCallingCodes[row].second : 0;
}

std::optional<int> installedLocaleCountryCode(const QString& localeName)
{
    if (localeName.isEmpty())
        return std::nullopt;
    const locale_t locale = newlocale(LC_TELEPHONE_MASK, localeName.toLocal8Bit().constData(), locale_t {});
    if (!locale)
        return std::nullopt;
    const std::string_view prefix = nl_langinfo_l(_NL_TELEPHONE_INT_PREFIX, locale);
    int code = 0;
    const auto [end, error] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), code);
    freelocale(locale);
    if (error != std::errc {} || end != prefix.data() + prefix.size() || code <= 0)
        return std::nullopt;
    return code;
}

int countryCodeForLocaleName(QStringView localeName)
{
    // Qt reads an empty, unknown, "C" or "POSIX" name as the C locale, which
    // names no country.
    const QLocale locale(localeName.toString());
    if (locale.language() == QLocale::C)
        return 0;
    const int territoryCode = countryCodeForTerritory(locale.territory());
    const std::optional<int> installed = installedLocaleCountryCode(localeName.toString());
    if (!installed || (*installed == 1 && territoryCode > 1))
        return territoryCode;
    return *installed;
}

int systemCountryCode()
{
    for (const char* variable : {"LC_ALL", "LC_TELEPHONE", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return countryCodeForLocaleName(value);
    }
    return 0;
}

} // namespace clavora
