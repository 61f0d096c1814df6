#include "about/Tunes.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <tuple>

using namespace clavora::about;

namespace {

struct TuneRow {
    int show, language, number;
    const char* kind;
    int program, notes, milliseconds;
};

class TuneTableTest : public ::testing::TestWithParam<TuneRow> {};

TEST_P(TuneTableTest, MatchesTheShowTable)
{
    const TuneRow& row = GetParam();
    ASSERT_EQ(tunes().size(), std::size_t{kShowCount});
    const Tune& tune = tunes()[static_cast<std::size_t>(row.show - 1)];
    EXPECT_EQ(std::tie(tune.show, tune.language, tune.number, tune.program),
              std::tie(row.show, row.language, row.number, row.program));
    EXPECT_EQ(tune.kind, QLatin1String(row.kind));
    EXPECT_EQ(static_cast<int>(tune.notes.size()), row.notes);
    EXPECT_EQ(tune.totalMilliseconds(), row.milliseconds);
    for (const TuneNote& note : tune.notes)
        EXPECT_TRUE(note.note >= 41 && note.note <= 96 && note.milliseconds >= 100 && note.milliseconds <= 2400)
            << note.note << " for " << note.milliseconds << " ms";
    // A quotation is one short line; a composer line reads "name (country) yyyy-yyyy".
    static const QRegularExpression composer(QStringLiteral("^\\S.* \\([^()]+\\) \\d{4}-\\d{4}$"));
    EXPECT_TRUE(row.language == 3 ? composer.match(tune.farewell).hasMatch()
                                  : !tune.farewell.isEmpty() && tune.farewell.size() <= 54)
        << tune.farewell.toStdString();
}

const char* const kFilm = "film theme";
const char* const kGame = "video-game theme";
const char* const kPiece = "concert-music piece";

INSTANTIATE_TEST_SUITE_P(
    Shows, TuneTableTest,
    ::testing::Values(TuneRow{1, 1, 1, kFilm, 44, 66, 29320}, TuneRow{2, 1, 2, kFilm, 48, 81, 45450},
                      TuneRow{3, 1, 3, kFilm, 72, 34, 28000}, TuneRow{4, 1, 4, kFilm, 57, 38, 15950},
                      TuneRow{5, 1, 5, kFilm, 56, 40, 18300}, TuneRow{6, 1, 6, kFilm, 55, 198, 38400},
                      TuneRow{7, 1, 7, kFilm, 56, 75, 35400}, TuneRow{8, 2, 1, kGame, 0, 74, 28400},
                      TuneRow{9, 2, 2, kGame, 46, 273, 55200}, TuneRow{10, 2, 3, kGame, 60, 77, 33450},
                      TuneRow{11, 2, 4, kGame, 0, 50, 29500}, TuneRow{12, 2, 5, kGame, 10, 61, 30650},
                      TuneRow{13, 2, 6, kGame, 6, 120, 44600}, TuneRow{14, 2, 7, kGame, 46, 94, 48500},
                      TuneRow{15, 3, 1, kPiece, 0, 177, 38100}, TuneRow{16, 3, 2, kPiece, 0, 104, 21800},
                      TuneRow{17, 3, 3, kPiece, 19, 66, 23450}, TuneRow{18, 3, 4, kPiece, 48, 222, 56400},
                      TuneRow{19, 3, 5, kPiece, 8, 77, 33600}, TuneRow{20, 3, 6, kPiece, 48, 69, 25200},
                      TuneRow{21, 3, 7, kPiece, 0, 68, 32250}),
    [](const auto& info) { return "Show" + std::to_string(info.param.show); });

// The tune book names its notes: every letter, sharp, flat and octave must
// come out as the note the synthesizer is to play.
class NoteNameTest : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(NoteNameTest, GivesTheMidiNumber) { EXPECT_EQ(noteNumber(QLatin1String(GetParam().first)), GetParam().second); }

INSTANTIATE_TEST_SUITE_P(Names, NoteNameTest,
                         ::testing::Values(std::pair{"C4", 60}, std::pair{"D4", 62}, std::pair{"E4", 64},
                                           std::pair{"F#3", 54}, std::pair{"G5", 79}, std::pair{"A4", 69},
                                           std::pair{"Bb4", 70}, std::pair{"B-1", 11}, std::pair{"C#", -1},
                                           std::pair{"H4", -1}));

struct ChoiceRow {
    const char* name;
    int language, shiftState;
    int show; // 0: nothing plays
};

class TuneChoiceTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(TuneChoiceTest, ModifiersAndLanguagePickTheShow)
{
    const Tune* tune = tuneFor(GetParam().language, GetParam().shiftState);
    EXPECT_EQ(tune ? tune->show : 0, GetParam().show);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, TuneChoiceTest,
    ::testing::Values(ChoiceRow{"EnglishShift", 1, kShiftBit, 1}, ChoiceRow{"EnglishShiftAlt", 1, kShiftBit | kAltBit, 5},
                      ChoiceRow{"SpanishShiftAlt", 3, kShiftBit | kAltBit, 19}, ChoiceRow{"PortugueseCtrl", 2, kCtrlBit, 9},
                      ChoiceRow{"PortugueseAll", 2, kShiftBit | kCtrlBit | kAltBit, 14}, ChoiceRow{"NoModifier", 1, 0, 0},
                      ChoiceRow{"LanguageZero", 0, kShiftBit, 0}, ChoiceRow{"LanguageFour", 4, kAltBit, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
