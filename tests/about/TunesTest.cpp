#include "about/Tunes.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

using namespace clavora::about;

namespace {

struct TuneRow {
    int show;
    int language;
    int number;
    const char* kind;
    int program;
    int notes;
    int milliseconds;
};

class TuneTableTest : public ::testing::TestWithParam<TuneRow> {};

TEST_P(TuneTableTest, MatchesTheShowTable)
{
    const TuneRow& row = GetParam();
    ASSERT_EQ(tunes().size(), std::size_t{kShowCount});
    const Tune& tune = tunes()[static_cast<std::size_t>(row.show - 1)];
    EXPECT_EQ(tune.show, row.show);
    EXPECT_EQ(tune.language, row.language);
    EXPECT_EQ(tune.number, row.number);
    EXPECT_EQ(tune.kind, QLatin1String(row.kind));
    EXPECT_EQ(tune.program, row.program);
    EXPECT_EQ(static_cast<int>(tune.notes.size()), row.notes);
    EXPECT_EQ(tune.totalMilliseconds(), row.milliseconds);
    for (const TuneNote& note : tune.notes) {
        EXPECT_GE(note.note, 41);
        EXPECT_LE(note.note, 96);
        EXPECT_GE(note.milliseconds, 100);
        EXPECT_LE(note.milliseconds, 2400);
    }
}

constexpr int En = 1, Pt = 2, Es = 3;
const char* const kFilm = "film theme";
const char* const kGame = "video-game theme";
const char* const kConcert = "concert-music piece";

INSTANTIATE_TEST_SUITE_P(
    Shows, TuneTableTest,
    ::testing::Values(TuneRow{1, En, 1, kFilm, 44, 66, 29320}, TuneRow{2, En, 2, kFilm, 48, 81, 45450},
                      TuneRow{3, En, 3, kFilm, 72, 34, 28000}, TuneRow{4, En, 4, kFilm, 57, 38, 15950},
                      TuneRow{5, En, 5, kFilm, 56, 40, 18300}, TuneRow{6, En, 6, kFilm, 55, 198, 38400},
                      TuneRow{7, En, 7, kFilm, 56, 75, 35400}, TuneRow{8, Pt, 1, kGame, 0, 74, 28400},
                      TuneRow{9, Pt, 2, kGame, 46, 273, 55200}, TuneRow{10, Pt, 3, kGame, 60, 77, 33450},
                      TuneRow{11, Pt, 4, kGame, 0, 50, 29500}, TuneRow{12, Pt, 5, kGame, 10, 61, 30650},
                      TuneRow{13, Pt, 6, kGame, 6, 120, 44600}, TuneRow{14, Pt, 7, kGame, 46, 94, 48500},
                      TuneRow{15, Es, 1, kConcert, 0, 177, 38100}, TuneRow{16, Es, 2, kConcert, 0, 104, 21800},
                      TuneRow{17, Es, 3, kConcert, 19, 66, 23450}, TuneRow{18, Es, 4, kConcert, 48, 222, 56400},
                      TuneRow{19, Es, 5, kConcert, 8, 77, 33600}, TuneRow{20, Es, 6, kConcert, 48, 69, 25200},
                      TuneRow{21, Es, 7, kConcert, 0, 68, 32250}),
    [](const auto& info) { return "Show" + std::to_string(info.param.show); });

TEST(TuneFarewells, QuotationsAreOneShortLineAndComposerLinesGiveNameCountryYears)
{
    const QRegularExpression composer(QStringLiteral("^\\S.* \\([^()]+\\) \\d{4}-\\d{4}$"));
    for (const Tune& tune : tunes()) {
        SCOPED_TRACE(tune.show);
        EXPECT_FALSE(tune.farewell.isEmpty());
        EXPECT_FALSE(tune.farewell.contains(QLatin1Char('\n')));
        if (tune.language == Es)
            EXPECT_TRUE(composer.match(tune.farewell).hasMatch()) << tune.farewell.toStdString();
        else
            EXPECT_LE(tune.farewell.size(), 54);
    }
    EXPECT_EQ(tunes()[12].farewell, QStringLiteral("Congratulations, Game Completed !"));
}

struct ChoiceRow {
    const char* name;
    int language;
    int shiftState;
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
    ::testing::Values(ChoiceRow{"EnglishShiftAlt", En, kShiftBit | kAltBit, 5},
                      ChoiceRow{"SpanishShiftAlt", Es, kShiftBit | kAltBit, 19},
                      ChoiceRow{"PortugueseCtrl", Pt, kCtrlBit, 9}, ChoiceRow{"EnglishShift", En, kShiftBit, 1},
                      ChoiceRow{"PortugueseAll", Pt, kShiftBit | kCtrlBit | kAltBit, 14},
                      ChoiceRow{"SpanishShift", Es, kShiftBit, 15}, ChoiceRow{"NoModifier", En, 0, 0},
                      ChoiceRow{"LanguageZero", 0, kShiftBit, 0}, ChoiceRow{"LanguageFour", 4, kAltBit, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameRow {
    const char* name;
    int number;
};

class NoteNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(NoteNameTest, ReadsNamesOfTheBook)
{
    EXPECT_EQ(noteNumber(QLatin1String(GetParam().name)), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Names, NoteNameTest,
                         ::testing::Values(NameRow{"C4", 60}, NameRow{"A4", 69}, NameRow{"F#3", 54},
                                           NameRow{"Bb5", 82}, NameRow{"B3", 59}, NameRow{"C-1", 0},
                                           NameRow{"H4", -1}, NameRow{"C", -1}, NameRow{"C#", -1}));

TEST(TuneBook, SkipsWhatItCannotRead)
{
    const auto book = parseTuneBook(QStringLiteral("notes C4 100\n"
                                                   "show 3 Spanish 3\n"
                                                   "# a comment\n"
                                                   "program 19\n"
                                                   "notes C4 100 X9 200 D4 abc E4 300 F4\n"));
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].program, 19);
    EXPECT_EQ(book[0].language, Es);
    ASSERT_EQ(book[0].notes.size(), 2u);
    EXPECT_EQ(book[0].notes[1].note, 64);
    EXPECT_EQ(book[0].totalMilliseconds(), 400);
}

} // namespace
