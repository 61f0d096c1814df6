// Loading a chord into the editors' form and building the stored text back.
#include "chords/ChordEditing.h"

#include <gtest/gtest.h>

#include <string>

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
std::string outcome(const BuiltChord& built)
{
    return built.text.toStdString() + "/" + std::to_string(built.refusedField);
}

} // namespace

TEST(ChordEditing, LoadsShowTheStoredFields)
{
    const ChordTables tables = defaultTables();
    // The fourth row of a three-note chord is hidden and keeps what it held.
    const KeyboardGrid held{{{2, 2}, {2, 2}, {2, 2}, {2, 11}}};
    EXPECT_EQ(loadKeyboardGrid(tables, 0, 0, held), (KeyboardGrid{{{0, 7}, {1, 0}, {1, 4}, {2, 11}}}));  // "071216"
    EXPECT_EQ(loadKeyboardGrid(tables, 0, 2, held), (KeyboardGrid{{{0, 7}, {0, 10}, {1, 0}, {1, 4}}}));  // "07101216"
    EXPECT_EQ(loadKeyboardGrid(tables, 9, 9, held), (KeyboardGrid{{{0, 0}, {0, 7}, {0, 9}, {0, 11}}}));  // "00070911"
    EXPECT_EQ(loadKeyboardGrid(tables, 11, 7, held), (KeyboardGrid{{{0, 11}, {1, 2}, {1, 5}, {2, 11}}})); // "111417"
    EXPECT_EQ(loadKeyboardGrid(tables, 8, 8, held), (KeyboardGrid{{{0, 8}, {1, 0}, {1, 6}, {1, 10}}}));  // "08121822"
    EXPECT_EQ(loadGuitarFrets(tables, 0, 0), (GuitarFrets{0, 3, 2, 0, 1, 0}));   // C major
    EXPECT_EQ(loadGuitarFrets(tables, 2, 0), (GuitarFrets{kX, 0, 0, 2, 3, 2}));  // D major
    EXPECT_EQ(loadGuitarFrets(tables, 1, 0), (GuitarFrets{4, 4, 6, 6, 6, kX}));  // C#/Db major: string 6 not played
    EXPECT_EQ(loadGuitarFrets(tables, 4, 6), (GuitarFrets{0, 3, 2, 1, 1, kX}));  // E augmented
}

TEST(ChordEditing, KeyboardGridGivesTheTextOrTheRefusedRow)
{
    // Three-note types ignore the fourth row; rows keep their order.
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, 0)), "000407/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, 9)), "00040735/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{2, 11}, {0, 0}, {1, 6}, {0, 0}}}, 1)), "350018/0");
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {5, 7}, {0, 0}}}, 2)), "00006700/0");  // octave 5's highest
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {5, 8}, {0, 0}}}, 2)), "/3");  // above note 127
    EXPECT_EQ(outcome(buildKeyboardChord({{{-1, 4}, {0, 0}, {0, 0}, {0, 0}}}, 0)), "/1");  // no octave selected
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 0}, {0, 0}, {1, -1}}}, 4)), "/4");  // no note selected
    EXPECT_EQ(outcome(buildKeyboardChord({{{0, 0}, {0, 12}, {0, 0}, {0, 0}}}, 0)), "/2");  // beyond the names
}

TEST(ChordEditing, GuitarFretsGiveTheTextOrTheRefusedString)
{
    EXPECT_EQ(outcome(buildGuitarChord({kX, 3, 2, 0, 1, 0})), "-11216192428/0");
    EXPECT_EQ(outcome(buildGuitarChord({0, 3, 2, 0, 1, 9})), "041216192437/0");
    EXPECT_EQ(outcome(buildGuitarChord({kX, kX, kX, kX, kX, kX})), "-1-1-1-1-1-1/0");
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, 0, 0, 0, 39})), "040914192367/0");  // the highest fret on string 6
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, 0, 0, 0, 40})), "/6");              // above note 127
    EXPECT_EQ(outcome(buildGuitarChord({-2, 0, 0, 0, 0, 0})), "/1");              // no entry selected
    // Fret -5 on the D string would be written "09" and read back as fret -5 of
    // another note; it is refused rather than stored as something else.
    EXPECT_EQ(outcome(buildGuitarChord({0, 0, -5, 0, 0, 0})), "/3");
}

TEST(ChordEditing, StoringWritesOnlyTheChosenChordAndOnlyWhenAccepted)
{
    ChordTables tables = defaultTables();
    const ChordTables before = defaultTables();
    EXPECT_TRUE(storeKeyboardChord(tables, 0, 0, {{{0, 0}, {0, 4}, {0, 7}, {0, 0}}}).accepted());
    EXPECT_FALSE(storeKeyboardChord(tables, 5, 3, {{{0, 0}, {9, 0}, {0, 7}, {0, 0}}}).accepted());
    EXPECT_TRUE(storeGuitarChord(tables, 11, 11, {kX, 3, 2, 0, 1, 0}).accepted());
    EXPECT_FALSE(storeGuitarChord(tables, 0, 0, {kX, 3, 2, 0, 1, 50}).accepted());
    for (int index = 0; index < kChordTableSize; ++index) {
        EXPECT_EQ(tables.keyboardChord(index), index == chordTableIndex(0, 0) ? "000407" : before.keyboardChord(index))
            << index;
        EXPECT_EQ(tables.guitarChord(index),
                  index == chordTableIndex(11, 11) ? "-11216192428" : before.guitarChord(index))
            << index;
    }
}
