#pragma once
#include <QLocale>
#include <QStringView>

#include <optional>

namespace clavora {

// International telephone calling code of a territory, as the regional
// settings of other systems report it: 1 for the North American numbering
// plan, except 1787 for Puerto Rico and 1809 for the Dominican Republic.
// Regions without a code of their own (AnyTerritory, World, Europe, ...)
// give 0.
int countryCodeForTerritory(QLocale::Territory territory);

// The calling code the system's own locale data gives for a POSIX locale
// name (the LC_TELEPHONE category's international prefix): 55 for
// "pt_BR.UTF-8". Empty when that locale is not installed or names no code.
std::optional<int> installedLocaleCountryCode(const QString& localeName);

// Calling code of a POSIX locale name such as "pt_BR" or "es_MX.UTF-8": the
// installed locale's own where there is one, else the code of the territory
// the name gives; 0 for "C", "POSIX", an empty or an unknown name. The
// locale data says 1 for the whole North American plan, where the
// territory tells Puerto Rico (1787) and the Dominican Republic (1809)
// apart.
int countryCodeForLocaleName(QStringView localeName);

// Calling code of the user's regional settings: the first of LC_ALL,
// LC_TELEPHONE and LANG that is set decides, as it does for the C library;
// 0 when none is set or it names the C locale.
int systemCountryCode();

} // namespace clavora
