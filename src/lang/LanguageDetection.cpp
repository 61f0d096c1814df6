#include "LanguageDetection.h"

#include "AreaWords.h"
#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace clavora::lang {

namespace {

constexpr std::array kPortugueseCountryCodes {55, 238, 239, 244, 245, 258, 351, 670};

constexpr std::array kSpanishCountryCodes {
    34, 51, 52, 53, 54, 56, 57, 58, 92, 502, 503, 504, 505, 506, 591, 593, 595, 598, 1787, 1809};

constexpr bool contains(const auto& codes, int code)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

} // namespace

int languageForCountryCode(int countryCode)
{
    if (countryCode < std::numeric_limits<std::int16_t>::min()
        || countryCode > std::numeric_limits<std::int16_t>::max())
        return English;
    if (contains(kPortugueseCountryCodes, countryCode))
        return Portuguese;
    if (contains(kSpanishCountryCodes, countryCode))
        return Spanish;
    return English;
}

int detectLanguage(Platform& platform)
{
    return languageForCountryCode(platform.countryCode());
}

} // namespace clavora::lang
