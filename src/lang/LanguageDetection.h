#pragma once

namespace clavora {
class Platform;
}

namespace clavora::lang {

// The language (English, Portuguese or Spanish) for a telephone country code:
// Portuguese and Spanish for the countries that speak them, English for every
// other code, for 0 (no country set) and for codes beyond the 16-bit range
// that the regional settings can hold.
int languageForCountryCode(int countryCode);

// The language for the country code of the platform's regional settings.
int detectLanguage(Platform& platform);

} // namespace clavora::lang
