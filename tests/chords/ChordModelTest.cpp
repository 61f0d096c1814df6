#include "TextDigest.h"
#include "chords/ChordModel.h"

#include <gtest/gtest.h>

using namespace clavora::chords;

namespace {

// The frets of a guitar chord as the user writes them: one digit per
// string, x for a string that is not played.
QString fretsOf(QStringView chord)
{
    QString text;
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        const int fret = guitarStringFret(chord, s);
        text += fret == kStringNotPlayed ? QStringLiteral("x") : QString::number(fret);
    }
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
    EXPECT_EQ(loadChordSuffixes().join(' '), "maj m 7 m7 maj7 sus4 aug dim 9 m9 6 m6");

    ChordTables tables;
    EXPECT_TRUE(tables.keyboardChord(0).isEmpty());
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 1), 0);
    tables.loadDefaults();
    QStringList chords;
    for (int index = 0; index < kChordCount; ++index)
        chords << QStringLiteral("%1\t%2\t%3")
                      .arg(index, 3, 10, QLatin1Char('0'))
                      .arg(tables.keyboardChord(index), fretsOf(tables.guitarChord(index)));
    EXPECT_EQ(clavora::test::textDigest(chords), "372dbc08be5dfeba") << chords.join('\n').toStdString();
    // Stored fields are the sounding offsets: fret plus the open string.
    EXPECT_EQ(tables.guitarChord(chordTableIndex(2, 0)), "-10914212630");
    EXPECT_EQ(tables.guitarChord(chordTableIndex(4, 6)), "0412162024-1");
    EXPECT_TRUE(tables.keyboardChord(kChordCount).isEmpty());
    EXPECT_TRUE(tables.guitarChord(kChordCount).isEmpty());
}

TEST(ChordModel, LeadingNumberRule)
{
    const std::pair<const char16_t*, int> rows[] = {{u"07", 7}, {u"35", 35}, {u"-1", -1}, {u"00", 0}, {u"1x", 1},
                                                    {u"x1", 0}, {u"ab", 0},  {u"-", 0},   {u"", 0},   {u" 5", 5}};
    for (const auto& [text, number] : rows)
        EXPECT_EQ(leadingNumber(text), number) << QString::fromUtf16(text).toStdString();
}

TEST(ChordModel, GuitarChordTextAndFretsBothWays)
{
    EXPECT_EQ(makeGuitarChord(0, 3, 2, 0, 1, 0), "041216192428");
    EXPECT_EQ(makeGuitarChord(-1, -1, -1, -1, -1, -1), "-1-1-1-1-1-1");
    EXPECT_EQ(makeGuitarChord(9, 9, 9, 9, 9, 9), "131823283237");
    // Every fret the editor can write survives the round trip on every string.
    for (int fret = -1; fret <= 9; ++fret) {
        std::array<int, kGuitarStringCount> frets{};
        frets.fill(fret);
        EXPECT_EQ(fretsOf(makeGuitarChord(frets)), QString(6, fret < 0 ? QChar(u'x') : QChar(u'0' + fret)));
    }
    // String numbers outside 1..5 count as string 6; a missing field reads 0.
    for (int s : {0, 6, 7})
        EXPECT_EQ(openStringPitch(s), 28) << s;
    EXPECT_EQ(guitarStringFret(u"041216192437", 9), 9);
    EXPECT_EQ(guitarStringFret(u"0412", 3), -14);
}

// Field n of a keyboard chord: 1..3 read their own field, any other n the
// fourth; string s of a guitar chord: 1..5 their own, any other the sixth.
// The editors replace single entries inside the table.
TEST(ChordModel, FieldsReadByNoteAndStringAndReplacedOneByOne)
{
    ChordTables tables;
    tables.loadDefaults();
    const int keyboard[][4] = {{0, 0, 1, 7}, {0, 0, 3, 16}, {0, 0, 4, 0}, {9, 9, 1, 0}, {9, 9, 4, 11},
                               {9, 3, 0, 16}, {9, 3, 7, 16}, {-1, 0, 1, 0}, {0, 12, 1, 0}};
    for (const auto& [note, type, n, value] : keyboard)
        EXPECT_EQ(tables.keyboardChordNote(note, type, n), value) << note << " " << type << " " << n;
    const int guitar[][4] = {{2, 0, 1, -1}, {0, 0, 2, 12}, {0, 0, 5, 24}, {0, 0, 0, 28},
                             {0, 0, 8, 28}, {0, -1, 1, 0}, {1, 12, 1, 0}};
    for (const auto& [note, type, s, value] : guitar)
        EXPECT_EQ(tables.guitarStringPitch(note, type, s), value) << note << " " << type << " " << s;

    ASSERT_TRUE(tables.setKeyboardChord(0, "00041135"));
    EXPECT_EQ(tables.keyboardChordNote(0, 0, 4), 35);
    ASSERT_TRUE(tables.setGuitarChord(chordTableIndex(11, 10), "-12328333728"));
    EXPECT_EQ(tables.guitarStringPitch(11, 10, 2), 23);
    EXPECT_EQ(tables.keyboardChord(1), "081317"); // neighbours untouched
    EXPECT_EQ(fretsOf(tables.guitarChord(chordTableIndex(10, 10))), "113333");
    for (int index : {-1, kChordTableSize}) {
        EXPECT_FALSE(tables.setKeyboardChord(index, "071216"));
        EXPECT_FALSE(tables.setGuitarChord(index, "041216192428"));
        EXPECT_TRUE(tables.keyboardChord(index).isEmpty());
        EXPECT_TRUE(tables.guitarChord(index).isEmpty());
    }
    EXPECT_TRUE(tables.setKeyboardChord(kChordCount, "071216"));
}

} // namespace
