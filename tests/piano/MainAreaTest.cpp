#include "PlayingFixture.h"

#include <algorithm>

namespace clavora::test {
namespace {

using namespace keys;

class MainArea : public PlayingTest {};

TEST_F(MainArea, LayeredSlotsSoundTheirOwnOctavesOnConsecutiveChannels)
{
    tap(kF(6));  // Channel 2
    tap(kF(8));
    tap(kF(8));  // Voices 3
    midi.clear();

    piano.keyDown(kComma, 0);  // key 12
    EXPECT_EQ(sent(), (Log{"91 3C 7F", "92 30 7F", "93 3C 7F"}));
    midi.clear();
    piano.keyUp(kComma, 0);
    EXPECT_EQ(sent(), (Log{"81 3C 00", "82 30 00", "83 3C 00"}));
}

TEST_F(MainArea, NoteNumberUsesTheKeyIndexAndSlotsAboveSevenAreSkipped)
{
    for (int i = 0; i < 3; ++i)
        tap(kF(6));  // Channel 4
    for (int i = 0; i < 6; ++i)
        tap(kF(8));  // Voices 7
    EXPECT_EQ(mainArea().voices().value(), 7);
    tap(kUp);  // slot 4 octave 5
    midi.clear();

    piano.pressKey(43);  // Page Down, the highest key: 5 * 12 + 43 = 103
    EXPECT_EQ(sent(), (Log{"93 67 7F", "94 5B 7F", "95 43 7F", "96 5B 7F"}));
}

TEST_F(MainArea, SelectingASlotAlwaysSendsItsProgramChange)
{
    tap(kF(6));
    typeKeypad("000");  // slot 2 now plays program 0, like slot 1
    EXPECT_EQ(mainArea().slotInstrument(2), 0);
    midi.clear();

    tap(kF(5));  // slot 1: the Instrument value does not move
    EXPECT_EQ(sent(), (Log{"C0 00 00"}));
    EXPECT_EQ(mainArea().channel().value(), 1);
    EXPECT_EQ(mainArea().channel().label(), "Channel 1");
}

TEST_F(MainArea, SelectingAnotherSlotShowsItsStoredValues)
{
    tap(kF(6));
    tap(kF(6));  // slot 3: program 49, octave 3
    EXPECT_EQ(mainArea().instrument().value(), 49);
    EXPECT_EQ(mainArea().octave().value(), 3);
    EXPECT_EQ(mainArea().volume().value(), 127);
    EXPECT_EQ(mainArea().instrument().label(), "049 - String Ensemble 2");
    EXPECT_EQ(mainArea().octave().label(), "Octave 3");
    EXPECT_EQ(mainArea().channel().label(), "Channel 3");
}

TEST_F(MainArea, VolumeZeroSendsAVelocityZeroNoteOn)
{
    for (int i = 0; i < 16; ++i)
        tapShift(kF(5));
    EXPECT_EQ(mainArea().volume().value(), 0);
    EXPECT_EQ(mainArea().volume().label(), "Volume 0");
    midi.clear();

    piano.keyDown(kComma, 0);
    EXPECT_EQ(sent(), (Log{"90 3C 00"}));
}

TEST_F(MainArea, EachSettingUpdatesTheSelectedSlotAndOnlyTheInstrumentSends)
{
    tap(kF(6));
    tap(kF(6));  // slot 3
    midi.clear();

    tap(kRight);
    EXPECT_EQ(sent(), (Log{"C2 32 00"}));
    EXPECT_EQ(mainArea().slotInstrument(3), 50);
    EXPECT_EQ(mainArea().instrument().label(), "050 - Synth Strings 1");
    midi.clear();

    tap(kDown);
    tapShift(kF(5));
    tap(kF(8));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(mainArea().slotOctave(3), 2);
    EXPECT_EQ(mainArea().slotVolume(3), 119);
    EXPECT_EQ(mainArea().voices().value(), 2);
    EXPECT_EQ(mainArea().voices().label(), "Voices 2");
    EXPECT_EQ(mainArea().octave().label(), "Octave 2");
    EXPECT_EQ(mainArea().volume().label(), "Volume 119");
    // The other slots keep their values.
    EXPECT_EQ(mainArea().slotInstrument(1), 0);
    EXPECT_EQ(mainArea().slotOctave(1), 4);
    EXPECT_EQ(mainArea().slotVolume(4), 127);

    // The new values are what the next press plays: slots 3 and 4.
    piano.keyDown(kComma, 0);
    EXPECT_EQ(sent(), (Log{"92 24 77", "93 3C 7F"}));
}

TEST_F(MainArea, ResetRestoresEverySlotAndSelectsSlotOne)
{
    tap(kF(6));
    tap(kRight);
    tap(kUp);
    tap(kF(8));
    midi.clear();

    tapShiftCtrl(kF(8));

    EXPECT_EQ(mainArea().channel().value(), 1);
    EXPECT_EQ(mainArea().voices().value(), 1);
    EXPECT_EQ(mainArea().slotInstrument(2), 48);
    EXPECT_EQ(mainArea().slotOctave(2), 4);
    // Every slot's program goes out again, slot 1 first and last.
    EXPECT_EQ(sent().front(), "C0 00 00");
    EXPECT_EQ(std::count(sent().begin(), sent().end(), "C1 30 00"), 3);
    EXPECT_EQ(sent().back(), "C0 00 00");
}

TEST_F(MainArea, APressWhileHeldDoesNotRetriggerAndASecondReleaseSendsNothing)
{
    tap(kF(2));  // one-key mode: no chord area
    midi.clear();
    piano.pressKey(20);
    piano.pressKey(20);
    EXPECT_EQ(sent(), (Log{"90 44 7F"}));
    EXPECT_TRUE(piano.isKeyPressed(20));
    piano.releaseKey(20);
    piano.releaseKey(20);
    EXPECT_EQ(sent(), (Log{"90 44 7F", "80 44 00"}));
    EXPECT_FALSE(piano.isKeyPressed(20));
}

} // namespace
} // namespace clavora::test
