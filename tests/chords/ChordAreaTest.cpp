#include "PlayingFixture.h"

namespace clavora::test {
namespace {

using namespace keys;

class ChordScenes : public Scenes { };
TEST_P(ChordScenes, SendExactly)
{
    play();
}

const Log kDMajorStrumOnSlot7 {
    "9E 2D 67", "pause 20", "9E 32 67", "pause 20", "9E 39 67", "pause 20", "9E 3E 67", "pause 20", "9E 42 67"};
const Log kCSharpStrum {"9D 2C 67", "pause 20", "9D 31 67", "pause 20", "9D 38 67", "pause 20", "9D 3D 67", "pause 20",
    "9D 41 67", "pause 20"};

// Guitar strings sound low to high with 20 ms between them; no pause follows
// the sixth string; the next slot strums at once, and there is no slot
// eight; the release stops all at once.
INSTANTIATE_TEST_SUITE_P(Chords, ChordScenes,
    ::testing::Values(Scene {"StrumWithTheSixthStringSilent", {type(kF(4))}, {hit('S')},
                          joined({kCSharpStrum, noteOffsOf(kCSharpStrum)})},
        // D major leaves the lowest string silent.
        Scene {"StrumSlotAfterSlot", {type(kF(4)), type(kF(12)), type(kF(12))}, {hit('X')},
            joined({kDMajorStrum, kDMajorStrumOnSlot7, noteOffsOf(kDMajorStrum), noteOffsOf(kDMajorStrumOnSlot7)})},
        // F12 layers chord slot 2 at its own default octave, the same as slot 1's.
        Scene {
            "SecondVoiceOnSlotTwo", {type(kF(12))}, {down('Z')}, kCMajor + Log {"98 37 67", "98 3C 67", "98 40 67"}}),
    caseName);

class ChordPlaying : public PlayingTest { };

// Shift, Ctrl, Caps Lock and Space count 1, 2, 4 and 8; Caps Lock and Space
// play nothing themselves.
TEST_F(ChordPlaying, TheSixteenModifierCombinationsGiveTheTwelveTypes)
{
    const int codes[] = {kShift, kCtrl, kCapsLock, kSpace};
    QString seen;
    for (int held = 0; held < 16; ++held) {
        for (int i = 0; i < 4; ++i)
            if (held & (1 << i))
                piano.keyDown(codes[i], 0);
        seen += QString::number(chords().currentChordType()) + chords().chordTypeText() + ' ';
        for (const int code : codes)
            piano.keyUp(code, 0);
    }
    EXPECT_EQ(seen, "0maj 1m 27 3m7 4maj7 5sus4 6aug 7dim 89 9m9 106 11m6 0maj 0maj 0maj 0maj ");
    EXPECT_TRUE(sent().empty());

    run({shift(kF(4)), down(kSpace), down(kCtrl, kCtrlMask)}); // the modifiers count in drums mode too
    EXPECT_EQ(chords().chordTypeText(), "6");
}

TEST_F(ChordPlaying, AChordStopsWithTheTypeItStartedWith)
{
    // Key 9 with Shift and Ctrl: A minor seventh.
    run({down(kShift, kShiftMask), down(kCtrl, kShiftCtrl), down('N', kShiftCtrl)});
    EXPECT_EQ(std::pair(chords().lastChordKey(), chords().lastChordType()), std::pair(9, 3));
    run({up(kShift, kCtrlMask), up('N', kCtrlMask)}); // now "7", but the chord was "m7"
    EXPECT_EQ(chords().chordTypeText(), "7");
    EXPECT_EQ(
        sent(), (Log {"97 37 67", "97 39 67", "97 3C 67", "97 40 67", "87 37 00", "87 39 00", "87 3C 00", "87 40 00"}));
}

// A mode, whether Shift+F2 asks for a split point in it, what selecting it
// from start-up sends and the labels of its slot by default.
struct ModeCase {
    const char* name;
    int modeKey;
    ChordArea::Mode mode;
    int splitPoint;
    bool splits;
    Log midi;
    std::string slot;
};

class ModeSelection : public ChordPlaying, public ::testing::WithParamInterface<ModeCase> { };

// Each mode selects its own slot; Shift+Ctrl+F12 resets the chord settings to
// that slot with one voice and its default program.
TEST_P(ModeSelection, SelectsTheModesSlotAndResetsToIt)
{
    const ModeCase& c = GetParam();
    run({hit(c.modeKey), hit(c.modeKey)}); // the second time the slot does not move
    EXPECT_EQ(std::tuple(chords().mode(), chords().splitPoint(), sent(), labels(chordSlots())),
        std::tuple(c.mode, c.splitPoint, c.midi, c.slot));
    run({shift(kF(2))});
    EXPECT_EQ(
        std::pair(platform.boxes.size(), chords().choosingSplitPoint()), std::pair(std::size_t(c.splits), c.splits));

    run({hit(kEscape), ctrl(kRight), hit(kF(12)), hit(kF(10)), shiftCtrl(kF(12))});
    EXPECT_EQ(std::tuple(labels(chordSlots()), chordSlots().slotVolume(3), chords().splitPoint()),
        std::tuple(c.slot, 103, 12));
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeSelection,
    ::testing::Values(ModeCase {"OneKey", kF(2), ChordArea::Mode::OneKey, 0, true, {"CC 20 00", "CC 20 00"},
                          "032 - Acoustic Bass|Octave 3|Volume 103|Channel 5|Voices 1"},
        ModeCase {"ThreeKeys", kF(3), ChordArea::Mode::ThreeKeys, 12, false, {},
            "050 - Synth Strings 1|Octave 4|Volume 103|Channel 1|Voices 1"},
        ModeCase {"Guitar", kF(4), ChordArea::Mode::Guitar, 12, false, {"CD 18 00", "CD 18 00"},
            "024 - Acoustic Guitar (nylon)|Octave 3|Volume 103|Channel 6|Voices 1"}),
    caseName);

TEST_F(ChordPlaying, SplitCommandTakesTheNextKeyAsTheFirstMainKey)
{
    run({hit(kF(2)), shift(kF(2))});
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(platform.boxes[0].title + "|" + platform.boxes[0].text,
        "Split Point|Press the OK Button and choose the Split Point Key (or ESC to Cancel).");
    midi.clear();

    // Key 17 is the first main key; keys 0..16 are single notes on chord
    // slot 5 (channel 12, octave 3).
    run({hit('Q'), press(0), release(0), press(16), release(16)});
    EXPECT_EQ(chords().splitPoint(), 17);
    EXPECT_EQ(sent(), (Log {"90 41 7F", "80 41 00", "9C 24 67", "8C 24 00", "9C 34 67", "8C 34 00"}));

    // Other modes split at 12; one-key mode and a reset keep the choice.
    std::string splits;
    for (const Step& step : {hit(kF(3)), hit(kF(2)), shiftCtrl(kF(12)), hit(kF(2))}) {
        run({step});
        splits += std::to_string(chords().splitPoint()) + " ";
    }
    EXPECT_EQ(splits, "12 17 12 17 ");
}

// A pending split choice ends when a chord-playing mode is selected: key
// 26 stays a main key there, and back in one-key mode key 23 is one too.
const Log kNoSplitTaken {"90 4A 7F", "80 4A 00", "CC 20 00", "CC 20 00", "90 47 7F", "80 47 00"};
INSTANTIATE_TEST_SUITE_P(SplitChoice, ChordScenes,
    ::testing::Values(Scene {"EndsInThreeKeyMode", {hit(kF(2)), shift(kF(2)), hit(kF(3))},
                          {hit('Y'), hit(kF(2)), hit('R')}, kNoSplitTaken},
        Scene {"EndsInGuitarMode", {hit(kF(2)), shift(kF(2)), hit(kF(4))}, {hit('Y'), hit(kF(2)), hit('R')},
            kNoSplitTaken}),
    caseName);

TEST_F(ChordPlaying, SameAsMainCopiesTheMainSlotsAndKeepsModeAndSplit)
{
    const auto slotValues = [this] {
        std::string all;
        for (int s = 1; s <= 7; ++s)
            all += std::to_string(chordSlots().slotInstrument(s)) + '/' + std::to_string(chordSlots().slotOctave(s))
                + '/' + std::to_string(chordSlots().slotVolume(s)) + ' ';
        return all;
    };
    EXPECT_EQ(slotValues(), "50/4/103 89/4/103 48/4/103 52/4/103 32/3/103 24/3/103 26/3/103 "); // the chord defaults
    run({shift(kF(3))});
    EXPECT_EQ(sent(),
        joined({repeated("C7 00 00", 2), repeated("C8 30 00", 3), repeated("CA 31 00", 3), repeated("CB 38 00", 3),
            repeated("CC 49 00", 3), repeated("CD 20 00", 3), repeated("CE 13 00", 3), repeated("C7 00 00", 3)}));
    EXPECT_EQ(chords().mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(slotValues(), "0/4/127 48/4/127 49/3/127 56/4/127 73/4/127 32/2/127 19/4/127 "); // the main slots

    // It takes the main channel and voices, and one-key mode keeps its split.
    run({hit(kF(2)), shift(kF(2)), hit('Q'), hit(kF(6)), hit(kF(6)), hit(kF(8)), shift(kF(3))});
    EXPECT_EQ(std::tuple(chordSlots().channel().value(), chordSlots().voices().value(), chords().splitPoint()),
        std::tuple(3, 2, 17)); // still one-key mode
}

} // namespace
} // namespace clavora::test
