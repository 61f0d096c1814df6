#include "chords/ChordModel.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <vector>

using namespace clavora::chords;

namespace {

class DefaultChordTables : public ::testing::Test
{
protected:
    void SetUp() override { tables.loadDefaults(); }

    // Notes of a keyboard chord as the chord area sounds them on one octave.
    std::vector<int> keyboardNotes(int note, int type, int octave) const
    {
        std::vector<int> notes;
        for (int j = 1; j <= chordNoteCount(type); ++j)
            notes.push_back(octave * 12 + tables.keyboardChordNote(note, type, j));
        return notes;
    }

    std::vector<int> guitarNotes(int note, int type, int octave) const
    {
        std::vector<int> notes;
        for (int s = 1; s <= kGuitarStringCount; ++s) {
            const int p = tables.guitarStringPitch(note, type, s);
            if (p != kStringNotPlayed)
                notes.push_back(octave * 12 + p);
        }
        return notes;
    }

    ChordTables tables;
};

} // namespace

TEST(ChordVocabulary, TypesSuffixesNamesAndNoteCounts)
{
    const QStringList suffixes = loadChordSuffixes();
    EXPECT_EQ(suffixes, (QStringList{"maj", "m", "7", "m7", "maj7", "sus4", "aug", "dim", "9", "m9", "6", "m6"}));
    EXPECT_EQ(chordTypeEnglishNames(),
              (QStringList{"Major (Normal)", "Minor", "Seventh", "Minor Seventh", "Major Seventh", "Suspended",
                           "Augmented", "Diminished", "Ninth", "Minor Ninth", "Sixth", "Minor Sixth"}));
    EXPECT_EQ(noteNames(),
              (QStringList{"C", "C#/Db", "D", "D#/Eb", "E", "F", "F#/Gb", "G", "G#/Ab", "A", "A#/Bb", "B"}));

    const std::vector<int> fourNoteTypes = {2, 3, 4, 8, 9, 10, 11};
    for (int t = 0; t < kChordTypeCount; ++t) {
        const bool four = std::find(fourNoteTypes.begin(), fourNoteTypes.end(), t) != fourNoteTypes.end();
        EXPECT_EQ(chordNoteCount(t), four ? 4 : 3) << "type " << t;
        EXPECT_EQ(chordSuffix(t), suffixes.at(t));
    }
    EXPECT_EQ(noteName(1), "C#/Db");
    EXPECT_EQ(chordTypeEnglishName(4), "Major Seventh");
    // Out-of-range lookups give nothing rather than reading past the tables.
    EXPECT_TRUE(chordSuffix(12).isEmpty());
    EXPECT_TRUE(chordSuffix(-1).isEmpty());
    EXPECT_TRUE(noteName(12).isEmpty());
    EXPECT_EQ(chordNoteCount(12), 3);
}

TEST(ChordFields, LeadingNumberRule)
{
    EXPECT_EQ(leadingNumber(u"07"), 7);
    EXPECT_EQ(leadingNumber(u"35"), 35);
    EXPECT_EQ(leadingNumber(u"-1"), -1);
    EXPECT_EQ(leadingNumber(u"00"), 0);
    EXPECT_EQ(leadingNumber(u"1x"), 1);
    EXPECT_EQ(leadingNumber(u"x1"), 0);
    EXPECT_EQ(leadingNumber(u"ab"), 0);
    EXPECT_EQ(leadingNumber(u"-"), 0);
    EXPECT_EQ(leadingNumber(u""), 0);
    EXPECT_EQ(leadingNumber(u" 5"), 5);
}

TEST(ChordFields, MakeGuitarChordAndReadFretsBack)
{
    EXPECT_EQ(makeGuitarChord(0, 3, 2, 0, 1, 0), "041216192428");
    EXPECT_EQ(makeGuitarChord(-1, -1, -1, -1, -1, -1), "-1-1-1-1-1-1");
    EXPECT_EQ(makeGuitarChord(-1, 0, 0, 2, 3, 2), "-10914212630");
    EXPECT_EQ(makeGuitarChord(0, 0, 0, 0, 0, 9), "040914192337");
    EXPECT_EQ(makeGuitarChord(9, 9, 9, 9, 9, 9), "131823283237");

    // Every fret the editor can write survives a round trip on every string.
    for (int fret = -1; fret <= 9; ++fret) {
        std::array<int, kGuitarStringCount> frets{};
        frets.fill(fret);
        const QString chord = makeGuitarChord(frets);
        ASSERT_EQ(chord.size(), 12);
        for (int s = 1; s <= kGuitarStringCount; ++s)
            EXPECT_EQ(guitarStringFret(chord, s), fret) << "string " << s;
    }

    EXPECT_EQ(openStringPitch(1), 4);
    EXPECT_EQ(openStringPitch(5), 23);
    EXPECT_EQ(openStringPitch(6), 28);
    EXPECT_EQ(openStringPitch(7), 28);
    EXPECT_EQ(openStringPitch(0), 28);
}

TEST(ChordFields, GuitarStringFretOnShortOrOddText)
{
    // A field past the end reads 0, so the fret is minus the open pitch.
    EXPECT_EQ(guitarStringFret(u"0412", 3), -14);
    EXPECT_EQ(guitarStringFret(u"", 1), -4);
    // String numbers outside 1..5 read the sixth field.
    EXPECT_EQ(guitarStringFret(u"041216192428", 9), 0);
    EXPECT_EQ(guitarStringFret(u"041216192437", 0), 9);
}

TEST(ChordTablesTest, FreshTablesAreEmptyAndReadZero)
{
    const ChordTables empty;
    for (int i = 0; i < kChordTableSize; ++i) {
        EXPECT_TRUE(empty.keyboardChord(i).isEmpty());
        EXPECT_TRUE(empty.guitarChord(i).isEmpty());
    }
    EXPECT_EQ(empty.keyboardChordNote(0, 0, 1), 0);
    EXPECT_EQ(empty.guitarStringPitch(0, 0, 1), 0);
}

TEST_F(DefaultChordTables, KeyboardEdgeCases)
{
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 1), 7);
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 2), 12);
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 3), 16);
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 4), 0);   // beyond a three-note chord
    EXPECT_EQ(tables.keyboardChordNote(9, 9, 1), 0);   // A minor ninth starts on "00"
    EXPECT_EQ(tables.keyboardChordNote(9, 9, 4), 11);
    // Any n other than 1..3 reads the fourth field.
    EXPECT_EQ(tables.keyboardChordNote(9, 3, 0), 16);
    EXPECT_EQ(tables.keyboardChordNote(9, 3, 7), 16);
}

TEST_F(DefaultChordTables, WorkedExamples)
{
    EXPECT_EQ(keyboardNotes(0, 0, 4), (std::vector<int>{55, 60, 64}));
    EXPECT_EQ(tables.keyboardChord(chordTableIndex(9, 3)), "07091216");   // A minor seventh
    EXPECT_EQ(keyboardNotes(9, 3, 4), (std::vector<int>{55, 57, 60, 64}));

    EXPECT_EQ(tables.guitarChord(chordTableIndex(0, 0)), "041216192428");
    EXPECT_EQ(guitarNotes(0, 0, 3), (std::vector<int>{40, 48, 52, 55, 60, 64}));
    EXPECT_EQ(tables.guitarChord(chordTableIndex(2, 0)), "-10914212630");
    EXPECT_EQ(guitarNotes(2, 0, 3), (std::vector<int>{45, 50, 57, 62, 66}));
}

TEST_F(DefaultChordTables, GuitarEdgeCases)
{
    const QString cMajor = tables.guitarChord(chordTableIndex(0, 0));
    const std::vector<int> expectedFrets = {0, 3, 2, 0, 1, 0};
    for (int s = 1; s <= kGuitarStringCount; ++s)
        EXPECT_EQ(guitarStringFret(cMajor, s), expectedFrets[static_cast<std::size_t>(s - 1)]) << "string " << s;

    EXPECT_EQ(guitarStringFret(tables.guitarChord(chordTableIndex(1, 0)), 6), kStringNotPlayed);
    EXPECT_EQ(tables.guitarStringPitch(2, 0, 1), -1);
    EXPECT_EQ(tables.guitarStringPitch(0, 0, 2), 12);
    // String numbers outside 1..5 read string 6.
    EXPECT_EQ(tables.guitarStringPitch(0, 0, 0), 28);
    EXPECT_EQ(tables.guitarStringPitch(0, 0, 8), 28);
}

TEST_F(DefaultChordTables, EveryDefaultEntryIsWellFormed)
{
    static const QRegularExpression guitarField(QStringLiteral("^(-1|\\d\\d)$"));
    for (int type = 0; type < kChordTypeCount; ++type)
        for (int note = 0; note < kNoteCount; ++note) {
            const int index = chordTableIndex(note, type);
            const QString keys = tables.keyboardChord(index);
            EXPECT_EQ(keys.size(), 2 * chordNoteCount(type)) << "index " << index;
            for (QChar c : keys)
                EXPECT_TRUE(c.isDigit()) << "index " << index;

            const QString guitar = tables.guitarChord(index);
            ASSERT_EQ(guitar.size(), 12) << "index " << index;
            for (int s = 1; s <= kGuitarStringCount; ++s) {
                EXPECT_TRUE(guitarField.match(guitar.mid((s - 1) * 2, 2)).hasMatch()) << "index " << index;
                const int fret = guitarStringFret(guitar, s);
                EXPECT_TRUE(fret == kStringNotPlayed || (fret >= 0 && fret <= 8)) << "index " << index;
            }
        }
    EXPECT_TRUE(tables.keyboardChord(144).isEmpty());
    EXPECT_TRUE(tables.guitarChord(144).isEmpty());
}

TEST_F(DefaultChordTables, SpotChecksAcrossRows)
{
    // Keyboard: type * 12 + note.
    EXPECT_EQ(tables.keyboardChord(13), "081316");     // C#/Db minor
    EXPECT_EQ(tables.keyboardChord(2 * 12 + 11), "06091115");   // B7
    EXPECT_EQ(tables.keyboardChord(5 * 12 + 6), "061113");      // F#/Gb sus4
    EXPECT_EQ(tables.keyboardChord(7 * 12 + 3), "060915");      // D#/Eb dim
    EXPECT_EQ(tables.keyboardChord(8 * 12 + 8), "08121822");    // G#/Ab 9
    EXPECT_EQ(tables.keyboardChord(11 * 12 + 11), "06081114");  // B m6

    // Guitar, checked through the frets the grid gives.
    const auto frets = [this](int index) {
        QString text;
        for (int s = 1; s <= kGuitarStringCount; ++s) {
            const int f = guitarStringFret(tables.guitarChord(index), s);
            text += f == kStringNotPlayed ? QStringLiteral("x") : QString::number(f);
        }
        return text;
    };
    EXPECT_EQ(frets(1 * 12 + 0), "335543");      // C minor
    EXPECT_EQ(frets(4 * 12 + 5), "xx3210");      // F maj7
    EXPECT_EQ(frets(5 * 12 + 3), "xx13x4");      // D#/Eb sus4, a muted inner string
    EXPECT_EQ(frets(6 * 12 + 4), "03211x");      // E aug
    EXPECT_EQ(frets(9 * 12 + 9), "032203");      // A m9
    EXPECT_EQ(frets(11 * 12 + 11), "x20102");    // B m6
    EXPECT_EQ(tables.guitarChord(6 * 12 + 4), "0412162024-1");
}

TEST_F(DefaultChordTables, EditorsReplaceSingleEntries)
{
    ASSERT_TRUE(tables.setKeyboardChord(chordTableIndex(0, 0), "00041135"));
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 4), 35);
    EXPECT_EQ(keyboardNotes(0, 0, 1), (std::vector<int>{12, 16, 23}));   // still three notes by type

    ASSERT_TRUE(tables.setGuitarChord(chordTableIndex(11, 10), makeGuitarChord(-1, 9, 9, 9, 9, -1)));
    EXPECT_EQ(guitarNotes(11, 10, 2), (std::vector<int>{42, 47, 52, 56}));

    // Neighbours are untouched.
    EXPECT_EQ(tables.keyboardChord(1), "081317");
    EXPECT_EQ(tables.guitarChord(chordTableIndex(10, 10)), makeGuitarChord(1, 1, 3, 3, 3, 3));
}

TEST_F(DefaultChordTables, IndexesOutsideTheTableAreHarmless)
{
    EXPECT_TRUE(tables.keyboardChord(-1).isEmpty());
    EXPECT_TRUE(tables.keyboardChord(145).isEmpty());
    EXPECT_TRUE(tables.guitarChord(1000).isEmpty());
    EXPECT_EQ(tables.keyboardChordNote(-1, 0, 1), 0);
    EXPECT_EQ(tables.keyboardChordNote(0, 12, 1), 0);
    EXPECT_EQ(tables.guitarStringPitch(0, -1, 1), 0);
    EXPECT_EQ(tables.guitarStringPitch(1, 12, 1), 0);

    EXPECT_FALSE(tables.setKeyboardChord(145, "071216"));
    EXPECT_FALSE(tables.setGuitarChord(-1, "041216192428"));
    EXPECT_TRUE(tables.keyboardChord(144).isEmpty());
    EXPECT_TRUE(tables.guitarChord(144).isEmpty());
    // Entry 144 exists and reads 0 everywhere.
    EXPECT_EQ(tables.keyboardChordNote(0, 12, 2), 0);
    EXPECT_EQ(tables.guitarStringPitch(0, 12, 6), 0);
}
