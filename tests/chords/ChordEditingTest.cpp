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

} // namespace

// --- Keyboard chords --------------------------------------------------------

struct GridLoadCase {
    int note;
    int type;
    KeyboardGrid expected;
};

class KeyboardGridLoad : public ::testing::TestWithParam<GridLoadCase> {};

TEST_P(KeyboardGridLoad, RowsShowTheStoredFields)
{
    const GridLoadCase& c = GetParam();
    // The fourth row of a three-note chord is hidden and keeps what it held.
    const KeyboardGrid before{{{2, 2}, {2, 2}, {2, 2}, {2, 11}}};
    EXPECT_EQ(loadKeyboardGrid(defaultTables(), c.note, c.type, before), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Defaults, KeyboardGridLoad, ::testing::Values(
    GridLoadCase{0, 0, {{{0, 7}, {1, 0}, {1, 4}, {2, 11}}}},     // C major "071216"
    GridLoadCase{0, 2, {{{0, 7}, {0, 10}, {1, 0}, {1, 4}}}},     // C seventh "07101216"
    GridLoadCase{9, 9, {{{0, 0}, {0, 7}, {0, 9}, {0, 11}}}},     // A minor ninth "00070911"
    GridLoadCase{11, 7, {{{0, 11}, {1, 2}, {1, 5}, {2, 11}}}},   // B diminished "111417"
    GridLoadCase{8, 8, {{{0, 8}, {1, 0}, {1, 6}, {1, 10}}}}));   // G#/Ab ninth "08121822"

struct GridBuildCase {
    std::string name;
    int type;
    KeyboardGrid grid;
    QString text;      // empty when refused
    int refusedRow;
};

class KeyboardGridBuild : public ::testing::TestWithParam<GridBuildCase> {};

TEST_P(KeyboardGridBuild, TextOrRefusedRow)
{
    const GridBuildCase& c = GetParam();
    const BuiltChord built = buildKeyboardChord(c.grid, c.type);
    EXPECT_EQ(built.text, c.text);
    EXPECT_EQ(built.refusedField, c.refusedRow);
    EXPECT_EQ(built.accepted(), c.refusedRow == 0);
}

INSTANTIATE_TEST_SUITE_P(Grids, KeyboardGridBuild, ::testing::Values(
    GridBuildCase{"ThreeNotesIgnoreTheFourthRow", 0, {{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, "000407", 0},
    GridBuildCase{"FourNoteTypeWritesFourFields", 9, {{{0, 0}, {0, 4}, {0, 7}, {2, 11}}}, "00040735", 0},
    GridBuildCase{"RowOrderIsKeptUnsorted", 1, {{{2, 11}, {0, 0}, {1, 6}, {0, 0}}}, "350018", 0},
    GridBuildCase{"HighestFieldForOctaveFive", 2, {{{0, 0}, {0, 0}, {5, 7}, {0, 0}}}, "00006700", 0},
    GridBuildCase{"AboveNote127AtOctaveFive", 2, {{{0, 0}, {0, 0}, {5, 8}, {0, 0}}}, "", 3},
    GridBuildCase{"NoOctaveSelected", 0, {{{-1, 4}, {0, 0}, {0, 0}, {0, 0}}}, "", 1},
    GridBuildCase{"NoNoteSelected", 4, {{{0, 0}, {0, 0}, {0, 0}, {1, -1}}}, "", 4},
    GridBuildCase{"NoteBeyondTheNames", 0, {{{0, 0}, {0, 12}, {0, 0}, {0, 0}}}, "", 2}),
    [](const auto& info) { return info.param.name; });

TEST(KeyboardChordStore, WritesOnlyTheChosenChordAndOnlyWhenAccepted)
{
    ChordTables tables = defaultTables();
    const ChordTables before = defaultTables();
    EXPECT_TRUE(storeKeyboardChord(tables, 0, 0, {{{0, 0}, {0, 4}, {0, 7}, {0, 0}}}).accepted());
    EXPECT_EQ(tables.keyboardChord(chordTableIndex(0, 0)), "000407");
    EXPECT_FALSE(storeKeyboardChord(tables, 5, 3, {{{0, 0}, {9, 0}, {0, 7}, {0, 0}}}).accepted());
    for (int index = 0; index < kChordTableSize; ++index)
        if (index != chordTableIndex(0, 0)) {
            EXPECT_EQ(tables.keyboardChord(index), before.keyboardChord(index)) << "entry " << index;
        }
}

// --- Guitar chords ----------------------------------------------------------

struct FretLoadCase {
    int note;
    int type;
    GuitarFrets expected;
};

class GuitarFretLoad : public ::testing::TestWithParam<FretLoadCase> {};

TEST_P(GuitarFretLoad, StringsShowTheStoredFrets)
{
    const FretLoadCase& c = GetParam();
    EXPECT_EQ(loadGuitarFrets(defaultTables(), c.note, c.type), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Defaults, GuitarFretLoad, ::testing::Values(
    FretLoadCase{0, 0, {0, 3, 2, 0, 1, 0}},        // C major
    FretLoadCase{2, 0, {kX, 0, 0, 2, 3, 2}},       // D major
    FretLoadCase{1, 0, {4, 4, 6, 6, 6, kX}},       // C#/Db major: string 6 not played
    FretLoadCase{4, 6, {0, 3, 2, 1, 1, kX}}));     // E augmented

struct FretBuildCase {
    std::string name;
    GuitarFrets frets;
    QString text;
    int refusedString;
};

class GuitarFretBuild : public ::testing::TestWithParam<FretBuildCase> {};

TEST_P(GuitarFretBuild, TextOrRefusedString)
{
    const FretBuildCase& c = GetParam();
    const BuiltChord built = buildGuitarChord(c.frets);
    EXPECT_EQ(built.text, c.text);
    EXPECT_EQ(built.refusedField, c.refusedString);
}

INSTANTIATE_TEST_SUITE_P(Frets, GuitarFretBuild, ::testing::Values(
    FretBuildCase{"FirstStringNotPlayed", {kX, 3, 2, 0, 1, 0}, "-11216192428", 0},
    FretBuildCase{"NinthFretOnStringSix", {0, 3, 2, 0, 1, 9}, "041216192437", 0},
    FretBuildCase{"NoStringPlayed", {kX, kX, kX, kX, kX, kX}, "-1-1-1-1-1-1", 0},
    FretBuildCase{"HighestFretOnStringSix", {0, 0, 0, 0, 0, 39}, "040914192367", 0},
    FretBuildCase{"AboveNote127OnStringSix", {0, 0, 0, 0, 0, 40}, "", 6},
    FretBuildCase{"NoEntrySelected", {-2, 0, 0, 0, 0, 0}, "", 1},
    // Fret -5 on the D string would be written "09" and read back as fret -5 of
    // another note; it is refused rather than stored as something else.
    FretBuildCase{"NegativeFret", {0, 0, -5, 0, 0, 0}, "", 3}),
    [](const auto& info) { return info.param.name; });

TEST(GuitarChordStore, WritesOnlyTheChosenChordAndOnlyWhenAccepted)
{
    ChordTables tables = defaultTables();
    const ChordTables before = defaultTables();
    EXPECT_TRUE(storeGuitarChord(tables, 11, 11, {kX, 3, 2, 0, 1, 0}).accepted());
    EXPECT_EQ(tables.guitarChord(chordTableIndex(11, 11)), "-11216192428");
    EXPECT_FALSE(storeGuitarChord(tables, 0, 0, {kX, 3, 2, 0, 1, 50}).accepted());
    for (int index = 0; index < kChordTableSize; ++index)
        if (index != chordTableIndex(11, 11)) {
            EXPECT_EQ(tables.guitarChord(index), before.guitarChord(index)) << "entry " << index;
        }
}
