#include "FakePlatform.h"
#include "lang/AreaWords.h"
#include "lang/LanguageDetection.h"
#include "platform/CountryCodes.h"

#include <gtest/gtest.h>

namespace {

using namespace clavora::lang;

TEST(LanguageDetection, EdgeCases)
{
    EXPECT_EQ(languageForCountryCode(1809), Spanish);
    EXPECT_EQ(languageForCountryCode(1787), Spanish);
    EXPECT_EQ(languageForCountryCode(1), English);
    EXPECT_EQ(languageForCountryCode(44), English);
    EXPECT_EQ(languageForCountryCode(351), Portuguese);
    EXPECT_EQ(languageForCountryCode(55), Portuguese);
    EXPECT_EQ(languageForCountryCode(0), English);
    EXPECT_EQ(languageForCountryCode(34), Spanish);
    EXPECT_EQ(languageForCountryCode(52), Spanish);
}

TEST(LanguageDetection, EveryPortugueseCode)
{
    for (int code : {55, 238, 239, 244, 245, 258, 351, 670})
        EXPECT_EQ(languageForCountryCode(code), Portuguese) << code;
}

TEST(LanguageDetection, EverySpanishCode)
{
    for (int code : {34, 51, 52, 53, 54, 56, 57, 58, 92, 502, 503, 504, 505, 506, 591, 593, 595, 598, 1787, 1809})
        EXPECT_EQ(languageForCountryCode(code), Spanish) << code;
}

TEST(LanguageDetection, OtherCodesKeepEnglish)
{
    for (int code : {-1, 7, 33, 49, 50, 59, 240, 352, 501, 507, 592, 594, 1808, 1810, 32767})
        EXPECT_EQ(languageForCountryCode(code), English) << code;
}

TEST(LanguageDetection, CodesBeyondSixteenBitsKeepEnglish)
{
    // Truncated to 16 bits these would read 55, 34 and 351.
    EXPECT_EQ(languageForCountryCode(65536 + 55), English);
    EXPECT_EQ(languageForCountryCode(65536 + 34), English);
    EXPECT_EQ(languageForCountryCode(-65536 + 351), English);
}

TEST(LanguageDetection, DetectLanguageAsksThePlatform)
{
    clavora::test::FakePlatform platform;
    platform.country = 1809;
    EXPECT_EQ(detectLanguage(platform), Spanish);
    platform.country = 351;
    EXPECT_EQ(detectLanguage(platform), Portuguese);
    platform.country = 0;
    EXPECT_EQ(detectLanguage(platform), English);
}

TEST(LanguageDetection, FromLocaleNames)
{
    auto fromLocale = [](const char16_t* name) { return languageForCountryCode(clavora::countryCodeForLocaleName(name)); };
    EXPECT_EQ(fromLocale(u"pt_BR.UTF-8"), Portuguese);
    EXPECT_EQ(fromLocale(u"pt_AO"), Portuguese);
    EXPECT_EQ(fromLocale(u"es_AR.UTF-8"), Spanish);
    EXPECT_EQ(fromLocale(u"es_US"), English);
    EXPECT_EQ(fromLocale(u"fr_FR"), English);
    EXPECT_EQ(fromLocale(u"C"), English);
}

} // namespace
