#pragma once
#include <QLocale>
#include <QStringView>

namespace clavora {

// International telephone calling code of a territory, as the regional
// settings of other systems report it: 1 for the North American numbering
// plan, except 1787 for Puerto Rico and 1809 for the Dominican Republic.
// Regions without a code of their own (AnyTerritory, World, Europe, ...)
// give 0.
int countryCodeForTerritory(QLocale::Territory territory);

// Calling code of the territory of a POSIX locale name such as "pt_BR" or
// "es_MX.UTF-8"; 0 for "C", "POSIX", an empty or an unknown name.
int countryCodeForLocaleName(QStringView localeName);

// Calling code of the user's regional settings: the first of LC_ALL,
// LC_MESSAGES and LANG that is set decides; 0 when none is set or it names
// the C locale.
int systemCountryCode();

} // namespace clavora
