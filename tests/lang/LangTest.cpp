#include "ScopedEnvironment.h"
#include "TextDigest.h"
#include "lang/AreaWords.h"
#include "lang/Captions.h"
#include "lang/EditorCaptions.h"
#include "lang/KeepTexts.h"
#include "lang/LanguageDetection.h"
#include "platform/CountryCodes.h"

#include <locale.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace clavora::lang;

// One line per control (or area word): its key and its three texts.
QStringList linesOf(std::size_t count, const std::function<QString(std::size_t, int)>& text)
{
    QStringList lines;
    for (std::size_t row = 0; row < count; ++row)
        lines << QStringList {text(row, 0), text(row, English), text(row, Portuguese), text(row, Spanish)}.join(
            QLatin1Char('\t'));
    return lines;
}
QStringList linesOf(std::span<const CaptionEntry> table)
{
    return linesOf(table.size(), [&](std::size_t row, int language) {
        const std::string_view name = table[row].objectName;
        return language ? captionText(table[row], language) : QString::fromUtf8(name.data(), qsizetype(name.size()));
    });
}
// Every word of an enumeration up to its last, by number.
template <typename Word> QStringList linesOf(Word last, QString (*text)(int, Word))
{
    return linesOf(std::size_t(last) + 1,
        [&](std::size_t word, int language) { return language ? text(language, Word(word)) : QString::number(word); });
}

// Every text of every table, letter for letter in all three languages.
TEST(Captions, EveryTableReadsAsDesigned)
{
    const std::pair<QStringList, const char*> tables[]
        = {{linesOf(mainWindowCaptions()), "38a161bd68172e7e"}, {linesOf(languageDialogCaptions()), "57f16b7dd851885d"},
            {linesOf(midiDialogCaptions()), "4364fc80fd004f65"}, {linesOf(midiInDialogCaptions()), "c8f64cc6336730bd"},
            {linesOf(helpWindowCaptions()), "b973961663f1d5e8"}, {linesOf(aboutBoxCaptions()), "f34aa721443e3865"},
            {linesOf(AreaWord::SplitPrompt, areaWord), "d998c5a8ede07766"},
            {linesOf(KeepText::Cancel, keepText), "00feebd45c2030a2"}};
    for (const auto& [lines, digest] : tables)
        EXPECT_EQ(clavora::test::textDigest(lines), digest) << lines.join(QLatin1Char('\n')).toStdString();
}

TEST(Captions, LookUpByLanguageAndNameAndValueLabels)
{
    EXPECT_EQ(caption(Portuguese, "View") + caption(helpWindowCaptions(), Spanish, "frmHelp"),
        QStringLiteral("E&xibirAyuda"));
    // Outside 1..3, or for a name the table lacks, the control keeps its own text.
    for (int language : {0, 4, -1})
        EXPECT_TRUE(caption(language, "View").isNull()) << language;
    // A value label reads word, blank, value; outside 1..3 in English.
    EXPECT_EQ(
        valueLabel(0, AreaWord::Channel, 0) + valueLabel(4, AreaWord::Voices, 7), QStringLiteral("Channel 0Voices 7"));
    EXPECT_EQ(keepText(0, KeepText::Cancel) + keepText(4, KeepText::Cancel), QStringLiteral("CancelCancel"));
    EXPECT_EQ((chordTypeNames(0).first() + chordTypeNames(4).first()).toStdString(), "Major (Normal)Major (Normal)");
}

// Exactly these codes select Portuguese (2) or Spanish (3); the rest keep
// English, as do those beyond 16 bits (which truncated would read 55, 34 and
// 351).
TEST(LanguageDetection, EveryListedCodeAndNoOther)
{
    QStringList listed;
    for (int code = -140000; code <= 140000; ++code)
        if (const int language = languageForCountryCode(code); language != English)
            listed << QStringLiteral("%1:%2").arg(code).arg(language);
    EXPECT_EQ(listed.join(QLatin1Char(' ')).toStdString(),
        "34:3 51:3 52:3 53:3 54:3 55:2 56:3 57:3 58:3 92:3 238:2 239:2 244:2 245:2 258:2 351:2 502:3 503:3 504:3 "
        "505:3 506:3 591:3 593:3 595:3 598:3 670:2 1787:3 1809:3");
}

// Where the locale is not installed, the territory's calling code stands in:
// exactly these territories read Portuguese (2) or Spanish (3).
TEST(LanguageDetection, TerritoriesThatReadPortugueseOrSpanish)
{
    QStringList found;
    for (int t = 0; t <= int(QLocale::LastTerritory); ++t)
        if (const int language = languageForCountryCode(clavora::countryCodeForTerritory(QLocale::Territory(t)));
            language != English)
            found << QStringLiteral("%1:%2").arg(QLocale::territoryToCode(QLocale::Territory(t))).arg(language);
    EXPECT_EQ(found.join(QLatin1Char(' ')).toStdString(),
        "AO:2 AR:3 BO:3 BR:2 IC:3 CV:2 EA:3 CL:3 CO:3 CR:3 CU:3 DO:3 EC:3 SV:3 GT:3 GW:2 HN:3 MX:3 MZ:2 NI:3 PK:3 PY:3 "
        "PE:3 PT:2 PR:3 ST:2 ES:3 TL:2 UY:3 VE:3");
}

// LC_ALL comes first, then LC_TELEPHONE, then LANG; the locale's name gives
// its calling code, and C, POSIX or an unknown country none. The rows hold
// locales installed and not (the C library has no pt_MZ): where one is not,
// the territory's code stands in.
TEST(LanguageDetection, SystemCountryCodeFollowsTheLocaleVariables)
{
    clavora::test::ScopedEnvironment all("LC_ALL", nullptr), telephone("LC_TELEPHONE", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(clavora::systemCountryCode(), 0);
    for (const auto& [variable, value, code] :
        {std::tuple {"LANG", "de_DE.UTF-8", 49}, {"LC_TELEPHONE", "pt_BR.UTF-8", 55}, {"LC_ALL", "es_MX.UTF-8", 52},
            {"LC_ALL", "C", 0}, {"LC_ALL", "pt_PT.UTF-8", 351}, {"LC_ALL", "es_ES@euro", 34}, {"LC_ALL", "es_PR", 1787},
            {"LC_ALL", "es_DO.UTF-8", 1809}, {"LC_ALL", "es_US", 1}, {"LC_ALL", "de_DE.ISO-8859-15@euro", 49},
            {"LC_ALL", "pt_MZ.UTF-8", 258}, {"LC_ALL", "POSIX", 0}, {"LC_ALL", "xx_YY", 0}}) {
        qputenv(variable, value);
        EXPECT_EQ(clavora::systemCountryCode(), code) << variable << "=" << value;
    }
}

// The C library's own locale data answers for an installed locale, also
// where Qt's reading of the name would say otherwise: Basque in France is
// 33, not Spain's 34.
TEST(LanguageDetection, InstalledLocalesGiveTheirOwnCallingCode)
{
    for (const auto& [name, code] : {std::pair {"pt_BR.UTF-8", 55}, {"es_ES.UTF-8", 34}, {"eu_FR.UTF-8", 33}}) {
        const locale_t installed = newlocale(LC_TELEPHONE_MASK, name, locale_t {});
        if (!installed)
            GTEST_SKIP() << name << " is not installed (Debian's locales-all has it)";
        freelocale(installed);
        EXPECT_EQ(clavora::installedLocaleCountryCode(QString::fromLatin1(name)), code) << name;
    }
    EXPECT_EQ(clavora::installedLocaleCountryCode(QStringLiteral("xx_YY.UTF-8")), std::nullopt);
    EXPECT_EQ(clavora::installedLocaleCountryCode(QString()), std::nullopt);
    EXPECT_EQ(clavora::countryCodeForLocaleName(u"eu_FR.UTF-8"), 33);
}

} // namespace
