#include "PlayingFixture.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace clavora::test {
namespace {

using namespace keys;

class ChordPlaying : public PlayingTest {};

TEST_F(ChordPlaying, AChordStopsWithTheTypeItStartedWith)
{
    piano.keyDown(kShift, kShiftMask);
    piano.keyDown(kCtrl, kShiftMask | kCtrlMask);
    piano.keyDown('N', kShiftMask | kCtrlMask);  // key 9, A minor seventh
    EXPECT_EQ(sent(), (Log{"97 37 67", "97 39 67", "97 3C 67", "97 40 67"}));
    EXPECT_EQ(chords().lastChordKey(), 9);
    EXPECT_EQ(chords().lastChordType(), 3);

    piano.keyUp(kShift, kCtrlMask);  // now "7", but the chord was "m7"
    EXPECT_EQ(chords().chordTypeText(), "7");
    midi.clear();
    piano.keyUp('N', kCtrlMask);
    EXPECT_EQ(sent(), (Log{"87 37 00", "87 39 00", "87 3C 00", "87 40 00"}));
}

TEST_F(ChordPlaying, TheSixteenModifierCombinationsGiveTheTwelveTypes)
{
    const int codes[] = {kShift, kCtrl, kCapsLock, kSpace};
    const char* suffixes[] = {"maj", "m",   "7",   "m7",  "maj7", "sus4", "aug", "dim",
                              "9",   "m9",  "6",   "m6",  "maj",  "maj",  "maj", "maj"};
    for (int held = 0; held < 16; ++held) {
        for (int i = 0; i < 4; ++i) {
            if (held & (1 << i))
                piano.keyDown(codes[i], 0);
        }
        EXPECT_EQ(chords().currentChordType(), held < 12 ? held : 0) << held;
        EXPECT_EQ(chords().chordTypeText(), suffixes[held]) << held;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(chords().isModifierDown(i), (held & (1 << i)) != 0) << held;
        for (int i = 0; i < 4; ++i)
            piano.keyUp(codes[i], 0);
    }
    EXPECT_EQ(chords().chordTypeText(), "maj");
    EXPECT_TRUE(sent().empty());  // Caps Lock and Space play nothing themselves

    tapShift(kF(4));  // the modifiers count in drums mode too
    piano.keyDown(kSpace, 0);
    piano.keyDown(kCtrl, kCtrlMask);
    EXPECT_EQ(chords().chordTypeText(), "6");
}

struct StrumCase {
    const char* name;
    int extraVoices;  // F12 presses after F4
    int key;
    Log strum;  // with the pauses between the strings

    friend void PrintTo(const StrumCase& c, std::ostream* os) { *os << c.name; }
};

class GuitarStrum : public ChordPlaying, public ::testing::WithParamInterface<StrumCase> {};

// Strings sound low to high with 20 ms between them; no pause follows the
// sixth string; the next slot strums at once; the release stops all at once.
TEST_P(GuitarStrum, StrumsStringAfterStringAndSlotAfterSlot)
{
    const StrumCase& c = GetParam();
    tap(kF(4));
    for (int i = 0; i < c.extraVoices; ++i)
        tap(kF(12));
    midi.clear();
    platform.onPause = [this](int ms) { midi.note("pause " + std::to_string(ms)); };

    piano.keyDown(c.key, 0);
    EXPECT_EQ(sent(), c.strum);
    Log offs;
    for (const std::string& entry : c.strum) {
        if (entry[0] == '9')
            offs.push_back("8" + entry.substr(1, 5) + "00");
    }
    midi.clear();
    piano.keyUp(c.key, 0);
    EXPECT_EQ(sent(), offs);
}

const Log kDMajorStrum{"9D 2D 67", "pause 20", "9D 32 67", "pause 20", "9D 39 67", "pause 20", "9D 3E 67",
                       "pause 20", "9D 42 67"};

INSTANTIATE_TEST_SUITE_P(
    Chords, GuitarStrum,
    ::testing::Values(
        StrumCase{"LowestStringSilent", 0, 'X', kDMajorStrum},
        StrumCase{"SixthStringSilent", 0, 'S',
                  {"9D 2C 67", "pause 20", "9D 31 67", "pause 20", "9D 38 67", "pause 20", "9D 3D 67",
                   "pause 20", "9D 41 67", "pause 20"}},
        StrumCase{"TwoSlotsSlotEightMissing", 2, 'X',
                  {"9D 2D 67", "pause 20", "9D 32 67", "pause 20", "9D 39 67", "pause 20", "9D 3E 67",
                   "pause 20", "9D 42 67", "9E 2D 67", "pause 20", "9E 32 67", "pause 20", "9E 39 67",
                   "pause 20", "9E 3E 67", "pause 20", "9E 42 67"}}),
    [](const ::testing::TestParamInfo<StrumCase>& info) { return std::string(info.param.name); });

struct ModeCase {
    const char* name;
    int modeKey;
    ChordArea::Mode mode;
    int splitPoint;
    int slot;
    int program;  // the slot's program by default
    bool splits;  // whether Shift+F2 asks for a split point
    Log midi;     // what selecting the mode from start-up sends

    friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }
};

class ModeSelection : public ChordPlaying, public ::testing::WithParamInterface<ModeCase> {};

// Each mode selects its own slot; Shift+Ctrl+F12 resets the chord settings to
// that slot with one voice and its default program.
TEST_P(ModeSelection, SelectsTheModesSlotAndResetsToIt)
{
    const ModeCase& c = GetParam();
    tap(c.modeKey);
    EXPECT_EQ(chords().mode(), c.mode);
    EXPECT_EQ(chords().splitPoint(), c.splitPoint);
    EXPECT_EQ(chordSlots().channel().value(), c.slot);
    EXPECT_EQ(chordSlots().voices().value(), 1);
    EXPECT_EQ(sent(), c.midi);
    midi.clear();
    tap(c.modeKey);
    EXPECT_TRUE(sent().empty());  // the slot did not move
    tapShift(kF(2));
    EXPECT_EQ(platform.boxes.size(), c.splits ? 1u : 0u);
    EXPECT_EQ(chords().choosingSplitPoint(), c.splits);
    tap(kEscape);

    tapCtrl(kRight);
    tap(kF(12));
    tap(kF(10));
    tapShiftCtrl(kF(12));
    EXPECT_EQ(chordSlots().channel().value(), c.slot);
    EXPECT_EQ(chordSlots().voices().value(), 1);
    EXPECT_EQ(chordSlots().instrument().value(), c.program);
    EXPECT_EQ(chordSlots().slotInstrument(c.slot), c.program);
    EXPECT_EQ(chordSlots().slotVolume(3), 103);
    EXPECT_EQ(chords().splitPoint(), 12);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeSelection,
    ::testing::Values(ModeCase{"OneKey", kF(2), ChordArea::Mode::OneKey, 0, 5, 32, true, {"CC 20 00", "CC 20 00"}},
                      ModeCase{"ThreeKeys", kF(3), ChordArea::Mode::ThreeKeys, 12, 1, 50, false, {}},
                      ModeCase{"Guitar", kF(4), ChordArea::Mode::Guitar, 12, 6, 24, false, {"CD 18 00", "CD 18 00"}}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST_F(ChordPlaying, SplitCommandTakesTheNextKeyAsTheFirstMainKey)
{
    tap(kF(2));
    tapShift(kF(2));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(platform.boxes[0].title, "Split Point");
    EXPECT_EQ(platform.boxes[0].text, "Press the OK Button and choose the Split Point Key (or ESC to Cancel).");
    midi.clear();

    piano.keyDown('Q', 0);  // key 17
    EXPECT_EQ(chords().splitPoint(), 17);
    EXPECT_EQ(sent(), (Log{"90 41 7F"}));
    piano.keyUp('Q', 0);

    // Keys 0..16 are single notes on chord slot 5 (channel 12, octave 3).
    for (int key = 0; key <= 16; ++key) {
        midi.clear();
        piano.pressKey(key);
        piano.releaseKey(key);
        char on[12];
        char off[12];
        std::snprintf(on, sizeof on, "9C %02X 67", 36 + key);
        std::snprintf(off, sizeof off, "8C %02X 00", 36 + key);
        EXPECT_EQ(sent(), (Log{on, off})) << key;
    }

    // Other modes split at 12; one-key mode and a reset keep the choice.
    tap(kF(3));
    EXPECT_EQ(chords().splitPoint(), 12);
    tap(kF(2));
    EXPECT_EQ(chords().splitPoint(), 17);
    tapShiftCtrl(kF(12));
    EXPECT_EQ(chords().splitPoint(), 12);
    EXPECT_EQ(chords().chosenSplitPoint(), 17);
    tap(kF(2));
    EXPECT_EQ(chords().splitPoint(), 17);
}

TEST_F(ChordPlaying, APendingSplitChoiceEndsWhenAChordPlayingModeIsSelected)
{
    for (const int modeKey : {kF(3), kF(4)}) {
        tap(kF(2));
        tapShift(kF(2));
        tap(modeKey);
        EXPECT_FALSE(chords().choosingSplitPoint());
        midi.clear();

        piano.keyDown('Y', 0);  // key 26 stays a main key
        EXPECT_EQ(chords().splitPoint(), 12);
        EXPECT_EQ(chords().chosenSplitPoint(), 0);
        EXPECT_EQ(sent(), (Log{"90 4A 7F"}));
        piano.keyUp('Y', 0);

        // Only keys 0..11 reach the chord area.
        for (int key = 0; key < 44; ++key) {
            midi.clear();
            piano.pressKey(key);
            piano.releaseKey(key);
            ASSERT_FALSE(sent().empty()) << key;
            EXPECT_EQ(sent().front().rfind("90", 0) != 0, key < 12) << key;
        }
    }
}

TEST_F(ChordPlaying, SoundingSlotsStopAtSlotSeven)
{
    for (int i = 0; i < 5; ++i)
        tap(kF(10));
    tap(kF(12));
    tap(kF(12));
    midi.clear();
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"9D 2B 67", "9D 30 67", "9D 34 67", "9E 2B 67", "9E 30 67", "9E 34 67"}));
}

TEST_F(ChordPlaying, SameAsMainCopiesTheMainSlotsAndKeepsModeAndSplit)
{
    tapShift(kF(3));
    const Log expected = joined({
        repeated("C7 00 00", 2),
        repeated("C8 30 00", 3), repeated("CA 31 00", 3), repeated("CB 38 00", 3),
        repeated("CC 49 00", 3), repeated("CD 20 00", 3), repeated("CE 13 00", 3),
        repeated("C7 00 00", 3),
    });
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(chords().mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(chords().splitPoint(), 12);
    for (int slot = 1; slot <= 7; ++slot) {
        EXPECT_EQ(chordSlots().slotOctave(slot), mainArea().slotOctave(slot));
        EXPECT_EQ(chordSlots().slotVolume(slot), 127);
    }

    // It takes the main channel and voices, and one-key mode keeps its split.
    tap(kF(2));
    tapShift(kF(2));
    tap('Q');
    tap(kF(6));
    tap(kF(6));
    tap(kF(8));
    tapShift(kF(3));
    EXPECT_EQ(chordSlots().channel().value(), 3);
    EXPECT_EQ(chordSlots().voices().value(), 2);
    EXPECT_EQ(chords().mode(), ChordArea::Mode::OneKey);
    EXPECT_EQ(chords().splitPoint(), 17);
}

} // namespace
} // namespace clavora::test
