#include "platform/CountryCodes.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using clavora::countryCodeForLocaleName;
using clavora::countryCodeForTerritory;
using T = QLocale::Territory;

std::set<int> reachableCodes()
{
    std::set<int> codes;
    for (int t = 0; t <= static_cast<int>(QLocale::LastTerritory); ++t)
        codes.insert(countryCodeForTerritory(static_cast<T>(t)));
    return codes;
}

TEST(CountryCodes, TerritoriesGiveTheirCallingCodes)
{
    EXPECT_EQ(countryCodeForTerritory(T::Brazil), 55);
    EXPECT_EQ(countryCodeForTerritory(T::Portugal), 351);
    EXPECT_EQ(countryCodeForTerritory(T::Spain), 34);
    EXPECT_EQ(countryCodeForTerritory(T::Mexico), 52);
    EXPECT_EQ(countryCodeForTerritory(T::UnitedKingdom), 44);
    EXPECT_EQ(countryCodeForTerritory(T::Germany), 49);
    EXPECT_EQ(countryCodeForTerritory(T::TimorLeste), 670);
    EXPECT_EQ(countryCodeForTerritory(T::Zimbabwe), 263);
}

TEST(CountryCodes, NorthAmericanPlanGivesOneExceptPuertoRicoAndDominicanRepublic)
{
    EXPECT_EQ(countryCodeForTerritory(T::UnitedStates), 1);
    EXPECT_EQ(countryCodeForTerritory(T::Canada), 1);
    EXPECT_EQ(countryCodeForTerritory(T::Jamaica), 1);
    EXPECT_EQ(countryCodeForTerritory(T::PuertoRico), 1787);
    EXPECT_EQ(countryCodeForTerritory(T::DominicanRepublic), 1809);
}

TEST(CountryCodes, RegionsWithoutACodeGiveZero)
{
    EXPECT_EQ(countryCodeForTerritory(T::AnyTerritory), 0);
    EXPECT_EQ(countryCodeForTerritory(T::World), 0);
    EXPECT_EQ(countryCodeForTerritory(T::Europe), 0);
    EXPECT_EQ(countryCodeForTerritory(T::LatinAmerica), 0);
    EXPECT_EQ(countryCodeForTerritory(static_cast<T>(static_cast<int>(QLocale::LastTerritory) + 1)), 0);
}

TEST(CountryCodes, EveryPortugueseAndSpanishCodeIsReachable)
{
    const std::set<int> reachable = reachableCodes();
    const std::vector<int> listed{55,  238, 239, 244, 245, 258, 351, 670, 34,  51,  52,  53,  54,  56,
                                  57,  58,  92,  502, 503, 504, 505, 506, 591, 593, 595, 598, 1787, 1809};
    for (int code : listed)
        EXPECT_TRUE(reachable.contains(code)) << "no territory gives " << code;
}

TEST(CountryCodes, LocaleNames)
{
    EXPECT_EQ(countryCodeForLocaleName(u"pt_BR"), 55);
    EXPECT_EQ(countryCodeForLocaleName(u"pt_PT"), 351);
    EXPECT_EQ(countryCodeForLocaleName(u"es_MX"), 52);
    EXPECT_EQ(countryCodeForLocaleName(u"es_ES"), 34);
    EXPECT_EQ(countryCodeForLocaleName(u"en_US"), 1);
    EXPECT_EQ(countryCodeForLocaleName(u"de_DE"), 49);
    EXPECT_EQ(countryCodeForLocaleName(u"es_PR"), 1787);
    EXPECT_EQ(countryCodeForLocaleName(u"es_DO"), 1809);
}

TEST(CountryCodes, LocaleNamesWithEncodingOrModifier)
{
    EXPECT_EQ(countryCodeForLocaleName(u"pt_BR.UTF-8"), 55);
    EXPECT_EQ(countryCodeForLocaleName(u"es_ES@euro"), 34);
    EXPECT_EQ(countryCodeForLocaleName(u"de_DE.ISO-8859-15@euro"), 49);
}

TEST(CountryCodes, CAndUnknownLocalesGiveZero)
{
    EXPECT_EQ(countryCodeForLocaleName(u"C"), 0);
    EXPECT_EQ(countryCodeForLocaleName(u"C.UTF-8"), 0);
    EXPECT_EQ(countryCodeForLocaleName(u"POSIX"), 0);
    EXPECT_EQ(countryCodeForLocaleName(u""), 0);
    EXPECT_EQ(countryCodeForLocaleName(u"xx_YY"), 0);
}

// Sets the three variables for one test and restores them afterwards.
class SystemCountryCode : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            m_saved.push_back(qgetenv(name));
            m_wasSet.push_back(qEnvironmentVariableIsSet(name));
            qunsetenv(name);
        }
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (m_wasSet[i])
                qputenv(kNames[i], m_saved[i]);
            else
                qunsetenv(kNames[i]);
        }
    }

    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

private:
    std::vector<QByteArray> m_saved;
    std::vector<bool> m_wasSet;
};

TEST_F(SystemCountryCode, LcAllComesFirstThenLcMessagesThenLang)
{
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 49);
    qputenv("LC_MESSAGES", "pt_BR.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 55);
    qputenv("LC_ALL", "es_MX.UTF-8");
    EXPECT_EQ(clavora::systemCountryCode(), 52);
}

TEST_F(SystemCountryCode, NothingSetOrCLocaleGivesZero)
{
    EXPECT_EQ(clavora::systemCountryCode(), 0);
    qputenv("LANG", "pt_BR.UTF-8");
    qputenv("LC_ALL", "C");
    EXPECT_EQ(clavora::systemCountryCode(), 0);
}

} // namespace
