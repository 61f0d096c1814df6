#include "PlayingFixture.h"

#include <cstdio>
#include <string>
#include <utility>

namespace clavora::test {
namespace {

using namespace keys;

class ChordPlaying : public PlayingTest {
protected:
    // Note-ons of key 12 and up go to the main area's first channel.
    static bool onChordChannel(const std::string& entry) { return entry.rfind("90", 0) != 0; }
};

TEST_F(ChordPlaying, KeyZaloneSoundsCMajorOnTheSynthStrings)
{
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"97 37 67", "97 3C 67", "97 40 67"}));
    EXPECT_EQ(chords().chordTypeText(), "maj");
    EXPECT_EQ(chords().lastChordKey(), 0);
    EXPECT_EQ(chords().lastChordType(), 0);
    midi.clear();
    piano.keyUp('Z', 0);
    EXPECT_EQ(sent(), (Log{"87 37 00", "87 3C 00", "87 40 00"}));
    EXPECT_FALSE(piano.isKeyPressed(0));
}

TEST_F(ChordPlaying, ShiftMakesItMinor)
{
    piano.keyDown(kShift, kShiftMask);
    piano.keyDown('Z', kShiftMask);
    EXPECT_EQ(sent(), (Log{"97 37 67", "97 3C 67", "97 3F 67"}));
    EXPECT_EQ(chords().chordTypeText(), "m");
    EXPECT_EQ(chords().lastChordType(), 1);
}

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

TEST_F(ChordPlaying, GuitarModeStrumsWithTwentyMillisecondsBetweenStrings)
{
    tap(kF(4));
    EXPECT_EQ(chordSlots().channel().value(), 6);
    midi.clear();
    platform.onPause = [this](int ms) { midi.note("pause " + std::to_string(ms)); };

    piano.keyDown('X', 0);  // key 2, D major: the lowest string is not played
    EXPECT_EQ(sent(), (Log{"9D 2D 67", "pause 20", "9D 32 67", "pause 20", "9D 39 67", "pause 20", "9D 3E 67",
                           "pause 20", "9D 42 67"}));
    EXPECT_EQ(platform.pauses, (std::vector<int>{20, 20, 20, 20}));
    EXPECT_EQ(chords().lastChordKey(), 2);
    midi.clear();

    piano.keyUp('X', 0);
    EXPECT_EQ(sent(), (Log{"8D 2D 00", "8D 32 00", "8D 39 00", "8D 3E 00", "8D 42 00"}));
    EXPECT_EQ(platform.pauses.size(), 4u);
}

TEST_F(ChordPlaying, GuitarStrumRepeatsSlotAfterSlot)
{
    tap(kF(4));
    tap(kF(12));
    tap(kF(12));  // slots 6 and 7: slot 8 does not exist
    midi.clear();
    piano.keyDown('X', 0);  // D major on both slots, no pause between the slots
    EXPECT_EQ(sent(), (Log{"9D 2D 67", "9D 32 67", "9D 39 67", "9D 3E 67", "9D 42 67",
                           "9E 2D 67", "9E 32 67", "9E 39 67", "9E 3E 67", "9E 42 67"}));
    EXPECT_EQ(platform.pauses.size(), 8u);
}

TEST_F(ChordPlaying, OnlyTheSixthStringIsNotFollowedByAPause)
{
    tap(kF(4));
    midi.clear();
    platform.onPause = [this](int ms) { midi.note("pause " + std::to_string(ms)); };
    piano.keyDown('S', 0);  // C sharp major "44666x": the sixth string is silent
    EXPECT_EQ(sent(), (Log{"9D 2C 67", "pause 20", "9D 31 67", "pause 20", "9D 38 67", "pause 20", "9D 3D 67",
                           "pause 20", "9D 41 67", "pause 20"}));
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
        EXPECT_EQ(chords().chordTypeText(), "maj");
    }
    EXPECT_TRUE(sent().empty());  // Caps Lock and Space play nothing themselves
}

TEST_F(ChordPlaying, ModifiersCountInDrumsModeAndAreReleasedTogether)
{
    tapShift(kF(4));
    piano.keyDown(kSpace, 0);
    piano.keyDown(kCtrl, kCtrlMask);
    EXPECT_EQ(chords().chordTypeText(), "6");
    piano.releaseChordModifiers();
    EXPECT_EQ(chords().chordTypeText(), "maj");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(chords().isModifierDown(i));
}

TEST_F(ChordPlaying, OneKeyModeRightAfterStartUpHasNoChordArea)
{
    tap(kF(2));
    EXPECT_EQ(chords().mode(), ChordArea::Mode::OneKey);
    EXPECT_EQ(chords().splitPoint(), 0);
    EXPECT_EQ(chordSlots().channel().value(), 5);
    EXPECT_EQ(chordSlots().voices().value(), 1);
    midi.clear();
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"90 30 7F"}));
}

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
    EXPECT_EQ(chords().chosenSplitPoint(), 17);
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
    midi.clear();
    piano.pressKey(17);
    EXPECT_EQ(sent(), (Log{"90 41 7F"}));
}

TEST_F(ChordPlaying, OtherModesSplitAtTwelveAndOneKeyModeRestoresTheChoice)
{
    tap(kF(2));
    tapShift(kF(2));
    tap('Q');
    tap(kF(3));
    EXPECT_EQ(chords().splitPoint(), 12);
    EXPECT_EQ(chordSlots().channel().value(), 1);
    tap(kF(4));
    EXPECT_EQ(chords().splitPoint(), 12);
    tap(kF(2));
    EXPECT_EQ(chords().splitPoint(), 17);
}

TEST_F(ChordPlaying, APendingSplitChoiceEndsWhenAChordPlayingModeIsSelected)
{
    for (const int modeKey : {kF(3), kF(4)}) {
        tap(kF(2));
        tapShift(kF(2));
        ASSERT_TRUE(chords().choosingSplitPoint());
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
            EXPECT_EQ(onChordChannel(sent().front()), key < 12) << key;
        }
    }
}

TEST_F(ChordPlaying, SoundingSlotsStopAtSlotSeven)
{
    for (int i = 0; i < 5; ++i)
        tap(kF(10));
    tap(kF(12));
    tap(kF(12));
    EXPECT_EQ(chordSlots().channel().value(), 6);
    EXPECT_EQ(chordSlots().voices().value(), 3);
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
    EXPECT_EQ(chordSlots().channel().value(), 1);
    for (int slot = 1; slot <= 7; ++slot) {
        EXPECT_EQ(chordSlots().slotInstrument(slot), mainArea().slotInstrument(slot));
        EXPECT_EQ(chordSlots().slotOctave(slot), mainArea().slotOctave(slot));
        EXPECT_EQ(chordSlots().slotVolume(slot), 127);
    }
}

TEST_F(ChordPlaying, SameAsMainTakesTheMainChannelAndVoices)
{
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

TEST_F(ChordPlaying, ResetChordSettingsSelectsTheSlotOfTheMode)
{
    const std::pair<int, int> modes[] = {{kF(2), 5}, {kF(3), 1}, {kF(4), 6}};
    for (const auto& [modeKey, slot] : modes) {
        tap(modeKey);
        tapCtrl(kRight);
        tap(kF(12));
        tapShiftCtrl(kF(12));
        EXPECT_EQ(chordSlots().channel().value(), slot);
        EXPECT_EQ(chordSlots().voices().value(), 1);
        EXPECT_EQ(chordSlots().instrument().value(), chordSlots().slotInstrument(slot));
        EXPECT_EQ(chords().splitPoint(), 12);
    }
    EXPECT_EQ(chordSlots().slotInstrument(6), 24);
    EXPECT_EQ(chordSlots().slotInstrument(5), 32);
    EXPECT_EQ(chordSlots().slotInstrument(1), 50);
    EXPECT_EQ(chordSlots().slotVolume(3), 103);
}

TEST_F(ChordPlaying, ResetInOneKeyModeSplitsAtTwelveUntilAModeIsSelected)
{
    tap(kF(2));
    tapShift(kF(2));
    tap('Q');
    tapShiftCtrl(kF(12));
    EXPECT_EQ(chords().splitPoint(), 12);
    EXPECT_EQ(chords().chosenSplitPoint(), 17);
    tap(kF(2));
    EXPECT_EQ(chords().splitPoint(), 17);
}

TEST_F(ChordPlaying, ModeSelectionSendsTheProgramOfTheModesSlotWhenItMoves)
{
    tap(kF(4));
    EXPECT_EQ(sent(), (Log{"CD 18 00", "CD 18 00"}));
    midi.clear();
    tap(kF(4));
    EXPECT_TRUE(sent().empty());
}

} // namespace
} // namespace clavora::test
