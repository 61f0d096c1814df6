#include "FakePlatform.h"
#include "ScopedEnvironment.h"
#include "lang/AreaWords.h"
#include "lang/LanguageDetection.h"
#include "platform/CountryCodes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace clavora::lang;
using clavora::countryCodeForLocaleName;
using clavora::countryCodeForTerritory;
using T = QLocale::Territory;

struct LocaleRow {
    const char* locale;
    int code;
    int language;
};

class FromLocale : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(FromLocale, GivesTheCallingCodeAndItsLanguage)
{
    const LocaleRow& row = GetParam();
    EXPECT_EQ(countryCodeForLocaleName(QString::fromLatin1(row.locale)), row.code);
    clavora::test::FakePlatform platform;
    platform.country = row.code;
    EXPECT_EQ(detectLanguage(platform), row.language);
}

INSTANTIATE_TEST_SUITE_P(LanguageDetection, FromLocale,
                         ::testing::Values(LocaleRow{"pt_BR", 55, Portuguese}, LocaleRow{"pt_PT.UTF-8", 351, Portuguese},
                                           LocaleRow{"pt_AO", 244, Portuguese}, LocaleRow{"es_ES@euro", 34, Spanish},
                                           LocaleRow{"es_MX", 52, Spanish}, LocaleRow{"es_AR.UTF-8", 54, Spanish},
                                           LocaleRow{"es_PR", 1787, Spanish}, LocaleRow{"es_DO", 1809, Spanish},
                                           LocaleRow{"es_US", 1, English}, LocaleRow{"en_GB", 44, English},
                                           LocaleRow{"de_DE.ISO-8859-15@euro", 49, English},
                                           LocaleRow{"C", 0, English}, LocaleRow{"C.UTF-8", 0, English},
                                           LocaleRow{"POSIX", 0, English}, LocaleRow{"", 0, English},
                                           LocaleRow{"xx_YY", 0, English}));

// Every code of the two lists selects its language and is what some
// territory reports; the codes beside them and those beyond 16 bits (which
// truncated would read 55, 34 and 351) keep English.
TEST(LanguageDetection, EveryListedCodeAndItsNeighbours)
{
    std::set<int> reachable;
    for (int t = 0; t <= int(QLocale::LastTerritory); ++t)
        reachable.insert(countryCodeForTerritory(T(t)));
    for (int code : {55, 238, 239, 244, 245, 258, 351, 670}) {
        EXPECT_EQ(languageForCountryCode(code), Portuguese) << code;
        EXPECT_TRUE(reachable.contains(code)) << code;
    }
    for (int code : {34, 51, 52, 53, 54, 56, 57, 58, 92, 502, 503, 504, 505, 506, 591, 593, 595, 598, 1787, 1809}) {
        EXPECT_EQ(languageForCountryCode(code), Spanish) << code;
        EXPECT_TRUE(reachable.contains(code)) << code;
    }
    for (int code : {-1, 7, 33, 50, 59, 240, 352, 501, 507, 592, 594, 1808, 1810, 32767, 65536 + 55, 65536 + 34,
                     -65536 + 351})
        EXPECT_EQ(languageForCountryCode(code), English) << code;
}

TEST(LanguageDetection, TerritoriesWithoutACodeOfTheirOwnGiveZero)
{
    for (T t : {T::AnyTerritory, T::World, T::Europe, T::LatinAmerica, T(int(QLocale::LastTerritory) + 1)})
        EXPECT_EQ(countryCodeForTerritory(t), 0) << int(t);
    EXPECT_EQ(countryCodeForTerritory(T::Zimbabwe), 263);
}

// LC_ALL comes first, then LC_MESSAGES, then LANG; the C locale names no country.
TEST(LanguageDetection, SystemCountryCodeFollowsTheLocaleVariables)
{
    using clavora::test::ScopedEnvironment;
    ScopedEnvironment all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(clavora::systemCountryCode(), 0);
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 49);
    qputenv("LC_MESSAGES", "pt_BR.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 55);
    qputenv("LC_ALL", "es_MX.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 52);
    qputenv("LC_ALL", "C");
    EXPECT_EQ(clavora::systemCountryCode(), 0);
}

} // namespace
