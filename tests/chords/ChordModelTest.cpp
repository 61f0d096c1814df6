// The chord vocabulary, the chord tables, the editors' form and held notes
// recognised as a chord of the current table.
#include "TextDigest.h"
#include "chords/ChordEditing.h"
#include "chords/ChordRecognition.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace clavora::chords;

namespace {

ChordTables defaultTables()
{
    ChordTables tables;
    tables.loadDefaults();
    return tables;
}

constexpr int kX = kStringNotPlayed;

// The text built, or the field refused, as "text/field".
std::string outcome(const BuiltChord& b)
{
    return b.text.toStdString() + "/" + std::to_string(b.refusedField);
}

// The frets of a guitar chord as the user writes them: one digit per
// string, x for a string that is not played.
QString fretsOf(QStringView chord)
{
    QString text;
    for (int s = 1; s <= kGuitarStringCount; ++s)
        text += guitarStringFret(chord, s) == kX ? QStringLiteral("x") : QString::number(guitarStringFret(chord, s));
    return text;
}

// Suffix, note count and English name of every type, the note names and both
// default tables, letter for letter; nothing outside them.
TEST(ChordModel, VocabularyAndDefaultTablesAsDesigned)
{
    QStringList types;
    for (int t = -1; t <= kChordTypeCount; ++t)
        types << QStringLiteral("%1\t%2\t%3\t%4\t%5")
                     .arg(t, 2, 10, QLatin1Char('0'))
                     .arg(chordSuffix(t))
                     .arg(chordNoteCount(t))
                     .arg(chordTypeEnglishName(t), noteName(t));
    EXPECT_EQ(types.takeFirst(), "-1\t\t3\t\t");
    EXPECT_EQ(types.takeLast(), "12\t\t3\t\t");
    EXPECT_EQ(clavora::test::textDigest(types), "23d848a6f3dc6d0a") << types.join('\n').toStdString();

    const ChordTables tables = defaultTables();
    QStringList chords;
    for (int index = 0; index < kChordCount; ++index)
        chords << QStringLiteral("%1\t%2\t%3")
                      .arg(index, 3, 10, QLatin1Char('0'))
                      .arg(tables.keyboardChord(index), fretsOf(tables.guitarChord(index)));
    EXPECT_EQ(clavora::test::textDigest(chords), "372dbc08be5dfeba") << chords.join('\n').toStdString();
}

// Field n of a keyboard chord: 1..3 read their own field, any other n the
// fourth; string s of a guitar chord: 1..5 their own, any other the sixth.
// The editors replace single entries inside the table.
TEST(ChordModel, FieldsReadByNoteAndStringAndReplacedOneByOne)
{
    ChordTables tables = defaultTables();
    const int keyboard[][4] = {{0, 0, 1, 7}, {0, 0, 3, 16}, {0, 0, 4, 0}, {9, 9, 1, 0}, {9, 9, 4, 11}, {9, 3, 0, 16},
        {9, 3, 7, 16}, {-1, 0, 1, 0}, {0, 12, 1, 0}};
    for (const auto& [note, type, n, value] : keyboard)
        EXPECT_EQ(tables.keyboardChordNote(note, type, n), value) << note << " " << type << " " << n;
    const int guitar[][4]
        = {{2, 0, 1, -1}, {0, 0, 2, 12}, {0, 0, 5, 24}, {0, 0, 0, 28}, {0, 0, 8, 28}, {0, -1, 1, 0}, {1, 12, 1, 0}};
    for (const auto& [note, type, s, value] : guitar)
        EXPECT_EQ(tables.guitarStringPitch(note, type, s), value) << note << " " << type << " " << s;

    ASSERT_TRUE(tables.setKeyboardChord(0, "00041135"));
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 4), 35);
    ASSERT_TRUE(tables.setGuitarChord(chordTableIndex(11, 10), "-12328333728"));
    EXPECT_EQ(tables.guitarStringPitch(11, 10, 2), 23);
    EXPECT_EQ(tables.keyboardChord(1), "081317"); // neighbours untouched
    EXPECT_EQ(fretsOf(tables.guitarChord(chordTableIndex(10, 10))), "113333");
    // A string past the sixth reads the sixth; a missing field reads 0.
    EXPECT_EQ(guitarStringFret(u"041216192437", 9), 9);
    EXPECT_EQ(guitarStringFret(u"0412", 3), -14);
    for (int index : {-1, kChordTableSize}) {
        EXPECT_FALSE(tables.setKeyboardChord(index, "071216"));
        EXPECT_FALSE(tables.setGuitarChord(index, "041216192428"));
        EXPECT_TRUE(tables.keyboardChord(index).isEmpty());
        EXPECT_TRUE(tables.guitarChord(index).isEmpty());
    }
    EXPECT_TRUE(tables.setKeyboardChord(kChordCount, "071216"));
}

// --- The editors' form ------------------------------------------------------

TEST(ChordEditing, LoadsShowTheStoredFields)
{
    const ChordTables tables = defaultTables();
    // The fourth row of a three-note chord is hidden and keeps what it held.
    const KeyboardGrid held {{{2, 2}, {2, 2}, {2, 2}, {2, 11}}};
    EXPECT_EQ(loadKeyboardGrid(tables, 11, 7, held), (KeyboardGrid {{{0, 11}, {1, 2}, {1, 5}, {2, 11}}})); // "111417"
    EXPECT_EQ(loadGuitarFrets(tables, 0, 0), (GuitarFrets {0, 3, 2, 0, 1, 0})); // C major
    EXPECT_EQ(loadGuitarFrets(tables, 1, 0), (GuitarFrets {4, 4, 6, 6, 6, kX})); // C#/Db major: string 6 not played
}

TEST(ChordEditing, KeyboardGridGivesTheTextOrTheRefusedRow)
{
    // Three-note types ignore the fourth row; rows keep their order.
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, 0)), "000407/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, 9)), "00040735/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{2, 11}, {0, 0}, {1, 6}, {0, 0}}}, 1)), "350018/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {5, 7}, {0, 0}}}, 2)), "00006700/0"); // octave 5's highest
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {5, 8}, {0, 0}}}, 2)), "/3"); // above note 127
    EXPECT_EQ(outcome(buildKeyboardChord({{{-1, 4}, {0, 0}, {0, 0}, {0, 0}}}, 0)), "/1"); // no octave selected
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {0, 0}, {1, -1}}}, 4)), "/4"); // no note selected
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 12}, {0, 0}, {0, 0}}}, 0)), "/2"); // beyond the names
}

TEST(ChordEditing, GuitarFretsGiveTheTextOrTheRefusedString)
{
    EXPECT_EQ(outcome(buildGuitarChord({kX, 3, 2, 0, 1, 0})), "-11216192428/0");
    EXPECT_EQ(outcome(buildGuitarChord({0, 3, 2, 0, 1, 9})), "041216192437/0");
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, 0, 0, 0, 39})), "040914192367/0"); // the highest fret on string 6
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, 0, 0, 0, 40})), "/6"); // above note 127
    EXPECT_EQ(outcome(buildGuitarChord({-2, 0, 0, 0, 0, 0})), "/1"); // no entry selected
    // Fret -5 on the D string would be written "09" and read back as fret -5 of
    // another note; it is refused rather than stored as something else.
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, -5, 0, 0, 0})), "/3");
}

// --- Recognition -------------------------------------------------------------

constexpr auto K = ChordTableKind::Keyboard;
constexpr auto G = ChordTableKind::Guitar;
using R = RecognisedChord;

// Every type with its root lowest; an inversion; a set that is
// two chords, told apart by its lowest note (C6 and Am7, and the three
// augmented chords on C, E and G#); doublings an octave apart; a set that is
// no chord; the guitar's four-note diminished chord, which the keyboard's
// triad is not.
TEST(Recognition, FindsTheChordOfTheDefaultTables)
{
    const ChordTables tables = defaultTables();
    const std::tuple<ChordTableKind, std::vector<int>, std::optional<RecognisedChord>> held[]
        = {{K, {55, 59, 62}, R {0, 7}}, {K, {58, 61, 65}, R {1, 10}}, {K, {55, 59, 62, 65}, R {2, 7}},
            {K, {58, 61, 65, 68}, R {3, 10}}, {K, {55, 59, 62, 66}, R {4, 7}}, {K, {58, 63, 65}, R {5, 10}},
            {K, {55, 59, 63}, R {6, 7}}, {K, {58, 61, 64}, R {7, 10}}, {K, {55, 57, 59, 65}, R {8, 7}},
            {K, {58, 60, 61, 68}, R {9, 10}}, {K, {55, 59, 62, 64}, R {10, 7}}, {K, {58, 61, 65, 67}, R {11, 10}},
            {K, {52, 55, 60}, R {0, 0}}, {K, {57, 60, 64, 67}, R {3, 9}}, {K, {52, 56, 60}, R {6, 4}},
            {K, {56, 60, 64}, R {6, 8}}, {K, {36, 48, 52, 55, 67}, R {0, 0}}, {K, {48, 49, 50}, std::nullopt},
            {K, {48, 51, 54, 57}, std::nullopt}, {G, {48, 51, 54, 57}, R {7, 0}}, {G, {52, 55, 60}, R {0, 0}},
            {K, {}, std::nullopt}};
    for (const auto& [kind, notes, chord] : held)
        EXPECT_EQ(recogniseChord(tables, kind, notes), chord) << ::testing::PrintToString(notes);
}

// An edited chord is recognised from its new notes, and its old ones no
// longer are; of the two chords with the new notes (the edited C major and
// G sus4) the one on the lowest note wins.
TEST(Recognition, AnEditedChordByItsNewNotes)
{
    ChordTables tables = defaultTables();
    tables.setKeyboardChord(chordTableIndex(0, 0), QStringLiteral("071214"));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {48, 50, 55}), (R {0, 0}));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {55, 60, 62}), (R {5, 7}));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {48, 52, 55}), std::nullopt);
    // A guitar chord's lowest string counts too: here an F# only it plays.
    ASSERT_TRUE(tables.setGuitarChord(chordTableIndex(0, 0), buildGuitarChord({2, 3, 2, 0, 1, 0}).text));
    EXPECT_EQ(recogniseChord(tables, G, std::vector {42, 48, 52, 55}), (R {0, 0}));
}

} // namespace
