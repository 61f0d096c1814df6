#include "TextDigest.h"
#include "lang/AreaWords.h"
#include "lang/Captions.h"

#include <gtest/gtest.h>

namespace {

using namespace clavora::lang;
using clavora::test::textDigest;

// One line per control: its name and its three texts.
QStringList linesOf(std::span<const CaptionEntry> table)
{
    QStringList lines;
    for (const CaptionEntry& entry : table) {
        QStringList cells{QString::fromUtf8(entry.objectName.data(), qsizetype(entry.objectName.size()))};
        for (int language = English; language <= kLanguageCount; ++language)
            cells << captionText(entry, language);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines;
}

QStringList areaWordLines()
{
    QStringList lines;
    for (int word = 0; word <= int(AreaWord::SplitPrompt); ++word) {
        QStringList cells{QString::number(word)};
        for (int language = English; language <= kLanguageCount; ++language)
            cells << areaWord(language, AreaWord(word));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines;
}

struct TextTable {
    const char* name;
    QStringList (*lines)();
    const char* digest;
};

class EveryText : public ::testing::TestWithParam<TextTable> {};

// Every text of the table, letter for letter in all three languages.
TEST_P(EveryText, ReadsAsDesigned)
{
    const QStringList lines = GetParam().lines();
    EXPECT_EQ(textDigest(lines), GetParam().digest) << lines.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Captions, EveryText,
    ::testing::Values(TextTable{"MainWindow", [] { return linesOf(mainWindowCaptions()); }, "68f9df24e0935d05"},
                      TextTable{"LanguageDialog", [] { return linesOf(languageDialogCaptions()); }, "57f16b7dd851885d"},
                      TextTable{"MidiDialog", [] { return linesOf(midiDialogCaptions()); }, "4364fc80fd004f65"},
                      TextTable{"HelpWindow", [] { return linesOf(helpWindowCaptions()); }, "b973961663f1d5e8"},
                      TextTable{"AreaWords", areaWordLines, "d998c5a8ede07766"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Captions, LookUpByLanguageAndName)
{
    EXPECT_EQ(caption(Portuguese, "View"), QStringLiteral("E&xibir"));
    EXPECT_EQ(caption(Spanish, "View"), QStringLiteral("&Ver"));
    EXPECT_EQ(caption(helpWindowCaptions(), English, "NoteKeys").left(6), QStringLiteral("Note :"));
    // Outside 1..3, or for a name the table lacks, the control keeps its own text.
    for (int language : {0, 4, -1})
        EXPECT_TRUE(caption(language, "View").isNull()) << language;
    EXPECT_TRUE(caption(English, "NoSuchControl").isNull());
}

TEST(Captions, ValueLabelsReadWordBlankValue)
{
    EXPECT_EQ(valueLabel(Spanish, AreaWord::Volume, 100), QStringLiteral("Volumen 100"));
    EXPECT_EQ(valueLabel(Portuguese, AreaWord::Octave, 3), QStringLiteral("Oitava 3"));
    EXPECT_EQ(valueLabel(0, AreaWord::Channel, 0), QStringLiteral("Channel 0"));
    EXPECT_EQ(valueLabel(4, AreaWord::Voices, 7), QStringLiteral("Voices 7"));
}

} // namespace
